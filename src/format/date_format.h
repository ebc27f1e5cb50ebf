// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QDate>
#include <QLocale>
#include <QString>

// Dates as the user sees them, with day and month names from the locale.

// "Dienstag, 05.03." — the full weekday name, a comma, two-digit day and month.
QString DayHeading(QDate date, const QLocale& locale = QLocale());
// "05.03. (Di.)" — two-digit day and month, the abbreviated weekday in parentheses.
QString DayLabel(QDate date, const QLocale& locale = QLocale());
// "März 2024" — the abbreviated month name and the four-digit year.
QString MonthHeading(QDate date, const QLocale& locale = QLocale());
// "05.03." — two-digit day and month, each followed by a point.
QString DayMonth(QDate date);

// The first day of the month `date` lies in.
QDate FirstOfMonth(QDate date);
