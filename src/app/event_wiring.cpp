// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/event_wiring.h"

#include <QTimer>

#include "app/day_log.h"
#include "app/main_window.h"

void ConnectEvents(MainWindow& window, DayLog& dayLog) {
  DayLog* m = &dayLog;
  QObject::connect(&window, &MainWindow::PersonChosen, [m] {
    m->DrawCalendar();
    m->ShowTabPage();
  });
  QObject::connect(&window, &MainWindow::SeriesCategoryChosen, [m] { m->FillSeriesItems(); });
  QObject::connect(&window, &MainWindow::SeriesItemChosen, [m] { m->DrawDevelopment(); });
  QObject::connect(&window, &MainWindow::PreviousMonthClicked, [m] { m->PrevMonth(); });
  QObject::connect(&window, &MainWindow::NextMonthClicked, [m] { m->NextMonth(); });
  QObject::connect(&window, &MainWindow::SaveClicked, [m] { m->SaveEntry(); });
  QObject::connect(&window, &MainWindow::AddPersonClicked, [m] { m->AddPerson(); });
  QObject::connect(&window, &MainWindow::DayListPressed,
                   [m](int button) { m->DeleteEntryAt(button); });
  QObject::connect(&window, &MainWindow::CalendarPressed,
                   [m](float x, float y) { m->SelectDayAt(x, y); });
  QObject::connect(&window, &MainWindow::CalendarKeyPressed,
                   [m](CalendarKey key) { m->SelectDayByKey(key); });
  QObject::connect(&window, &MainWindow::TabClicked, [m] { m->ShowTabPage(); });
}

void LoadWindow(MainWindow& window, DayLog& dayLog, QSize screen) {
  window.LayOut(screen);
  dayLog.LoadData();
  dayLog.DrawCalendar();
  // The copy of the entries read that lets the first save reuse their bytes is taken once the
  // window stands, so neither loading nor that save waits for it.
  QTimer::singleShot(0, &window, [m = &dayLog] { m->store.KeepEntriesAsRead(); });
}
