// The development chart at full tables: 50,000 entries, drawn on the real picture boxes.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QComboBox>

#include "app/clock.h"
#include "app/form1.h"
#include "app/message_boxes.h"
#include "app/module1.h"
#include "chart/development_chart.h"

namespace {
class SilentMessageBoxes : public MessageBoxes {
 public:
  void Show(const QString&, const QString&) override {}
  bool AskYesNo(const QString&, const QString&) override { return false; }
};

// Entries spread over two years, four persons, three categories and five items.
EntryTable FullEntryTable() {
  const QString persons[] = {"Haushalt", "Anna", "Ben", "Clara"};
  const QString categories[] = {"Sport", "Ausgaben", "Essen/Trinken"};
  const QString items[] = {"Joggen", "Walken", "Brot", "Kaffee", "Radfahren"};
  EntryTable entries;
  for (int j = 0; j < EntryTable::kCapacity; ++j) {
    EntryRow row;
    row.date() = QDate(2023, 3, 1).addDays(j % 730);
    row.person() = persons[j % 4];
    row.category() = categories[(j / 4) % 3];
    row.item() = items[(j / 12) % 5];
    row.value() = 0.5 * (j % 40);
    row.description() = Value("[Beschreibung]");
    entries.rows.push_back(row);
  }
  return entries;
}

void DailyTotalsOfFullTable(benchmark::State& state) {
  const EntryTable entries = FullEntryTable();
  const ChartMonth month = ChartMonthOf(QDate(2024, 3, 5));
  for (auto _ : state) {
    benchmark::DoNotOptimize(DailyTotals(entries, month, "Haushalt", "Sport", ""));
  }
}
BENCHMARK(DailyTotalsOfFullTable)->Unit(benchmark::kMillisecond);

void DrawDevelopmentOnPictureBoxes(benchmark::State& state) {
  Form1 form;
  SilentMessageBoxes messages;
  FixedClock clock(QDate(2024, 3, 5));
  Module1 module(form, messages, clock);
  form.LayOut(QSize(1920, 1080));  // no start-up loading: the bench touches no data files
  module.ViewMonth = Value(QDate(2024, 3, 5));
  module.store.entries = FullEntryTable();
  form.Combo3->setEditText("Haushalt");
  form.Combo4->setEditText("Sport");
  form.Combo5->setEditText("");
  for (auto _ : state) module.DrawDevelopment();
}
BENCHMARK(DrawDevelopmentOnPictureBoxes)->Unit(benchmark::kMillisecond);
}  // namespace

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
