// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <QDir>
#include <QProcess>
#include <QTemporaryDir>
#include <tuple>

#include "app/data_folder.h"
#include "store/changes.h"
#include "temp_dir.h"

// The real program on a terminal without a display: a usage error is printed with exit code 2
// before the window system is asked for, and Qt's own options are no usage error.
TEST(CommandLine, AnswersWithoutADisplay) {
  struct Case {
    QStringList arguments;
    int exitCode;
    QString output;  // the beginning of stderr, or of stdout for exit code 0
  };
  const Case cases[] = {
      {{QStringLiteral("--bogus")},
       2,
       QString::fromUtf8("lumivera: unbekannte Option „--bogus“.\n")},
      {{QStringLiteral("--data-dir")},
       2,
       QStringLiteral("lumivera: --data-dir braucht einen Ordner.\n")},
      {{QStringLiteral("-platform"), QStringLiteral("offscreen"), QStringLiteral("--version")},
       0,
       QStringLiteral("lumivera ")},
      // The window needs a display: said in German, not the toolkit's abort.
      {{QStringLiteral("--restore-dialog")},
       1,
       QStringLiteral("lumivera: Kein Bildschirm gefunden")},
  };
  QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
  for (const char* name : {"QT_QPA_PLATFORM", "DISPLAY", "WAYLAND_DISPLAY"})
    environment.remove(QString::fromLatin1(name));
  for (const Case& c : cases) {
    QProcess program;
    program.setProcessEnvironment(environment);
    program.start(QStringLiteral(LUMIVERA_PROGRAM), c.arguments);
    ASSERT_TRUE(program.waitForFinished(10000)) << c.arguments.join(u' ').toStdString();
    EXPECT_EQ(program.exitStatus(), QProcess::NormalExit) << c.arguments.join(u' ').toStdString();
    EXPECT_EQ(program.exitCode(), c.exitCode) << c.arguments.join(u' ').toStdString();
    const QString output = QString::fromLocal8Bit(c.exitCode == 0 ? program.readAllStandardOutput()
                                                                  : program.readAllStandardError());
    EXPECT_TRUE(output.startsWith(c.output)) << output.toStdString();
  }
}

namespace {

class RestoreCommand : public InTempDir {
 protected:
  // The program on the folder without a display: exit code, stdout and stderr.
  std::tuple<int, QString, QString> Run(const QStringList& arguments) const {
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    for (const char* name : {"QT_QPA_PLATFORM", "DISPLAY", "WAYLAND_DISPLAY"})
      environment.remove(QString::fromLatin1(name));
    QProcess program;
    program.setProcessEnvironment(environment);
    program.start(QStringLiteral(LUMIVERA_PROGRAM),
                  QStringList{QStringLiteral("--data-dir"), Folder()} + arguments);
    EXPECT_TRUE(program.waitForFinished(10000));
    return {program.exitCode(), QString::fromLocal8Bit(program.readAllStandardOutput()),
            QString::fromLocal8Bit(program.readAllStandardError())};
  }
};

}  // namespace

// The real program lists the backups newest first with what they hold, restores one after
// keeping the files as they were, and refuses while a window holds the folder.
TEST_F(RestoreCommand, ListsAndRestoresABackupWithoutADisplay) {
  Store store(Folder());
  store.Backups().UseToday([] { return QDate(2026, 12, 9); });
  ASSERT_TRUE(store.LoadData().isEmpty());
  const QByteArray before = ReadBytes(QStringLiteral("lv_personen.txt"));
  ASSERT_EQ(StorePerson(store, Value("Anna")).result, AddPersonResult::Added);
  const QByteArray after = ReadBytes(QStringLiteral("lv_personen.txt"));

  const auto [listed, list, listErrors] = Run({QStringLiteral("--restore")});
  EXPECT_EQ(listed, 0) << listErrors.toStdString();
  EXPECT_TRUE(list.contains(QString::fromUtf8(
      "2026-12-09  09.12.2026  Personen: 1, Kategorie-Einträge: 22, Einträge: 0")))
      << list.toStdString();

  {
    DataFolder window;
    ASSERT_FALSE(window.Open(Folder()));
    const auto [refused, out, errors] =
        Run({QStringLiteral("--restore"), QStringLiteral("2026-12-09")});
    EXPECT_EQ(refused, 1);
    EXPECT_TRUE(errors.contains(QStringLiteral("geöffnet"))) << errors.toStdString();
    EXPECT_EQ(ReadBytes(QStringLiteral("lv_personen.txt")), after);
  }

  const auto [restored, out, errors] =
      Run({QStringLiteral("--restore"), QStringLiteral("2026-12-09")});
  EXPECT_EQ(restored, 0) << errors.toStdString();
  EXPECT_EQ(ReadBytes(QStringLiteral("lv_personen.txt")), before);
  const QStringList kept = QDir(Path(QStringLiteral("Sicherungen")))
                               .entryList({QStringLiteral("*-vor-Wiederherstellung-*")});
  ASSERT_EQ(kept.size(), 1);
  EXPECT_EQ(
      ReadBytes(QStringLiteral("Sicherungen/") + kept[0] + QStringLiteral("/lv_personen.txt")),
      after);
  const auto [missing, none, why] =
      Run({QStringLiteral("--restore"), QStringLiteral("2001-01-01")});
  EXPECT_EQ(missing, 1);
  EXPECT_TRUE(why.contains(QStringLiteral("gibt es"))) << why.toStdString();
}

