#include "platform/Paths.h"

namespace korvane {

std::string ExtractFilePath(const std::string& path) {
  size_t delim = path.rfind(PathDelim);
  return delim == std::string::npos ? std::string() : path.substr(0, delim + 1);
}

std::string ExtractFileName(const std::string& path) {
  size_t delim = path.rfind(PathDelim);
  return delim == std::string::npos ? path : path.substr(delim + 1);
}

std::string ExtractFileExt(const std::string& path) {
  size_t dot = path.rfind('.');
  if (dot == std::string::npos) return std::string();
  if (path.find(PathDelim, dot) != std::string::npos) return std::string();
  return path.substr(dot);
}

std::string RemoveFileExt(const std::string& path) {
  return path.substr(0, path.size() - ExtractFileExt(path).size());
}

std::string IncludeTrailingPathDelimiter(const std::string& path) {
  if (path.empty() || path.back() == PathDelim) return path;
  return path + PathDelim;
}

std::string ExcludeTrailingPathDelimiter(const std::string& path) {
  if (path.size() > 1 && path.back() == PathDelim) return path.substr(0, path.size() - 1);
  return path;
}

}  // namespace korvane
