// SPDX-License-Identifier: GPL-3.0-or-later
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTabBar>
#include <QTabWidget>
#include <QTest>

#include "app/list_box.h"
#include "app/picture_box.h"
#include "app_fixture.h"
#include "dayview/calendar.h"
#include "entries.h"
#include "qt_print.h"

namespace {
const QRgb kYellow = qRgb(255, 255, 0), kLightRed = qRgb(255, 120, 120), kGreen = qRgb(0, 255, 0);

class DayViewTest : public AppTest {
 protected:
  CalendarGeometry Geometry() const {
    return {window->calendar->Width(), window->calendar->Height()};
  }
  float Mid(int day) const { return (Geometry().RowTop(day) + Geometry().RowBottom(day)) / 2; }
  QPoint Pixel(double fractionOfWidth, int day) const {
    return window->calendar->ToPixels(static_cast<float>(fractionOfWidth * Geometry().Width()),
                                      Mid(day));
  }
  QRgb ColourAt(double fractionOfWidth, int day) const {
    return window->calendar->Picture().pixel(Pixel(fractionOfWidth, day));
  }
  bool Shows(QRgb colour) const {
    const QImage& image = window->calendar->Picture();  // 32 bits a pixel, rows without padding
    const QRgb* pixels = reinterpret_cast<const QRgb*>(image.constBits());
    return std::find(pixels, pixels + image.width() * image.height(), colour) !=
           pixels + image.width() * image.height();
  }
};

TEST_F(DayViewTest, CalendarPixelsMarkTodaySelectedDayAndCategories) {
  StartUp();
  dayLog->store.entries.rows = {MakeEntry({2024, 3, 7}, "Haushalt", "Sport"),
                                MakeEntry({2024, 3, 7}, "Haushalt", "Rezepte"),
                                MakeEntry({2024, 3, 8}, "Anna", "Sport")};
  QTest::keyClick(window->personBox, Qt::Key_Down);  // chooses "Haushalt"
  ASSERT_EQ(window->personBox->currentText(), "Haushalt");
  EXPECT_EQ(ColourAt(0.25, 5), kLightRed);
  EXPECT_EQ(ColourAt(0.25, 4), qRgb(200, 200, 200));
  EXPECT_EQ(ColourAt(0.25, 6), qRgb(200, 200, 200));
  EXPECT_EQ(ColourAt(0.97, 5), kYellow);
  EXPECT_EQ(ColourAt(0.43, 7), kGreen);
  EXPECT_EQ(ColourAt(0.57, 7), kGreen);
  EXPECT_EQ(ColourAt(0.71, 7), qRgb(255, 255, 255));
  EXPECT_EQ(ColourAt(0.43, 8), qRgb(255, 255, 255));
  EXPECT_TRUE(Shows(kYellow) && Shows(kLightRed));
  dayLog->NextMonth();
  EXPECT_FALSE(Shows(kYellow) || Shows(kLightRed));
}

TEST_F(DayViewTest, PressesOutsideTheRowsSelectNothingButRedraw) {
  StartUp();
  dayLog->store.entries.rows = {MakeEntry({2024, 4, 10}, "", "Sport"),
                                MakeEntry({2024, 3, 5}, "", "Allgemein")};
  dayLog->ViewMonth = Value(QDate(2024, 4, 1));  // 30 days
  const CalendarGeometry g = Geometry();
  const float x = g.Width() / 2, band = (0.05f * g.Height() + g.RowTop(1)) / 2;
  for (auto [px, py] : {std::pair{x, 0.03f * g.Height()},
                        {x, band},
                        {x, g.RowBottom(4)},
                        {x, Mid(31)},
                        {0.0f, Mid(4)},
                        {-1.0f, Mid(4)},
                        {g.Width(), Mid(4)}}) {
    window->dayList->clear();
    dayLog->SelectDayAt(px, py);
    EXPECT_EQ(dayLog->SelectedDate, Value(QDate(2024, 3, 5))) << px << "," << py;
    EXPECT_EQ(window->selectedDayField->text() + window->tabCaptionField->text(),
              "Dienstag, 05.03.Text1");
    EXPECT_EQ(window->dayList->count(), 1);  // the day list was refreshed
    EXPECT_EQ(ColourAt(0.43, 10), kGreen);
  }
  for (auto [button, day] : {std::pair{Qt::RightButton, 12}, {Qt::MiddleButton, 30}}) {
    QTest::mousePress(window->calendar, button, {}, Pixel(0.1, day));
    EXPECT_EQ(dayLog->SelectedDate, Value(QDate(2024, 4, day)));
    EXPECT_EQ(ColourAt(0.97, day), kYellow);
  }
  EXPECT_EQ(window->selectedDayField->text() + window->tabCaptionField->text(),
            "Dienstag, 30.04.Allgemein");
}

TEST_F(DayViewTest, TabPageIsRebuiltOnlyWhenTabOrPersonChanges) {
  StartUp();
  window->show();
  dayLog->store.entries.rows = {MakeEntry({2024, 3, 1}, "Haushalt", "Sport"),
                                MakeEntry({2024, 3, 2}, "Anna", "Rezepte"),
                                MakeEntry({2024, 3, 3}, "Haushalt", "Ausgaben"),
                                MakeEntry({2024, 3, 4}, "Haushalt", "Sport")};
  QTest::keyClick(window->personBox, Qt::Key_Down);
  EXPECT_EQ(window->tabCaptionField->text(), "Allgemein");
  EXPECT_EQ(window->itemBox->count(), 0);
  ASSERT_EQ(window->valueBox->count(), 1500);
  for (int k = 1; k <= 1500; ++k)  // "0,1" ... "0,9", "1", "1,1" ... "150", without drift
    ASSERT_EQ(window->valueBox->itemText(k - 1),
              k % 10 ? QStringLiteral("%1,%2").arg(k / 10).arg(k % 10) : QString::number(k / 10));
  EXPECT_EQ(window->valueBox->currentText(), "0");
  EXPECT_EQ(window->seriesCategoryBox->count(), 2);
  EXPECT_EQ(window->seriesCategoryBox->itemText(0) + window->seriesCategoryBox->itemText(1) +
                window->seriesCategoryBox->currentText(),
            "SportAusgaben");

  ClickTab(3);
  EXPECT_EQ(window->tabCaptionField->text(), "Sport");
  EXPECT_EQ(window->itemBox->count(), 7);
  EXPECT_EQ(window->itemBox->currentText(), "Joggen");
  window->itemBox->setEditText("Eigenes");
  window->valueBox->setEditText("5,5");
  ClickTab(3);
  dayLog->NextMonth();
  EXPECT_EQ(window->itemBox->currentText() + window->valueBox->currentText(), "Eigenes5,5");

  ClickTab(7);
  EXPECT_TRUE(window->selectedDayField->isHidden() && window->chart->isVisible());
  window->personBox->setEditText("Anna");
  dayLog->ShowTabPage();
  EXPECT_EQ(window->seriesCategoryBox->count(), 1);
  EXPECT_EQ(window->seriesCategoryBox->itemText(0), "Rezepte");
  ClickTab(0);
  EXPECT_TRUE(window->selectedDayField->isVisible() && window->chart->isHidden());
  EXPECT_EQ(window->valueBox->currentText(), "0");
}

TEST_F(DayViewTest, MonthButtonsStepToTheFirstOfTheNeighbouringMonth) {
  StartUp();
  dayLog->ViewMonth = Value(QDate(2024, 3, 15));
  for (int i = 0; i < 12; ++i) QTest::mouseClick(window->nextMonthButton, Qt::LeftButton);
  EXPECT_EQ(dayLog->ViewMonth, Value(QDate(2025, 3, 1)));
  dayLog->ViewMonth = Value(QDate(2024, 1, 20));
  QTest::mouseClick(window->previousMonthButton, Qt::LeftButton);
  EXPECT_EQ(dayLog->ViewMonth, Value(QDate(2023, 12, 1)));
  EXPECT_EQ(dayLog->SelectedDate, Value(QDate(2024, 3, 5)));
}
}  // namespace
