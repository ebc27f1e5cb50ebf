// SPDX-License-Identifier: GPL-3.0-or-later
// The day's backup before the first change of each day, kept for a week and a year of months,
// and restoring one: a backup is whole and checked or not there, a failed one never stops a
// change, and a restore refuses a backup it cannot read before anything changed.
#include <QDir>
#include <QFile>
#include <QFileInfo>

#include "failing_file_writer.h"
#include "qt_print.h"
#include "store/backup_restore.h"
#include "store/changes.h"
#include "store/daily_backup.h"
#include "temp_dir.h"

namespace {

class Backups : public InTempDir {
 protected:
  QString Day(const QString& name) const { return QStringLiteral("Sicherungen/") + name; }
  QStringList BackupFolders() const {
    return QDir(Path(QStringLiteral("Sicherungen")))
        .entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                   QDir::Name);
  }
  // A backup folder holding the three files as the store writes them by default.
  void PutBackup(const QString& name, const QString& extra = {}) const {
    ASSERT_TRUE(QDir(Folder()).mkpath(Day(name)));
    for (const DataFile file : {DataFile::Persons, DataFile::Categories, DataFile::Entries}) {
      WriteBytes(Day(name) + u'/' + FileName(file), DefaultFileBytes(file));
    }
    if (!extra.isEmpty()) WriteBytes(Day(name) + u'/' + extra, "notiert");
  }
};

// Writes every copy through, but the device gives back other bytes than it was handed.
class CorruptingWriter : public FileWriter {
 public:
  std::optional<QString> Replace(const QString& path, QByteArrayView bytes) override {
    return WriteFileAtomically(path, bytes);
  }
  std::optional<QString> Create(const QString& path, QByteArrayView bytes) override {
    QByteArray changed = bytes.toByteArray();
    if (!changed.isEmpty()) changed[changed.size() / 2] = char(changed[changed.size() / 2] ^ 1);
    return WriteFileAtomically(path, changed, Placing::NewName);
  }
};

}  // namespace

// Which day backups are kept on 10.12.2026: the 7 most recent days that have one (a day after
// today, from a clock set wrong, among them), the newest of each of the 12 months before
// December, nothing older; folders that are not exactly a backup are never touched.
TEST_F(Backups, PruningKeepsAWeekAndAYearOfMonthsAndNothingForeign) {
  struct Row {
    const char* name;
    bool kept;
  };
  const Row rows[] = {
      {"2027-01-01", true},  {"2026-12-10", true},  {"2026-12-09", true},
      {"2026-12-08", true},  {"2026-12-05", true},  {"2026-12-03", true},
      {"2026-12-01", true},  {"2026-11-30", true},  // newest of November, 8th most recent
      {"2026-11-29", false}, {"2026-11-02", false}, {"2026-10-15", true},
      {"2026-10-03", false}, {"2025-12-31", true},  // the 12th month before
      {"2025-11-30", false}, {"2024-06-01", false},
  };
  for (const Row& row : rows) PutBackup(QString::fromLatin1(row.name));
  PutBackup(QStringLiteral("2020-01-01"), QStringLiteral("notiz.txt"));  // holds more
  PutBackup(QStringLiteral("2020-1-2"));                                 // not the date form
  PutBackup(QStringLiteral("2020-02-30"));                               // no such day
  PutBackup(QStringLiteral("2020-03-01-vor-Wiederherstellung-101500"));
  PutBackup(QStringLiteral("2020-04-01"));  // a copy missing: no backup, left alone
  ASSERT_TRUE(QFile::remove(Path(Day(QStringLiteral("2020-04-01/lv_items.txt")))));
  ASSERT_TRUE(QFile::link(Path(Day(QStringLiteral("2024-06-01"))),
                          Path(Day(QStringLiteral("2019-01-01")))));

  PruneBackups(Folder(), QDate(2026, 12, 10));

  QStringList expected = {
      QStringLiteral("2019-01-01"), QStringLiteral("2020-01-01"),
      QStringLiteral("2020-02-30"), QStringLiteral("2020-03-01-vor-Wiederherstellung-101500"),
      QStringLiteral("2020-04-01"), QStringLiteral("2020-1-2")};
  for (const Row& row : rows) {
    if (row.kept) expected << QString::fromLatin1(row.name);
  }
  expected.sort();
  EXPECT_EQ(BackupFolders(), expected);

  // A clock set back below a week of later backups keeps today's, which it has just made.
  for (int day = 2; day <= 8; ++day) PutBackup(QStringLiteral("2027-01-0%1").arg(day));
  PruneBackups(Folder(), QDate(2026, 12, 10));
  EXPECT_TRUE(BackupFolders().contains(QStringLiteral("2026-12-10")));
}

