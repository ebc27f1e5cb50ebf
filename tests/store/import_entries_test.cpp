// SPDX-License-Identifier: GPL-3.0-or-later
#include "store/import_entries.h"

#include <gtest/gtest.h>

#include <QDir>

#include "failing_file_writer.h"
#include "temp_dir.h"

namespace {

class Import : public InTempDir {
 protected:
  void SetUp() override {
    InTempDir::SetUp();
    ASSERT_TRUE(store.LoadData().isEmpty());
  }
  static ImportedEntry Row(int day, const char* person, const char* item, double value,
                           const char* description = "") {
    return {QDate(2026, 12, day),
            QString::fromUtf8(person),
            QStringLiteral("Sport"),
            QString::fromUtf8(item),
            value,
            QString::fromUtf8(description)};
  }
  FailingFileWriter writer;
  Store store{Folder(), writer};
};

}  // namespace

// Rows match entries as saves match them, new persons and items are added once, and the files
// hold what the tables hold.
TEST_F(Import, UpdatesMatchesAppendsTheRestAndAddsPersonsAndItemsOnce) {
  ASSERT_TRUE(ImportEntries(store, {Row(1, "Haushalt", "Joggen", 5)}).stored);
  const ImportOutcome out =
      ImportEntries(store, {Row(1, "Haushalt", "Joggen", 7, "neu"), Row(2, "Zora", "Rudern", 1.5),
                            Row(3, "Zora", "Rudern", 2), Row(1, "Haushalt", "Joggen", 8)});
  ASSERT_TRUE(out.stored);
  EXPECT_EQ(
      out.Summary(),
      QString::fromUtf8("2 Einträge neu, 2 geändert, 1 Person und 1 Auswahl-Eintrag hinzugefügt."));
  EXPECT_EQ(ReadBytes("lv_personen.txt"), "2\r\n\"Haushalt\"\r\n\"Zora\"\r\n");
  EXPECT_TRUE(ReadBytes("lv_kategorien.txt").endsWith("\"Sport\",\"Rudern\"\r\n"));
  EXPECT_EQ(ReadBytes("lv_items.txt"),
            "3\r\n#2026-12-01#,\"Haushalt\",\"Sport\",\"Joggen\",8,\"\",\"\",\"\"\r\n"
            "#2026-12-02#,\"Zora\",\"Sport\",\"Rudern\",1.5,\"\",\"\",\"\"\r\n"
            "#2026-12-03#,\"Zora\",\"Sport\",\"Rudern\",2,\"\",\"\",\"\"\r\n");
  Store reread(Folder());
  ASSERT_TRUE(reread.LoadData().isEmpty());
  EXPECT_EQ(reread.entries.Count(), 3);
}

// A capacity the import would pass, or a rewrite that fails, leaves tables and files as they
// were: a file written before the failing one is written back.
TEST_F(Import, AFullTableOrAFailedWriteStoresNothing) {
  std::vector<ImportedEntry> many;
  for (int i = 0; i < 100; ++i) many.push_back(Row(1, "Haushalt", "Joggen", i + 1000));
  for (int i = 0; i < 100; ++i)
    many[static_cast<std::size_t>(i)].day = QDate(2026, 1, 1).addDays(i);
  ASSERT_TRUE(ImportEntries(store, many).stored);
  const QByteArray disk = Disk();

  std::vector<ImportedEntry> persons;
  for (int i = 0; i < 100; ++i) persons.push_back(Row(5, "P", "Joggen", 1));
  for (int i = 0; i < 100; ++i) persons[static_cast<std::size_t>(i)].person = QString::number(i);
  const ImportOutcome full = ImportEntries(store, persons);
  EXPECT_FALSE(full.stored);
  EXPECT_TRUE(full.messages.join(u' ').contains("höchstens 100 Personen"));

  writer.FailAfterBytes(4000);  // the persons and pairs files pass, the entries file does not
  ImportedEntry update = many.front();
  update.value = 7;
  update.description = QStringLiteral("neu");
  const ImportOutcome failed = ImportEntries(store, {Row(9, "Zora", "Rudern", 1), update});
  EXPECT_FALSE(failed.stored);
  EXPECT_TRUE(failed.messages.join(u' ').contains("lv_items.txt"));
  EXPECT_EQ(Disk(), disk);
  EXPECT_EQ(store.persons.Count(), 1);
  EXPECT_EQ(store.categories.Count(), 22);
  EXPECT_EQ(store.entries.Count(), 100);
  // The entry it updated in memory has its value and description back.
  EXPECT_EQ(store.entries.Row(1).Value(), Value(1000));
  EXPECT_EQ(store.entries.Row(1).Description(), Value(QString()));
}
