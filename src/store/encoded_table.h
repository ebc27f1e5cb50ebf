// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <optional>
#include <vector>

#include "store/data_files.h"
#include "store/tables.h"

// The bytes of the entries file as its last rewrite made them, kept with a copy of the rows
// they were made from, so the next rewrite encodes only the rows that changed: a save changes
// one row, a delete removes one, and the other 49,999 are copied as they were.
//
// A row counts as unchanged when each of its cells is of the same kind and holds the same
// number, the same day or the very same text (the same characters in memory). The copy keeps a
// reference to every text, so those characters stay alive and unchanged and can never stand
// for another text; anything else is encoded anew. The result is always byte for byte what
// encoding all rows gives.
class EncodedTable {
 public:
  // The file's bytes for `rows` (the count line, then a line per row), valid until the next
  // call; nothing when a field cannot be stored (the kept state stays as it was). `sizeHint` is
  // about the size the file had, so a first encoding makes room for it at once.
  std::optional<QByteArrayView> Encode(const std::vector<EntryRow>& rows, qsizetype sizeHint = 0);
  // Forgets the kept rows (after the table was read anew, nothing is shared anyway); the next
  // encoding encodes every row, into `spare` if it has more room than the memory kept (memory in
  // use costs less than fresh memory).
  void Clear(QByteArray spare = QByteArray());
  // Takes the bytes of the file just read into `rows` as the encoding of the rows they hold in
  // the written form, once KeepRows is given the rows as read; until then the next rewrite
  // encodes every row. Nothing is kept when the records do not fit the rows.
  void Adopt(QByteArray bytes, const std::vector<EntryRow>& rows, LoadedRecords records);
  // Copies the rows the adopted bytes were read into, or that the last rewrite encoded whole, so
  // the next rewrite encodes only the rows that differ from them; `rows` must still be those
  // rows. Nothing once a later rewrite or a Clear came after them.
  void KeepRows(const std::vector<EntryRow>& rows);
  // The bytes of the last encoding did not reach the file: rows encoded whole and not yet copied
  // are forgotten, so the next rewrite encodes every row.
  void NotWritten();
  // The room a rewrite wants in memory after a file of `size` bytes, so that bytes read with it
  // serve a rewrite without being moved.
  static qint64 RoomAfter(qint64 size);

 private:
  std::optional<QByteArrayView> EncodeAll(const std::vector<EntryRow>& rows, qsizetype sizeHint);

  bool valid_ = false;
  // Adopted bytes whose rows are not copied yet, and which of them stand in the written form.
  bool pending_ = false;
  std::vector<bool> writtenForm_;
  QByteArray bytes_;  // its size is the room; the first size_ bytes are the file
  qsizetype size_ = 0;
  // Where each kept row starts in bytes_, and the end of the file after the last.
  std::vector<qsizetype> starts_;
  std::vector<EntryRow> rows_;
  QByteArray changed_;  // room for the encoding of the changed rows
  QByteArray tail_;     // room for the second half of a table encoded whole
};
