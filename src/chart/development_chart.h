// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QDate>
#include <QLocale>
#include <QString>
#include <vector>

#include "store/tables.h"
#include "surface/drawing_surface.h"

// The month the chart shows: its first day and its number of days (28 to 31).
struct ChartMonth {
  QDate first;
  int days = 0;
};
ChartMonth ChartMonthOf(QDate anyDay);

// The daily totals of the month, day 1 at index 0: per day the Value sum, in entry order, of
// the values of the entries of that day, person and category, and of that item unless `item`
// is Empty or the empty Text (then every item of the category adds up). Every total starts as the
// Number 0, so a value that is no Number (a hand-edited entries file) counts as 0. Reads only the
// person's rows of that month, from the table's index.
std::vector<Value> DailyTotals(const EntryTable& entries, const ChartMonth& month,
                               const Value& person, const Value& category, const Value& item);

// The daily totals as tab-separated text for a spreadsheet or a document: a header line
// "Tag\tSumme", then a line per day of the month with its ISO day and its total in the locale's
// notation (empty where the total is 0: the day has no bar), CR LF after each line.
QString DailyTotalsText(const ChartMonth& month, const std::vector<Value>& totals,
                        const QLocale& locale);

// The value axis from the positive totals: 5 % headroom above the largest and below the
// smallest, the bottom at 0 when it would lie under 10. Scale is drawing units per value unit
// for a plot of `plotHeight`; 0 when no day has a positive total.
struct ChartAxis {
  double top = 0;
  double bottom = 0;
  double range = 0;
  double scale = 0;
};
ChartAxis ChartAxisOf(const std::vector<Value>& totals, double plotHeight);

// Clears the surface and draws the chart of the totals (one per day of `month`): plot area,
// day columns with the weekend shades and Sunday date boxes, frame, bars, grid and the five
// value labels.
void DrawDevelopmentChart(DrawingSurface& surface, const ChartMonth& month,
                          const std::vector<Value>& totals);

// The chart in words for a screen reader: the name gives the person, the category, the item
// ("alle Items" for the empty one) and the month; the description every bar's day and total.
struct ChartWords {
  QString name;
  QString description;
};
ChartWords DescribeDevelopmentChart(const ChartMonth& month, const std::vector<Value>& totals,
                                    const Value& person, const Value& category, const Value& item);
