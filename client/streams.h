// Byte streams: the abstract TStream, the memory stream the message container and
// the parsers use, and the handle-based file streams with Delphi-style open modes.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "platform/errors.h"
#include "platform/files.h"

namespace wb {

// Open modes of file streams: one access value or'ed with one share value, or create.
enum : uint16_t {
  fmOpenRead = 0x0000,
  fmOpenWrite = 0x0001,
  fmOpenReadWrite = 0x0002,
  fmShareCompat = 0x0000,
  fmShareExclusive = 0x0010,
  fmShareDenyWrite = 0x0020,
  fmShareDenyRead = 0x0030,
  fmShareDenyNone = 0x0040,
  fmCreate = 0xFFFF,
};

class TStream {
 public:
  virtual ~TStream() = default;
  // Bytes read; fewer than count at the end of the stream.
  virtual int64_t Read(void* buffer, int64_t count) = 0;
  // Bytes written; fewer than count on failure.
  virtual int64_t Write(const void* buffer, int64_t count) = 0;
  virtual int64_t Seek(int64_t offset, platform::SeekOrigin origin) = 0;
  virtual int64_t Size() = 0;
  virtual void SetSize(int64_t size) = 0;

  int64_t Position() { return Seek(0, platform::SeekOrigin::Current); }
  void SetPosition(int64_t position) { Seek(position, platform::SeekOrigin::Begin); }
  // Reads or writes exactly count bytes or raises EInOutError ("Stream-Lesefehler").
  void ReadBuffer(void* buffer, int64_t count);
  void WriteBuffer(const void* buffer, int64_t count);
  // Everything from the current position to the end, as bytes.
  std::string ReadRest();
  // The same for a file that is read to be written back: fewer bytes than its
  // size promises (a read that failed part-way) raise EInOutError with
  // failureText, so a part of the file never passes for all of it.
  std::string ReadRestWhole(const std::string& failureText);
  // Copies count bytes (0: the whole source from its start) through one buffer.
  int64_t CopyFrom(TStream& source, int64_t count);
};

// A growable in-memory stream. Grows by doubling so appends stay cheap.
class TMemoryStream : public TStream {
 public:
  int64_t Read(void* buffer, int64_t count) override;
  int64_t Write(const void* buffer, int64_t count) override;
  int64_t Seek(int64_t offset, platform::SeekOrigin origin) override;
  int64_t Size() override { return size_; }
  void SetSize(int64_t size) override;
  void Clear();

  const uint8_t* Memory() const { return buffer_.get(); }
  uint8_t* Memory() { return buffer_.get(); }
  // Makes room for at least capacity bytes without changing the size. The room
  // is not cleared: large replies are written once, never read before.
  void Reserve(int64_t capacity);

 private:
  std::unique_ptr<uint8_t[]> buffer_;  // capacity_ bytes; size_ of them are valid
  int64_t capacity_ = 0;
  int64_t size_ = 0;
  int64_t position_ = 0;
};

// A stream over an operating-system file handle, which it owns.
class THandleStream : public TStream {
 public:
  explicit THandleStream(std::unique_ptr<platform::FileHandle> handle) : handle_(std::move(handle)) {}
  int64_t Read(void* buffer, int64_t count) override;
  int64_t Write(const void* buffer, int64_t count) override;
  int64_t Seek(int64_t offset, platform::SeekOrigin origin) override;
  int64_t Size() override;
  void SetSize(int64_t size) override;
  bool FlushToDisk();
  bool HasHandle() const { return handle_ != nullptr; }

 protected:
  THandleStream() = default;
  std::unique_ptr<platform::FileHandle> handle_;
};

// A file stream opened with an open mode (fmCreate, or access | share).
// Raises EFCreateError "Datei %s kann nicht erstellt werden" for fmCreate and
// EFOpenError "Datei %s kann nicht geöffnet werden" otherwise.
class TFileStream : public THandleStream {
 public:
  TFileStream(const std::string& fileName, uint16_t mode);
  const std::string& FileName() const { return fileName_; }

  // The CreateFileA arguments for an open mode; exposed for the retrying variants.
  static std::unique_ptr<platform::FileHandle> OpenHandle(const std::string& fileName, uint16_t mode);
  static std::string OpenErrorText(const std::string& fileName, uint16_t mode);

 private:
  std::string fileName_;
};

// A file stream that writes over read-only and hidden files and restores those
// flags when it is destroyed. mode 0 opens or creates (content kept), mode 1
// always creates new.
class TBetterFileStream : public THandleStream {
 public:
  TBetterFileStream(const std::string& fileName, int mode, bool clearAttributes);
  ~TBetterFileStream() override;
  const std::string& FileName() const { return fileName_; }

 private:
  uint32_t savedAttributes_ = 0;
  bool restoreAttributes_ = false;
  std::string fileName_;
};

}  // namespace wb
