// SPDX-License-Identifier: GPL-3.0-or-later
#include "store/record_file.h"

#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "store/cp1252.h"

namespace {
// The longest file form of a finite double: fixed notation of the smallest subnormal.
constexpr std::size_t kMostNumberChars = 400;

// Writes `digits` of `value` (zero-padded on the left) and returns the end.
char* WriteDigits(unsigned long long value, int digits, char* out) {
  for (int i = digits - 1; i >= 0; --i, value /= 10) out[i] = static_cast<char>('0' + value % 10);
  return out + digits;
}

// A number with at most two decimals and at most 15 significant digits in the shortest form
// that reads back to it; nothing for any other number. Such a decimal d reads back to `number`
// exactly when d's correctly rounded double, k / 100, is `number`; and no other decimal of at
// most 15 digits reads back to the same double, so d without its trailing zeros is also what the
// general shortest formatting writes.
std::optional<std::size_t> FormatShortDecimal(double number, char* out) {
  if (!(std::fabs(number) < 1e13)) return std::nullopt;
  const double scaled = number * 100;
  const auto k = static_cast<long long>(scaled < 0 ? scaled - 0.5 : scaled + 0.5);
  if (static_cast<double>(k) / 100 != number) return std::nullopt;
  char* p = out;
  if (k < 0) *p++ = '-';
  const unsigned long long magnitude =
      k < 0 ? 0ULL - static_cast<unsigned long long>(k) : static_cast<unsigned long long>(k);
  p = std::to_chars(p, p + 24, magnitude / 100).ptr;
  const auto cents = static_cast<unsigned>(magnitude % 100);
  *p++ = '.';
  *p++ = static_cast<char>('0' + cents / 10);
  if (cents % 10 != 0) *p++ = static_cast<char>('0' + cents % 10);  // no trailing zero
  return static_cast<std::size_t>(p - out);
}

// Writes the file form of `number` into `out` (room for kMostNumberChars) and returns its length.
std::size_t FormatFileNumber(double number, char* out) {
  if (number == 0) number = 0;  // no "-0"
  if (std::fabs(number) < 1e15 && number == std::trunc(number)) {
    const auto whole = std::to_chars(out, out + 24, static_cast<long long>(number));
    return static_cast<std::size_t>(whole.ptr - out);
  }
  if (const auto shortDecimal = FormatShortDecimal(number, out)) return *shortDecimal;
  const auto result = std::to_chars(out, out + kMostNumberChars, number, std::chars_format::fixed);
  return static_cast<std::size_t>(result.ptr - out);
}
}  // namespace

