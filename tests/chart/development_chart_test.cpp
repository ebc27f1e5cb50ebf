// SPDX-License-Identifier: GPL-3.0-or-later
#include "chart/development_chart.h"

#include <gtest/gtest.h>

#include <random>

#include "chart_test_support.h"
#include "recording_surface.h"

namespace {
using Op = RecordingSurface::Op;

constexpr float kW = 9000, kH = 4000;
constexpr Rgb kGreen{0, 255, 0};
constexpr Rgb kOdd{210, 210, 210}, kEven{230, 230, 230}, kSaturday{150, 150, 150},
    kSunday{120, 120, 120};
constexpr float kTol = 0.02f;

// Totals for the days of the month: the given ones first, the others 0.
std::vector<Value> Totals(const ChartMonth& month, std::initializer_list<double> first) {
  std::vector<Value> totals(static_cast<std::size_t>(month.days), Value(0.0));
  std::size_t i = 0;
  for (double v : first) totals[i++] = Value(v);
  return totals;
}

RecordingSurface Draw(QDate day, const std::vector<Value>& totals) {
  RecordingSurface surface(kW, kH);
  DrawDevelopmentChart(surface, ChartMonthOf(day), totals);
  return surface;
}

// The day columns: the fills spanning the plot area's height in a day shade.
std::vector<Op> Columns(const RecordingSurface& s) {
  std::vector<Op> out;
  for (const Op& op : s.Of(Op::Fill)) {
    const bool shade =
        op.color == kOdd || op.color == kEven || op.color == kSaturday || op.color == kSunday;
    if (shade && std::abs(op.y1 - 0.1f * kH) < kTol && std::abs(op.y2 - 0.9f * kH) < kTol)
      out.push_back(op);
  }
  return out;
}

// The axis labels: the prints in the left margin.
QStringList Labels(const RecordingSurface& s) {
  QStringList out;
  for (const Op& op : s.Of(Op::Print))
    if (std::abs(op.x1 - 0.01f * kW) < kTol) out << op.text;
  return out;
}

void ExpectRect(const Op& op, double x1, double y1, double x2, double y2) {
  EXPECT_NEAR(op.x1, x1, kTol);
  EXPECT_NEAR(op.y1, y1, kTol);
  EXPECT_NEAR(op.x2, x2, kTol);
  EXPECT_NEAR(op.y2, y2, kTol);
}

// The per-day definition: for every day one pass over all entries.
std::vector<Value> TotalsDayByDay(const EntryTable& entries, const ChartMonth& month,
                                  const Value& person, const Value& category, const QString& item) {
  std::vector<Value> totals;
  for (int i = 0; i < month.days; ++i) {
    const Value day(month.first.addDays(i));
    Value total(0.0);
    for (const EntryRow& row : entries.rows) {
      if (row.Date() == day && row.Person() == person && row.Category() == category &&
          (item.isEmpty() || row.Item() == Value(item))) {
        total = total + row.Value();
      }
    }
    totals.push_back(total);
  }
  return totals;
}
}  // namespace

using DevelopmentChart = GermanChartTest;

TEST_F(DevelopmentChart, OneEvenColumnPerDayOfTheMonth) {
  const struct {
    QDate day;
    int days;
  } months[] = {{QDate(2023, 2, 14), 28},
                {QDate(2024, 2, 29), 29},
                {QDate(2024, 4, 1), 30},
                {QDate(2024, 3, 5), 31}};
  for (const auto& m : months) {
    const ChartMonth month = ChartMonthOf(m.day);
    ASSERT_EQ(month.days, m.days);
    EXPECT_EQ(month.first, QDate(m.day.year(), m.day.month(), 1));
    const std::vector<Op> columns = Columns(Draw(m.day, Totals(month, {})));
    ASSERT_EQ(static_cast<int>(columns.size()), m.days);
    const double c = 0.8 * kW / m.days;
    for (int i = 1; i <= m.days; ++i) {
      ExpectRect(columns[static_cast<std::size_t>(i - 1)], 0.1 * kW + (i - 1) * c, 0.1 * kH,
                 0.1 * kW + i * c, 0.9 * kH);
    }
  }
}

