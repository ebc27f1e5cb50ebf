// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <QStringList>
#include <optional>

// What a start asks for: either to end at once (help, version or a usage error, already printed)
// with an exit code, or to open the window on a data folder.
struct StartRequest {
  std::optional<int> exitCode;
  // The folder the data is kept in; empty for the current directory.
  QString dataFolder;
};

// Reads the arguments that Qt left over (the program's name first). Prints the help or the
// version to stdout and a usage error to stderr.
StartRequest ReadCommandLine(const QStringList& arguments);

// Whether the arguments ask for the help or the version: those are answered without starting the
// window system, so that they work on a terminal without a display.
bool AsksForHelpOrVersion(int argc, char* argv[]);

// The user's data folder: $XDG_DATA_HOME/lumivera, by default ~/.local/share/lumivera.
QString UserDataFolder();
