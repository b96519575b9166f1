// Stand-ins for the main window's surroundings: a view that records what the
// logic shows, a server whose answers a test scripts, an opener that records.
#pragma once

#include <deque>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "app/file_opener.h"
#include "app/main_view.h"
#include "app/server_link.h"

namespace wb::test {

class RecordingView : public IMainView {
 public:
  void SetCaption(const std::string& text) override { caption = text; }
  void SetEntryLines(const TStringList& lines) override {
    rows.clear();
    for (int i = 0; i < lines.Count(); ++i) rows.push_back(lines[i]);
    selected = -1;
  }
  int SelectedIndex() const override { return selected; }
  void SelectIndex(int index) override { selected = index; }
  void SetRunButtonText(const std::string& text) override {
    if (buttonTexts.empty() || buttonTexts.back() != text) buttonTexts.push_back(text);
    buttonText = text;
  }
  void SetRunButtonEnabled(bool enabled) override { buttonEnabled = enabled; }
  bool OpenPdfChecked() const override { return openChecked; }
  void SetOpenPdfChecked(bool checked) override { openChecked = checked; }
  void SetOpenPdfEnabled(bool enabled) override { openEnabled = enabled; }
  void PostClose() override { ++closeRequests; }
  void BringToFront() override { ++frontRequests; }

  std::string caption;
  std::vector<std::string> rows;
  int selected = -1;
  std::string buttonText = "Los!";
  std::vector<std::string> buttonTexts;
  bool buttonEnabled = true;
  bool openChecked = false;
  bool openEnabled = true;
  int closeRequests = 0;
  int frontRequests = 0;
};

class ScriptedServer : public IServerLink {
 public:
  void Detect() override { calls.push_back("DETECT"); }
  std::string Read(const std::string& command) override {
    calls.push_back("READ " + command);
    answered = !silent;
    if (silent) return {};
    auto found = answers.find(command);
    if (found == answers.end() || found->second.empty()) return {};
    std::string answer = found->second.front();
    if (found->second.size() > 1) found->second.pop_front();  // the last answer repeats
    return answer;
  }
  void Write(const std::string& command, const std::string& data) override {
    calls.push_back("WRITE " + command);
    writes.push_back({command, data});
    if (onWrite) onWrite(command, data);
  }
  bool LastReadAnswered() const override { return answered; }
  void Answer(const std::string& command, std::deque<std::string> values) { answers[command] = std::move(values); }
  int Count(const std::string& call) const {
    int n = 0;
    for (const auto& c : calls) n += c == call;
    return n;
  }

  std::map<std::string, std::deque<std::string>> answers;
  std::vector<std::string> calls;
  std::vector<std::pair<std::string, std::string>> writes;
  std::function<void(const std::string&, const std::string&)> onWrite;
  bool silent = false;  // the server stopped: no reply at all
  bool answered = true;
};

class RecordingOpener : public IFileOpener {
 public:
  void OpenInBackground(const std::string& path) override { opened.push_back(path); }
  void ShowInFolder(const std::string& path) override { shown.push_back(path); }
  void OpenWithProgram(const std::string& path) override { withProgram.push_back(path); }
  std::vector<std::string> opened, shown, withProgram;
};

}  // namespace wb::test
