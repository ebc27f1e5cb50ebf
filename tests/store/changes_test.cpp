// SPDX-License-Identifier: GPL-3.0-or-later
#include "store/changes.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <QDir>
#include <QFile>

#include "failing_file_writer.h"
#include "temp_dir.h"

namespace {

const QDate kDay(2024, 3, 5);
using R = SaveOutcome::Result;
using P = AddPersonOutcome::Result;

QByteArray Row(const QByteArray& item, const QByteArray& value, const QByteArray& description,
               const QByteArray& person = "Haushalt") {
  return "#2024-03-05#,\"" + person + "\",\"Sport\",\"" + item + "\"," + value + ",\"" +
         description + "\",\"\",\"\"\r\n";
}

class Changes : public InTempDir {
 protected:
  void SetUp() override {
    InTempDir::SetUp();
    ASSERT_TRUE(store.LoadData().isEmpty());
  }
  SaveOutcome Save(const QString& item, const QString& value = "5",
                   const QString& description = "[Beschreibung]", const QString& category = "Sport",
                   const QString& person = "Haushalt", QDate day = kDay) {
    return StoreEntry(store, {Value(day), category, item, person, value, description});
  }
  FailingFileWriter writer;
  Store store{Folder(), writer};
};

}  // namespace

TEST_F(Changes, SavingAppendsNewEntriesAndUpdatesTheMatchingOneInPlace) {
  EXPECT_EQ(Save("Joggen", "5").result, R::Saved);
  EXPECT_EQ(Save("Walken", "1,5", "am See").result, R::Saved);
  const SaveOutcome again = Save("Joggen", "7", "am See");
  EXPECT_EQ(again.result, R::Updated);
  EXPECT_FALSE(again.learned);
  EXPECT_EQ(ReadBytes("lv_items.txt"),
            "2\r\n" + Row("Joggen", "7", "am See") + Row("Walken", "1.5", "am See"));
  EXPECT_EQ(store.categories.Count(), 22);

  // Another tab, person or day is another entry; "joggen" is a new item beside "Joggen".
  EXPECT_EQ(Save("Joggen", "1", "x", "Allgemein").result, R::Saved);
  EXPECT_EQ(Save("Joggen", "1", "x", "Sport", "Anna").result, R::Saved);
  EXPECT_EQ(Save("Joggen", "1", "x", "Sport", "Haushalt", kDay.addDays(1)).result, R::Saved);
  const SaveOutcome lower = Save("joggen");
  EXPECT_EQ(lower.result, R::Saved);
  EXPECT_TRUE(lower.learned);
  EXPECT_EQ(store.entries.Count(), 6);
  ASSERT_EQ(store.categories.Count(), 24);
  EXPECT_EQ(store.categories.Row(23).Category(), Value("Allgemein"));
  EXPECT_EQ(store.categories.Row(24).Item(), Value("joggen"));
  EXPECT_TRUE(ReadBytes("lv_kategorien.txt").startsWith("24\r\n"));
  EXPECT_TRUE(ReadBytes("lv_kategorien.txt")
                  .endsWith("\"Allgemein\",\"Joggen\"\r\n\"Sport\",\"joggen\"\r\n"));
}

TEST_F(Changes, UpdateChangesEveryMatchingRowAndKeepsItsOtherFields) {
  WriteBytes("lv_items.txt",
             "3\r\n#2024-03-05#,\"Haushalt\",\"Sport\",\"Joggen\",1,\"x\",\"a\",\"b\"\r\n" +
                 Row("Walken", "2", "y") +
                 "#2024-03-05#,\"Haushalt\",\"Sport\",\"Joggen\",3,\"z\",\"c\",\"\"\r\n");
  ASSERT_FALSE(store.ReadEntryFile());
  EXPECT_EQ(Save("Joggen", "9", "neu").result, R::Updated);
  EXPECT_EQ(ReadBytes("lv_items.txt"),
            "3\r\n#2024-03-05#,\"Haushalt\",\"Sport\",\"Joggen\",9,\"neu\",\"a\",\"b\"\r\n" +
                Row("Walken", "2", "y") +
                "#2024-03-05#,\"Haushalt\",\"Sport\",\"Joggen\",9,\"neu\",\"c\",\"\"\r\n");
}

