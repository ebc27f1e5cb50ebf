// SPDX-License-Identifier: GPL-3.0-or-later
#include "store/import_entries.h"

#include <QHash>
#include <QList>
#include <QLocale>
#include <set>
#include <unordered_map>
#include <utility>

#include "store/entry_index.h"

namespace {

QString Counted(int n, const char16_t* one, const char16_t* many) {
  return QStringLiteral("%1 %2").arg(QLocale(QLocale::German, QLocale::Germany).toString(n),
                                     QString::fromUtf16(n == 1 ? one : many));
}

QString Full(int capacity, const char16_t* what) {
  return QStringLiteral(
             "Es können höchstens %1 %2 gespeichert werden; mit dieser Einfuhr wären "
             "es mehr. Es wurde nichts eingeführt.")
      .arg(QLocale(QLocale::German, QLocale::Germany).toString(capacity), QString::fromUtf16(what));
}

// Numbers for texts: equal texts get equal numbers. The rows of a table, and those of an import,
// share the characters of each name, category and item, so a text met again at the same place
// is known without reading it.
class TextNumbers {
 public:
  int Of(const QString& text) {
    const auto [at, added] = byPlace_.try_emplace({text.constData(), text.size()}, 0);
    if (added) {
      auto known = byText_.constFind(text);
      if (known == byText_.cend()) known = byText_.insert(text, int(byText_.size()));
      at->second = *known;
    }
    return at->second;
  }

 private:
  struct Hash {
    std::size_t operator()(const std::pair<const QChar*, qsizetype>& at) const noexcept {
      return std::hash<const QChar*>()(at.first) ^ std::size_t(at.second);
    }
  };
  std::unordered_map<std::pair<const QChar*, qsizetype>, int, Hash> byPlace_;
  QHash<QString, int> byText_;
};

// The four cells an entry is matched by: its day and the numbers of its three texts.
struct EntryKey {
  qint64 day;
  int person, category, item;
  bool operator==(const EntryKey&) const = default;
};
struct EntryKeyHash {
  std::size_t operator()(const EntryKey& key) const noexcept {
    return std::size_t(qHashMulti(0, key.day, key.person, key.category, key.item));
  }
};

}  // namespace

QString ImportOutcome::Summary() const {
  QStringList learned;
  if (persons > 0) learned << Counted(persons, u"Person", u"Personen");
  if (items > 0) learned << Counted(items, u"Auswahl-Eintrag", u"Auswahl-Einträge");
  QString out = QStringLiteral("%1 neu, %2 geändert")
                    .arg(Counted(added, u"Eintrag", u"Einträge"))
                    .arg(QLocale(QLocale::German, QLocale::Germany).toString(updated));
  if (!learned.isEmpty())
    out += QStringLiteral(", ") + learned.join(QStringLiteral(" und ")) +
           QStringLiteral(" hinzugefügt");
  return out + u'.';
}

