// SPDX-License-Identifier: GPL-3.0-or-later
#include "store/backup_restore.h"

#include <QDir>
#include <QFileInfo>
#include <algorithm>
#include <array>

#include "store/daily_backup.h"
#include "store/data_files.h"
#include "store/load_report.h"

namespace {

constexpr std::array<DataFile, 3> kFiles = {DataFile::Persons, DataFile::Categories,
                                            DataFile::Entries};

// The three files of a backup folder, read and parsed; the first problem met, if any.
struct BackupContent {
  std::array<QByteArray, 3> bytes;
  PersonTable persons;
  CategoryTable categories;
  EntryTable entries;
  std::optional<QString> problem;
};

LoadReport ParseAny(DataFile file, const QByteArray& bytes, BackupContent& content) {
  switch (file) {
    case DataFile::Persons:
      return ParseTableBytes(bytes, content.persons);
    case DataFile::Categories:
      return ParseTableBytes(bytes, content.categories);
    case DataFile::Entries:
      break;
  }
  return ParseTableBytes(bytes, content.entries);
}

// Why the file does not read cleanly, or nothing.
std::optional<QString> Parse(DataFile file, const QByteArray& bytes, BackupContent& content) {
  const LoadReport report = ParseAny(file, bytes, content);
  if (!report.Damaged()) return std::nullopt;
  const ReadFault* first = report.Faults().empty() ? nullptr : &report.Faults().front();
  return first ? QStringLiteral("Zeile %1 lässt sich nicht vollständig lesen").arg(first->line)
               : QStringLiteral("sie hält nicht, was ihre erste Zeile angibt");
}

BackupContent ReadBackup(const QString& folder) {
  BackupContent content;
  for (std::size_t i = 0; i < kFiles.size(); ++i) {
    const DataFile file = kFiles[i];
    QString reason;
    std::optional<QByteArray> bytes =
        ReadBackupFile(QDir(folder).filePath(FileName(file)), LargestFileBytes(file), &reason);
    if (!bytes) {
      content.problem = QStringLiteral("Die Datei %1 der Sicherung kann nicht gelesen werden (%2).")
                            .arg(QuotedFileName(file), reason);
      return content;
    }
    if (auto damage = Parse(file, *bytes, content)) {
      content.problem = QStringLiteral("Die Datei %1 der Sicherung ist beschädigt: %2.")
                            .arg(QuotedFileName(file), *damage);
      return content;
    }
    content.bytes[i] = std::move(*bytes);
  }
  return content;
}

QString RootOf(const QString& dataFolder) {
  return QDir(dataFolder).filePath(kBackupFolderName);
}

// A name for the backup before a restore that nothing holds yet.
QString FreeBeforeRestoreName(const QString& dataFolder, const QDateTime& now) {
  const QString base = BeforeRestoreName(now);
  QString name = base;
  for (int n = 2;; ++n) {
    const QFileInfo info(QDir(RootOf(dataFolder)).filePath(name));
    if (!info.exists() && !info.isSymLink()) return name;
    name = base + QStringLiteral("-%1").arg(n);
  }
}

}  // namespace

std::vector<BackupSummary> ListBackups(const QString& dataFolder) {
  std::vector<BackupSummary> list;
  const QString root = RootOf(dataFolder);
  if (!IsRealFolder(root)) return list;
  const QDir dir(root);
  for (const QString& name : dir.entryList(QDir::Dirs | QDir::Hidden | QDir::NoDotAndDotDot)) {
    BackupSummary summary;
    summary.name = name;
    summary.day = DayOfBackupName(name);
    if (!summary.day.isValid() && IsBeforeRestoreName(name)) {
      summary.day = DayOfBackupName(name.left(10));
      summary.time = QTime::fromString(name.mid(33, 6), QStringLiteral("HHmmss"));
    }
    if (!summary.day.isValid() || !IsRealFolder(dir.filePath(name))) continue;
    const BackupContent content = ReadBackup(dir.filePath(name));
    summary.persons = content.persons.Count();
    summary.items = content.categories.Count();
    summary.entries = content.entries.Count();
    summary.problem = content.problem;
    list.push_back(std::move(summary));
  }
  // A day's backup is made before the day's first change, so it is older than every backup kept
  // before a restore on the same day.
  std::sort(list.begin(), list.end(), [](const BackupSummary& a, const BackupSummary& b) {
    if (a.day != b.day) return a.day > b.day;
    if (a.time.isValid() != b.time.isValid()) return a.time.isValid();
    if (a.time != b.time) return a.time > b.time;
    return a.name > b.name;
  });
  return list;
}

RestoreResult RestoreBackup(const QString& dataFolder, const QString& name, FileWriter& writer,
                            const QDateTime& now) {
  RestoreResult result;
  const QString folder = QDir(RootOf(dataFolder)).filePath(name);
  const bool known = DayOfBackupName(name).isValid() || IsBeforeRestoreName(name);
  if (!known || !IsRealFolder(RootOf(dataFolder)) || !IsRealFolder(folder)) {
    result.failure = QStringLiteral(
                         "Eine Sicherung „%1“ gibt es im Datenordner „%2“ nicht. Nichts wurde "
                         "geändert.")
                         .arg(name, QDir::toNativeSeparators(dataFolder));
    return result;
  }
  const BackupContent content = ReadBackup(folder);
  if (content.problem) {
    result.failure = QStringLiteral(
                         "Die Sicherung „%1“ wird nicht wiederhergestellt: %2 Nichts wurde "
                         "geändert.")
                         .arg(name, *content.problem);
    return result;
  }

  DailyBackup daily(dataFolder, writer);
  daily.UseToday([&now] { return now.date(); });
  daily.BeforeChange();
  result.warning = daily.TakeWarning();

  const QString keptAs = FreeBeforeRestoreName(dataFolder, now);
  if (auto failed = MakeBackupFolder(dataFolder, keptAs, writer, /*skipMissing=*/true)) {
    result.failure = QStringLiteral(
                         "Die jetzigen Dateien konnten nicht gesichert werden, deshalb wird die "
                         "Sicherung „%1“ nicht wiederhergestellt: %2 Nichts wurde geändert.")
                         .arg(name, *failed);
    return result;
  }
  result.keptAs = keptAs;

  for (std::size_t i = 0; i < kFiles.size(); ++i) {
    const DataFile file = kFiles[i];
    if (auto failed = writer.Replace(QDir(dataFolder).filePath(FileName(file)), content.bytes[i])) {
      result.failure =
          QStringLiteral(
              "Die Wiederherstellung der Sicherung „%1“ ist unvollständig: Die Datei %2 konnte "
              "nicht ersetzt werden. %3 Die Dateien wie vor der Wiederherstellung liegen in der "
              "Sicherung „%4“; „lumivera --restore %4“ bringt sie zurück.")
              .arg(name, QuotedFileName(file), *failed, keptAs);
      return result;
    }
  }
  return result;
}
