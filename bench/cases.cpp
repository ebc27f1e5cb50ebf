// The benchmarks: the physical floor of the file work, the store's file operations and the
// working procedures, each run through a real window on Qt's offscreen platform.
#include "cases.h"

#include <benchmark/benchmark.h>

#include <QComboBox>
#include <QFile>
#include <QPlainTextEdit>
#include <QTabWidget>
#include <functional>

#include "app/list_box.h"
#include "dayview/day_list.h"
#include "store/atomic_file.h"
#include "store/data_files.h"
#include "store/record_file.h"
#include "world.h"

namespace {

using Case = std::function<void(benchmark::State&, DataSet)>;

// The entries file written atomically in one piece: what any rewrite must at least cost.
void FloorWrite(benchmark::State& state, DataSet set) {
  World world(set);
  const QByteArray& bytes = FilesOf(set).entries;
  for (auto _ : state) {
    if (WriteFileAtomically(FilePath(DataFile::Entries), bytes)) state.SkipWithError("write");
  }
}

// The entries file read into memory and split into lines: what any load must at least cost.
void FloorRead(benchmark::State& state, DataSet set) {
  World world(set);
  for (auto _ : state) {
    QFile file(FilePath(DataFile::Entries));
    if (!file.open(QIODevice::ReadOnly)) state.SkipWithError("open");
    const QList<QByteArray> lines = file.readAll().split('\n');
    benchmark::DoNotOptimize(lines.size());
  }
}

// Every row encoded: the table is read anew before each rewrite, so the rewrite shares nothing
// with the one before.
void Rewrite(benchmark::State& state, DataSet set) {
  World world(set);
  Store store;
  if (!store.LoadData().isEmpty()) state.SkipWithError("load");
  if (store.WriteEntryFile()) state.SkipWithError("write");  // memory in use, as after a save
  for (auto _ : state) {
    state.PauseTiming();
    if (store.ReadEntryFile()) state.SkipWithError("read");
    state.ResumeTiming();
    if (store.WriteEntryFile()) state.SkipWithError("write");
  }
  QFile file(FilePath(DataFile::Entries));
  if (!file.open(QIODevice::ReadOnly) || file.readAll() != FilesOf(set).entries) {
    state.SkipWithError("the rewrite changed the file");
  }
}

// The entries file's bytes made from the table in memory, as a rewrite makes them.
void Encode(benchmark::State& state, DataSet set) {
  World world(set);
  Store store;
  if (!store.LoadData().isEmpty()) state.SkipWithError("load");
  QByteArray buffer;
  for (auto _ : state) {
    RecordWriter writer(std::move(buffer));
    writer.Reserve(FilesOf(set).entries.size() + 4096);
    writer.WriteRecord({Value(store.entries.count())});
    for (const EntryRow& row : store.entries.rows) writer.WriteRecord(row.fields);
    benchmark::DoNotOptimize(writer.Size());
    if (writer.View() != FilesOf(set).entries) state.SkipWithError("other bytes than the file's");
    buffer = writer.TakeBuffer();
  }
}

void Load(benchmark::State& state, DataSet set) {
  World world(set);
  Store store;
  for (auto _ : state) {
    if (store.ReadEntryFile()) state.SkipWithError("read");
  }
}

void StartUp(benchmark::State& state, DataSet set) {
  World world(set);
  for (auto _ : state) {
    state.PauseTiming();
    world.NewWindow();
    state.ResumeTiming();
    world.StartUp();
  }
  if (world.module().store.persons.count() == 0) state.SkipWithError("nothing loaded");
}

// A window after start-up with the person chosen and the tab "Ausgaben" open.
struct DayView {
  explicit DayView(DataSet set, const QString& tab = kTab) : world(set) {
    world.StartUp();
    world.OpenDayView(tab);
  }
  World world;
  DayLog& module() { return world.module(); }
  MainWindow& form() { return world.form(); }
};

void DrawCalendar(benchmark::State& state, DataSet set) {
  DayView view(set);
  for (auto _ : state) view.module().DrawCalendar();
}

void FillDayList(benchmark::State& state, DataSet set) {
  DayView view(set);
  for (auto _ : state) view.module().FillDayList();
}

// Two tabs in turn, so every call rebuilds the page.
void ShowTabPage(benchmark::State& state, DataSet set) {
  DayView view(set);
  const int first = view.form().tabs->currentIndex();
  int k = 0;
  for (auto _ : state) {
    state.PauseTiming();
    view.form().tabs->setCurrentIndex(++k % 2 == 1 ? 0 : first);
    state.ResumeTiming();
    view.module().ShowTabPage();
  }
}

// A press on today's row and on the row of the day after, in turn.
void SelectDayAt(benchmark::State& state, DataSet set) {
  DayView view(set);
  const QPointF rows[2] = {view.world.CalendarRowCentre(kToday.day()),
                           view.world.CalendarRowCentre(kToday.day() + 1)};
  int k = 0;
  for (auto _ : state) {
    const QPointF& at = rows[++k % 2];
    view.module().SelectDayAt(static_cast<float>(at.x()), static_cast<float>(at.y()));
  }
  if (!view.module().SelectedDate.isDate()) state.SkipWithError("no day selected");
}

void NextMonth(benchmark::State& state, DataSet set) {
  DayView view(set);
  for (auto _ : state) {
    state.PauseTiming();
    view.module().ViewMonth = Value(kToday);
    state.ResumeTiming();
    view.module().NextMonth();
  }
}

// The chart page with the person's category "Ausgaben" chosen.
struct ChartView : DayView {
  explicit ChartView(DataSet set) : DayView(set, QStringLiteral("Entwicklung")) {
    form().seriesCategoryBox->setCurrentIndex(form().seriesCategoryBox->findText(kTab));
    module().FillSeriesItems();
  }
};

void FillSeriesItems(benchmark::State& state, DataSet set) {
  ChartView view(set);
  for (auto _ : state) view.module().FillSeriesItems();
}

void DrawDevelopment(benchmark::State& state, DataSet set) {
  ChartView view(set);
  for (auto _ : state) view.module().DrawDevelopment();
}

// The editor holds an entry of the selected day; `item` names it.
void FillEditor(MainWindow& form, const QString& item) {
  form.itemBox->setEditText(item);
  form.valueBox->setEditText(QStringLiteral("12,5"));
  form.descriptionBox->setPlainText(QStringLiteral("Einkauf bei Müller, 3 Stück à 4,20 €"));
}

// An item of the tab that the person has no entry of on the selected day, or else the empty
// text.
QString UnusedItem(const DayLog& module) {
  const Value day(kToday), person(kPerson), tab(kTab);
  for (int i = module.store.categories.count(); i >= 1; --i) {
    const CategoryRow& pair = module.store.categories.row(i);
    if (!(pair.category() == tab)) continue;
    bool used = false;
    for (const EntryRow& row : module.store.entries.rows) {
      used = used || (row.date() == day && row.person() == person && row.category() == tab &&
                      row.item() == pair.item());
    }
    if (!used) return pair.item().text();
  }
  return QString();
}

// An item the person has an entry of on the selected day under the tab, or the empty text.
QString UsedItem(const DayLog& module) {
  const Value day(kToday), person(kPerson), tab(kTab);
  for (const EntryRow& row : module.store.entries.rows) {
    if (row.date() == day && row.person() == person && row.category() == tab) {
      return row.item().text();
    }
  }
  return QString();
}

// The editor of a day view filled with an entry that exists; with the default files, which
// hold none, it is saved once first.
void PrepareUpdate(DayView& view) {
  const QString item = UsedItem(view.module());
  FillEditor(view.form(), item.isEmpty() ? UnusedItem(view.module()) : item);
  if (item.isEmpty()) view.module().SaveEntry();
}

// Saving an entry that exists: its value and description change, the count stays. A save has
// been made before, as in a session where the user saves one entry after another.
void SaveEntryUpdate(benchmark::State& state, DataSet set) {
  DayView view(set);
  DayLog& module = view.module();
  PrepareUpdate(view);
  module.SaveEntry();
  const int count = module.store.entries.count();
  for (auto _ : state) module.SaveEntry();
  if (module.store.entries.count() != count || count == 0) state.SkipWithError("no update");
}

// The first save after start-up, in a fresh window each time: every row is encoded. (With the
// default files there is no entry to update before a first save, so only the full files.)
void FirstSaveEntry(benchmark::State& state, DataSet set) {
  std::optional<DayView> view;
  for (auto _ : state) {
    state.PauseTiming();
    view.reset();
    view.emplace(set);
    PrepareUpdate(*view);
    view->world.ProcessEvents();
    state.ResumeTiming();
    view->module().SaveEntry();
  }
}

// Saving a new entry into a table with room for exactly one more; the entry is taken out again
// between the iterations.
void SaveEntryAppend(benchmark::State& state, DataSet set) {
  DayView view(set == DataSet::Full ? DataSet::FullLessOne : set);
  DayLog& module = view.module();
  FillEditor(view.form(), UnusedItem(module));
  const int count = module.store.entries.count();
  // A save before, as in a session where the user saves one entry after another.
  if (module.store.WriteEntryFile()) state.SkipWithError("write");
  for (auto _ : state) {
    module.SaveEntry();
    state.PauseTiming();
    if (module.store.entries.count() != count + 1) {
      state.SkipWithError("no append");
      break;
    }
    // The table as before; the file is left as it is, as saving never reads it (writing it
    // back here would leave data for the next save's flush to the disk).
    module.store.entries.rows.pop_back();
    module.FillDayList();
    state.ResumeTiming();
  }
}

// A press on the first line of the day list, answered with Yes; the entry is put back in its
// place between the iterations.
void DeleteEntryAt(benchmark::State& state, DataSet set) {
  DayView view(set);
  DayLog& module = view.module();
  MainWindow& form = view.form();
  if (set == DataSet::Defaults) {
    // The default files hold no entry: save one to delete.
    FillEditor(form, UnusedItem(module));
    module.SaveEntry();
  }
  // A save before, as in a session where the user changes one entry after another.
  if (module.store.WriteEntryFile()) state.SkipWithError("write");
  const int count = module.store.entries.count();
  for (auto _ : state) {
    state.PauseTiming();
    form.dayList->setCurrentRow(0);
    const QString line = form.dayList->SelectedText();
    int hit = 0;
    for (int i = 1; i <= count; ++i) {
      if (BelongsToDayList(module.store.entries.row(i), module.SelectedDate, Value(kPerson),
                           Value(kTab)) &&
          module.DayListLine(i) == line) {
        hit = i;
      }
    }
    const EntryRow removed = hit > 0 ? module.store.entries.row(hit) : EntryRow();
    state.ResumeTiming();
    module.DeleteEntryAt(1);
    state.PauseTiming();
    if (hit == 0 || module.store.entries.count() != count - 1) {
      state.SkipWithError("no delete");
      break;
    }
    // The table as before; the file is left as it is, as deleting never reads it.
    module.store.entries.rows.insert(module.store.entries.rows.begin() + (hit - 1), removed);
    module.FillDayList();
    state.ResumeTiming();
  }
}

// A new name into a persons table with room for exactly one more; the persons file is put back
// between the iterations.
void AddPerson(benchmark::State& state, DataSet set) {
  const DataSet start = set == DataSet::Full ? DataSet::FullLessOne : set;
  DayView view(start);
  DayLog& module = view.module();
  const int count = module.store.persons.count();
  for (auto _ : state) {
    state.PauseTiming();
    view.form().personBox->setEditText(QStringLiteral("Zoë Weiß-Öztürk"));
    state.ResumeTiming();
    module.AddPerson();
    state.PauseTiming();
    if (module.store.persons.count() != count + 1) {
      state.SkipWithError("no person added");
      break;
    }
    view.world.WriteFile(FileName(DataFile::Persons), FilesOf(start).persons);
    module.store.persons.rows.pop_back();
    state.ResumeTiming();
  }
}

struct Registration {
  const char* name;
  Case run;
  int iterations;
  bool withDefaults;
};

}  // namespace

