#pragma once

#include <QSize>

class Form1;
class Module1;

// Connects every handled user event of the window to the procedures it runs, in order.
void ConnectEvents(Form1& form, Module1& module);
// The window-load handler: layout, loading the data, the first drawing of the calendar.
void LoadWindow(Form1& form, Module1& module, QSize screen);
