// SPDX-License-Identifier: GPL-3.0-or-later
#include "store/data_files.h"

#include <cmath>
#include <iterator>
#include <system_error>
#include <thread>
#include <type_traits>

#include "store/record_reader.h"
#include "store/record_writer.h"
#include "store/second_core.h"

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

// Files from which reading the second half on a thread of its own pays for starting it and for
// moving its rows after those of the first half.
constexpr qsizetype kBytesWorthASecondThread = 1 << 20;

// The records of a large entries file from the first line that starts after its middle on, read
// on a second thread while the first half is read. They take the place of reading on only where
// they are exactly what reading on gives: as many records as the count leaves, read without a
// problem, with nothing but blanks after them.
struct SecondHalf {
  qsizetype from = -1;
  std::vector<EntryRow> rows;
  std::vector<qsizetype> starts;  // of each record, then the end of the last
  std::vector<bool> writtenForm;
  bool clean = false;

  void Read(const QByteArray& bytes, qint64 most) {
    try {
      RecordReader reader(bytes, from);
      const auto share =
          static_cast<double>(bytes.size() - from) / static_cast<double>(bytes.size());
      rows.reserve(static_cast<std::size_t>(static_cast<double>(most) * share) + kRowsOfRoom);
      while (!reader.AtEnd() && !reader.OnlyBlankLeft() &&
             static_cast<qint64>(rows.size()) < most) {
        starts.push_back(reader.Position());
        reader.ReadRecord(rows.emplace_back().fields);
        writtenForm.push_back(reader.LastRecordInWrittenForm());
        if (reader.Problem()) return;
      }
      starts.push_back(reader.Position());
      clean = reader.AtEnd() || reader.OnlyBlankLeft();
    } catch (...) {
      clean = false;  // out of memory: the first reader reads on
    }
  }
};

// Where the first line after the middle of the file starts, or -1.
qsizetype LineAfterMiddle(const QByteArray& bytes) {
  const qsizetype lineFeed = bytes.indexOf('\n', bytes.size() / 2);
  return lineFeed < 0 || lineFeed + 1 >= bytes.size() ? -1 : lineFeed + 1;
}

template <typename TableT>
std::optional<QString> ParseTable(const QByteArray& bytes, TableT& table,
                                  LoadedRecords* records = nullptr,
                                  Reading reading = Reading::FromStartToEnd) {
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

  // A large entries file is read in two halves at once.
  std::optional<SecondHalf> second;
  std::jthread secondReader;  // ends before `second`
  if constexpr (std::is_same_v<TableT, EntryTable>) {
    const qsizetype from = LineAfterMiddle(bytes);
    if (reading == Reading::InHalvesWhenLarge && expected > 0 && expected <= TableT::kCapacity &&
        bytes.size() >= kBytesWorthASecondThread && from > reader.Position() &&
        SecondCoreAvailable()) {
      second.emplace();
      second->from = from;
      try {
        secondReader = std::jthread([&second, &bytes, expected] { second->Read(bytes, expected); });
      } catch (const std::system_error&) {
        second.reset();  // no thread to be had: this one reads every record
      }
    }
  }
  bool tookSecondHalf = false;

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
    if constexpr (std::is_same_v<TableT, EntryTable>) {
      if (second && reader.Position() >= second->from) {
        secondReader.join();
        const auto left = static_cast<std::size_t>(expected - table.Count());
        if (reader.Position() == second->from && second->clean && second->rows.size() == left) {
          table.rows.insert(table.rows.end(), std::make_move_iterator(second->rows.begin()),
                            std::make_move_iterator(second->rows.end()));
          if (records) {
            records->starts.insert(records->starts.end(), second->starts.begin(),
                                   second->starts.end());
            records->writtenForm.insert(records->writtenForm.end(), second->writtenForm.begin(),
                                        second->writtenForm.end());
          }
          tookSecondHalf = true;
          break;
        }
        second.reset();  // the halves do not join: this reader reads on
      }
    }
    if (records) records->starts.push_back(reader.Position());
    reader.ReadRecord(table.rows.emplace_back().fields);
    if (records) records->writtenForm.push_back(reader.LastRecordInWrittenForm());
  }
  if (tookSecondHalf) {
    // The second half ended the file with nothing but blanks after it, and without a problem.
    if (!damage && reader.Problem()) damage = *reader.Problem();
    return damage;
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
                                       LoadedRecords* records, Reading reading) {
  if (records) *records = {};
  return ParseTable(bytes, table, records, reading);
}
