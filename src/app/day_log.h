// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <memory>

#include "store/store.h"
#include "store/value.h"

class ChangeHistory;
class Clock;
struct ReverseOutcome;
class MainWindow;
class MessageBoxes;
enum class CalendarKey : int;

// The shared tables and dates and the working procedures. Each procedure takes a snapshot of
// the control texts it needs at its start, works on the tables, writes results back into the
// controls and surfaces of the window, and calls the procedures that refresh the views.
class DayLog {
 public:
  // The data files are kept in `dataFolder`.
  DayLog(MainWindow& window, MessageBoxes& messages, const Clock& clock, const QString& dataFolder);
  ~DayLog();

  // Start-up: creates missing data files, loads the three tables, fills the person box.
  void LoadData();
  // Fills the person box with the names of the persons table, its text empty.
  void FillPersonBox();

  // Day view.
  void DrawCalendar();
  void FillDayList();
  void ShowTabPage();
  void SelectDayAt(float x, float y);
  void NextMonth();
  void PrevMonth();
  // A key on the calendar: selects the previous, next, first or last day as a press in that
  // day's row does. The previous day of the 1st is the last day of the month before, which is
  // shown first as "<" shows it; the next day of the last likewise. With the selected day in
  // another month, the previous day is the last of the month shown and the next day its first.
  void SelectDayByKey(CalendarKey key);

  // Changing the records.
  void SaveEntry();
  // `button` is the mouse button of the press on the day list (1 left, 2 right, 4 middle); every
  // button deletes alike, so it is not looked at.
  void DeleteEntryAt(int button);
  void AddPerson();
  // Ctrl+Z and Ctrl+Y: undo the last change of this run, or make the last undone one again,
  // say so and show the tables anew as the change's own procedure does.
  // Puts the chart on the clipboard: its picture, and its daily totals as tab-separated text.
  void CopyChart();
  void Undo();
  void Redo();

  // Development chart.
  void FillSeriesItems();
  void DrawDevelopment();

  Store store;
  // The changes of this run, for Undo and Redo.
  std::unique_ptr<ChangeHistory> history;
  Value ViewMonth;
  Value SelectedDate;
  Value LastTabCaption;
  Value LastPerson;

 private:
  void Tell(const QString& text);
  void ShowReversal(const ReverseOutcome& outcome);
  // Tells, after a change, that the day's backup before it failed (once per run).
  void TellBackupProblem();

  MainWindow& window_;
  MessageBoxes& messages_;
  const Clock& clock_;
};
