// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <vector>

#include "store/backup_restore.h"

struct StartRequest;

// The data folder a start names (empty: the current directory), as an absolute path; nothing is
// created.
QString AbsoluteDataFolder(const QString& argument);

// One line of the list of backups: its name, its date (and time) and what it holds, or why it
// cannot be restored.
QString BackupLine(const BackupSummary& backup);

// What a restore said: whether all three files were put back, and the German text for the user
// (what was done, or why not, and any warning).
struct RestoreReport {
  bool restored = false;
  QString text;
};

// Restores the backup `name` into the data folder named by `argument`, holding the folder's lock
// meanwhile; refused while a Lumivera window holds it.
RestoreReport RestoreInFolder(const QString& argument, const QString& name);

// `lumivera --restore [name]`: lists the backups on standard output, or restores one; messages on
// standard error. The exit code: 0, or 1 after a German message.
int RunRestoreCommand(const StartRequest& request);
