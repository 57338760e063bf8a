#include "dialogs/DmsConversion.h"

#include "platform/Exception.h"
#include "platform/NumberFormat.h"

namespace korvane {
namespace {

// Extended-precision constants, as the sum is formed in extended precision.
constexpr long double OneSixtieth = 1.0L / 60.0L;
constexpr long double OneThirtySixHundredth = 1.0L / 3600.0L;

}  // namespace

std::optional<std::string> ConvertDegreesMinutesSeconds(const std::string& degrees,
                                                        const std::string& minutes,
                                                        const std::string& seconds) {
  int d = 0;
  int m = 0;
  try {
    d = StrToInt(degrees);
    m = StrToInt(minutes);
  } catch (const EConvertError&) {
    return std::nullopt;
  }
  const float s = static_cast<float>(CAtof(seconds));
  const long double sum = static_cast<long double>(d) + m * OneSixtieth + s * OneThirtySixHundredth;
  const float result = static_cast<float>(sum);
  return FloatToStr(static_cast<double>(result));
}

}  // namespace korvane
