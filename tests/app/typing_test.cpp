// SPDX-License-Identifier: GPL-3.0-or-later
// The window driven as a person drives it: keys typed into the combo boxes' text fields and
// mouse clicks on the buttons of the shown, active window, so that the focus really moves.
#include <QAbstractItemView>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTabBar>
#include <QTabWidget>
#include <QTest>

#include "app_fixture.h"
#include "store/atomic_file.h"

namespace {

class Typing : public AppTest {
 protected:
  void SetUp() override {
    AppTest::SetUp();
    StartUp();
    ShowActive();
  }
  void ChoosePersonByKeyboard() { QTest::keyClick(window->personBox, Qt::Key_Down); }
};

TEST_F(Typing, TypedItemsAndValuesAreSavedAsTyped) {
  ChoosePersonByKeyboard();
  ClickTab(3);  // "Sport"
  TypeAndSave("Joggen", "5");
  TypeAndSave("joggen", "7");  // a new item beside "Joggen", not an update of its entry
  TypeAndSave("Fit", "0");     // not completed to "Fitness" and 0,1
  EXPECT_EQ(messages.Texts(), (QStringList{"Gespeichert.", "Gespeichert.", "Gespeichert."}));
  EXPECT_EQ(ReadBytes("lv_items.txt"),
            "3\r\n#2024-03-05#,\"Haushalt\",\"Sport\",\"Joggen\",5,\"[Beschreibung]\",\"\",\"\"\r\n"
            "#2024-03-05#,\"Haushalt\",\"Sport\",\"joggen\",7,\"[Beschreibung]\",\"\",\"\"\r\n"
            "#2024-03-05#,\"Haushalt\",\"Sport\",\"Fit\",0,\"[Beschreibung]\",\"\",\"\"\r\n");
  const QByteArray categories = ReadBytes("lv_kategorien.txt");
  EXPECT_TRUE(categories.contains("\"Sport\",\"Joggen\"\r\n"));
  EXPECT_TRUE(categories.contains("\"Sport\",\"joggen\"\r\n"));
  EXPECT_TRUE(categories.contains("\"Sport\",\"Fit\"\r\n"));
  EXPECT_EQ(window->itemBox->currentText(), "Fit");
  EXPECT_EQ(window->valueBox->currentText(), "0");
}

TEST_F(Typing, ATypedNameDifferingOnlyInCaseIsANewPerson) {
  Type(window->personBox, "haushalt");
  QTest::mouseClick(window->addPersonButton, Qt::LeftButton);
  EXPECT_TRUE(messages.shown.empty());
  EXPECT_EQ(Items(window->personBox), (QStringList{"Haushalt", "haushalt"}));
  EXPECT_EQ(ReadBytes("lv_personen.txt"), "2\r\n\"Haushalt\"\r\n\"haushalt\"\r\n");
}

TEST_F(Typing, TypingAKnownPersonIsNoChoice) {
  ClickTab(3);  // filled for no person yet: a choice of "Haushalt" would rebuild the page
  Type(window->itemBox, "Walken");
  Type(window->valueBox, "3");
  QSignalSpy chosen(window.get(), &MainWindow::PersonChosen);
  Type(window->personBox, "Haushalt");  // the person typed last, exactly as listed
  QTest::keyClick(window->personBox->lineEdit(), Qt::Key_Return);
  QTest::mouseClick(window->saveButton, Qt::LeftButton);
  EXPECT_EQ(chosen.count(), 0);
  EXPECT_EQ(messages.Texts(), QStringList{"Gespeichert."});
  EXPECT_TRUE(ReadBytes("lv_items.txt").contains("\"Haushalt\",\"Sport\",\"Walken\",3,"));
  EXPECT_EQ(window->itemBox->currentText(), "Walken");  // the page was not rebuilt
}

TEST_F(Typing, AChoiceInTheListByMouseOrKeyboardCallsItsProcedure) {
  Type(window->personBox, "Anna");
  QTest::mouseClick(window->addPersonButton, Qt::LeftButton);
  QSignalSpy chosen(window.get(), &MainWindow::PersonChosen);

  // By mouse: open the list, click the second line.
  window->personBox->showPopup();
  QAbstractItemView* view = window->personBox->view();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(view->window()));
  // The list takes no release that comes right after it opened.
  QTest::qWait(QApplication::doubleClickInterval() + 50);
  const QModelIndex anna = view->model()->index(1, 0);
  QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, view->visualRect(anna).center());
  EXPECT_EQ(chosen.count(), 1);
  EXPECT_EQ(window->personBox->currentText(), "Anna");
  EXPECT_EQ(dayLog->LastPerson, Value("Anna"));  // the tab page was rebuilt for her

  // By keyboard: open the list, go up a line and take it with Return.
  QTest::keyClick(window->personBox, Qt::Key_Down, Qt::AltModifier);
  ASSERT_TRUE(QTest::qWaitForWindowExposed(view->window()));
  QTest::keyClick(view, Qt::Key_Up);
  QTest::keyClick(view, Qt::Key_Return);
  EXPECT_EQ(chosen.count(), 2);
  EXPECT_EQ(window->personBox->currentText(), "Haushalt");

  // An arrow key on the closed box steps to the next name: a choice by keyboard.
  QTest::keyClick(window->personBox, Qt::Key_Down);
  EXPECT_EQ(chosen.count(), 3);
  EXPECT_EQ(dayLog->LastPerson, Value("Anna"));
}

}  // namespace