TEST_F(Changes, AnEmptyItemOrOneBeginningWithComboIsIgnoredSilently) {
  const QByteArray disk = Disk();
  for (const char* item : {"", "Combo1", "Combox"}) {
    const SaveOutcome out = Save(QString::fromUtf8(item), "abc", "x", "Sport", "");
    EXPECT_EQ(out.result, R::Ignored) << item;
    EXPECT_FALSE(out.learned);
  }
  EXPECT_EQ(Disk(), disk);
  EXPECT_EQ(Save("combo").result, R::Saved);
}

TEST_F(Changes, RefusedValueOrPersonStoresNothingButTheLearnedItemStays) {
  const QByteArray entries = ReadBytes("lv_items.txt");
  bool first = true;
  for (const char* value : {"abc", "", "5.5", "1.000", "inf", "nan", "1e999"}) {
    const SaveOutcome out = Save("Rudern", QString::fromUtf8(value));
    EXPECT_EQ(out.result, R::Refused) << value;
    EXPECT_EQ(out.messages.join(u'\n'), "Wert - keine Zahl") << value;
    EXPECT_EQ(out.learned, first);
    first = false;
  }
  // The value is checked before the person.
  EXPECT_EQ(Save("Joggen", "x", "d", "Sport", "").messages.join(u'\n'), "Wert - keine Zahl");
  const SaveOutcome noPerson = Save("Paddeln", "5", "d", "Sport", "");
  EXPECT_EQ(noPerson.messages.join(u'\n'), "keine Personen-Zuordnung");
  EXPECT_TRUE(noPerson.learned);
  EXPECT_EQ(ReadBytes("lv_items.txt"), entries);
  EXPECT_TRUE(
      ReadBytes("lv_kategorien.txt").endsWith("\"Sport\",\"Rudern\"\r\n\"Sport\",\"Paddeln\"\r\n"));

  EXPECT_EQ(Save("Rudern", " 1.000,5 ").result, R::Saved);
  EXPECT_EQ(Save("Paddeln", "0,1234567890123456789").result, R::Saved);
  EXPECT_EQ(store.entries.Row(1).Value(), Value(1000.5));
  EXPECT_EQ(store.entries.Row(2).Value(), Value(0.1234567890123456789));
  EXPECT_TRUE(ReadBytes("lv_items.txt").contains(",0.12345678901234568,"));
}

TEST_F(Changes, TextsTheFileCannotHoldAreRefusedBeforeAnythingIsLearned) {
  const QByteArray disk = Disk();
  const struct {
    QString item, person, description, field, shown;
  } cases[] = {
      {"Jog\"gen", "Haushalt", "x", "Auswahl", "„\"“"},
      {"Neu", QString::fromUtf8("Haus☺halt"), "x", "Person", "U+263A"},
      {"Neu", "Haushalt", "Zeile 1\nZeile 2", "Beschreibung", "Zeilenumbruch"},
      {"Neu", "Haushalt", QString("a") + QChar::ParagraphSeparator + "b", "Beschreibung",
       "Zeilenumbruch"},
      {QString::fromUtf8("Neu 😀"), "Haushalt", "x", "Auswahl", QString::fromUtf8("„😀“ (U+1F600)")},
  };
  for (const auto& c : cases) {
    const SaveOutcome out = Save(c.item, "5", c.description, "Sport", c.person);
    EXPECT_EQ(out.result, R::Refused);
    EXPECT_FALSE(out.learned);
    EXPECT_TRUE(out.messages.join(u'\n').contains("„" + c.field + "“"))
        << out.messages.join(u'\n').toStdString();
    EXPECT_TRUE(out.messages.join(u'\n').contains(c.shown))
        << out.messages.join(u'\n').toStdString();
  }
  EXPECT_EQ(Disk(), disk);

  // Everything Windows-1252 holds is stored unchanged.
  const QString item = QString::fromUtf8("Grüße, € – ß"),
                description = QString::fromUtf8("süß,\t „teuer“ ");
  EXPECT_EQ(Save(item, "2", description, "Ausgaben", QString::fromUtf8("Jörg")).result, R::Saved);
  Store reloaded(Folder());
  ASSERT_TRUE(reloaded.LoadData().isEmpty());
  EXPECT_EQ(reloaded.entries.Row(1).Item(), Value(item));
  EXPECT_EQ(reloaded.entries.Row(1).Description(), Value(description));
  EXPECT_EQ(reloaded.categories.Row(23).Item(), Value(item));
  EXPECT_TRUE(ReadBytes("lv_items.txt")
                  .contains("\"Gr\xfc\xdf"
                            "e, \x80 \x96 \xdf\""));
}

