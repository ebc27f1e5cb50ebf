// SPDX-License-Identifier: GPL-3.0-or-later
#include "store/field_forms.h"

#include <QByteArray>
#include <algorithm>
#include <string>

#include "store/file_number.h"

namespace {

// Reads `min` to `max` digits; false when there are fewer.
bool Digits(QStringView& s, int min, int max, int& value) {
  value = 0;
  int n = 0;
  while (n < max && n < s.size() && s[n].isDigit() && s[n].unicode() < 0x80) {
    value = value * 10 + (s[n].unicode() - u'0');
    ++n;
  }
  s = s.mid(n);
  return n >= min;
}

bool Take(QStringView& s, char16_t c) {
  if (s.isEmpty() || s.front() != c) return false;
  s = s.mid(1);
  return true;
}

std::optional<QDate> Valid(int y, int m, int d) {
  const QDate date(y, m, d);
  if (!date.isValid()) return std::nullopt;
  return date;
}

// yyyy-M-d
std::optional<QDate> IsoDay(QStringView s) {
  int y = 0, m = 0, d = 0;
  if (!Digits(s, 4, 4, y) || !Take(s, u'-') || !Digits(s, 1, 2, m) || !Take(s, u'-') ||
      !Digits(s, 1, 2, d) || !s.isEmpty()) {
    return std::nullopt;
  }
  return Valid(y, m, d);
}

// d.M.yyyy
std::optional<QDate> GermanDay(QStringView s) {
  int y = 0, m = 0, d = 0;
  if (!Digits(s, 1, 2, d) || !Take(s, u'.') || !Digits(s, 1, 2, m) || !Take(s, u'.') ||
      !Digits(s, 4, 4, y) || !s.isEmpty()) {
    return std::nullopt;
  }
  return Valid(y, m, d);
}

}  // namespace

std::optional<DayText> DayFromText(QStringView text) {
  const QStringView s = text.trimmed();
  if (s.size() >= 2 && s.front() == u'#' && s.back() == u'#') {
    if (auto day = IsoDay(s.mid(1, s.size() - 2))) return DayText{*day, true};
    return std::nullopt;
  }
  if (auto day = IsoDay(s)) return DayText{*day, false};
  if (auto day = GermanDay(s)) return DayText{*day, false};
  return std::nullopt;
}

std::optional<double> NumberFromText(QStringView text) {
  const QStringView s = text.trimmed();
  if (s.isEmpty()) return std::nullopt;
  // The characters as bytes, on the stack unless the text is long.
  char small[64];
  std::string large;
  char* bytes = small;
  if (s.size() > qsizetype(sizeof small)) {
    large.resize(std::size_t(s.size()));
    bytes = large.data();
  }
  int commas = 0, points = 0;
  for (qsizetype i = 0; i < s.size(); ++i) {
    const char16_t c = s[i].unicode();
    if (c >= 0x80) return std::nullopt;
    bytes[i] = char(c);
    commas += c == u',';
    points += c == u'.';
  }
  const char* const end = bytes + s.size();
  if (auto number = ParseFileNumber(bytes, end)) return number;
  if (commas == 1 && points == 0) {
    std::replace(bytes, bytes + s.size(), ',', '.');
    return ParseFileNumber(bytes, end);
  }
  return std::nullopt;
}
