// The save-dialog seam.
#include "app/save_file_dialog.h"

#include <deque>
#include <mutex>

namespace wb {
namespace {

struct SeamState {
  std::mutex lock;
  ISaveFilePresenter* presenter = nullptr;
  std::deque<std::string> nextNames;
  std::vector<std::string> askedDefaults;
};

SeamState& State() {
  static SeamState state;
  return state;
}

}  // namespace

void SaveFileDialogs::SetPresenter(ISaveFilePresenter* presenter) {
  std::lock_guard<std::mutex> guard(State().lock);
  State().presenter = presenter;
}

std::string SaveFileDialogs::Ask(const std::string& caption, const std::string& defaultPath) {
  ISaveFilePresenter* presenter = nullptr;
  {
    std::lock_guard<std::mutex> guard(State().lock);
    State().askedDefaults.push_back(defaultPath);
    if (!State().nextNames.empty()) {
      std::string answer = State().nextNames.front();
      State().nextNames.pop_front();
      return answer;
    }
    presenter = State().presenter;
  }
  // The dialog runs without the lock: it pumps the event loop.
  return presenter ? presenter->AskSaveFileName(caption, defaultPath) : std::string();
}

void SaveFileDialogs::SetNextFileName(const std::string& path) {
  std::lock_guard<std::mutex> guard(State().lock);
  State().nextNames.push_back(path);
}

std::vector<std::string> SaveFileDialogs::TakeAskedDefaults() {
  std::lock_guard<std::mutex> guard(State().lock);
  std::vector<std::string> asked;
  asked.swap(State().askedDefaults);
  return asked;
}

}  // namespace wb