void AppendFileNumber(double number, std::string& out) {
  char buf[kMostNumberChars];
  out.append(buf, FormatFileNumber(number, buf));
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

char* RecordWriter::Room(qsizetype bytes) {
  if (size_ + bytes > bytes_.size()) {
    bytes_.resize(std::max({size_ + bytes, 2 * bytes_.size(), qsizetype{4096}}));
  }
  return bytes_.data() + size_;
}

void RecordWriter::Reserve(qsizetype bytes) {
  if (bytes > bytes_.size()) bytes_.resize(bytes);
}

void RecordWriter::WriteRecord(std::span<const Value> fields) {
  // Room for the whole record at once: the most any of its fields can take, the separators and
  // the line end.
  qsizetype most = 2 + static_cast<qsizetype>(fields.size());
  for (const Value& field : fields) {
    switch (field.Kind()) {
      case ValueKind::Empty:
        break;
      case ValueKind::Number:
        most += static_cast<qsizetype>(kMostNumberChars);
        break;
      case ValueKind::Text:
        most += field.Text().size() + 2;
        break;
      case ValueKind::Date:
        most += static_cast<qsizetype>(sizeof lastDate_);
        break;
    }
  }
  char* p = Room(most);
  bool first = true;
  for (const Value& field : fields) {
    if (!first) *p++ = ',';
    first = false;
    switch (field.Kind()) {
      case ValueKind::Empty:
        break;
      case ValueKind::Number:
        if (!std::isfinite(field.Number())) unstorable_ = true;
        p += FormatFileNumber(field.Number(), p);
        break;
      case ValueKind::Text:
        p = WriteText(field.Text(), p);
        break;
      case ValueKind::Date:
        p = WriteDate(field.Date(), p);
        break;
    }
  }
  *p++ = '\r';
  *p++ = '\n';
  size_ = p - bytes_.constData();
}

// Names, categories and items repeat from row to row as shared copies of one text: a text met
// again, at the same characters, is copied from where it was written before. The cache keeps a
// copy of each text, so its characters stay where they are and unchanged.
char* RecordWriter::WriteText(const QString& text, char* p) {
  *p++ = '"';
  const qsizetype size = text.size();
  if (size == 0) {
    *p++ = '"';
    return p;
  }
  WrittenText* cached = nullptr;
  if (size <= kMostCachedChars) {
    const auto address = reinterpret_cast<std::uintptr_t>(text.constData());
    cached = &writtenTexts_[(address >> 4) % writtenTexts_.size()];
    if (cached->text.constData() == text.constData() && cached->text.size() == size) {
      std::memcpy(p, bytes_.constData() + cached->at, static_cast<std::size_t>(size));
      p += size;
      *p++ = '"';
      return p;
    }
  }
  char* end = EncodeCp1252Into(text, p, /*refuseFieldBreakers=*/true);
  if (!end) {
    unstorable_ = true;
    end = p;
  } else if (cached) {
    *cached = {text, p - bytes_.constData()};
  }
  *end++ = '"';
  return end;
}

// Rows come in runs of one day, so the last date's form is kept for the next.
char* RecordWriter::WriteDate(QDate date, char* p) {
  if (date.toJulianDay() != lastDay_) {
    int year = 0, month = 0, day = 0;
    date.getDate(&year, &month, &day);
    lastDateStorable_ = year >= 1 && year <= 9999;
    char* d = lastDate_;
    *d++ = '#';
    d = WriteDigits(static_cast<unsigned>(std::max(year, 0)), 4, d);
    *d++ = '-';
    d = WriteDigits(static_cast<unsigned>(month), 2, d);
    *d++ = '-';
    d = WriteDigits(static_cast<unsigned>(day), 2, d);
    *d = '#';
    lastDay_ = date.toJulianDay();
  }
  if (!lastDateStorable_) unstorable_ = true;
  std::memcpy(p, lastDate_, sizeof lastDate_);
  return p + sizeof lastDate_;
}

QString UnstorableTextMessage() {
  return QStringLiteral("Ein Text enthält ein Zeichen, das die Datei nicht aufnehmen kann.");
}

std::optional<QByteArray> RecordWriter::Bytes() const {
  if (unstorable_) return std::nullopt;
  return QByteArray(bytes_.constData(), size_);
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

// The common file form of a number, an optional minus sign and at most 15 digits with at most
// one point among them, read without the general parser; nothing for any other form. Mantissa
// and power of ten are exact doubles, so their quotient is the correctly rounded value that the
// general parser gives as well.
std::optional<double> ParseShortDecimal(const char* first, const char* last) {
  static constexpr double kPowersOfTen[] = {1e0, 1e1, 1e2,  1e3,  1e4,  1e5,  1e6,  1e7,
                                            1e8, 1e9, 1e10, 1e11, 1e12, 1e13, 1e14, 1e15};
  const char* p = first;
  const bool negative = p < last && *p == '-';
  if (negative) ++p;
  std::uint64_t mantissa = 0;
  int digits = 0, decimals = 0;
  bool point = false;
  for (; p < last; ++p) {
    const char c = *p;
    if (c >= '0' && c <= '9') {
      if (++digits > 15) return std::nullopt;
      mantissa = mantissa * 10 + static_cast<std::uint64_t>(c - '0');
      if (point) ++decimals;
    } else if (c == '.' && !point) {
      point = true;
    } else {
      return std::nullopt;
    }
  }
  if (digits == 0) return std::nullopt;
  const double value = static_cast<double>(mantissa) / kPowersOfTen[decimals];
  return negative ? -value : value;
}
}  // namespace

// Rows come in runs of one day: the form of the last date read is kept for the next.
std::optional<QDate> RecordReader::DateOf(const char* first, const char* last) {
  constexpr qsizetype kDateChars = sizeof lastDateForm_;
  if (last - first == kDateChars && lastDate_.isValid() &&
      std::memcmp(first, lastDateForm_, kDateChars) == 0) {
    return lastDate_;
  }
  if (last - first < 2 || *first != '#' || last[-1] != '#') return std::nullopt;
  const std::optional<QDate> date = ParseDate(first + 1, last - 1);
  if (date && last - first == kDateChars) {
    std::memcpy(lastDateForm_, first, kDateChars);
    lastDate_ = *date;
  }
  return date;
}

Value RecordReader::ReadUnquoted() {
  const qsizetype start = pos_;
  while (pos_ < size_ && !IsFieldEnd(data_[pos_])) ++pos_;
  const char* first = data_ + start;
  const char* last = data_ + pos_;
  while (last > first && (last[-1] == ' ' || last[-1] == '\t')) --last;
  if (first == last) return Value();
  const auto shown = [&] { return DecodeCp1252(first, std::min<qsizetype>(last - first, 40)); };
  if (*first == '#') {
    if (auto date = DateOf(first, last)) return Value(*date);
    NoteProblem(QStringLiteral("ungültiges Datum %1").arg(shown()));
    return Value();
  }
  if (auto number = ParseShortDecimal(first, last)) return Value(*number);
  if (auto number = ParseFileNumber(first, last)) return Value(*number);
  NoteProblem(QStringLiteral("ungültiges Feld %1").arg(shown()));
  return Value();
}

namespace {
// A hash of up to a few dozen bytes, eight at a time.
std::uint64_t HashBytes(const char* bytes, qsizetype size) {
  constexpr std::uint64_t kMul = 0x9E3779B97F4A7C15ULL;
  std::uint64_t h = static_cast<std::uint64_t>(size) * kMul;
  const auto mix = [&](std::uint64_t word) {
    h = (h ^ word) * kMul;
    h ^= h >> 32;
  };
  if (size < 8) {
    std::uint64_t word = 0;
    for (qsizetype i = 0; i < size; ++i)
      word |= static_cast<std::uint64_t>(static_cast<unsigned char>(bytes[i])) << (8 * i);
    mix(word);
    return h;
  }
  std::uint64_t word;
  for (qsizetype i = 0; i + 8 <= size; i += 8) {
    std::memcpy(&word, bytes + i, 8);
    mix(word);
  }
  std::memcpy(&word, bytes + size - 8, 8);  // the last eight, overlapping what came before
  mix(word);
  return h;
}
}  // namespace

namespace {
// Whether two runs of at most a few dozen bytes are equal, eight bytes at a time.
bool SameShortBytes(const char* a, const char* b, qsizetype size) {
  if (size < 8) return std::memcmp(a, b, static_cast<std::size_t>(size)) == 0;
  std::uint64_t x, y;
  for (qsizetype i = 0; i + 8 <= size; i += 8) {
    std::memcpy(&x, a + i, 8);
    std::memcpy(&y, b + i, 8);
    if (x != y) return false;
  }
  std::memcpy(&x, a + size - 8, 8);
  std::memcpy(&y, b + size - 8, 8);
  return x == y;
}
}  // namespace

QString RecordReader::DecodeText(qsizetype start, qsizetype size) {
  constexpr qsizetype kShort = 40;
  if (size == 0) return QString();
  if (size > kShort) return DecodeCp1252(data_ + start, size);
  const char* bytes = data_ + start;
  if (knownTexts_.empty()) {
    // About one slot for every 16 bytes of the file, within bounds.
    std::size_t count = kFewestKnownSlots;
    while (count < kMostKnownSlots && count * 16 < static_cast<std::size_t>(size_)) count *= 2;
    knownTexts_.resize(count);
  }
  const std::size_t mask = knownTexts_.size() - 1;
  // Open addressing with linear probing; the table is never more than half full.
  std::size_t slot = HashBytes(bytes, size) & mask;
  for (;; slot = (slot + 1) & mask) {
    KnownText& known = knownTexts_[slot];
    if (!known.bytes) break;
    if (known.size == size && SameShortBytes(known.bytes, bytes, size)) return known.text;
  }
  QString text = DecodeCp1252(bytes, size);
  if (knownCount_ < knownTexts_.size() / 2) {
    knownTexts_[slot] = {bytes, size, text};
    ++knownCount_;
  }
  return text;
}

// The first double quote or line break from `from` on, or the end.
qsizetype RecordReader::TextEnd(qsizetype from) const {
  qsizetype i = from;
#if defined(__SSE2__)
  const __m128i quote = _mm_set1_epi8('"');
  const __m128i cr = _mm_set1_epi8('\r');
  const __m128i lf = _mm_set1_epi8('\n');
  for (; i + 16 <= size_; i += 16) {
    const __m128i chunk = _mm_loadu_si128(reinterpret_cast<const __m128i*>(data_ + i));
    const __m128i hits =
        _mm_or_si128(_mm_cmpeq_epi8(chunk, quote),
                     _mm_or_si128(_mm_cmpeq_epi8(chunk, cr), _mm_cmpeq_epi8(chunk, lf)));
    if (const int mask = _mm_movemask_epi8(hits))
      return i + __builtin_ctz(static_cast<unsigned>(mask));
  }
#endif
  for (; i < size_; ++i) {
    const char c = data_[i];
    if (c == '"' || c == '\r' || c == '\n') return i;
  }
  return size_;
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
    // A text never spans a line end: a line break before the closing quote leaves it open.
    const qsizetype close = TextEnd(start);
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

// A record in the form the writer gives it, read without the general field steps: no blanks,
// texts followed at once by their separator, dates of twelve characters, short decimals, a
// comma between fields and CR LF after the last. At anything else it reads nothing and says
// so, and the general steps read the record; both give the same cells.
bool RecordReader::ReadWrittenRecord(std::span<Value> fields) {
  if (!lineEnded_ || fields.empty()) return false;
  const char* const end = data_ + size_;
  const char* p = data_ + pos_;
  for (std::size_t k = 0; k < fields.size(); ++k) {
    const bool last = k + 1 == fields.size();
    if (p >= end) return false;
    const char* fieldEnd;
    if (*p == '"') {
      const qsizetype close = TextEnd(p + 1 - data_);
      if (close >= size_ || data_[close] != '"') return false;
      fields[k] = Value(DecodeText(p + 1 - data_, close - (p + 1 - data_)));
      fieldEnd = data_ + close + 1;
    } else {
      fieldEnd = p;
      while (fieldEnd < end && *fieldEnd != ',' && *fieldEnd != '\r' && *fieldEnd != '\n')
        ++fieldEnd;
      if (fieldEnd == p) {
        fields[k] = Value();
      } else if (*p == '#') {
        const std::optional<QDate> date = DateOf(p, fieldEnd);
        if (!date) return false;
        fields[k] = Value(*date);
      } else {
        const std::optional<double> number = ParseShortDecimal(p, fieldEnd);
        if (!number) return false;
        fields[k] = Value(*number);
      }
    }
    if (!last) {
      if (fieldEnd >= end || *fieldEnd != ',') return false;
      p = fieldEnd + 1;
    } else {
      if (end - fieldEnd < 2 || fieldEnd[0] != '\r' || fieldEnd[1] != '\n') return false;
      p = fieldEnd + 2;
    }
  }
  pos_ = p - data_;
  ++line_;
  return true;
}

void RecordReader::ReadRecord(std::span<Value> fields) {
  if (ReadWrittenRecord(fields)) return;
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
