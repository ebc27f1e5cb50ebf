// SPDX-License-Identifier: GPL-3.0-or-later
// The benchmarks: the physical floor of the file work, the store's file operations and the
// working procedures, each run through a real window on Qt's offscreen platform.
#include "cases.h"

#include <benchmark/benchmark.h>

#include <QComboBox>
#include <QFile>
#include <QFileInfo>
#include <QPlainTextEdit>
#include <QTabWidget>
#include <QTemporaryDir>
#include <chrono>
#include <functional>
#include <optional>

#include "app/list_box.h"
#include "dayview/day_list.h"
#include "exchange/spreadsheet_export.h"
#include "exchange/spreadsheet_import.h"
#include "store/atomic_file.h"
#include "store/changes.h"
#include "store/import_entries.h"
#include "store/record_writer.h"
#include "store/store.h"
#include "store/whole_file.h"
#include "world.h"

namespace {

using Case = std::function<void(benchmark::State&, DataSet)>;

// The entries file written atomically in one piece: what any rewrite must at least cost.
void FloorWrite(benchmark::State& state, DataSet set) {
  World world(set);
  const QByteArray& bytes = FilesOf(set).entries;
  for (auto _ : state) {
    if (WriteFileAtomically(world.Path(DataFile::Entries), bytes)) state.SkipWithError("write");
  }
}

// The entries file read into memory and split into lines: what any load must at least cost.
void FloorRead(benchmark::State& state, DataSet set) {
  World world(set);
  for (auto _ : state) {
    QFile file(world.Path(DataFile::Entries));
    if (!file.open(QIODevice::ReadOnly)) state.SkipWithError("open");
    const QList<QByteArray> lines = file.readAll().split('\n');
    benchmark::DoNotOptimize(lines.size());
  }
}

// Every row encoded: the table is read anew before each rewrite and its texts copied, so the
// rewrite shares nothing with the one before nor with the bytes read.
void Rewrite(benchmark::State& state, DataSet set) {
  World world(set);
  Store store(world.Folder());
  if (!store.LoadData().isEmpty()) state.SkipWithError("load");
  if (store.WriteEntryFile()) state.SkipWithError("write");  // memory in use, as after a save
  for (auto _ : state) {
    state.PauseTiming();
    if (store.ReadEntryFile()) state.SkipWithError("read");
    for (EntryRow& row : store.entries.rows) {
      for (Value& cell : row.fields) {
        if (cell.IsText()) cell = Value(QString(cell.Text().constData(), cell.Text().size()));
      }
    }
    state.ResumeTiming();
    if (store.WriteEntryFile()) state.SkipWithError("write");
  }
  QFile file(world.Path(DataFile::Entries));
  if (!file.open(QIODevice::ReadOnly) || file.readAll() != FilesOf(set).entries) {
    state.SkipWithError("the rewrite changed the file");
  }
}

// The entries file's bytes made from the table in memory, as a rewrite makes them.
void Encode(benchmark::State& state, DataSet set) {
  World world(set);
  Store store(world.Folder());
  if (!store.LoadData().isEmpty()) state.SkipWithError("load");
  QByteArray buffer;
  for (auto _ : state) {
    RecordWriter writer(std::move(buffer));
    writer.Reserve(FilesOf(set).entries.size() + 4096);
    writer.WriteRecord({Value(store.entries.Count())});
    for (const EntryRow& row : store.entries.rows) writer.WriteRecord(row.fields);
    benchmark::DoNotOptimize(writer.Size());
    if (writer.View() != FilesOf(set).entries) state.SkipWithError("other bytes than the file's");
    buffer = writer.TakeBuffer();
  }
}

// ReadEntryFile as the program calls it, at start-up: into an empty table. The rows of the call
// before are given back while the clock stands; their memory stays with the table and the
// allocator, as the floor's lines stay with the allocator between its calls.
void Load(benchmark::State& state, DataSet set) {
  World world(set);
  Store store(world.Folder());
  for (auto _ : state) {
    state.PauseTiming();
    store.entries.rows.clear();
    state.ResumeTiming();
    if (store.ReadEntryFile()) state.SkipWithError("read");
  }
}

// An export as `lumivera --export` makes it: the entries file read, the spreadsheet's bytes made
// and written atomically beside it.
void Export(benchmark::State& state, DataSet set) {
  World world(set);
  const QString target = world.Folder() + QStringLiteral("/ausfuhr.csv");
  for (auto _ : state) {
    const EntriesForExport read = ReadEntriesForExport(world.Folder());
    if (read.problem) state.SkipWithError("read");
    if (WriteFileAtomically(target, SpreadsheetBytes(read.entries, {})))
      state.SkipWithError("write");
  }
}

// An import as `lumivera --import` makes it, of the export of every entry into a folder with the
// default files: the file read, every row checked, the three files rewritten once.
void Import(benchmark::State& state, DataSet set) {
  World world(set);
  QString source;
  {
    Store store(world.Folder());
    if (store.ReadEntryFile()) state.SkipWithError("read");
    source = world.Folder() + QStringLiteral("/ausfuhr.csv");
    if (WriteFileAtomically(source, SpreadsheetBytes(store.entries, {})))
      state.SkipWithError("write");
  }
  // The folder of the call before is given back while the clock stands.
  std::optional<Store> store;
  std::optional<QTemporaryDir> into;
  for (auto _ : state) {
    state.PauseTiming();
    store.reset();
    into.emplace();
    store.emplace(into->path());
    if (!store->LoadData().isEmpty()) state.SkipWithError("defaults");
    state.ResumeTiming();
    QString reason;
    const std::optional<QByteArray> bytes = ReadWholeFile(source, 128 * 1024 * 1024, &reason);
    if (!bytes) state.SkipWithError("read");
    const SpreadsheetRead read = ReadSpreadsheet(*bytes);
    if (!read.refused.empty() || !ImportEntries(*store, read.rows).stored)
      state.SkipWithError("import");
  }
}

// Code run right after the clock has stood for some milliseconds meets colder caches on this
// kind of shared machine than code run straight on, whatever was done meanwhile: after a 10 ms
// sleep or a 20 ms busy loop that touches no memory, the default files' first filling and
// drawing take 0.84-0.87 ms instead of 0.63. Start-up less loading stops the clock while the
// files are read, so it is compared with a start-up that stops it just as long at the same place.
constexpr auto kStartUpStop = std::chrono::milliseconds(30);

// Waits, busy as a load is, until the stop that began at `since` has lasted kStartUpStop.
void StandUntilStopEnds(std::chrono::steady_clock::time_point since) {
  while (std::chrono::steady_clock::now() - since < kStartUpStop) {
  }
}

// A window load with the clock stopped for kStartUpStop after the layout. With `loadInStop`
// the three files are read in the stop, and only filling the person box and the first calendar
// drawing follow: what of start-up is not loading. Without it the whole LoadData follows the
// stop, then the first drawing: the default start-up that start-up less loading is compared with.
void StartUpAroundStop(benchmark::State& state, DataSet set, bool loadInStop) {
  World world(set);
  for (auto _ : state) {
    state.PauseTiming();
    // The window of the call before goes while the clock stands, after the layout: no start-up
    // lays out its window just after a loaded one was torn down.
    world.NewWindowKeepingOld();
    state.ResumeTiming();
    world.Window().LayOut(kScreen);
    state.PauseTiming();
    const auto stop = std::chrono::steady_clock::now();
    world.DropOldWindow();
    if (loadInStop && !world.Log().store.LoadData().isEmpty()) state.SkipWithError("load");
    StandUntilStopEnds(stop);
    state.ResumeTiming();
    if (loadInStop) {
      world.Log().FillPersonBox();
    } else {
      world.Log().LoadData();
    }
    world.Log().DrawCalendar();
  }
  if (world.Log().store.persons.Count() == 0) state.SkipWithError("nothing loaded");
}

void StartUpLessLoading(benchmark::State& state, DataSet set) {
  StartUpAroundStop(state, set, true);
}

void StartUpWithStop(benchmark::State& state, DataSet set) {
  StartUpAroundStop(state, set, false);
}

void StartUp(benchmark::State& state, DataSet set) {
  World world(set);
  for (auto _ : state) {
    state.PauseTiming();
    world.NewWindow();
    state.ResumeTiming();
    world.StartUp();
  }
  if (world.Log().store.persons.Count() == 0) state.SkipWithError("nothing loaded");
}

// A window after start-up with the person chosen and the tab "Ausgaben" open.
struct DayView {
  explicit DayView(DataSet set, const QString& tab = kTab) : world(set) {
    world.StartUp();
    world.OpenDayView(tab);
  }
  World world;
  DayLog& Log() { return world.Log(); }
  MainWindow& Window() { return world.Window(); }
};

void DrawCalendar(benchmark::State& state, DataSet set) {
  DayView view(set);
  for (auto _ : state) view.Log().DrawCalendar();
}

void FillDayList(benchmark::State& state, DataSet set) {
  DayView view(set);
  for (auto _ : state) view.Log().FillDayList();
}

// Two tabs in turn, so every call rebuilds the page.
void ShowTabPage(benchmark::State& state, DataSet set) {
  DayView view(set);
  const int first = view.Window().tabs->currentIndex();
  int k = 0;
  for (auto _ : state) {
    state.PauseTiming();
    view.Window().tabs->setCurrentIndex(++k % 2 == 1 ? 0 : first);
    state.ResumeTiming();
    view.Log().ShowTabPage();
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
    view.Log().SelectDayAt(static_cast<float>(at.x()), static_cast<float>(at.y()));
  }
  if (!view.Log().SelectedDate.IsDate()) state.SkipWithError("no day selected");
}

void NextMonth(benchmark::State& state, DataSet set) {
  DayView view(set);
  for (auto _ : state) {
    state.PauseTiming();
    view.Log().ViewMonth = Value(kToday);
    state.ResumeTiming();
    view.Log().NextMonth();
  }
}

// The chart page with the person's category "Ausgaben" chosen.
struct ChartView : DayView {
  explicit ChartView(DataSet set) : DayView(set, QStringLiteral("Entwicklung")) {
    Window().seriesCategoryBox->setCurrentIndex(Window().seriesCategoryBox->findText(kTab));
    Log().FillSeriesItems();
  }
};

void FillSeriesItems(benchmark::State& state, DataSet set) {
  ChartView view(set);
  for (auto _ : state) view.Log().FillSeriesItems();
}

void DrawDevelopment(benchmark::State& state, DataSet set) {
  ChartView view(set);
  for (auto _ : state) view.Log().DrawDevelopment();
}

// The editor holds an entry of the selected day; `item` names it.
void FillEditor(MainWindow& window, const QString& item) {
  window.itemBox->setEditText(item);
  window.valueBox->setEditText(QStringLiteral("12,5"));
  window.descriptionBox->setPlainText(QStringLiteral("Einkauf bei Müller, 3 Stück à 4,20 €"));
}

// An item of the tab that the person has no entry of on the selected day, or else the empty
// text.
QString UnusedItem(const DayLog& dayLog) {
  const Value day(kToday), person(kPerson), tab(kTab);
  for (int i = dayLog.store.categories.Count(); i >= 1; --i) {
    const CategoryRow& pair = dayLog.store.categories.Row(i);
    if (!(pair.Category() == tab)) continue;
    bool used = false;
    for (const EntryRow& row : dayLog.store.entries.rows) {
      used = used || (row.Date() == day && row.Person() == person && row.Category() == tab &&
                      row.Item() == pair.Item());
    }
    if (!used) return pair.Item().Text();
  }
  return QString();
}

// An item the person has an entry of on the selected day under the tab, or the empty text.
QString UsedItem(const DayLog& dayLog) {
  const Value day(kToday), person(kPerson), tab(kTab);
  for (const EntryRow& row : dayLog.store.entries.rows) {
    if (row.Date() == day && row.Person() == person && row.Category() == tab) {
      return row.Item().Text();
    }
  }
  return QString();
}

// The editor of a day view filled with an entry that exists; with the default files, which
// hold none, it is saved once first.
void PrepareUpdate(DayView& view) {
  const QString item = UsedItem(view.Log());
  FillEditor(view.Window(), item.isEmpty() ? UnusedItem(view.Log()) : item);
  if (item.isEmpty()) view.Log().SaveEntry();
}

// Saving an entry that exists: its value and description change, the count stays. A save has
// been made before, as in a session where the user saves one entry after another.
void SaveEntryUpdate(benchmark::State& state, DataSet set) {
  DayView view(set);
  DayLog& dayLog = view.Log();
  PrepareUpdate(view);
  dayLog.SaveEntry();
  const int count = dayLog.store.entries.Count();
  for (auto _ : state) dayLog.SaveEntry();
  if (dayLog.store.entries.Count() != count || count == 0) state.SkipWithError("no update");
}

// Saving an entry that exists, the first change of a day: the three files are copied into the
// day's backup folder, read back and compared, older backups pruned, then the entry saved. Each
// call is the first of another day.
void SaveEntryWithBackup(benchmark::State& state, DataSet set) {
  DayView view(set);
  DayLog& dayLog = view.Log();
  PrepareUpdate(view);
  dayLog.SaveEntry();
  int days = 0;
  dayLog.store.Backups().UseToday([&days] { return kToday.addDays(days); });
  for (auto _ : state) {
    state.PauseTiming();
    ++days;
    state.ResumeTiming();
    dayLog.SaveEntry();
  }
  if (!QFileInfo::exists(view.world.Folder() + QStringLiteral("/Sicherungen/") +
                         kToday.addDays(days).toString(Qt::ISODate)))
    state.SkipWithError("no backup");
}

// Ctrl+Z after an update, and Ctrl+Y after its undo: the entry's value and description put back
// and the file rewritten, as the save it reverses does. The save (and for a redo the undo) before
// each call is not timed.
void Reverse(benchmark::State& state, DataSet set, bool redo) {
  DayView view(set);
  DayLog& dayLog = view.Log();
  PrepareUpdate(view);
  dayLog.SaveEntry();
  for (auto _ : state) {
    state.PauseTiming();
    dayLog.SaveEntry();
    if (redo) dayLog.Undo();
    state.ResumeTiming();
    redo ? dayLog.Redo() : dayLog.Undo();
  }
}
void Undo(benchmark::State& state, DataSet set) {
  Reverse(state, set, false);
}
void Redo(benchmark::State& state, DataSet set) {
  Reverse(state, set, true);
}

// The first save after start-up, in a fresh window each time, once the window's events ran (the
// window load leaves the copy of the rows read to the event loop). (With the default files there
// is no entry to update before a first save, so only the full files.) The day's backup exists, as
// after an earlier run that day: the first save of a day is SaveEntryWithBackup.
void FirstSaveEntry(benchmark::State& state, DataSet set) {
  std::optional<DayView> view;
  for (auto _ : state) {
    state.PauseTiming();
    view.reset();
    view.emplace(set);
    PrepareUpdate(*view);
    view->Log().store.Backups().BeforeChange();
    view->world.ProcessEvents();
    state.ResumeTiming();
    view->Log().SaveEntry();
  }
}

// Saving a new entry into a table with room for exactly one more; the entry is taken out again
// between the iterations.
void SaveEntryAppend(benchmark::State& state, DataSet set) {
  DayView view(set == DataSet::Full ? DataSet::FullLessOne : set);
  DayLog& dayLog = view.Log();
  FillEditor(view.Window(), UnusedItem(dayLog));
  const int count = dayLog.store.entries.Count();
  // A save before, as in a session where the user saves one entry after another, and the copy
  // of the rows the window takes once idle after it.
  if (dayLog.store.WriteEntryFile()) state.SkipWithError("write");
  dayLog.store.KeepEntriesAsRead();
  for (auto _ : state) {
    dayLog.SaveEntry();
    state.PauseTiming();
    if (dayLog.store.entries.Count() != count + 1) {
      state.SkipWithError("no append");
      break;
    }
    // The table as before, taken out as a delete takes it, so the index stays in step as in a
    // session (dropping the row behind the table's back would have the index made anew before
    // the next save). The file is left as it is (writing it back here would leave data for the
    // next save's flush to the disk). The next save does not read it again: its stamp is still
    // the one of the store's own last write.
    dayLog.store.entries.RemoveAt(dayLog.store.entries.Count());
    dayLog.FillDayList();
    state.ResumeTiming();
  }
}

// A press on the first line of the day list, answered with Yes; the entry is put back in its
// place between the iterations.
void DeleteEntryAt(benchmark::State& state, DataSet set) {
  DayView view(set);
  DayLog& dayLog = view.Log();
  MainWindow& window = view.Window();
  if (set == DataSet::Defaults) {
    // The default files hold no entry: save one to delete.
    FillEditor(window, UnusedItem(dayLog));
    dayLog.SaveEntry();
  }
  // A save before, as in a session where the user changes one entry after another.
  if (dayLog.store.WriteEntryFile()) state.SkipWithError("write");
  const int count = dayLog.store.entries.Count();
  for (auto _ : state) {
    state.PauseTiming();
    window.dayList->setCurrentRow(0);
    const DayListItem line = window.dayList->SelectedData().value<DayListItem>();
    const int hit = FindEntry(dayLog.store.entries, line.entry, line.row);
    const EntryRow removed = hit > 0 ? dayLog.store.entries.Row(hit) : EntryRow();
    state.ResumeTiming();
    dayLog.DeleteEntryAt(1);
    state.PauseTiming();
    if (hit == 0 || dayLog.store.entries.Count() != count - 1) {
      state.SkipWithError("no delete");
      break;
    }
    // The table as before; the file is left as it is. The next delete does not read it again:
    // its stamp is still the one of the store's own last write.
    dayLog.store.entries.rows.insert(dayLog.store.entries.rows.begin() + (hit - 1), removed);
    dayLog.FillDayList();
    state.ResumeTiming();
  }
}

// A new name into a persons table with room for exactly one more; the persons file is put back
// between the iterations.
void AddPerson(benchmark::State& state, DataSet set) {
  const DataSet start = set == DataSet::Full ? DataSet::FullLessOne : set;
  DayView view(start);
  DayLog& dayLog = view.Log();
  const int count = dayLog.store.persons.Count();
  for (auto _ : state) {
    state.PauseTiming();
    view.Window().personBox->setEditText(QStringLiteral("Zoë Weiß-Öztürk"));
    state.ResumeTiming();
    dayLog.AddPerson();
    state.PauseTiming();
    if (dayLog.store.persons.Count() != count + 1) {
      state.SkipWithError("no person added");
      break;
    }
    view.world.WriteFile(FileName(DataFile::Persons), FilesOf(start).persons);
    dayLog.store.persons.rows.pop_back();
    state.ResumeTiming();
  }
}

struct Registration {
  const char* name;
  Case run;
  int iterations;
  bool withDefaults;
  // Also run on a table holding only the entries the view shows.
  bool withShownOnly = false;
  // Only on the default files.
  bool onlyDefaults = false;
};

}  // namespace

