// SPDX-License-Identifier: GPL-3.0-or-later
#include "store/change_history.h"

#include <QLocale>
#include <algorithm>
#include <type_traits>
#include <utility>

#include "format/date_format.h"
#include "store/cell_text.h"

namespace {

QString GermanCount(int n) {
  return QLocale(QLocale::German, QLocale::Germany).toString(n);
}

// An entry as the day list shows it on the calendar's day, a person as the person box does.
QString Named(const EntryRow& row) {
  const QString day = row.Date().IsDate() ? DayMonth(row.Date().Date()) : CellText(row.Date());
  return QStringLiteral("Eintrag „%1“ vom %2").arg(CellText(row.Item()), day);
}
QString Named(const PersonRow& row) {
  return QStringLiteral("Person „%1“").arg(CellText(row.Name()));
}

// What a step did, as part of the report.
template <typename RowT>
QString Said(const RowChange<RowT>& change, bool undo) {
  const RowT& row = change.after ? *change.after : *change.before;
  const bool added = undo ? !change.after : !change.before;
  const bool removed = undo ? !change.before : !change.after;
  if constexpr (std::is_same_v<RowT, PersonRow>) {
    return Named(row) +
           (removed ? QStringLiteral(" entfernt") : QStringLiteral(" wieder hinzugefügt"));
  } else {
    if (removed && undo) return Named(row) + QStringLiteral(" entfernt");
    if (removed) return Named(row) + QStringLiteral(" wieder gelöscht");
    if (added && undo) return Named(row) + QStringLiteral(" wieder eingefügt");
    if (added) return Named(row) + QStringLiteral(" wieder gespeichert");
    return Named(row) + (undo ? QStringLiteral(" hat wieder den vorigen Wert und die vorige "
                                               "Beschreibung")
                              : QStringLiteral(" hat wieder den neuen Wert und die neue "
                                               "Beschreibung"));
  }
}

// The edits of one table during an undo or redo, kept so that a refused or failed one is set
// back exactly.
template <typename TableT>
class TableEdit {
 public:
  using RowT = typename TableT::RowType;
  explicit TableEdit(TableT& table) : table_(table) {}
  TableT& Table() { return table_; }
  bool Touched() const { return !log_.empty(); }

  void Insert(int at, RowT row) {
    Put(at, std::move(row));
    log_.push_back({Kind::Inserted, at, std::nullopt});
  }
  void Take(int at) { log_.push_back({Kind::Taken, at, TakeOut(at)}); }
  void Replace(int at, RowT row) {
    log_.push_back({Kind::Replaced, at, std::exchange(table_.Row(at), std::move(row))});
    if constexpr (std::is_same_v<TableT, EntryTable>) {
      // The index keys rows by their date, person, category and item.
      const RowT& now = table_.Row(at);
      const RowT& old = *log_.back().old;
      for (int f = 0; f < 4; ++f) {
        if (!SameCellsAt(now, old, f)) table_.Changed();
      }
    }
  }
  void SetBack() {
    for (auto edit = log_.rbegin(); edit != log_.rend(); ++edit) {
      switch (edit->kind) {
        case Kind::Inserted:
          TakeOut(edit->at);
          break;
        case Kind::Taken:
          Put(edit->at, std::move(*edit->old));
          break;
        case Kind::Replaced:
          table_.Row(edit->at) = std::move(*edit->old);
          if constexpr (std::is_same_v<TableT, EntryTable>) table_.Changed();
          break;
      }
    }
    log_.clear();
  }

