// SPDX-License-Identifier: GPL-3.0-or-later
// The development chart's procedures: series selection, chart and statistics panel.
#include <QComboBox>
#include <QStringList>

#include "app/clock.h"
#include "app/day_log.h"
#include "app/main_window.h"
#include "app/picture_box.h"
#include "chart/development_chart.h"
#include "chart/series.h"
#include "chart/statistics_panel.h"
#include "store/cell_text.h"

void DayLog::FillSeriesItems() {
  const Value person(window_.personBox->currentText());
  const Value category(window_.seriesCategoryBox->currentText());
  QStringList items;
  for (const Value& item : SeriesItems(store.entries, person, category)) {
    items << CellText(item);
  }
  window_.seriesItemBox->clear();
  window_.seriesItemBox->addItems(items);
  // Adding to an empty box would select its first item; the chart starts with the whole category.
  window_.seriesItemBox->setCurrentIndex(-1);
  window_.seriesItemBox->clearEditText();
  DrawDevelopment();
}

void DayLog::DrawDevelopment() {
  const Value person(window_.personBox->currentText());
  const Value category(window_.seriesCategoryBox->currentText());
  const QString item = window_.seriesItemBox->currentText();
  // Before the first calendar drawing there is no month yet; chart the month the calendar will
  // open with, without taking over the calendar's job of setting it.
  const QDate shown = ViewMonth.IsDate() ? ViewMonth.Date() : clock_.Today();
  const ChartMonth month = ChartMonthOf(shown);
  const std::vector<Value> totals = DailyTotals(store.entries, month, person, category, item);
  DrawDevelopmentChart(*window_.chart, month, totals);
  DrawStatisticsPanel(*window_.statisticsPanel, totals);
  const ChartWords words = DescribeDevelopmentChart(month, totals, person, category, item);
  window_.chart->Describe(words.name, words.description);
  window_.statisticsPanel->Describe(DescribeStatisticsPanel(totals), QString());
}
