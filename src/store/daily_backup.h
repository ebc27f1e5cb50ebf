// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QDate>
#include <QDateTime>
#include <QString>
#include <QStringList>
#include <functional>
#include <optional>
#include <set>
#include <thread>
#include <vector>

#include "store/atomic_file.h"

// Copies of the three data files, one folder a day, in the folder "Sicherungen" inside the data
// folder. A backup folder is named by its day ("2026-12-10") or, for the files as they were
// before a restore, by the day and time of the restore ("2026-12-10-vor-Wiederherstellung-071502").
// A backup is first written into a folder of the writer's temporary form
// ("2026-12-10.tmp-Ab12Cd"), each copy read back and compared, and only then renamed to its
// name: a backup folder holds either all three checked copies or is not there.

inline const QString kBackupFolderName = QStringLiteral("Sicherungen");

// The day of a backup folder named exactly "JJJJ-MM-TT"; an invalid date otherwise.
QDate DayOfBackupName(const QString& name);
// The name of the backup kept before a restore at `when`.
QString BeforeRestoreName(const QDateTime& when);
// Whether `name` is of the form BeforeRestoreName gives (with an optional "-2", "-3", ...).
bool IsBeforeRestoreName(const QString& name);

// Of the days that have a backup, those kept on `today`: the 7 most recent ones, the newest one
// of each of the 12 calendar months before today's month, today's, and every day after today (a
// clock set back never removes them, nor the backup it has just made).
std::set<QDate> DaysKept(const std::vector<QDate>& days, QDate today);

// Copies the three data files from `dataFolder` into the new backup folder `name` inside
// `dataFolder`/Sicherungen through `writer`, reads every copy back and compares it; a folder of
// that name is never replaced. Files missing in the data folder are left out when
// `skipMissing`. Nothing, or a German sentence saying why there is no backup (then nothing of
// it is left).
[[nodiscard]] std::optional<QString> MakeBackupFolder(const QString& dataFolder,
                                                      const QString& name, FileWriter& writer,
                                                      bool skipMissing = false);

// Reads a file of a backup folder: a regular file reached without following a link, at most
// `largestBytes` long. Nothing, with the reason in German, otherwise.
[[nodiscard]] std::optional<QByteArray> ReadBackupFile(const QString& path, qint64 largestBytes,
                                                       QString* reason);
// Whether `path` is a folder itself, not a link to one.
bool IsRealFolder(const QString& path);
// The names of the backup folders' files, in the order persons, categories, entries.
QStringList BackupFileNames();

// Removes the day backups of `dataFolder` that DaysKept does not keep on `today`, and the
// temporary folders of backups a killed program left. Only folders of exactly those name forms
// that hold nothing but the data files' names (and the writer's temporary names of them) as
// regular files are ever removed.
void PruneBackups(const QString& dataFolder, QDate today);

// The backup made before the first change of each day.
class DailyBackup {
 public:
  DailyBackup(const QString& dataFolder, FileWriter& writer)
      : dataFolder_(dataFolder), writer_(&writer) {}
  void UseWriter(FileWriter& writer) { writer_ = &writer; }
  // Where today's date comes from (the local date, unless a test says otherwise).
  void UseToday(std::function<QDate()> today) { today_ = std::move(today); }

  // To be called before every write of a data file. Makes today's backup unless it is there,
  // then prunes. A backup that fails does not stop the change: the first failure of the run is
  // kept for the user (TakeWarning), and the next change tries again.
  void BeforeChange();
  // To be called once the change is written: waits until the backups no longer kept are gone.
  void AfterChange();
  // The message about a failed backup, once per run; nothing afterwards.
  [[nodiscard]] std::optional<QString> TakeWarning();

 private:
  QString dataFolder_;
  FileWriter* writer_;
  std::function<QDate()> today_ = [] { return QDate::currentDate(); };
  QDate madeFor_;
  bool told_ = false;
  std::optional<QString> warning_;
  // Removes the backups no longer kept, while the change is written.
  std::jthread removal_;
};
