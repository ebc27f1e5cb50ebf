// SPDX-License-Identifier: GPL-3.0-or-later
#include "format/date_format.h"

QString DayMonth(QDate date) {
  return QString::asprintf("%02d.%02d.", date.day(), date.month());
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
