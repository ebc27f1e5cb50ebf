// SPDX-License-Identifier: GPL-3.0-or-later
#include "store/encoded_table.h"

#include <gtest/gtest.h>

#include <random>

#include "entries.h"
#include "store/data_files.h"
#include "store/load_report.h"
#include "store/record_writer.h"

namespace {

// What encoding every row gives: the bytes a rewrite must write.
std::optional<QByteArray> AllRowsEncoded(const std::vector<EntryRow>& rows) {
  RecordWriter writer;
  writer.WriteRecord({Value(static_cast<int>(rows.size()))});
  for (const EntryRow& row : rows) writer.WriteRecord(row.fields);
  return writer.Bytes();
}

void ExpectSameBytes(EncodedTable& encoded, const std::vector<EntryRow>& rows, int step) {
  const std::optional<QByteArrayView> bytes = encoded.Encode(rows);
  const std::optional<QByteArray> expected = AllRowsEncoded(rows);
  ASSERT_EQ(bytes.has_value(), expected.has_value()) << "step " << step;
  if (bytes) {
    ASSERT_TRUE(*bytes == *expected) << "step " << step;
  }
  // The copy the window takes once idle, before the next change.
  encoded.KeepRows(rows);
}

}  // namespace

// Changes of every kind, in random order, each followed by an encoding that must give exactly
// the bytes of encoding all rows: kept rows are reused only while they are certainly unchanged.
TEST(EncodedTable, GivesTheBytesOfAllRowsAfterEveryKindOfChange) {
  std::mt19937 rng(11);
  const QString persons[] = {QStringLiteral("Haushalt"), QStringLiteral("Jörg")};
  std::vector<EntryRow> rows;
  for (int i = 0; i < 95; ++i) {
    rows.push_back(MakeEntry(QDate(2024, 1, 1).addDays(i / 3), persons[i % 2],
                             QStringLiteral("Sport"), QStringLiteral("Item %1").arg(i), i * 0.25));
  }
  EncodedTable encoded;
  ExpectSameBytes(encoded, rows, -1);
  for (int step = 0; step < 3000; ++step) {
    const std::size_t at = rows.empty() ? 0 : rng() % rows.size();
    switch (rng() % 10) {
      case 0:  // a new value and description, as an update makes them
        if (!rows.empty()) {
          rows[at].Value() = Value(static_cast<int>(rng() % 1000) / 10.0);
          rows[at].Description() = Value(QStringLiteral("Neu € %1").arg(rng() % 100));
        }
        break;
      case 1:  // appended, as a save makes it
        rows.push_back(MakeEntry(QDate(2024, 6, 1), persons[0], QStringLiteral("Ausgaben"),
                                 QStringLiteral("Neu %1").arg(step), 1.5));
        break;
      case 2:  // deleted
        if (!rows.empty()) rows.erase(rows.begin() + static_cast<std::ptrdiff_t>(at));
        break;
      case 3:  // put in between
        rows.insert(rows.begin() + static_cast<std::ptrdiff_t>(at),
                    MakeEntry(QDate(2023, 12, 31), persons[1], QStringLiteral("Rezepte")));
        break;
      case 4:  // the same text again, made anew: other characters in memory, the same bytes
        if (!rows.empty()) rows[at].Item() = Value(QString(rows[at].Item().Text().data()));
        break;
      case 5:  // the same number of another sign, another kind, or a day
        if (!rows.empty()) {
          rows[at].Value() = Value(-0.0);
          rows[at].fields[6] = rng() % 2 ? Value() : Value(QStringLiteral("r"));
          rows[at].fields[7] = rng() % 2 ? Value(7) : Value(QDate(2024, 2, 29));
        }
        break;
      case 6:  // two rows change places
        if (rows.size() > 1) std::swap(rows[at], rows[rng() % rows.size()]);
        break;
      case 7: {  // a text the file cannot hold: refused, and nothing kept changes
        if (rows.empty()) break;
        const Value before = rows[at].Description();
        rows[at].Description() = Value(QStringLiteral("say \"hi\""));
        ASSERT_FALSE(encoded.Encode(rows)) << "step " << step;
        rows[at].Description() = before;
        break;
      }
      case 8: {  // a rewrite whose write failed: the change is taken back, the rows copied
        if (rows.empty()) break;
        const Value before = rows[at].Description();
        rows[at].Description() = Value(QStringLiteral("nicht gespeichert"));
        if (rng() % 2) encoded.Clear();  // every row encoded, as after reading the file again
        ASSERT_TRUE(encoded.Encode(rows)) << "step " << step;
        encoded.NotWritten();
        rows[at].Description() = before;
        encoded.KeepRows(rows);
        break;
      }
      default:  // many rows at once, the count crossing a power of ten now and then
        for (int k = static_cast<int>(rng() % 12); k > 0; --k) {
          rows.push_back(MakeEntry(QDate(2025, 1, 1), persons[1], QStringLiteral("Sport")));
        }
        break;
    }
    ExpectSameBytes(encoded, rows, step);
    if (step % 500 == 499) encoded.Clear();
    if (step % 100 == 42) {
      // The file read back, as loading reads it, with some records in forms the writer does not
      // write (a trailing or leading zero, a blank after a number): its bytes serve as the
      // encoding of the other rows only.
      QList<QByteArray> lines = AllRowsEncoded(rows)->split('\n');
      for (qsizetype k = 1; k + 1 < lines.size(); k += 1 + static_cast<qsizetype>(rng() % 7)) {
        QList<QByteArray> fields = lines[k].split(',');
        QByteArray& value = fields[4];
        if (value.contains('.')) {
          value += '0';
        } else if (value.size() > 0 && value[0] != '-' && value[0] != '#') {
          value.prepend('0');
        }
        if (k % 3 == 0 && !value.startsWith('#')) value += ' ';
        lines[k] = fields.join(',');
      }
      const QByteArray file = lines.join('\n');
      EntryTable read;
      LoadedRecords records;
      ASSERT_FALSE(ParseTableBytes(file, read, &records).Damaged()) << "step " << step;
      rows = read.rows;
      encoded.Adopt(file, rows, records);
      encoded.KeepRows(rows);  // as the window does once the rows are read
      ExpectSameBytes(encoded, rows, step);
    }
  }
}

