// SPDX-License-Identifier: GPL-3.0-or-later
// The development chart's procedures: series selection, chart and statistics panel.
#include <QClipboard>
#include <QComboBox>
#include <QGuiApplication>
#include <QMimeData>
#include <QStringList>

#include "app/clock.h"
#include "app/day_log.h"
#include "app/main_window.h"
#include "app/picture_box.h"
#include "chart/development_chart.h"
#include "chart/series.h"
#include "chart/statistics_panel.h"

void DayLog::FillSeriesItems() {
  const Value person = window_.personBox->Cell();
  const Value category = window_.seriesCategoryBox->Cell();
  // No item is chosen afterwards: the chart starts with the whole category.
  window_.seriesItemBox->SetChoices(SeriesItems(store.entries, person, category));
  DrawDevelopment();
}

void DayLog::DrawDevelopment() {
  const Value person = window_.personBox->Cell();
  const Value category = window_.seriesCategoryBox->Cell();
  const Value item = window_.seriesItemBox->Cell();
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

void DayLog::CopyChart() {
  const QDate shown = ViewMonth.IsDate() ? ViewMonth.Date() : clock_.Today();
  const ChartMonth month = ChartMonthOf(shown);
  const std::vector<Value> totals =
      DailyTotals(store.entries, month, window_.personBox->Cell(),
                  window_.seriesCategoryBox->Cell(), window_.seriesItemBox->Cell());
  auto* data = new QMimeData;
  data->setImageData(window_.chart->Picture());
  data->setText(DailyTotalsText(month, totals, QLocale()));
  QGuiApplication::clipboard()->setMimeData(data);
}