TEST_F(DevelopmentChart, ColumnShadesFollowTheDayAndTheWeekend) {
  // March 2024 starts on a Friday: 1 odd, 2 Saturday, 3 Sunday, 4 even, 5 odd, 6 even, 7 odd,
  // 8 even, 9 Saturday, 10 Sunday, 11 odd.
  const QDate day(2024, 3, 5);
  const std::vector<Op> columns = Columns(Draw(day, Totals(ChartMonthOf(day), {})));
  const Rgb want[] = {kOdd, kSaturday, kSunday,   kEven,   kOdd, kEven,
                      kOdd, kEven,     kSaturday, kSunday, kOdd};
  for (std::size_t i = 0; i < std::size(want); ++i)
    EXPECT_EQ(columns[i].color, want[i]) << "day " << i + 1;
}

TEST_F(DevelopmentChart, SundayDateBoxesReachBeyondTheFrameAtTheMonthsEnds) {
  // March 2024: Sundays 3, 10, 17, 24 and 31 (the last day).
  const QDate march(2024, 3, 5);
  const RecordingSurface s = Draw(march, Totals(ChartMonthOf(march), {}));
  std::vector<Op> boxes;
  for (const Op& op : s.FillsOf(kSunday))
    if (std::abs(op.y1 - 0.91f * kH) < kTol) boxes.push_back(op);
  ASSERT_EQ(boxes.size(), 5u);
  const double c = 0.8 * kW / 31;
  ExpectRect(boxes[0], 0.1 * kW + 1 * c, 0.91 * kH, 0.1 * kW + 5 * c, 0.96 * kH);
  ExpectRect(boxes[4], 0.1 * kW + 29 * c, 0.91 * kH, 0.9 * kW + 2 * c, 0.96 * kH);

  std::vector<Op> dates;
  for (const Op& op : s.Of(Op::Print))
    if (op.color == colors::kWhite) dates.push_back(op);
  ASSERT_EQ(dates.size(), 5u);
  EXPECT_EQ(dates[0].text, "03.03.");
  EXPECT_EQ(dates[4].text, "31.03.");
  EXPECT_NEAR(dates[4].x1, 0.1 * kW + 29 * c + 0.01 * kW, kTol);
  EXPECT_NEAR(dates[4].y1, 0.911 * kH, kTol);
  EXPECT_EQ(dates[4].fontName, "Tahoma");
  EXPECT_EQ(dates[4].fontSize, 8);
  EXPECT_EQ(s.TextColor(), colors::kBlack);  // set back after every date
  for (const Op& op : s.Of(Op::Print)) {
    if (!op.text.contains(u'.')) {
      EXPECT_EQ(op.color, colors::kBlack) << op.text.toStdString();
    }
  }

  // September 2024 starts on a Sunday: its box starts one column left of the frame.
  const QDate september(2024, 9, 1);
  const RecordingSurface s9 = Draw(september, Totals(ChartMonthOf(september), {}));
  const double c9 = 0.8 * kW / 30;
  ExpectRect(s9.FillsOf(kSunday).front(), 0.1 * kW - c9, 0.91 * kH, 0.1 * kW + 3 * c9, 0.96 * kH);
  EXPECT_EQ(s9.Texts().front(), "01.09.");
}

