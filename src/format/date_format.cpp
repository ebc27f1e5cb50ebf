// SPDX-License-Identifier: GPL-3.0-or-later
#include "format/date_format.h"

QString DayMonth(QDate date) {
  // Drawn for every day of the calendar: put together by hand, which costs far less than a
  // formatted print.
  const auto digit = [](int d) { return QChar(u'0' + d); };
  const int day = date.day(), month = date.month();
  if (day < 1 || month < 1) return QStringLiteral("00.00.");
  const QChar chars[6] = {digit(day / 10), digit(day % 10), u'.', digit(month / 10),
                          digit(month % 10), u'.'};
  return QString(chars, 6);
}

QString DayHeading(QDate date, const QLocale& locale) {
  return locale.dayName(date.dayOfWeek(), QLocale::LongFormat) + QStringLiteral(", ") +
         DayMonth(date);
}

QString DayLabel(QDate date, const QLocale& locale) {
  return DayMonth(date) + QStringLiteral(" (") +
         locale.dayName(date.dayOfWeek(), QLocale::ShortFormat) + u')';
}

QString MonthHeading(QDate date, const QLocale& locale) {
  return locale.monthName(date.month(), QLocale::ShortFormat) + u' ' +
         QString::asprintf("%04d", date.year());
}

QDate FirstOfMonth(QDate date) {
  return date.addDays(1 - date.day());
}
