// SPDX-License-Identifier: GPL-3.0-or-later
// Runs sequences of changes, chosen by the fuzzer's bytes, through the store's change functions
// on a real Store in a temporary folder and on a plain model: three vectors and the rules of
// saving, deleting and adding a person in their simplest form, and undoing and redoing them as
// going back and forth between the model's states. After every step the files read back to the
// model and the tables equal it; a refused or failed step changes neither.
// The store's clock is the fuzzer's too: the day moves on (and now and then back), and the day
// backups in "Sicherungen" are held against what was on disk before each step and against a
// plain reading of which days are kept.
#include <stdlib.h>

#include <QDir>
#include <QFile>
#include <QStringEncoder>
#include <algorithm>
#include <array>
#include <cstdint>
#include <cstdlib>
#include <initializer_list>
#include <map>
#include <optional>
#include <set>
#include <vector>

#include "chart/series.h"
#include "dayview/calendar.h"
#include "dayview/day_list.h"
#include "failing_file_writer.h"
#include "store/change_history.h"
#include "store/changes.h"

namespace {

// The folder the store works in; the fuzzer keeps its corpus and findings where it was started.
QString g_storeFolder;

void Require(bool condition) {
  if (condition) return;
  std::abort();
}

// The writer of the store under test: the next writes of more than `bytes` bytes fail (a
// negative number lets them succeed again).
FailingFileWriter g_writer;
void FailWritesAfter(qint64 bytes) {
  g_writer.FailAfterBytes(bytes);
}

// The three data files' bytes, persons, categories and entries, as they are in a folder.
using Files = std::array<QByteArray, 3>;
Files ReadFiles(const QString& folder) {
  Files files;
  for (DataFile file : {DataFile::Persons, DataFile::Categories, DataFile::Entries}) {
    QFile f(QDir(folder).filePath(FileName(file)));
    Require(f.open(QIODevice::ReadOnly));
    files[static_cast<std::size_t>(file)] = f.readAll();
  }
  return files;
}

// The writer handed to the store: the failing writer, noting before each rewrite of a data file
// the data files as they are then, which is what a backup made for that rewrite copies.
class NotingWriter : public FileWriter {
 public:
  std::vector<Files> beforeRewrites;
  [[nodiscard]] std::optional<QString> Replace(const QString& path, QByteArrayView bytes) override {
    for (DataFile file : {DataFile::Persons, DataFile::Categories, DataFile::Entries}) {
      if (path == QDir(g_storeFolder).filePath(FileName(file))) {
        beforeRewrites.push_back(ReadFiles(g_storeFolder));
        break;
      }
    }
    return g_writer.Replace(path, bytes);
  }
  [[nodiscard]] std::optional<QString> Create(const QString& path, QByteArrayView bytes) override {
    return g_writer.Create(path, bytes);
  }
};
NotingWriter g_noting;

// The day the store's clock shows.
QDate g_today;

struct Entry {
  QDate day;
  QString person, category, item;
  double value = 0;
  QString description;
  bool operator==(const Entry&) const = default;
};

struct Model {
  std::vector<QString> persons;
  std::vector<std::pair<QString, QString>> pairs;
  std::vector<Entry> entries;
};

class Bytes {
 public:
  Bytes(const std::uint8_t* data, std::size_t size) : p_(data), n_(size) {}
  bool Empty() const { return n_ == 0; }
  unsigned Next() { return n_ == 0 ? 0 : (--n_, *p_++); }
  // A text of the pool; "" is the null text, which every copy shares.
  QString Pick(std::initializer_list<const char16_t*> pool) {
    const char16_t* text = pool.begin()[Next() % pool.size()];
    return *text ? QString::fromUtf16(text) : QString();
  }

