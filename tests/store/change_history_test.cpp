// SPDX-License-Identifier: GPL-3.0-or-later
#include "store/change_history.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <QDir>
#include <QFile>
#include <random>

#include "failing_file_writer.h"
#include "temp_dir.h"

namespace {

const QDate kDay(2024, 3, 5);

class History : public InTempDir {
 protected:
  void SetUp() override {
    InTempDir::SetUp();
    ASSERT_TRUE(store.LoadData().isEmpty());
  }
  // The files an undo may change, with their bytes.
  QByteArray Files() const {
    return ReadBytes("lv_personen.txt") + '|' + ReadBytes("lv_items.txt");
  }
  template <typename OutcomeT>
  OutcomeT Kept(OutcomeT outcome) {
    history.Record(outcome.changed);
    return outcome;
  }
  SaveOutcome Save(const QString& item, const QString& value = "5",
                   const QString& person = "Haushalt", QDate day = kDay) {
    return Kept(StoreEntry(store, {Value(day), "Sport", item, person, value, "am " + value}));
  }
  FailingFileWriter writer;
  Store store{Folder(), writer};
  ChangeHistory history;
};

}  // namespace

// Random runs of saves, updates, deletes and added persons: undoing every change walks the files
// back through each state they had, byte for byte, and redoing walks them forward again. A learned
// item stays learned.
TEST_F(History, UndoAllThenRedoAllWalksTheFilesThroughEveryStateByteForByte) {
  for (unsigned seed = 1; seed <= 12; ++seed) {
    SCOPED_TRACE(seed);
    for (const char* name : {"lv_personen.txt", "lv_items.txt", "lv_kategorien.txt"})
      ASSERT_TRUE(QFile::remove(Path(QString::fromUtf8(name))));
    ASSERT_TRUE(store.LoadData().isEmpty());
    history = ChangeHistory();
    std::mt19937 random(seed);
    const auto pick = [&random](int n) {
      return static_cast<int>(random() % static_cast<unsigned>(n));
    };
    const QStringList items{"Joggen", "Walken", "Rudern", "Neu"},
        persons{"Haushalt", "Anna", "Bert"};
    std::vector<QByteArray> states{Files()};
    for (int step = 0; step < 16; ++step) {
      ChangeRecord changed;
      switch (pick(4)) {
        case 0:
        case 1:
          changed = Save(items[pick(4)], QString::number(pick(3)), persons[pick(3)],
                         kDay.addDays(pick(2)))
                        .changed;
          break;
        case 2:
          if (store.entries.Count() == 0) continue;
          {
            const int row = 1 + pick(store.entries.Count());
            changed = Kept(RemoveEntry(store, store.entries.Row(row), row)).changed;
          }
          break;
        default:
          changed = Kept(StorePerson(store, persons[pick(3)] + QString::number(pick(2)))).changed;
      }
      if (!changed.empty()) states.push_back(Files());
    }
    const QByteArray categories = ReadBytes("lv_kategorien.txt");
    for (auto state = states.rbegin() + 1; state != states.rend(); ++state) {
      const ReverseOutcome out = history.Undo(store);
      ASSERT_EQ(out.result, ReverseResult::Done) << out.messages.join(' ').toStdString();
      EXPECT_TRUE(out.report.startsWith(QString::fromUtf8("Rückgängig gemacht: ")));
      ASSERT_EQ(Files(), *state);
    }
    EXPECT_EQ(history.Undo(store).result, ReverseResult::Nothing);
    for (auto state = states.begin() + 1; state != states.end(); ++state) {
      ASSERT_EQ(history.Redo(store).result, ReverseResult::Done);
      ASSERT_EQ(Files(), *state);
    }
    EXPECT_EQ(history.Redo(store).result, ReverseResult::Nothing);
    EXPECT_EQ(ReadBytes("lv_kategorien.txt"), categories);
  }
}

TEST_F(History, ReportsNameTheEntryAndANewChangeEndsTheRedo) {
  ASSERT_EQ(Save("Joggen").result, SaveResult::Saved);
  ASSERT_EQ(Save("Joggen", "7").result, SaveResult::Updated);
  ASSERT_EQ(Kept(RemoveEntry(store, store.entries.Row(1), 1)).result, RemoveResult::Removed);
  ASSERT_EQ(Kept(StorePerson(store, Value("Anna"))).result, AddPersonResult::Added);
  const char* const said[] = {
      "Rückgängig gemacht: Person „Anna“ entfernt.",
      "Rückgängig gemacht: Eintrag „Joggen“ vom 05.03. wieder eingefügt.",
      "Rückgängig gemacht: Eintrag „Joggen“ vom 05.03. hat wieder den vorigen Wert und die vorige "
      "Beschreibung.",
      "Rückgängig gemacht: Eintrag „Joggen“ vom 05.03. entfernt."};
  for (const char* text : said) EXPECT_EQ(history.Undo(store).report, QString::fromUtf8(text));
  EXPECT_EQ(
      history.Redo(store).report,
      QString::fromUtf8("Wiederhergestellt: Eintrag „Joggen“ vom 05.03. wieder gespeichert."));
  ASSERT_EQ(Save("Walken").result, SaveResult::Saved);
  EXPECT_FALSE(history.CanRedo());
}

