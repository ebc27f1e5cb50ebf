// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <vector>

#include "store/value.h"
#include "surface/drawing_surface.h"

// Sum, count and average of the days with a positive total. Days with a total of 0 or less
// take no part. Sum and count stay Empty when no day has a positive total, and the average
// (rounded to a tenth, half to even) is formed only when count is positive.
struct MonthStatistics {
  Value sum;
  Value count;
  Value average;
};
MonthStatistics MonthStatisticsOf(const std::vector<Value>& dailyTotals);

// Draws the three captioned value boxes "Summe", "Durchschnitt" and "Anzahl". The surface is
// not cleared: the boxes cover what an earlier drawing printed in them. The text colour is the
// one the surface already has.
void DrawStatisticsPanel(DrawingSurface& surface, const std::vector<Value>& dailyTotals);

// The panel in words for a screen reader: "Statistik: Summe 12, Durchschnitt 4, Anzahl 3", each
// value as the panel prints it, "leer" for an empty box.
QString DescribeStatisticsPanel(const std::vector<Value>& dailyTotals);
