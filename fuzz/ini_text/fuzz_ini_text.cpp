// Fuzz target for the settings file: any bytes load and write back without a
// crash; untouched content comes back line for line with CR LF line ends; a
// value written is the value read; the written text loads to the same text.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "client/fast_ini_file.h"
#include "client/ini_items.h"
#include "strings/string_list.h"

namespace {

// The file format's line rule, written independently of the store: lines end
// at CR, LF or CR LF; reading stops at the first NUL.
std::string ExpectedText(std::string_view bytes) {
  bytes = bytes.substr(0, bytes.find('\0'));
  std::string out;
  size_t position = 0;
  while (position < bytes.size()) {
    size_t end = position;
    while (end < bytes.size() && bytes[end] != '\r' && bytes[end] != '\n') ++end;
    out.append(bytes.substr(position, end - position));
    out += "\r\n";
    position = end;
    if (position < bytes.size() && bytes[position] == '\r') ++position;
    if (position < bytes.size() && bytes[position] == '\n') ++position;
  }
  return out;
}

void Check(bool condition) {
  if (!condition) std::abort();
}

// A small deterministic generator fed by the input itself.
class Choices {
 public:
  explicit Choices(std::string_view bytes) : bytes_(bytes) {}
  unsigned Next(unsigned limit) {
    if (bytes_.empty() || limit == 0) return 0;
    state_ = state_ * 1103515245u + static_cast<uint8_t>(bytes_[index_++ % bytes_.size()]) + 12345u;
    return (state_ >> 8) % limit;
  }

 private:
  std::string_view bytes_;
  size_t index_ = 0;
  uint32_t state_ = 1;
};

std::string SimpleName(Choices& choices) {
  static const char kLetters[] = "abcKEYxyz0129";
  std::string name;
  const unsigned length = 1 + choices.Next(4);
  for (unsigned i = 0; i < length; ++i) name += kLetters[choices.Next(sizeof(kLetters) - 1)];
  return name;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);

  wb::TIniItems untouched;
  untouched.SetText(bytes);
  Check(untouched.GetText() == ExpectedText(bytes));

  wb::TFastIniFile ini("");
  ini.EnsureLoaded();
  ini.Items().SetText(bytes);
  Choices choices(bytes);
  wb::TStringList sections, keys;
  ini.ListSections(sections);
  for (int step = 0; step < 24; ++step) {
    std::string section = sections.Count() > 0 && choices.Next(3) > 0
                              ? sections.Get(static_cast<int>(choices.Next(static_cast<unsigned>(sections.Count()))))
                              : SimpleName(choices);
    ini.ListKeys(section, keys);
    std::string key = keys.Count() > 0 && choices.Next(2) > 0
                          ? keys.Get(static_cast<int>(choices.Next(static_cast<unsigned>(keys.Count()))))
                          : SimpleName(choices);
    switch (choices.Next(8)) {
      case 0:
      case 1: {
        const std::string value = SimpleName(choices);
        ini.WriteSetting(section, key, value);
        // A plain key written is found again (unless its name trims to nothing).
        if (!wb::IniTrim(key).empty()) Check(ini.ReadSetting(section, key, "\x01") == value);
        break;
      }
      case 2: ini.RemoveKey(section, key); break;
      case 3:
        if (choices.Next(4) == 0) ini.RemoveSection(section);
        break;
      case 4: ini.ReadNumber(section, key, 0); break;
      case 5: ini.Items().SetKeyIndexMode(!ini.Items().KeyIndexMode()); break;
      case 6: ini.ListKeyValues(section, keys); break;
      default: ini.ReadSetting(section, key, ""); break;
    }
  }
  const std::string written = ini.Items().GetText();
  wb::TIniItems reloaded;
  reloaded.SetText(written);
  Check(reloaded.GetText() == written);
  return 0;
}
