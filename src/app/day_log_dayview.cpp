// SPDX-License-Identifier: GPL-3.0-or-later
// The day view's procedures: calendar, day list, tab pages, day selection, month steps.
#include <QComboBox>
#include <QLineEdit>

#include "app/clock.h"
#include "app/day_log.h"
#include "app/list_box.h"
#include "app/main_window.h"
#include "app/picture_box.h"
#include "dayview/calendar.h"
#include "dayview/day_list.h"
#include "dayview/tab_page.h"
#include "format/date_format.h"

namespace {
// Replaces the box's entries by texts; its text is `text` afterwards, not the first entry.
void Refill(ChoiceBox* box, const QStringList& items, const QString& text) {
  std::vector<Value> cells(items.cbegin(), items.cend());
  box->SetChoices(cells);
  box->setEditText(text);
}
}  // namespace

void DayLog::DrawCalendar() {
  if (ViewMonth.IsEmpty()) {
    ViewMonth = Value(clock_.Today());
    window_.selectedDayField->setText(DayHeading(ViewMonth.Date()));
    SelectedDate = ViewMonth;
  }
  const CalendarView view{ViewMonth.Date(), SelectedDate, clock_.Today(),
                          window_.personBox->Cell()};
  DrawMonthCalendar(*window_.calendar, store.entries, view);
  const CalendarWords words = DescribeMonthCalendar(store.entries, view);
  window_.calendar->Describe(words.name, words.description);
  FillDayList();
}

void DayLog::FillDayList() {
  const Value category(window_.SelectedTabCaption());
  const Value person = window_.personBox->Cell();
  window_.dayList->clear();
  for (const DayListItem& line : DayListItems(store.entries, SelectedDate, person, category)) {
    window_.dayList->AddLine(line.line, QVariant::fromValue(line));
  }
}

void DayLog::ShowTabPage() {
  const Value caption(window_.SelectedTabCaption());
  const Value person = window_.personBox->Cell();
  if (!(caption == LastTabCaption && person == LastPerson)) {
    window_.tabCaptionField->setText(caption.Text());
    LastTabCaption = caption;
    LastPerson = person;

    const bool chart = IsChartTab(caption);
    for (QWidget* w : window_.EditorPage()) w->setVisible(!chart);
    for (QWidget* w : window_.ChartPage()) w->setVisible(chart);

    const std::vector<Value> items = TabItems(store.categories, caption);
    window_.itemBox->SetChoices(items);
    if (!items.empty()) window_.itemBox->ShowCell(items.front());
    Refill(window_.valueBox, ValueChoices(), QStringLiteral("0"));
    window_.seriesCategoryBox->SetChoices(PersonCategories(store.entries, person));
    window_.seriesItemBox->SetChoices({});
    FillDayList();
  }
  DrawDevelopment();
}

void DayLog::SelectDayAt(float x, float y) {
  const PictureBox& picture = *window_.calendar;
  const CalendarGeometry geometry(picture.Width(), picture.Height());
  const QDate first = FirstOfMonth(ViewMonth.Date());
  if (const int day = geometry.DayAt(x, y, first.daysInMonth())) {
    const QDate hit = first.addDays(day - 1);
    window_.selectedDayField->setText(DayHeading(hit));
    SelectedDate = Value(hit);
    window_.tabCaptionField->setText(window_.SelectedTabCaption());
  }
  DrawCalendar();
}

void DayLog::SelectDayByKey(CalendarKey key) {
  if (!ViewMonth.IsDate()) return;
  const QDate first = FirstOfMonth(ViewMonth.Date());
  const QDate last = first.addDays(first.daysInMonth() - 1);
  const bool shown = SelectedDate.IsDate() && FirstOfMonth(SelectedDate.Date()) == first;
  QDate day;
  switch (key) {
    case CalendarKey::PreviousDay:
      day = shown ? SelectedDate.Date().addDays(-1) : last;
      break;
    case CalendarKey::NextDay:
      day = shown ? SelectedDate.Date().addDays(1) : first;
      break;
    case CalendarKey::FirstDay:
      day = first;
      break;
    case CalendarKey::LastDay:
      day = last;
      break;
  }
  if (day < first) PrevMonth();
  if (day > last) NextMonth();
  // The middle of the day's row, as the calendar is drawn now.
  const PictureBox& picture = *window_.calendar;
  const CalendarGeometry geometry(picture.Width(), picture.Height());
  const float middle = (geometry.RowTop(day.day()) + geometry.RowBottom(day.day())) / 2;
  SelectDayAt(geometry.Width() / 2, middle);
}

void DayLog::NextMonth() {
  ViewMonth = Value(NextMonthStart(ViewMonth.Date()));
  DrawCalendar();
  ShowTabPage();
}

void DayLog::PrevMonth() {
  ViewMonth = Value(PrevMonthStart(ViewMonth.Date()));
  DrawCalendar();
  ShowTabPage();
}
