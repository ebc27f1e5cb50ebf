// SPDX-License-Identifier: GPL-3.0-or-later
#include "format/number_format.h"

#include <charconv>
#include <cmath>
#include <string>
#include <string_view>

namespace {
// At most 15 significant digits in plain decimal notation, point as separator, never an
// exponent: 0.00001, 100000000000000000000, 0.333333333333333.
QString FifteenDigits(double number) {
  if (number == 0) return QStringLiteral("0");
  if (!std::isfinite(number)) return QString::number(number);
  // "d.dddddddddddddde±x": the 15 significant digits and the power of ten of the first.
  char buf[64];
  const auto result =
      std::to_chars(buf, buf + sizeof buf, number, std::chars_format::scientific, 14);
  const std::string_view text(buf, static_cast<std::size_t>(result.ptr - buf));
  const std::size_t e = text.find('e');
  const bool negative = text.front() == '-';
  std::string digits;
  for (char c : text.substr(negative ? 1 : 0, e - (negative ? 1 : 0))) {
    if (c != '.') digits += c;
  }
  while (digits.size() > 1 && digits.back() == '0') digits.pop_back();
  int exponent = 0;
  const std::string_view power = text.substr(e + 1);
  std::from_chars(power.data() + (power.front() == '+' ? 1 : 0), power.data() + power.size(),
                  exponent);
  // The point stands after `whole` digits.
  const long whole = exponent + 1;
  const long count = static_cast<long>(digits.size());
  std::string plain;
  if (whole <= 0) {
    plain = "0." + std::string(static_cast<std::size_t>(-whole), '0') + digits;
  } else if (whole >= count) {
    plain = digits + std::string(static_cast<std::size_t>(whole - count), '0');
  } else {
    plain = digits.substr(0, static_cast<std::size_t>(whole)) + '.' +
            digits.substr(static_cast<std::size_t>(whole));
  }
  if (negative) plain.insert(plain.begin(), '-');
  return QString::fromLatin1(plain.data(), static_cast<qsizetype>(plain.size()));
}
}  // namespace

QString PrintNotation(double number, const QLocale& locale) {
  QString digits = FifteenDigits(number);
  digits.replace(u'.', locale.decimalPoint());
  return (digits.startsWith(u'-') ? digits : u' ' + digits) + u' ';
}

QString ListNotation(double number) {
  QString digits = FifteenDigits(number);
  if (digits.startsWith(QStringLiteral("0."))) digits.remove(0, 1);
  if (digits.startsWith(QStringLiteral("-0."))) digits.remove(1, 1);
  return digits.startsWith(u'-') ? digits : u' ' + digits;
}

QString LocaleNotation(double number, const QLocale& locale) {
  QString digits = FifteenDigits(number);
  return digits.replace(u'.', locale.decimalPoint());
}

double RoundToTenthHalfEven(double number) {
  return std::nearbyint(number * 10.0) / 10.0;
}

namespace {
// The characters people type for a group separator that the locale writes with another one:
// the ASCII apostrophe for the Swiss "’", a space or a no-break space for the narrow no-break
// space of French. Each is read as the locale's own.
QString WithLocaleGroupSeparator(QString text, const QLocale& locale) {
  const QString group = locale.groupSeparator();
  if (group.size() != 1) return text;
  static const QString kApostrophes = QStringLiteral("'\u2019");
  static const QString kSpaces = QStringLiteral(" \u00A0\u202F");
  for (const QString* alike : {&kApostrophes, &kSpaces}) {
    if (!alike->contains(group[0])) continue;
    for (QChar& c : text) {
      if (alike->contains(c)) c = group[0];
    }
  }
  return text;
}
}  // namespace

std::optional<double> ParseUserNumber(const QString& text, const QLocale& locale) {
  const QString trimmed = WithLocaleGroupSeparator(text.trimmed(), locale);
  if (trimmed.isEmpty()) return std::nullopt;
  // "5.500" in German could mean 5.5 typed with a point; only a number that also has the
  // decimal separator may carry grouping ("1.000,5").
  if (trimmed.contains(locale.groupSeparator()) && !trimmed.contains(locale.decimalPoint())) {
    return std::nullopt;
  }
  bool ok = false;
  const double value = locale.toDouble(trimmed, &ok);
  if (!ok || !std::isfinite(value)) return std::nullopt;
  return value;
}
