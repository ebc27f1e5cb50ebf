// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/command_line.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QDate>
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
        QStringLiteral("lumivera: %1\n„lumivera --help“ zeigt alle Optionen.\n").arg(problem));
  return kUsageError;
}

// The help, in the language of the window.
QString HelpText() {
  return QStringLiteral(
      "Aufruf: lumivera [Option]\n"
      "       lumivera [--user-data | --data-dir <Ordner>] --restore [JJJJ-MM-TT]\n"
      "       lumivera [--user-data | --data-dir <Ordner>] --export <Datei> [--person <Name>]\n"
      "                [--from JJJJ-MM-TT] [--to JJJJ-MM-TT]\n"
      "       lumivera [--user-data | --data-dir <Ordner>] --import <Datei>\n"
      "Führt ein persönliches Tagebuch: Einträge je Tag, Person und Kategorie in einem\n"
      "Monatskalender und ein Diagramm ihrer Entwicklung. Ohne Option liegen die Daten im\n"
      "aktuellen Ordner.\n"
      "\n"
      "Optionen:\n"
      "  -u, --user-data        die Daten im Datenordner des Benutzers halten,\n"
      "                         $XDG_DATA_HOME/lumivera (sonst ~/.local/share/lumivera);\n"
      "                         er wird bei Bedarf angelegt\n"
      "  -d, --data-dir <Ordner>\n"
      "                         die Daten in <Ordner> halten; er wird bei Bedarf angelegt\n"
      "  -r, --restore [Sicherung]\n"
      "                         ohne Sicherung: die Sicherungen im Ordner „Sicherungen“ des\n"
      "                         Datenordners auflisten, die neueste zuerst; mit dem Namen einer\n"
      "                         Sicherung (JJJJ-MM-TT): ihre Dateien zurücklegen, nachdem die\n"
      "                         jetzigen als eigene Sicherung aufbewahrt wurden\n"
      "      --restore-dialog   ein Fenster zeigen, das eine Sicherung wiederherstellt\n"
      "  -e, --export <Datei>   die Einträge als CSV für Tabellenkalkulationen in <Datei>\n"
      "                         schreiben (UTF-8, Kopfzeile, ISO-Tage); „-“: auf die Ausgabe\n"
      "      --person <Name>    mit --export: nur die Einträge dieser Person\n"
      "      --from JJJJ-MM-TT  mit --export: nur die Einträge ab diesem Tag\n"
      "      --to JJJJ-MM-TT    mit --export: nur die Einträge bis zu diesem Tag\n"
      "  -i, --import <Datei>   die Zeilen einer CSV-Datei mit der Kopfzeile der Ausfuhr\n"
      "                         übernehmen, alle oder keine (auch mit Semikolon und\n"
      "                         Dezimalkomma, wie deutsche Tabellen sie speichern)\n"
      "  -h, --help             diese Hilfe zeigen und beenden\n"
      "  -v, --version          Programmname und Version zeigen und beenden\n");
}

// Why the parser refused the arguments, in German.
QString ParseProblem(const QCommandLineParser& parser) {
  if (!parser.unknownOptionNames().isEmpty()) {
    const QString name = parser.unknownOptionNames().constFirst();
    return QStringLiteral("unbekannte Option „%1%2“.")
        .arg(name.size() == 1 ? QStringLiteral("-") : QStringLiteral("--"), name);
  }
  // The only other refusal: an option that takes a value is the last argument.
  const QString last = parser.optionNames().isEmpty() ? QString() : parser.optionNames().last();
  if (last == QLatin1String("e") || last == QLatin1String("export") || last == QLatin1String("i") ||
      last == QLatin1String("import"))
    return QStringLiteral("--export und --import brauchen eine Datei.");
  if (last == QLatin1String("person")) return QStringLiteral("--person braucht einen Namen.");
  if (last == QLatin1String("from") || last == QLatin1String("to"))
    return QStringLiteral("--from und --to brauchen einen Tag (JJJJ-MM-TT).");
  return QStringLiteral("--data-dir braucht einen Ordner.");
}

