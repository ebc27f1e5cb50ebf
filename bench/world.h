// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QDate>
#include <QString>
#include <QTemporaryDir>
#include <memory>
#include <optional>

#include "app/clock.h"
#include "app/day_log.h"
#include "app/main_window.h"
#include "app/message_boxes.h"
#include "fixed_clock.h"

// The contents of the three data files a benchmark starts from.
struct DataFiles {
  QByteArray persons;
  QByteArray categories;
  QByteArray entries;
};

enum class DataSet {
  Full,         // 100 persons, 2000 category pairs, 50,000 entries
  FullLessOne,  // the same with the last entry and the last person left out
  Defaults,     // the files a first start creates
  // The full persons and categories, and of the entries only what the views show: the
  // person's entries of the shown month and the next one
  ShownMonthOnly,
};

// The generated sample tables and file contents; made once, from a fixed seed.
const DataFiles& FilesOf(DataSet set);

// Today in every benchmark: a day inside the ten years the sample entries cover, with a
// following month that has entries as well.
inline const QDate kToday(2026, 6, 15);
// The person and the tab the day view shows; the sample gives "Haushalt" two entries a day on
// the tab "Ausgaben".
inline const QString kPerson = QStringLiteral("Haushalt");
inline const QString kTab = QStringLiteral("Ausgaben");

// Says nothing and answers every question with Yes.
class SilentMessageBoxes : public MessageBoxes {
 public:
  void Show(const QString&, const QString&) override {}
  bool AskYesNo(const QString&, const QString&) override { return true; }
};

// A fresh temporary data folder holding the data files of the set (or, without a set, the
// current directory as it is), with a window and its procedures on it.
class World {
 public:
  explicit World(std::optional<DataSet> set);
  ~World();
  World(const World&) = delete;
  World& operator=(const World&) = delete;

  // Makes a new window and day log, as the program does before the window load.
  void NewWindow();
  // The same, keeping the old window and day log until DropOldWindow: their memory is given
  // back where the caller chooses, not just before the new window is laid out.
  void NewWindowKeepingOld();
  void DropOldWindow();
  // The window load: layout, LoadData, first DrawCalendar (the window is not shown yet).
  void StartUp();
  // Shows the window, chooses the person and the tab as a user would and lets Qt handle the
  // events that this caused.
  void OpenDayView(const QString& tab = kTab);
  void SelectTab(const QString& caption);
  // The centre of the calendar row of that day of the shown month, in twips.
  QPointF CalendarRowCentre(int day) const;
  void ProcessEvents();

  void WriteFile(const QString& name, const QByteArray& bytes) const;

  // The data folder, and the full path of one of its files.
  QString Folder() const { return folder_; }
  QString Path(DataFile file) const { return dayLog_->store.Path(file); }

  MainWindow& Window() { return *window_; }
  DayLog& Log() { return *dayLog_; }

 private:
  void MakeWindow();

  QTemporaryDir dir_;
  QString folder_;
  SilentMessageBoxes messages_;
  FixedClock clock_{kToday};
  std::unique_ptr<MainWindow> window_;
  std::unique_ptr<DayLog> dayLog_;
  std::unique_ptr<DayLog> oldDayLog_;
  std::unique_ptr<MainWindow> oldWindow_;
};

// The screen the window is laid out for.
inline const QSize kScreen(1920, 1080);
