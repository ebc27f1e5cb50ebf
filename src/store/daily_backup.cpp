// SPDX-License-Identifier: GPL-3.0-or-later
#include "store/daily_backup.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QRegularExpression>
#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <map>

#include "store/data_files.h"
#include "store/whole_file.h"

#if defined(Q_OS_UNIX)
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace {

constexpr DataFile kFiles[] = {DataFile::Persons, DataFile::Categories, DataFile::Entries};

QString SystemText(int error) {
  return QString::fromLocal8Bit(std::strerror(error));
}

#if defined(Q_OS_UNIX)
// Syncs the folder at `path`, so a name made or removed in it survives a power cut.
bool SyncFolder(const QString& path) {
  const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return false;
  const bool synced = ::fsync(fd) == 0;
  ::close(fd);
  return synced;
}

// The kind of what `path` names itself (a link is not followed); 0 when nothing does.
mode_t KindAt(const QString& path) {
  struct stat st {};
  if (::lstat(QFile::encodeName(path).constData(), &st) != 0) return 0;
  return st.st_mode & S_IFMT;
}
#endif

// The folder "Sicherungen", made private when missing (then `made` is set). Nothing, or why it
// cannot be used.
std::optional<QString> EnsureBackupRoot(const QString& dataFolder, bool* made) {
  const QString root = QDir(dataFolder).filePath(kBackupFolderName);
#if defined(Q_OS_UNIX)
  if (::mkdir(QFile::encodeName(root).constData(), 0700) == 0) {
    *made = true;
    if (!SyncFolder(dataFolder)) {
      return QStringLiteral("Der Datenordner konnte nicht auf den Datenträger gebracht werden.");
    }
  } else if (errno != EEXIST) {
    return QStringLiteral("Der Ordner „%1“ kann nicht angelegt werden (%2).")
        .arg(kBackupFolderName, SystemText(errno));
  }
#else
  *made = QDir(dataFolder).mkdir(kBackupFolderName);
#endif
  if (!IsRealFolder(root)) {
    return QStringLiteral(
               "An der Stelle des Ordners „%1“ steht eine Datei oder Verknüpfung; Lumivera legt "
               "dort keine Sicherung ab.")
        .arg(kBackupFolderName);
  }
  return std::nullopt;
}

// The writer's temporary form of `name`: ".tmp-" and six letters or digits after it.
QString TemporaryName(const QString& name) {
  static constexpr char kLetters[] =
      "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";
  QString candidate = name + QStringLiteral(".tmp-");
  for (int i = 0; i < 6; ++i) {
    candidate += QLatin1Char(kLetters[QRandomGenerator::global()->bounded(62)]);
  }
  return candidate;
}

// A new, empty, private folder inside `root` with the writer's temporary name for `name`.
std::optional<QString> MakeTemporaryFolder(const QString& root, const QString& name,
                                           QString* reason) {
  for (int attempt = 0; attempt < 100; ++attempt) {
    const QString path = QDir(root).filePath(TemporaryName(name));
#if defined(Q_OS_UNIX)
    if (::mkdir(QFile::encodeName(path).constData(), 0700) == 0) return path;
    if (errno != EEXIST) {
      *reason = SystemText(errno);
      return std::nullopt;
    }
#else
    if (QDir(root).mkdir(QFileInfo(path).fileName())) return path;
#endif
  }
  *reason = SystemText(EEXIST);
  return std::nullopt;
}

// Whether every name in `folder` is a regular file named for a data file or a writer's
// temporary file of one, so that removing the folder removes nothing else.
bool HoldsOnlyBackupFiles(const QString& folder) {
  const QStringList names = BackupFileNames();
  const QDir dir(folder);
  for (const QString& name :
       dir.entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot)) {
    const bool known =
        names.contains(name) || std::any_of(names.begin(), names.end(),
                                            [&](auto& n) { return IsTemporaryNameOf(name, n); });
    if (!known) return false;
#if defined(Q_OS_UNIX)
    if (KindAt(dir.filePath(name)) != S_IFREG) return false;
#else
    if (!QFileInfo(dir.filePath(name)).isFile() || QFileInfo(dir.filePath(name)).isSymLink())
      return false;
#endif
  }
  return true;
}

