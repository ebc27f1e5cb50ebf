// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QSize>

class MainWindow;
class DayLog;

// Connects every handled user event of the window to the procedures it runs, in order.
void ConnectEvents(MainWindow& window, DayLog& dayLog);
// The window-load handler: layout, loading the data, the first drawing of the calendar; the
// copy of the entries read is taken when the event loop next runs.
void LoadWindow(MainWindow& window, DayLog& dayLog, QSize screen);
