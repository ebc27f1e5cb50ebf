// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/spreadsheet_commands.h"

#include <QDir>
#include <QFileInfo>
#include <cstdio>

#include "app/data_folder.h"
#include "exchange/spreadsheet_export.h"
#include "exchange/spreadsheet_import.h"
#include "store/atomic_file.h"
#include "store/import_entries.h"
#include "store/store.h"
#include "store/whole_file.h"

namespace {

void Say(std::FILE* stream, const QString& text) {
  std::fputs((text + u'\n').toLocal8Bit().constData(), stream);
  std::fflush(stream);
}

int Fail(const QString& text) {
  Say(stderr, QStringLiteral("lumivera: ") + text);
  return 1;
}

// The largest file an import reads: room for the entries table's capacity with long texts.
constexpr qint64 kLargestImportBytes = 128 * 1024 * 1024;

// Whether the path names one of the folder's data files, however it is written.
bool IsDataFileOf(const QString& folder, const QString& path) {
  const QFileInfo target(path);
  const QString targetFolder = QFileInfo(target.absolutePath()).canonicalFilePath();
  if (targetFolder.isEmpty() || targetFolder != QFileInfo(folder).canonicalFilePath()) return false;
  for (DataFile file : {DataFile::Persons, DataFile::Categories, DataFile::Entries}) {
    if (target.fileName() == FileName(file)) return true;
  }
  return false;
}

}  // namespace

int RunExport(const QString& dataFolder, const QString& file, const ExportFilter& filter) {
  const QString folder =
      QDir(dataFolder.isEmpty() ? QDir::currentPath() : dataFolder).absolutePath();
  if (!QFileInfo(folder).isDir()) {
    return Fail(QStringLiteral("Den Datenordner „%1“ gibt es nicht.").arg(folder));
  }
  if (file != QLatin1String("-") && IsDataFileOf(folder, file)) {
    return Fail(QStringLiteral("„%1“ ist eine Datei des Datenordners; die Ausfuhr braucht einen "
                               "anderen Namen.")
                    .arg(file));
  }
  const EntriesForExport read = ReadEntriesForExport(folder);
  if (read.unreadable) return Fail(*read.problem);
  if (read.problem) Say(stderr, QStringLiteral("lumivera: ") + *read.problem);
  const QByteArray bytes = SpreadsheetBytes(read.entries, filter);
  if (file == QLatin1String("-")) {
    const bool written = std::fwrite(bytes.constData(), 1, static_cast<std::size_t>(bytes.size()),
                                     stdout) == static_cast<std::size_t>(bytes.size()) &&
                         std::fflush(stdout) == 0;
    return written ? 0 : Fail(QStringLiteral("Die Ausfuhr konnte nicht ausgegeben werden."));
  }
  if (auto failure = WriteFileAtomically(QFileInfo(file).absoluteFilePath(), bytes)) {
    return Fail(
        QStringLiteral("Die Datei „%1“ konnte nicht geschrieben werden. %2").arg(file, *failure));
  }
  return 0;
}

int RunImport(const QString& dataFolder, const QString& file) {
  SpreadsheetRead read;
  {
    // The file's bytes are given back once read: a large import needs the memory for the tables.
    QString reason;
    const std::optional<QByteArray> bytes =
        ReadWholeFile(QFileInfo(file).absoluteFilePath(), kLargestImportBytes, &reason);
    if (!bytes) {
      return Fail(
          QStringLiteral("Die Datei „%1“ kann nicht gelesen werden (%2).").arg(file, reason));
    }
    read = ReadSpreadsheet(*bytes);
  }
  if (read.failure) return Fail(QStringLiteral("„%1“: %2").arg(file, *read.failure));
  if (!read.refused.empty()) {
    for (const RefusedRow& row : read.refused) {
      Say(stderr,
          QStringLiteral("lumivera: „%1“, Zeile %2: %3").arg(file).arg(row.line).arg(row.reason));
    }
    return Fail(QStringLiteral("%1 von %2 Zeilen wurden abgelehnt; es wurde nichts eingeführt.")
                    .arg(read.refused.size())
                    .arg(read.refused.size() + read.rows.size()));
  }

  DataFolder folder;
  if (auto failure = folder.Open(dataFolder)) return Fail(*failure);
  Store store(folder.Path());
  for (const QString& problem : store.LoadData())
    Say(stderr, QStringLiteral("lumivera: ") + problem);
  const ImportOutcome outcome = ImportEntries(store, read.rows);
  if (!outcome.stored) {
    for (const QString& message : outcome.messages)
      Say(stderr, QStringLiteral("lumivera: ") + message);
    return 1;
  }
  Say(stdout, outcome.Summary());
  return 0;
}
