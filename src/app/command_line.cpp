// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/command_line.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QFileInfo>
#include <QStandardPaths>
#include <cstdio>

#include "app/program_info.h"

namespace {

constexpr int kUsageError = 2;

void Print(std::FILE* stream, const QString& text) {
  std::fputs(text.toLocal8Bit().constData(), stream);
}

int UsageError(const QString& problem) {
  Print(stderr,
        QStringLiteral("lumivera: %1\nTry 'lumivera --help' for more information.\n").arg(problem));
  return kUsageError;
}

}  // namespace

QStringList WithoutQtOptions(const QStringList& arguments) {
  // Qt's options without and with a value (the X11 ones included); -style and -stylesheet also
  // take theirs after "=".
  static const QStringList kFlags = {QStringLiteral("reverse"),     QStringLiteral("widgetcount"),
                                     QStringLiteral("testability"), QStringLiteral("nograb"),
                                     QStringLiteral("dograb"),      QStringLiteral("sync")};
  static const QStringList kWithValue = {
      QStringLiteral("platform"),        QStringLiteral("platformpluginpath"),
      QStringLiteral("platformtheme"),   QStringLiteral("plugin"),
      QStringLiteral("qwindowgeometry"), QStringLiteral("geometry"),
      QStringLiteral("qwindowicon"),     QStringLiteral("icon"),
      QStringLiteral("qwindowtitle"),    QStringLiteral("title"),
      QStringLiteral("display"),         QStringLiteral("name"),
      QStringLiteral("visual"),          QStringLiteral("session"),
      QStringLiteral("style"),           QStringLiteral("stylesheet")};
  QStringList kept;
  for (qsizetype i = 0; i < arguments.size(); ++i) {
    const QString& argument = arguments.at(i);
    if (i == 0 || !argument.startsWith(QLatin1Char('-'))) {
      kept << argument;
      continue;
    }
    if (argument == QLatin1String("--")) {
      kept << arguments.mid(i);
      break;
    }
    const QString name = argument.mid(argument.startsWith(QLatin1String("--")) ? 2 : 1);
    if (kFlags.contains(name) || name.startsWith(QLatin1String("style=")) ||
        name.startsWith(QLatin1String("stylesheet="))) {
      continue;
    }
    if (kWithValue.contains(name)) {
      ++i;  // the value
      continue;
    }
    kept << argument;
  }
  return kept;
}

QString UserDataFolder() {
  return QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) +
         QStringLiteral("/lumivera");
}

StartRequest ReadCommandLine(const QStringList& arguments) {
  QCommandLineParser parser;
  parser.setApplicationDescription(QStringLiteral(
      "Keeps a personal day log: entries per day, person and category in a month calendar, and a "
      "chart of their development.\nWithout an option the data is kept in the current "
      "directory."));
  const QCommandLineOption userData(
      {QStringLiteral("u"), QStringLiteral("user-data")},
      QStringLiteral("Keep the data in the user's data folder, $XDG_DATA_HOME/lumivera (by "
                     "default ~/.local/share/lumivera), created when missing."));
  const QCommandLineOption dataDir(
      {QStringLiteral("d"), QStringLiteral("data-dir")},
      QStringLiteral("Keep the data in <folder>, created when missing."), QStringLiteral("folder"));
  const QCommandLineOption help({QStringLiteral("h"), QStringLiteral("help")},
                                QStringLiteral("Print this help and exit."));
  const QCommandLineOption version({QStringLiteral("v"), QStringLiteral("version")},
                                   QStringLiteral("Print the program name and version and exit."));
  parser.addOptions({userData, dataDir, help, version});

  if (!parser.parse(arguments)) return {UsageError(parser.errorText()), {}};
  if (parser.isSet(help)) {
    // The usage line names the program as it is typed, not by the path it was started by.
    QString text = parser.helpText();
    const QString started = QCoreApplication::arguments().value(0);
    if (const qsizetype at = text.indexOf(started); !started.isEmpty() && at >= 0) {
      text.replace(at, started.size(), QFileInfo(started).fileName());
    }
    Print(stdout, text);
    return {0, {}};
  }
  if (parser.isSet(version)) {
    Print(stdout, QStringLiteral("lumivera %1\n").arg(QLatin1String(kProgramVersion)));
    return {0, {}};
  }
  if (!parser.positionalArguments().isEmpty()) {
    return {UsageError(QStringLiteral("unexpected argument '%1'.")
                           .arg(parser.positionalArguments().constFirst())),
            {}};
  }
  if (parser.isSet(userData) && parser.isSet(dataDir)) {
    return {UsageError(QStringLiteral("--user-data and --data-dir exclude each other.")), {}};
  }
  if (parser.isSet(dataDir)) {
    const QString folder = parser.value(dataDir);
    if (folder.isEmpty()) return {UsageError(QStringLiteral("--data-dir needs a folder.")), {}};
    return {std::nullopt, folder};
  }
  if (parser.isSet(userData)) return {std::nullopt, UserDataFolder()};
  return {};
}
