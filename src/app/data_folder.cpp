// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/data_folder.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLockFile>
#include <cerrno>

#include "store/store.h"

#if defined(Q_OS_UNIX)
#include <sys/stat.h>
#include <unistd.h>
#endif

bool IsExactName(QByteArrayView raw) {
  return QFile::encodeName(QFile::decodeName(raw.toByteArray())) == raw;
}

namespace {

// Creates the folder and every missing folder above it, readable by the user only; folders
// that exist keep their permissions.
bool MakePrivatePath(const QString& folder) {
#if defined(Q_OS_UNIX)
  const QByteArray path = QFile::encodeName(folder);
  for (qsizetype at = 1; at <= path.size(); ++at) {
    if (at < path.size() && path[at] != '/') continue;
    const QByteArray part = path.left(at);
    if (::mkdir(part.constData(), 0700) != 0 && errno != EEXIST) return false;
  }
  return QFileInfo(folder).isDir();
#else
  return QDir().mkpath(folder);
#endif
}

// The current directory as the system names it, when a text names exactly that folder.
std::optional<QString> CurrentFolder() {
#if defined(Q_OS_UNIX)
  QByteArray raw(4096, Qt::Uninitialized);
  while (::getcwd(raw.data(), static_cast<size_t>(raw.size())) == nullptr) {
    if (errno != ERANGE) return std::nullopt;
    raw.resize(raw.size() * 2);
  }
  raw.truncate(static_cast<qsizetype>(qstrlen(raw.constData())));
  if (!IsExactName(raw)) return std::nullopt;
  return QFile::decodeName(raw);
#else
  return QDir::currentPath();
#endif
}

QString InexactNameMessage(QByteArrayView raw) {
  return QStringLiteral(
             "Der Ordnername „%1“ enthält Zeichen, die Lumivera nicht genau darstellen kann "
             "(keine gültige UTF-8-Kodierung). Lumivera öffnet keinen anderen Ordner an seiner "
             "Stelle; bitte benennen Sie den Ordner um oder wählen Sie einen anderen.")
      .arg(QFile::decodeName(raw.toByteArray()));
}

}  // namespace

std::optional<QString> InexactDataFolderArgument(int argc, char* argv[]) {
  for (int i = 1; i < argc; ++i) {
    const QByteArrayView argument(argv[i]);
    if (argument == "--") break;
    QByteArrayView folder;
    if ((argument == "--data-dir" || argument == "-d") && i + 1 < argc) {
      folder = QByteArrayView(argv[++i]);
    } else if (argument.startsWith("--data-dir=")) {
      folder = argument.sliced(11);
    } else if (argument.startsWith("-d") && !argument.startsWith("--")) {
      folder = argument.sliced(2);
    } else {
      continue;
    }
    if (!IsExactName(folder)) return InexactNameMessage(folder);
  }
  return std::nullopt;
}

DataFolder::DataFolder() = default;
DataFolder::~DataFolder() = default;

std::optional<QString> DataFolder::Open(const QString& path) {
  QString base;
  if (QDir::isRelativePath(path)) {
    const std::optional<QString> current = CurrentFolder();
    if (!current) {
      return QStringLiteral(
          "Der Name des aktuellen Ordners enthält Zeichen, die Lumivera nicht genau darstellen "
          "kann (keine gültige UTF-8-Kodierung). Lumivera öffnet keinen anderen Ordner an "
          "seiner Stelle; bitte benennen Sie den Ordner um oder wählen Sie einen anderen.");
    }
    base = *current;
  }
  const QString folder = QDir::cleanPath(QDir(base).absoluteFilePath(path));
  if (!MakePrivatePath(folder)) {
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
      QFile::setPermissions(QDir(folder).filePath(QString::fromUtf16(kLockFileName)),
                            QFileDevice::ReadOwner | QFileDevice::WriteOwner);
      // Holding the lock, no other program writes here: a temporary file of a data file is
      // what a killed one left, never told as saved.
      RemoveLeftTemporaryFiles(folder);
    } else if (lock->error() == QLockFile::LockFailedError) {
      heldElsewhere_ = true;
      return QStringLiteral(
                 "Lumivera ist für den Ordner „%1“ bereits geöffnet. Bitte arbeiten Sie in dem "
                 "offenen Fenster weiter.")
          .arg(QDir::toNativeSeparators(folder));
    }
  }
  path_ = folder;
  return std::nullopt;
}
