// SPDX-License-Identifier: GPL-3.0-or-later
#include "store/data_files.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <cmath>

#if defined(Q_OS_UNIX)
#include <sys/stat.h>
#endif

#include "store/record_file.h"

namespace {

const char16_t* const kDefaultPairs[][2] = {
    {u"persönliches", u"Gewicht"},
    {u"persönliches", u"wohlbefinden"},
    {u"Ausgaben", u"Einkauf"},
    {u"Ausgaben", u"Auto"},
    {u"Ausgaben", u"Tanken"},
    {u"Ausgaben", u"Zigaretten"},
    {u"Ausgaben", u"Feiern"},
    {u"Ausgaben", u"Handy"},
    {u"Sport", u"Joggen"},
    {u"Sport", u"Fußball"},
    {u"Sport", u"Move"},
    {u"Sport", u"Stepper"},
    {u"Sport", u"Walken"},
    {u"Sport", u"Fitness"},
    {u"Sport", u"Fahrrad"},
    {u"Essen/Trinken", u"Chips"},
    {u"Essen/Trinken", u"Schokolade"},
    {u"Essen/Trinken", u"Obst"},
    {u"Essen/Trinken", u"Pommes"},
    {u"Essen/Trinken", u"Burger"},
    {u"Essen/Trinken", u"Pasta"},
    {u"Essen/Trinken", u"Pizza"},
};

QString Quoted(const QString& name) {
  return QStringLiteral("„%1“").arg(name);
}

#if defined(Q_OS_UNIX)
FileStamp StampOf(const struct stat& st) {
  FileStamp stamp;
  stamp.exists = true;
  stamp.size = static_cast<qint64>(st.st_size);
  stamp.modifiedNs = static_cast<qint64>(st.st_mtim.tv_sec) * 1'000'000'000 + st.st_mtim.tv_nsec;
  stamp.changedNs = static_cast<qint64>(st.st_ctim.tv_sec) * 1'000'000'000 + st.st_ctim.tv_nsec;
  stamp.inode = static_cast<quint64>(st.st_ino);
  stamp.device = static_cast<quint64>(st.st_dev);
  return stamp;
}
#endif

// The stamp of the file at `path`; `exists` is false when there is nothing of that name.
FileStamp StampOfPath(const QString& path) {
#if defined(Q_OS_UNIX)
  struct stat st {};
  if (::stat(QFile::encodeName(path).constData(), &st) != 0) return {};
  return StampOf(st);
#else
  const QFileInfo info(path);
  if (!info.exists()) return {};
  FileStamp stamp;
  stamp.exists = true;
  stamp.size = info.size();
  stamp.modifiedNs = info.lastModified().toMSecsSinceEpoch() * 1'000'000;
  return stamp;
#endif
}

// The whole file, and in `stamp` what it looked like when it was opened: a change while it is
// read moves its time stamps past that, so the next look notices it.
std::optional<QByteArray> ReadWholeFile(const QString& path, QString* reason,
                                        FileStamp* stamp = nullptr) {
  if (QFileInfo(path).isDir()) {
    *reason = QStringLiteral("an ihrer Stelle steht ein Ordner");
    return std::nullopt;
  }
  QFile file(path);
  if (!file.open(QIODevice::ReadOnly)) {
    *reason = file.exists() ? file.errorString() : QStringLiteral("sie fehlt");
    return std::nullopt;
  }
  if (stamp) {
#if defined(Q_OS_UNIX)
    struct stat st {};
    *stamp = ::fstat(file.handle(), &st) == 0 ? StampOf(st) : FileStamp();
#else
    *stamp = StampOfPath(path);
#endif
  }
  QByteArray bytes = file.readAll();
  if (file.error() != QFileDevice::NoError) {
    *reason = file.errorString();
    return std::nullopt;
  }
  return bytes;
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

QString FreeBackupName(const QString& fileName) {
  const QString base = fileName + QStringLiteral(".beschaedigt");
  QString candidate = base;
  for (int n = 2; QFileInfo::exists(QDir::current().filePath(candidate)); ++n) {
    candidate = base + QStringLiteral("-%1").arg(n);
  }
  return candidate;
}

}  // namespace

QString QuotedFileName(DataFile file) {
  return Quoted(FileName(file));
}

QString FileName(DataFile file) {
  switch (file) {
    case DataFile::Persons:
      return QStringLiteral("lv_personen.txt");
    case DataFile::Categories:
      return QStringLiteral("lv_kategorien.txt");
    case DataFile::Entries:
      return QStringLiteral("lv_items.txt");
  }
  return {};
}

QString FilePath(DataFile file) {
  return QDir::current().filePath(FileName(file));
}

QByteArray DefaultFileBytes(DataFile file) {
  RecordWriter writer;
  switch (file) {
    case DataFile::Persons:
      writer.WriteRecord({Value(1)});
      writer.WriteRecord({Value(QStringLiteral("Haushalt"))});
      break;
    case DataFile::Categories:
      writer.WriteRecord({Value(static_cast<int>(std::size(kDefaultPairs)))});
      for (const auto& pair : kDefaultPairs) {
        writer.WriteRecord(
            {Value(QString::fromUtf16(pair[0])), Value(QString::fromUtf16(pair[1]))});
      }
      break;
    case DataFile::Entries:
      writer.WriteRecord({Value(0)});
      break;
  }
  return *writer.Bytes();
}

namespace {
constexpr qint64 kRoomToGrow = 256;

template <typename TableT>
std::optional<QString> ParseTable(const QByteArray& bytes, TableT& table) {
  RecordReader reader = RecordReader::FromBytes(bytes);
  std::optional<QString> damage;
  Value count;
  reader.ReadRecord(std::span<Value>(&count, 1));
  const double n = count.Number();
  const bool countValid =
      count.IsNumber() && n >= 0 && n < 1e15 && n == std::trunc(n) && !reader.Problem();
  if (!countValid) damage = QStringLiteral("die erste Zeile enthält keine gültige Anzahl");
  const qint64 expected = countValid ? static_cast<qint64>(n) : -1;

  table.rows.clear();
  // Room for the rows and a few hundred more: a large table does not move all its rows when the
  // first entry is added.
  table.rows.reserve(static_cast<std::size_t>(
      std::min<qint64>((expected >= 0 ? expected : 0) + kRoomToGrow, TableT::kCapacity)));
  while (expected < 0 || table.Count() < expected) {
    if (reader.AtEnd() || (expected < 0 && reader.OnlyBlankLeft())) {
      if (expected >= 0) {
        damage = QStringLiteral("sie enthält nur %1 von %2 Datensätzen")
                     .arg(table.Count())
                     .arg(expected);
      }
      break;
    }
    if (table.Full()) {
      damage = QStringLiteral("sie enthält mehr als die höchstens %1 möglichen Datensätze")
                   .arg(TableT::kCapacity);
      break;
    }
    reader.ReadRecord(table.rows.emplace_back().fields);
  }
  if (!damage && reader.Problem()) damage = *reader.Problem();
  if (!damage && !reader.OnlyBlankLeft()) {
    damage = QStringLiteral("nach dem letzten Datensatz folgen weitere Zeilen");
  }
  return damage;
}
}  // namespace

std::optional<QString> ParseTableBytes(const QByteArray& bytes, PersonTable& table) {
  return ParseTable(bytes, table);
}
std::optional<QString> ParseTableBytes(const QByteArray& bytes, CategoryTable& table) {
  return ParseTable(bytes, table);
}
std::optional<QString> ParseTableBytes(const QByteArray& bytes, EntryTable& table) {
  return ParseTable(bytes, table);
}

std::optional<QString> Store::EnsureDataFile(DataFile file) {
  const QString name = FileName(file);
  const QStringList present =
      QDir::current().entryList(QDir::Files | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
  for (const QString& listed : present) {
    if (listed == name) return std::nullopt;
  }
  if (auto failure = writer_->Replace(FilePath(file), DefaultFileBytes(file))) {
    State(file).unreadable = true;
    return QStringLiteral("Die Datei %1 konnte nicht angelegt werden. %2")
        .arg(Quoted(name), *failure);
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
  std::optional<QByteArray> bytes = ReadWholeFile(FilePath(file), &reason, &stamp);
  if (!bytes) {
    table.rows.clear();
    if constexpr (std::is_same_v<TableT, EntryTable>) encodedEntries_.Clear();
    return Unreadable(file, reason);
  }
  std::optional<QString> damage = ParseTableBytes(*bytes, table);
  return Adopt(file, table, std::move(*bytes), stamp, std::move(damage));
}

// The table has been parsed from `bytes`, the file as it was read: the file's state follows.
template <typename TableT>
std::optional<QString> Store::Adopt(DataFile file, const TableT& table, QByteArray bytes,
                                    FileStamp stamp, std::optional<QString> damage) {
  FileState& s = State(file);
  s.unreadable = false;
  s.knownSize = bytes.size();
  s.stamp = stamp;
  if constexpr (std::is_same_v<TableT, EntryTable>) {
    // The rows read share nothing with the ones kept; the file's memory serves the next rewrite.
    encodedEntries_.Clear(std::move(bytes));
  } else {
    s.knownBytes = std::move(bytes);
  }
  if (!damage) {
    // A damaged original read before is no longer on disk; there is nothing left to keep.
    s.keepOriginal = false;
    return std::nullopt;
  }
  if (!s.keepOriginal) {
    s.keepOriginal = true;
    s.backupName = FreeBackupName(FileName(file));
  }
  return QStringLiteral(
             "Die Datei %1 ist beschädigt: %2. Geladen wurden %3 Datensätze. Vor der nächsten "
             "Änderung wird das Original als %4 aufbewahrt.")
      .arg(QuotedFileName(file), *damage)
      .arg(table.Count())
      .arg(Quoted(s.backupName));
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
  const QString path = FilePath(file);
  const bool small = file != DataFile::Entries;
  const FileStamp now = StampOfPath(path);
  // A file that vanished is written anew from the table at the next rewrite: nothing is lost.
  if (!now.exists) return {};
  if (!small && now == s.stamp) return {};

  QString reason;
  FileStamp stamp;
  std::optional<QByteArray> bytes = ReadWholeFile(path, &reason, &stamp);
  if (!bytes) {
    if (!StampOfPath(path).exists) return {};
    return {false, Unreadable(file, reason)};
  }
  if (small && *bytes == s.knownBytes) {
    s.stamp = stamp;
    return {};
  }
  TableT parsed;
  std::optional<QString> damage = ParseTableBytes(*bytes, parsed);
  if (!damage && SameRecords(parsed, table)) {
    // Touched or written in another form, but holding the same records.
    s.stamp = stamp;
    if (small) s.knownBytes = std::move(*bytes);
    return {};
  }
  table = std::move(parsed);
  Reread out;
  out.changed = true;
  out.problem = Adopt(file, table, std::move(*bytes), stamp, std::move(damage));
  return out;
}

Store::Reread Store::ReadAgainIfChanged(DataFile file) {
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
  const QString backup = QDir::current().filePath(s.backupName);
  if (!QFileInfo::exists(backup)) {
    // Written like a data file, so a full disk never leaves half a backup behind.
    QString reason;
    const std::optional<QByteArray> original = ReadWholeFile(FilePath(file), &reason);
    const bool gone = !original && !QFileInfo::exists(FilePath(file));
    if (!gone && (!original || writer_->Replace(backup, *original))) {
      return QStringLiteral(
                 "Das Original der beschädigten Datei %1 konnte nicht als %2 gesichert werden; "
                 "die Datei wird deshalb nicht überschrieben.")
          .arg(QuotedFileName(file), Quoted(s.backupName));
    }
  }
  s.keepOriginal = false;
  return std::nullopt;
}

void Store::NoteWritten(DataFile file, QByteArrayView bytes) {
  FileState& s = State(file);
  s.knownSize = bytes.size();
  s.stamp = StampOfPath(FilePath(file));
  if (file != DataFile::Entries) s.knownBytes = bytes.toByteArray();
}

template <typename TableT>
std::optional<QString> Store::WriteTable(DataFile file, const TableT& table) {
  const QString name = FileName(file);
  if (State(file).unreadable) {
    return QStringLiteral(
               "Die Datei %1 konnte nicht gelesen werden und wird deshalb nicht überschrieben. "
               "Die Änderung wurde nicht gespeichert.")
        .arg(Quoted(name));
  }
  if (auto refused = KeepDamagedOriginal(file)) return refused;
  std::optional<QString> failure;
  const QString path = FilePath(file);
  if constexpr (std::is_same_v<TableT, EntryTable>) {
    // The entries file is large: only the rows that changed since the last rewrite are encoded.
    const std::optional<QByteArrayView> bytes =
        encodedEntries_.Encode(table.rows, State(file).knownSize);
    failure =
        bytes ? writer_->Replace(path, *bytes) : std::optional<QString>(UnstorableTextMessage());
    if (!failure) NoteWritten(file, *bytes);
  } else {
    RecordWriter writer;
    writer.WriteRecord({Value(table.Count())});
    for (const auto& row : table.rows) writer.WriteRecord(row.fields);
    failure = writer.Storable() ? writer_->Replace(path, writer.View())
                                : std::optional<QString>(UnstorableTextMessage());
    if (!failure) NoteWritten(file, writer.View());
  }
  if (failure) {
    return QStringLiteral(
               "Die Datei %1 konnte nicht gespeichert werden. %2 Die Änderung wurde nicht "
               "übernommen.")
        .arg(Quoted(name), *failure);
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
  return ReadTable(DataFile::Entries, entries);
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
