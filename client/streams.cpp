// Byte streams: memory, handle and file streams, and TBetterFileStream.
#include "client/streams.h"

#include <algorithm>
#include <cstring>

#include "platform/codepage.h"
#include "platform/errors.h"

namespace wb {
namespace {

constexpr int64_t kCopyChunk = 61440;

void RaiseStreamError(const char* what) { throw EInOutError(what, 0); }

}  // namespace

// ---- TStream ----

void TStream::ReadBuffer(void* buffer, int64_t count) {
  if (count > 0 && Read(buffer, count) != count) RaiseStreamError("Stream-Lesefehler");
}

void TStream::WriteBuffer(const void* buffer, int64_t count) {
  if (count > 0 && Write(buffer, count) != count) RaiseStreamError("Stream-Schreibfehler");
}

std::string TStream::ReadRest() {
  int64_t position = Position();
  int64_t size = Size();
  std::string bytes;
  if (size > position) {
    bytes.resize(static_cast<size_t>(size - position));
    int64_t got = Read(bytes.data(), static_cast<int64_t>(bytes.size()));
    bytes.resize(static_cast<size_t>(std::max<int64_t>(got, 0)));
  }
  return bytes;
}

std::string TStream::ReadRestWhole(const std::string& failureText) {
  const int64_t position = Position();
  const int64_t size = Size();
  if (position < 0 || size < 0) throw EInOutError(failureText, static_cast<int>(platform::LastError()));
  std::string bytes;
  if (size > position) {
    bytes.resize(static_cast<size_t>(size - position));
    if (Read(bytes.data(), static_cast<int64_t>(bytes.size())) != static_cast<int64_t>(bytes.size()))
      throw EInOutError(failureText, static_cast<int>(platform::LastError()));
  }
  return bytes;
}

int64_t TStream::CopyFrom(TStream& source, int64_t count) {
  if (count == 0) {
    source.SetPosition(0);
    count = source.Size();
  }
  std::vector<char> buffer(static_cast<size_t>(std::clamp<int64_t>(count, 1, kCopyChunk)));
  int64_t left = count;
  while (left > 0) {
    int64_t chunk = std::min<int64_t>(left, static_cast<int64_t>(buffer.size()));
    source.ReadBuffer(buffer.data(), chunk);
    WriteBuffer(buffer.data(), chunk);
    left -= chunk;
  }
  return count;
}

// ---- TMemoryStream ----

void TMemoryStream::Reserve(int64_t capacity) {
  if (capacity <= capacity_) return;
  int64_t grown = std::max<int64_t>({capacity, capacity_ * 2, 256});
  auto bigger = std::make_unique_for_overwrite<uint8_t[]>(static_cast<size_t>(grown));
  if (size_ > 0) std::memcpy(bigger.get(), buffer_.get(), static_cast<size_t>(size_));
  buffer_ = std::move(bigger);
  capacity_ = grown;
}

int64_t TMemoryStream::Read(void* buffer, int64_t count) {
  if (count <= 0 || position_ >= size_) return 0;
  int64_t n = std::min(count, size_ - position_);
  std::memcpy(buffer, buffer_.get() + position_, static_cast<size_t>(n));
  position_ += n;
  return n;
}

int64_t TMemoryStream::Write(const void* buffer, int64_t count) {
  if (count <= 0 || position_ < 0) return 0;
  int64_t end = position_ + count;
  Reserve(end);
  // A write after a seek past the end leaves no stale bytes in the gap.
  if (position_ > size_) std::memset(buffer_.get() + size_, 0, static_cast<size_t>(position_ - size_));
  std::memcpy(buffer_.get() + position_, buffer, static_cast<size_t>(count));
  position_ = end;
  size_ = std::max(size_, end);
  return count;
}

int64_t TMemoryStream::Seek(int64_t offset, platform::SeekOrigin origin) {
  switch (origin) {
    case platform::SeekOrigin::Begin: position_ = offset; break;
    case platform::SeekOrigin::Current: position_ += offset; break;
    case platform::SeekOrigin::End: position_ = size_ + offset; break;
  }
  return position_;
}

void TMemoryStream::SetSize(int64_t size) {
  size = std::max<int64_t>(size, 0);
  Reserve(size);
  if (size > size_) std::memset(buffer_.get() + size_, 0, static_cast<size_t>(size - size_));
  size_ = size;
  position_ = std::min(position_, size_);
}

void TMemoryStream::Clear() {
  buffer_.reset();
  capacity_ = 0;
  size_ = 0;
  position_ = 0;
}

// ---- THandleStream ----

int64_t THandleStream::Read(void* buffer, int64_t count) {
  if (!handle_ || count <= 0) return 0;
  return std::max<int64_t>(handle_->Read(buffer, count), 0);
}

int64_t THandleStream::Write(const void* buffer, int64_t count) {
  if (!handle_ || count <= 0) return 0;
  return std::max<int64_t>(handle_->Write(buffer, count), 0);
}

int64_t THandleStream::Seek(int64_t offset, platform::SeekOrigin origin) {
  return handle_ ? handle_->Seek(offset, origin) : -1;
}

int64_t THandleStream::Size() { return handle_ ? handle_->Size() : 0; }

void THandleStream::SetSize(int64_t size) {
  if (!handle_) return;
  int64_t position = Position();
  Seek(size, platform::SeekOrigin::Begin);
  if (!handle_->SetEndOfFile()) RaiseStreamError("Stream-Schreibfehler");
  if (position < size) Seek(position, platform::SeekOrigin::Begin);
}

bool THandleStream::FlushToDisk() { return handle_ && handle_->FlushToDisk(); }

// ---- TFileStream ----

std::unique_ptr<platform::FileHandle> TFileStream::OpenHandle(const std::string& fileName, uint16_t mode) {
  using namespace platform;
  if (mode == fmCreate)
    return CreateFile(fileName, kGenericRead | kGenericWrite, 0, kCreateAlways, kFileAttributeNormal);
  static constexpr uint32_t kAccess[] = {kGenericRead, kGenericWrite, kGenericRead | kGenericWrite, 0};
  static constexpr uint32_t kShare[] = {0, 0, kFileShareRead, kFileShareWrite, kFileShareRead | kFileShareWrite};
  uint32_t access = kAccess[mode & 3];
  uint32_t shareIndex = (mode & 0xF0) >> 4;
  uint32_t share = shareIndex < 5 ? kShare[shareIndex] : 0;
  return CreateFile(fileName, access, share, kOpenExisting, kFileAttributeNormal);
}

std::string TFileStream::OpenErrorText(const std::string& fileName, uint16_t mode) {
  return FormatMessageText(
      mode == fmCreate ? "Datei %s kann nicht erstellt werden" : Ansi(u8"Datei %s kann nicht geöffnet werden"),
      fileName);
}

TFileStream::TFileStream(const std::string& fileName, uint16_t mode) : fileName_(fileName) {
  handle_ = OpenHandle(fileName, mode);
  if (!handle_) {
    if (mode == fmCreate) throw EFCreateError(OpenErrorText(fileName, mode));
    throw EFOpenError(OpenErrorText(fileName, mode));
  }
}

// ---- TBetterFileStream ----

TBetterFileStream::TBetterFileStream(const std::string& fileName, int mode, bool clearAttributes)
    : fileName_(fileName) {
  using namespace platform;
  if (clearAttributes) {
    uint32_t attributes = GetFileAttributes(fileName);
    if (attributes != kInvalidFileAttributes && !(attributes & kFileAttributeDirectory)) {
      savedAttributes_ = attributes;
      if (attributes & kFileAttributeReadOnly) {
        restoreAttributes_ = true;
        SetFileAttributes(fileName, attributes & ~kFileAttributeReadOnly);
      }
      attributes = GetFileAttributes(fileName);
      if (attributes != kInvalidFileAttributes && (attributes & kFileAttributeHidden)) {
        restoreAttributes_ = true;
        SetFileAttributes(fileName, attributes & ~kFileAttributeHidden);
      }
    }
  }
  handle_ = CreateFile(fileName, kGenericRead | kGenericWrite, kFileShareRead | kFileShareWrite,
                       mode == 1 ? kCreateAlways : kOpenAlways, kFileAttributeNormal);
  if (!handle_) {
    if (restoreAttributes_) SetFileAttributes(fileName_, savedAttributes_);
    throw EFCreateError(FormatMessageText("Datei %s kann nicht erstellt werden", fileName));
  }
}

TBetterFileStream::~TBetterFileStream() {
  handle_.reset();
  if (restoreAttributes_) platform::SetFileAttributes(fileName_, savedAttributes_);
}

}  // namespace wb