// A table large enough to be encoded on two threads: the halves join to the bytes of one
// writer, a text the file cannot hold is found in either half, and the rows' places in the
// bytes serve the next change in either half.
TEST(EncodedTable, EncodesALargeTableInTwoHalvesAsInOne) {
  std::vector<EntryRow> rows;
  for (int i = 0; i < 9000; ++i) {
    rows.push_back(MakeEntry(QDate(2020, 1, 1).addDays(i / 7), QStringLiteral("Jörg"),
                             QStringLiteral("Sport"), QStringLiteral("Item %1").arg(i % 300),
                             i * 0.5));
    rows.back().Description() = Value(QStringLiteral("Notiz %1 €").arg(i));
  }
  EncodedTable encoded;
  for (const std::size_t at : {std::size_t{3}, std::size_t{8990}}) {
    const Value before = rows[at].Description();
    rows[at].Description() = Value(QStringLiteral("\"zitiert\""));
    ASSERT_FALSE(encoded.Encode(rows)) << "row " << at;
    rows[at].Description() = before;
  }
  ExpectSameBytes(encoded, rows, 0);
  rows[6000].Value() = Value(99.25);
  ExpectSameBytes(encoded, rows, 1);
  rows.erase(rows.begin() + 100);
  ExpectSameBytes(encoded, rows, 2);
  rows[8000].Item() = Value(QStringLiteral("Länger als zuvor"));
  ExpectSameBytes(encoded, rows, 3);
}
