// The exception types the core raises. Every message is 8-bit text in the system
// code page (German where a user sees it); the gui shows what() in its error box.
#pragma once

#include <cstdint>
#include <stdexcept>
#include <string>

namespace wb {

// Base of every error the tool raises on purpose ("the framework's exception").
class Exception : public std::runtime_error {
 public:
  explicit Exception(const std::string& message) : std::runtime_error(message) {}
};

// Input/output failure with an operating-system style error code.
class EInOutError : public Exception {
 public:
  EInOutError(const std::string& message, int errorCode) : Exception(message), ErrorCode(errorCode) {}
  int ErrorCode;
};

// A file could not be created / opened ("Datei %s kann nicht erstellt werden").
class EFCreateError : public Exception {
 public:
  using Exception::Exception;
};
class EFOpenError : public Exception {
 public:
  using Exception::Exception;
};

// A value could not be converted (text to number and the like).
class EConvertError : public Exception {
 public:
  using Exception::Exception;
};

// A platform call failed; carries the Windows-style error code.
class EOSError : public Exception {
 public:
  EOSError(const std::string& message, uint32_t errorCode) : Exception(message), ErrorCode(errorCode) {}
  uint32_t ErrorCode;
};

// Replaces the first "%s" in a message pattern; the patterns are the system's own texts.
std::string FormatMessageText(const std::string& pattern, const std::string& value);

}  // namespace wb