// A start that ends at once with `exitCode`.
StartRequest Ending(int exitCode) {
  StartRequest request;
  request.exitCode = exitCode;
  return request;
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
  // The options as HelpText() describes them.
  QCommandLineParser parser;
  const QCommandLineOption userData(QStringList{QStringLiteral("u"), QStringLiteral("user-data")});
  const QCommandLineOption dataDir({QStringLiteral("d"), QStringLiteral("data-dir")}, QString(),
                                   QStringLiteral("Ordner"));
  const QCommandLineOption help(QStringList{QStringLiteral("h"), QStringLiteral("help")});
  const QCommandLineOption version(QStringList{QStringLiteral("v"), QStringLiteral("version")});
  const QCommandLineOption restore(QStringList{QStringLiteral("r"), QStringLiteral("restore")});
  const QCommandLineOption restoreDialog(QStringList{QStringLiteral("restore-dialog")});
  const QCommandLineOption exportTo({QStringLiteral("e"), QStringLiteral("export")}, QString(),
                                    QStringLiteral("Datei"));
  const QCommandLineOption importFrom({QStringLiteral("i"), QStringLiteral("import")}, QString(),
                                      QStringLiteral("Datei"));
  const QCommandLineOption person(QStringList{QStringLiteral("person")}, QString(),
                                  QStringLiteral("Name"));
  const QCommandLineOption from(QStringList{QStringLiteral("from")}, QString(),
                                QStringLiteral("Tag"));
  const QCommandLineOption to(QStringList{QStringLiteral("to")}, QString(), QStringLiteral("Tag"));
  parser.addOptions({userData, dataDir, help, version, restore, restoreDialog, exportTo, importFrom,
                     person, from, to});

  if (!parser.parse(arguments)) return Ending(UsageError(ParseProblem(parser)));
  if (parser.isSet(help)) {
    Print(stdout, HelpText());
    return Ending(0);
  }
  if (parser.isSet(version)) {
    Print(stdout, QStringLiteral("lumivera %1\n").arg(QLatin1String(kProgramVersion)));
    return Ending(0);
  }
  // Only --restore takes an argument of its own: the backup.
  const QStringList positional = parser.positionalArguments();
  const qsizetype allowed = parser.isSet(restore) ? 1 : 0;
  if (positional.size() > allowed) {
    return Ending(
        UsageError(QStringLiteral("unerwartetes Argument „%1“.").arg(positional.at(allowed))));
  }
  if (parser.isSet(restore) && parser.isSet(restoreDialog)) {
    return Ending(
        UsageError(QStringLiteral("--restore und --restore-dialog schließen einander aus.")));
  }
  if (parser.isSet(userData) && parser.isSet(dataDir)) {
    return Ending(UsageError(QStringLiteral("--user-data und --data-dir schließen einander aus.")));
  }
  const int modes = int(parser.isSet(restore)) + int(parser.isSet(restoreDialog)) +
                    int(parser.isSet(exportTo)) + int(parser.isSet(importFrom));
  if (modes > 1) {
    return Ending(UsageError(
        QStringLiteral("--restore, --restore-dialog, --export und --import schließen einander "
                       "aus.")));
  }
  if (!parser.isSet(exportTo) && (parser.isSet(person) || parser.isSet(from) || parser.isSet(to))) {
    return Ending(UsageError(QStringLiteral("--person, --from und --to gehören zu --export.")));
  }
  StartRequest request;
  if (parser.isSet(exportTo) || parser.isSet(importFrom)) {
    request.mode = parser.isSet(exportTo) ? StartMode::Export : StartMode::Import;
    request.file = parser.value(parser.isSet(exportTo) ? exportTo : importFrom);
    if (request.file.isEmpty())
      return Ending(UsageError(QStringLiteral("--export und --import brauchen eine Datei.")));
    if (parser.isSet(person)) request.filter.person = parser.value(person);
    for (const auto& [option, day] :
         {std::pair{&from, &request.filter.from}, std::pair{&to, &request.filter.to}}) {
      if (!parser.isSet(*option)) continue;
      const QDate read = QDate::fromString(parser.value(*option), Qt::ISODate);
      if (!read.isValid()) {
        return Ending(UsageError(
            QStringLiteral("„%1“ ist kein Tag (JJJJ-MM-TT).").arg(parser.value(*option))));
      }
      *day = read;
    }
  }
  if (parser.isSet(restore)) request.mode = StartMode::Restore;
  if (parser.isSet(restoreDialog)) request.mode = StartMode::RestoreDialog;
  if (!positional.isEmpty()) request.backupName = positional.constFirst();
  if (parser.isSet(dataDir)) {
    request.dataFolder = parser.value(dataDir);
    if (request.dataFolder.isEmpty())
      return Ending(UsageError(QStringLiteral("--data-dir braucht einen Ordner.")));
  } else if (parser.isSet(userData)) {
    request.dataFolder = UserDataFolder();
  }
  return request;
}
