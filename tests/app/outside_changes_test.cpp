// SPDX-License-Identifier: GPL-3.0-or-later
// Another program (a sync client, an editor, a script) writes the data files while the window
// is open: its rows stay, the user's change is made on them, the user is told once, and the
// window shows what the files now hold.
#include <QComboBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>

#include "app/list_box.h"
#include "app_fixture.h"
#include "qt_print.h"

namespace {

QByteArray Entry(const QByteArray& item, const QByteArray& value, const QByteArray& description) {
  return "#2024-03-05#,\"Haushalt\",\"Sport\",\"" + item + "\"," + value + ",\"" + description +
         "\",\"\",\"\"\r\n";
}

class OutsideChanges : public SportPageTest {
 protected:
  void PressLine(int line) {
    ListBox* list = window->dayList;
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {},
                      list->visualItemRect(list->item(line)).center());
  }
  int Told(const QString& fragment) const {
    int n = 0;
    for (const auto& shown : messages.shown) n += shown.text.contains(fragment) ? 1 : 0;
    return n;
  }
  QStringList DayList() const {
    QStringList lines;
    for (int i = 0; i < window->dayList->count(); ++i) lines << window->dayList->item(i)->text();
    return lines;
  }
};

}  // namespace

TEST_F(OutsideChanges, AnotherProgramsRowsStayAndTheUsersChangeIsMadeOnThem) {
  TypeAndSave("Joggen", "5");
  ASSERT_EQ(messages.Texts(), QStringList{"Gespeichert."});

  // Another program appends an entry, the very item the user is about to type, and a person.
  WriteBytes("lv_items.txt",
             "2\r\n" + Entry("Joggen", "5", "[Beschreibung]") + Entry("Walken", "2", "von aussen"));
  QByteArray categories = ReadBytes("lv_kategorien.txt");
  categories.replace(0, 2, "23");
  WriteBytes("lv_kategorien.txt", categories + "\"Sport\",\"Rudern\"\r\n");
  WriteBytes("lv_personen.txt", "2\r\n\"Haushalt\"\r\n\"Zoe\"\r\n");

  TypeAndSave("Rudern", "3");
  EXPECT_EQ(messages.Texts().mid(1),
            (QStringList{QString::fromUtf8("Die Dateien „lv_personen.txt“, „lv_kategorien.txt“ "
                                           "und „lv_items.txt“ wurden außerhalb von Lumivera "
                                           "geändert und neu eingelesen."),
                         "Gespeichert."}));
  EXPECT_EQ(ReadBytes("lv_items.txt"), "3\r\n" + Entry("Joggen", "5", "[Beschreibung]") +
                                           Entry("Walken", "2", "von aussen") +
                                           Entry("Rudern", "3", "[Beschreibung]"));
  EXPECT_EQ(ReadBytes("lv_kategorien.txt"), categories + "\"Sport\",\"Rudern\"\r\n");  // once
  EXPECT_EQ(Items(window->itemBox).count("Rudern"), 1);
  EXPECT_EQ(DayList(),
            (QStringList{"[Sport]  [Joggen]   [ 5] ", "[Sport]  [Walken]   [ 2] [von aussen]",
                         "[Sport]  [Rudern]   [ 3] "}));

  // Adding a person starts from the persons file; later changes are not reported again.
  Type(window->personBox, "Anna");
  QTest::mouseClick(window->addPersonButton, Qt::LeftButton);
  EXPECT_EQ(ReadBytes("lv_personen.txt"), "3\r\n\"Haushalt\"\r\n\"Zoe\"\r\n\"Anna\"\r\n");
  EXPECT_EQ(Items(window->personBox), (QStringList{"Haushalt", "Zoe", "Anna"}));
  window->personBox->setCurrentIndex(0);
  TypeAndSave("Joggen", "7");
  EXPECT_EQ(messages.Texts().last(), "Updated.");
  EXPECT_EQ(Told(QString::fromUtf8("außerhalb")), 1);
}

TEST_F(OutsideChanges, ADeleteWhoseLineVanishedDeletesNothingAndSaysSo) {
  TypeAndSave("Joggen", "5");
  TypeAndSave("Walken", "2");
  ASSERT_EQ(window->dayList->count(), 2);
  // Another program removes Joggen and adds Move.
  const QByteArray outside =
      "2\r\n" + Entry("Walken", "2", "[Beschreibung]") + Entry("Move", "1", "[Beschreibung]");
  WriteBytes("lv_items.txt", outside);
  messages.shown.clear();
  messages.SetNextAnswer(true);
  PressLine(0);  // the Joggen line the window still shows
  ASSERT_EQ(messages.shown.size(), 3u);
  EXPECT_TRUE(messages.shown[0].question);
  EXPECT_EQ(messages.shown[1].text,
            QString::fromUtf8("Die Datei „lv_items.txt“ wurde außerhalb von Lumivera geändert "
                              "und neu eingelesen."));
  EXPECT_EQ(messages.shown[2].title, "Lumivera");
  EXPECT_TRUE(messages.shown[2].text.contains(QString::fromUtf8("nichts gelöscht")));
  EXPECT_EQ(ReadBytes("lv_items.txt"), outside);
  EXPECT_EQ(DayList(), (QStringList{"[Sport]  [Walken]   [ 2] ", "[Sport]  [Move]   [ 1] "}));
}
