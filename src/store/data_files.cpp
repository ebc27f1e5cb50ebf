// SPDX-License-Identifier: GPL-3.0-or-later
#include "store/data_files.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <cmath>

#include "store/atomic_file.h"
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

std::optional<QByteArray> ReadWholeFile(const QString& path, QString* reason) {
  if (QFileInfo(path).isDir()) {
    *reason = QStringLiteral("an ihrer Stelle steht ein Ordner");
    return std::nullopt;
  }
  QFile file(path);
  if (!file.open(QIODevice::ReadOnly)) {
    *reason = file.exists() ? file.errorString() : QStringLiteral("sie fehlt");
    return std::nullopt;
  }
  QByteArray bytes = file.readAll();
  if (file.error() != QFileDevice::NoError) {
    *reason = file.errorString();
    return std::nullopt;
  }
  return bytes;
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
  if (auto failure = WriteFileAtomically(FilePath(file), DefaultFileBytes(file))) {
    State(file).unreadable = true;
    return QStringLiteral("Die Datei %1 konnte nicht angelegt werden. %2")
        .arg(Quoted(name), *failure);
  }
  return std::nullopt;
}

template <typename TableT>
std::optional<QString> Store::ReadTable(DataFile file, TableT& table) {
  const QString name = FileName(file);
  QString reason;
  std::optional<QByteArray> bytes = ReadWholeFile(FilePath(file), &reason);
  if (!bytes) {
    State(file).unreadable = true;
    table.rows.clear();
    if constexpr (std::is_same_v<TableT, EntryTable>) encodedEntries_.Clear();
    return QStringLiteral(
               "Die Datei %1 kann nicht gelesen werden (%2). Änderungen, die sie betreffen, "
               "werden nicht gespeichert, bis sie wieder lesbar ist.")
        .arg(Quoted(name), reason);
  }
  State(file).unreadable = false;
  State(file).knownSize = bytes->size();

  const std::optional<QString> damage = ParseTableBytes(*bytes, table);
  if constexpr (std::is_same_v<TableT, EntryTable>) {
    // The rows read share nothing with the ones kept; the file's memory serves the next rewrite.
    encodedEntries_.Clear(std::move(*bytes));
  }
  if (!damage) return std::nullopt;

  FileState& s = State(file);
  if (!s.keepOriginal) {
    s.keepOriginal = true;
    s.backupName = FreeBackupName(name);
  }
  return QStringLiteral(
             "Die Datei %1 ist beschädigt: %2. Geladen wurden %3 Datensätze. Vor der nächsten "
             "Änderung wird das Original als %4 aufbewahrt.")
      .arg(Quoted(name), *damage)
      .arg(table.Count())
      .arg(Quoted(s.backupName));
}

std::optional<QString> Store::KeepDamagedOriginal(DataFile file) {
  FileState& s = State(file);
  if (!s.keepOriginal) return std::nullopt;
  const QString backup = QDir::current().filePath(s.backupName);
  if (!QFileInfo::exists(backup) && !QFile::copy(FilePath(file), backup)) {
    return QStringLiteral(
               "Das Original der beschädigten Datei %1 konnte nicht als %2 gesichert werden; "
               "die Datei wird deshalb nicht überschrieben.")
        .arg(Quoted(FileName(file)), Quoted(s.backupName));
  }
  s.keepOriginal = false;
  return std::nullopt;
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
  if constexpr (std::is_same_v<TableT, EntryTable>) {
    // The entries file is large: only the rows that changed since the last rewrite are encoded.
    const std::optional<QByteArrayView> bytes =
        encodedEntries_.Encode(table.rows, State(file).knownSize);
    failure = bytes ? WriteFileAtomically(FilePath(file), *bytes)
                    : std::optional<QString>(UnstorableTextMessage());
    if (bytes) State(file).knownSize = bytes->size();
  } else {
    RecordWriter writer;
    writer.WriteRecord({Value(table.Count())});
    for (const auto& row : table.rows) writer.WriteRecord(row.fields);
    failure = writer.Close(FilePath(file));
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