// The backup is made before the first change of a day, holds the files as they were before
// it, is made once a day, and again after midnight; an existing day's backup is never replaced.
TEST_F(Backups, TheFirstChangeOfEachDayCopiesTheFilesBeforeIt) {
  Store store(Folder());
  QDate today(2026, 12, 10);
  store.Backups().UseToday([&] { return today; });
  ASSERT_TRUE(store.LoadData().isEmpty());
  const QByteArray before = ReadBytes(QStringLiteral("lv_personen.txt"));

  EXPECT_EQ(StorePerson(store, Value("Anna")).result, AddPersonResult::Added);
  EXPECT_EQ(StorePerson(store, Value("Ben")).result, AddPersonResult::Added);
  EXPECT_EQ(ReadBytes(Day(QStringLiteral("2026-12-10/lv_personen.txt"))), before);
  EXPECT_EQ(BackupFolders(), QStringList{QStringLiteral("2026-12-10")});
  EXPECT_EQ(QFile::permissions(Path(Day(QStringLiteral("2026-12-10/lv_items.txt")))),
            QFile::ReadOwner | QFile::WriteOwner | QFile::ReadUser | QFile::WriteUser);

  const QByteArray afterBen = ReadBytes(QStringLiteral("lv_personen.txt"));
  today = today.addDays(1);
  EXPECT_EQ(StorePerson(store, Value("Cara")).result, AddPersonResult::Added);
  EXPECT_EQ(ReadBytes(Day(QStringLiteral("2026-12-11/lv_personen.txt"))), afterBen);

  Store later(Folder());
  later.Backups().UseToday([&] { return today; });
  ASSERT_TRUE(later.LoadData().isEmpty());
  EXPECT_EQ(StorePerson(later, Value("Dora")).result, AddPersonResult::Added);
  EXPECT_EQ(ReadBytes(Day(QStringLiteral("2026-12-11/lv_personen.txt"))), afterBen);
  EXPECT_FALSE(later.Backups().TakeWarning());
}

// A backup that cannot be written, or reads back other bytes than the file, leaves no folder,
// never stops the change and is told once per run, naming the folder and the reason; the next
// change of the day tries again.
TEST_F(Backups, AFailedBackupIsToldOnceAndNeverStopsTheChange) {
  FailingFileWriter failing;
  CorruptingWriter corrupting;
  for (FileWriter* writer : std::initializer_list<FileWriter*>{&failing, &corrupting}) {
    SCOPED_TRACE(writer == &failing ? "full disk" : "read back");
    QDir(Path(QStringLiteral("Sicherungen"))).removeRecursively();
    Store store(Folder());
    store.Backups().UseToday([] { return QDate(2026, 12, 10); });
    ASSERT_TRUE(store.LoadData().isEmpty());
    failing.FailAfterBytes(0);
    store.Backups().UseWriter(*writer);

    const bool full = writer == &failing;
    EXPECT_EQ(StorePerson(store, Value(full ? "Anna" : "Arne")).result, AddPersonResult::Added);
    const std::optional<QString> warning = store.Backups().TakeWarning();
    ASSERT_TRUE(warning);
    EXPECT_TRUE(
        warning->contains(QDir::toNativeSeparators(Path(Day(QStringLiteral("2026-12-10"))))));
    EXPECT_TRUE(warning->contains(writer == &failing ? QStringLiteral("Datenträger ist voll")
                                                     : QStringLiteral("Zurücklesen")))
        << warning->toStdString();
    EXPECT_EQ(StorePerson(store, Value(full ? "Ben" : "Bea")).result, AddPersonResult::Added);
    EXPECT_FALSE(store.Backups().TakeWarning());
    EXPECT_FALSE(QFileInfo::exists(Path(QStringLiteral("Sicherungen"))));
    EXPECT_TRUE(ReadBytes(QStringLiteral("lv_personen.txt")).contains(full ? "Ben" : "Bea"));

    failing.FailAfterBytes(-1);
    store.Backups().UseWriter(failing);
    EXPECT_EQ(StorePerson(store, Value(full ? "Cara" : "Dora")).result, AddPersonResult::Added);
    EXPECT_EQ(BackupFolders(), QStringList{QStringLiteral("2026-12-10")});
  }
}

