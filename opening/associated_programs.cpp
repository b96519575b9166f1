// The associated programs remembered per file type; see associated_programs.h.
#include "opening/associated_programs.h"

#include <chrono>
#include <future>
#include <map>
#include <mutex>

#include "client/file_helpers.h"
#include "opening/opening_rules.h"
#include "opening/program_map.h"

namespace wb {
namespace {

// One answer per lower-cased extension; a future, so that a second asker of
// the same type waits for the first instead of asking again.
struct AnswerTable {
  std::mutex Lock;
  std::map<std::string, std::shared_future<std::string>> Answers;
};

AnswerTable& Table() {
  static AnswerTable table;
  return table;
}

// The extension that keys the table, "" for files asked each time.
std::string TypeOf(const std::string& file) {
  const std::string bare = StripOuterQuotes(file);
  if (!FileExistsEx(bare)) return "";
  return LowerFileExt(bare);
}

}  // namespace

std::string AssociatedProgramOnce(const std::string& file) {
  const std::string type = TypeOf(file);
  if (type.empty() || type == ".") return FindAssociatedProgram(file);
  std::promise<std::string> promise;
  std::shared_future<std::string> answer;
  bool asker = false;
  {
    std::lock_guard lock(Table().Lock);
    auto [entry, added] = Table().Answers.try_emplace(type);
    if (added) {
      entry->second = promise.get_future().share();
      asker = true;
    }
    answer = entry->second;
  }
  if (asker) {
    try {
      promise.set_value(FindAssociatedProgram(file));
    } catch (...) {
      // Nothing remembered: the next file of the type asks again.
      {
        std::lock_guard lock(Table().Lock);
        Table().Answers.erase(type);
      }
      promise.set_value("");
    }
  }
  return answer.get();
}

std::optional<std::string> KnownAssociatedProgram(const std::string& file) {
  const std::string type = TypeOf(file);
  if (type.empty() || type == ".") return std::nullopt;
  std::lock_guard lock(Table().Lock);
  auto entry = Table().Answers.find(type);
  if (entry == Table().Answers.end()) return std::nullopt;
  if (entry->second.wait_for(std::chrono::seconds(0)) != std::future_status::ready) return std::nullopt;
  return entry->second.get();
}

void ForgetAssociatedPrograms() {
  std::lock_guard lock(Table().Lock);
  Table().Answers.clear();
}

}  // namespace wb
