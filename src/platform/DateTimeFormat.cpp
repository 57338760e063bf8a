#include "platform/DateTimeFormat.h"

#include <langinfo.h>

namespace korvane {
namespace {

std::string Format(const char* pattern, const std::tm& time) {
  char buffer[256];
  size_t length = std::strftime(buffer, sizeof buffer, pattern, &time);
  return std::string(buffer, length);
}

}  // namespace

std::string DateTimeToStr(const std::tm& localTime) {
  std::string text = Format(nl_langinfo(D_FMT), localTime);
  if (localTime.tm_hour != 0 || localTime.tm_min != 0 || localTime.tm_sec != 0) {
    text.push_back(' ');
    text.append(Format(nl_langinfo(T_FMT), localTime));
  }
  return text;
}

std::string NowText() {
  std::time_t now = std::time(nullptr);
  std::tm local{};
  localtime_r(&now, &local);
  return DateTimeToStr(local);
}

}  // namespace korvane
