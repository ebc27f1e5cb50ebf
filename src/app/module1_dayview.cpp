// The day view's procedures: calendar, day list, tab pages, day selection, month steps.
#include <QComboBox>
#include <QLineEdit>

#include "app/clock.h"
#include "app/form1.h"
#include "app/list_box.h"
#include "app/module1.h"
#include "app/picture_box.h"
#include "dayview/calendar.h"
#include "dayview/day_list.h"
#include "dayview/tab_page.h"
#include "format/date_format.h"

namespace {
// Replaces the combo box's items; its text is `text` afterwards, not the first item.
void Refill(QComboBox* combo, const QStringList& items, const QString& text) {
  combo->clear();
  combo->addItems(items);
  combo->setCurrentIndex(-1);
  combo->setEditText(text);
}
}  // namespace

void Module1::DrawCalendar() {
  if (ViewMonth.isEmpty()) {
    ViewMonth = Value(clock_.Today());
    form_.Text1->setText(DayHeading(ViewMonth.date()));
    SelectedDate = ViewMonth;
  }
  const CalendarView view{ViewMonth.date(), SelectedDate, clock_.Today(),
                          Value(form_.Combo3->currentText())};
  DrawMonthCalendar(*form_.Picture1, store.entries, view);
  FillDayList();
}

void Module1::FillDayList() {
  const Value category(form_.SelectedTabCaption());
  const Value person(form_.Combo3->currentText());
  const QStringList lines = DayListLines(store.entries, SelectedDate, person, category);
  form_.List1->clear();
  form_.List1->addItems(lines);
}

QString Module1::DayListLine(int row) const {
  return ::DayListLine(store.entries.row(row));
}

void Module1::ShowTabPage() {
  const Value caption(form_.SelectedTabCaption());
  const Value person(form_.Combo3->currentText());
  if (!(caption == LastTabCaption && person == LastPerson)) {
    form_.Text2->setText(caption.text());
    LastTabCaption = caption;
    LastPerson = person;

    const bool chart = IsChartTab(caption);
    for (QWidget* w : form_.EditorPage()) w->setVisible(!chart);
    for (QWidget* w : form_.ChartPage()) w->setVisible(chart);

    const QStringList items = TabItems(store.categories, caption);
    Refill(form_.Combo1, items, items.isEmpty() ? QString() : items.first());
    Refill(form_.Combo2, ValueChoices(), QStringLiteral("0"));
    Refill(form_.Combo4, PersonCategories(store.entries, person), QString());
    Refill(form_.Combo5, {}, QString());
    FillDayList();
  }
  DrawDevelopment();
}

void Module1::SelectDayAt(float x, float y) {
  const PictureBox& picture = *form_.Picture1;
  const CalendarGeometry geometry(picture.Width(), picture.Height());
  const QDate first = FirstOfMonth(ViewMonth.date());
  if (const int day = geometry.DayAt(x, y, first.daysInMonth())) {
    const QDate hit = first.addDays(day - 1);
    form_.Text1->setText(DayHeading(hit));
    SelectedDate = Value(hit);
    form_.Text2->setText(form_.SelectedTabCaption());
  }
  DrawCalendar();
}

void Module1::NextMonth() {
  ViewMonth = Value(NextMonthStart(ViewMonth.date()));
  DrawCalendar();
  ShowTabPage();
}

void Module1::PrevMonth() {
  ViewMonth = Value(PrevMonthStart(ViewMonth.date()));
  DrawCalendar();
  ShowTabPage();
}
