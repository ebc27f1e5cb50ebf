// SPDX-License-Identifier: GPL-3.0-or-later
#include "store/data_files.h"

#include <cmath>

#include "store/record_reader.h"
#include "store/record_writer.h"

namespace {

const char16_t* const kDefaultPairs[][2] = {
    {u"persönliches", u"Gewicht"},
    {u"persönliches", u"wohlbefinden"},
    {u"Ausgaben", u"Einkauf"},
    {u"Ausgaben", u"Auto"},
    {u"Ausgaben", u"Tanken"},
    {u"Ausgaben", u"Zigaretten"},
    {u"Ausgaben", u"Feiern"},
    {u"Ausgaben", u"Handy"},
    {u"Sport", u"Joggen"},
    {u"Sport", u"Fußball"},
    {u"Sport", u"Move"},
    {u"Sport", u"Stepper"},
    {u"Sport", u"Walken"},
    {u"Sport", u"Fitness"},
    {u"Sport", u"Fahrrad"},
    {u"Essen/Trinken", u"Chips"},
    {u"Essen/Trinken", u"Schokolade"},
    {u"Essen/Trinken", u"Obst"},
    {u"Essen/Trinken", u"Pommes"},
    {u"Essen/Trinken", u"Burger"},
    {u"Essen/Trinken", u"Pasta"},
    {u"Essen/Trinken", u"Pizza"},
};

}  // namespace

QString QuotedName(const QString& name) {
  return QStringLiteral("„%1“").arg(name);
}

QString QuotedFileName(DataFile file) {
  return QuotedName(FileName(file));
}

QString FileName(DataFile file) {
  switch (file) {
    case DataFile::Persons:
      return QStringLiteral("lv_personen.txt");
    case DataFile::Categories:
      return QStringLiteral("lv_kategorien.txt");
    case DataFile::Entries:
      return QStringLiteral("lv_items.txt");
  }
  return {};
}

qint64 LargestFileBytes(DataFile file) {
  constexpr qint64 kMiB = 1024 * 1024;
  switch (file) {
    case DataFile::Persons:
      return 1 * kMiB;
    case DataFile::Categories:
      return 4 * kMiB;
    case DataFile::Entries:
      return 64 * kMiB;
  }
  return 0;
}

QByteArray DefaultFileBytes(DataFile file) {
  RecordWriter writer;
  switch (file) {
    case DataFile::Persons:
      writer.WriteRecord({Value(1)});
      writer.WriteRecord({Value(QStringLiteral("Haushalt"))});
      break;
    case DataFile::Categories:
      writer.WriteRecord({Value(static_cast<int>(std::size(kDefaultPairs)))});
      for (const auto& pair : kDefaultPairs) {
        writer.WriteRecord(
            {Value(QString::fromUtf16(pair[0])), Value(QString::fromUtf16(pair[1]))});
      }
      break;
    case DataFile::Entries:
      writer.WriteRecord({Value(0)});
      break;
  }
  return *writer.Bytes();
}

namespace {

template <typename TableT>
std::optional<QString> ParseTable(const QByteArray& bytes, TableT& table,
                                  LoadedRecords* records = nullptr) {
  RecordReader reader(bytes);
  std::optional<QString> damage;
  Value count;
  reader.ReadRecord(std::span<Value>(&count, 1));
  const double n = count.Number();
  const bool countValid =
      count.IsNumber() && n >= 0 && n < 1e15 && n == std::trunc(n) && !reader.Problem();
  if (!countValid) damage = QStringLiteral("die erste Zeile enthält keine gültige Anzahl");
  const qint64 expected = countValid ? static_cast<qint64>(n) : -1;

  table.rows.clear();
  // Room for the rows and a few hundred more: a large table does not move all its rows when the
  // first entry is added.
  table.rows.reserve(static_cast<std::size_t>(
      std::min<qint64>((expected >= 0 ? expected : 0) + kRowsOfRoom, TableT::kCapacity)));
  if (records) {
    records->starts.reserve(table.rows.capacity() + 1);
    records->writtenForm.reserve(table.rows.capacity());
  }
  while (expected < 0 || table.Count() < expected) {
    if (reader.AtEnd() || (expected < 0 && reader.OnlyBlankLeft())) {
      if (expected >= 0) {
        damage = QStringLiteral("sie enthält nur %1 von %2 Datensätzen")
                     .arg(table.Count())
                     .arg(expected);
      }
      break;
    }
    if (table.Full()) {
      damage = QStringLiteral("sie enthält mehr als die höchstens %1 möglichen Datensätze")
                   .arg(TableT::kCapacity);
      break;
    }
    if (records) records->starts.push_back(reader.Position());
    reader.ReadRecord(table.rows.emplace_back().fields);
    if (records) records->writtenForm.push_back(reader.LastRecordInWrittenForm());
  }
  if (records) records->starts.push_back(reader.Position());
  if (!damage && reader.Problem()) damage = *reader.Problem();
  if (!damage && !reader.OnlyBlankLeft()) {
    damage = QStringLiteral("nach dem letzten Datensatz folgen weitere Zeilen");
  }
  return damage;
}
}  // namespace

std::optional<QString> ParseTableBytes(const QByteArray& bytes, PersonTable& table) {
  return ParseTable(bytes, table);
}
std::optional<QString> ParseTableBytes(const QByteArray& bytes, CategoryTable& table) {
  return ParseTable(bytes, table);
}
std::optional<QString> ParseTableBytes(const QByteArray& bytes, EntryTable& table,
                                       LoadedRecords* records) {
  if (records) *records = {};
  return ParseTable(bytes, table, records);
}
