// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <QStringList>
#include <optional>

#include "exchange/spreadsheet_export.h"

// What a start runs besides the help and the version: the window, the list or the restore of
// the backups on the terminal, or the dialog that restores a backup.
enum class StartMode { Window, Restore, RestoreDialog, Export, Import };

// What a start asks for: either to end at once (help, version or a usage error, already printed)
// with an exit code, or to run a mode on a data folder.
struct StartRequest {
  std::optional<int> exitCode;
  // The folder the data is kept in; empty for the current directory.
  QString dataFolder;
  StartMode mode = StartMode::Window;
  // With StartMode::Restore, the backup to restore; empty to list them.
  QString backupName;
  // With StartMode::Export or Import, the spreadsheet's file ("-": standard output), and what
  // an export is narrowed to.
  QString file;
  ExportFilter filter;
};

// Reads the arguments (the program's name first) without Qt's own options, which the window
// system takes. Prints the help or the version to stdout and a usage error to stderr. Needs a
// QCoreApplication only, so that the help, the version and every usage error answer on a terminal
// without a display too.
StartRequest ReadCommandLine(const QStringList& arguments);

// The arguments without the options that QGuiApplication and QApplication take for themselves
// (-platform, -style, -display, -reverse, ...), each with its value, in one- or two-dash form.
// Everything after "--" stays.
QStringList WithoutQtOptions(const QStringList& arguments);

// The user's data folder: $XDG_DATA_HOME/lumivera, by default ~/.local/share/lumivera.
QString UserDataFolder();