void RegisterBenchmarks(int repetitions) {
  const Registration all[] = {
      {"FloorWrite", FloorWrite, 4, false},
      {"FloorRead", FloorRead, 6, false},
      {"Rewrite", Rewrite, 4, false},
      {"Encode", Encode, 4, false},
      {"Load", Load, 6, false},
      {"StartUp", StartUp, 4, true},
      {"DrawCalendar", DrawCalendar, 10, true},
      {"FillDayList", FillDayList, 20, true},
      {"ShowTabPage", ShowTabPage, 10, true},
      {"SelectDayAt", SelectDayAt, 10, true},
      {"NextMonth", NextMonth, 10, true},
      {"FillSeriesItems", FillSeriesItems, 10, true},
      {"DrawDevelopment", DrawDevelopment, 10, true},
      {"SaveEntryUpdate", SaveEntryUpdate, 4, true},
      {"FirstSaveEntry", FirstSaveEntry, 1, false},
      {"SaveEntryAppend", SaveEntryAppend, 4, true},
      {"DeleteEntryAt", DeleteEntryAt, 4, true},
      {"AddPerson", AddPerson, 4, true},
  };
  for (const Registration& r : all) {
    for (const DataSet set : {DataSet::Full, DataSet::Defaults}) {
      if (set == DataSet::Defaults && !r.withDefaults) continue;
      const std::string name = std::string(r.name) + (set == DataSet::Full ? "/full" : "/defaults");
      benchmark::RegisterBenchmark(name.c_str(),
                                   [run = r.run, set](benchmark::State& s) { run(s, set); })
          ->Iterations(r.iterations)
          ->Repetitions(repetitions)
          ->UseRealTime()
          ->Unit(benchmark::kMillisecond);
    }
  }
}

long long PeakMemoryOfFullRun() {
  {
    World world(std::nullopt);
    world.StartUp();
    world.OpenDayView();
    DayLog& module = world.module();
    FillEditor(world.form(), UsedItem(module));
    module.SaveEntry();
    world.form().dayList->setCurrentRow(0);
    module.DeleteEntryAt(1);
    module.NextMonth();
    world.SelectTab(QStringLiteral("Entwicklung"));
    world.form().seriesCategoryBox->setCurrentIndex(world.form().seriesCategoryBox->findText(kTab));
    module.FillSeriesItems();
    world.ProcessEvents();
  }
  QFile status(QStringLiteral("/proc/self/status"));
  if (!status.open(QIODevice::ReadOnly)) return -1;
  for (const QByteArray& line : status.readAll().split('\n')) {
    if (line.startsWith("VmHWM:")) {
      bool ok = false;
      const long long kb = line.mid(6).trimmed().split(' ').front().toLongLong(&ok);
      return ok ? kb * 1024 : -1;
    }
  }
  return -1;
}