TEST_F(Changes, FullTablesRefuseTheSaveAndLeaveTablesAndFilesAsTheyWere) {
  for (int i = store.categories.Count(); i < CategoryTable::kCapacity; ++i) {
    CategoryRow pair;
    pair.Category() = Value("Rezepte");
    pair.Item() = Value(QString::number(i));
    store.categories.rows.push_back(pair);
  }
  ASSERT_FALSE(store.WriteCategoryFile());
  QByteArray disk = Disk();
  const SaveOutcome pairs = Save("Rudern");
  EXPECT_EQ(pairs.result, R::Refused);
  EXPECT_TRUE(pairs.messages.join(u'\n').contains("2.000"));
  EXPECT_EQ(store.categories.Count(), 2000);
  EXPECT_EQ(Disk(), disk);
  EXPECT_EQ(Save("Joggen").result, R::Saved);

  ASSERT_FALSE(store.ReadCategoryFile());
  for (int i = store.entries.Count(); i < EntryTable::kCapacity; ++i) {
    EntryRow row = store.entries.Row(1);
    row.Date() = Value(kDay.addDays(i));
    store.entries.rows.push_back(row);
  }
  ASSERT_FALSE(store.WriteEntryFile());
  disk = Disk();
  const SaveOutcome entries = Save("Walken");
  EXPECT_EQ(entries.result, R::Refused);
  EXPECT_TRUE(entries.messages.join(u'\n').contains("50.000"));
  EXPECT_EQ(store.entries.Count(), 50000);
  EXPECT_EQ(Disk(), disk);
  EXPECT_EQ(Save("Joggen", "8").result, R::Updated);
}

TEST_F(Changes, AFailedWriteUndoesTheChangeAndNamesTheFile) {
  ASSERT_EQ(Save("Joggen", "5").result, R::Saved);
  const QByteArray disk = Disk();
  writer.FailAfterBytes(0);
  const SaveOutcome append = Save("Walken");
  const SaveOutcome update = Save("Joggen", "7", "neu");
  const SaveOutcome learn = Save("Rudern");
  const RemoveOutcome remove = RemoveEntry(store, store.entries.Row(1), 1);
  EXPECT_EQ(Disk(), disk);
  for (const SaveOutcome& out : {append, update, learn}) EXPECT_EQ(out.result, R::Refused);
  EXPECT_TRUE(append.messages.join(u'\n').contains("lv_items.txt"));
  EXPECT_TRUE(update.messages.join(u'\n').contains("lv_items.txt"));
  EXPECT_TRUE(learn.messages.join(u'\n').contains("lv_kategorien.txt"));
  EXPECT_FALSE(learn.learned);
  EXPECT_EQ(remove.result, RemoveOutcome::Result::Refused);
  EXPECT_TRUE(remove.messages.join(u'\n').contains("lv_items.txt"));
  EXPECT_EQ(store.categories.Count(), 22);
  ASSERT_EQ(store.entries.Count(), 1);
  EXPECT_EQ(store.entries.Row(1).Value(), Value(5));
  EXPECT_EQ(store.entries.Row(1).Description(), Value("[Beschreibung]"));

  writer.FailAfterBytes(-1);
  ASSERT_TRUE(QFile::remove(Path("lv_items.txt")));
  ASSERT_TRUE(QDir().mkdir(Path("lv_items.txt")));
  const QByteArray withDirectory = Disk();
  EXPECT_TRUE(Save("Walken").messages.join(u'\n').contains("lv_items.txt"));
  EXPECT_EQ(store.entries.Count(), 1);
  EXPECT_EQ(Disk(), withDirectory);
}

