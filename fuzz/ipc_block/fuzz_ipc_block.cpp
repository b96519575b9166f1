// Fuzz target: a received data block. The bytes go into a fresh storage as the
// pipe client puts them there; then values are looked up by name (the names the
// program uses and one taken from the input), repeatedly, in both orders, and
// written on top. Nothing may read or write outside the block.
#include <cstddef>
#include <cstdint>
#include <string>

#include "ipc/stream_storage.h"
#include "platform/errors.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size == 0) return 0;
  // The first byte picks a name length for a name taken from the input's end.
  size_t nameUnits = std::min<size_t>(data[0] % 8, (size - 1) / 2);
  std::u16string inputName;
  for (size_t i = 0; i < nameUnits; ++i) {
    size_t at = size - 2 * (i + 1);
    inputName.push_back(static_cast<char16_t>(data[at] | (data[at + 1] << 8)));
  }

  wb::TStreamStorage storage;
  storage.Stream().WriteBuffer(data + 1, static_cast<int64_t>(size - 1));
  storage.Stream().SetPosition(0);
  const std::u16string names[] = {u"DATA", u"COMMAND", inputName, u"SYNC", u"DATA", u"missing"};
  for (const auto& name : names) storage.ReadString(name);
  int64_t valueSize = 0;
  if (storage.FindValue(u"INDEX", valueSize) && valueSize < 0) __builtin_trap();
  if (storage.ScanPosition() > storage.Stream().Size()) __builtin_trap();
  try {
    storage.WriteString(u"DATA", u"appended");
    storage.WriteInteger(inputName.empty() ? u"I" : inputName, 1);
  } catch (const wb::Exception&) {
    // A name that is already in the block is refused; that is the expected outcome.
  }
  storage.ReadString(u"DATA");
  return 0;
}
