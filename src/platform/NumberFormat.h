#pragma once

#include <string>

namespace korvane {

// The user's decimal separator: LC_NUMERIC of the current locale ("." in the C locale), unless
// the program set one with SetDecimalSeparator.
char DecimalSeparator();

// Sets the decimal separator for the whole process ('\0' returns to the locale's). Thread-safe.
void SetDecimalSeparator(char separator);

// The general number format: at most 15 significant digits, trailing zeros dropped, no
// separator for whole numbers, the user's decimal separator, and exponent form ("1E-6",
// "1.5E20") below 0.00001 and for more than 15 digits before the separator.
std::string FloatToStr(double value);

// The general number format with a given decimal separator, for texts that are not shown to
// the user (a service address must not depend on the user's locale).
std::string FloatToStr(double value, char decimalSeparator);

// Plain decimal.
std::string IntToStr(long long value);

// The strict integer conversion: optional leading blanks, optional sign, then decimal digits,
// or hexadecimal digits after "$", "x", "X", "0x" or "0X"; nothing may follow. Raises
// EConvertError ("'" + text + "' is not a valid integer value") otherwise, and when the value
// does not fit 32 bits.
int StrToInt(const std::string& text);

// StrToInt, with the default for any text that does not convert.
int StrToIntDef(const std::string& text, int defaultValue);

// The C library's decimal conversion in the C locale ("." always): leading white space
// skipped, then the longest prefix of the form [sign] digits [. digits] [exponent]; 0 when the
// text has no leading number. Never fails.
double CAtof(const std::string& text);

// '0'..'9', whatever the locale.
constexpr bool IsDecimalDigit(char c) {
  return c >= '0' && c <= '9';
}

// The value of one hexadecimal digit (either case); -1 for any other character.
constexpr int HexDigitValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

}  // namespace korvane
