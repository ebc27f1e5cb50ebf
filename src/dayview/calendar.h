// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QDate>
#include <vector>

#include "store/tables.h"
#include "store/value.h"
#include "surface/drawing_surface.h"

namespace calendar_colors {
inline constexpr Rgb kHeader{255, 255, 255};
inline constexpr Rgb kOddDay{150, 150, 150};
inline constexpr Rgb kEvenDay{200, 200, 200};
inline constexpr Rgb kToday{255, 120, 120};
inline constexpr Rgb kBody{255, 255, 255};
inline constexpr Rgb kSelected{255, 255, 0};
inline constexpr Rgb kCategory{0, 255, 0};
}  // namespace calendar_colors

// A rectangle in twips, top-left corner first.
struct TwipRect {
  float left, top, right, bottom;
};

// Where the calendar puts things on a surface of width W and height H. The month is one column
// of day rows under a header; room is kept for 31 rows whatever the month's length, and the band
// of one row height directly under the header stays empty. Drawing and hit-testing both use
// this, so a press lands in exactly the row that was drawn there.
class CalendarGeometry {
 public:
  CalendarGeometry(float width, float height);

  float Width() const { return W_; }
  float Height() const { return H_; }
  // R = 0.9 H / 31.
  float RowHeight() const { return static_cast<float>(R_); }

  TwipRect Header() const;
  // Day k (1 for the first of the month) spans 0.05 H + k R to 0.05 H + (k + 1) R.
  float RowTop(int day) const;
  float RowBottom(int day) const;
  TwipRect LabelCell(int day) const;
  TwipRect BodyCell(int day) const;
  // Box j (from 1) of day k; five boxes fill the body cell, later ones lie beyond the edge.
  TwipRect CategoryBox(int day, int box) const;

  // The day whose row holds (x, y) strictly inside, 0 when none of the month's `days` rows
  // does (header, empty band, a line between rows, below the last row, x <= 0 or x >= W).
  int DayAt(float x, float y, int days) const;

 private:
  double W_, H_, R_;
};

// The distinct categories of the person's entries on each day of the month that starts on
// `first`, each day's list in the order of its first entry. Index 0 is day 1. Reads only the
// person's rows of that month, from the table's index.
std::vector<std::vector<Value>> CategoriesByDay(const EntryTable& entries, QDate first,
                                                const Value& person);

struct CalendarView {
  QDate viewMonth;     // any day of the month to show
  Value selectedDate;  // its body cell is yellow
  QDate today;         // its label cell is light red
  Value person;        // whose entries mark the days
};

// Clears the surface and draws the month: header, then for each day its label cell, body cell
// and one green box per category. Uses the surface's lasting font size: header and labels keep
// whatever size is in force, captions are printed at 7 points and leave 8 points behind.
void DrawMonthCalendar(DrawingSurface& surface, const EntryTable& entries,
                       const CalendarView& view);

// What the calendar shows, in words for a screen reader. The name gives the month, the selected
// day as the selected-day field writes it and the categories marked on it; the description
// every day with marks, with its categories written whole, and today.
struct CalendarWords {
  QString name;
  QString description;
};
CalendarWords DescribeMonthCalendar(const EntryTable& entries, const CalendarView& view);

// The first day of the month after / before the one `date` lies in.
QDate NextMonthStart(QDate date);
QDate PrevMonthStart(QDate date);
