// SPDX-License-Identifier: GPL-3.0-or-later
#include "chart/statistics_panel.h"

#include <gtest/gtest.h>

#include "chart_test_support.h"
#include "recording_surface.h"

namespace {
using Op = RecordingSurface::Op;
constexpr float kW = 9000, kH = 2000, kTol = 0.02f;

std::vector<Value> Totals(std::initializer_list<double> first, std::size_t days = 31) {
  std::vector<Value> totals(days, Value(0.0));
  std::size_t i = 0;
  for (double v : first) totals[i++] = Value(v);
  return totals;
}

QStringList Panel(const std::vector<Value>& totals) {
  RecordingSurface s(kW, kH);
  DrawStatisticsPanel(s, totals);
  return s.Texts();
}
}  // namespace

using StatisticsPanel = GermanChartTest;

TEST_F(StatisticsPanel, SumAverageAndCountOfThePositiveDays) {
  EXPECT_EQ(Panel(Totals({3, 0, 5, 4})),
            QStringList({"Summe", " 12 ", "Durchschnitt", " 4 ", "Anzahl", " 3 "}));
  EXPECT_EQ(Panel(Totals({1, 2})),
            QStringList({"Summe", " 3 ", "Durchschnitt", " 1,5 ", "Anzahl", " 2 "}));
  // 4 / 3 rounds to 1.3; a negative day takes no part.
  EXPECT_EQ(Panel(Totals({1, -7, 1, 2})),
            QStringList({"Summe", " 4 ", "Durchschnitt", " 1,3 ", "Anzahl", " 3 "}));
  // The sum is unrounded but free of binary noise.
  EXPECT_EQ(Panel(Totals({0.1, 0.2}))[1], " 0,3 ");
  EXPECT_EQ(Panel(Totals({1.25, 1.1}))[1], " 2,35 ");
  // Halfway averages go to the even digit: 0.25 -> 0.2, 0.75 -> 0.8.
  EXPECT_EQ(Panel(Totals({0.25}))[3], " 0,2 ");
  EXPECT_EQ(Panel(Totals({0.75}))[3], " 0,8 ");

  const MonthStatistics stats = MonthStatisticsOf(Totals({3, 0, 5, 4}));
  EXPECT_EQ(stats.sum, Value(12.0));
  EXPECT_EQ(stats.count, Value(3.0));
  EXPECT_EQ(stats.average, Value(4.0));
}

TEST_F(StatisticsPanel, WithoutPositiveDaysTheValueBoxesStayEmpty) {
  RecordingSurface s(kW, kH);
  DrawStatisticsPanel(s, Totals({0, -2}, 28));
  EXPECT_EQ(s.Texts(), QStringList({"Summe", "", "Durchschnitt", "Anzahl", ""}));
  EXPECT_EQ(s.FillsOf(colors::kWhite).size(), 3u);
  const MonthStatistics stats = MonthStatisticsOf(Totals({0, -2}, 28));
  EXPECT_TRUE(stats.sum.IsEmpty());
  EXPECT_TRUE(stats.count.IsEmpty());
  EXPECT_TRUE(stats.average.IsEmpty());
}

TEST_F(StatisticsPanel, BoxesInPlaceOnAnUnclearedSurfaceInItsTextColour) {
  RecordingSurface s(kW, kH);
  const Rgb red{255, 0, 0};
  s.SetTextColor(red);
  DrawStatisticsPanel(s, Totals({3}));
  EXPECT_TRUE(s.Of(Op::Clear).empty());
  const std::vector<Op> captions = s.FillsOf(Rgb{210, 210, 210});
  const std::vector<Op> values = s.FillsOf(colors::kWhite);
  const std::vector<Op> outlines = s.Of(Op::Outline);
  const std::vector<Op> prints = s.Of(Op::Print);
  ASSERT_EQ(captions.size(), 3u);
  ASSERT_EQ(values.size(), 3u);
  ASSERT_EQ(outlines.size(), 6u);
  ASSERT_EQ(prints.size(), 6u);
  const double tops[] = {0.1, 0.3, 0.5};
  for (std::size_t r = 0; r < 3; ++r) {
    const double top = tops[r] * kH, bottom = (tops[r] + 0.1) * kH;
    for (const Op& op : {captions[r], outlines[2 * r]}) {
      EXPECT_NEAR(op.x1, 0.05 * kW, kTol);
      EXPECT_NEAR(op.x2, 0.30 * kW, kTol);
      EXPECT_NEAR(op.y1, top, kTol);
      EXPECT_NEAR(op.y2, bottom, kTol);
    }
    for (const Op& op : {values[r], outlines[2 * r + 1]}) {
      EXPECT_NEAR(op.x1, 0.31 * kW, kTol);
      EXPECT_NEAR(op.x2, 0.60 * kW, kTol);
      EXPECT_NEAR(op.y1, top, kTol);
      EXPECT_NEAR(op.y2, bottom, kTol);
    }
    EXPECT_NEAR(prints[2 * r].x1, 0.06 * kW, kTol);
    EXPECT_NEAR(prints[2 * r + 1].x1, 0.32 * kW, kTol);
    EXPECT_NEAR(prints[2 * r + 1].y1, top + 0.001 * kH, kTol);
  }
  for (const Op& op : prints) {
    EXPECT_EQ(op.color, red);
    EXPECT_EQ(op.fontName, "Tahoma");
    EXPECT_EQ(op.fontSize, 8);
  }
  // Box before its outline before its text, row by row.
  EXPECT_EQ(s.ops[0].kind, Op::Fill);
  EXPECT_EQ(s.ops[1].kind, Op::Outline);
  EXPECT_EQ(s.ops[2].kind, Op::Print);
  EXPECT_EQ(s.ops[2].text, "Summe");
}
