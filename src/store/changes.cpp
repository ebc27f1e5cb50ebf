// SPDX-License-Identifier: GPL-3.0-or-later
#include "store/changes.h"

#include <algorithm>
#include <utility>
#include <variant>
#include <vector>

#include "format/number_format.h"
#include "store/cell_text.h"
#include "store/cp1252.h"
#include "store/entry_index.h"
#include "store/record_writer.h"

namespace {

const QString kNoNumber = QStringLiteral("Wert - keine Zahl");
const QString kNoPerson = QStringLiteral("keine Personen-Zuordnung");

QString GermanCount(int n) {
  return QLocale(QLocale::German, QLocale::Germany).toString(n);
}

bool IsLineBreak(QChar c) {
  return c == u'\r' || c == u'\n' || c == QChar::LineSeparator || c == QChar::ParagraphSeparator ||
         c == QChar(0x85);
}

// The character as the user can recognise it; a double quote needs no code point.
QString CharacterShown(const QString& text, QChar bad) {
  if (bad == u'"') return QStringLiteral("„\"“");
  const qsizetype at = text.indexOf(bad);
  char32_t code = bad.unicode();
  if (bad.isHighSurrogate() && at >= 0 && at + 1 < text.size() && text[at + 1].isLowSurrogate())
    code = QChar::surrogateToUcs4(bad, text[at + 1]);
  return ::CharacterShown(code);
}

SaveOutcome Refusal(QString message, bool learned = false, OutsideChanges outside = {}) {
  SaveOutcome out(SaveResult::Refused);
  out.learned = learned;
  out.messages << std::move(message);
  out.outside = std::move(outside);
  return out;
}

bool KnowsPair(const CategoryTable& categories, const Value& category, const Value& item) {
  for (const CategoryRow& row : categories.rows) {
    if (row.Category() == category && row.Item() == item) return true;
  }
  return false;
}

// The entries of that day, person, category and item: as a rule one row or none, but a file
// edited by hand may hold more, and all of them are updated.
std::vector<int> MatchingEntries(const EntryTable& entries, const Value& day, const Value& person,
                                 const Value& category, const Value& item) {
  std::vector<int> matches;
  for (int i : entries.Index().PersonRowsOn(person, day)) {
    const EntryRow& row = entries.Row(i);
    if (row.Date() == day && row.Person() == person && row.Category() == category &&
        row.Item() == item) {
      matches.push_back(i);
    }
  }
  return matches;
}

bool KnowsPerson(const PersonTable& persons, const Value& person) {
  for (const PersonRow& row : persons.rows) {
    if (row.Name() == person) return true;
  }
  return false;
}

std::optional<QString> AppendPerson(Store& store, const Value& name) {
  PersonRow added;
  added.Name() = name;
  store.persons.rows.push_back(std::move(added));
  if (auto failure = store.WritePersonFile()) {
    store.persons.rows.pop_back();
    return failure;
  }
  return std::nullopt;
}

std::optional<QString> LearnPair(Store& store, const Value& category, const Value& item) {
  CategoryRow pair;
  pair.Category() = category;
  pair.Item() = item;
  store.categories.rows.push_back(std::move(pair));
  if (auto failure = store.WriteCategoryFile()) {
    store.categories.rows.pop_back();
    return failure;
  }
  return std::nullopt;
}

std::optional<QString> AppendEntry(Store& store, const EntryInput& in, double number) {
  EntryRow row;
  row.Date() = in.day;
  row.Person() = in.person;
  row.Category() = Value(in.category);
  row.Item() = in.item;
  row.Value() = Value(number);
  row.Description() = Value(in.description);
  row.fields[6] = Value(QString());
  row.fields[7] = Value(QString());
  store.KeepEntriesAsRead();
  store.entries.Append(std::move(row));
  if (auto failure = store.WriteEntryFile()) {
    store.entries.RemoveAt(store.entries.Count());
    return failure;
  }
  return std::nullopt;
}

std::optional<QString> UpdateEntries(Store& store, const std::vector<int>& matches, double number,
                                     const QString& description) {
  std::vector<std::pair<Value, Value>> before;
  before.reserve(matches.size());
  store.KeepEntriesAsRead();
  for (int i : matches) {
    EntryRow& row = store.entries.Row(i);
    before.emplace_back(std::exchange(row.Value(), Value(number)),
                        std::exchange(row.Description(), Value(description)));
  }
  if (auto failure = store.WriteEntryFile()) {
    for (std::size_t k = 0; k < matches.size(); ++k) {
      EntryRow& row = store.entries.Row(matches[k]);
      row.Value() = std::move(before[k].first);
      row.Description() = std::move(before[k].second);
    }
    return failure;
  }
  return std::nullopt;
}

// An item or person box left empty; a chosen Number 0 is no empty box.
bool IsBlank(const Value& cell) {
  return cell.IsEmpty() || (cell.IsText() && cell.Text().isEmpty());
}

}  // namespace

