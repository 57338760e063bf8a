#pragma once

#include <ctime>
#include <string>

namespace korvane {

// The local date and time in the user's short date format, a blank and the long time format
// (LC_TIME's date and time formats); the time is left out when it is exactly midnight.
std::string DateTimeToStr(const std::tm& localTime);

// DateTimeToStr of the current local time.
std::string NowText();

}  // namespace korvane