void RegisterBenchmarks(int repetitions) {
  const Registration all[] = {
      {"FloorWrite", FloorWrite, 8, false},
      {"FloorRead", FloorRead, 6, false},
      {"Rewrite", Rewrite, 4, false},
      {"Encode", Encode, 4, false},
      {"Load", Load, 6, false},
      {"Export", Export, 4, false},
      {"Import", Import, 2, false},
      {"StartUpLessLoading", StartUpLessLoading, 16, true},
      {"StartUp", StartUp, 16, true},
      {"StartUpWithStop", StartUpWithStop, 16, true, false, true},
      {"DrawCalendar", DrawCalendar, 10, true, true},
      {"FillDayList", FillDayList, 20, true},
      {"ShowTabPage", ShowTabPage, 10, true, true},
      {"SelectDayAt", SelectDayAt, 10, true, true},
      {"NextMonth", NextMonth, 10, true, true},
      {"FillSeriesItems", FillSeriesItems, 10, true, true},
      {"DrawDevelopment", DrawDevelopment, 10, true, true},
      {"SaveEntryUpdate", SaveEntryUpdate, 8, true},
      {"SaveEntryWithBackup", SaveEntryWithBackup, 4, false},
      {"Undo", Undo, 4, false},
      {"Redo", Redo, 4, false},
      {"FirstSaveEntry", FirstSaveEntry, 1, false},
      {"SaveEntryAppend", SaveEntryAppend, 8, true},
      {"DeleteEntryAt", DeleteEntryAt, 4, true},
      {"AddPerson", AddPerson, 4, true},
  };
  for (const Registration& r : all) {
    for (const DataSet set : {DataSet::Full, DataSet::Defaults, DataSet::ShownMonthOnly}) {
      if (set == DataSet::Defaults && !r.withDefaults) continue;
      if (set != DataSet::Defaults && r.onlyDefaults) continue;
      if (set == DataSet::ShownMonthOnly && !r.withShownOnly) continue;
      const std::string name = std::string(r.name) + (set == DataSet::Full       ? "/full"
                                                      : set == DataSet::Defaults ? "/defaults"
                                                                                 : "/shown");
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
    DayLog& dayLog = world.Log();
    FillEditor(world.Window(), UsedItem(dayLog));
    dayLog.SaveEntry();
    // A thousand changes in one run: the undo history keeps what each changed, no tables.
    for (int i = 0; i < 1000; ++i) dayLog.SaveEntry();
    world.Window().dayList->setCurrentRow(0);
    dayLog.DeleteEntryAt(1);
    dayLog.NextMonth();
    world.SelectTab(QStringLiteral("Entwicklung"));
    world.Window().seriesCategoryBox->setCurrentIndex(
        world.Window().seriesCategoryBox->findText(kTab));
    dayLog.FillSeriesItems();
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
