#include "app/event_wiring.h"

#include "app/form1.h"
#include "app/module1.h"

void ConnectEvents(Form1& form, Module1& module) {
  Module1* m = &module;
  QObject::connect(&form, &Form1::Combo3Chosen, [m] {
    m->DrawCalendar();
    m->ShowTabPage();
  });
  QObject::connect(&form, &Form1::Combo4Chosen, [m] { m->FillSeriesItems(); });
  QObject::connect(&form, &Form1::Combo5Chosen, [m] { m->DrawDevelopment(); });
  QObject::connect(&form, &Form1::Command1Clicked, [m] { m->PrevMonth(); });
  QObject::connect(&form, &Form1::Command2Clicked, [m] { m->NextMonth(); });
  QObject::connect(&form, &Form1::Command3Clicked, [m] { m->SaveEntry(); });
  QObject::connect(&form, &Form1::Command4Clicked, [m] { m->AddPerson(); });
  QObject::connect(&form, &Form1::List1Pressed, [m](int button) { m->DeleteEntryAt(button); });
  QObject::connect(&form, &Form1::Picture1Pressed, [m](float x, float y) { m->SelectDayAt(x, y); });
  QObject::connect(&form, &Form1::TabStrip1Clicked, [m] { m->ShowTabPage(); });
}

void LoadWindow(Form1& form, Module1& module, QSize screen) {
  form.LayOut(screen);
  module.LoadData();
  module.DrawCalendar();
}
