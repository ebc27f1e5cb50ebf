// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QDate>
#include <QString>
#include <cstdint>
#include <optional>
#include <span>
#include <vector>

#include "store/load_report.h"
#include "store/record_format.h"
#include "store/value.h"

// Reads the fields of one file in order. Never reads past the end: a field asked for after the
// end is Empty and the reader is marked as exhausted. A quoted field is a Text, a field between
// "#" signs that spells a day a Date, an unquoted number a Number, and any other unquoted field
// a Text, as every reader of comma-separated text reads it. What cannot be read whole (a text
// left open, a line with too few or too many fields, a character the file cannot store) is
// recorded as a fault, with the line it stands on.
//
// The bytes are Windows-1252, the files' own code page, unless they begin with the UTF-8 byte
// order mark or are valid UTF-8 holding at least one character beyond ASCII, as editors and
// spreadsheets save them; those are read as UTF-8.
class RecordReader {
 public:
  enum class Encoding { Cp1252, Utf8 };
  explicit RecordReader(QByteArray bytes);
  Encoding TextEncoding() const { return utf8_ ? Encoding::Utf8 : Encoding::Cp1252; }

  Value ReadField();
  // Reads one record of `fields.size()` fields from one line; a line with too few or too many
  // fields is recorded as a problem and reading goes on with the next line.
  void ReadRecord(std::span<Value> fields);

  // Whether the record read last stands in the file exactly as the writer writes its cells:
  // then its bytes can serve as its encoding. Never so in a file read as UTF-8.
  bool LastRecordInWrittenForm() const { return writtenForm_ && !utf8_; }
  // Where the next record starts.
  qsizetype Position() const { return pos_; }

  bool AtEnd() const;
  // True when only blanks and line ends are left.
  bool OnlyBlankLeft() const;
  int Line() const { return line_; }
  // The faults met so far, in the order met.
  const std::vector<ReadFault>& Faults() const { return faults_; }
  // The first fault met, in German, or nothing.
  std::optional<QString> Problem() const;

 private:
  void NoteFault(ReadFault::Kind kind, int line, int count = 0, char32_t character = 0);
  void SkipBlanks();
  void ConsumeSeparator();
  void SkipRestOfLine();
  Value ReadUnquoted(qsizetype fieldStart);
  QString DecodeText(qsizetype start, qsizetype size);
  // A text decoded from UTF-8 with every character the file cannot store noted and replaced.
  QString Storable(QString text);

  QByteArray bytes_;
  const char* data_;
  qsizetype size_;
  qsizetype pos_ = 0;
  int line_ = 1;
  bool lineEnded_ = true;
  bool utf8_ = false;
  int field_ = -1;  // the field of the record being read, from 0
  std::vector<ReadFault> faults_;
  bool writtenForm_ = false;
  qsizetype TextEnd(qsizetype from) const;
  bool ReadWrittenRecord(std::span<Value> fields);
  // The date of a "#yyyy-MM-dd#" field, or nothing.
  std::optional<QDate> DateOf(const char* first, const char* last);

  // Short texts (names, categories, items) repeat across records: the same bytes again share
  // one decoded text instead of decoding and storing it once more. A hash table of small slots,
  // filled up to half, each holding a tag of its text's hash and where the text is among the
  // known ones; a known text holds its bytes, so a look-up reads only the slots and the text
  // that it finds.
  struct KnownText {
    QString text;
    std::uint8_t size = 0;
    char bytes[kShortTextChars] = {};
  };
  static constexpr std::size_t kFewestKnownSlots = 64;
  static constexpr std::size_t kMostKnownSlots = 8192;
  static constexpr int kKnownIndexBits = 13;  // the number of a known text, from 1; 0 is empty
  static_assert(kMostKnownSlots / 2 < (std::size_t{1} << kKnownIndexBits));
  static_assert(kShortTextChars <= 255);
  std::vector<std::uint32_t> knownSlots_;
  std::vector<KnownText> knownTexts_;
  // The last date read in its 12-character file form "#yyyy-MM-dd#".
  char lastDateForm_[12] = {};
  QDate lastDate_;
};
