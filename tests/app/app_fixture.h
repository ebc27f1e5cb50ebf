// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QStringList>
#include <QTabBar>
#include <QTabWidget>
#include <QTest>
#include <deque>
#include <memory>

#include "app/clock.h"
#include "app/day_log.h"
#include "app/event_wiring.h"
#include "app/main_window.h"
#include "app/message_boxes.h"
#include "failing_file_writer.h"
#include "fixed_clock.h"
#include "temp_dir.h"

// Records every message instead of showing it, and answers questions from a script.
class RecordingMessageBoxes : public MessageBoxes {
 public:
  struct Shown {
    QString title, text;
    bool question;
  };
  void Show(const QString& title, const QString& text) override {
    shown.push_back({title, text, false});
  }
  bool AskYesNo(const QString& title, const QString& text) override {
    shown.push_back({title, text, true});
    if (answers.empty()) return false;
    const bool answer = answers.front();
    answers.pop_front();
    return answer;
  }
  void SetNextAnswer(bool yes) { answers.push_back(yes); }
  QStringList Texts() const {
    QStringList out;
    for (const auto& s : shown) out << s.text;
    return out;
  }

  std::vector<Shown> shown;
  std::deque<bool> answers;
};

// A window with its procedures on a fresh data folder, today fixed, German locale.
// StartUp() runs the window-load handler on a 1920 x 1080 screen.
class AppTest : public InTempDir {
 protected:
  void SetUp() override {
    InTempDir::SetUp();
    window = std::make_unique<MainWindow>();
    dayLog = std::make_unique<DayLog>(*window, messages, clock, Folder());
    dayLog->store.UseWriter(writer);
    ConnectEvents(*window, *dayLog);
  }
  void TearDown() override {
    dayLog.reset();
    window.reset();
    InTempDir::TearDown();
  }
  void StartUp(QSize screen = QSize(1920, 1080)) { LoadWindow(*window, *dayLog, screen); }
  // Shows the window and makes it the active one, so that focus really moves.
  void ShowActive() {
    window->show();
    QApplication::setActiveWindow(window.get());
    ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
  }
  // Clicks the caption of the tab at `index`, as a person does.
  void ClickTab(int index) {
    QTabBar* bar = window->tabs->tabBar();
    QTest::mouseClick(bar, Qt::LeftButton, {}, bar->tabRect(index).center());
  }

  // Clicks into the box's text field, selects what it holds and types over it, as a person does.
  static void Type(QComboBox* box, const QString& text) {
    QLineEdit* edit = box->lineEdit();
    QTest::mouseClick(edit, Qt::LeftButton);
    QTest::keyClick(edit, Qt::Key_A, Qt::ControlModifier);
    if (text.isEmpty())
      QTest::keyClick(edit, Qt::Key_Delete);
    else
      QTest::keyClicks(edit, text);
  }
  // Types the item and the value and clicks "Speichern".
  void TypeAndSave(const QString& item, const QString& value) {
    Type(window->itemBox, item);
    Type(window->valueBox, value);
    QTest::mouseClick(window->saveButton, Qt::LeftButton);
  }

  FixedClock clock{QDate(2024, 3, 5)};
  // Every write of the window's store goes through it; it fails only when told to.
  FailingFileWriter writer;
  RecordingMessageBoxes messages;
  std::unique_ptr<MainWindow> window;
  std::unique_ptr<DayLog> dayLog;
};

// The window after start-up, shown, with "Haushalt" chosen and the tab "Sport" selected.
class SportPageTest : public AppTest {
 protected:
  void SetUp() override {
    AppTest::SetUp();
    StartUp();
    window->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(window.get()));
    window->personBox->setCurrentIndex(0);
    window->SelectTab(3);
  }
};

// The items of a combo box's list, in order.
inline QStringList Items(const QComboBox* box) {
  QStringList items;
  for (int i = 0; i < box->count(); ++i) items << box->itemText(i);
  return items;
}
