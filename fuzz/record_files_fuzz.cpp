// SPDX-License-Identifier: GPL-3.0-or-later
// Feeds arbitrary bytes to the record reader and the three table loaders. Whatever the bytes,
// loading must neither crash nor exceed a capacity, and a file that loads without damage must
// be written back to bytes that load to the very same table. Both the file read and the file
// written are also split again by the simplest possible reading of the format, and every cell
// must be what Qt makes of its bytes: QStringDecoder for texts, toDouble for numbers, fromString
// for dates.
#include <QDate>
#include <QStringDecoder>
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "store/data_files.h"
#include "store/record_reader.h"
#include "store/record_writer.h"

namespace {

void Require(bool condition) {
  if (!condition) std::abort();
}

struct RawField {
  QByteArray bytes;  // between the quotes of a text; trimmed of blanks otherwise
  bool quoted = false;
};

// The fields of a file that loads without damage, line by line: a line ends at CR LF, CR or LF;
// a field ends at a comma; a text runs from its quote to the next quote, and whatever follows it
// up to the comma is ignored.
std::vector<std::vector<RawField>> SplitFields(const QByteArray& bytes) {
  std::vector<std::vector<RawField>> lines;
  for (qsizetype i = 0; i < bytes.size();) {
    qsizetype end = i;
    while (end < bytes.size() && bytes[end] != '\r' && bytes[end] != '\n') ++end;
    const QByteArray line = bytes.mid(i, end - i);
    i = end + (bytes.mid(end, 2) == "\r\n" ? 2 : 1);
    std::vector<RawField>& fields = lines.emplace_back();
    for (qsizetype at = 0;;) {
      RawField field;
      qsizetype comma = line.indexOf(',', at);
      const QByteArray whole = line.mid(at, comma < 0 ? -1 : comma - at).trimmed();
      if (whole.startsWith('"')) {
        const qsizetype open = line.indexOf('"', at);
        const qsizetype close = line.indexOf('"', open + 1);
        field = {line.mid(open + 1, close - open - 1), true};
        comma = line.indexOf(',', close);
      } else {
        field.bytes = whole;
      }
      fields.push_back(field);
      if (comma < 0) break;
      at = comma + 1;
    }
  }
  return lines;
}

void RequireSameCell(const Value& cell, const RawField& raw, const QString& dateForm) {
  if (raw.quoted) {
    Require(cell.IsText() && cell.Text() == QStringDecoder("windows-1252").decode(raw.bytes));
  } else if (raw.bytes.isEmpty()) {
    Require(cell.IsEmpty());
  } else if (raw.bytes.startsWith('#')) {
    Require(raw.bytes.size() >= 2 && raw.bytes.endsWith('#') && cell.IsDate());
    const QByteArray inner = raw.bytes.mid(1, raw.bytes.size() - 2);
    Require(cell.Date() == QDate::fromString(QString::fromLatin1(inner), dateForm));
  } else {
    bool ok = false;
    const double number = raw.bytes.toDouble(&ok);
    Require(ok && cell.IsNumber() && cell.Number() == number);
  }
}

// Every cell of the table against the bytes of its field in `bytes`; blank lines after the
// last record are allowed.
template <typename TableT>
void RequireCellsOf(const QByteArray& bytes, const TableT& table, const QString& dateForm) {
  const auto lines = SplitFields(bytes);
  Require(lines.size() >= static_cast<std::size_t>(table.Count()) + 1 && lines[0].size() == 1);
  RequireSameCell(Value(table.Count()), lines[0][0], dateForm);
  for (int i = 1; i <= table.Count(); ++i) {
    const auto& fields = table.Row(i).fields;
    const std::vector<RawField>& raw = lines[static_cast<std::size_t>(i)];
    Require(raw.size() == fields.size());
    for (std::size_t f = 0; f < fields.size(); ++f) RequireSameCell(fields[f], raw[f], dateForm);
  }
}

template <typename TableT>
void CheckTable(const QByteArray& bytes) {
  TableT table;
  const auto damage = ParseTableBytes(bytes, table);
  Require(table.Count() <= TableT::kCapacity);
  if (damage) return;
  // Files read may have one-digit months and days; files written never do.
  RequireCellsOf(bytes, table, QStringLiteral("yyyy-M-d"));

  RecordWriter writer;
  writer.WriteRecord({Value(table.Count())});
  for (const auto& row : table.rows) writer.WriteRecord(row.fields);
  const std::optional<QByteArray> rewritten = writer.Bytes();
  Require(rewritten.has_value());
  RequireCellsOf(*rewritten, table, QStringLiteral("yyyy-MM-dd"));

  TableT again;
  Require(!ParseTableBytes(*rewritten, again));
  Require(again.Count() == table.Count());
  for (int i = 1; i <= table.Count(); ++i) {
    for (std::size_t f = 0; f < table.Row(i).fields.size(); ++f) {
      const Value& a = table.Row(i).fields[f];
      const Value& b = again.Row(i).fields[f];
      Require(a.Kind() == b.Kind() && a == b);
    }
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const QByteArray bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
  CheckTable<PersonTable>(bytes);
  CheckTable<CategoryTable>(bytes);
  CheckTable<EntryTable>(bytes);

  RecordReader reader(bytes);
  for (int i = 0; i < 100000 && !reader.AtEnd(); ++i) (void)reader.ReadField();
  Require(reader.AtEnd());
  return 0;
}
