// The main window's line to the suite's server: discovery, reads and writes,
// errors never raised (a silent server answers with empty text). The real link
// goes through the pipe client; tests script the answers.
#pragma once

#include <string>

namespace wb {

class IServerLink {
 public:
  virtual ~IServerLink() = default;
  // Finds the server that started this program (DetectServerName).
  virtual void Detect() = 0;
  // ReadIPCValueSync without request data.
  virtual std::string Read(const std::string& command) = 0;
  // WriteIPCValueASync with index -1; the result is not looked at.
  virtual void Write(const std::string& command, const std::string& data) = 0;
  // Whether the last Read got a whole reply: an empty text from a server that
  // answered means something else than no answer at all.
  virtual bool LastReadAnswered() const { return true; }
};

class PipeServerLink final : public IServerLink {
 public:
  void Detect() override;
  std::string Read(const std::string& command) override;
  void Write(const std::string& command, const std::string& data) override;
  bool LastReadAnswered() const override { return answered_; }

 private:
  bool answered_ = true;
};

}  // namespace wb
