#include "platform/Exception.h"

namespace korvane {

EConvertError EConvertError::NotAnInteger(const std::string& text) {
  return EConvertError("'" + text + "' is not a valid integer value");
}

EFCreateError EFCreateError::ForPath(const std::string& path) {
  return EFCreateError("Cannot create file " + path);
}

EFOpenError EFOpenError::ForPath(const std::string& path) {
  return EFOpenError("Cannot open file " + path);
}

EIniFileException EIniFileException::ForPath(const std::string& path) {
  return EIniFileException("Unable to write to " + path);
}

}  // namespace korvane