 private:
  enum class Kind { Inserted, Taken, Replaced };
  struct Edit {
    Kind kind;
    int at;
    std::optional<RowT> old;
  };
  static bool SameCellsAt(const RowT& a, const RowT& b, int f) {
    const Value& x = a.fields[static_cast<std::size_t>(f)];
    const Value& y = b.fields[static_cast<std::size_t>(f)];
    return x.Kind() == y.Kind() && x == y;
  }
  // Appending and removing keep the entries' index in step; a row put between others has it
  // made anew when asked.
  void Put(int at, RowT row) {
    if constexpr (std::is_same_v<TableT, EntryTable>) {
      if (at == table_.Count() + 1) {
        table_.Append(std::move(row));
        return;
      }
    }
    table_.rows.insert(table_.rows.begin() + (at - 1), std::move(row));
  }
  RowT TakeOut(int at) {
    if constexpr (std::is_same_v<TableT, EntryTable>) {
      return table_.RemoveAt(at);
    } else {
      RowT row = std::move(table_.Row(at));
      table_.rows.erase(table_.rows.begin() + (at - 1));
      return row;
    }
  }

  TableT& table_;
  std::vector<Edit> log_;
};

// The row holding the cells: row `row` if it does, else the last one that does, as FindEntry
// finds a line of the day list; rows already taken by this undo are passed over.
template <typename TableT>
int FindRow(const TableT& table, const typename TableT::RowType& cells, int row,
            const std::vector<int>& taken) {
  const auto free = [&taken](int i) {
    return std::find(taken.begin(), taken.end(), i) == taken.end();
  };
  if constexpr (std::is_same_v<TableT, EntryTable>) {
    const int hit = FindEntry(table, cells, row);
    if (hit == 0 || free(hit)) return hit;
  } else if (row >= 1 && row <= table.Count() && SameCells(table.Row(row), cells) && free(row)) {
    return row;
  }
  for (int i = table.Count(); i >= 1; --i) {
    if (free(i) && SameCells(table.Row(i), cells)) return i;
  }
  return 0;
}

// Why the step cannot be made on the tables as they are now, or nothing.
std::optional<QString> Obstacle(const EntryTable& entries, const EntryChange&, bool insert,
                                const EntryRow& row, bool found) {
  if (!found) {
    return QStringLiteral(
               "Der %1 steht nicht mehr so in der Datei %2, wie ihn die Änderung hinterlassen "
               "hat; ein anderes Programm hat ihn geändert.")
        .arg(Named(row), QuotedFileName(DataFile::Entries));
  }
  if (insert && entries.Full()) {
    return QStringLiteral("Es können höchstens %1 Einträge gespeichert werden.")
        .arg(GermanCount(EntryTable::kCapacity));
  }
  return std::nullopt;
}

std::optional<QString> Obstacle(const Store& store, const PersonChange& change, bool insert,
                                const PersonRow& row, bool found) {
  const QString file = QuotedFileName(DataFile::Persons);
  if (insert) {
    for (const PersonRow& person : store.persons.rows) {
      if (person.Name() == row.Name()) {
        return QStringLiteral("Die %1 steht bereits in der Datei %2.").arg(Named(row), file);
      }
    }
    if (store.persons.Full()) {
      return QStringLiteral("Es können höchstens %1 Personen gespeichert werden.")
          .arg(GermanCount(PersonTable::kCapacity));
    }
    return std::nullopt;
  }
  if (!found) {
    return QStringLiteral("Die %1 steht nicht mehr in der Datei %2.").arg(Named(row), file);
  }
  if (!change.before) {
    for (const EntryRow& entry : store.entries.rows) {
      if (entry.Person() == row.Name()) {
        return QStringLiteral(
                   "Die %1 hat inzwischen Einträge und wird deshalb nicht entfernt. Bitte löschen "
                   "Sie zuerst ihre Einträge.")
            .arg(Named(row));
      }
    }
  }
  return std::nullopt;
}

// Makes one step of the record backwards (undo) or forwards on the tables; the reason when it
// cannot be made. `applied` gets the step as made now.
template <typename TableT>
std::optional<QString> Step(const Store& store, TableEdit<TableT>& edit,
                            const RowChange<typename TableT::RowType>& change, bool undo,
                            std::vector<int>& taken, ChangeRecord& applied) {
  using RowT = typename TableT::RowType;
  const std::optional<RowT>& from = undo ? change.after : change.before;
  const std::optional<RowT>& to = undo ? change.before : change.after;
  const TableT& table = edit.Table();
  const int at =
      from ? FindRow(table, *from, change.row, taken) : std::min(change.row, table.Count() + 1);
  std::optional<QString> obstacle;
  if constexpr (std::is_same_v<TableT, EntryTable>) {
    obstacle = Obstacle(table, change, !from, from ? *from : *to, at != 0);
  } else {
    obstacle = Obstacle(store, change, !from, from ? *from : *to, at != 0);
  }
  if (obstacle) return obstacle;
  if (from && to) {
    edit.Replace(at, *to);
    taken.push_back(at);
  } else if (from) {
    edit.Take(at);
  } else {
    edit.Insert(at, *to);
  }
  applied.push_back(RowChange<RowT>{at, from, to});
  return std::nullopt;
}

}  // namespace

