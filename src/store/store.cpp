// SPDX-License-Identifier: GPL-3.0-or-later
#include "store/store.h"

#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>
#include <QScopeGuard>

#if defined(Q_OS_UNIX)
#include <sys/stat.h>
#endif

#include "store/entry_index.h"
#include "store/load_report.h"
#include "store/record_writer.h"

namespace {

// The entries file is read with room for its next rewrite, which then writes into the same
// memory.
qint64 (*RoomAfter(DataFile file))(qint64) {
  return file == DataFile::Entries ? &EncodedTable::RoomAfter : nullptr;
}

template <typename TableT>
bool SameRecords(const TableT& a, const TableT& b) {
  if (a.Count() != b.Count()) return false;
  for (int i = 1; i <= a.Count(); ++i) {
    for (std::size_t f = 0; f < a.Row(i).fields.size(); ++f) {
      const Value& x = a.Row(i).fields[f];
      const Value& y = b.Row(i).fields[f];
      if (x.Kind() != y.Kind() || !(x == y)) return false;
    }
  }
  return true;
}

// Whether anything, even a dangling link, holds the name.
bool NameIsHeld(const QString& path) {
#if defined(Q_OS_UNIX)
  struct stat st {};
  return ::lstat(QFile::encodeName(path).constData(), &st) == 0 || errno != ENOENT;
#else
  const QFileInfo info(path);
  return info.exists() || info.isSymLink();
#endif
}

bool IsRegularFile(const QString& path) {
#if defined(Q_OS_UNIX)
  struct stat st {};
  return ::lstat(QFile::encodeName(path).constData(), &st) == 0 && S_ISREG(st.st_mode);
#else
  const QFileInfo info(path);
  return info.isFile() && !info.isSymLink();
#endif
}

QString FreeBackupName(const QDir& folder, const QString& fileName) {
  const QString base = fileName + QStringLiteral(".beschaedigt");
  QString candidate = base;
  for (int n = 2; NameIsHeld(folder.filePath(candidate)); ++n) {
    candidate = base + QStringLiteral("-%1").arg(n);
  }
  return candidate;
}

}  // namespace

void RemoveLeftTemporaryFiles(const QString& folder) {
  const QDir dir(folder);
  QStringList owners;
  for (const DataFile file : {DataFile::Persons, DataFile::Categories, DataFile::Entries}) {
    owners << QRegularExpression::escape(FileName(file));
  }
  // A data file or a backup of one.
  const QRegularExpression owner(
      QStringLiteral("^(%1)(\\.beschaedigt(-[0-9]+)?)?$").arg(owners.join(u'|')));
  constexpr qsizetype kSuffix = 11;  // ".tmp-" and six letters
  for (const QString& name : dir.entryList(QDir::Files | QDir::Hidden | QDir::System)) {
    if (name.size() <= kSuffix) continue;
    const QString ownerName = name.chopped(kSuffix);
    if (IsTemporaryNameOf(name, ownerName) && owner.match(ownerName).hasMatch() &&
        IsRegularFile(dir.filePath(name))) {
      QFile::remove(dir.filePath(name));
    }
  }
}

std::optional<QString> Store::EnsureDataFile(DataFile file) {
  const QString name = FileName(file);
  const QStringList present =
      folder_.entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
  for (const QString& listed : present) {
    if (listed == name) return std::nullopt;
  }
  if (auto failure = writer_->Create(Path(file), DefaultFileBytes(file))) {
    State(file).unreadable = true;
    return QStringLiteral("Die Datei %1 konnte nicht angelegt werden. %2")
        .arg(QuotedName(name), *failure);
  }
  return std::nullopt;
}

std::optional<QString> Store::Unreadable(DataFile file, const QString& reason) {
  State(file).unreadable = true;
  return QStringLiteral(
             "Die Datei %1 kann nicht gelesen werden (%2). Änderungen, die sie betreffen, "
             "werden nicht gespeichert, bis sie wieder lesbar ist.")
      .arg(QuotedFileName(file), reason);
}

template <typename TableT>
std::optional<QString> Store::ReadTable(DataFile file, TableT& table) {
  QString reason;
  FileStamp stamp;
  std::optional<QByteArray> bytes =
      ReadWholeFile(Path(file), LargestFileBytes(file), &reason, &stamp, RoomAfter(file));
  if (!bytes) {
    table.rows.clear();
    if constexpr (std::is_same_v<TableT, EntryTable>) encodedEntries_.Clear();
    return Unreadable(file, reason);
  }
  LoadedRecords records;
  const LoadReport report = Parse(*bytes, table, records);
  return Adopt(file, table, std::move(*bytes), stamp, report, &records);
}

