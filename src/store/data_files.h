// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <QStringList>
#include <array>
#include <optional>

#include "store/encoded_table.h"
#include "store/tables.h"

enum class DataFile { Persons, Categories, Entries };

// "lv_personen.txt", "lv_kategorien.txt", "lv_items.txt"
QString FileName(DataFile file);
// The full path in the current working directory, formed anew at every call.
QString FilePath(DataFile file);
// The bytes a missing file is created with.
QByteArray DefaultFileBytes(DataFile file);

// Parses the bytes of a data file into the table, never beyond its capacity; the damage found,
// in German, if any (what could be read is in the table all the same).
std::optional<QString> ParseTableBytes(const QByteArray& bytes, PersonTable& table);
std::optional<QString> ParseTableBytes(const QByteArray& bytes, CategoryTable& table);
std::optional<QString> ParseTableBytes(const QByteArray& bytes, EntryTable& table);

// The three shared tables and the only code that reads and writes their files.
// Every operation that can fail returns a German message for the user that names the file;
// nothing means success.
class Store {
 public:
  PersonTable persons;
  CategoryTable categories;
  EntryTable entries;

  // Creates the file with its default records when no file of exactly that name is in the
  // working directory; a present file is never touched.
  std::optional<QString> EnsureDataFile(DataFile file);

  std::optional<QString> ReadPersonFile();
  std::optional<QString> ReadCategoryFile();
  std::optional<QString> ReadEntryFile();

  // Rewrite the file whole from the table. Refused while the file could not be read, so a
  // half-known table never replaces what is on disk; a damaged original is kept beside the
  // file before its first rewrite.
  std::optional<QString> WritePersonFile();
  std::optional<QString> WriteCategoryFile();
  std::optional<QString> WriteEntryFile();

  // Ensures and reads the three files in the order persons, categories, entries.
  QStringList LoadData();

  bool WasUnreadable(DataFile file) const { return State(file).unreadable; }
  // Where the damaged original of the file is kept (or will be, at its next rewrite).
  QString BackupName(DataFile file) const { return State(file).backupName; }

 private:
  struct FileState {
    bool unreadable = false;
    bool keepOriginal = false;
    QString backupName;
    qsizetype knownSize = 0;  // of the file as last read or written
  };
  FileState& State(DataFile file) { return states_[static_cast<int>(file)]; }
  const FileState& State(DataFile file) const { return states_[static_cast<int>(file)]; }

  template <typename TableT>
  std::optional<QString> ReadTable(DataFile file, TableT& table);
  template <typename TableT>
  std::optional<QString> WriteTable(DataFile file, const TableT& table);
  std::optional<QString> KeepDamagedOriginal(DataFile file);

  std::array<FileState, 3> states_;
  // The entries file's bytes as last written, for the next rewrite.
  EncodedTable encodedEntries_;
};