// Whether `folder` holds the three copies and nothing else.
bool HoldsTheBackup(const QString& folder) {
  if (!IsRealFolder(folder) || !HoldsOnlyBackupFiles(folder)) return false;
  for (const QString& name : BackupFileNames()) {
    if (!QFileInfo::exists(QDir(folder).filePath(name))) return false;
  }
  return true;
}

// Removes a folder that HoldsOnlyBackupFiles, its files first.
void RemoveBackupFolder(const QString& folder) {
  if (!IsRealFolder(folder) || !HoldsOnlyBackupFiles(folder)) return;
  const QDir dir(folder);
  for (const QString& name : dir.entryList(QDir::Files | QDir::Hidden | QDir::System)) {
    QFile::remove(dir.filePath(name));
  }
  QDir().rmdir(folder);
}

// Renames the folder `from` to `to` unless something holds that name.
std::optional<QString> RenameWithoutReplacing(const QString& from, const QString& to) {
#if defined(Q_OS_LINUX)
  if (::renameat2(AT_FDCWD, QFile::encodeName(from).constData(), AT_FDCWD,
                  QFile::encodeName(to).constData(), RENAME_NOREPLACE) == 0) {
    return std::nullopt;
  }
  if (errno != EINVAL && errno != ENOSYS) {
    return errno == EEXIST ? QStringLiteral("der Name ist bereits vergeben") : SystemText(errno);
  }
#endif
#if defined(Q_OS_UNIX)
  // Without an exclusive rename, a look first; a folder that is not empty is never replaced.
  if (KindAt(to) != 0) return QStringLiteral("der Name ist bereits vergeben");
  if (::rename(QFile::encodeName(from).constData(), QFile::encodeName(to).constData()) != 0) {
    return SystemText(errno);
  }
  return std::nullopt;
#else
  if (QFileInfo::exists(to) || !QDir().rename(from, to)) {
    return QStringLiteral("der Name ist bereits vergeben");
  }
  return std::nullopt;
#endif
}

// Whether the regular file at `path` (no link followed) holds exactly `bytes`: read back in
// blocks, so checking a copy never holds a second copy of a large file in memory.
bool HoldsExactly(const QString& path, QByteArrayView bytes) {
  const int fd =
      ::open(QFile::encodeName(path).constData(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) return false;
  struct stat st {};
  bool same = ::fstat(fd, &st) == 0 && S_ISREG(st.st_mode) && st.st_size == bytes.size();
  constexpr qsizetype kBlock = 64 * 1024;
  char block[kBlock];
  for (qsizetype at = 0; same && at < bytes.size();) {
    const ssize_t got =
        ::read(fd, block, static_cast<std::size_t>(std::min(kBlock, bytes.size() - at)));
    if (got < 0 && errno == EINTR) continue;
    same = got > 0 && std::memcmp(block, bytes.data() + at, static_cast<std::size_t>(got)) == 0;
    at += got > 0 ? got : 0;
  }
  if (same) {
    char extra;
    same = ::read(fd, &extra, 1) == 0;  // nothing after the last byte
  }
  ::close(fd);
  return same;
}

// Copies, reads back and compares the data files into the empty folder `folder`.
std::optional<QString> FillBackupFolder(const QString& dataFolder, const QString& folder,
                                        FileWriter& writer, bool skipMissing) {
  for (const DataFile file : kFiles) {
    const QString name = FileName(file);
    const QString source = QDir(dataFolder).filePath(name);
    QString reason;
    const std::optional<QByteArray> bytes = ReadWholeFile(source, LargestFileBytes(file), &reason);
    if (!bytes) {
      if (skipMissing && !StampOfPath(source).exists) continue;
      return QStringLiteral("Die Datei %1 kann nicht gelesen werden (%2).")
          .arg(QuotedName(name), reason);
    }
    const QString copy = QDir(folder).filePath(name);
    if (auto failure = writer.Create(copy, *bytes)) {
      return QStringLiteral("Die Kopie von %1 konnte nicht angelegt werden. %2")
          .arg(QuotedName(name), *failure);
    }
    if (!HoldsExactly(copy, *bytes)) {
      return QStringLiteral(
                 "Die Kopie von %1 stimmt beim Zurücklesen nicht mit dem Original überein.")
          .arg(QuotedName(name));
    }
  }
  return std::nullopt;
}

}  // namespace

