// File operations that survive the usual trouble of a desktop machine: files held
// by another process, read-only or hidden flags, folders that do not exist yet.
// Bounded retries (100 attempts, 100 ms apart) instead of locks. Pauses go
// through the core's clock (platform/clock.h).
#pragma once

#include <memory>
#include <string>

#include "client/streams.h"
#include "platform/errors.h"
#include "platform/folders.h"
#include "strings/string_list.h"

namespace wb {

inline constexpr int kRetryAttempts = 100;
inline constexpr int kRetryPauseMs = 100;
// DeleteFileRetry pauses this long after an attempt that found the file still
// there: 99 pauses come to about 2 s, long enough for a brief hold on the file
// to end, short enough for a run that the user is waiting for.
inline constexpr int kDeleteRetryPauseMs = 20;
inline constexpr int kCopyAttempts = 10;
inline constexpr int kCopyBufferSize = 61440;

// The pause between attempts; tests shorten it so the suite stays fast.
int RetryPauseMs();
// The pause between DeleteFileRetry's attempts (shortened with the one above).
int DeleteRetryPauseMs();
void SetRetryPauseMsForTesting(int milliseconds);  // negative: back to kRetryPauseMs

bool FileExistsEx(const std::string& name);
bool DirExistsEx(const std::string& path);
// Creates the folder and its missing parents; EInOutError for an empty path.
bool ForceDirs(const std::string& path, platform::PathStyle style = platform::kNativePathStyle);
void ForceFileDir(const std::string& fileName);

// Writes the lines (each followed by CR LF) through a temporary file beside the
// target that replaces it only when complete: the old content survives every failure.
void SaveListRetry(const TStringList& lines, const std::string& fileName);
void LoadListRetry(TStringList& lines, const std::string& fileName);
void SaveResourceRetry(const std::string& blob, const std::string& fileName, std::string& actualName);
void OpenFileStreamRetry(const std::string& fileName, std::unique_ptr<TFileStream>& stream, uint16_t mode);
bool DeleteFileRetry(const std::string& fileName);
bool DeleteFileIfExists(const std::string& fileName);
bool OpenReadShared(const std::string& fileName, std::unique_ptr<TFileStream>& stream);
bool CopyFileRetry(const std::string& source, const std::string& dest);

// Writes bytes to a file the same crash-safe way SaveListRetry does (one attempt).
void SaveTextAtomically(const std::string& bytes, const std::string& fileName);

}  // namespace wb
