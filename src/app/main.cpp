// SPDX-License-Identifier: GPL-3.0-or-later
#include <QApplication>
#include <QDirIterator>
#include <QIcon>
#include <QLocale>
#include <QScreen>
#include <cstdio>
#include <string_view>

#include "app/clock.h"
#include "app/command_line.h"
#include "app/data_folder.h"
#include "app/day_log.h"
#include "app/event_wiring.h"
#include "app/fonts.h"
#include "app/main_window.h"
#include "app/message_boxes.h"
#include "app/program_info.h"
#include "app/quit_on_signals.h"
#include "app/restore_command.h"
#include "app/restore_dialog.h"
#include "app/spreadsheet_commands.h"
#include "app/toolkit_translations.h"

namespace {

// The program's icon from the icon theme by its id; where the theme lacks it (a start from the
// build folder), the copy built into the program. Both are PNGs, which Qt loads without its SVG
// plugin.
QIcon ProgramIcon() {
  QIcon builtIn;
  QDirIterator sizes(QStringLiteral(":/lumivera/icons"));
  while (sizes.hasNext()) builtIn.addFile(sizes.next());
  return QIcon::fromTheme(QLatin1String(kDesktopId), builtIn);
}

// Whether the window system has somewhere to show a window: a platform named for Qt, or an X11
// or Wayland display.
bool HasDisplay(int argc, char* argv[]) {
  for (int i = 1; i < argc; ++i) {
    const std::string_view argument(argv[i]);
    if (argument == "-platform" || argument == "--platform") return true;
  }
  for (const char* name : {"QT_QPA_PLATFORM", "DISPLAY", "WAYLAND_DISPLAY"}) {
    if (!qEnvironmentVariableIsEmpty(name)) return true;
  }
  return false;
}

}  // namespace

int main(int argc, char* argv[]) {
  // The command line is read before the window system starts: the help, the version and a usage
  // error answer on a terminal without a display as well.
  StartRequest request;
  {
    const QCoreApplication textOnly(argc, argv);
    request = ReadCommandLine(WithoutQtOptions(QCoreApplication::arguments()));
    if (request.exitCode) return *request.exitCode;
    // The folder named is the one opened, or none: a name whose bytes no text represents is
    // refused rather than read as another folder's.
    if (request.mode == StartMode::Restore) {
      if (std::optional<QString> inexact = InexactDataFolderArgument(argc, argv)) {
        std::fprintf(stderr, "lumivera: %s\n", inexact->toLocal8Bit().constData());
        return 1;
      }
      return RunRestoreCommand(request);
    }
    if (request.mode == StartMode::Export || request.mode == StartMode::Import) {
      if (std::optional<QString> inexact = InexactDataFolderArgument(argc, argv)) {
        std::fprintf(stderr, "lumivera: %s\n", inexact->toLocal8Bit().constData());
        return 1;
      }
      return request.mode == StartMode::Export
                 ? RunExport(request.dataFolder, request.file, request.filter)
                 : RunImport(request.dataFolder, request.file);
    }
  }
  std::optional<QString> failure = InexactDataFolderArgument(argc, argv);
  // Without a display the toolkit would abort in English; the window and the dialog say why in
  // German instead.
  if (!HasDisplay(argc, argv)) {
    std::fprintf(stderr, "lumivera: %s\n",
                 QStringLiteral("Kein Bildschirm gefunden (weder DISPLAY noch WAYLAND_DISPLAY ist "
                                "gesetzt). Das Fenster braucht eine grafische Sitzung; --export, "
                                "--import und --restore laufen auch ohne.")
                     .toLocal8Bit()
                     .constData());
    return 1;
  }

  QApplication app(argc, argv);
  QApplication::setApplicationName(QStringLiteral("Lumivera"));
  QApplication::setApplicationVersion(QLatin1String(kProgramVersion));
  QGuiApplication::setDesktopFileName(QLatin1String(kDesktopId));
  QApplication::setWindowIcon(ProgramIcon());
  // Day and month names and the decimal separator follow the user's locale; a machine without
  // one set gets the German names the rest of the window speaks.
  if (QLocale::system().language() == QLocale::C)
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
  InstallToolkitTranslations(app);
  SetUpFonts();

  QuitOnTerminationSignals();
  QtMessageBoxes messages;
  if (request.mode == StartMode::RestoreDialog) {
    if (failure) {
      std::fprintf(stderr, "lumivera: %s\n", failure->toLocal8Bit().constData());
      messages.Show(QStringLiteral("Lumivera"), *failure);
      return 1;
    }
    RestoreDialog dialog(request.dataFolder, messages);
    messages.SetParent(&dialog);
    dialog.show();
    dialog.exec();
    return 0;
  }
  // The folder is locked before anything reads or creates a data file.
  DataFolder folder;
  if (!failure) failure = folder.Open(request.dataFolder);
  if (failure) {
    std::fprintf(stderr, "lumivera: %s\n", failure->toLocal8Bit().constData());
    messages.Show(QStringLiteral("Lumivera"), *failure);
    return 1;
  }

  MainWindow window;
  messages.SetParent(&window);
  Clock clock;
  DayLog dayLog(window, messages, clock, folder.Path());
  ConnectEvents(window, dayLog);
  LoadWindow(window, dayLog, window.screen()->geometry().size());
  window.show();
  return QApplication::exec();
}
