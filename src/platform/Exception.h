#pragma once

#include <exception>
#include <string>

namespace korvane {

// The base of every error the program raises on purpose. Callers decide by its type and values;
// the texts are part of the interface too (users see them in logs and boxes; logs keep them).
class Exception : public std::exception {
 public:
  explicit Exception(std::string message) : message_(std::move(message)) {}
  const std::string& Message() const noexcept { return message_; }
  const char* what() const noexcept override { return message_.c_str(); }

 private:
  std::string message_;
};

// A text that is not a number: "'" + text + "' is not a valid integer value".
class EConvertError : public Exception {
 public:
  using Exception::Exception;
  static EConvertError NotAnInteger(const std::string& text);
};

// A file that cannot be created or written: "Cannot create file " + path.
class FileCreateError : public Exception {
 public:
  using Exception::Exception;
  static FileCreateError ForPath(const std::string& path);
};

// A file that cannot be opened or read: "Cannot open file " + path.
class FileOpenError : public Exception {
 public:
  using Exception::Exception;
  static FileOpenError ForPath(const std::string& path);
};

// An INI key that cannot be written: "Unable to write to " + path.
class IniFileError : public Exception {
 public:
  using Exception::Exception;
  static IniFileError ForPath(const std::string& path);
};

}  // namespace korvane