OutsideChanges RereadChangedFiles(Store& store, std::initializer_list<DataFile> files) {
  OutsideChanges out;
  QStringList names, problems;
  for (DataFile file : files) {
    const Store::Reread reread = store.RereadIfChangedOutside(file);
    if (reread.changed) {
      names << QuotedFileName(file);
      (file == DataFile::Entries      ? out.entries
       : file == DataFile::Categories ? out.categories
                                      : out.persons) = true;
    }
    if (reread.problem) problems << *reread.problem;
  }
  if (names.size() == 1) {
    out.messages << QStringLiteral(
                        "Die Datei %1 wurde außerhalb von Lumivera geändert und neu eingelesen.")
                        .arg(names.first());
  } else if (names.size() > 1) {
    out.messages << QStringLiteral(
                        "Die Dateien %1 und %2 wurden außerhalb von Lumivera geändert und neu "
                        "eingelesen.")
                        .arg(names.mid(0, names.size() - 1).join(QStringLiteral(", ")),
                             names.last());
  }
  out.messages << problems;
  return out;
}

std::optional<QString> UnstorableText(const QString& field, const QString& text) {
  const std::optional<QChar> bad = FirstCharFileCannotHold(text);
  if (!bad) return std::nullopt;
  if (IsLineBreak(*bad)) {
    return QStringLiteral(
               "Im Feld „%1“ steht ein Zeilenumbruch, den die Datei nicht speichern kann. Bitte "
               "entfernen Sie ihn.")
        .arg(field);
  }
  return QStringLiteral(
             "Im Feld „%1“ steht das Zeichen %2, das die Datei nicht speichern kann. Bitte "
             "entfernen Sie es.")
      .arg(field, CharacterShown(text, *bad));
}

SaveOutcome StoreEntry(Store& store, const EntryInput& in, const QLocale& locale) {
  if (IsBlank(in.item) || (in.item.IsText() && in.item.Text().startsWith(kComboStartText)))
    return SaveOutcome(SaveResult::Ignored);

  // A Number or Date chosen from a box has no text and is always storable.
  const std::pair<const char16_t*, const QString*> texts[] = {{u"Auswahl", &in.item.Text()},
                                                              {u"Person", &in.person.Text()},
                                                              {u"Beschreibung", &in.description}};
  for (const auto& [field, text] : texts) {
    if (auto refused = UnstorableText(QString::fromUtf16(field), *text)) return Refusal(*refused);
  }

  // The change is made on what the files hold now.
  OutsideChanges outside =
      RereadChangedFiles(store, {DataFile::Persons, DataFile::Categories, DataFile::Entries});
  const auto refuse = [&outside](QString message, bool learnedPair = false) {
    return Refusal(std::move(message), learnedPair, std::move(outside));
  };

  const Value category(in.category);
  const Value& item = in.item;
  const Value& person = in.person;
  const bool known = KnowsPair(store.categories, category, item);
  if (!known && store.categories.Full()) {
    return refuse(
        QStringLiteral("Es können höchstens %1 Kategorie-Items gespeichert werden. Der Eintrag "
                       "wurde nicht gespeichert; bitte wählen Sie ein vorhandenes Item.")
            .arg(GermanCount(CategoryTable::kCapacity)));
  }
  const std::optional<double> number = ParseUserNumber(in.valueText, locale);
  const std::vector<int> matches = MatchingEntries(store.entries, in.day, person, category, item);
  // Refused before anything is learned, so a full table leaves both files as they are.
  if (number && !IsBlank(person) && matches.empty() && store.entries.Full()) {
    return refuse(
        QStringLiteral("Es können höchstens %1 Einträge gespeichert werden. Der Eintrag wurde "
                       "nicht gespeichert; bitte löschen Sie zuerst nicht mehr benötigte Einträge.")
            .arg(GermanCount(EntryTable::kCapacity)));
  }

  const bool newPerson = number && !IsBlank(person) && !KnowsPerson(store.persons, person);
  if (newPerson && store.persons.Full()) {
    return refuse(QStringLiteral("Es können höchstens %1 Personen gespeichert werden. „%2“ wurde "
                                 "nicht hinzugefügt und der Eintrag nicht gespeichert.")
                      .arg(GermanCount(PersonTable::kCapacity), CellText(person)));
  }

  bool learned = false;
  if (!known) {
    if (auto failure = LearnPair(store, category, item)) return refuse(*failure);
    learned = true;
  }
  if (!number) return refuse(kNoNumber, learned);
  if (IsBlank(person)) return refuse(kNoPerson, learned);

  // The person first, so an entry is never stored for a person the persons file lacks.
  if (newPerson) {
    if (auto failure = AppendPerson(store, person)) return refuse(*failure, learned);
  }
  const bool append = matches.empty();
  ChangeRecord changed;
  for (int i : matches) changed.push_back(EntryChange{i, store.entries.Row(i), std::nullopt});
  const std::optional<QString> failure =
      append ? AppendEntry(store, in, *number)
             : UpdateEntries(store, matches, *number, in.description);
  if (failure) {
    // Nothing of the entry is stored: the person added for it goes again.
    if (newPerson) {
      store.persons.rows.pop_back();
      (void)store.WritePersonFile();
    }
    return refuse(*failure, learned);
  }
  if (append) changed.push_back(EntryChange{store.entries.Count(), std::nullopt, std::nullopt});
  for (auto& change : changed) {
    EntryChange& entry = std::get<EntryChange>(change);
    entry.after = store.entries.Row(entry.row);
  }
  // The person added for the entry goes first: an undo takes the entry away, then the person.
  if (newPerson) {
    changed.insert(changed.begin(), PersonChange{store.persons.Count(), std::nullopt,
                                                 store.persons.Row(store.persons.Count())});
  }
  SaveOutcome out(append ? SaveResult::Saved : SaveResult::Updated);
  out.learned = learned;
  out.addedPerson = newPerson;
  out.outside = std::move(outside);
  out.changed = std::move(changed);
  return out;
}