// The real program hands the entries to a spreadsheet and takes them back without a display:
// exported, imported into an empty folder and exported again, the file is the same; a refused row
// stores nothing and is told with its line.
TEST_F(RestoreCommand, ExportsAndImportsWithoutADisplay) {
  WriteBytes(
      "lv_items.txt",
      "2\r\n#2026-12-05#,\"Haushalt\",\"Sport\",\"Joggen\",5.5,\"=am See, 3 km\",\"\",\"\"\r\n"
      "#2026-12-01#,\"Zora\",\"Ausgaben\",\"Einkauf\",-3.25,\"Br\xf6tchen\",\"\",\"\"\r\n");
  const QString csv = Path("ausfuhr.csv");
  ASSERT_EQ(std::get<0>(Run({QStringLiteral("--export"), csv})), 0);
  const QByteArray exported = ReadBytes("ausfuhr.csv");
  EXPECT_EQ(exported,
            "\xEF\xBB\xBF"
            "Datum,Person,Kategorie,Eintrag,Wert,Beschreibung\r\n"
            "2026-12-01,\"Zora\",\"Ausgaben\",\"Einkauf\",-3.25,\"Br\xC3\xB6tchen\"\r\n"
            "2026-12-05,\"Haushalt\",\"Sport\",\"Joggen\",5.5,\"'=am See, 3 km\"\r\n");

  QTemporaryDir other;
  const auto [code, out, err] = [&] {
    QProcess program;
    program.start(QStringLiteral(LUMIVERA_PROGRAM),
                  {QStringLiteral("-d"), other.path(), QStringLiteral("--import"), csv});
    program.waitForFinished(10000);
    return std::tuple{program.exitCode(), QString::fromUtf8(program.readAllStandardOutput()),
                      QString::fromUtf8(program.readAllStandardError())};
  }();
  ASSERT_EQ(code, 0) << err.toStdString();
  EXPECT_EQ(out, QString::fromUtf8("2 Einträge neu, 0 geändert, 1 Person hinzugefügt.\n"));
  QProcess again;
  again.start(QStringLiteral(LUMIVERA_PROGRAM), {QStringLiteral("-d"), other.path(),
                                                 QStringLiteral("--export"), QStringLiteral("-")});
  ASSERT_TRUE(again.waitForFinished(10000));
  EXPECT_EQ(again.readAllStandardOutput(), exported);

  WriteBytes("zeilen.csv",
             "Datum,Person,Kategorie,Eintrag,Wert,Beschreibung\r\n"
             "2026-12-07,Haushalt,Sport,Walken,2,x\r\n"
             "2026-12-08,Haushalt,Sport,Walken,zwei,x\r\n");
  const QByteArray before = ReadBytes("lv_items.txt");
  const auto [refused, nothing, told] = Run({QStringLiteral("--import"), Path("zeilen.csv")});
  EXPECT_EQ(refused, 1);
  EXPECT_TRUE(told.contains(QStringLiteral("Zeile 3: Wert - keine Zahl"))) << told.toStdString();
  EXPECT_EQ(ReadBytes("lv_items.txt"), before);
}
