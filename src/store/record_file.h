// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QString>
#include <array>
#include <limits>
#include <optional>
#include <span>
#include <utility>
#include <vector>

#include "store/value.h"

// The record format of the data files: a count line, then one record a line, fields separated
// by a comma, CR LF after every line. Texts stand in double quotes, dates between "#" signs as
// year-month-day, numbers in plain decimal notation with a point; an empty field is Empty.

// Collects the records of one file in memory and writes them in one piece on Close.
class RecordWriter {
 public:
  RecordWriter() = default;
  // Writes into `buffer`'s memory, which a caller that writes large files again and again keeps
  // and hands in each time: fresh memory costs more than the writing itself.
  explicit RecordWriter(QByteArray buffer) : bytes_(std::move(buffer)) {}
  // The memory written into, for the next writer.
  QByteArray TakeBuffer() { return std::exchange(bytes_, QByteArray()); }

  void WriteRecord(std::span<const Value> fields);
  void WriteRecord(std::initializer_list<Value> fields) {
    WriteRecord(std::span<const Value>(fields.begin(), fields.size()));
  }
  // Makes room for about this many bytes at once, so a large file is not moved while it grows.
  void Reserve(qsizetype bytes);
  // The file's bytes as they will be written, or nothing when a field cannot be stored.
  std::optional<QByteArray> Bytes() const;
  std::size_t Size() const { return static_cast<std::size_t>(size_); }
  // False when a field could not be stored (then there are no bytes to write).
  bool Storable() const { return !unstorable_; }
  // The bytes written so far, whether storable or not; valid until the next record.
  QByteArrayView View() const { return QByteArrayView(bytes_.constData(), size_); }

 private:
  // Room for `bytes` more bytes after the ones written; returns where they go.
  char* Room(qsizetype bytes);
  // Write the field at `p` and return its end.
  char* WriteText(const QString& text, char* p);
  char* WriteDate(QDate date, char* p);

  QByteArray bytes_;  // its size is the room; the first size_ bytes are written
  qsizetype size_ = 0;
  bool unstorable_ = false;
  qint64 lastDay_ = std::numeric_limits<qint64>::max();  // never a day's number
  char lastDate_[12] = {};                               // "#yyyy-MM-dd#"
  bool lastDateStorable_ = false;
  // Short texts written so far, by the address of their characters, and where their bytes are.
  struct WrittenText {
    QString text;
    qsizetype at = 0;
  };
  static constexpr qsizetype kMostCachedChars = 40;
  std::array<WrittenText, 512> writtenTexts_;
};

// The German sentence for a file that could not be written because a text holds a character
// the file cannot take.
QString UnstorableTextMessage();

// Reads the fields of one file in order. Never reads past the end: a field asked for after the
// end is Empty and the reader is marked as exhausted. Fields of a wrong form read as Empty and
// are recorded as a problem, with the line they stand on.
class RecordReader {
 public:
  explicit RecordReader(QByteArray bytes);
  static RecordReader FromBytes(const QByteArray& bytes) { return RecordReader(bytes); }

  Value ReadField();
  // Reads one record of `fields.size()` fields from one line; a line with too few or too many
  // fields is recorded as a problem and reading goes on with the next line.
  void ReadRecord(std::span<Value> fields);

  bool AtEnd() const;
  // True when only blanks and line ends are left.
  bool OnlyBlankLeft() const;
  int Line() const { return line_; }
  // The first problem met, in German, or nothing.
  const std::optional<QString>& Problem() const { return problem_; }

 private:
  void NoteProblem(const QString& what, int line = 0);
  void SkipBlanks();
  void ConsumeSeparator();
  void SkipRestOfLine();
  Value ReadUnquoted();
  QString DecodeText(qsizetype start, qsizetype size);

  QByteArray bytes_;
  const char* data_;
  qsizetype size_;
  qsizetype pos_ = 0;
  int line_ = 1;
  bool lineEnded_ = true;
  std::optional<QString> problem_;
  qsizetype TextEnd(qsizetype from) const;
  bool ReadWrittenRecord(std::span<Value> fields);
  // The date of a "#yyyy-MM-dd#" field, or nothing.
  std::optional<QDate> DateOf(const char* first, const char* last);

  // Short texts (names, categories, items) repeat across records: the same bytes again share
  // one decoded text instead of decoding and storing it once more. A hash table of the bytes in
  // the file, filled up to half its slots.
  struct KnownText {
    const char* bytes = nullptr;
    qsizetype size = 0;
    QString text;
  };
  static constexpr std::size_t kFewestKnownSlots = 64;
  static constexpr std::size_t kMostKnownSlots = 8192;
  std::vector<KnownText> knownTexts_;
  std::size_t knownCount_ = 0;
  // The last date read in its 12-character file form "#yyyy-MM-dd#".
  char lastDateForm_[12] = {};
  QDate lastDate_;
};

// The file form of a number: shortest decimal notation that reads back to the same double.
QString FileNumber(double number);
void AppendFileNumber(double number, std::string& out);
// The first character a Text field cannot hold (a double quote, a line break, or a character
// outside Windows-1252), if any.
std::optional<QChar> FirstCharFileCannotHold(const QString& text);