int FindEntry(const EntryTable& entries, const EntryRow& entry, int row) {
  if (row >= 1 && row <= entries.Count() && SameCells(entries.Row(row), entry)) return row;
  // The rows holding the same cells are among those of its person that may be of its day.
  const std::vector<int> candidates = entries.Index().PersonRowsOn(entry.Person(), entry.Date());
  for (auto i = candidates.rbegin(); i != candidates.rend(); ++i) {
    if (SameCells(entries.Row(*i), entry)) return *i;
  }
  return 0;
}

RemoveOutcome RemoveEntry(Store& store, EntryRow entry, int row) {
  RemoveOutcome out(RemoveResult::Removed);
  out.outside = RereadChangedFiles(store, {DataFile::Entries});
  const int hit = FindEntry(store.entries, entry, row);
  if (hit == 0) {
    out.result = RemoveResult::Gone;
    out.messages << QStringLiteral(
                        "Der Eintrag steht nicht mehr in der Datei %1. Es wurde nichts gelöscht.")
                        .arg(QuotedFileName(DataFile::Entries));
    return out;
  }
  store.KeepEntriesAsRead();
  EntryRow removed = store.entries.RemoveAt(hit);
  if (auto failure = store.WriteEntryFile()) {
    // Put back where it stood; the index sees the rows changed and is made anew when asked.
    std::vector<EntryRow>& rows = store.entries.rows;
    rows.insert(rows.begin() + (hit - 1), std::move(removed));
    out.result = RemoveResult::Refused;
    out.messages << *failure;
    return out;
  }
  out.changed.push_back(EntryChange{hit, std::move(removed), std::nullopt});
  return out;
}

AddPersonOutcome StorePerson(Store& store, const Value& name) {
  AddPersonOutcome out(AddPersonResult::Ignored);
  if (IsBlank(name)) return out;
  out.result = AddPersonResult::Refused;
  if (auto refused = UnstorableText(QStringLiteral("Person"), name.Text())) {
    out.messages << *refused;
    return out;
  }
  if (auto failure = store.EnsureDataFile(DataFile::Persons)) {
    out.messages << *failure;
    return out;
  }
  PersonTable before = store.persons;
  if (auto problem = store.ReadPersonFile()) {
    out.messages << *problem;
    if (store.WasUnreadable(DataFile::Persons)) {
      store.persons = std::move(before);
      return out;
    }
  }

  if (KnowsPerson(store.persons, name)) {
    out.result = AddPersonResult::Known;
    return out;
  }
  if (store.persons.Full()) {
    out.messages
        << QStringLiteral(
               "Es können höchstens %1 Personen gespeichert werden. „%2“ wurde nicht hinzugefügt.")
               .arg(GermanCount(PersonTable::kCapacity), CellText(name));
    return out;
  }
  if (auto failure = AppendPerson(store, name)) {
    out.messages << *failure;
    return out;
  }
  out.result = AddPersonResult::Added;
  out.changed.push_back(
      PersonChange{store.persons.Count(), std::nullopt, store.persons.rows.back()});
  return out;
}
