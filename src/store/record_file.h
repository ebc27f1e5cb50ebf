#pragma once

#include <QByteArray>
#include <QHash>
#include <QString>
#include <optional>
#include <span>

#include "store/value.h"

// The record format of the data files: a count line, then one record a line, fields separated
// by a comma, CR LF after every line. Texts stand in double quotes, dates between "#" signs as
// year-month-day, numbers in plain decimal notation with a point; an empty field is Empty.

// Collects the records of one file in memory and writes them in one piece on Close.
class RecordWriter {
 public:
  void WriteRecord(std::span<const Value> fields);
  void WriteRecord(std::initializer_list<Value> fields) {
    WriteRecord(std::span<const Value>(fields.begin(), fields.size()));
  }
  // The file's bytes as they will be written, or nothing when a field cannot be stored.
  std::optional<QByteArray> Bytes() const;
  std::size_t Size() const { return bytes_.size(); }
  // Writes the file atomically; on failure returns a German sentence and the file is unchanged.
  std::optional<QString> Close(const QString& path) const;

 private:
  std::string bytes_;
  bool unstorable_ = false;
};

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
  // Short texts (names, categories, items) repeat across records: the same bytes again share
  // one decoded text instead of decoding and storing it once more.
  QHash<QByteArrayView, QString> knownTexts_;
};

// The file form of a number: shortest decimal notation that reads back to the same double.
QString FileNumber(double number);
void AppendFileNumber(double number, std::string& out);
// The first character a Text field cannot hold (a double quote, a line break, or a character
// outside Windows-1252), if any.
std::optional<QChar> FirstCharFileCannotHold(const QString& text);
