// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QDir>
#include <QFile>
#include <functional>

#include "failing_file_writer.h"
#include "store/store.h"
#include "temp_dir.h"

namespace {

const QByteArray kDefaultCategories =
    "22\r\n"
    "\"pers\xf6nliches\",\"Gewicht\"\r\n\"pers\xf6nliches\",\"wohlbefinden\"\r\n"
    "\"Ausgaben\",\"Einkauf\"\r\n\"Ausgaben\",\"Auto\"\r\n\"Ausgaben\",\"Tanken\"\r\n"
    "\"Ausgaben\",\"Zigaretten\"\r\n\"Ausgaben\",\"Feiern\"\r\n\"Ausgaben\",\"Handy\"\r\n"
    "\"Sport\",\"Joggen\"\r\n\"Sport\",\"Fu\xdf"
    "ball\"\r\n\"Sport\",\"Move\"\r\n"
    "\"Sport\",\"Stepper\"\r\n\"Sport\",\"Walken\"\r\n\"Sport\",\"Fitness\"\r\n"
    "\"Sport\",\"Fahrrad\"\r\n\"Essen/Trinken\",\"Chips\"\r\n\"Essen/Trinken\",\"Schokolade\"\r\n"
    "\"Essen/Trinken\",\"Obst\"\r\n\"Essen/Trinken\",\"Pommes\"\r\n\"Essen/Trinken\",\"Burger\"\r\n"
    "\"Essen/Trinken\",\"Pasta\"\r\n\"Essen/Trinken\",\"Pizza\"\r\n";

QByteArray Entries(int count, int records) {
  QByteArray out = QByteArray::number(count) + "\r\n";
  for (int i = 0; i < records; ++i) {
    out += "#2024-03-05#,\"Haushalt\",\"Sport\",\"Item" + QByteArray::number(i) + "\"," +
           QByteArray::number(i) + ",\"x\",\"\",\"\"\r\n";
  }
  return out;
}

class StoreFiles : public InTempDir {
 protected:
  FailingFileWriter writer;
  Store store{Folder(), writer};
};

}  // namespace

TEST_F(StoreFiles, FirstStartWritesTheDefaultFilesByteForByte) {
  EXPECT_TRUE(store.LoadData().isEmpty());
  EXPECT_EQ(ReadBytes("lv_personen.txt"), QByteArray("1\r\n\"Haushalt\"\r\n"));
  EXPECT_EQ(ReadBytes("lv_kategorien.txt"), kDefaultCategories);
  EXPECT_EQ(ReadBytes("lv_items.txt"), QByteArray("0\r\n"));
  ASSERT_EQ(store.persons.Count(), 1);
  EXPECT_EQ(store.persons.Row(1).Name(), Value("Haushalt"));
  ASSERT_EQ(store.categories.Count(), 22);
  EXPECT_EQ(store.categories.Row(1).Category(), Value(QString::fromUtf8("persönliches")));
  EXPECT_EQ(store.categories.Row(10).Item(), Value(QString::fromUtf8("Fußball")));
  EXPECT_EQ(store.entries.Count(), 0);
}

TEST_F(StoreFiles, PresentFilesAreFoundWhereverTheyAreListedAndNeverReplaced) {
  // "a..." sorts before and "zz..." after the data files; an empty persons file stays as it is.
  WriteBytes("a_first.txt", "x");
  WriteBytes("lv_personen.txt", "0\r\n");
  WriteBytes("lv_items.txt", Entries(2, 2));
  WriteBytes("zz_last.txt", "x");
  WriteBytes("LV_KATEGORIEN.TXT", "0\r\n");  // another name: the real file is still missing
  EXPECT_TRUE(store.LoadData().isEmpty());
  EXPECT_EQ(ReadBytes("lv_personen.txt"), QByteArray("0\r\n"));
  EXPECT_EQ(store.persons.Count(), 0);
  EXPECT_EQ(ReadBytes("lv_items.txt"), Entries(2, 2));
  EXPECT_EQ(store.entries.Count(), 2);
  EXPECT_EQ(ReadBytes("lv_kategorien.txt"), kDefaultCategories);
  EXPECT_EQ(ReadBytes("LV_KATEGORIEN.TXT"), QByteArray("0\r\n"));
}

TEST_F(StoreFiles, RewriteReproducesTheFileExactly) {
  ASSERT_TRUE(store.LoadData().isEmpty());
  WriteBytes("lv_items.txt", Entries(3, 3));
  ASSERT_FALSE(store.ReadEntryFile());
  ASSERT_FALSE(store.WriteEntryFile());
  EXPECT_EQ(ReadBytes("lv_items.txt"), Entries(3, 3));
}