void ChangeHistory::Record(const ChangeRecord& changed) {
  if (changed.empty()) return;
  done_.push_back(changed);
  undone_.clear();
}

ReverseOutcome ChangeHistory::Undo(Store& store) {
  return Reverse(store, true);
}

ReverseOutcome ChangeHistory::Redo(Store& store) {
  return Reverse(store, false);
}

ReverseOutcome ChangeHistory::Reverse(Store& store, bool undo) {
  std::vector<ChangeRecord>& source = undo ? done_ : undone_;
  std::vector<ChangeRecord>& target = undo ? undone_ : done_;
  ReverseOutcome out(ReverseResult::Nothing);
  if (source.empty()) return out;
  const ChangeRecord& record = source.back();
  const bool persons = std::any_of(record.begin(), record.end(), [](const auto& change) {
    return std::holds_alternative<PersonChange>(change);
  });
  // Whether a person still has entries is judged on the entries file as it is now, too.
  out.outside = persons ? RereadChangedFiles(store, {DataFile::Entries, DataFile::Persons})
                        : RereadChangedFiles(store, {DataFile::Entries});
  out.result = ReverseResult::Refused;
  const QString nothing = undo ? QStringLiteral(" Es wurde nichts rückgängig gemacht.")
                               : QStringLiteral(" Es wurde nichts wiederhergestellt.");

  store.KeepEntriesAsRead();
  TableEdit<EntryTable> entries(store.entries);
  TableEdit<PersonTable> people(store.persons);
  std::vector<int> takenEntries, takenPersons;
  ChangeRecord applied;
  QStringList said;
  const auto stepOne = [&](const auto& change) -> std::optional<QString> {
    using ChangeT = std::decay_t<decltype(change)>;
    const QString part = Said(change, undo);
    if (!said.contains(part)) said << part;
    if constexpr (std::is_same_v<ChangeT, EntryChange>) {
      return Step(store, entries, change, undo, takenEntries, applied);
    } else {
      return Step(store, people, change, undo, takenPersons, applied);
    }
  };
  const std::size_t n = record.size();
  for (std::size_t k = 0; k < n; ++k) {
    const auto& change = record[undo ? n - 1 - k : k];
    if (auto refused = std::visit(stepOne, change)) {
      entries.SetBack();
      people.SetBack();
      // The record can never apply again: it is dropped, and the one before it comes next.
      source.pop_back();
      out.messages << *refused + nothing;
      return out;
    }
  }

  std::optional<QString> failure;
  bool entriesWritten = false;
  if (entries.Touched()) {
    failure = store.WriteEntryFile();
    entriesWritten = !failure;
  }
  if (!failure && people.Touched()) failure = store.WritePersonFile();
  if (failure) {
    entries.SetBack();
    people.SetBack();
    out.messages << *failure;
    // The entries file goes back to what it held, so file and table agree again.
    if (entriesWritten) {
      if (auto again = store.WriteEntryFile()) out.messages << *again;
    }
    return out;
  }
  out.result = ReverseResult::Done;
  out.report =
      (undo ? QStringLiteral("Rückgängig gemacht: ") : QStringLiteral("Wiederhergestellt: ")) +
      said.join(QStringLiteral(", ")) + u'.';
  out.changed = std::move(applied);
  target.push_back(std::move(source.back()));
  source.pop_back();
  return out;
}
