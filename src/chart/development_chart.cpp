// SPDX-License-Identifier: GPL-3.0-or-later
#include "chart/development_chart.h"

#include <QLocale>
#include <QStringList>
#include <optional>

#include "format/date_format.h"
#include "format/number_format.h"
#include "store/cell_text.h"
#include "store/entry_index.h"

namespace {
constexpr Rgb kPlotBackground{240, 240, 240};
constexpr Rgb kOddDay{210, 210, 210};
constexpr Rgb kEvenDay{230, 230, 230};
constexpr Rgb kSaturday{150, 150, 150};
constexpr Rgb kSunday{120, 120, 120};
constexpr Rgb kBar{0, 255, 0};
constexpr float kFontSize = 8;

// The chart's geometry in drawing units; day i (1 to N) owns the column from ColumnLeft(i) to
// ColumnLeft(i + 1).
struct Frame {
  double W, H, column;
  double ColumnLeft(double i) const { return 0.1 * W + (i - 1) * column; }
};

void Fill(DrawingSurface& s, double x1, double y1, double x2, double y2, Rgb color) {
  s.FillRect(static_cast<float>(x1), static_cast<float>(y1), static_cast<float>(x2),
             static_cast<float>(y2), color);
}
void Outline(DrawingSurface& s, double x1, double y1, double x2, double y2) {
  s.OutlineRect(static_cast<float>(x1), static_cast<float>(y1), static_cast<float>(x2),
                static_cast<float>(y2));
}
void TextAt(DrawingSurface& s, double x, double y) {
  s.SetTextPosition(static_cast<float>(x), static_cast<float>(y));
  s.SetFontName(kFontName);
}

void OutlinePlot(DrawingSurface& s, const Frame& f) {
  Outline(s, 0.1 * f.W, 0.1 * f.H, 0.9 * f.W, 0.9 * f.H);
}

// The date box under a Sunday: four columns wide, centred on the right edge of its column, so
// near the first or last day it reaches beyond the plot frame.
void DrawSundayBox(DrawingSurface& s, const Frame& f, int i, QDate day) {
  const double left = f.ColumnLeft(i - 1);
  Fill(s, left, 0.91 * f.H, f.ColumnLeft(i + 3), 0.96 * f.H, kSunday);
  TextAt(s, left + 0.01 * f.W, 0.91 * f.H + 0.001 * f.H);
  s.SetTextColor(colors::kWhite);
  s.SetFontSize(kFontSize);
  s.Print(DayMonth(day));
  s.SetTextColor(colors::kBlack);
}

void DrawDayColumns(DrawingSurface& s, const Frame& f, const ChartMonth& month) {
  QDate day = month.first;
  for (int i = 1; i <= month.days; ++i) {
    Rgb color = i % 2 == 1 ? kOddDay : kEvenDay;
    if (day.dayOfWeek() == Qt::Sunday) {
      DrawSundayBox(s, f, i, day);
      color = kSunday;
    }
    if (day.dayOfWeek() == Qt::Saturday) color = kSaturday;
    Fill(s, f.ColumnLeft(i), 0.1 * f.H, f.ColumnLeft(i + 1), 0.9 * f.H, color);
    day = day.addDays(1);
  }
}

void DrawBars(DrawingSurface& s, const Frame& f, const std::vector<Value>& totals,
              const ChartAxis& axis) {
  for (int i = 1; i <= static_cast<int>(totals.size()); ++i) {
    const double total = totals[static_cast<std::size_t>(i - 1)].Number();
    if (!(total > 0)) continue;
    const double x1 = f.ColumnLeft(i + 0.1), x2 = f.ColumnLeft(i + 0.9);
    const double top = 0.9 * f.H - (total - axis.bottom) * axis.scale;
    Fill(s, x1, top, x2, 0.9 * f.H, kBar);
    Outline(s, x1, top, x2, 0.9 * f.H);
  }
}

// Four white grid lines (the fifth would lie on the frame) and five labelled boxes in the left
// margin, each centred on the height of its line.
void DrawGridAndLabels(DrawingSurface& s, const Frame& f, const ChartAxis& axis) {
  const double step = 0.8 * f.H / 5;
  const double base = 0.9 * f.H;
  for (int k = 1; k <= 5; ++k) {
    const double y = base - k * step;
    if (k != 5) Fill(s, 0.1 * f.W, y, 0.9 * f.W, y, colors::kWhite);
    const double boxTop = base - (k + 0.2) * step, boxBottom = base - (k - 0.2) * step;
    Fill(s, 0.01 * f.W, boxTop, 0.09 * f.W, boxBottom, colors::kWhite);
    Outline(s, 0.01 * f.W, boxTop, 0.09 * f.W, boxBottom);
    TextAt(s, 0.01 * f.W, boxTop + 0.01 * f.H);
    s.SetFontSize(kFontSize);
    s.PrintNumber(RoundToTenthHalfEven(axis.bottom + k * axis.range / 5));
  }
}
}  // namespace