struct DamageCase {
  const char* name;
  QByteArray bytes;
  int loaded;
};

TEST_F(StoreFiles, DamagedFilesLoadWhatCanBeReadAndKeepTheOriginalBeforeRewriting) {
  QByteArray badDay = Entries(3, 3);
  badDay.replace("#2024-03-05#", "#2024-13-05#");
  const DamageCase cases[] = {
      {"count not a number", "abc\r\n" + Entries(2, 2).mid(3), 2},
      {"negative count", "-1\r\n", 0},
      {"fractional count", Entries(2, 2).replace(0, 1, "1.5"), 2},
      {"fewer records than the count", Entries(5, 3), 3},
      {"day that is no day", badDay, 3},
      {"empty file", "", 0},
      {"count beyond capacity", Entries(50001, 3), 3},
      {"a line that is no whole record", Entries(2, 2) + "\"Rest\"\r\n", 3},
  };
  for (const DamageCase& c : cases) {
    SCOPED_TRACE(c.name);
    WriteBytes("lv_items.txt", c.bytes);
    Store s(Folder());
    const auto problem = s.ReadEntryFile();
    ASSERT_TRUE(problem);
    EXPECT_TRUE(problem->contains(QString::fromUtf8("„lv_items.txt“"))) << problem->toStdString();
    EXPECT_EQ(s.entries.Count(), c.loaded);
    ASSERT_FALSE(s.WriteEntryFile());
    EXPECT_EQ(ReadBytes("lv_items.txt.beschaedigt"), c.bytes);
    ASSERT_FALSE(s.WriteEntryFile());  // kept once; the second rewrite keeps the backup as it is
    EXPECT_EQ(ReadBytes("lv_items.txt.beschaedigt"), c.bytes);
    QFile::remove(Path("lv_items.txt.beschaedigt"));
  }
}

TEST_F(StoreFiles, AnExistingBackupIsNeverOverwritten) {
  WriteBytes("lv_items.txt.beschaedigt", "older");
  WriteBytes("lv_items.txt", Entries(4, 1));
  ASSERT_TRUE(store.ReadEntryFile());
  EXPECT_EQ(store.BackupName(DataFile::Entries), "lv_items.txt.beschaedigt-2");
  ASSERT_FALSE(store.WriteEntryFile());
  EXPECT_EQ(ReadBytes("lv_items.txt.beschaedigt"), QByteArray("older"));
  EXPECT_EQ(ReadBytes("lv_items.txt.beschaedigt-2"), Entries(4, 1));
}

TEST_F(StoreFiles, CapacitiesAreNeverExceeded) {
  QByteArray persons = "101\r\n";
  for (int i = 0; i < 101; ++i) persons += "\"P" + QByteArray::number(i) + "\"\r\n";
  WriteBytes("lv_personen.txt", persons);
  EXPECT_TRUE(store.ReadPersonFile());
  EXPECT_EQ(store.persons.Count(), 100);

  WriteBytes("lv_items.txt", Entries(50000, 50000));
  EXPECT_FALSE(store.ReadEntryFile());
  EXPECT_EQ(store.entries.Count(), 50000);
}

TEST_F(StoreFiles, AFileThatCannotBeReadIsNeverRewritten) {
  ASSERT_TRUE(QDir(Path(".")).mkdir("lv_items.txt"));
  const QStringList problems = store.LoadData();
  ASSERT_EQ(problems.size(), 1);
  EXPECT_TRUE(problems[0].contains(QString::fromUtf8("„lv_items.txt“")));
  EXPECT_TRUE(store.WasUnreadable(DataFile::Entries));
  const auto refused = store.WriteEntryFile();
  ASSERT_TRUE(refused);
  EXPECT_TRUE(refused->contains(QString::fromUtf8("„lv_items.txt“")));
  EXPECT_TRUE(QFileInfo(Path("lv_items.txt")).isDir());
}

TEST_F(StoreFiles, AFailedWriteLeavesTheOldFileWhole) {
  ASSERT_TRUE(store.LoadData().isEmpty());
  store.persons.rows.push_back(PersonRow{{Value("Anna")}});
  writer.FailAfterBytes(5);
  const auto failure = store.WritePersonFile();
  ASSERT_TRUE(failure);
  EXPECT_TRUE(failure->contains(QString::fromUtf8("„lv_personen.txt“")));
  EXPECT_EQ(ReadBytes("lv_personen.txt"), QByteArray("1\r\n\"Haushalt\"\r\n"));
  EXPECT_EQ(QDir(Path(".")).entryList(QDir::Files).size(), 3);  // no temporary file left behind
}

