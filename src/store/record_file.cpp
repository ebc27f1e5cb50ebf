#include "store/record_file.h"

#include <charconv>
#include <cmath>
#include <cstring>

#include "store/atomic_file.h"
#include "store/cp1252.h"

void AppendFileNumber(double number, std::string& out) {
  if (number == 0) number = 0;  // no "-0"
  if (std::fabs(number) < 1e15 && number == std::trunc(number)) {
    char buf[24];
    const auto whole = std::to_chars(buf, buf + sizeof buf, static_cast<long long>(number));
    out.append(buf, static_cast<std::size_t>(whole.ptr - buf));
    return;
  }
  char buf[400];
  const auto result = std::to_chars(buf, buf + sizeof buf, number, std::chars_format::fixed);
  out.append(buf, static_cast<std::size_t>(result.ptr - buf));
}

QString FileNumber(double number) {
  std::string out;
  AppendFileNumber(number, out);
  return QString::fromLatin1(out.data(), static_cast<qsizetype>(out.size()));
}

std::optional<QChar> FirstCharFileCannotHold(const QString& text) {
  for (QChar c : text) {
    if (c == u'"' || c == u'\r' || c == u'\n') return c;
  }
  return FirstCharOutsideCp1252(text);
}

namespace {
void AppendDigits(int value, int width, std::string& out) {
  char buf[12];
  for (int i = width - 1; i >= 0; --i, value /= 10) buf[i] = static_cast<char>('0' + value % 10);
  out.append(buf, width);
}
}  // namespace

void RecordWriter::WriteRecord(std::span<const Value> fields) {
  bool first = true;
  for (const Value& field : fields) {
    if (!first) bytes_ += ',';
    first = false;
    switch (field.kind()) {
      case Value::Kind::Empty:
        break;
      case Value::Kind::Number:
        if (!std::isfinite(field.number())) unstorable_ = true;
        AppendFileNumber(field.number(), bytes_);
        break;
      case Value::Kind::Text: {
        bytes_ += '"';
        if (!AppendCp1252(field.text(), bytes_, /*refuseFieldBreakers=*/true)) unstorable_ = true;
        bytes_ += '"';
        break;
      }
      case Value::Kind::Date: {
        int year = 0, month = 0, day = 0;
        field.date().getDate(&year, &month, &day);
        if (year < 1 || year > 9999) unstorable_ = true;
        bytes_ += '#';
        AppendDigits(year, 4, bytes_);
        bytes_ += '-';
        AppendDigits(month, 2, bytes_);
        bytes_ += '-';
        AppendDigits(day, 2, bytes_);
        bytes_ += '#';
        break;
      }
    }
  }
  bytes_ += "\r\n";
}

std::optional<QByteArray> RecordWriter::Bytes() const {
  if (unstorable_) return std::nullopt;
  return QByteArray(bytes_.data(), static_cast<qsizetype>(bytes_.size()));
}

std::optional<QString> RecordWriter::Close(const QString& path) const {
  if (unstorable_) {
    return QStringLiteral("Ein Text enthält ein Zeichen, das die Datei nicht aufnehmen kann.");
  }
  return WriteFileAtomically(path,
                             QByteArrayView(bytes_.data(), static_cast<qsizetype>(bytes_.size())));
}

RecordReader::RecordReader(QByteArray bytes)
    : bytes_(std::move(bytes)), data_(bytes_.constData()), size_(bytes_.size()) {}

bool RecordReader::AtEnd() const {
  return pos_ >= size_;
}

bool RecordReader::OnlyBlankLeft() const {
  for (qsizetype i = pos_; i < size_; ++i) {
    const char c = data_[i];
    if (c != ' ' && c != '\t' && c != '\r' && c != '\n') return false;
  }
  return true;
}

void RecordReader::NoteProblem(const QString& what, int line) {
  if (!problem_) problem_ = QStringLiteral("Zeile %1: %2").arg(line > 0 ? line : line_).arg(what);
}

void RecordReader::SkipBlanks() {
  while (pos_ < size_ && (data_[pos_] == ' ' || data_[pos_] == '\t')) ++pos_;
}

// Consumes the comma or the line end after a field; a line end is CR LF, or a lone CR or LF.
void RecordReader::ConsumeSeparator() {
  if (pos_ >= size_) {
    lineEnded_ = true;
    return;
  }
  const char c = data_[pos_++];
  if (c == ',') {
    lineEnded_ = false;
    return;
  }
  if (c == '\r' && pos_ < size_ && data_[pos_] == '\n') ++pos_;
  ++line_;
  lineEnded_ = true;
}

void RecordReader::SkipRestOfLine() {
  while (pos_ < size_ && data_[pos_] != '\r' && data_[pos_] != '\n') ++pos_;
  ConsumeSeparator();
}

