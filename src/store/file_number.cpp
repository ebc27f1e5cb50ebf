// SPDX-License-Identifier: GPL-3.0-or-later
#include "store/file_number.h"

#include <charconv>
#include <cmath>
#include <cstdint>

namespace {

// A number with at most two decimals and at most 15 significant digits in the shortest form
// that reads back to it; nothing for any other number. Such a decimal d reads back to `number`
// exactly when d's correctly rounded double, k / 100, is `number`; and no other decimal of at
// most 15 digits reads back to the same double, so d without its trailing zeros is also what the
// general shortest formatting writes.
std::optional<std::size_t> FormatShortDecimal(double number, char* out) {
  if (!(std::fabs(number) < 1e13)) return std::nullopt;
  const double scaled = number * 100;
  const auto k = static_cast<long long>(scaled < 0 ? scaled - 0.5 : scaled + 0.5);
  if (static_cast<double>(k) / 100 != number) return std::nullopt;
  char* p = out;
  if (k < 0) *p++ = '-';
  const unsigned long long magnitude =
      k < 0 ? 0ULL - static_cast<unsigned long long>(k) : static_cast<unsigned long long>(k);
  p = std::to_chars(p, p + 24, magnitude / 100).ptr;
  const auto cents = static_cast<unsigned>(magnitude % 100);
  *p++ = '.';
  *p++ = static_cast<char>('0' + cents / 10);
  if (cents % 10 != 0) *p++ = static_cast<char>('0' + cents % 10);  // no trailing zero
  return static_cast<std::size_t>(p - out);
}

}  // namespace

std::size_t FormatFileNumber(double number, char* out) {
  if (number == 0) number = 0;  // no "-0"
  if (std::fabs(number) < 1e15 && number == std::trunc(number)) {
    const auto whole = std::to_chars(out, out + 24, static_cast<long long>(number));
    return static_cast<std::size_t>(whole.ptr - out);
  }
  if (const auto shortDecimal = FormatShortDecimal(number, out)) return *shortDecimal;
  const auto result =
      std::to_chars(out, out + kMostFileNumberChars, number, std::chars_format::fixed);
  return static_cast<std::size_t>(result.ptr - out);
}

std::optional<double> ParseFileNumber(const char* first, const char* last) {
  for (const char* p = first; p < last; ++p) {
    const char c = *p;
    if (!((c >= '0' && c <= '9') || c == '-' || c == '.' || c == 'e' || c == 'E' ||
          (c == '+' && p > first))) {
      return std::nullopt;
    }
  }
  double value = 0;
  const auto result = std::from_chars(first, last, value, std::chars_format::general);
  if (result.ec != std::errc() || result.ptr != last || !std::isfinite(value)) return std::nullopt;
  return value;
}

// Mantissa and power of ten are exact doubles, so their quotient is the correctly rounded value
// that the general parser gives as well.
std::optional<double> ParseShortDecimal(const char* first, const char* last) {
  static constexpr double kPowersOfTen[] = {1e0, 1e1, 1e2,  1e3,  1e4,  1e5,  1e6,  1e7,
                                            1e8, 1e9, 1e10, 1e11, 1e12, 1e13, 1e14, 1e15};
  const char* p = first;
  const bool negative = p < last && *p == '-';
  if (negative) ++p;
  std::uint64_t mantissa = 0;
  int digits = 0, decimals = 0;
  bool point = false;
  for (; p < last; ++p) {
    const char c = *p;
    if (c >= '0' && c <= '9') {
      if (++digits > 15) return std::nullopt;
      mantissa = mantissa * 10 + static_cast<std::uint64_t>(c - '0');
      if (point) ++decimals;
    } else if (c == '.' && !point) {
      point = true;
    } else {
      return std::nullopt;
    }
  }
  if (digits == 0) return std::nullopt;
  const double value = static_cast<double>(mantissa) / kPowersOfTen[decimals];
  return negative ? -value : value;
}
