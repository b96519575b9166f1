// The program mapping file and the resolution of a document's program.
#include "opening/program_map.h"

#include <array>
#include <chrono>
#include <future>
#include <memory>
#include <optional>
#include <utility>

#include "client/client_dirs.h"
#include "client/file_helpers.h"
#include "opening/associated_programs.h"
#include "opening/open_files.h"
#include "opening/opening_rules.h"
#include "opening/program_choice.h"
#include "platform/folders.h"
#include "platform/shell.h"
#include "platform/ui_hooks.h"
#include "strings/strutils.h"

namespace wb {
namespace {

// FindExecutableA answers 32 or less when it found nothing.
constexpr intptr_t kHighestFailureCode = 32;

std::string LegacyProgramMapPath() {
  return AddTrailingBackslash(platform::GetModuleDir()) + kLegacyProgramMapFolder + platform::kPathDelimiter +
         kProgramMapFileName;
}

// The mapping file's lines; empty when there is no file yet.
void LoadProgramMap(TStringListEx& map, const std::string& path) {
  if (FileExistsEx(path)) LoadListRetry(map, path);
}

void RememberProgram(const std::string& extension, const std::string& program) {
  const std::string path = ProgramMapPath();
  TStringListEx map;
  LoadProgramMap(map, path);
  map.SetValueText(extension, program);
  SaveListRetry(map, path);
}

std::string TrimControlAndBlank(const std::string& text) {
  size_t first = 0, last = text.size();
  while (first < last && static_cast<unsigned char>(text[first]) <= 32) ++first;
  while (last > first && static_cast<unsigned char>(text[last - 1]) <= 32) --last;
  return text.substr(first, last - first);
}

// Asks for a file's associated program on a worker thread and wakes the
// window's wait when the answer is there. A job dropped unrun (the pool shut
// down) breaks its promise, which ends the wait too.
class TAssociationJob : public TWorkerThreadJob {
 public:
  explicit TAssociationJob(std::string file) : file_(std::move(file)) {}
  std::future<std::string> Answer() { return answer_.get_future(); }
  void Execute() override {
    std::string program;
    try {
      program = AssociatedProgramOnce(file_);
    } catch (...) {
      // no preset
    }
    answer_.set_value(program);
    platform::GetUiHooks().WakeUp();
  }

 private:
  std::string file_;
  std::promise<std::string> answer_;
};

// How often the wait for an answer looks again when no event wakes it.
constexpr unsigned kAnswerPollMs = 50;

// The associated program for the choice dialog's preset. An answer not known
// yet is asked on a worker thread while the window's events keep flowing.
std::string AwaitAssociatedProgram(const std::string& file) {
  if (std::optional<std::string> known = KnownAssociatedProgram(file)) return *known;
  auto job = std::make_unique<TAssociationJob>(file);
  std::future<std::string> answer = job->Answer();
  OpeningThreadPool().AddJob(std::move(job));
  while (answer.wait_for(std::chrono::seconds(0)) != std::future_status::ready) {
    if (!platform::GetUiHooks().PumpMessages(kAnswerPollMs)) return "";  // the program ends: no preset
  }
  try {
    return answer.get();
  } catch (const std::future_error&) {
    return "";
  }
}

}  // namespace

std::string ProgramMapPath() {
  std::string path = AddTrailingBackslash(GetClientRootDir()) + kProgramMapFileName;
  // The old file moves in once. Where it cannot be deleted (an installation
  // in a folder the user may not write) it stays behind and must not replace
  // the choices made since.
  if (FileExistsEx(path)) return path;
  const std::string legacy = LegacyProgramMapPath();
  if (FileExistsEx(legacy) && CopyFileRetry(legacy, path)) DeleteFileIfExists(legacy);
  return path;
}

std::string FindAssociatedProgram(const std::string& file) {
  std::array<char, platform::kMaxPath> buffer{};
  if (platform::FindExecutable(file, buffer) <= kHighestFailureCode) return "";
  // The buffer is read the way the Windows call leaves it: embedded NULs in the
  // first MAX_PATH - 1 bytes are blanks, the last byte ends the text.
  for (size_t i = 0; i + 1 < buffer.size(); ++i) {
    if (buffer[i] == '\0') buffer[i] = ' ';
  }
  buffer.back() = '\0';
  return TrimControlAndBlank(buffer.data());
}

TResolvedProgram ResolveProgram(const std::string& file, bool ask) {
  TResolvedProgram result;
  if (IsUrlOrMail(file)) return result;

  TStringListEx map;
  LoadProgramMap(map, ProgramMapPath());
  result.Program = map.GetValueText(LowerFileExt(file));
  if (result.Program.empty()) {
    if (std::optional<std::string> known = KnownAssociatedProgram(file)) result.Program = *known;
    else result.AskAssociation = true;
  }

  if (ask && platform::GetUiHooks().IsRightControlDown()) {
    ProgramChoiceRequest request;
    request.Filter = ProgramChoiceFilter();
    request.FileName = AwaitAssociatedProgram(file);
    if (request.FileName.empty()) request.InitialDir = ExtractFilePath(result.Program);
    std::string chosen;
    if (GetProgramChoiceHook().ChooseProgram(request, chosen) && !chosen.empty()) {
      RememberProgram(LowerFileExt(file), chosen);
      result.Program = chosen;
      result.AskAssociation = false;
    } else {
      result.Cancelled = true;
    }
  }
  return result;
}

}  // namespace wb
