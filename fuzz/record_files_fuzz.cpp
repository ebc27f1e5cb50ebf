// SPDX-License-Identifier: GPL-3.0-or-later
// Feeds arbitrary bytes to the record reader and the three table loaders. Whatever the bytes,
// loading must neither crash nor exceed a capacity, and a file that loads without damage must
// be written back to bytes that load to the very same table, without a word to the user. Both
// the file read and the file written are also split again by the simplest possible reading of
// the format, and every cell must be what Qt makes of its bytes: QStringDecoder for texts (UTF-8
// where the file is UTF-8, with what Windows-1252 cannot hold as "?"), toDouble for numbers,
// fromString for dates; the day and the value of an entry as what they spell, quoted or not.
#include <QDate>
#include <QRegularExpression>
#include <QStringDecoder>
#include <QStringEncoder>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "store/data_files.h"
#include "store/load_report.h"
#include "store/record_reader.h"
#include "store/record_writer.h"

namespace {

void Require(bool condition) {
  if (!condition) std::abort();
}

struct RawField {
  QByteArray bytes;  // between the quotes of a text; trimmed of blanks otherwise
  bool quoted = false;
  QByteArray whole;  // of a field without quotes: all between its separators, blanks included
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
      QByteArray whole = line.mid(at, comma < 0 ? -1 : comma - at);
      field.whole = whole;
      while (whole.startsWith(' ') || whole.startsWith('\t')) whole.remove(0, 1);
      while (whole.endsWith(' ') || whole.endsWith('\t')) whole.chop(1);
      if (whole.startsWith('"')) {
        const qsizetype open = line.indexOf('"', at);
        const qsizetype close = line.indexOf('"', open + 1);
        field = {line.mid(open + 1, close - open - 1), true};
        comma = line.indexOf(',', close);
        field.whole.clear();
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

// How a file's texts are decoded: UTF-8 after a byte order mark, or when the bytes are valid
// UTF-8 with a byte beyond ASCII; Windows-1252 otherwise.
struct Decoding {
  bool utf8 = false;
  qsizetype skip = 0;  // the byte order mark
};

Decoding DecodingOf(const QByteArray& bytes) {
  if (bytes.startsWith("\xEF\xBB\xBF")) return {true, 3};
  bool beyondAscii = false;
  for (const char c : bytes) beyondAscii = beyondAscii || static_cast<unsigned char>(c) >= 0x80;
  return {beyondAscii && QByteArrayView(bytes).isValidUtf8(), 0};
}

// The text as the table holds it: each character Windows-1252 cannot store, and each double
// quote, as "?".
QString TextOf(const RawField& raw, const Decoding& decoding) {
  QStringDecoder decoder(decoding.utf8 ? "UTF-8" : "windows-1252");
  const QString decoded = decoder.decode(raw.bytes);
  QString out;
  for (const char32_t c : decoded.toUcs4()) {
    const QString one = QString::fromUcs4(&c, 1);
    QStringEncoder encoder("windows-1252");
    (void)encoder.encode(one);
    out += c == U'"' || encoder.hasError() ? QStringLiteral("?") : one;
  }
  return out;
}

// Whether the bytes are a number in the form the files hold, and which; toDouble says which.
// A number too small for a double may be taken as a text or as its nearest double.
enum class Plain { No, Yes, Either };
Plain PlainNumber(const QByteArray& bytes, double& number) {
  static const QRegularExpression kForm(
      QStringLiteral("^-?([0-9]+(\\.[0-9]*)?|\\.[0-9]+)([eE][-+]?[0-9]+)?$"));
  if (!kForm.match(QString::fromLatin1(bytes)).hasMatch()) return Plain::No;
  bool ok = false;
  number = bytes.toDouble(&ok);
  if (!ok || !std::isfinite(number)) return Plain::No;
  return std::fabs(number) < 1e-300 ? Plain::Either : Plain::Yes;
}

// The day of "yyyy-M-d" or "#yyyy-M-d#", if it is one.
std::optional<QDate> IsoDay(const QString& text) {
  static const QRegularExpression kDay(
      QStringLiteral("^(#?)([0-9]{4}-[0-9]{1,2}-[0-9]{1,2})(#?)$"));
  const auto match = kDay.match(text);
  if (!match.hasMatch() || match.captured(1) != match.captured(3)) return std::nullopt;
  const QDate day = QDate::fromString(match.captured(2), u"yyyy-M-d");
  if (!day.isValid()) return std::nullopt;
  return day;
}

// What a column holds: texts (an unquoted number or day keeps its kind, an empty field is the
// empty text), or the day or the value of an entry.
enum class Column { Text, Day, Number };

void RequireSameCell(const Value& cell, const RawField& raw, const Decoding& decoding,
                     Column column) {
  // A text in quotes is what stands between them; without quotes, it keeps its blanks.
  const QString text = TextOf(raw.quoted ? raw : RawField{raw.whole, false, {}}, decoding);
  if (column == Column::Text) {
    if (raw.quoted || raw.bytes.isEmpty()) {
      Require(cell.IsText() && cell.Text() == text);
      return;
    }
    if (raw.bytes.startsWith('#') && raw.bytes.endsWith('#')) {
      if (const auto day = IsoDay(QString::fromLatin1(raw.bytes))) {
        Require(cell.IsDate() && cell.Date() == *day);
        return;
      }
    } else {
      double number = 0;
      const Plain plain = PlainNumber(raw.bytes, number);
      if (plain == Plain::Yes || (plain == Plain::Either && cell.IsNumber())) {
        Require(cell.IsNumber() && cell.Number() == number);
        return;
      }
    }
    Require(cell.IsText() && cell.Text() == text);
    return;
  }
  // The day and the value of an entry: what the field spells, blanks around it ignored.
  const QString spelled = text.trimmed();
  if (spelled.isEmpty()) {
    Require(cell.IsEmpty());
  } else if (column == Column::Day) {
    std::optional<QDate> day = IsoDay(spelled);
    if (!day) day = QDate::fromString(spelled, u"d.M.yyyy");
    Require(day->isValid() && cell.IsDate() && cell.Date() == *day);
  } else {
    QByteArray number = spelled.toLatin1();
    if (number.count(',') == 1 && !number.contains('.')) number.replace(',', '.');
    Require(cell.IsNumber() && cell.Number() == number.toDouble());
  }
}

// Every cell of the table against the bytes of its field in `bytes`; blank lines after the
// last record are allowed.
template <typename TableT>
void RequireCellsOf(const QByteArray& bytes, const TableT& table, bool countLine) {
  const Decoding decoding = DecodingOf(bytes);
  const auto lines = SplitFields(bytes.mid(decoding.skip));
  const std::size_t first = countLine ? 1 : 0;
  Require(lines.size() >= static_cast<std::size_t>(table.Count()) + first);
  if (countLine) Require(lines[0].size() == 1);
  for (int i = 1; i <= table.Count(); ++i) {
    const auto& fields = table.Row(i).fields;
    const std::vector<RawField>& raw = lines[first + static_cast<std::size_t>(i) - 1];
    Require(raw.size() == fields.size());
    for (std::size_t f = 0; f < fields.size(); ++f) {
      Column column = Column::Text;
      if constexpr (std::is_same_v<TableT, EntryTable>) {
        if (f == 0) column = Column::Day;
        if (f == 4) column = Column::Number;
      }
      RequireSameCell(fields[f], raw[f], decoding, column);
    }
  }
  for (std::size_t k = first + static_cast<std::size_t>(table.Count()); k < lines.size(); ++k) {
    Require(lines[k].size() == 1 && lines[k][0].bytes.isEmpty() && !lines[k][0].quoted);
  }
}

template <typename TableT>
void CheckTable(const QByteArray& bytes, DataFile file) {
  TableT table;
  const LoadReport report = ParseTableBytes(bytes, table);
  Require(table.Count() <= TableT::kCapacity);
  if (report.Damaged()) return;
  RequireCellsOf(bytes, table, report.FirstLineIsCount());

  RecordWriter writer;
  writer.WriteRecord({Value(table.Count())});
  for (const auto& row : table.rows) writer.WriteRecord(row.fields);
  const std::optional<QByteArray> rewritten = writer.Bytes();
  Require(rewritten.has_value());
  // Windows-1252 bytes that are valid UTF-8 as well (every byte beyond ASCII in a sequence, "ß"
  // followed by "“", say) are read as UTF-8: a file holding only such texts does not read back as
  // written. The load then names the characters it cannot store and keeps the file as it was.
  if (DecodingOf(*rewritten).utf8) return;
  RequireCellsOf(*rewritten, table, true);

  TableT again;
  const LoadReport reread = ParseTableBytes(*rewritten, again);
  Require(!reread.Damaged() && !reread.Message(file, QString()));
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
  CheckTable<PersonTable>(bytes, DataFile::Persons);
  CheckTable<CategoryTable>(bytes, DataFile::Categories);
  CheckTable<EntryTable>(bytes, DataFile::Entries);

  RecordReader reader(bytes);
  for (int i = 0; i < 100000 && !reader.AtEnd(); ++i) (void)reader.ReadField();
  Require(reader.AtEnd());
  return 0;
}