TEST_F(Changes, RemovingAnEntryRewritesTheFileInOrderAndTheTableIsWhatTheFileHolds) {
  WriteBytes("lv_items.txt", "4\r\n" + Row("Joggen", "1", "x") + Row("Walken", "-0.5", "") +
                                 "#2024-03-05#,,\"Sport\",\"Fahrrad\",\"12\",\"y\",,\"r\"\r\n" +
                                 Row("Move", "123456789.123", "z"));
  ASSERT_FALSE(store.ReadEntryFile());
  EXPECT_EQ(RemoveEntry(store, store.entries.Row(1), 1).result, RemoveOutcome::Result::Removed);
  // A value in quotes is read as the number it spells and written as one; an empty field where
  // a text belongs is the empty text.
  EXPECT_EQ(ReadBytes("lv_items.txt"),
            "3\r\n" + Row("Walken", "-0.5", "") +
                "#2024-03-05#,\"\",\"Sport\",\"Fahrrad\",12,\"y\",\"\",\"r\"\r\n" +
                Row("Move", "123456789.123", "z"));
  Store reread(Folder());
  ASSERT_FALSE(reread.ReadEntryFile());
  ASSERT_EQ(store.entries.Count(), reread.entries.Count());
  for (int i = 1; i <= store.entries.Count(); ++i) {
    for (int f = 0; f < 8; ++f) {
      const Value& kept = store.entries.Row(i).fields[f];
      const Value& read = reread.entries.Row(i).fields[f];
      EXPECT_TRUE(kept.Kind() == read.Kind() && kept == read) << i << ' ' << f;
    }
  }
}

TEST_F(Changes, ADamagedFileIsKeptBeforeTheFirstRewrite) {
  const QByteArray damaged = "2\r\n" + Row("Joggen", "5", "x");
  WriteBytes("lv_items.txt", damaged);
  const QByteArray damagedPersons = "3\r\n\"Haushalt\"\r\n";
  WriteBytes("lv_personen.txt", damagedPersons);
  const QByteArray damagedPairs = "1\r\n\"Sport\",\"Walken\",\"zu viel\"\r\n";
  WriteBytes("lv_kategorien.txt", damagedPairs);
  Store loaded(Folder());
  ASSERT_EQ(loaded.LoadData().size(), 3);
  EXPECT_TRUE(
      StoreEntry(loaded, {Value(kDay), "Sport", Value("Rudern"), Value("Haushalt"), "x", ""})
          .learned);
  EXPECT_EQ(ReadBytes("lv_kategorien.txt.beschaedigt"), damagedPairs);
  EXPECT_EQ(ReadBytes("lv_kategorien.txt"),
            "2\r\n\"Sport\",\"Walken\"\r\n\"Sport\",\"Rudern\"\r\n");
  ASSERT_EQ(StoreEntry(loaded, {Value(kDay), "Sport", Value("Walken"), Value("Haushalt"), "2", "y"})
                .result,
            R::Saved);
  EXPECT_EQ(ReadBytes("lv_items.txt.beschaedigt"), damaged);
  EXPECT_EQ(ReadBytes("lv_items.txt"), "2\r\n" + Row("Joggen", "5", "x") + Row("Walken", "2", "y"));
  EXPECT_EQ(RemoveEntry(loaded, loaded.entries.Row(1), 1).result, RemoveOutcome::Result::Removed);
  EXPECT_EQ(ReadBytes("lv_items.txt.beschaedigt"), damaged);

  const AddPersonOutcome person = StorePerson(loaded, Value("Anna"));
  EXPECT_EQ(person.result, P::Added);
  ASSERT_EQ(person.messages.size(), 1);  // the file is reread and still damaged
  EXPECT_EQ(ReadBytes("lv_personen.txt.beschaedigt"), damagedPersons);
  EXPECT_EQ(ReadBytes("lv_personen.txt"), "2\r\n\"Haushalt\"\r\n\"Anna\"\r\n");
}

