// Test support: environment variables of the test process changed for a
// scope and given back at its end. Children started meanwhile inherit them;
// on Windows the system's copy changes too (_putenv_s), which is what
// GetTempPathA and started programs read.
#pragma once

#include <cstdlib>
#include <optional>
#include <string>

namespace wb::test {

// The variable's value; nullopt when it is not set.
inline std::optional<std::string> Variable(const std::string& name) {
  const char* value = std::getenv(name.c_str());
  return value ? std::optional<std::string>(value) : std::nullopt;
}

class ScopedVariable {
 public:
  // The variable holds the value for the scope; nullopt removes it for the scope.
  ScopedVariable(const std::string& name, const std::optional<std::string>& value) : name_(name), old_(Variable(name)) {
    Apply(name, value);
  }
  // nullptr removes it, as a getenv result that was null stands for "not set".
  ScopedVariable(const std::string& name, const char* value)
      : ScopedVariable(name, value ? std::optional<std::string>(value) : std::nullopt) {}
  ~ScopedVariable() { Apply(name_, old_); }
  ScopedVariable(const ScopedVariable&) = delete;
  ScopedVariable& operator=(const ScopedVariable&) = delete;

 private:
  static void Apply(const std::string& name, const std::optional<std::string>& value) {
    if (value) Set(name, *value);
    else Unset(name);
  }
#ifdef _WIN32
  static void Set(const std::string& name, const std::string& value) { ::_putenv_s(name.c_str(), value.c_str()); }
  // "" removes the variable.
  static void Unset(const std::string& name) { ::_putenv_s(name.c_str(), ""); }
#else
  static void Set(const std::string& name, const std::string& value) { ::setenv(name.c_str(), value.c_str(), 1); }
  static void Unset(const std::string& name) { ::unsetenv(name.c_str()); }
#endif

  std::string name_;
  std::optional<std::string> old_;
};

}  // namespace wb::test
