// SPDX-License-Identifier: GPL-3.0-or-later
#include <QPlainTextEdit>

#include "app/list_box.h"
#include "app_fixture.h"

namespace {

class UndoKeys : public SportPageTest {
 protected:
  void SetUp() override {
    SportPageTest::SetUp();
    ShowActive();
  }
  // A key with Ctrl (and Shift) where the focus is, as a person presses it.
  static void Press(Qt::Key key, Qt::KeyboardModifiers more = {}) {
    QTest::keyClick(QApplication::focusWidget(), key, Qt::ControlModifier | more);
  }
  QString LastInfo() const {
    return !messages.shown.empty() && messages.shown.back().title == "Info"
               ? messages.shown.back().text
               : QString();
  }
};

}  // namespace

// Ctrl+Z and Ctrl+Y work wherever the focus is; in the description box and the editable boxes
// Ctrl+Z first undoes the typing there, and once that has nothing left, the last change.
TEST_F(UndoKeys, UndoAndRedoTheLastChangeAfterTheTypingInTheBoxes) {
  TypeAndSave("Joggen", "5");
  ASSERT_EQ(window->dayList->count(), 1);
  const QByteArray saved = ReadBytes("lv_items.txt");

  QTest::mouseClick(window->descriptionBox->viewport(), Qt::LeftButton);
  QTest::keyClicks(window->descriptionBox, "am See");
  Press(Qt::Key_Z);
  EXPECT_EQ(window->descriptionBox->toPlainText(), "[Beschreibung]");
  EXPECT_EQ(window->dayList->count(), 1);
  const std::size_t told = messages.shown.size();
  Press(Qt::Key_Z);
  EXPECT_EQ(LastInfo(), "Rückgängig gemacht: Eintrag „Joggen“ vom 05.03. entfernt.");
  EXPECT_EQ(window->dayList->count(), 0);
  EXPECT_EQ(ReadBytes("lv_items.txt"), "0\r\n");

  Type(window->valueBox, "9");
  ASSERT_EQ(QApplication::focusWidget(), window->valueBox);
  Press(Qt::Key_Z);
  EXPECT_EQ(window->valueBox->currentText(), "5");
  EXPECT_EQ(messages.shown.size(), told + 1);

  window->dayList->setFocus();
  Press(Qt::Key_Y);
  EXPECT_EQ(LastInfo(), "Wiederhergestellt: Eintrag „Joggen“ vom 05.03. wieder gespeichert.");
  EXPECT_EQ(window->dayList->count(), 1);
  EXPECT_EQ(ReadBytes("lv_items.txt"), saved);
  Press(Qt::Key_Z, Qt::ShiftModifier);  // nothing left to redo: nothing happens
  EXPECT_EQ(messages.shown.size(), told + 2);
  for (const char* key : {"Strg+Z", "Strg+Y", "Strg+Umschalt+Z"})
    EXPECT_TRUE(window->accessibleDescription().contains(QString::fromUtf8(key))) << key;

  // Typing saved with an entry is part of that change: Ctrl+Z in the box after the save undoes
  // only what was typed since, then the save.
  const auto retype = [this](const char* text) {
    QTest::mouseClick(window->descriptionBox->viewport(), Qt::LeftButton);
    QTest::keyClick(window->descriptionBox, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClicks(window->descriptionBox, QString::fromUtf8(text));
  };
  retype("Abendrunde");
  TypeAndSave("Joggen", "7");
  retype("Dehnen");
  Press(Qt::Key_Z);
  EXPECT_EQ(window->descriptionBox->toPlainText(), "Abendrunde");
  Press(Qt::Key_Z);
  EXPECT_EQ(LastInfo(),
            "Rückgängig gemacht: Eintrag „Joggen“ vom 05.03. hat wieder den vorigen Wert und "
            "die vorige Beschreibung.");
  EXPECT_EQ(ReadBytes("lv_items.txt"), saved);
}
