// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <optional>
#include <vector>

#include "store/tables.h"

class LoadReport;

enum class DataFile { Persons, Categories, Entries };

// "lv_personen.txt", "lv_kategorien.txt", "lv_items.txt"
QString FileName(DataFile file);
// The file's name in German quotation marks, as the messages name it: „lv_items.txt“.
QString QuotedFileName(DataFile file);
// A name in German quotation marks, as the messages quote names: „lv_items.txt.beschaedigt“.
QString QuotedName(const QString& name);
// The largest file of this kind the program reads or writes: its capacity in rows, each with
// room for texts far longer than anyone types (persons 1 MiB, 10 KiB a name; categories 4 MiB,
// 2 KiB a pair; entries 64 MiB, 1.3 KiB a row). A larger file is refused before it is read, so
// memory at start stays bounded; a change that would make a file larger is refused.
qint64 LargestFileBytes(DataFile file);
// The bytes a missing file is created with.
QByteArray DefaultFileBytes(DataFile file);

// Parses the bytes of a data file into the table, never beyond its capacity, and says what it met
// (what could be read is in the table all the same).
[[nodiscard]] LoadReport ParseTableBytes(const QByteArray& bytes, PersonTable& table);
[[nodiscard]] LoadReport ParseTableBytes(const QByteArray& bytes, CategoryTable& table);
// Where each record read starts in the bytes (and, last, where the one after the last would),
// and whether it stands there exactly as the writer writes its cells.
struct LoadedRecords {
  std::vector<qsizetype> starts;
  std::vector<bool> writtenForm;
};
[[nodiscard]] LoadReport ParseTableBytes(const QByteArray& bytes, EntryTable& table,
                                         LoadedRecords* records = nullptr);
