// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/event_wiring.h"

#include <QTimer>

#include "app/day_log.h"
#include "app/main_window.h"
#include "app/picture_box.h"

namespace {

// The copy of the entries that lets the next save encode only the rows it changes, once the
// window has answered: after loading, and after a rewrite that encoded every row or read the file
// again. Nothing when there is nothing to copy.
void KeepEntriesOnceIdle(MainWindow& window, DayLog& dayLog) {
  QTimer::singleShot(0, &window, [m = &dayLog] { m->store.KeepEntriesAsRead(); });
}

}  // namespace

void ConnectEvents(MainWindow& window, DayLog& dayLog) {
  DayLog* m = &dayLog;
  MainWindow* w = &window;
  QObject::connect(&window, &MainWindow::PersonChosen, [m] {
    m->DrawCalendar();
    m->ShowTabPage();
  });
  QObject::connect(&window, &MainWindow::SeriesCategoryChosen, [m] { m->FillSeriesItems(); });
  QObject::connect(&window, &MainWindow::SeriesItemChosen, [m] { m->DrawDevelopment(); });
  QObject::connect(&window, &MainWindow::PreviousMonthClicked, [m] { m->PrevMonth(); });
  QObject::connect(&window, &MainWindow::NextMonthClicked, [m] { m->NextMonth(); });
  QObject::connect(&window, &MainWindow::SaveClicked, [m, w] {
    m->SaveEntry();
    KeepEntriesOnceIdle(*w, *m);
  });
  QObject::connect(&window, &MainWindow::AddPersonClicked, [m] { m->AddPerson(); });
  QObject::connect(&window, &MainWindow::DayListPressed, [m, w](int button) {
    m->DeleteEntryAt(button);
    KeepEntriesOnceIdle(*w, *m);
  });
  QObject::connect(&window, &MainWindow::CalendarPressed,
                   [m](float x, float y) { m->SelectDayAt(x, y); });
  QObject::connect(&window, &MainWindow::CalendarKeyPressed,
                   [m](CalendarKey key) { m->SelectDayByKey(key); });
  QObject::connect(&window, &MainWindow::TabClicked, [m] { m->ShowTabPage(); });
  QObject::connect(&window, &MainWindow::ChartCopyPressed, [m] { m->CopyChart(); });
  // On a screen of another pixel ratio the pictures are drawn anew, sharp at that ratio.
  QObject::connect(window.calendar, &PictureBox::ScaleChanged, [m] { m->DrawCalendar(); });
  for (PictureBox* box : {window.chart, window.statisticsPanel})
    QObject::connect(box, &PictureBox::ScaleChanged, [m] { m->DrawDevelopment(); });
  QObject::connect(&window, &MainWindow::UndoPressed, [m, w] {
    m->Undo();
    KeepEntriesOnceIdle(*w, *m);
  });
  QObject::connect(&window, &MainWindow::RedoPressed, [m, w] {
    m->Redo();
    KeepEntriesOnceIdle(*w, *m);
  });
}

void LoadWindow(MainWindow& window, DayLog& dayLog, QSize screen) {
  window.LayOut(screen);
  dayLog.LoadData();
  dayLog.DrawCalendar();
  // Neither loading nor the first save waits for the copy of the entries read.
  KeepEntriesOnceIdle(window, dayLog);
}