TEST_F(DevelopmentChart, DrawsInItsOrderFrameOverColumnsBarsThenGrid) {
  const QDate day(2024, 3, 5);
  const RecordingSurface s = Draw(day, Totals(ChartMonthOf(day), {2, 4}));
  ASSERT_GE(s.ops.size(), 3u);
  EXPECT_EQ(s.ops[0].kind, Op::Clear);
  EXPECT_EQ(s.ops[1].kind, Op::Fill);
  EXPECT_EQ(s.ops[1].color, (Rgb{240, 240, 240}));
  ExpectRect(s.ops[1], 0.1 * kW, 0.1 * kH, 0.9 * kW, 0.9 * kH);
  EXPECT_EQ(s.ops[2].kind, Op::Outline);
  ExpectRect(s.ops[2], 0.1 * kW, 0.1 * kH, 0.9 * kW, 0.9 * kH);

  // Index of the last column, of the second frame, of the first bar and of the first grid line.
  std::size_t lastColumn = 0, secondFrame = 0, firstBar = 0, firstGrid = 0;
  for (std::size_t i = 3; i < s.ops.size(); ++i) {
    const Op& op = s.ops[i];
    if (op.kind == Op::Fill && std::abs(op.y1 - 0.1f * kH) < kTol && !(op.color == kGreen))
      lastColumn = i;
    if (op.kind == Op::Outline && std::abs(op.y1 - 0.1f * kH) < kTol && !secondFrame)
      secondFrame = i;
    if (op.kind == Op::Fill && op.color == kGreen && !firstBar) firstBar = i;
    if (op.kind == Op::Fill && op.y1 == op.y2 && !firstGrid) firstGrid = i;
  }
  EXPECT_LT(lastColumn, secondFrame);
  EXPECT_EQ(secondFrame, lastColumn + 1);
  EXPECT_LT(secondFrame, firstBar);
  EXPECT_LT(firstBar, firstGrid);
  EXPECT_EQ(
      std::count_if(s.ops.begin(), s.ops.end(), [](const Op& op) { return op.kind == Op::Clear; }),
      1);
}

TEST_F(DevelopmentChart, AxisFromZeroForSmallTotals) {
  const QDate day(2024, 3, 5);
  const std::vector<Value> totals = Totals(ChartMonthOf(day), {2, 4, 8});
  const ChartAxis axis = ChartAxisOf(totals, kH);
  EXPECT_NEAR(axis.top, 8.4, 1e-12);
  EXPECT_EQ(axis.bottom, 0);
  EXPECT_NEAR(axis.scale, 0.8 * kH / 8.4, 1e-9);
  const RecordingSurface s = Draw(day, totals);
  EXPECT_EQ(Labels(s), QStringList({" 1,7 ", " 3,4 ", " 5 ", " 6,7 ", " 8,4 "}));

  // Four white grid lines across the plot and five outlined white label boxes in the margin.
  std::vector<Op> lines, boxes;
  for (const Op& op : s.FillsOf(colors::kWhite)) (op.y1 == op.y2 ? lines : boxes).push_back(op);
  ASSERT_EQ(lines.size(), 4u);
  ASSERT_EQ(boxes.size(), 5u);
  const double lineY[] = {0.74, 0.58, 0.42, 0.26};
  const double boxTop[] = {0.708, 0.548, 0.388, 0.228, 0.068};
  for (std::size_t k = 0; k < 4; ++k)
    ExpectRect(lines[k], 0.1 * kW, lineY[k] * kH, 0.9 * kW, lineY[k] * kH);
  std::vector<Op> labels;
  for (const Op& op : s.Of(Op::Print))
    if (std::abs(op.x1 - 0.01f * kW) < kTol) labels.push_back(op);
  for (std::size_t k = 0; k < 5; ++k) {
    ExpectRect(boxes[k], 0.01 * kW, boxTop[k] * kH, 0.09 * kW, (boxTop[k] + 0.064) * kH);
    EXPECT_NEAR(labels[k].y1, (boxTop[k] + 0.01) * kH, kTol);
    EXPECT_EQ(labels[k].fontName, "Tahoma");
    EXPECT_EQ(labels[k].fontSize, 8);
  }
  EXPECT_EQ(s.Of(Op::Outline).size(), 2u + 3u + 5u);  // frame twice, three bars, five boxes
}