// The undo is made on what the files hold now; another program's rows stay as they are.
TEST_F(History, WhatAnotherProgramChangedIsNeverUndoneOrTouched) {
  ASSERT_EQ(Save("Joggen").result, SaveResult::Saved);
  ASSERT_EQ(Save("Walken").result, SaveResult::Saved);
  usleep(20'000);
  QByteArray outside = ReadBytes("lv_items.txt");
  outside.replace("\"Walken\",5,", "\"Walken\",6,");
  outside.replace("2\r\n", "3\r\n");
  outside += "#2024-03-06#,\"Bea\",\"Sport\",\"Yoga\",1,\"\",\"\",\"\"\r\n";
  WriteBytes("lv_items.txt", outside);
  const ReverseOutcome refused = history.Undo(store);
  EXPECT_EQ(refused.result, ReverseResult::Refused);
  EXPECT_TRUE(refused.outside.entries);
  EXPECT_EQ(refused.messages.join(' '),
            QString::fromUtf8("Der Eintrag „Walken“ vom 05.03. steht nicht mehr so in der Datei "
                              "„lv_items.txt“, wie ihn die Änderung hinterlassen hat; ein anderes "
                              "Programm hat ihn geändert. Es wurde nichts rückgängig gemacht."));
  EXPECT_EQ(ReadBytes("lv_items.txt"), outside);
  // The change that cannot apply any more is passed over; the one before still can.
  const ReverseOutcome joggen = history.Undo(store);
  ASSERT_EQ(joggen.result, ReverseResult::Done);
  outside.remove(outside.indexOf("#2024-03-05#,\"Haushalt\",\"Sport\",\"Joggen\""),
                 outside.indexOf("#2024-03-05#,\"Haushalt\",\"Sport\",\"Walken\"") -
                     outside.indexOf("#2024-03-05#,\"Haushalt\",\"Sport\",\"Joggen\""));
  outside.replace("3\r\n", "2\r\n");
  EXPECT_EQ(ReadBytes("lv_items.txt"), outside);

  // An added person with entries by then is not removed.
  ASSERT_EQ(Kept(StorePerson(store, Value("Bea"))).result, AddPersonResult::Added);
  const QByteArray persons = ReadBytes("lv_personen.txt");
  const ReverseOutcome bea = history.Undo(store);
  EXPECT_EQ(bea.result, ReverseResult::Refused);
  EXPECT_TRUE(bea.messages.join(' ').contains(QString::fromUtf8("„Bea“ hat inzwischen Einträge")));
  EXPECT_EQ(ReadBytes("lv_personen.txt"), persons);
}

TEST_F(History, AFailedWriteUndoesNothingAndTheUndoCanBeTriedAgain) {
  ASSERT_EQ(Save("Joggen").result, SaveResult::Saved);
  ASSERT_EQ(Kept(RemoveEntry(store, store.entries.Row(1), 1)).result, RemoveResult::Removed);
  ASSERT_EQ(Kept(StorePerson(store, Value("Anna"))).result, AddPersonResult::Added);
  const QByteArray files = Files();
  writer.FailAfterBytes(0);
  const ReverseOutcome failed = history.Undo(store);
  EXPECT_EQ(failed.result, ReverseResult::Refused);
  EXPECT_TRUE(failed.messages.join(' ').contains("lv_personen.txt"));
  EXPECT_EQ(Files(), files);
  EXPECT_EQ(store.persons.Count(), 2);
  writer.FailAfterBytes(-1);
  ASSERT_EQ(history.Undo(store).result, ReverseResult::Done);
  writer.FailAfterBytes(0);
  EXPECT_EQ(history.Undo(store).result, ReverseResult::Refused);
  EXPECT_EQ(store.entries.Count(), 0);
  writer.FailAfterBytes(-1);
  EXPECT_EQ(history.Undo(store).result, ReverseResult::Done);
  EXPECT_EQ(store.entries.Count(), 1);
}

// One action may change several rows, e.g. add the person of a new entry and append the entry:
// one undo takes both back, and a write that fails half-way leaves both files as they were.
TEST_F(History, OneStepUndoesEveryChangeOfItsActionOrNone) {
  const QByteArray start = Files();
  // A save for a person not yet known adds the person with the entry: one step.
  const SaveOutcome saved =
      StoreEntry(store, {Value(kDay), "Sport", Value("Joggen"), Value("Anna"), "5", "x"});
  ASSERT_TRUE(saved.addedPerson);
  history.Record(saved.changed);
  const QByteArray after = Files();

  EXPECT_EQ(
      history.Undo(store).report,
      QString::fromUtf8(
          "Rückgängig gemacht: Eintrag „Joggen“ vom 05.03. entfernt, Person „Anna“ entfernt."));
  EXPECT_EQ(Files(), start);
  ASSERT_EQ(history.Redo(store).result, ReverseResult::Done);
  EXPECT_EQ(Files(), after);

  // The entries file is written, then the persons file cannot be: the entries file is put back.
  const QByteArray entries = ReadBytes("lv_items.txt");
  ASSERT_TRUE(QFile::remove(Path("lv_personen.txt")));
  ASSERT_TRUE(QDir().mkdir(Path("lv_personen.txt")));
  const ReverseOutcome failed = history.Undo(store);
  EXPECT_EQ(failed.result, ReverseResult::Refused);
  EXPECT_TRUE(failed.messages.join(' ').contains("lv_personen.txt"));
  EXPECT_EQ(ReadBytes("lv_items.txt"), entries);
  EXPECT_EQ(store.entries.Count(), 1);
  EXPECT_EQ(store.persons.Count(), 2);
}
