// SPDX-License-Identifier: GPL-3.0-or-later
#include "store/record_reader.h"

#include <cstdint>
#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "store/cp1252.h"
#include "store/file_number.h"

RecordReader::RecordReader(QByteArray bytes)
    : bytes_(std::move(bytes)), data_(bytes_.constData()), size_(bytes_.size()) {
  utf8_ = IsUtf8Text(data_, size_);
  if (utf8_ && size_ >= 3 && std::memcmp(data_, "\xEF\xBB\xBF", 3) == 0) pos_ = 3;
}

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

void RecordReader::NoteFault(ReadFault::Kind kind, int line, int count, char32_t character) {
  faults_.push_back({kind, line, field_, count, character});
}

std::optional<QString> RecordReader::Problem() const {
  if (faults_.empty()) return std::nullopt;
  const ReadFault& f = faults_.front();
  QString what;
  switch (f.kind) {
    case ReadFault::Kind::OpenText:
      what = QStringLiteral("ein Text ohne schließendes Anführungszeichen");
      break;
    case ReadFault::Kind::TooFewFields:
      what = QStringLiteral("zu wenige Felder");
      break;
    case ReadFault::Kind::TooManyFields:
      what = QStringLiteral("zu viele Felder");
      break;
    case ReadFault::Kind::Unreadable:
      what = QStringLiteral("ein unlesbares Feld");
      break;
    case ReadFault::Kind::Unstorable:
      what = QStringLiteral("ein Zeichen, das die Datei nicht speichern kann");
      break;
  }
  return QStringLiteral("Zeile %1: %2").arg(f.line).arg(what);
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

bool IsDigit(char c) {
  return c >= '0' && c <= '9';
}

// Whether a date field read is "#yyyy-MM-dd#", as the writer writes every date it can store.
bool IsWrittenDateForm(const char* first, const char* last) {
  if (last - first != 12) return false;
  for (int k : {1, 2, 3, 4, 6, 7, 9, 10}) {
    if (!IsDigit(first[k])) return false;
  }
  return first[5] == '-' && first[8] == '-';
}

// Whether a number field that ParseShortDecimal read (a minus sign, at most 15 digits, at most
// one point) is what the writer writes for its number: no leading zero, no "-0", no point
// without digits on both sides, no trailing zero after the point. A decimal of at most 15
// digits is the only one of them that reads back to its double, so its shortest form is itself.
bool IsWrittenNumberForm(const char* first, const char* last) {
  const char* p = first;
  const bool negative = *p == '-';
  if (negative) ++p;
  const char* whole = p;
  while (p < last && IsDigit(*p)) ++p;
  if (p == whole || (p - whole > 1 && *whole == '0')) return false;
  if (p == last) return !(negative && p - whole == 1 && *whole == '0');
  return last - p > 1 && last[-1] != '0';  // p is at the point
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

// A number or a day is read without the blanks around it; a text keeps them, as every reader of
// comma-separated text does: a name or a description ending in a blank is saved that way.
Value RecordReader::ReadUnquoted(qsizetype fieldStart) {
  const qsizetype start = pos_;
  while (pos_ < size_ && !IsFieldEnd(data_[pos_])) ++pos_;
  const char* first = data_ + start;
  const char* last = data_ + pos_;
  while (last > first && (last[-1] == ' ' || last[-1] == '\t')) --last;
  if (first == last) {
    // Blanks alone: a text of blanks where there are any, as the file can hold no other.
    return pos_ == fieldStart ? Value() : Value(DecodeText(fieldStart, pos_ - fieldStart));
  }
  if (*first == '#') {
    if (auto date = DateOf(first, last)) return Value(*date);
  } else {
    if (auto number = ParseShortDecimal(first, last)) return Value(*number);
    if (auto number = ParseFileNumber(first, last)) return Value(*number);
  }
  // A text without quotes; one holding a double quote never shares a known text, since that
  // character is replaced.
  first = data_ + fieldStart;
  last = data_ + pos_;
  if (std::memchr(first, '"', static_cast<std::size_t>(last - first))) {
    return Value(Storable(utf8_ ? QString::fromUtf8(first, last - first)
                                : DecodeCp1252(first, last - first)));
  }
  return Value(DecodeText(fieldStart, last - first));
}

QString RecordReader::Storable(QString text) {
  const bool quote = text.contains(u'"');
  if (!quote && !FirstCharOutsideCp1252(text)) return text;
  QString out;
  out.reserve(text.size());
  char32_t first = 0;
  for (qsizetype i = 0; i < text.size(); ++i) {
    char32_t c = text[i].unicode();
    if (QChar::isHighSurrogate(c) && i + 1 < text.size() && text[i + 1].isLowSurrogate()) {
      c = QChar::surrogateToUcs4(text[i].unicode(), text[i + 1].unicode());
      ++i;
    }
    const bool storable =
        c != U'"' && c < 0x10000 && !FirstCharOutsideCp1252(QString(QChar(char16_t(c))));
    if (storable) {
      out.append(QChar(char16_t(c)));
    } else {
      if (first == 0) first = c;
      out.append(u'?');
    }
  }
  NoteFault(ReadFault::Kind::Unstorable, line_, 0, first);
  return out;
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
  if (size == 0) return QString();
  const char* bytes = data_ + start;
  // Only a text of Windows-1252 bytes, or of UTF-8 that the files can store, is shared.
  bool shared = true;
  const auto decode = [&] {
    if (!utf8_) return DecodeCp1252(bytes, size);
    QString text = QString::fromUtf8(bytes, size);
    if (!FirstCharOutsideCp1252(text)) return text;
    shared = false;
    return Storable(std::move(text));
  };
  if (size > kShortTextChars) return decode();
  if (knownSlots_.empty()) {
    // About one slot for every 16 bytes of the file, within bounds.
    std::size_t count = kFewestKnownSlots;
    while (count < kMostKnownSlots && count * 16 < static_cast<std::size_t>(size_)) count *= 2;
    knownSlots_.assign(count, 0);
    knownTexts_.reserve(count / 2);
  }
  const std::size_t mask = knownSlots_.size() - 1;
  const std::uint64_t hash = HashBytes(bytes, size);
  constexpr std::uint32_t kIndexMask = (std::uint32_t{1} << kKnownIndexBits) - 1;
  const auto tag = static_cast<std::uint32_t>(hash >> 32) & ~kIndexMask;
  // Open addressing with linear probing; the table is never more than half full.
  std::size_t slot = hash & mask;
  for (;; slot = (slot + 1) & mask) {
    const std::uint32_t known = knownSlots_[slot];
    if (known == 0) break;
    if ((known & ~kIndexMask) != tag) continue;
    const KnownText& text = knownTexts_[(known & kIndexMask) - 1];
    if (text.size == size && SameShortBytes(text.bytes, bytes, size)) return text.text;
  }
  QString text = decode();
  if (shared && knownTexts_.size() < knownSlots_.size() / 2) {
    KnownText& known = knownTexts_.emplace_back();
    known.text = text;
    known.size = static_cast<std::uint8_t>(size);
    std::memcpy(known.bytes, bytes, static_cast<std::size_t>(size));
    knownSlots_[slot] = tag | static_cast<std::uint32_t>(knownTexts_.size());
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
  const qsizetype fieldStart = pos_;
  SkipBlanks();
  if (AtEnd()) {
    lineEnded_ = true;
    return pos_ == fieldStart ? Value() : Value(DecodeText(fieldStart, pos_ - fieldStart));
  }
  Value field;
  if (data_[pos_] == '"') {
    const qsizetype start = pos_ + 1;
    // A text never spans a line end: a line break before the closing quote leaves it open.
    const qsizetype close = TextEnd(start);
    if (close >= size_ || data_[close] != '"') {
      // What stands up to the line end is taken as the text.
      NoteFault(ReadFault::Kind::OpenText, line_);
      field = Value(DecodeText(start, close - start));
      pos_ = close;
    } else {
      field = Value(DecodeText(start, close - start));
      pos_ = close + 1;
      // Anything between the closing quote and the separator is skipped.
      while (pos_ < size_ && !IsFieldEnd(data_[pos_])) ++pos_;
    }
  } else {
    field = ReadUnquoted(fieldStart);
  }
  ConsumeSeparator();
  return field;
}

// A record in the form the writer gives it, read without the general field steps: no blanks,
// texts followed at once by their separator, dates of twelve characters, short decimals, a
// comma between fields and CR LF after the last. At anything else it reads nothing and says
// so, and the general steps read the record; both give the same cells.
bool RecordReader::ReadWrittenRecord(std::span<Value> fields) {
  // A file read as UTF-8 never stands in the written form; its records take the general steps,
  // so a fault of a text is noted once.
  if (!lineEnded_ || fields.empty() || utf8_) return false;
  bool writtenForm = true;
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
        writtenForm = writtenForm && IsWrittenDateForm(p, fieldEnd);
      } else {
        const std::optional<double> number = ParseShortDecimal(p, fieldEnd);
        if (!number) return false;
        fields[k] = Value(*number);
        writtenForm = writtenForm && IsWrittenNumberForm(p, fieldEnd);
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
  writtenForm_ = writtenForm;
  return true;
}

void RecordReader::ReadRecord(std::span<Value> fields) {
  if (ReadWrittenRecord(fields)) return;
  writtenForm_ = false;
  const int recordLine = line_;
  for (std::size_t k = 0; k < fields.size(); ++k) {
    field_ = static_cast<int>(k);
    if (k > 0 && lineEnded_) {
      NoteFault(ReadFault::Kind::TooFewFields, recordLine, static_cast<int>(fields.size() - k));
      for (; k < fields.size(); ++k) fields[k] = Value();
      field_ = -1;
      return;
    }
    fields[k] = ReadField();
  }
  field_ = -1;
  if (!lineEnded_) {
    NoteFault(ReadFault::Kind::TooManyFields, recordLine);
    SkipRestOfLine();
  }
}
