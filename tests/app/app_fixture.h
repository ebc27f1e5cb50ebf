// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QApplication>
#include <QStringList>
#include <deque>
#include <memory>

#include "app/clock.h"
#include "app/day_log.h"
#include "app/event_wiring.h"
#include "app/main_window.h"
#include "app/message_boxes.h"
#include "failing_file_writer.h"
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

// A window with its procedures in a fresh working directory, today fixed, German locale.
// StartUp() runs the window-load handler on a 1920 x 1080 screen.
class AppTest : public InTempDir {
 protected:
  void SetUp() override {
    InTempDir::SetUp();
    form = std::make_unique<MainWindow>();
    module = std::make_unique<DayLog>(*form, messages, clock);
    module->store.UseWriter(writer);
    ConnectEvents(*form, *module);
  }
  void TearDown() override {
    module.reset();
    form.reset();
    InTempDir::TearDown();
  }
  void StartUp(QSize screen = QSize(1920, 1080)) { LoadWindow(*form, *module, screen); }

  FixedClock clock{QDate(2024, 3, 5)};
  // Every write of the window's store goes through it; it fails only when told to.
  FailingFileWriter writer;
  RecordingMessageBoxes messages;
  std::unique_ptr<MainWindow> form;
  std::unique_ptr<DayLog> module;
};