TEST_F(Changes, AddingAPersonStartsFromTheFileAndAppendsOnlyUnknownNames) {
  EXPECT_EQ(StorePerson(store, Value("Anna")).result, P::Added);
  EXPECT_EQ(ReadBytes("lv_personen.txt"), "2\r\n\"Haushalt\"\r\n\"Anna\"\r\n");
  QByteArray disk = Disk();
  const AddPersonOutcome known = StorePerson(store, Value("Haushalt"));
  EXPECT_EQ(known.result, P::Known);
  EXPECT_TRUE(known.messages.isEmpty());
  EXPECT_EQ(Disk(), disk);
  EXPECT_EQ(StorePerson(store, Value("haushalt")).result, P::Added);
  EXPECT_EQ(store.persons.Count(), 3);

  // The file, not the table, is the starting point.
  WriteBytes("lv_personen.txt", "2\r\n\"Haushalt\"\r\n\"Zoe\"\r\n");
  EXPECT_EQ(StorePerson(store, Value("Zoe")).result, P::Known);
  EXPECT_EQ(store.persons.Count(), 2);
  ASSERT_TRUE(QFile::remove(Path("lv_personen.txt")));
  EXPECT_EQ(StorePerson(store, Value("")).result, P::Ignored);
  EXPECT_FALSE(QFile::exists(Path("lv_personen.txt")));
  EXPECT_EQ(StorePerson(store, Value("Bert")).result, P::Added);
  EXPECT_EQ(ReadBytes("lv_personen.txt"), "2\r\n\"Haushalt\"\r\n\"Bert\"\r\n");
}

TEST_F(Changes, RefusedPersonsLeaveTableAndFileAsTheyWere) {
  const auto refused = [&](const QString& name, const char* fragment) {
    const QByteArray disk = Disk();
    const int count = store.persons.Count();
    const AddPersonOutcome out = StorePerson(store, name);
    EXPECT_EQ(out.result, P::Refused) << name.toStdString();
    EXPECT_TRUE(!out.messages.isEmpty() &&
                out.messages.last().contains(QString::fromUtf8(fragment)))
        << out.messages.join(' ').toStdString();
    EXPECT_EQ(store.persons.Count(), count);
    EXPECT_EQ(Disk(), disk);
  };
  refused("An\"na", "„Person“");
  writer.FailAfterBytes(0);
  refused("Anna", "lv_personen.txt");
  writer.FailAfterBytes(-1);
  for (int i = store.persons.Count(); i < PersonTable::kCapacity; ++i) {
    PersonRow row;
    row.Name() = Value(QString::number(i));
    store.persons.rows.push_back(row);
  }
  ASSERT_FALSE(store.WritePersonFile());
  refused("Anna", "100");
  EXPECT_EQ(StorePerson(store, Value("99")).result, P::Known);
  ASSERT_TRUE(QFile::remove(Path("lv_personen.txt")));
  ASSERT_TRUE(QDir().mkdir(Path("lv_personen.txt")));
  refused("Anna", "lv_personen.txt");
}

TEST_F(Changes, ARewriteInPlaceOfTheSameSizeIsNoticed) {
  ASSERT_EQ(Save("Joggen", "5").result, R::Saved);
  // Another program writes the file in place, keeping its size and inode, a moment later (the
  // file system's clock ticks every few milliseconds).
  usleep(20'000);
  QByteArray outside = ReadBytes("lv_items.txt");
  outside.replace("Joggen", "Walken");
  WriteBytes("lv_items.txt", outside);
  const SaveOutcome out = Save("Fahrrad", "3");
  EXPECT_EQ(out.result, R::Saved);
  EXPECT_TRUE(out.outside.entries);
  EXPECT_EQ(
      out.outside.messages,
      QStringList{QString::fromUtf8(
          "Die Datei „lv_items.txt“ wurde außerhalb von Lumivera geändert und neu eingelesen.")});
  EXPECT_EQ(ReadBytes("lv_items.txt"),
            "2\r\n" + Row("Walken", "5", "[Beschreibung]") + Row("Fahrrad", "3", "[Beschreibung]"));
  EXPECT_TRUE(Save("Move", "1").outside.messages.isEmpty());  // told once
}