 private:
  const std::uint8_t* p_;
  std::size_t n_;
};

QString TextOf(const Value& v) {
  Require(v.IsText());
  return v.Text();
}

// The store's rows in the model's form; every cell must be of the kind the model gives it.
Entry EntryOf(const EntryRow& r) {
  Require(r.Date().IsDate() && r.Value().IsNumber() && TextOf(r.fields[6]).isEmpty() &&
          TextOf(r.fields[7]).isEmpty());
  return {r.Date().Date(),  TextOf(r.Person()), TextOf(r.Category()),
          TextOf(r.Item()), r.Value().Number(), TextOf(r.Description())};
}

Model Seen(const Store& s) {
  Model m;
  for (const PersonRow& r : s.persons.rows) m.persons.push_back(TextOf(r.Name()));
  for (const CategoryRow& r : s.categories.rows)
    m.pairs.emplace_back(TextOf(r.Category()), TextOf(r.Item()));
  for (const EntryRow& r : s.entries.rows) m.entries.push_back(EntryOf(r));
  return m;
}

bool Storable(const QString& text) {
  QStringEncoder encoder("windows-1252");
  const QByteArray bytes = encoder.encode(text);
  return !encoder.hasError() && !bytes.contains('"') && !bytes.contains('\r') &&
         !bytes.contains('\n');
}

// A table is stale when another program changed its file and the store has not read it since.
using Stale = std::array<bool, 3>;
constexpr int kPersons = 0, kCategories = 1, kEntries = 2;

// The views' answers, which come from the entries index, are those of reading every row: the
// marks of each day of March 2024, the day lists and the series items of every person asked.
// Entries fall on the first six days; the seventh stands for the days without any.
void CheckViewsAsTheScan(const EntryTable& t) {
  for (const Value& person : {Value(QStringLiteral("Haushalt")), Value(QStringLiteral("Bea")),
                              Value(QString::fromUtf16(u"B\u00f6")), Value(QString()), Value()}) {
    std::vector<std::vector<Value>> marks(31);
    for (const EntryRow& r : t.rows) {
      if (!(r.Person() == person && r.Date().Date().month() == 3)) continue;
      std::vector<Value>& day = marks[static_cast<std::size_t>(r.Date().Date().day() - 1)];
      if (std::find(day.begin(), day.end(), r.Category()) == day.end()) day.push_back(r.Category());
    }
    Require(CategoriesByDay(t, QDate(2024, 3, 1), person) == marks);
    for (int d = 1; d <= 7; ++d) {
      std::vector<int> rows;
      for (int i = 1; i <= t.Count(); ++i) {
        if (BelongsToDayList(t.Row(i), Value(QDate(2024, 3, d)), person, QStringLiteral("Sport")))
          rows.push_back(i);
      }
      const std::vector<DayListItem> items =
          DayListItems(t, Value(QDate(2024, 3, d)), person, QStringLiteral("Sport"));
      Require(items.size() == rows.size());
      for (std::size_t k = 0; k < items.size() && k < rows.size(); ++k) {
        Require(items[k].row == rows[k] && SameCells(items[k].entry, t.Row(rows[k])) &&
                items[k].line == DayListLine(t.Row(rows[k])));
      }
    }
    std::vector<Value> items;
    for (const EntryRow& r : t.rows) {
      if (r.Person() == person && r.Category() == Value(QStringLiteral("Sport")) &&
          std::find(items.begin(), items.end(), r.Item()) == items.end())
        items.push_back(r.Item());
    }
    Require(SeriesItems(t, person, QStringLiteral("Sport")) == items);
  }
}

// A day list line whose row moved finds the last row holding the same cells, as reading every
// row from the end does.
void CheckFindAsTheScan(const EntryTable& t) {
  for (int i = 1; i <= t.Count(); ++i) {
    int last = 0;
    for (int j = t.Count(); j >= 1 && last == 0; --j) {
      if (SameCells(t.Row(j), t.Row(i))) last = j;
    }
    Require(FindEntry(t, t.Row(i), 0) == last);
  }
}

// The files, read by a fresh store, always hold the model; the tables do unless stale.
void Check(const Store& store, const Model& model, const Stale& stale) {
  CheckViewsAsTheScan(store.entries);
  CheckFindAsTheScan(store.entries);
  Store disk(g_storeFolder);
  Require(disk.LoadData().isEmpty());
  const Model onDisk = Seen(disk), inStore = Seen(store);
  Require(onDisk.persons == model.persons && onDisk.pairs == model.pairs &&
          onDisk.entries == model.entries);
  Require(stale[kPersons] || inStore.persons == model.persons);
  Require(stale[kCategories] || inStore.pairs == model.pairs);
  Require(stale[kEntries] || inStore.entries == model.entries);
}

// Another program rewrites a file whole from the model, in its own plain way.
// The ways other programs save the files: the program's own form; texts quoted only where they
// hold a comma, in UTF-8, as spreadsheets save them; every field quoted, numbers included, in
// UTF-8 with a byte order mark; line feeds alone and a decimal comma.
enum class Form { Own, MinimalQuotingUtf8, AllQuotedWithBom, LineFeedsDecimalComma };
constexpr int kForms = 4;

void WriteAsAnotherProgram(DataFile file, const Model& m, Form form = Form::Own) {
  QStringEncoder encoder(form == Form::MinimalQuotingUtf8 || form == Form::AllQuotedWithBom
                             ? "UTF-8"
                             : "windows-1252");
  const auto text = [&](const QString& t) {
    const QByteArray bytes = encoder.encode(t);
    if (form == Form::MinimalQuotingUtf8 && !bytes.contains(',')) return bytes;
    return '"' + bytes + '"';
  };
  const auto number = [&](double n) {
    QByteArray bytes = QByteArray::number(n, 'g', 17);
    if (form == Form::AllQuotedWithBom) return '"' + bytes + '"';
    if (form == Form::LineFeedsDecimalComma) return '"' + bytes.replace('.', ',') + '"';
    return bytes;
  };
  const auto count = [&](std::size_t n) { return number(static_cast<double>(n)); };
  QByteArray out = form == Form::AllQuotedWithBom ? "\xEF\xBB\xBF" : "";
  const QByteArray end = form == Form::LineFeedsDecimalComma ? "\n" : "\r\n";
  const auto line = [&](const QByteArray& l) { out += l + end; };
  if (file == DataFile::Persons) {
    line(count(m.persons.size()));
    for (const QString& p : m.persons) line(text(p));
  } else if (file == DataFile::Categories) {
    line(count(m.pairs.size()));
    for (const auto& [c, i] : m.pairs) line(text(c) + ',' + text(i));
  } else {
    line(count(m.entries.size()));
    for (const Entry& e : m.entries) {
      const QByteArray day = '#' + e.day.toString(QStringLiteral("yyyy-MM-dd")).toLatin1() + '#';
      line((form == Form::AllQuotedWithBom ? '"' + day + '"' : day) + ',' + text(e.person) + ',' +
           text(e.category) + ',' + text(e.item) + ',' + number(e.value) + ',' +
           text(e.description) + ',' + text({}) + ',' + text({}));
    }
  }
  QFile f(QDir(g_storeFolder).filePath(FileName(file)));
  Require(f.open(QIODevice::WriteOnly | QIODevice::Truncate) && f.write(out) == out.size());
}

QString Person(Bytes& in) {
  return in.Pick({u"Haushalt", u"Anna", u"B\u00f6", u"", u"An\"na", u"\u03a9"});
}

// One save, one delete or one added person, and the rows it changed. With `mayFail` the store's
// writes may fail: then the store's word decides whether a write went through, and what failed
// changed nothing.
ChangeRecord Change(Store& store, Model& model, Stale& stale, Bytes& in, unsigned op,
                    bool mayFail) {
  static const QLocale german(QLocale::German, QLocale::Germany);
  if (op % 3 == 0) {
    const Value day(QDate(2024, 3, 1).addDays(in.Next() % 6));
    const QString category = in.Pick({u"Sport", u"Ausgaben", u"S"});
    const QString item = in.Pick(
        {u"Joggen", u"Rudern", u"R", u"Ru", u"Combo1", u"", u"Zu\"g", u"Fu\u00dfball \u20ac"});
    const QString person = Person(in);
    EntryInput input{day,  category,
                     item, person,
                     {},   in.Pick({u"", u"am See, 3 km", u"x", u"Zeile\nzwei", u"\u20ac \u00df"})};
    std::optional<double> number;
    const int n = static_cast<int>(in.Next()) - 128, cents = static_cast<int>(in.Next() % 100);
    switch (in.Next() % 4) {
      case 0:
        input.valueText = QString::number(n);
        number = n;
        break;
      case 1:  // the correctly rounded quotient of two whole numbers is the decimal's double
        input.valueText = QStringLiteral("%1,%2").arg(std::abs(n)).arg(cents, 2, 10, QChar(u'0'));
        number = (std::abs(n) * 100 + cents) / 100.0;
        break;
      case 2:
        input.valueText = QStringLiteral("1.000,5");
        number = 1000.5;
        break;
      default:
        input.valueText = in.Pick({u"abc", u"", u"1.000", u"5 kg"});
    }
    // The rules: ignore an empty or "Combo" item, refuse a text the files cannot hold, learn
    // a new item, refuse a non-number and a missing person, then update the entries of that
    // day, person, category and item, or append one.
    Model next = model;
    SaveOutcome expected(SaveOutcome::Result::Ignored);
    const std::pair<QString, QString> pair{category, item};
    const bool ignored = item.isEmpty() || item.startsWith(QStringLiteral("Combo"));
    if (!ignored) {
      expected.result = SaveOutcome::Result::Refused;
      if (Storable(item) && Storable(person) && Storable(input.description)) {
        if (std::find(next.pairs.begin(), next.pairs.end(), pair) == next.pairs.end()) {
          next.pairs.push_back(pair);
          expected.learned = true;
        }
        if (number && !person.isEmpty()) {
          expected.result = SaveOutcome::Result::Saved;
          for (Entry& e : next.entries) {
            if (e.day == input.day.Date() && e.person == person && e.category == category &&
                e.item == item) {
              e.value = *number;
              e.description = input.description;
              expected.result = SaveOutcome::Result::Updated;
            }
          }
          if (expected.result == SaveOutcome::Result::Saved) {
            next.entries.push_back(
                {input.day.Date(), person, category, item, *number, input.description});
          }
          // A person not yet known is added with the entry.
          if (std::count(next.persons.begin(), next.persons.end(), person) == 0)
            next.persons.push_back(person);
        }
      }
    }
    const bool wasStale = stale[kEntries] || stale[kCategories] || stale[kPersons];
    const SaveOutcome outcome = StoreEntry(store, input, german);
    // Every save that gets past its texts reads the changed files again, the persons file too.
    if (!ignored && Storable(item) && Storable(person) && Storable(input.description))
      stale[kPersons] = false;
    if (mayFail && (outcome.result != expected.result || outcome.learned != expected.learned)) {
      Require(outcome.result == SaveOutcome::Result::Refused && !outcome.messages.isEmpty() &&
              (!outcome.learned || expected.learned));
      if (outcome.learned) model.pairs.push_back(pair);
      return {};
    }
    Require(wasStale || (outcome.result == expected.result && outcome.learned == expected.learned));
    if (outcome.outside.categories) stale[kCategories] = false;
    if (outcome.outside.entries) stale[kEntries] = false;
    model = next;
    return outcome.changed;
  } else if (op % 3 == 1) {
    if (store.entries.Count() == 0) return {};
    const int row = 1 + static_cast<int>(in.Next()) % store.entries.Count();
    const Entry removed = EntryOf(store.entries.Row(row));
    const RemoveOutcome outcome = RemoveEntry(store, store.entries.Row(row), row);
    if (outcome.outside.entries) stale[kEntries] = false;
    if (mayFail && outcome.result == RemoveOutcome::Result::Refused) return {};
    // The entry of the line the user chose: in its row if that still holds it, else the last
    // row that does, should another program have changed the file.
    auto at = model.entries.end();
    if (static_cast<std::size_t>(row) <= model.entries.size() && model.entries[row - 1] == removed)
      at = model.entries.begin() + (row - 1);
    else if (const auto last = std::find(model.entries.rbegin(), model.entries.rend(), removed);
             last != model.entries.rend())
      at = std::next(last).base();
    Require(outcome.result == (at == model.entries.end() ? RemoveOutcome::Result::Gone
                                                         : RemoveOutcome::Result::Removed));
    if (at != model.entries.end()) model.entries.erase(at);
    return outcome.changed;
  } else {
    const QString name = Person(in);
    AddPersonOutcome::Result expected = AddPersonOutcome::Result::Ignored;
    if (!name.isEmpty()) expected = AddPersonOutcome::Result::Refused;
    if (!name.isEmpty() && Storable(name)) {
      stale[kPersons] = false;  // the persons file is read again first
      const bool known = std::count(model.persons.begin(), model.persons.end(), name) > 0;
      expected = known ? AddPersonOutcome::Result::Known : AddPersonOutcome::Result::Added;
    }
    const AddPersonOutcome outcome = StorePerson(store, name);
    if (mayFail && outcome.result != expected) {
      Require(outcome.result == AddPersonOutcome::Result::Refused && !outcome.messages.isEmpty());
      return {};
    }
    Require(outcome.result == expected);
    if (expected == AddPersonOutcome::Result::Added) model.persons.push_back(name);
    return outcome.changed;
  }
}

// The model's side of the history: the entries before and after each change, or the person it
// added and that person's place. Undoing a change puts the entries back as they were before it,
// or takes the person out; redoing makes the change again. Only an added person who has entries
// by then stays, and that change is dropped; the learned items always stay.
struct Step {
  std::vector<Entry> before, after;
  std::optional<QString> person;
  std::size_t place = 0;
};
struct ModelHistory {
  std::vector<Step> done, undone;
};

void KeepInHistory(ModelHistory& h, ChangeHistory& history, const ChangeRecord& changed,
                   const Model& before, const Model& after) {
  history.Record(changed);
  if (changed.empty()) return;
  Step step{before.entries, after.entries, std::nullopt};
  if (after.persons.size() > before.persons.size()) {
    step.person = after.persons.back();
    step.place = after.persons.size() - 1;
  }
  h.done.push_back(std::move(step));
  h.undone.clear();
}

void Reverse(Store& store, Model& model, Stale& stale, ChangeHistory& history, ModelHistory& h,
             bool undo) {
  std::vector<Step>& from = undo ? h.done : h.undone;
  std::vector<Step>& to = undo ? h.undone : h.done;
  const ReverseOutcome out = undo ? history.Undo(store) : history.Redo(store);
  if (from.empty()) {
    Require(out.result == ReverseResult::Nothing);
    return;
  }
  stale[kEntries] = false;
  if (from.back().person) stale[kPersons] = false;
  const Step& step = from.back();
  // A save that added its person takes the entry away first, then the person.
  const bool entriesChanged = step.before != step.after;
  const std::vector<Entry>& left = entriesChanged ? step.before : model.entries;
  const bool hasEntries = undo && step.person &&
                          std::any_of(left.begin(), left.end(),
                                      [&](const Entry& e) { return e.person == *step.person; });
  if (hasEntries) {
    Require(out.result == ReverseResult::Refused && !out.messages.isEmpty());
    if (entriesChanged) {
      // The dropped change's entry stays, so the entries noted for the changes before it no
      // longer hold: what undoing one of them leaves is not the state before it. Both histories
      // start anew.
      history = ChangeHistory();
      h = {};
      return;
    }
    from.pop_back();
    return;
  }
  Require(out.result == ReverseResult::Done && !out.report.isEmpty());
  if (entriesChanged || !step.person) model.entries = undo ? step.before : step.after;
  if (!step.person) {
  } else if (undo) {
    model.persons.erase(std::find(model.persons.begin(), model.persons.end(), *step.person));
  } else {
    model.persons.insert(model.persons.begin() + static_cast<std::ptrdiff_t>(
                                                     std::min(step.place, model.persons.size())),
                         *step.person);
  }
  to.push_back(std::move(from.back()));
  from.pop_back();
}

// Another program appends a record to a file or removes its first one, and the model with it,
// and saves the file in one of the ways other programs save it.
void ChangeOutside(Model& model, Stale& stale, Bytes& in) {
  const int which = static_cast<int>(in.Next() % 3);
  const bool append = in.Next() % 2 == 0 || which == kCategories;  // the store never forgets items
  const QString person = in.Pick({u"Haushalt", u"Bea", u"B\u00f6"});
  const QString item = in.Pick({u"Joggen", u"Rudern", u"Zeitung"});
  if (which == kPersons) {
    if (append) {
      model.persons.push_back(person);
    } else if (!model.persons.empty()) {
      model.persons.erase(model.persons.begin());
    }
  } else if (which == kCategories) {
    model.pairs.emplace_back(QStringLiteral("Sport"), item);
  } else if (append) {
    const QDate day(2024, 3, 1 + static_cast<int>(in.Next() % 6));
    model.entries.push_back({day, person, QStringLiteral("Sport"), item, 0.1 * in.Next(), {}});
  } else if (!model.entries.empty()) {
    model.entries.erase(model.entries.begin());
  }
  WriteAsAnotherProgram(static_cast<DataFile>(which), model, static_cast<Form>(in.Next() % kForms));
  stale[which] = true;
}

// The day changes: mostly on by 1 to 40 days, now and then by one to fourteen months, rarely
// back by 1 to 40 days, as a clock set back does.
void MoveClock(Bytes& in) {
  const unsigned how = in.Next() % 16;
  if (how == 0) {
    g_today = g_today.addDays(-1 - static_cast<int>(in.Next() % 40));
  } else if (how == 1) {
    g_today = g_today.addMonths(1 + static_cast<int>(in.Next() % 14));
  } else {
    g_today = g_today.addDays(1 + in.Next() % 40);
  }
}

// The backups in "Sicherungen" by their days. Every name there is a day's ("2026-01-31"), and
// every day's folder holds the three data files' names and nothing else.
std::map<QDate, Files> SeenBackups() {
  const QDir root(QDir(g_storeFolder).filePath(QStringLiteral("Sicherungen")));
  const auto names = [](const QDir& dir) {
    return dir.entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden | QDir::System,
                         QDir::Name);
  };
  QStringList files{FileName(DataFile::Persons), FileName(DataFile::Categories),
                    FileName(DataFile::Entries)};
  files.sort();
  std::map<QDate, Files> seen;
  if (!root.exists()) return seen;
  for (const QString& name : names(root)) {
    const QDate day = QDate::fromString(name, QStringLiteral("yyyy-MM-dd"));
    Require(day.isValid() && day.toString(QStringLiteral("yyyy-MM-dd")) == name);
    Require(names(QDir(root.filePath(name))) == files);
    seen[day] = ReadFiles(root.filePath(name));
  }
  return seen;
}

