// SPDX-License-Identifier: GPL-3.0-or-later
#include "store/data_files.h"

#include <cmath>

#include "store/field_forms.h"
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

// The count a count line holds: a whole number from 0, written as a number or a text.
std::optional<qint64> CountOf(const Value& cell) {
  std::optional<double> n;
  if (cell.IsNumber()) n = cell.Number();
  if (cell.IsText()) n = NumberFromText(cell.Text());
  if (!n || *n < 0 || *n >= 1e15 || *n != std::trunc(*n)) return std::nullopt;
  return static_cast<qint64>(*n);
}

// The columns of fixed kind read as what they spell: the day of an entry as a Date, its value as
// a Number, whether the file quoted them or wrote the day in another usual form. A cell that
// spells nothing of its kind is left empty and reported. False when a cell was changed, so the
// record's bytes are not the program's own form.
bool ReadFixedColumns(EntryRow& row, int line, LoadReport& report) {
  bool same = true;
  Value& day = row.Date();
  if (!day.IsDate() && !day.IsEmpty()) {
    same = false;
    if (day.IsText() && day.Text().trimmed().isEmpty()) day = Value();
  }
  if (!day.IsDate() && !day.IsEmpty()) {
    const std::optional<DayText> read = day.IsText() ? DayFromText(day.Text()) : std::nullopt;
    if (read && !read->fileForm) report.UnusualDay(line, day.Text().trimmed());
    if (!read) report.Fault({ReadFault::Kind::Unreadable, line, 0});
    day = read ? Value(read->day) : Value();
  }
  Value& value = row.Value();
  if (!value.IsNumber() && !value.IsEmpty()) {
    same = false;
    if (value.IsText() && value.Text().trimmed().isEmpty()) {
      value = Value();
    } else {
      const std::optional<double> read =
          value.IsText() ? NumberFromText(value.Text()) : std::nullopt;
      if (!read) report.Fault({ReadFault::Kind::Unreadable, line, 4});
      value = read ? Value(*read) : Value();
    }
  }
  return same;
}

// The columns that hold texts: person, category, item, description and the two reserved fields
// of an entry, the name of a person, both columns of a category pair. An empty field there is
// the empty text, which the program writes as "": a file saved by a program that quotes nothing
// cannot tell the two apart, and a row read from it must match the row it was. False when a
// cell was changed.
template <typename RowT>
bool ReadTextColumns(RowT& row) {
  bool same = true;
  for (std::size_t k = 0; k < row.fields.size(); ++k) {
    if constexpr (std::is_same_v<RowT, EntryRow>) {
      if (k == 0 || k == 4) continue;
    }
    if (row.fields[k].IsEmpty()) {
      row.fields[k] = Value(QString());
      same = false;
    }
  }
  return same;
}

template <typename TableT>
LoadReport ParseTable(const QByteArray& bytes, TableT& table, LoadedRecords* records,
                      bool withCountLine) {
  RecordReader reader(bytes);
  LoadReport report;
  qint64 counted = -1;  // none
  if (withCountLine) {
    Value count;
    reader.ReadRecord(std::span<Value>(&count, 1));
    const std::optional<qint64> read = CountOf(count);
    if (read && reader.Faults().empty()) {
      counted = *read;
    } else {
      report.BadCount();
    }
  }
  std::size_t faultsTaken = reader.Faults().size();

  table.rows.clear();
  if (records) *records = {};
  // Room for the rows and a few hundred more: a large table does not move all its rows when the
  // first entry is added.
  table.rows.reserve(static_cast<std::size_t>(
      std::min<qint64>(std::max<qint64>(counted, 0) + kRowsOfRoom, TableT::kCapacity)));
  if (records) {
    records->starts.reserve(table.rows.capacity() + 1);
    records->writtenForm.reserve(table.rows.capacity());
  }
  // Every whole record is read, those after the counted ones as well: the count is redundant.
  while (!reader.OnlyBlankLeft()) {
    if (table.Full()) {
      report.OverCapacity(TableT::kCapacity);
      break;
    }
    if (records) records->starts.push_back(reader.Position());
    const int line = reader.Line();
    auto& row = table.rows.emplace_back();
    reader.ReadRecord(row.fields);
    bool writtenForm = reader.LastRecordInWrittenForm();
    for (; faultsTaken < reader.Faults().size(); ++faultsTaken) {
      report.Fault(reader.Faults()[faultsTaken]);
    }
    if constexpr (std::is_same_v<TableT, EntryTable>) {
      writtenForm = ReadFixedColumns(row, line, report) && writtenForm;
    }
    writtenForm = ReadTextColumns(row) && writtenForm;
    if (records) records->writtenForm.push_back(writtenForm);
  }
  if (records) records->starts.push_back(reader.Position());
  if (counted >= 0 && table.Count() < counted && !table.Full()) report.EndedEarly(counted);
  if (counted >= 0 && table.Count() > counted) report.MoreThanCounted(counted);
  report.Loaded(table.Count());
  return report;
}

// A file whose first line is not a count may have lost it, as when a spreadsheet user deletes a
// line that looks odd: read from its first line, it may hold nothing but whole records.
template <typename TableT>
LoadReport Parse(const QByteArray& bytes, TableT& table, LoadedRecords* records = nullptr) {
  LoadReport report = ParseTable(bytes, table, records, true);
  if (!report.CountMissing()) return report;
  TableT without;
  LoadedRecords withoutRecords;
  LoadReport withoutReport = ParseTable(bytes, without, records ? &withoutRecords : nullptr, false);
  if (withoutReport.Damaged() || without.Count() == 0) return report;
  table = std::move(without);
  if (records) *records = std::move(withoutRecords);
  withoutReport.NoCountLine();
  return withoutReport;
}
}  // namespace

LoadReport ParseTableBytes(const QByteArray& bytes, PersonTable& table) {
  return Parse(bytes, table);
}
LoadReport ParseTableBytes(const QByteArray& bytes, CategoryTable& table) {
  return Parse(bytes, table);
}
LoadReport ParseTableBytes(const QByteArray& bytes, EntryTable& table, LoadedRecords* records) {
  return Parse(bytes, table, records);
}
