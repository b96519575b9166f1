// Test support: a private, empty folder tree per test with TMPDIR, HOME and the
// XDG variables pointed into it, so client folders, WBTempDir and pipes of one
// test never meet those of the user or of another test. Restores the variables.
// On Windows TMP and TEMP (what GetTempPathA reads) point into it as well.
#pragma once

#include <cstdlib>
#include <filesystem>
#include <map>
#include <optional>
#include <random>
#include <string>
#ifdef _WIN32
#include <process.h>
#else
#include <unistd.h>
#endif

namespace wb::test {

namespace detail {
#ifdef _WIN32
inline int ProcessId() { return ::_getpid(); }
// _putenv_s changes the process environment too, where the system reads TMP.
inline void SetVariable(const std::string& name, const std::string& value) { ::_putenv_s(name.c_str(), value.c_str()); }
inline void UnsetVariable(const std::string& name) { ::_putenv_s(name.c_str(), ""); }
#else
inline int ProcessId() { return ::getpid(); }
inline void SetVariable(const std::string& name, const std::string& value) { ::setenv(name.c_str(), value.c_str(), 1); }
inline void UnsetVariable(const std::string& name) { ::unsetenv(name.c_str()); }
#endif
}  // namespace detail

class TempEnv {
 public:
  TempEnv() {
    std::random_device random;
    root_ = std::filesystem::temp_directory_path() /
            ("wbtest-" + std::to_string(detail::ProcessId()) + "-" + std::to_string(random()));
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
    for (auto& [name, value] : saved_) {
      if (value) detail::SetVariable(name, *value);
      else detail::UnsetVariable(name);
    }
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
    if (!saved_.count(name)) {
      const char* old = std::getenv(name.c_str());
      saved_[name] = old ? std::optional<std::string>(old) : std::nullopt;
    }
    detail::SetVariable(name, value);
  }

 private:
  std::filesystem::path root_;
  std::map<std::string, std::optional<std::string>> saved_;
};

}  // namespace wb::test