// Of the days that have a backup, those kept on `today`: a day with fewer than 7 newer ones,
// today and the days after it, and a day of one of the 12 months before today's month with no
// newer one in its month.
std::set<QDate> Kept(const std::set<QDate>& days, QDate today) {
  std::set<QDate> kept;
  for (const QDate& day : days) {
    int newer = 0;
    bool newerInMonth = false;
    for (const QDate& other : days) {
      if (other <= day) continue;
      ++newer;
      newerInMonth = newerInMonth || (other.year() == day.year() && other.month() == day.month());
    }
    const int monthsBefore = (today.year() - day.year()) * 12 + (today.month() - day.month());
    if (newer < 7 || day >= today || (monthsBefore >= 1 && monthsBefore <= 12 && !newerInMonth))
      kept.insert(day);
  }
  return kept;
}

// What is known of the backups: those the folder holds, the days for which this store made one
// (or may have, where it was made and at once removed), and whether the store has warned.
struct Backups {
  std::map<QDate, Files> held;
  std::set<QDate> made;
  bool warned = false;
};

// After a step: a backup appears only for today, in a step that changes the store, holding the
// data files as they were before the step's first rewrite (with failing writes, before a later
// one: the backup failed and was tried again); then the days the keep rule drops are gone. No
// other step adds, removes or alters a backup. A step that rewrote a data file on a day without a
// backup made one, unless its writes failed; a backup that failed is told once.
void CheckBackups(Store& store, Backups& b, const Files& before, bool mayFail, bool changes) {
  const std::map<QDate, Files> seen = SeenBackups();
  const std::optional<QString> warning = store.Backups().TakeWarning();
  if (warning) {
    Require(mayFail && !b.warned && !warning->isEmpty());
    b.warned = true;
  }
  const QDate today = g_today;
  if (!changes || b.held.count(today)) {
    Require(seen == b.held);
    return;
  }
  std::set<QDate> days{today};
  for (const auto& [day, files] : b.held) days.insert(day);
  const std::set<QDate> kept = Kept(days, today);
  std::map<QDate, Files> pruned = b.held;
  std::erase_if(pruned, [&](const auto& backup) { return kept.count(backup.first) == 0; });
  const bool rewrote = !g_noting.beforeRewrites.empty();
  if (seen.count(today)) {
    const Files& copy = seen.at(today);
    const std::vector<Files>& states = g_noting.beforeRewrites;
    Require(copy == before ||
            (mayFail && (copy == ReadFiles(g_storeFolder) ||
                         std::find(states.begin(), states.end(), copy) != states.end())));
    pruned[today] = copy;
    Require(seen == pruned);
    b.held = pruned;
    b.made.insert(today);
    return;
  }
  Require(seen == b.held);
  if (rewrote && b.made.count(today) == 0) Require(mayFail && b.warned);
}