// A restore puts the backup's files back after keeping the present ones as a backup of their
// own; a backup with a missing or damaged file is refused before anything changed.
TEST_F(Backups, RestoreKeepsTheFilesBeforeAndRefusesABackupItCannotRead) {
  Store store(Folder());
  store.Backups().UseToday([] { return QDate(2026, 12, 9); });
  ASSERT_TRUE(store.LoadData().isEmpty());
  const QByteArray old = ReadBytes(QStringLiteral("lv_personen.txt"));
  ASSERT_EQ(StorePerson(store, Value("Anna")).result, AddPersonResult::Added);
  const QByteArray now = ReadBytes(QStringLiteral("lv_personen.txt"));
  PutBackup(QStringLiteral("2026-12-01"));
  WriteBytes(Day(QStringLiteral("2026-12-01/lv_items.txt")), "2\r\n\"a\"\r\n");
  PutBackup(QStringLiteral("2026-12-02"));
  QFile::remove(Path(Day(QStringLiteral("2026-12-02/lv_kategorien.txt"))));

  const QDateTime at(QDate(2026, 12, 10), QTime(7, 15, 2));
  for (const char* refused : {"2026-12-01", "2026-12-02", "2026-12-03", "../2026-12-09"}) {
    const RestoreResult result =
        RestoreBackup(Folder(), QString::fromLatin1(refused), RealFileWriter(), at);
    ASSERT_TRUE(result.failure) << refused;
    EXPECT_TRUE(result.failure->contains(QStringLiteral("Nichts wurde geändert")));
    EXPECT_EQ(ReadBytes(QStringLiteral("lv_personen.txt")), now);
  }
  EXPECT_EQ(BackupFolders(),
            (QStringList{QStringLiteral("2026-12-01"), QStringLiteral("2026-12-02"),
                         QStringLiteral("2026-12-09")}));

  const RestoreResult result =
      RestoreBackup(Folder(), QStringLiteral("2026-12-09"), RealFileWriter(), at);
  EXPECT_FALSE(result.failure) << result.failure->toStdString();
  EXPECT_EQ(result.keptAs, QStringLiteral("2026-12-10-vor-Wiederherstellung-071502"));
  EXPECT_EQ(ReadBytes(QStringLiteral("lv_personen.txt")), old);
  EXPECT_EQ(ReadBytes(Day(result.keptAs + QStringLiteral("/lv_personen.txt"))), now);
  EXPECT_EQ(ReadBytes(Day(QStringLiteral("2026-12-10/lv_personen.txt"))), now);

  const std::vector<BackupSummary> list = ListBackups(Folder());
  QStringList names;
  for (const BackupSummary& backup : list) names << backup.name;
  EXPECT_EQ(names,
            (QStringList{result.keptAs, QStringLiteral("2026-12-10"), QStringLiteral("2026-12-09"),
                         QStringLiteral("2026-12-02"), QStringLiteral("2026-12-01")}));
  EXPECT_EQ(list[0].persons, 2);
  EXPECT_EQ(list[2].persons, 1);
  EXPECT_TRUE(list[3].problem && list[4].problem);
}