QStringList BackupFileNames() {
  QStringList names;
  for (const DataFile file : kFiles) names << FileName(file);
  return names;
}

bool IsRealFolder(const QString& path) {
#if defined(Q_OS_UNIX)
  return KindAt(path) == S_IFDIR;
#else
  const QFileInfo info(path);
  return info.isDir() && !info.isSymLink();
#endif
}

QDate DayOfBackupName(const QString& name) {
  static const QRegularExpression form(QStringLiteral("^[0-9]{4}-[0-9]{2}-[0-9]{2}$"));
  if (!form.match(name).hasMatch()) return {};
  return QDate::fromString(name, QStringLiteral("yyyy-MM-dd"));
}

QString BeforeRestoreName(const QDateTime& when) {
  return when.toString(QStringLiteral("yyyy-MM-dd-'vor-Wiederherstellung'-HHmmss"));
}

bool IsBeforeRestoreName(const QString& name) {
  static const QRegularExpression form(
      QStringLiteral("^([0-9]{4}-[0-9]{2}-[0-9]{2})-vor-Wiederherstellung-([0-9]{6})(-[0-9]+)?$"));
  const QRegularExpressionMatch match = form.match(name);
  return match.hasMatch() && DayOfBackupName(match.captured(1)).isValid() &&
         QTime::fromString(match.captured(2), QStringLiteral("HHmmss")).isValid();
}

std::set<QDate> DaysKept(const std::vector<QDate>& days, QDate today) {
  std::vector<QDate> sorted = days;
  std::sort(sorted.begin(), sorted.end(), std::greater<>());
  sorted.erase(std::unique(sorted.begin(), sorted.end()), sorted.end());
  std::set<QDate> kept;
  for (std::size_t i = 0; i < sorted.size() && i < 7; ++i) kept.insert(sorted[i]);
  const QDate monthStart(today.year(), today.month(), 1);
  const QDate oldestMonth = monthStart.addMonths(-12);
  std::map<int, QDate> newestOfMonth;  // by year * 12 + month
  for (const QDate& day : sorted) {
    if (day >= today) kept.insert(day);
    if (day >= monthStart || day < oldestMonth) continue;
    const int month = day.year() * 12 + day.month();
    if (!newestOfMonth.count(month)) newestOfMonth[month] = day;  // newest first
  }
  for (const auto& [month, day] : newestOfMonth) kept.insert(day);
  return kept;
}

