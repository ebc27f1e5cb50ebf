// SPDX-License-Identifier: GPL-3.0-or-later
#include <QComboBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>

#include "app/list_box.h"
#include "app_fixture.h"

namespace {

class Records : public SportPageTest {
 protected:
  void Save(const QString& item, const QString& value, const QString& description) {
    window->itemBox->setEditText(item);
    window->valueBox->setEditText(value);
    window->descriptionBox->setPlainText(description);
    window->saveButton->click();
  }
  // The day list as the day view fills it for the selected day, person and tab.
  void ShowDayList() { dayLog->FillDayList(); }
  // A press on a line of the day list, or below its lines for -1.
  void Press(Qt::MouseButton button, int line, bool twice = false) {
    ListBox* list = window->dayList;
    const QPoint inList = line >= 0 ? list->visualItemRect(list->item(line)).center()
                                    : QPoint(5, list->viewport()->height() - 5);
    const QPoint at = list->viewport()->mapTo(window.get(), inList);
    if (twice)
      QTest::mouseDClick(window->windowHandle(), button, {}, at);
    else
      QTest::mouseClick(window->windowHandle(), button, {}, at);
  }
  QStringList Questions() const {
    QStringList out;
    for (const auto& s : messages.shown)
      if (s.question && s.title == "Info") out << s.text;
    return out;
  }
};

}  // namespace

TEST_F(Records, SavingTellsWhetherTheEntryIsNewOrUpdated) {
  Save("Joggen", "5,5", "am See");
  Save("Joggen", "7", QString::fromUtf8("5\u00a0km"));
  ASSERT_EQ(messages.shown.size(), 2u);
  EXPECT_EQ(messages.shown[0].title, "Info");
  EXPECT_EQ(messages.shown[0].text, "Gespeichert.");
  EXPECT_EQ(messages.shown[1].title, "Info");
  EXPECT_EQ(messages.shown[1].text, "Updated.");
  ASSERT_EQ(window->dayList->count(), 1);  // the calendar is redrawn and the day list refilled
  EXPECT_EQ(window->dayList->item(0)->text(),
            QString::fromUtf8("[Sport]  [Joggen]   [ 7] [5\u00a0km]"));
  // The no-break space typed in the description is stored as it is.
  EXPECT_EQ(ReadBytes("lv_items.txt"),
            "1\r\n#2024-03-05#,\"Haushalt\",\"Sport\",\"Joggen\",7,\"5\xa0km\",\"\",\"\"\r\n");
}

TEST_F(Records, ANewItemIsListedAndKeptEvenWhenTheEntryIsRefused) {
  Save("Combo1", "abc", "x");
  EXPECT_TRUE(messages.shown.empty());
  Save("Rudern", "abc", "x");
  EXPECT_EQ(window->itemBox->currentText(), "Rudern");
  window->personBox->setEditText("");
  Save("Joggen", "5", "x");
  window->personBox->setCurrentIndex(0);
  Save("Joggen", "5", "Zeile 1\nZeile 2");
  ASSERT_EQ(messages.shown.size(), 3u);
  for (const auto& shown : messages.shown) EXPECT_EQ(shown.title, "Lumivera");
  EXPECT_EQ(messages.shown[0].text, "Wert - keine Zahl");
  EXPECT_EQ(messages.shown[1].text, "keine Personen-Zuordnung");
  EXPECT_TRUE(messages.shown[2].text.contains("Zeilenumbruch"));
  EXPECT_EQ(ReadBytes("lv_items.txt"), "0\r\n");
  EXPECT_EQ(
      Items(window->itemBox),
      QString::fromUtf8("Joggen Fußball Move Stepper Walken Fitness Fahrrad Rudern").split(' '));
}

TEST_F(Records, APressOnALineAsksAndDeletesOnlyThatEntryOnYes) {
  Save("Joggen", "5", "x");
  Save("Walken", "2", "x");
  window->personBox->setEditText("Anna");
  Save("Joggen", "5", "x");  // the same line for another person
  window->personBox->setCurrentIndex(0);
  ShowDayList();
  ASSERT_EQ(window->dayList->count(), 2);
  const QByteArray before = ReadBytes("lv_items.txt");

  Press(Qt::LeftButton, 0);  // answered No
  EXPECT_EQ(Questions(),
            QStringList{QString::fromUtf8("Wollen Sie den Eintrag wirklich löschen?")});
  EXPECT_EQ(ReadBytes("lv_items.txt"), before);
  EXPECT_EQ(dayLog->store.entries.Count(), 3);

  messages.SetNextAnswer(true);
  Press(Qt::LeftButton, 0);
  ASSERT_EQ(dayLog->store.entries.Count(), 2);
  EXPECT_EQ(dayLog->store.entries.Row(1).Item(), Value("Walken"));
  EXPECT_EQ(dayLog->store.entries.Row(2).Person(), Value("Anna"));
  EXPECT_TRUE(
      ReadBytes("lv_items.txt").startsWith("2\r\n#2024-03-05#,\"Haushalt\",\"Sport\",\"Walken\""));
  ASSERT_EQ(window->dayList->count(), 1);
  EXPECT_TRUE(window->dayList->item(0)->text().startsWith("[Sport]  [Walken]"));
}

