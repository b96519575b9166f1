// Fuzz target for the reading of a desktop entry's Exec line: any file text is
// read and split without a crash; a split line written again with the Exec
// quoting splits to the same arguments; and a program with arguments written
// as the shortcut writer writes them reads back whole, whatever bytes they hold.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "platform/posix/desktop_entry.h"
#include "platform/shell_link.h"

namespace {

void Check(bool condition) {
  if (!condition) std::abort();
}

// The Exec quoting, written here apart from the shortcut writer.
std::string Quoted(const std::string& argument) {
  std::string quoted = "\"";
  for (char c : argument) {
    if (c == '"' || c == '`' || c == '$' || c == '\\') quoted += '\\';
    quoted += c;
  }
  return quoted + '"';
}

// The input's bytes as arguments, cut at each 0x01.
std::vector<std::string> Pieces(std::string_view bytes) {
  std::vector<std::string> pieces(1);
  for (char c : bytes) {
    if (c == '\x01') pieces.emplace_back();
    else pieces.back() += c;
  }
  return pieces;
}

void ReadAnyText(std::string_view bytes) {
  const auto value = wb::platform::DesktopEntryValue(bytes, "Exec");
  if (!value) return;
  const auto arguments = wb::platform::SplitExecArguments(*value);
  if (!arguments) return;
  std::string again;
  for (const std::string& argument : *arguments) again += Quoted(argument) + " ";
  const auto reread = wb::platform::SplitExecArguments(again);
  Check(reread && *reread == *arguments);
}

void WrittenLineReadsBack(std::string_view bytes) {
  const std::vector<std::string> pieces = Pieces(bytes);
  const std::vector<std::string> arguments(pieces.begin() + 1, pieces.end());
  const std::string text = "[Desktop Action andere]\nExec=anderes\n[Desktop Entry]\nName=x\nExec=" +
                           wb::platform::DesktopExecValue(pieces[0], arguments) + "\r\nExec=zweites\n";
  const auto value = wb::platform::DesktopEntryValue(text, "Exec");
  Check(value.has_value());
  const auto split = wb::platform::SplitExecArguments(*value);
  Check(split && split->size() == pieces.size());
  for (size_t i = 0; i < pieces.size(); ++i) Check(wb::platform::ExecArgumentText((*split)[i]) == pieces[i]);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  ReadAnyText(bytes);
  WrittenLineReadsBack(bytes);
  return 0;
}