TEST_F(DevelopmentChart, LargeTotalsLiftTheAxisBottom) {
  const QDate day(2024, 3, 5);
  const std::vector<Value> totals = Totals(ChartMonthOf(day), {80, 0, 82});
  const ChartAxis axis = ChartAxisOf(totals, kH);
  EXPECT_NEAR(axis.top, 86.1, 1e-9);
  EXPECT_NEAR(axis.bottom, 76, 1e-9);
  EXPECT_NEAR(axis.range, 10.1, 1e-9);
  const RecordingSurface s = Draw(day, totals);
  EXPECT_EQ(Labels(s), QStringList({" 78 ", " 80 ", " 82,1 ", " 84,1 ", " 86,1 "}));

  const std::vector<Op> bars = s.FillsOf(kGreen);
  ASSERT_EQ(bars.size(), 2u);
  const double c = 0.8 * kW / 31, scale = 0.8 * kH / 10.1;
  ExpectRect(bars[0], 0.1 * kW + 0.1 * c, 0.9 * kH - 4 * scale, 0.1 * kW + 0.9 * c, 0.9 * kH);
  ExpectRect(bars[1], 0.1 * kW + 2.1 * c, 0.9 * kH - 6 * scale, 0.1 * kW + 2.9 * c, 0.9 * kH);
  // Each bar is outlined right after it is filled.
  for (std::size_t i = 0; i + 1 < s.ops.size(); ++i) {
    if (s.ops[i].kind != Op::Fill || !(s.ops[i].color == kGreen)) continue;
    EXPECT_EQ(s.ops[i + 1].kind, Op::Outline);
    ExpectRect(s.ops[i + 1], s.ops[i].x1, s.ops[i].y1, s.ops[i].x2, s.ops[i].y2);
  }
}

TEST_F(DevelopmentChart, OnlyPositiveDaysGetBarsAndShapeTheAxis) {
  const QDate day(2024, 3, 5);
  // The negative day would pull the bottom under 10 if it counted.
  const std::vector<Value> totals = Totals(ChartMonthOf(day), {20, -5, 0, 30});
  const ChartAxis axis = ChartAxisOf(totals, kH);
  EXPECT_NEAR(axis.bottom, 19, 1e-9);
  EXPECT_NEAR(axis.top, 31.5, 1e-9);
  const std::vector<Op> bars = Draw(day, totals).FillsOf(kGreen);
  ASSERT_EQ(bars.size(), 2u);
  const double c = 0.8 * kW / 31;
  EXPECT_NEAR(bars[0].x1, 0.1 * kW + 0.1 * c, kTol);
  EXPECT_NEAR(bars[1].x1, 0.1 * kW + 3.1 * c, kTol);

  // One day alone: its bar reaches (total - B) / (T - B) of the plot height.
  const std::vector<Op> single = Draw(day, Totals(ChartMonthOf(day), {0, 50})).FillsOf(kGreen);
  ASSERT_EQ(single.size(), 1u);
  EXPECT_NEAR(single[0].y1, 0.9 * kH - 0.5 * 0.8 * kH, kTol);
}

TEST_F(DevelopmentChart, WithoutPositiveTotalsFiveZeroLabelsAndNoBars) {
  const QDate day(2024, 2, 10);
  const std::vector<Value> totals = Totals(ChartMonthOf(day), {0, -3});
  const ChartAxis axis = ChartAxisOf(totals, kH);
  EXPECT_EQ(axis.range, 0);
  EXPECT_EQ(axis.scale, 0);
  const RecordingSurface s = Draw(day, totals);
  EXPECT_TRUE(s.FillsOf(kGreen).empty());
  EXPECT_EQ(Labels(s), QStringList({" 0 ", " 0 ", " 0 ", " 0 ", " 0 "}));
  EXPECT_EQ(Columns(s).size(), 29u);
}

