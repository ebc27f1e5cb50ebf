// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QString>
#include <array>
#include <limits>
#include <optional>
#include <span>
#include <utility>

#include "store/record_format.h"
#include "store/value.h"

// Collects the records of one file in memory; the caller writes the bytes in one piece.
class RecordWriter {
 public:
  RecordWriter() = default;
  // Writes into `buffer`'s memory, which a caller that writes large files again and again keeps
  // and hands in each time: fresh memory costs more than the writing itself.
  explicit RecordWriter(QByteArray buffer) : bytes_(std::move(buffer)) {}
  // The same, for a caller whose texts all stay alive and unchanged while the writer is used
  // (the rows of a table written in one go): a text met again is then known by its characters'
  // address alone, and the writer holds no copy of it.
  enum class TextsOutliveWriter { Yes };
  RecordWriter(QByteArray buffer, TextsOutliveWriter)
      : bytes_(std::move(buffer)), textsOutlive_(true) {}
  // The memory written into, for the next writer.
  QByteArray TakeBuffer() { return std::exchange(bytes_, QByteArray()); }

  void WriteRecord(std::span<const Value> fields);
  void WriteRecord(std::initializer_list<Value> fields) {
    WriteRecord(std::span<const Value>(fields.begin(), fields.size()));
  }
  // Appends bytes that another writer made: whole records, as they stand.
  void WriteEncoded(QByteArrayView records);
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
  bool textsOutlive_ = false;
  // Short texts written so far, by the address of their characters, and where their bytes are;
  // unless the texts outlive the writer, a copy of each keeps its characters where they are and
  // unchanged, so they never stand for another text.
  struct WrittenText {
    const QChar* chars = nullptr;
    qsizetype size = 0;
    qsizetype at = 0;
    QString copy;
  };
  std::array<WrittenText, 512> writtenTexts_;
};

// The German sentence for a file that could not be written because a text holds a character
// the file cannot take.
QString UnstorableTextMessage();

// The first character a Text field cannot hold (a double quote, a line break, or a character
// outside Windows-1252), if any.
[[nodiscard]] std::optional<QChar> FirstCharFileCannotHold(QStringView text);
