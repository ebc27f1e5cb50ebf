// SPDX-License-Identifier: GPL-3.0-or-later
#include "format/number_format.h"

#include <charconv>
#include <cmath>

namespace {
// At most 15 significant digits, plain notation where it fits, point as separator.
QString FifteenDigits(double number) {
  if (number == 0) return QStringLiteral("0");
  char buf[64];
  const auto result = std::to_chars(buf, buf + sizeof buf, number, std::chars_format::general, 15);
  QString s = QString::fromLatin1(buf, result.ptr - buf);
  return s.replace(u'e', u'E');
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

std::optional<double> ParseUserNumber(const QString& text, const QLocale& locale) {
  const QString trimmed = text.trimmed();
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