std::optional<QByteArray> ReadBackupFile(const QString& path, qint64 largestBytes,
                                         QString* reason) {
#if defined(Q_OS_UNIX)
  const mode_t kind = KindAt(path);
  if (kind == 0) {
    *reason = QStringLiteral("sie fehlt");
    return std::nullopt;
  }
  if (kind != S_IFREG) {
    *reason = QStringLiteral("sie ist keine gewöhnliche Datei");
    return std::nullopt;
  }
  // No link is followed, and nothing blocks, whatever took the name since the look.
  const int fd =
      ::open(QFile::encodeName(path).constData(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) {
    *reason = SystemText(errno);
    return std::nullopt;
  }
  struct stat st {};
  const bool regular = ::fstat(fd, &st) == 0 && S_ISREG(st.st_mode);
  ::close(fd);
  if (!regular) {
    *reason = QStringLiteral("sie ist keine gewöhnliche Datei");
    return std::nullopt;
  }
#endif
  return ReadWholeFile(path, largestBytes, reason);
}

std::optional<QString> MakeBackupFolder(const QString& dataFolder, const QString& name,
                                        FileWriter& writer, bool skipMissing) {
  bool madeRoot = false;
  if (auto problem = EnsureBackupRoot(dataFolder, &madeRoot)) return problem;
  const QString root = QDir(dataFolder).filePath(kBackupFolderName);
  // A first backup that fails leaves the data folder as it was.
  const auto removeNewRoot = [&] {
    if (madeRoot) QDir(dataFolder).rmdir(kBackupFolderName);
  };
  QString reason;
  const std::optional<QString> temporary = MakeTemporaryFolder(root, name, &reason);
  if (!temporary) {
    removeNewRoot();
    return QStringLiteral("Im Ordner „%1“ kann kein Ordner angelegt werden (%2).")
        .arg(kBackupFolderName, reason);
  }
  std::optional<QString> failure = FillBackupFolder(dataFolder, *temporary, writer, skipMissing);
  if (!failure) {
    if (auto refused = RenameWithoutReplacing(*temporary, QDir(root).filePath(name))) {
      failure =
          QStringLiteral("Der Ordner „%1“ kann nicht angelegt werden (%2).").arg(name, *refused);
    }
  }
  if (failure) {
    RemoveBackupFolder(*temporary);
    removeNewRoot();
    return failure;
  }
#if defined(Q_OS_UNIX)
  if (!SyncFolder(root)) {
    return QStringLiteral("Der Ordner „%1“ konnte nicht auf den Datenträger gebracht werden.")
        .arg(kBackupFolderName);
  }
#endif
  return std::nullopt;
}

namespace {

// Renames the backups that PruneBackups removes to the temporary form, so they no longer count
// as backups, and returns their paths, with those of the temporary folders a killed program
// left. Not synced: a rename lost in a crash leaves the old backup, a removal lost leaves a
// folder of the temporary form that the next pruning removes.
std::vector<QString> RetireUnkeptBackups(const QString& dataFolder, QDate today) {
  std::vector<QString> retired;
  const QString root = QDir(dataFolder).filePath(kBackupFolderName);
  if (!IsRealFolder(root)) return retired;
  const QDir dir(root);
  std::map<QDate, QString> backups;
  for (const QString& name : dir.entryList(QDir::Dirs | QDir::Hidden | QDir::NoDotAndDotDot)) {
    const QString path = dir.filePath(name);
    const qsizetype dot = name.indexOf(QStringLiteral(".tmp-"));
    if (dot > 0 &&
        (DayOfBackupName(name.left(dot)).isValid() || IsBeforeRestoreName(name.left(dot)))) {
      // A backup a killed program was writing: never renamed, never told as made.
      if (IsTemporaryNameOf(name, name.left(dot))) retired.push_back(path);
      continue;
    }
    const QDate day = DayOfBackupName(name);
    if (day.isValid() && HoldsTheBackup(path)) backups[day] = name;
  }
  std::vector<QDate> days;
  for (const auto& [day, name] : backups) days.push_back(day);
  const std::set<QDate> kept = DaysKept(days, today);
  for (const auto& [day, name] : backups) {
    if (kept.count(day)) continue;
    const QString temporary = dir.filePath(TemporaryName(name));
    if (!RenameWithoutReplacing(dir.filePath(name), temporary)) retired.push_back(temporary);
  }
  return retired;
}

}  // namespace

void PruneBackups(const QString& dataFolder, QDate today) {
  for (const QString& folder : RetireUnkeptBackups(dataFolder, today)) RemoveBackupFolder(folder);
}

void DailyBackup::BeforeChange() {
  const QDate today = today_();
  if (today == madeFor_) return;
  const QString name = today.toString(QStringLiteral("yyyy-MM-dd"));
  const QString path = QDir(dataFolder_).filePath(kBackupFolderName + u'/' + name);
  std::optional<QString> failure;
  // A backup of the day made by an earlier run is never overwritten.
  if (HoldsTheBackup(path)) {
    madeFor_ = today;
    return;
  }
  failure = MakeBackupFolder(dataFolder_, name, *writer_);
  if (!failure) {
    madeFor_ = today;
    // The folders no longer kept are taken away while the change is written.
    AfterChange();
    removal_ = std::jthread([retired = RetireUnkeptBackups(dataFolder_, today)] {
      for (const QString& folder : retired) RemoveBackupFolder(folder);
    });
    return;
  }
  if (told_) return;
  told_ = true;
  warning_ = QStringLiteral(
                 "Die tägliche Sicherung in den Ordner „%1“ ist nicht gelungen: %2 Ihre Änderung "
                 "wurde davon nicht aufgehalten; Lumivera versucht die Sicherung bei der nächsten "
                 "Änderung erneut.")
                 .arg(QDir::toNativeSeparators(path), *failure);
}

std::optional<QString> DailyBackup::TakeWarning() {
  return std::exchange(warning_, std::nullopt);
}

void DailyBackup::AfterChange() {
  if (removal_.joinable()) removal_.join();
}