TEST_F(DevelopmentChart, DailyTotalsAddTheMatchingEntriesOfEachDay) {
  const QDate d(2024, 3, 5);
  const EntryTable entries = Entries({
      Entry(d, "Haushalt", "Sport", "Joggen", 2.5),
      Entry(d, "Haushalt", "Sport", "Joggen", 2.5),
      Entry(d, "Haushalt", "Sport", "Walken", 1),
      Entry(d, "Anna", "Sport", "Joggen", 100),
      Entry(d, "Haushalt", "Essen/Trinken", "Joggen", 100),
      Entry(d.addMonths(1), "Haushalt", "Sport", "Joggen", 100),
      Entry(d.addMonths(-1), "Haushalt", "Sport", "Joggen", 100),
      Entry("2024-03-05", "Haushalt", "Sport", "Joggen", 100),  // a date that is no Date
      Entry(d.addDays(1), "Haushalt", "Sport", "Joggen", "7"),  // values that are no Number
      Entry(d.addDays(1), "Haushalt", "Sport", "Joggen", Value()),
      Entry(d.addDays(1), "Haushalt", "Sport", "Joggen", d),
      Entry(d.addDays(2), "Haushalt", "Sport", "Joggen", 0.1),
      Entry(d.addDays(2), "Haushalt", "Sport", "Joggen", 0.2),
      Entry(QDate(2024, 3, 1), "Haushalt", "Sport", "Joggen", 4),
      Entry(QDate(2024, 3, 31), "Haushalt", "Sport", "Joggen", 6),
  });
  const ChartMonth month = ChartMonthOf(d);
  const std::vector<Value> item =
      DailyTotals(entries, month, Text("Haushalt"), Text("Sport"), Text("Joggen"));
  ASSERT_EQ(item.size(), 31u);
  EXPECT_EQ(item[4], Value(5.0));
  EXPECT_TRUE(item[5].IsNumber());
  EXPECT_EQ(item[5], Value(0.0));
  EXPECT_EQ(item[6].Number(), 0.1 + 0.2);
  EXPECT_EQ(item[0], Value(4.0));
  EXPECT_EQ(item[30], Value(6.0));
  EXPECT_EQ(item[1], Value(0.0));

  const std::vector<Value> category =
      DailyTotals(entries, month, Text("Haushalt"), Text("Sport"), Text(""));
  EXPECT_EQ(category[4], Value(6.0));
  EXPECT_TRUE(DailyTotals(entries, month, Text("Haushalt"), Text("Sport"), Text("joggen"))[4] ==
              Value(0.0));
  for (const Value& total : DailyTotals(entries, month, Text(""), Text(""), Text("")))
    EXPECT_EQ(total, Value(0.0));
}

// One pass over the entries gives bit for bit the totals of one pass per day.
TEST_F(DevelopmentChart, DailyTotalsMatchTheDayByDayScan) {
  std::mt19937 random(20240305);
  const Value persons[] = {Text("Haushalt"), Text("Anna")};
  const Value categories[] = {Text("Sport"), Text("Ausgaben")};
  const Value items[] = {Text("Joggen"), Text("Walken"), Text(""), Value()};
  EntryTable entries;
  for (int j = 0; j < 3000; ++j) {
    const QDate day = QDate(2024, 1, 25).addDays(random() % 80);
    Value value(static_cast<double>(random() % 20001) / 100.0 - 50.0);
    if (random() % 50 == 0) value = Value("12");
    if (random() % 50 == 0) value = Value();
    entries.rows.push_back(Entry(random() % 40 ? Value(day) : Value(day.toString()),
                                 persons[random() % 2], categories[random() % 2],
                                 items[random() % 4], value));
  }
  for (QDate view : {QDate(2024, 2, 10), QDate(2024, 3, 31)}) {
    const ChartMonth month = ChartMonthOf(view);
    for (const QString& item : {QString("Joggen"), QString(""), QString("Laufen")}) {
      const std::vector<Value> fast =
          DailyTotals(entries, month, Text("Haushalt"), Text("Sport"), item);
      const std::vector<Value> slow =
          TotalsDayByDay(entries, month, Text("Haushalt"), Text("Sport"), item);
      ASSERT_EQ(fast.size(), slow.size());
      for (std::size_t i = 0; i < fast.size(); ++i) {
        EXPECT_EQ(fast[i].Kind(), slow[i].Kind());
        EXPECT_EQ(fast[i].Number(), slow[i].Number()) << "day " << i + 1;
      }
    }
  }
}
