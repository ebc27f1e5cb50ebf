// The development chart's procedures: series selection, chart and statistics panel.
#include <QComboBox>
#include <QStringList>

#include "app/clock.h"
#include "app/form1.h"
#include "app/module1.h"
#include "app/picture_box.h"
#include "chart/development_chart.h"
#include "chart/series.h"
#include "chart/statistics_panel.h"

void Module1::FillSeriesItems() {
  const Value person(form_.Combo3->currentText());
  const Value category(form_.Combo4->currentText());
  QStringList items;
  for (const Value& item : SeriesItems(store.entries, person, category)) {
    items << SeriesItemText(item);
  }
  form_.Combo5->clear();
  form_.Combo5->addItems(items);
  // Adding to an empty box would select its first item; the chart starts with the whole category.
  form_.Combo5->setCurrentIndex(-1);
  form_.Combo5->clearEditText();
  DrawDevelopment();
}

void Module1::DrawDevelopment() {
  const Value person(form_.Combo3->currentText());
  const Value category(form_.Combo4->currentText());
  const QString item = form_.Combo5->currentText();
  // Before the first calendar drawing there is no month yet; chart the month the calendar will
  // open with, without taking over the calendar's job of setting it.
  const QDate shown = ViewMonth.isDate() ? ViewMonth.date() : clock_.Today();
  const ChartMonth month = ChartMonthOf(shown);
  const std::vector<Value> totals = DailyTotals(store.entries, month, person, category, item);
  DrawDevelopmentChart(*form_.Picture2, month, totals);
  DrawStatisticsPanel(*form_.Picture3, totals);
}