// What is no regular file, or larger than the program reads, is never opened for reading (a
// named pipe would block the start, a device or a sparse file would fill the memory) and never
// rewritten; a change that would make a file larger than that is refused.
TEST_F(StoreFiles, OnlyRegularFilesWithinTheirBoundAreReadAndNoneElseIsRewritten) {
  struct Case {
    const char* name;
    std::function<bool(const QByteArray& path)> make;
    const char* reason;
  };
  const Case cases[] = {
      {"named pipe", [](const QByteArray& p) { return mkfifo(p.constData(), 0600) == 0; }, "Pipe"},
      {"link to a device",
       [](const QByteArray& p) { return symlink("/dev/zero", p.constData()) == 0; }, "Gerät"},
      {"link to a folder",
       [this](const QByteArray& p) {
         return QDir().mkdir(Path("folder")) &&
                symlink(QFile::encodeName(Path("folder")).constData(), p.constData()) == 0;
       },
       "Ordner"},
      {"sparse file past the bound",
       [](const QByteArray& p) {
         QFile file(QFile::decodeName(p));
         return file.open(QIODevice::WriteOnly) &&
                file.resize(LargestFileBytes(DataFile::Entries) + 1);
       },
       "größer"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    QDir(Path(".")).removeRecursively();
    ASSERT_TRUE(QDir().mkpath(Folder()));
    const QByteArray path = QFile::encodeName(Path("lv_items.txt"));
    ASSERT_TRUE(c.make(path));
    struct stat before {};
    ASSERT_EQ(lstat(path.constData(), &before), 0);

    Store s(Folder());
    const QStringList problems = s.LoadData();
    ASSERT_EQ(problems.size(), 1);
    EXPECT_TRUE(problems[0].contains(QString::fromUtf8("„lv_items.txt“")))
        << problems[0].toStdString();
    EXPECT_TRUE(problems[0].contains(QString::fromUtf8(c.reason))) << problems[0].toStdString();
    EXPECT_TRUE(s.WriteEntryFile());
    struct stat after {};
    ASSERT_EQ(lstat(path.constData(), &after), 0);
    EXPECT_EQ(after.st_mode, before.st_mode);
    EXPECT_EQ(after.st_size, before.st_size);
    EXPECT_EQ(after.st_ino, before.st_ino);
  }
  QDir(Path(".")).removeRecursively();
  ASSERT_TRUE(QDir().mkpath(Folder()));

  ASSERT_TRUE(store.LoadData().isEmpty());
  const QString longName(20000, u'x');
  for (int i = 0; i < 60; ++i)
    store.persons.rows.push_back(PersonRow{{Value(longName + QString::number(i))}});
  const auto refused = store.WritePersonFile();
  ASSERT_TRUE(refused);
  EXPECT_TRUE(refused->contains(QString::fromUtf8("„lv_personen.txt“")));
  EXPECT_EQ(ReadBytes("lv_personen.txt"), QByteArray("1\r\n\"Haushalt\"\r\n"));
}

// A link planted where the damaged original is to be kept, before it is loaded or after, is
// never followed: the original goes to a name nothing holds, and the link's target stays absent.
TEST_F(StoreFiles, TheDamagedOriginalNeverFollowsALinkOutOfTheFolder) {
  const QByteArray outside = QFile::encodeName(Path("outside"));
  ASSERT_EQ(
      symlink(outside.constData(), QFile::encodeName(Path("lv_items.txt.beschaedigt")).constData()),
      0);
  WriteBytes("lv_items.txt", Entries(4, 1));
  ASSERT_TRUE(store.ReadEntryFile());
  EXPECT_EQ(store.BackupName(DataFile::Entries), "lv_items.txt.beschaedigt-2");
  ASSERT_EQ(symlink(outside.constData(),
                    QFile::encodeName(Path("lv_items.txt.beschaedigt-2")).constData()),
            0);
  ASSERT_FALSE(store.WriteEntryFile());
  EXPECT_EQ(store.BackupName(DataFile::Entries), "lv_items.txt.beschaedigt-3");
  EXPECT_EQ(ReadBytes("lv_items.txt.beschaedigt-3"), Entries(4, 1));
  EXPECT_FALSE(QFileInfo::exists(Path("outside")));
}
