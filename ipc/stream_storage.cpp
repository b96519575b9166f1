// TStreamStorage: writers append records and index them; readers find a name
// through the index or by scanning the not yet indexed tail of a received block.
#include "ipc/stream_storage.h"

#include <algorithm>
#include <bit>
#include <limits>
#include <vector>

#include "ipc/wire_format.h"
#include "platform/codepage.h"
#include "platform/errors.h"

namespace wb {

namespace {

// The index stores signed 32-bit offsets; a block must stay addressable by them.
constexpr int64_t kMaxIndexedOffset = std::numeric_limits<int32_t>::max();

// Appends the UTF-16LE bytes of text to out.
void AppendUtf16LE(std::vector<uint8_t>& out, std::u16string_view text) {
  size_t start = out.size();
  out.resize(start + text.size() * 2);
  uint8_t* p = out.data() + start;
  for (char16_t unit : text) {
    *p++ = static_cast<uint8_t>(unit & 0xFF);
    *p++ = static_cast<uint8_t>(unit >> 8);
  }
}

std::u16string Utf16LEToString(const uint8_t* bytes, int64_t units) {
  std::u16string text(static_cast<size_t>(units), u'\0');
  for (int64_t i = 0; i < units; ++i) {
    text[static_cast<size_t>(i)] = static_cast<char16_t>(bytes[2 * i] | (bytes[2 * i + 1] << 8));
  }
  return text;
}

bool NameEquals(const uint8_t* bytes, int64_t length, std::u16string_view name) {
  if (length != static_cast<int64_t>(name.size()) * 2) return false;
  for (size_t i = 0; i < name.size(); ++i) {
    if (static_cast<char16_t>(bytes[2 * i] | (bytes[2 * i + 1] << 8)) != name[i]) return false;
  }
  return true;
}

std::string IndexKey(std::u16string_view name) { return platform::WideToAnsi(name); }

}  // namespace

TStreamStorage::TStreamStorage() : index_(kIndexBuckets) {}

void TStreamStorage::WriteValueHeader(std::u16string_view name, int64_t size) {
  std::string key = IndexKey(name);
  if (index_.ValueOf(key) >= 0) {
    throw Exception(FormatMessageText("Value with name \"%s\" already exists", key));
  }
  int64_t end = stream_.Size();
  int64_t nameBytes = static_cast<int64_t>(name.size()) * 2;
  if (end + 4 + nameBytes > kMaxIndexedOffset) {
    throw Exception(FormatMessageText(Ansi(u8"Nachricht zu groß für den Wert \"%s\""), key));
  }
  std::vector<uint8_t> header(4);
  ipc::PutInt32LE(header.data(), static_cast<int32_t>(nameBytes));
  AppendUtf16LE(header, name);
  stream_.Seek(0, platform::SeekOrigin::End);
  WriteValueBytes(header.data(), static_cast<int64_t>(header.size()));
  index_.Add(key, static_cast<int32_t>(stream_.Position()));
  uint8_t sizeField[8];
  ipc::PutInt64LE(sizeField, size);
  WriteValueBytes(sizeField, 8);
}

void TStreamStorage::WriteValueBytes(const void* bytes, int64_t count) {
  if (count > 0) stream_.WriteBuffer(bytes, count);
}

void TStreamStorage::WriteString(std::u16string_view name, std::u16string_view value) {
  if (value.empty() || name.empty()) return;
  WriteValueHeader(name, static_cast<int64_t>(value.size()) * 2);
  if constexpr (std::endian::native == std::endian::little) {
    WriteValueBytes(value.data(), static_cast<int64_t>(value.size()) * 2);
  } else {
    std::vector<uint8_t> bytes;
    AppendUtf16LE(bytes, value);
    WriteValueBytes(bytes.data(), static_cast<int64_t>(bytes.size()));
  }
  scanPosition_ = stream_.Position();
}

void TStreamStorage::WriteInteger(std::u16string_view name, int32_t value) {
  if (name.empty()) return;
  WriteValueHeader(name, 4);
  uint8_t bytes[4];
  ipc::PutInt32LE(bytes, value);
  WriteValueBytes(bytes, 4);
  scanPosition_ = stream_.Position();
}

void TStreamStorage::WriteBoolean(std::u16string_view name, bool value) {
  if (name.empty()) return;
  WriteValueHeader(name, 1);
  uint8_t byte = value ? 1 : 0;
  WriteValueBytes(&byte, 1);
  scanPosition_ = stream_.Position();
}

bool TStreamStorage::FindValue(std::u16string_view name, int64_t& size) {
  const int64_t end = stream_.Size();
  const uint8_t* data = stream_.Memory();

  int32_t indexed = index_.ValueOf(IndexKey(name));
  if (indexed >= 0) {
    // Offsets come from whole records; the check only guards a stream that was
    // rewritten behind the index's back.
    if (end - indexed < 8) return false;
    size = ipc::GetInt64LE(data + indexed);
    stream_.SetPosition(indexed + 8);
    return true;
  }

  int64_t position = scanPosition_;
  while (position < end) {
    if (end - position < 4) break;
    int64_t nameLength = ipc::GetInt32LE(data + position);
    if (nameLength < 0 || nameLength % 2 != 0 || nameLength > end - position - 4) break;
    const uint8_t* nameBytes = data + position + 4;
    int64_t sizeField = position + 4 + nameLength;
    if (end - sizeField < 8 || sizeField > kMaxIndexedOffset) break;
    int64_t valueSize = ipc::GetInt64LE(data + sizeField);
    if (valueSize < 0 || valueSize > end - sizeField - 8) break;

    index_.Add(IndexKey(Utf16LEToString(nameBytes, nameLength / 2)), static_cast<int32_t>(sizeField));
    if (NameEquals(nameBytes, nameLength, name)) {
      size = valueSize;
      stream_.SetPosition(sizeField + 8);
      return true;
    }
    position = sizeField + 8 + valueSize;
  }
  stream_.SetPosition(position);
  return false;
}

std::u16string TStreamStorage::ReadString(std::u16string_view name) {
  std::u16string result;
  int64_t size = 0;
  if (FindValue(name, size)) {
    int64_t position = stream_.Position();
    int64_t available = std::max<int64_t>(0, stream_.Size() - position);
    int64_t units = std::min(size, available) / 2;
    result = Utf16LEToString(stream_.Memory() + position, units);
    // Past the whole value, also when its size is odd: a later scan must start at
    // the next record, never inside this one.
    stream_.SetPosition(position + std::min(size, available));
  }
  scanPosition_ = std::max(scanPosition_, stream_.Position());
  return result;
}

}  // namespace wb
