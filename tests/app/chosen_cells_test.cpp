// SPDX-License-Identifier: GPL-3.0-or-later
// What the window shows is what it acts on: an entry chosen from a box is the cell it shows, and
// a press on a line of the day list deletes the entry of that line, however alike lines read.
#include <QAbstractItemView>
#include <QComboBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTabBar>
#include <QTabWidget>
#include <QTest>

#include "app/list_box.h"
#include "app_fixture.h"

namespace {

class ChosenCells : public AppTest {
 protected:
  // Starts the window on the files written so far, shown and active.
  void Start() {
    StartUp();
    window->show();
    QApplication::setActiveWindow(window.get());
    ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
  }
  void ClickTab(int index) {
    QTabBar* bar = window->tabs->tabBar();
    QTest::mouseClick(bar, Qt::LeftButton, {}, bar->tabRect(index).center());
  }
  // Opens the box's list and clicks its line `index`.
  static void Choose(QComboBox* box, int index) {
    box->showPopup();
    QAbstractItemView* view = box->view();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(view->window()));
    // The list takes no release that comes right after it opened.
    QTest::qWait(QApplication::doubleClickInterval() + 50);
    const QModelIndex line = view->model()->index(index, 0);
    QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, view->visualRect(line).center());
  }
  void TypeDescription(const QString& text) {
    QTest::mouseClick(window->descriptionBox->viewport(), Qt::LeftButton);
    QTest::keyClick(window->descriptionBox, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClicks(window->descriptionBox, text);
  }
  void PressLine(int line) {
    ListBox* list = window->dayList;
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {},
                      list->visualItemRect(list->item(line)).center());
  }
};

}  // namespace

// Hand-edited files: the item 123 and the person 123 written unquoted, as Numbers.
TEST_F(ChosenCells, ANumberChosenFromABoxIsThatNumber) {
  WriteBytes("lv_personen.txt", "2\r\n\"Haushalt\"\r\n123\r\n");
  WriteBytes("lv_kategorien.txt", "2\r\n\"Sport\",\"Joggen\"\r\n\"Sport\",123\r\n");
  const QByteArray personsEntry = "#2024-03-05#,123,\"Sport\",\"Joggen\",2,\"y\",\"\",\"\"\r\n";
  WriteBytes("lv_items.txt",
             "2\r\n#2024-03-05#,\"Haushalt\",\"Sport\",123,5,\"x\",\"\",\"\"\r\n" + personsEntry);
  Start();
  Choose(window->personBox, 0);
  ClickTab(3);  // "Sport"
  ASSERT_EQ(window->dayList->count(), 1);
  EXPECT_EQ(window->dayList->item(0)->text(), "[Sport]  [123]   [ 5] [x]");

  Choose(window->itemBox, 1);
  EXPECT_EQ(window->itemBox->currentText(), "123");
  Type(window->valueBox, "7");
  QTest::mouseClick(window->saveButton, Qt::LeftButton);
  EXPECT_EQ(messages.Texts(), QStringList{"Updated."});
  EXPECT_EQ(ReadBytes("lv_kategorien.txt"), "2\r\n\"Sport\",\"Joggen\"\r\n\"Sport\",123\r\n");
  EXPECT_EQ(ReadBytes("lv_items.txt"),
            "2\r\n#2024-03-05#,\"Haushalt\",\"Sport\",123,7,\"[Beschreibung]\",\"\",\"\"\r\n" +
                personsEntry);

  // Typed, the same text is the Text "123": a new item beside the Number.
  TypeAndSave("123", "1");
  EXPECT_EQ(messages.Texts(), (QStringList{"Updated.", "Gespeichert."}));
  EXPECT_TRUE(ReadBytes("lv_kategorien.txt").endsWith("\"Sport\",123\r\n\"Sport\",\"123\"\r\n"));

  // The person 123 chosen: the day shows their entry, and "Hinzufügen" finds them known.
  Choose(window->personBox, 1);
  ASSERT_EQ(window->dayList->count(), 1);
  EXPECT_EQ(window->dayList->item(0)->text(), "[Sport]  [Joggen]   [ 2] [y]");
  QTest::mouseClick(window->addPersonButton, Qt::LeftButton);
  EXPECT_EQ(ReadBytes("lv_personen.txt"), "2\r\n\"Haushalt\"\r\n123\r\n");
}

// Typed brackets make the lines of two different entries read alike:
// "[Allgemein]  [a]   [ 5] [b]   [ 3] [c]" both.
TEST_F(ChosenCells, APressDeletesTheEntryOfItsLineHoweverAlikeLinesRead) {
  Start();
  QTest::keyClick(window->personBox, Qt::Key_Down);  // "Haushalt"
  ClickTab(0);
  Type(window->itemBox, "a");
  TypeDescription("b]   [ 3] [c");
  TypeAndSave("a", "5");
  Type(window->itemBox, "a]   [ 5] [b");
  TypeDescription("c");
  TypeAndSave("a]   [ 5] [b", "3");
  ASSERT_EQ(window->dayList->count(), 2);
  ASSERT_EQ(window->dayList->item(0)->text(), window->dayList->item(1)->text());

  messages.SetNextAnswer(true);
  PressLine(0);
  EXPECT_EQ(ReadBytes("lv_items.txt"),
            "1\r\n#2024-03-05#,\"Haushalt\",\"Allgemein\",\"a]   [ 5] [b\",3,\"c\",\"\",\"\"\r\n");
}

// A description of some megabytes read from a file is shown shortened and can be deleted.
TEST_F(ChosenCells, AVeryLongDescriptionIsShownShortAndKeptWhole) {
  const QByteArray longText(4 * 1024 * 1024, 'w');
  const QByteArray entry =
      "#2024-03-05#,\"Haushalt\",\"Sport\",\"Joggen\",5,\"" + longText + "\",\"\",\"\"\r\n";
  WriteBytes("lv_items.txt", "2\r\n" + entry + entry);
  Start();
  QTest::keyClick(window->personBox, Qt::Key_Down);
  ClickTab(3);
  ASSERT_EQ(window->dayList->count(), 2);
  const QString line = window->dayList->item(0)->text();
  EXPECT_LT(line.size(), 1100);
  EXPECT_TRUE(line.endsWith(QString::fromUtf8("ww…]")));
  // A save elsewhere rewrites the file: the long texts stay whole.
  TypeAndSave("Walken", "1");
  messages.SetNextAnswer(true);
  PressLine(1);
  EXPECT_EQ(
      ReadBytes("lv_items.txt"),
      "2\r\n" + entry +
          "#2024-03-05#,\"Haushalt\",\"Sport\",\"Walken\",1,\"[Beschreibung]\",\"\",\"\"\r\n");
}
