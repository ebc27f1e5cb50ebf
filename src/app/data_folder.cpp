// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/data_folder.h"

#include <QDir>
#include <QFileInfo>
#include <QLockFile>

DataFolder::DataFolder() = default;
DataFolder::~DataFolder() = default;

std::optional<QString> DataFolder::Open(const QString& path) {
  const QString folder = QDir::cleanPath(QDir::current().absoluteFilePath(path));
  if (!QDir().mkpath(folder)) {
    return QStringLiteral(
               "Der Datenordner „%1“ kann nicht angelegt werden. Bitte wählen Sie einen anderen "
               "Ordner oder prüfen Sie die Zugriffsrechte.")
        .arg(QDir::toNativeSeparators(folder));
  }
  const QString cannotEnter = QStringLiteral(
                                  "Der Datenordner „%1“ kann nicht geöffnet werden. Bitte prüfen "
                                  "Sie die Zugriffsrechte.")
                                  .arg(QDir::toNativeSeparators(folder));
  const QFileInfo info(folder);
  if (!info.isExecutable()) return cannotEnter;

  // In a folder nobody can write to, two programs cannot overwrite each other's saves, and a
  // stale lock there could not be removed; such a folder opens without a lock, as before.
  if (info.isWritable()) {
    auto lock =
        std::make_unique<QLockFile>(QDir(folder).filePath(QString::fromUtf16(kLockFileName)));
    // The lock lasts as long as the program, so only a holder that has died makes it stale, never
    // the lock's age (which counts where the file system has no native locks).
    lock->setStaleLockTime(0);
    if (lock->tryLock(100)) {
      lock_ = std::move(lock);
    } else if (lock->error() == QLockFile::LockFailedError) {
      return QStringLiteral(
                 "Lumivera ist für den Ordner „%1“ bereits geöffnet. Bitte arbeiten Sie in dem "
                 "offenen Fenster weiter.")
          .arg(QDir::toNativeSeparators(folder));
    }
  }
  path_ = folder;
  return std::nullopt;
}