ImportOutcome ImportEntries(Store& store, const std::vector<ImportedEntry>& rows) {
  ImportOutcome out;
  PersonTable persons = store.persons;
  CategoryTable categories = store.categories;
  // The entries are changed in place once every row is known to fit; what changed is noted, to
  // be put back should a write fail. A copy of 50,000 rows would cost 13 MB.
  EntryTable& entries = store.entries;
  const int countBefore = entries.Count();

  // The entries by day, person, category and item, where all four can match an imported row (a
  // day, and texts; a number or an empty cell never equals the text of a row): the last row of
  // each, and before each row the one before it with the same four.
  TextNumbers numbers;
  // The persons and the category's items known, by the numbers of their texts.
  std::set<int> knownPersons;
  for (const PersonRow& row : persons.rows) {
    if (row.Name().IsText()) knownPersons.insert(numbers.Of(row.Name().Text()));
  }
  std::set<std::pair<int, int>> knownPairs;
  for (const CategoryRow& row : categories.rows) {
    if (row.Category().IsText() && row.Item().IsText())
      knownPairs.insert({numbers.Of(row.Category().Text()), numbers.Of(row.Item().Text())});
  }
  std::unordered_map<EntryKey, int, EntryKeyHash> lastRowOf;
  std::vector<int> sameBefore(static_cast<std::size_t>(entries.Count()) + rows.size() + 1, 0);
  lastRowOf.reserve(static_cast<std::size_t>(entries.Count()) + rows.size());
  for (int i = 1; i <= entries.Count(); ++i) {
    const EntryRow& row = entries.Row(i);
    if (row.Date().IsDate() && row.Person().IsText() && row.Category().IsText() &&
        row.Item().IsText()) {
      int& last = lastRowOf[{row.Date().Date().toJulianDay(), numbers.Of(row.Person().Text()),
                             numbers.Of(row.Category().Text()), numbers.Of(row.Item().Text())}];
      sameBefore[static_cast<std::size_t>(i)] = last;
      last = i;
    }
  }
  // First every row is placed, before anything changes: the first of the entries it updates,
  // or the number of the entry it adds.
  std::vector<int> target;
  target.reserve(rows.size());
  int next = countBefore;
  for (const ImportedEntry& in : rows) {
    const int person = numbers.Of(in.person), category = numbers.Of(in.category),
              item = numbers.Of(in.item);
    if (knownPersons.insert(person).second) {
      if (persons.Full()) return {false, {Full(PersonTable::kCapacity, u"Personen")}};
      PersonRow& row = persons.rows.emplace_back();
      row.Name() = Value(in.person);
      ++out.persons;
    }
    if (knownPairs.insert({category, item}).second) {
      if (categories.Full()) {
        return {false, {Full(CategoryTable::kCapacity, u"Kategorie-Items")}};
      }
      CategoryRow& row = categories.rows.emplace_back();
      row.Category() = Value(in.category);
      row.Item() = Value(in.item);
      ++out.items;
    }
    // The rows of that day, person, category and item: as a rule one or none, but a file edited
    // by hand may hold more, and all of them are updated, as a save updates them.
    const EntryKey key{in.day.toJulianDay(), person, category, item};
    int& last = lastRowOf[key];
    if (last != 0) {
      ++out.updated;
    } else {
      if (next >= EntryTable::kCapacity) return {false, {Full(EntryTable::kCapacity, u"Einträge")}};
      last = ++next;
      ++out.added;
    }
    target.push_back(last);
  }

  // Then the entries change: the value and description each updated entry had are kept.
  struct Former {
    int row;
    Value value, description;
  };
  std::vector<Former> former;
  std::vector<bool> kept(static_cast<std::size_t>(countBefore) + 1, false);
  entries.rows.reserve(static_cast<std::size_t>(next));
  for (std::size_t k = 0; k < rows.size(); ++k) {
    const ImportedEntry& in = rows[k];
    if (target[k] > entries.Count()) {
      EntryRow& row = entries.rows.emplace_back();
      row.Date() = Value(in.day);
      row.Person() = Value(in.person);
      row.Category() = Value(in.category);
      row.Item() = Value(in.item);
      row.Value() = Value(in.value);
      row.Description() = Value(in.description);
      row.fields[6] = Value(QString());
      row.fields[7] = Value(QString());
      continue;
    }
    for (int i = target[k]; i != 0; i = sameBefore[static_cast<std::size_t>(i)]) {
      EntryRow& row = entries.Row(i);
      if (i <= countBefore && !kept[static_cast<std::size_t>(i)]) {
        kept[static_cast<std::size_t>(i)] = true;
        former.push_back({i, row.Value(), row.Description()});
      }
      row.Value() = Value(in.value);
      row.Description() = Value(in.description);
    }
  }
  // Rows were added and changed past the index: it is made anew when next asked.
  entries.Changed();

  // Each file rewritten once. Should one fail, the tables are as they were, and the files
  // written before it are written back.
  PersonTable oldPersons = std::exchange(store.persons, std::move(persons));
  CategoryTable oldCategories = std::exchange(store.categories, std::move(categories));
  std::vector<DataFile> written;
  const auto write = [&](DataFile file, bool changed) -> std::optional<QString> {
    if (!changed) return std::nullopt;
    std::optional<QString> failure = file == DataFile::Persons      ? store.WritePersonFile()
                                     : file == DataFile::Categories ? store.WriteCategoryFile()
                                                                    : store.WriteEntryFile();
    if (!failure) written.push_back(file);
    return failure;
  };
  std::optional<QString> failure = write(DataFile::Persons, out.persons > 0);
  if (!failure) failure = write(DataFile::Categories, out.items > 0);
  if (!failure) failure = write(DataFile::Entries, out.added > 0 || out.updated > 0);
  if (!failure) {
    out.stored = true;
    return out;
  }
  store.persons = std::move(oldPersons);
  store.categories = std::move(oldCategories);
  entries.rows.resize(static_cast<std::size_t>(countBefore));
  for (Former& row : former) {
    entries.Row(row.row).Value() = std::move(row.value);
    entries.Row(row.row).Description() = std::move(row.description);
  }
  entries.Changed();
  out.messages << *failure << QStringLiteral("Es wurde nichts eingeführt.");
  for (DataFile file : written) {
    const std::optional<QString> back =
        file == DataFile::Persons ? store.WritePersonFile() : store.WriteCategoryFile();
    if (back) {
      out.messages << QStringLiteral("Die Datei %1 enthält aber schon die neuen %2.")
                          .arg(QuotedFileName(file), file == DataFile::Persons
                                                         ? QStringLiteral("Personen")
                                                         : QStringLiteral("Auswahl-Einträge"));
    }
  }
  return out;
}
