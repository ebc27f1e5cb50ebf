// SPDX-License-Identifier: GPL-3.0-or-later
#include "dayview/calendar.h"

#include <QLocale>
#include <QStringList>
#include <algorithm>

#include "format/date_format.h"
#include "store/cell_text.h"
#include "store/entry_index.h"

namespace {
constexpr int kCaptionLength = 8;
constexpr float kCaptionPoints = 7;
constexpr float kPointsAfterCaption = 8;

TwipRect Rect(double left, double top, double right, double bottom) {
  return {static_cast<float>(left), static_cast<float>(top), static_cast<float>(right),
          static_cast<float>(bottom)};
}

// Every element is a filled rectangle with a black outline over the same corners.
void Box(DrawingSurface& s, const TwipRect& r, Rgb fill) {
  s.FillRect(r.left, r.top, r.right, r.bottom, fill);
  s.OutlineRect(r.left, r.top, r.right, r.bottom);
}

void PrintAt(DrawingSurface& s, double x, double y, const QString& text) {
  s.SetTextPosition(static_cast<float>(x), static_cast<float>(y));
  s.SetFontName(kFontName);
  s.Print(text);
}
}  // namespace

CalendarGeometry::CalendarGeometry(float width, float height)
    : W_(width), H_(height), R_(0.9 * height / 31) {}

TwipRect CalendarGeometry::Header() const {
  return Rect(0, 0.02 * H_, 0.3 * W_, 0.05 * H_);
}

float CalendarGeometry::RowTop(int day) const {
  return static_cast<float>(0.05 * H_ + day * R_);
}

float CalendarGeometry::RowBottom(int day) const {
  return static_cast<float>(0.05 * H_ + (day + 1) * R_);
}

TwipRect CalendarGeometry::LabelCell(int day) const {
  return {0, RowTop(day), static_cast<float>(0.3 * W_), RowBottom(day)};
}

TwipRect CalendarGeometry::BodyCell(int day) const {
  return {static_cast<float>(0.3 * W_), RowTop(day), static_cast<float>(W_), RowBottom(day)};
}

TwipRect CalendarGeometry::CategoryBox(int day, int box) const {
  const double width = 0.7 * W_ / 5;
  return Rect(0.3 * W_ + (box - 1) * width, 0.05 * H_ + (day + 0.1) * R_, 0.3 * W_ + box * width,
              0.05 * H_ + (day + 0.9) * R_);
}

int CalendarGeometry::DayAt(float x, float y, int days) const {
  if (!(x > 0 && x < W_)) return 0;
  for (int day = 1; day <= days; ++day) {
    if (y > RowTop(day) && y < RowBottom(day)) return day;
  }
  return 0;
}

std::vector<std::vector<Value>> CategoriesByDay(const EntryTable& entries, QDate first,
                                                const Value& person) {
  std::vector<std::vector<Value>> byDay(static_cast<std::size_t>(std::max(first.daysInMonth(), 0)));
  if (byDay.empty()) return byDay;
  const QDate last = first.addDays(static_cast<qint64>(byDay.size()) - 1);
  for (int i : entries.Index().PersonRowsBetween(person, first, last)) {
    const EntryRow& row = entries.Row(i);
    if (!row.Date().IsDate()) continue;
    const QDate day = row.Date().Date();
    if (day < first || day > last || !(row.Person() == person)) continue;
    std::vector<Value>& categories = byDay[static_cast<std::size_t>(day.day() - 1)];
    if (std::find(categories.begin(), categories.end(), row.Category()) == categories.end()) {
      categories.push_back(row.Category());
    }
  }
  return byDay;
}

void DrawMonthCalendar(DrawingSurface& s, const EntryTable& entries, const CalendarView& view) {
  s.Clear();
  const double W = s.Width(), H = s.Height();
  const CalendarGeometry g(s.Width(), s.Height());
  const QDate first = FirstOfMonth(view.viewMonth);

  Box(s, g.Header(), calendar_colors::kHeader);
  PrintAt(s, 0.02 * W, 0.02 * H + 0.001 * H, MonthHeading(first));

  const std::vector<std::vector<Value>> categoriesByDay =
      CategoriesByDay(entries, first, view.person);
  for (int k = 1; k <= static_cast<int>(categoriesByDay.size()); ++k) {
    const QDate day = first.addDays(k - 1);
    Rgb label = k % 2 == 1 ? calendar_colors::kOddDay : calendar_colors::kEvenDay;
    if (day == view.today) label = calendar_colors::kToday;
    Box(s, g.LabelCell(k), label);
    PrintAt(s, 0.02 * W, g.RowTop(k) + 0.001 * H, DayLabel(day));

    const bool selected = Value(day) == view.selectedDate;
    Box(s, g.BodyCell(k), selected ? calendar_colors::kSelected : calendar_colors::kBody);

    int j = 0;
    for (const Value& category : categoriesByDay[static_cast<std::size_t>(k - 1)]) {
      const TwipRect box = g.CategoryBox(k, ++j);
      Box(s, box, calendar_colors::kCategory);
      s.SetTextPosition(static_cast<float>(box.left + 0.02 * W),
                        static_cast<float>(box.top + 0.001 * H));
      s.SetFontName(kFontName);
      s.SetFontSize(kCaptionPoints);
      s.Print(CellText(category).left(kCaptionLength));
      s.SetFontSize(kPointsAfterCaption);
    }
  }
}

CalendarWords DescribeMonthCalendar(const EntryTable& entries, const CalendarView& view) {
  const QDate first = FirstOfMonth(view.viewMonth);
  const std::vector<std::vector<Value>> categoriesByDay =
      CategoriesByDay(entries, first, view.person);
  const auto joined = [](const std::vector<Value>& categories) {
    QStringList texts;
    for (const Value& category : categories) texts << CellText(category);
    return texts.join(QStringLiteral(", "));
  };

  CalendarWords words;
  words.name = QStringLiteral("Kalender ") + QLocale().monthName(first.month()) + u' ' +
               QString::number(first.year());
  if (view.selectedDate.IsDate()) {
    const QDate selected = view.selectedDate.Date();
    words.name += QStringLiteral(", gewählter Tag ") + DayHeading(selected);
    if (FirstOfMonth(selected) != first) {
      words.name += QStringLiteral(" in einem anderen Monat");
    } else {
      const std::vector<Value>& marked =
          categoriesByDay[static_cast<std::size_t>(selected.day() - 1)];
      words.name += marked.empty() ? QStringLiteral(", keine Einträge")
                                   : QStringLiteral(", Einträge: ") + joined(marked);
    }
  }

  QStringList days;
  for (std::size_t i = 0; i < categoriesByDay.size(); ++i) {
    if (categoriesByDay[i].empty()) continue;
    days << DayLabel(first.addDays(static_cast<qint64>(i))) + u' ' + joined(categoriesByDay[i]);
  }
  words.description = days.isEmpty() ? QStringLiteral("Keine Tage mit Einträgen.")
                                     : QStringLiteral("Tage mit Einträgen: ") +
                                           days.join(QStringLiteral("; ")) + u'.';
  if (FirstOfMonth(view.today) == first)
    words.description += QStringLiteral(" Heute: ") + DayLabel(view.today) + u'.';
  return words;
}

QDate NextMonthStart(QDate date) {
  return FirstOfMonth(FirstOfMonth(date).addDays(35));
}

QDate PrevMonthStart(QDate date) {
  return FirstOfMonth(FirstOfMonth(date).addDays(-5));
}
