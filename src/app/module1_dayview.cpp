// The day view's procedures: calendar, day list, tab pages, day selection, month steps.
#include <QLineEdit>

#include "app/clock.h"
#include "app/form1.h"
#include "app/module1.h"
#include "format/date_format.h"

void Module1::DrawCalendar() {
  if (ViewMonth.isEmpty()) {
    ViewMonth = Value(clock_.Today());
    form_.Text1->setText(DayHeading(ViewMonth.date()));
    SelectedDate = ViewMonth;
  }
  FillDayList();
}

void Module1::FillDayList() {}
QString Module1::DayListLine(int) const {
  return {};
}
void Module1::ShowTabPage() {
  DrawDevelopment();
}
void Module1::SelectDayAt(float, float) {
  DrawCalendar();
}
void Module1::NextMonth() {}
void Module1::PrevMonth() {}
