// SPDX-License-Identifier: GPL-3.0-or-later
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QDir>
#include <QFile>
#include <chrono>
#include <functional>
#include <thread>

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

// Several faults give one message in plain words: how many records were read whole, which rows
// lost which fields, and where the original is kept.
TEST_F(StoreFiles, ADamagedFileIsToldInOneMessageNamingRowsAndFields) {
  QByteArray bytes = Entries(4, 4);
  bytes.replace("\"Item1\",1,", "\"Item1\",abc,");
  bytes.replace("#2024-03-05#,\"Haushalt\",\"Sport\",\"Item2\"",
                "#2024-13-05#,\"Haushalt\",\"Sport\",\"Item2\"");
  bytes.replace("\"Item3\",3,\"x\",\"\",\"\"", "\"Item3\",3");
  WriteBytes("lv_items.txt", bytes);
  EXPECT_EQ(store.ReadEntryFile(),
            QString::fromUtf8(
                "Aus „lv_items.txt“ wurden 1 von 4 Einträgen gelesen; in Zeile 3 fehlt der Wert, "
                "in Zeile 4 der Tag, in Zeile 5 fehlen die letzten 3 Felder. Die Datei, wie sie "
                "war, wird vor der nächsten Änderung als „lv_items.txt.beschaedigt“ daneben "
                "aufbewahrt."));
  ASSERT_EQ(store.entries.Count(), 4);
  EXPECT_TRUE(store.entries.Row(2).Value().IsEmpty());
  EXPECT_TRUE(store.entries.Row(3).Date().IsEmpty());
  EXPECT_EQ(store.entries.Row(3).Value(), Value(2));  // the rest of the row is kept
}

// A UTF-8 text Windows-1252 cannot hold is never changed unseen: the load names file, row, field
// and character, the table holds "?" in its place (one for each character, even beyond the
// 16-bit plane), and the original is kept before the first rewrite.
TEST_F(StoreFiles, ACharacterTheFileCannotStoreIsToldAndTheOriginalKept) {
  const QByteArray original =
      "1\r\n#2024-03-05#,\"Haushalt\",\"Sport\",\"Joggen\",5,\"Lauf \xE2\x9C\x93 \xF0\x9F\x98\x80 "
      "\xC3\xA4\",\"\",\"\"\r\n";
  WriteBytes("lv_items.txt", original);
  const auto said = store.ReadEntryFile();
  ASSERT_TRUE(said);
  EXPECT_TRUE(said->contains(QString::fromUtf8(
      "in Zeile 2 enthält die Beschreibung das Zeichen „✓“ (U+2713), das Lumivera nicht "
      "speichern kann; dort steht nun „?“")))
      << said->toStdString();
  EXPECT_EQ(store.entries.Row(1).Description(), Value(QString::fromUtf8("Lauf ? ? ä")));
  ASSERT_FALSE(store.WriteEntryFile());
  EXPECT_EQ(ReadBytes("lv_items.txt.beschaedigt"), original);
  EXPECT_TRUE(ReadBytes("lv_items.txt").contains("\"Lauf ? ? \xE4\""));
}

// Sync clients and some editors rewrite a file in place, keep its size and set its modification
// time back: the change time, which no program can set, still tells.
TEST_F(StoreFiles, ARewriteInPlaceWithTheOldSizeAndTimeIsNoticed) {
  WriteBytes("lv_items.txt", Entries(1, 1));
  ASSERT_FALSE(store.ReadEntryFile());
  const QByteArray path = QFile::encodeName(Path("lv_items.txt"));
  struct stat before {};
  ASSERT_EQ(::stat(path.constData(), &before), 0);
  // Past the file system's clock tick of the read, so the change time can move.
  std::this_thread::sleep_for(std::chrono::milliseconds(50));
  QByteArray changed = Entries(1, 1);
  changed.replace("\"x\"", "\"y\"");
  const int fd = ::open(path.constData(), O_WRONLY);
  ASSERT_GE(fd, 0);
  ASSERT_EQ(::pwrite(fd, changed.constData(), static_cast<std::size_t>(changed.size()), 0),
            changed.size());
  ::close(fd);
  const struct timespec times[2] = {before.st_atim, before.st_mtim};
  ASSERT_EQ(::utimensat(AT_FDCWD, path.constData(), times, 0), 0);
  struct stat after {};
  ASSERT_EQ(::stat(path.constData(), &after), 0);
  ASSERT_EQ(after.st_size, before.st_size);
  ASSERT_EQ(after.st_mtim.tv_nsec, before.st_mtim.tv_nsec);

  const Store::Reread reread = store.RereadIfChangedOutside(DataFile::Entries);
  EXPECT_TRUE(reread.changed);
  EXPECT_EQ(store.entries.Row(1).Description(), Value("y"));
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
