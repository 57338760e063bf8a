#pragma once

#include <optional>
#include <string>

namespace korvane {

// The degrees-minutes-seconds conversion: degrees and minutes by the strict integer
// conversion, seconds by the C-locale longest-prefix conversion rounded to single precision;
// D + M/60 + S/3600 summed in extended precision and rounded to single precision, shown in
// the general number format. Nothing when degrees or minutes do not convert.
std::optional<std::string> ConvertDegreesMinutesSeconds(const std::string& degrees,
                                                        const std::string& minutes,
                                                        const std::string& seconds);

}  // namespace korvane