TEST_F(Records, OnlyThePrimaryButtonSelectsAndEveryPressIsReported) {
  Save("Joggen", "5", "x");
  Save("Walken", "2", "x");
  ShowDayList();
  QSignalSpy presses(window->dayList, &ListBox::Pressed);
  Press(Qt::RightButton, 0);  // nothing selected: nothing asked
  EXPECT_TRUE(Questions().isEmpty());
  Press(Qt::LeftButton, 1);         // asks about Walken, answered No
  Press(Qt::RightButton, 1, true);  // two presses, two questions
  const QStringList asked = Questions();
  EXPECT_EQ(asked.size(), 3);
  Press(Qt::LeftButton, -1);  // beside the lines: nothing selected, nothing asked
  EXPECT_EQ(window->dayList->SelectedText(), "");
  EXPECT_EQ(Questions(), asked);
  ASSERT_EQ(presses.size(), 5);
  EXPECT_EQ(presses[0][0].toInt(), 2);
  EXPECT_EQ(presses[1][0].toInt(), 1);

  Press(Qt::LeftButton, 1);
  messages.SetNextAnswer(true);
  Press(Qt::RightButton, 0);  // works on the selected Walken line
  ASSERT_EQ(dayLog->store.entries.Count(), 1);
  EXPECT_EQ(dayLog->store.entries.Row(1).Item(), Value("Joggen"));
}

// The two lines read alike; the rows differ only in a column the line does not show.
TEST_F(Records, OfEqualLinesThePressedIsDeleted) {
  WriteBytes("lv_items.txt",
             "2\r\n#2024-03-05#,\"Haushalt\",\"Sport\",\"Joggen\",5,\"x\",\"first\",\"\"\r\n"
             "#2024-03-05#,\"Haushalt\",\"Sport\",\"Joggen\",5,\"x\",\"last\",\"\"\r\n");
  ASSERT_FALSE(dayLog->store.ReadEntryFile());
  ShowDayList();
  messages.SetNextAnswer(true);
  Press(Qt::LeftButton, 0);
  EXPECT_EQ(ReadBytes("lv_items.txt"),
            "1\r\n#2024-03-05#,\"Haushalt\",\"Sport\",\"Joggen\",5,\"x\",\"last\",\"\"\r\n");
}

TEST_F(Records, AFailedDeleteTellsAndKeepsTheEntry) {
  Save("Joggen", "5", "x");
  ShowDayList();
  const QByteArray before = ReadBytes("lv_items.txt");
  messages.shown.clear();
  writer.FailAfterBytes(0);
  messages.SetNextAnswer(true);
  Press(Qt::LeftButton, 0);
  ASSERT_EQ(messages.shown.size(), 2u);
  EXPECT_EQ(messages.shown[1].title, "Lumivera");
  EXPECT_TRUE(messages.shown[1].text.contains("lv_items.txt"));
  EXPECT_EQ(dayLog->store.entries.Count(), 1);
  EXPECT_EQ(ReadBytes("lv_items.txt"), before);
}

TEST_F(Records, AddingAPersonRefillsThePersonBoxWithItsTextEmpty) {
  window->personBox->setEditText("Anna");
  window->addPersonButton->click();
  EXPECT_EQ(Items(window->personBox), (QStringList{"Haushalt", "Anna"}));
  EXPECT_EQ(window->personBox->currentText(), "");
  window->personBox->setEditText("Anna");
  window->addPersonButton->click();
  EXPECT_EQ(Items(window->personBox), (QStringList{"Haushalt", "Anna"}));
  EXPECT_EQ(window->personBox->currentText(), "");
  EXPECT_TRUE(messages.shown.empty());
  EXPECT_EQ(ReadBytes("lv_personen.txt"), "2\r\n\"Haushalt\"\r\n\"Anna\"\r\n");

  window->personBox->addItem("nicht neu gefüllt");
  window->addPersonButton->click();  // empty text: not even a refill
  EXPECT_EQ(window->personBox->count(), 3);

  writer.FailAfterBytes(0);
  window->personBox->setEditText("Bert");
  window->addPersonButton->click();
  ASSERT_EQ(messages.shown.size(), 1u);
  EXPECT_TRUE(messages.shown[0].text.contains("lv_personen.txt"));
  EXPECT_EQ(window->personBox->currentText(), "Bert");
  EXPECT_EQ(ReadBytes("lv_personen.txt"), "2\r\n\"Haushalt\"\r\n\"Anna\"\r\n");
}

// A person typed into the person box and saved is added with the entry, listed at once and after
// a restart; with the persons table full, nothing is stored.
TEST_F(Records, APersonTypedAndSavedIsAddedWithTheEntry) {
  Type(window->personBox, QStringLiteral("Zora"));
  TypeAndSave(QStringLiteral("Joggen"), QStringLiteral("5"));
  ASSERT_EQ(messages.Texts(),
            QStringList{QString::fromUtf8("Gespeichert. Die Person „Zora“ wurde hinzugefügt.")});
  EXPECT_EQ(ReadBytes("lv_personen.txt"), "2\r\n\"Haushalt\"\r\n\"Zora\"\r\n");
  EXPECT_EQ(Items(window->personBox), (QStringList{"Haushalt", "Zora"}));
  EXPECT_EQ(window->personBox->currentText(), "Zora");
  EXPECT_EQ(window->dayList->count(), 1);

  QByteArray full = "100\r\n";
  for (int i = 0; i < 100; ++i) full += "\"P" + QByteArray::number(i) + "\"\r\n";
  WriteBytes("lv_personen.txt", full);
  const QByteArray entries = ReadBytes("lv_items.txt");
  Type(window->personBox, QStringLiteral("Yara"));
  TypeAndSave(QStringLiteral("Joggen"), QStringLiteral("5"));
  EXPECT_TRUE(messages.Texts().last().contains(QString::fromUtf8("höchstens 100 Personen")))
      << messages.Texts().last().toStdString();
  EXPECT_EQ(ReadBytes("lv_items.txt"), entries);
  EXPECT_EQ(ReadBytes("lv_personen.txt"), full);
}
