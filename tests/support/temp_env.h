// Test support: a private, empty folder tree per test with TMPDIR, HOME and the
// XDG variables pointed into it, so client folders, WBTempDir and pipes of one
// test never meet those of the user or of another test. Restores the variables.
// On Windows TMP and TEMP (what GetTempPathA reads) point into it as well.
#pragma once

#include <filesystem>
#include <memory>
#include <random>
#include <string>
#include <vector>
#ifdef _WIN32
#include <process.h>
#else
#include <unistd.h>
#endif

#include "support/environment.h"

namespace wb::test {

class TempEnv {
 public:
  TempEnv() {
    std::random_device random;
    root_ = std::filesystem::temp_directory_path() /
            ("wbtest-" + std::to_string(ProcessId()) + "-" + std::to_string(random()));
    std::filesystem::create_directories(root_ / "tmp");
    std::filesystem::create_directories(root_ / "home");
    Set("TMPDIR", (root_ / "tmp").string());
    Set("HOME", (root_ / "home").string());
    Set("XDG_CACHE_HOME", (root_ / "home" / ".cache").string());
    Set("XDG_DATA_HOME", (root_ / "home" / ".local" / "share").string());
    Set("XDG_CONFIG_HOME", (root_ / "home" / ".config").string());
#ifdef _WIN32
    Set("TMP", (root_ / "tmp").string());
    Set("TEMP", (root_ / "tmp").string());
#endif
  }
  ~TempEnv() {
    // Given back in the reverse order, so a variable set twice ends as it was.
    while (!variables_.empty()) variables_.pop_back();
    std::error_code ignored;
    std::filesystem::permissions(root_, std::filesystem::perms::owner_all, ignored);
    std::filesystem::remove_all(root_, ignored);
  }
  TempEnv(const TempEnv&) = delete;
  TempEnv& operator=(const TempEnv&) = delete;

  const std::filesystem::path& Root() const { return root_; }
  // The folder TMPDIR points at (the POSIX "user's temporary path").
  std::filesystem::path Tmp() const { return root_ / "tmp"; }
  // A path below the root as text with a trailing delimiter ('/', '\\' on Windows).
  std::string Dir(const std::string& name) const {
    auto path = (root_ / name).make_preferred();
    std::filesystem::create_directories(path);
    return path.string() + static_cast<char>(std::filesystem::path::preferred_separator);
  }
  void Set(const std::string& name, const std::string& value) {
    variables_.push_back(std::make_unique<ScopedVariable>(name, value));
  }
  // Removes the variable until the end of the test.
  void Unset(const std::string& name) { variables_.push_back(std::make_unique<ScopedVariable>(name, std::nullopt)); }

 private:
#ifdef _WIN32
  static int ProcessId() { return ::_getpid(); }
#else
  static int ProcessId() { return ::getpid(); }
#endif

  std::filesystem::path root_;
  std::vector<std::unique_ptr<ScopedVariable>> variables_;
};

}  // namespace wb::test
