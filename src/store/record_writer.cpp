// SPDX-License-Identifier: GPL-3.0-or-later
#include "store/record_writer.h"

#include <cmath>
#include <cstdint>
#include <cstring>

#include "store/cp1252.h"
#include "store/file_number.h"

namespace {

// Writes `digits` of `value` (zero-padded on the left) and returns the end.
char* WriteDigits(unsigned long long value, int digits, char* out) {
  for (int i = digits - 1; i >= 0; --i, value /= 10) out[i] = static_cast<char>('0' + value % 10);
  return out + digits;
}

}  // namespace

std::optional<QChar> FirstCharFileCannotHold(QStringView text) {
  if (IsPlainCp1252(text)) return std::nullopt;
  if (const auto breaker = FirstFieldBreaker(text)) return breaker;
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

void RecordWriter::WriteEncoded(QByteArrayView records) {
  if (records.isEmpty()) return;
  char* p = Room(records.size());
  std::memcpy(p, records.data(), static_cast<std::size_t>(records.size()));
  size_ += records.size();
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
        most += static_cast<qsizetype>(kMostFileNumberChars);
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
// again, at the same characters, is copied from where it was written before.
char* RecordWriter::WriteText(const QString& text, char* p) {
  *p++ = '"';
  const qsizetype size = text.size();
  if (size == 0) {
    *p++ = '"';
    return p;
  }
  WrittenText* cached = nullptr;
  if (size <= kShortTextChars) {
    const auto address = reinterpret_cast<std::uintptr_t>(text.constData());
    cached = &writtenTexts_[(address >> 4) % writtenTexts_.size()];
    if (cached->chars == text.constData() && cached->size == size) {
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
    cached->chars = text.constData();
    cached->size = size;
    cached->at = p - bytes_.constData();
    if (!textsOutlive_) cached->copy = text;
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
