// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QDate>
#include <QDateTime>
#include <QString>
#include <QTime>
#include <optional>
#include <vector>

#include "store/atomic_file.h"

// The backups in the folder "Sicherungen" of a data folder, and putting one of them back. The
// caller holds the data folder's lock while it restores, so no program writes there meanwhile.

struct BackupSummary {
  QString name;  // the folder's name, by which it is restored
  QDate day;
  QTime time;  // when the files were kept before a restore; invalid for a day's backup
  int persons = 0;
  int items = 0;  // of the categories file
  int entries = 0;
  // Why it cannot be restored (a missing or damaged file), in German; nothing when it can.
  std::optional<QString> problem;
};

// The day backups and the backups kept before a restore, newest first; nothing else in the
// folder is read.
std::vector<BackupSummary> ListBackups(const QString& dataFolder);

struct RestoreResult {
  // Why nothing or not everything was put back, in German; nothing when all three files were.
  std::optional<QString> failure;
  // The backup the files were kept in before they were replaced; empty when none was made.
  QString keptAs;
  // The day's backup could not be made (the restore went on).
  std::optional<QString> warning;
};

// Puts the files of the backup `name` back into `dataFolder`, through `writer`, at local time
// `now`. First the backup is checked (all three files there, each reading without damage), the
// day's backup is made when due, and the files as they are now are kept as a backup named by
// BeforeRestoreName; a backup that fails the check, or files that cannot be kept, refuse the
// restore before anything changed. Then the persons, categories and entries files are put in
// place each atomically, in that order.
[[nodiscard]] RestoreResult RestoreBackup(const QString& dataFolder, const QString& name,
                                          FileWriter& writer, const QDateTime& now);