// The folder holds the three data files and nothing else but the day backups' folder: no
// rewrite, failed or not, leaves a temporary file or a backup of a damaged file behind.
void CheckNothingLeftBehind() {
  QStringList names =
      QDir(g_storeFolder)
          .entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden | QDir::System,
                     QDir::Name);
  names.removeOne(kBackupFolderName);
  QStringList files{FileName(DataFile::Persons), FileName(DataFile::Categories),
                    FileName(DataFile::Entries)};
  files.sort();
  Require(names == files);
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  // A folder of the process's own in memory where there is one: rewrites sync to disk.
  char folder[] = "/dev/shm/lumivera-changes-XXXXXX";
  char fallback[] = "/tmp/lumivera-changes-XXXXXX";
  const char* made = mkdtemp(folder);
  if (!made) made = mkdtemp(fallback);
  g_storeFolder = QString::fromLocal8Bit(made);
  std::atexit([] { QDir(g_storeFolder).removeRecursively(); });
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  FailWritesAfter(-1);
  // Small files to begin with: the default ones would make every read back ten times longer.
  Model model{{QStringLiteral("Haushalt")},
              {{QStringLiteral("Sport"), QStringLiteral("Joggen")},
               {QStringLiteral("Ausgaben"), QStringLiteral("Einkauf")}},
              {}};
  for (DataFile file : {DataFile::Persons, DataFile::Categories, DataFile::Entries})
    WriteAsAnotherProgram(file, model);
  // Every input begins on the same day, without backups.
  Require(QDir(QDir(g_storeFolder).filePath(QStringLiteral("Sicherungen"))).removeRecursively());
  g_today = QDate(2026, 1, 1);
  Store store(g_storeFolder, g_noting);
  store.Backups().UseToday([] { return g_today; });
  Require(store.LoadData().isEmpty());
  Stale stale{};
  ChangeHistory history;
  ModelHistory modelHistory;
  Backups backups;
  Bytes in(data, size);
  for (int step = 0; step < 40 && !in.Empty(); ++step) {
    const unsigned op = in.Next() % 11;
    const Model before = model;
    const Files filesBefore = ReadFiles(g_storeFolder);
    g_noting.beforeRewrites.clear();
    bool mayFail = false;
    if (op < 5) {
      KeepInHistory(modelHistory, history, Change(store, model, stale, in, op, false), before,
                    model);
    } else if (op == 5) {
      Require(store.LoadData().isEmpty());
      stale = {};
    } else if (op == 6) {
      // A rewrite that fails part-way, after 0 to 2040 bytes; which write failed is told apart
      // on fresh tables.
      mayFail = stale == Stale{};
      FailWritesAfter(mayFail ? 8 * in.Next() : -1);
      const ChangeRecord changed = Change(store, model, stale, in, in.Next(), mayFail);
      KeepInHistory(modelHistory, history, changed, before, model);
      FailWritesAfter(-1);
    } else if (op == 7) {
      ChangeOutside(model, stale, in);
      // What another program changed decides what can still be undone: the history starts anew.
      history = ChangeHistory();
      modelHistory = {};
    } else if (op == 10) {
      MoveClock(in);
    } else {
      Reverse(store, model, stale, history, modelHistory, op == 8);
    }
    Check(store, model, stale);
    CheckBackups(store, backups, filesBefore, mayFail, op < 5 || op == 6 || op == 8 || op == 9);
  }
  CheckNothingLeftBehind();
  return 0;
}
