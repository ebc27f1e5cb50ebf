// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QDir>
#include <QString>
#include <QStringList>
#include <array>
#include <optional>

#include "store/atomic_file.h"
#include "store/daily_backup.h"
#include "store/data_files.h"
#include "store/encoded_table.h"
#include "store/tables.h"
#include "store/whole_file.h"

// Removes, from `folder`, the temporary files the writer left there for the data files and
// their backups when a program was killed in the middle of a rewrite (never told as saved).
// Only regular files of exactly the writer's temporary names are removed. To be called only
// while holding the folder's lock.
void RemoveLeftTemporaryFiles(const QString& folder);

// The three shared tables and the only code that reads and writes their files, which are kept in
// one folder. Every operation that can fail returns a German message for the user that names the
// file; nothing means success.
class Store {
 public:
  // The files are kept in `folder` and every file is written through `writer`.
  explicit Store(const QString& folder, FileWriter& writer = RealFileWriter())
      : folder_(folder), writer_(&writer), backup_(folder, writer) {}
  void UseWriter(FileWriter& writer) {
    writer_ = &writer;
    backup_.UseWriter(writer);
  }
  // The day's backup, made before the first rewrite of a data file each day.
  DailyBackup& Backups() { return backup_; }

  // The folder the files are kept in, and the full path of one of them.
  QString Folder() const { return folder_.path(); }
  QString Path(DataFile file) const { return folder_.filePath(FileName(file)); }

  PersonTable persons;
  CategoryTable categories;
  EntryTable entries;

  // Creates the file with its default records when nothing of exactly that name (a file, a
  // folder, a link, even a dangling one) is in the folder; what is present is never touched.
  [[nodiscard]] std::optional<QString> EnsureDataFile(DataFile file);

  [[nodiscard]] std::optional<QString> ReadPersonFile();
  [[nodiscard]] std::optional<QString> ReadCategoryFile();
  [[nodiscard]] std::optional<QString> ReadEntryFile();

  // Rewrite the file whole from the table. Refused while the file could not be read, so a
  // half-known table never replaces what is on disk; a damaged original is kept beside the
  // file before its first rewrite.
  [[nodiscard]] std::optional<QString> WritePersonFile();
  [[nodiscard]] std::optional<QString> WriteCategoryFile();
  [[nodiscard]] std::optional<QString> WriteEntryFile();
  // Keeps a copy of the entries as last read, so that the next rewrite takes the bytes read for
  // every row left as it was instead of encoding it. Called while the rows are still those read:
  // once the window stands after loading, and before the entries table is changed for a
  // rewrite. Nothing after a rewrite or once kept. (Without it, the rewrite encodes every row.)
  void KeepEntriesAsRead();

  // Ensures and reads the three files in the order persons, categories, entries.
  [[nodiscard]] QStringList LoadData();

  // Whether another program has changed the file since this store last read or wrote it, and if
  // so, the file read again into its table. To be called right before a change to the table
  // that is then written, so the change is made on what the file holds now.
  struct Reread {
    // The file held other records than the table: the table now holds the file's records (as
    // far as they can be read; a damaged file is kept before its next rewrite as on loading).
    bool changed = false;
    // Damage found in the file, or why it could no longer be read (then the table stays as it
    // was and the file is not rewritten in this run), in German.
    std::optional<QString> problem;
  };
  [[nodiscard]] Reread RereadIfChangedOutside(DataFile file);

  bool WasUnreadable(DataFile file) const { return State(file).unreadable; }
  // Where the damaged original of the file is kept (or will be, at its next rewrite).
  QString BackupName(DataFile file) const { return State(file).backupName; }

 private:
  struct FileState {
    bool unreadable = false;
    bool keepOriginal = false;
    QString backupName;
    qsizetype knownSize = 0;  // of the file as last read or written
    FileStamp stamp;          // of the file as last read or written
    // The bytes of the small files as last read or written; the entries file is compared by
    // its stamp only, since reading it costs as much as a rewrite.
    QByteArray knownBytes;
  };
  FileState& State(DataFile file) { return states_[static_cast<int>(file)]; }
  const FileState& State(DataFile file) const { return states_[static_cast<int>(file)]; }

  template <typename TableT>
  std::optional<QString> ReadTable(DataFile file, TableT& table);
  template <typename TableT>
  [[nodiscard]] Reread ReadTableAgain(DataFile file, TableT& table);
  template <typename TableT>
  std::optional<QString> Adopt(DataFile file, const TableT& table, QByteArray bytes,
                               FileStamp stamp, const LoadReport& report,
                               LoadedRecords* records = nullptr);
  template <typename TableT>
  LoadReport Parse(const QByteArray& bytes, TableT& table, LoadedRecords& records);
  template <typename TableT>
  std::optional<QString> WriteTable(DataFile file, const TableT& table);
  std::optional<QString> KeepDamagedOriginal(DataFile file);
  std::optional<QString> Unreadable(DataFile file, const QString& reason);
  void NoteWritten(DataFile file, QByteArrayView bytes);

  QDir folder_;
  FileWriter* writer_;
  std::array<FileState, 3> states_;
  // The entries file's bytes as last written, for the next rewrite.
  EncodedTable encodedEntries_;
  DailyBackup backup_;
};
