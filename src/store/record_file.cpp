#include "store/record_file.h"

#include <charconv>
#include <cmath>

#include "store/atomic_file.h"
#include "store/cp1252.h"

QString FileNumber(double number) {
  if (number == 0) return QStringLiteral("0");  // also for -0
  char buf[400];
  const auto result = std::to_chars(buf, buf + sizeof buf, number, std::chars_format::fixed);
  return QString::fromLatin1(buf, result.ptr - buf);
}

std::optional<QChar> FirstCharFileCannotHold(const QString& text) {
  for (QChar c : text) {
    if (c == u'"' || c == u'\r' || c == u'\n') return c;
  }
  return FirstCharOutsideCp1252(text);
}

void RecordWriter::WriteRecord(std::span<const Value> fields) {
  bool first = true;
  for (const Value& field : fields) {
    if (!first) content_ += u',';
    first = false;
    switch (field.kind()) {
      case Value::Kind::Empty:
        break;
      case Value::Kind::Number:
        if (!std::isfinite(field.number())) unstorable_ = true;
        content_ += FileNumber(field.number());
        break;
      case Value::Kind::Text:
        if (field.text().contains(u'"') || field.text().contains(u'\r') ||
            field.text().contains(u'\n')) {
          unstorable_ = true;
        }
        content_ += u'"' + field.text() + u'"';
        break;
      case Value::Kind::Date: {
        const QDate d = field.date();
        content_ += QString::asprintf("#%04d-%02d-%02d#", d.year(), d.month(), d.day());
        break;
      }
    }
  }
  content_ += QStringLiteral("\r\n");
}

std::optional<QByteArray> RecordWriter::Bytes() const {
  if (unstorable_) return std::nullopt;
  return EncodeCp1252(content_);
}

std::optional<QString> RecordWriter::Close(const QString& path) const {
  const std::optional<QByteArray> bytes = Bytes();
  if (!bytes) {
    return QStringLiteral("Ein Text enthält ein Zeichen, das die Datei nicht aufnehmen kann.");
  }
  return WriteFileAtomically(path, *bytes);
}

RecordReader::RecordReader(QString content) : content_(std::move(content)) {}

RecordReader RecordReader::FromBytes(const QByteArray& bytes) {
  return RecordReader(DecodeCp1252(bytes));
}

bool RecordReader::AtEnd() const {
  return pos_ >= content_.size();
}

bool RecordReader::OnlyBlankLeft() const {
  for (qsizetype i = pos_; i < content_.size(); ++i) {
    const QChar c = content_[i];
    if (c != u' ' && c != u'\t' && c != u'\r' && c != u'\n') return false;
  }
  return true;
}

void RecordReader::NoteProblem(const QString& what, int line) {
  if (!problem_) problem_ = QStringLiteral("Zeile %1: %2").arg(line > 0 ? line : line_).arg(what);
}

void RecordReader::SkipBlanks() {
  while (pos_ < content_.size() && (content_[pos_] == u' ' || content_[pos_] == u'\t')) ++pos_;
}

// Consumes the comma or the line end after a field; a line end is CR LF, or a lone CR or LF.
void RecordReader::ConsumeSeparator() {
  if (pos_ >= content_.size()) {
    lineEnded_ = true;
    return;
  }
  const QChar c = content_[pos_];
  if (c == u',') {
    ++pos_;
    lineEnded_ = false;
    return;
  }
  ++pos_;
  if (c == u'\r' && pos_ < content_.size() && content_[pos_] == u'\n') ++pos_;
  ++line_;
  lineEnded_ = true;
}

void RecordReader::SkipRestOfLine() {
  while (pos_ < content_.size() && content_[pos_] != u'\r' && content_[pos_] != u'\n') ++pos_;
  ConsumeSeparator();
}

namespace {
bool IsFieldEnd(QChar c) {
  return c == u',' || c == u'\r' || c == u'\n';
}

std::optional<QDate> ParseDate(QStringView s) {
  // yyyy-MM-dd, with one or two digits allowed for month and day
  const auto parts = s.split(u'-');
  if (parts.size() != 3) return std::nullopt;
  bool okY = false, okM = false, okD = false;
  const int y = parts[0].toInt(&okY), m = parts[1].toInt(&okM), d = parts[2].toInt(&okD);
  if (!okY || !okM || !okD || parts[0].size() != 4) return std::nullopt;
  const QDate date(y, m, d);
  if (!date.isValid()) return std::nullopt;
  return date;
}

std::optional<double> ParseFileNumber(QStringView s) {
  QByteArray latin = s.toLatin1();
  const char* first = latin.constData();
  const char* last = first + latin.size();
  if (first != last && *first == '+') return std::nullopt;
  double value = 0;
  const auto result = std::from_chars(first, last, value, std::chars_format::general);
  if (result.ec != std::errc() || result.ptr != last || !std::isfinite(value)) return std::nullopt;
  if (s.contains(u'n') || s.contains(u'N') || s.contains(u'i') || s.contains(u'I')) {
    return std::nullopt;  // "nan" / "inf" spellings are no numbers of this format
  }
  return value;
}
}  // namespace

Value RecordReader::ReadUnquoted() {
  const qsizetype start = pos_;
  while (pos_ < content_.size() && !IsFieldEnd(content_[pos_])) ++pos_;
  QStringView token = QStringView(content_).mid(start, pos_ - start);
  while (!token.isEmpty() && (token.back() == u' ' || token.back() == u'\t')) token.chop(1);
  if (token.isEmpty()) return Value();
  if (token.front() == u'#') {
    if (token.size() >= 2 && token.back() == u'#') {
      if (auto date = ParseDate(token.mid(1, token.size() - 2))) return Value(*date);
    }
    NoteProblem(QStringLiteral("ungültiges Datum %1").arg(token.toString()));
    return Value();
  }
  if (auto number = ParseFileNumber(token)) return Value(*number);
  NoteProblem(QStringLiteral("ungültiges Feld %1").arg(token.left(40).toString()));
  return Value();
}

Value RecordReader::ReadField() {
  SkipBlanks();
  if (AtEnd()) {
    lineEnded_ = true;
    return Value();
  }
  Value field;
  if (content_[pos_] == u'"') {
    const qsizetype start = pos_ + 1;
    qsizetype close = start;
    while (close < content_.size() && content_[close] != u'"' && content_[close] != u'\r' &&
           content_[close] != u'\n') {
      ++close;
    }
    if (close >= content_.size() || content_[close] != u'"') {
      NoteProblem(QStringLiteral("ein Text ohne schließendes Anführungszeichen"));
      pos_ = close;
    } else {
      field = Value(content_.mid(start, close - start));
      pos_ = close + 1;
      // Anything between the closing quote and the separator is skipped.
      while (pos_ < content_.size() && !IsFieldEnd(content_[pos_])) ++pos_;
    }
  } else {
    field = ReadUnquoted();
  }
  ConsumeSeparator();
  return field;
}

void RecordReader::ReadRecord(std::span<Value> fields) {
  const int recordLine = line_;
  for (std::size_t k = 0; k < fields.size(); ++k) {
    if (k > 0 && lineEnded_) {
      NoteProblem(QStringLiteral("zu wenige Felder"), recordLine);
      for (; k < fields.size(); ++k) fields[k] = Value();
      return;
    }
    fields[k] = ReadField();
  }
  if (!lineEnded_) {
    NoteProblem(QStringLiteral("zu viele Felder"), recordLine);
    SkipRestOfLine();
  }
}