// The entries file's records are noted where they stand, so their bytes serve the next rewrite.
template <typename TableT>
LoadReport Store::Parse(const QByteArray& bytes, TableT& table, LoadedRecords& records) {
  if constexpr (std::is_same_v<TableT, EntryTable>) {
    return ParseTableBytes(bytes, table, &records);
  } else {
    return ParseTableBytes(bytes, table);
  }
}

// The table has been parsed from `bytes`, the file as it was read: the file's state follows.
template <typename TableT>
std::optional<QString> Store::Adopt(DataFile file, const TableT& table, QByteArray bytes,
                                    FileStamp stamp, const LoadReport& report,
                                    LoadedRecords* records) {
  const bool damaged = report.Damaged();
  FileState& s = State(file);
  s.unreadable = false;
  s.knownSize = bytes.size();
  s.stamp = stamp;
  if constexpr (std::is_same_v<TableT, EntryTable>) {
    // The bytes of an undamaged file are the encoding of its rows in the written form; else the
    // rows read share nothing with the ones kept, and the file's memory serves the next rewrite.
    if (!damaged && records) {
      encodedEntries_.Adopt(std::move(bytes), table.rows, std::move(*records));
    } else {
      encodedEntries_.Clear(std::move(bytes));
    }
  } else {
    s.knownBytes = std::move(bytes);
  }
  if (!damaged) {
    // A damaged original read before is no longer on disk; there is nothing left to keep.
    s.keepOriginal = false;
  } else if (!s.keepOriginal) {
    s.keepOriginal = true;
    s.backupName = FreeBackupName(folder_, FileName(file));
  }
  return report.Message(file, s.backupName);
}

// Whether the file changed is decided by its content for the small files, which are read
// whole every time, and by its stamp for the entries file. The stamp holds size, inode and both
// time stamps in nanoseconds: a rewrite by renaming a new file over it gives another inode, a
// rewrite in place moves the change time, which no program can set back. What goes unnoticed is
// a rewrite in place that keeps the size and falls within the same tick of the file system's
// clock (a few milliseconds) as the last read or write of this store, and a change in the few
// microseconds between this store's rename and its look at the result.
template <typename TableT>
Store::Reread Store::ReadTableAgain(DataFile file, TableT& table) {
  FileState& s = State(file);
  // A file that could not be read stays as it is for the rest of the run.
  if (s.unreadable) return {};
  const QString path = Path(file);
  const bool small = file != DataFile::Entries;
  const FileStamp now = StampOfPath(path);
  // A file that vanished is written anew from the table at the next rewrite: nothing is lost.
  if (!now.exists) return {};
  if (!small && now == s.stamp) return {};

  QString reason;
  FileStamp stamp;
  std::optional<QByteArray> bytes =
      ReadWholeFile(path, LargestFileBytes(file), &reason, &stamp, RoomAfter(file));
  if (!bytes) {
    if (!StampOfPath(path).exists) return {};
    return {false, Unreadable(file, reason)};
  }
  if (small && *bytes == s.knownBytes) {
    s.stamp = stamp;
    return {};
  }
  TableT parsed;
  LoadedRecords records;
  const LoadReport report = Parse(*bytes, parsed, records);
  if (!report.Damaged() && SameRecords(parsed, table)) {
    // Touched or written in another form, but holding the same records.
    s.stamp = stamp;
    if (small) s.knownBytes = std::move(*bytes);
    return {};
  }
  table = std::move(parsed);
  Reread out;
  out.changed = true;
  out.problem = Adopt(file, table, std::move(*bytes), stamp, report, &records);
  return out;
}

Store::Reread Store::RereadIfChangedOutside(DataFile file) {
  switch (file) {
    case DataFile::Persons:
      return ReadTableAgain(file, persons);
    case DataFile::Categories:
      return ReadTableAgain(file, categories);
    case DataFile::Entries:
      return ReadTableAgain(file, entries);
  }
  return {};
}

std::optional<QString> Store::KeepDamagedOriginal(DataFile file) {
  FileState& s = State(file);
  if (!s.keepOriginal) return std::nullopt;
  // An existing backup is never overwritten, and a link of that name never followed: whatever
  // took the name since it was chosen, the original goes to a name nothing holds.
  if (NameIsHeld(folder_.filePath(s.backupName))) {
    s.backupName = FreeBackupName(folder_, FileName(file));
  }
  {
    // Written like a data file, so a full disk never leaves half a backup behind.
    QString reason;
    const std::optional<QByteArray> original =
        ReadWholeFile(Path(file), LargestFileBytes(file), &reason);
    const bool gone = !original && !NameIsHeld(Path(file));
    if (!gone && (!original || writer_->Create(folder_.filePath(s.backupName), *original))) {
      return QStringLiteral(
                 "Das Original der beschädigten Datei %1 konnte nicht als %2 gesichert werden; "
                 "die Datei wird deshalb nicht überschrieben.")
          .arg(QuotedFileName(file), QuotedName(s.backupName));
    }
  }
  s.keepOriginal = false;
  return std::nullopt;
}

