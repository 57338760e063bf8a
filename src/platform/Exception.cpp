#include "platform/Exception.h"

namespace korvane {

EConvertError EConvertError::NotAnInteger(const std::string& text) {
  return EConvertError("'" + text + "' is not a valid integer value");
}

FileCreateError FileCreateError::ForPath(const std::string& path) {
  return FileCreateError("Cannot create file " + path);
}

FileOpenError FileOpenError::ForPath(const std::string& path) {
  return FileOpenError("Cannot open file " + path);
}

IniFileError IniFileError::ForPath(const std::string& path) {
  return IniFileError("Unable to write to " + path);
}

}  // namespace korvane
