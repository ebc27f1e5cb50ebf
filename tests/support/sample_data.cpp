// SPDX-License-Identifier: GPL-3.0-or-later
#include "sample_data.h"

#include <QDir>
#include <QFile>
#include <random>

#include "store/data_files.h"
#include "store/record_writer.h"

namespace {

const char16_t* const kCategories[7] = {u"Allgemein",   u"persönliches", u"Essen/Trinken", u"Sport",
                                        u"Aktivitäten", u"Rezepte",      u"Ausgaben"};
const char16_t* const kWords[] = {u"Müsli",   u"Straße",   u"Größe",  u"Käse",
                                  u"€ 12,50", u"Übung",    u"Joggen", u"Äpfel",
                                  u"Grüße",   u"Brötchen", u"Fußweg", u"Ölwechsel"};
constexpr int kEntriesPerDay = 14;
constexpr int kActivePersons = 3;
// Rounds of items per category that the entries go through (kEntriesPerDay items each).
constexpr int kItemRounds = 20;
static_assert(7 * kEntriesPerDay * kItemRounds <= CategoryTable::kCapacity);

QString Words(std::mt19937& rng, int count) {
  QString out;
  for (int i = 0; i < count; ++i) {
    if (i) out += (i % 4 == 0) ? QStringLiteral(", ") : QStringLiteral(" ");
    out += QString::fromUtf16(kWords[rng() % std::size(kWords)]);
  }
  return out;
}

template <typename TableT>
QByteArray FileBytes(const TableT& table) {
  RecordWriter writer;
  writer.WriteRecord({Value(table.Count())});
  for (const auto& row : table.rows) writer.WriteRecord(row.fields);
  return *writer.Bytes();
}

void Write(const QString& folder, DataFile file, const QByteArray& bytes) {
  QFile out(QDir(folder).filePath(FileName(file)));
  if (out.open(QIODevice::WriteOnly | QIODevice::Truncate)) out.write(bytes);
}

}  // namespace

SampleData MakeSampleData(std::uint32_t seed, int entryCount, QDate lastDay) {
  std::mt19937 rng(seed);
  SampleData data;
  data.persons.rows.push_back({{Value(QStringLiteral("Haushalt"))}});
  for (int i = 1; i < PersonTable::kCapacity; ++i) {
    data.persons.rows.push_back({{Value(QStringLiteral("Person %1 Müller, Jörg").arg(i))}});
  }
  for (int i = 0; i < CategoryTable::kCapacity; ++i) {
    const QString category = QString::fromUtf16(kCategories[i % 7]);
    data.categories.rows.push_back(
        {{Value(category), Value(QStringLiteral("Posten %1 – ").arg(i / 7) + Words(rng, 1))}});
  }
  const int days = (entryCount + kEntriesPerDay - 1) / kEntriesPerDay;
  const QDate firstDay = lastDay.addDays(1 - days);
  for (int k = 0; k < entryCount; ++k) {
    const int day = k / kEntriesPerDay;
    const int slot = k % kEntriesPerDay;
    // Two slots in a row share a person, so every person has several entries a day and some
    // tabs twice a day ("Allgemein" and "Ausgaben" for "Haushalt").
    const int category = slot % 7;
    const int person = 1 + (slot / 2) % kActivePersons;
    // Items are pairs of the category table, so saving them learns nothing. Slot numbers differ
    // within a day, so date, person, category and item never repeat; the items change with the
    // day, so a category collects many items over the years.
    const int pair = category + 7 * (slot + kEntriesPerDay * (day % kItemRounds));
    const double value = static_cast<int>(rng() % 15000) / 100.0;
    EntryRow row;
    row.fields = {Value(firstDay.addDays(day)),
                  data.persons.Row(person).Name(),
                  data.categories.rows[static_cast<std::size_t>(pair)].Category(),
                  data.categories.rows[static_cast<std::size_t>(pair)].Item(),
                  Value(value),
                  Value(Words(rng, 4 + static_cast<int>(rng() % 20))),
                  Value(QString()),
                  Value(QString())};
    data.entries.rows.push_back(std::move(row));
  }
  return data;
}

QByteArray PersonFileBytes(const PersonTable& table) {
  return FileBytes(table);
}
QByteArray CategoryFileBytes(const CategoryTable& table) {
  return FileBytes(table);
}
QByteArray EntryFileBytes(const EntryTable& table) {
  return FileBytes(table);
}

void WriteSampleFiles(const SampleData& data, const QString& folder) {
  Write(folder, DataFile::Persons, PersonFileBytes(data.persons));
  Write(folder, DataFile::Categories, CategoryFileBytes(data.categories));
  Write(folder, DataFile::Entries, EntryFileBytes(data.entries));
}