ChartMonth ChartMonthOf(QDate anyDay) {
  const QDate first = FirstOfMonth(anyDay);
  return {first, first.daysInMonth()};
}

std::vector<Value> DailyTotals(const EntryTable& entries, const ChartMonth& month,
                               const Value& person, const Value& category, const Value& item) {
  std::vector<Value> totals(static_cast<std::size_t>(month.days), Value(0.0));
  // An empty item box: a chosen Number 0 is an item all the same.
  const bool anyItem = item.IsEmpty() || (item.IsText() && item.Text().isEmpty());
  const Value& itemValue = item;
  const QDate last = month.first.addDays(month.days - 1);
  for (int i : entries.Index().PersonRowsBetween(person, month.first, last)) {
    const EntryRow& row = entries.Row(i);
    if (!row.Date().IsDate()) continue;  // a Date never equals anything but a Date
    const qint64 day = month.first.daysTo(row.Date().Date());
    if (day < 0 || day >= month.days) continue;
    if (!(row.Person() == person && row.Category() == category)) continue;
    if (!anyItem && !(row.Item() == itemValue)) continue;
    Value& total = totals[static_cast<std::size_t>(day)];
    total = total + row.Value();
  }
  return totals;
}

ChartAxis ChartAxisOf(const std::vector<Value>& totals, double plotHeight) {
  std::optional<double> largest, smallest;
  for (const Value& total : totals) {
    const double v = total.Number();
    if (!(v > 0)) continue;
    if (!largest || v > *largest) largest = v;
    if (!smallest || v < *smallest) smallest = v;
  }
  ChartAxis axis;
  axis.top = 1.05 * largest.value_or(0);
  axis.bottom = 0.95 * smallest.value_or(0);
  if (axis.bottom < 10) axis.bottom = 0;
  axis.range = axis.top - axis.bottom;
  axis.scale = axis.range > 0 ? 0.8 * plotHeight / axis.range : 0;
  return axis;
}

void DrawDevelopmentChart(DrawingSurface& surface, const ChartMonth& month,
                          const std::vector<Value>& totals) {
  const double W = surface.Width(), H = surface.Height();
  const Frame f{W, H, 0.8 * W / month.days};
  surface.Clear();
  Fill(surface, 0.1 * W, 0.1 * H, 0.9 * W, 0.9 * H, kPlotBackground);
  OutlinePlot(surface, f);
  DrawDayColumns(surface, f, month);
  OutlinePlot(surface, f);
  const ChartAxis axis = ChartAxisOf(totals, H);
  DrawBars(surface, f, totals, axis);
  DrawGridAndLabels(surface, f, axis);
}

ChartWords DescribeDevelopmentChart(const ChartMonth& month, const std::vector<Value>& totals,
                                    const Value& person, const Value& category, const Value& item) {
  const QString personText = CellText(person), categoryText = CellText(category),
                itemText = CellText(item);
  ChartWords words;
  words.name =
      QStringLiteral("Entwicklung ") +
      (personText.isEmpty() ? QStringLiteral("ohne Person") : personText) + QStringLiteral(", ") +
      (categoryText.isEmpty() ? QStringLiteral("ohne Kategorie") : categoryText) +
      QStringLiteral(", ") + (itemText.isEmpty() ? QStringLiteral("alle Items") : itemText) +
      QStringLiteral(", ") + QLocale().monthName(month.first.month()) + u' ' +
      QString::number(month.first.year());
  QStringList bars;
  for (std::size_t i = 0; i < totals.size(); ++i) {
    const double total = totals[i].Number();
    if (!(total > 0)) continue;
    bars << DayLabel(month.first.addDays(static_cast<qint64>(i))) + u' ' + LocaleNotation(total);
  }
  words.description = bars.isEmpty()
                          ? QStringLiteral("Keine Balken: kein Tag mit einem Wert über 0.")
                          : QStringLiteral("Balken: ") + bars.join(QStringLiteral("; ")) + u'.';
  return words;
}

QString DailyTotalsText(const ChartMonth& month, const std::vector<Value>& totals,
                        const QLocale& locale) {
  QString text = QStringLiteral("Tag\tSumme\r\n");
  for (int d = 0; d < month.days && d < static_cast<int>(totals.size()); ++d) {
    const Value& total = totals[static_cast<std::size_t>(d)];
    text += month.first.addDays(d).toString(Qt::ISODate) + u'\t';
    if (total.IsNumber() && total.Number() != 0) text += LocaleNotation(total.Number(), locale);
    text += QStringLiteral("\r\n");
  }
  return text;
}
