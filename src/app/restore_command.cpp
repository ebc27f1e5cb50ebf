// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/restore_command.h"

#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QLocale>
#include <cstdio>

#include "app/command_line.h"
#include "app/data_folder.h"
#include "store/atomic_file.h"
#include "store/daily_backup.h"

namespace {

void Print(std::FILE* stream, const QString& text) {
  std::fputs(text.toLocal8Bit().constData(), stream);
}

}  // namespace

QString AbsoluteDataFolder(const QString& argument) {
  return QDir::cleanPath(QDir::current().absoluteFilePath(argument));
}

QString BackupLine(const BackupSummary& backup) {
  const QLocale german(QLocale::German, QLocale::Germany);
  QString when = backup.day.toString(QStringLiteral("dd.MM.yyyy"));
  if (backup.time.isValid()) {
    when += QStringLiteral(" %1 Uhr, vor einer Wiederherstellung")
                .arg(backup.time.toString(QStringLiteral("HH:mm:ss")));
  }
  if (backup.problem) {
    return QStringLiteral("%1  %2  nicht wiederherstellbar: %3")
        .arg(backup.name, when, *backup.problem);
  }
  return QStringLiteral("%1  %2  Personen: %3, Kategorie-Einträge: %4, Einträge: %5")
      .arg(backup.name, when, german.toString(backup.persons), german.toString(backup.items),
           german.toString(backup.entries));
}

RestoreReport RestoreInFolder(const QString& argument, const QString& name) {
  const QString path = AbsoluteDataFolder(argument);
  if (!QFileInfo(path).isDir()) {
    return {false, QStringLiteral("Den Datenordner „%1“ gibt es nicht; nichts wurde geändert.")
                       .arg(QDir::toNativeSeparators(path))};
  }
  DataFolder folder;
  if (std::optional<QString> failure = folder.Open(path)) {
    if (folder.HeldElsewhere()) {
      return {false,
              QStringLiteral(
                  "Lumivera ist für den Ordner „%1“ geöffnet; solange das Fenster offen ist, wird "
                  "keine Sicherung wiederhergestellt. Bitte schließen Sie es und versuchen Sie es "
                  "erneut. Nichts wurde geändert.")
                  .arg(QDir::toNativeSeparators(path))};
    }
    return {false, *failure};
  }
  const RestoreResult result =
      RestoreBackup(folder.Path(), name, RealFileWriter(), QDateTime::currentDateTime());
  QStringList text;
  if (result.warning) text << *result.warning;
  if (result.failure) {
    text << *result.failure;
    return {false, text.join(u'\n')};
  }
  text << QStringLiteral(
              "Die Sicherung „%1“ ist wiederhergestellt. Die Dateien wie zuvor liegen in der "
              "Sicherung „%2“.")
              .arg(name, result.keptAs);
  return {true, text.join(u'\n')};
}

int RunRestoreCommand(const StartRequest& request) {
  if (!request.backupName.isEmpty()) {
    const RestoreReport report = RestoreInFolder(request.dataFolder, request.backupName);
    // A report of success is the command's output; only a failure is told as the program's.
    if (report.restored)
      Print(stdout, report.text + u'\n');
    else
      Print(stderr, QStringLiteral("lumivera: %1\n").arg(report.text));
    return report.restored ? 0 : 1;
  }
  const QString path = AbsoluteDataFolder(request.dataFolder);
  const std::vector<BackupSummary> backups = ListBackups(path);
  if (backups.empty()) {
    Print(stdout, QStringLiteral("Im Datenordner „%1“ gibt es noch keine Sicherungen.\n")
                      .arg(QDir::toNativeSeparators(path)));
    return 0;
  }
  Print(stdout, QStringLiteral("Sicherungen in „%1“, die neueste zuerst:\n")
                    .arg(QDir::toNativeSeparators(QDir(path).filePath(kBackupFolderName))));
  for (const BackupSummary& backup : backups) Print(stdout, BackupLine(backup) + u'\n');
  return 0;
}
