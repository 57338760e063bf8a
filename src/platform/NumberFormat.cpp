#include "platform/NumberFormat.h"

#include <atomic>
#include <charconv>
#include <clocale>
#include <cmath>
#include <cstdlib>
#include <limits>

#include "platform/Exception.h"

namespace korvane {
namespace {

constexpr int GeneralPrecision = 15;

// Parses the strict integer form; false when the text does not convert.
bool ParseStrictInteger(const std::string& text, int& result) {
  size_t i = 0;
  while (i < text.size() && text[i] == ' ')
    ++i;
  bool negative = false;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
    negative = text[i] == '-';
    ++i;
  }
  int base = 10;
  if (i < text.size() && text[i] == '$') {
    base = 16;
    ++i;
  } else if (i < text.size() && (text[i] == 'x' || text[i] == 'X')) {
    base = 16;
    ++i;
  } else if (i + 1 < text.size() && text[i] == '0' && (text[i + 1] == 'x' || text[i + 1] == 'X')) {
    base = 16;
    i += 2;
  }
  if (i >= text.size()) return false;
  long long value = 0;
  // Hexadecimal texts may spell any 32-bit pattern, decimal ones only the signed range.
  const long long limit = base == 16 ? 0xFFFFFFFFLL : 0x80000000LL;
  for (; i < text.size(); ++i) {
    int digit =
        base == 16 ? HexDigitValue(text[i]) : (IsDecimalDigit(text[i]) ? text[i] - '0' : -1);
    if (digit < 0) return false;
    value = value * base + digit;
    if (value > limit) return false;
  }
  if (base == 10 && !negative && value > std::numeric_limits<int>::max()) return false;
  if (negative) value = -value;
  result = static_cast<int>(static_cast<unsigned int>(value));
  return true;
}

std::atomic<char> separatorOverride{'\0'};

}  // namespace

void SetDecimalSeparator(char separator) {
  separatorOverride.store(separator);
}

char DecimalSeparator() {
  if (char chosen = separatorOverride.load(); chosen != '\0') return chosen;
  const lconv* conventions = std::localeconv();
  if (conventions != nullptr && conventions->decimal_point != nullptr &&
      conventions->decimal_point[0] != '\0') {
    return conventions->decimal_point[0];
  }
  return '.';
}

std::string FloatToStr(double value) {
  return FloatToStr(value, DecimalSeparator());
}

std::string FloatToStr(double value, char decimalSeparator) {
  if (std::isnan(value)) return "NAN";
  if (std::isinf(value)) return value > 0 ? "INF" : "-INF";
  if (value == 0) return "0";
  // 15 significant digits as d.dddddddddddddde±x, independent of the locale.
  char buffer[64];
  auto [end, error] = std::to_chars(buffer, buffer + sizeof buffer, value,
                                    std::chars_format::scientific, GeneralPrecision - 1);
  if (error != std::errc()) return "0";
  std::string text(buffer, end);
  bool negative = text[0] == '-';
  if (negative) text.erase(0, 1);
  size_t e = text.find('e');
  int exponent = std::atoi(text.c_str() + e + 1);
  std::string digits;
  for (size_t i = 0; i < e; ++i) {
    if (IsDecimalDigit(text[i])) digits += text[i];
  }
  while (digits.size() > 1 && digits.back() == '0')
    digits.pop_back();

  const char separator = decimalSeparator;
  std::string result = negative ? "-" : "";
  if (exponent < -5 || exponent >= GeneralPrecision) {
    result += digits[0];
    if (digits.size() > 1) {
      result += separator;
      result.append(digits, 1);
    }
    result += 'E';
    result += std::to_string(exponent);
  } else if (exponent < 0) {
    result += '0';
    result += separator;
    result.append(static_cast<size_t>(-exponent - 1), '0');
    result += digits;
  } else {
    size_t whole = static_cast<size_t>(exponent) + 1;
    if (digits.size() <= whole) {
      result += digits;
      result.append(whole - digits.size(), '0');
    } else {
      result.append(digits, 0, whole);
      result += separator;
      result.append(digits, whole);
    }
  }
  return result;
}

std::string IntToStr(long long value) {
  return std::to_string(value);
}

int StrToInt(const std::string& text) {
  int result = 0;
  if (!ParseStrictInteger(text, result)) throw EConvertError::NotAnInteger(text);
  return result;
}

int StrToIntDef(const std::string& text, int defaultValue) {
  int result = 0;
  return ParseStrictInteger(text, result) ? result : defaultValue;
}

double CAtof(const std::string& text) {
  size_t i = 0;
  while (i < text.size() && (text[i] == ' ' || (text[i] >= '\t' && text[i] <= '\r')))
    ++i;
  size_t start = i;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) ++i;
  size_t mantissaStart = i;
  while (i < text.size() && IsDecimalDigit(text[i]))
    ++i;
  bool hasDigits = i > mantissaStart;
  if (i < text.size() && text[i] == '.') {
    size_t fractionStart = ++i;
    while (i < text.size() && IsDecimalDigit(text[i]))
      ++i;
    hasDigits = hasDigits || i > fractionStart;
  }
  if (!hasDigits) return 0;
  size_t end = i;
  if (i < text.size() && (text[i] == 'e' || text[i] == 'E')) {
    size_t j = i + 1;
    if (j < text.size() && (text[j] == '+' || text[j] == '-')) ++j;
    size_t exponentStart = j;
    while (j < text.size() && IsDecimalDigit(text[j]))
      ++j;
    if (j > exponentStart) end = j;
  }
  // from_chars takes no leading "+"; the sign is applied here instead.
  bool negative = text[start] == '-';
  size_t numberStart = (text[start] == '+' || text[start] == '-') ? start + 1 : start;
  double value = 0;
  auto result = std::from_chars(text.data() + numberStart, text.data() + end, value);
  if (result.ec == std::errc::result_out_of_range) {
    value = text.find_first_of("eE", numberStart) < end &&
                    text.find('-', text.find_first_of("eE", numberStart)) < end
                ? 0.0
                : std::numeric_limits<double>::infinity();
  }
  return negative ? -value : value;
}

}  // namespace korvane