void Store::NoteWritten(DataFile file, QByteArrayView bytes) {
  FileState& s = State(file);
  s.knownSize = bytes.size();
  s.stamp = StampOfPath(Path(file));
  if (file != DataFile::Entries) s.knownBytes = bytes.toByteArray();
}

template <typename TableT>
std::optional<QString> Store::WriteTable(DataFile file, const TableT& table) {
  const QString name = FileName(file);
  if (State(file).unreadable) {
    return QStringLiteral(
               "Die Datei %1 konnte nicht gelesen werden und wird deshalb nicht überschrieben. "
               "Die Änderung wurde nicht gespeichert.")
        .arg(QuotedName(name));
  }
  // Before the first change of the day, the files as they are now are copied away; the backups
  // no longer kept are removed meanwhile, and gone once this write is done.
  backup_.BeforeChange();
  const auto removed = qScopeGuard([this] { backup_.AfterChange(); });
  if (auto refused = KeepDamagedOriginal(file)) return refused;
  std::optional<QString> failure;
  const QString path = Path(file);
  // The bytes are checked before they replace the file: texts it cannot hold, and a size past
  // the largest file the program reads again.
  const auto replace = [&](std::optional<QByteArrayView> bytes) -> std::optional<QString> {
    if (!bytes) return UnstorableTextMessage();
    if (bytes->size() > LargestFileBytes(file)) {
      return QStringLiteral(
                 "Sie würde größer als die größte Datei dieser Art, die Lumivera liest (%1 MiB); "
                 "bitte kürzen Sie lange Texte.")
          .arg(LargestFileBytes(file) / (1024 * 1024));
    }
    if (auto failed = writer_->Replace(path, *bytes)) return failed;
    NoteWritten(file, *bytes);
    return std::nullopt;
  };
  if constexpr (std::is_same_v<TableT, EntryTable>) {
    // The entries file is large: only the rows that changed since the last rewrite are encoded.
    failure = replace(encodedEntries_.Encode(table.rows, State(file).knownSize));
    if (failure) encodedEntries_.NotWritten();
  } else {
    RecordWriter writer;
    writer.WriteRecord({Value(table.Count())});
    for (const auto& row : table.rows) writer.WriteRecord(row.fields);
    failure =
        replace(writer.Storable() ? std::optional<QByteArrayView>(writer.View()) : std::nullopt);
  }
  if (failure) {
    return QStringLiteral(
               "Die Datei %1 konnte nicht gespeichert werden. %2 Die Änderung wurde nicht "
               "übernommen.")
        .arg(QuotedName(name), *failure);
  }
  return std::nullopt;
}

std::optional<QString> Store::ReadPersonFile() {
  return ReadTable(DataFile::Persons, persons);
}
std::optional<QString> Store::ReadCategoryFile() {
  return ReadTable(DataFile::Categories, categories);
}
std::optional<QString> Store::ReadEntryFile() {
  std::optional<QString> problem = ReadTable(DataFile::Entries, entries);
  // The rows were read into the table's memory, perhaps as many as before: indexed anew, while
  // loading, so the first view asked finds the index made.
  entries.Changed();
  entries.Index();
  return problem;
}
void Store::KeepEntriesAsRead() {
  encodedEntries_.KeepRows(entries.rows);
}
std::optional<QString> Store::WritePersonFile() {
  return WriteTable(DataFile::Persons, persons);
}
std::optional<QString> Store::WriteCategoryFile() {
  return WriteTable(DataFile::Categories, categories);
}
std::optional<QString> Store::WriteEntryFile() {
  return WriteTable(DataFile::Entries, entries);
}

QStringList Store::LoadData() {
  QStringList messages;
  const auto load = [&](DataFile file, auto read) {
    if (auto failed = EnsureDataFile(file)) {
      messages << *failed;
      return;
    }
    if (auto problem = (this->*read)()) messages << *problem;
  };
  load(DataFile::Persons, &Store::ReadPersonFile);
  load(DataFile::Categories, &Store::ReadCategoryFile);
  load(DataFile::Entries, &Store::ReadEntryFile);
  return messages;
}