namespace {
bool IsFieldEnd(char c) {
  return c == ',' || c == '\r' || c == '\n';
}

// Reads exactly `width` digits, or 1 to `width` digits when `exact` is false.
bool Digits(const char*& p, const char* end, int width, bool exact, int& value) {
  value = 0;
  int n = 0;
  for (; p < end && n < width && *p >= '0' && *p <= '9'; ++p, ++n) value = value * 10 + (*p - '0');
  return exact ? n == width : n > 0;
}

// yyyy-MM-dd, with one or two digits allowed for month and day.
std::optional<QDate> ParseDate(const char* p, const char* end) {
  int y = 0, m = 0, d = 0;
  if (!Digits(p, end, 4, true, y) || p == end || *p++ != '-') return std::nullopt;
  if (!Digits(p, end, 2, false, m) || p == end || *p++ != '-') return std::nullopt;
  if (!Digits(p, end, 2, false, d) || p != end) return std::nullopt;
  const QDate date(y, m, d);
  if (!date.isValid()) return std::nullopt;
  return date;
}

std::optional<double> ParseFileNumber(const char* first, const char* last) {
  for (const char* p = first; p < last; ++p) {
    // Only digits, a sign, a point and an exponent: no "inf", "nan" or hexadecimal forms.
    const char c = *p;
    if (!((c >= '0' && c <= '9') || c == '-' || c == '.' || c == 'e' || c == 'E' ||
          (c == '+' && p > first))) {
      return std::nullopt;
    }
  }
  double value = 0;
  const auto result = std::from_chars(first, last, value, std::chars_format::general);
  if (result.ec != std::errc() || result.ptr != last || !std::isfinite(value)) return std::nullopt;
  return value;
}
}  // namespace

Value RecordReader::ReadUnquoted() {
  const qsizetype start = pos_;
  while (pos_ < size_ && !IsFieldEnd(data_[pos_])) ++pos_;
  const char* first = data_ + start;
  const char* last = data_ + pos_;
  while (last > first && (last[-1] == ' ' || last[-1] == '\t')) --last;
  if (first == last) return Value();
  const auto shown = [&] { return DecodeCp1252(first, std::min<qsizetype>(last - first, 40)); };
  if (*first == '#') {
    if (last - first >= 2 && last[-1] == '#') {
      if (auto date = ParseDate(first + 1, last - 1)) return Value(*date);
    }
    NoteProblem(QStringLiteral("ungültiges Datum %1").arg(shown()));
    return Value();
  }
  if (auto number = ParseFileNumber(first, last)) return Value(*number);
  NoteProblem(QStringLiteral("ungültiges Feld %1").arg(shown()));
  return Value();
}

QString RecordReader::DecodeText(qsizetype start, qsizetype size) {
  constexpr qsizetype kShort = 40;
  constexpr qsizetype kMostKnown = 4096;
  if (size > kShort) return DecodeCp1252(data_ + start, size);
  const QByteArrayView bytes(data_ + start, size);
  auto known = knownTexts_.constFind(bytes);
  if (known != knownTexts_.cend()) return *known;
  QString text = DecodeCp1252(data_ + start, size);
  if (knownTexts_.size() < kMostKnown) knownTexts_.insert(bytes, text);
  return text;
}

Value RecordReader::ReadField() {
  SkipBlanks();
  if (AtEnd()) {
    lineEnded_ = true;
    return Value();
  }
  Value field;
  if (data_[pos_] == '"') {
    const qsizetype start = pos_ + 1;
    const void* quote = std::memchr(data_ + start, '"', static_cast<std::size_t>(size_ - start));
    qsizetype close = quote ? static_cast<const char*>(quote) - data_ : size_;
    // A text never spans a line end: a line break before the closing quote leaves it open.
    const void* lineEnd = std::memchr(data_ + start, '\n', static_cast<std::size_t>(close - start));
    const void* carriage =
        std::memchr(data_ + start, '\r', static_cast<std::size_t>(close - start));
    if (lineEnd || carriage) {
      close = std::min(lineEnd ? static_cast<const char*>(lineEnd) - data_ : size_,
                       carriage ? static_cast<const char*>(carriage) - data_ : size_);
    }
    if (close >= size_ || data_[close] != '"') {
      NoteProblem(QStringLiteral("ein Text ohne schließendes Anführungszeichen"));
      pos_ = close;
    } else {
      field = Value(DecodeText(start, close - start));
      pos_ = close + 1;
      // Anything between the closing quote and the separator is skipped.
      while (pos_ < size_ && !IsFieldEnd(data_[pos_])) ++pos_;
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
