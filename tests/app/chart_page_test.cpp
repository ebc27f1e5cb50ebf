// SPDX-License-Identifier: GPL-3.0-or-later
#include <QClipboard>
#include <QComboBox>
#include <QGuiApplication>
#include <QMimeData>
#include <QTest>

#include "app/picture_box.h"
#include "app_fixture.h"
#include "entries.h"

namespace {
EntryRow Entry(QDate day, const QString& person, const QString& item, double value) {
  return MakeEntry(day, person, "Sport", item, value);
}

// The colour of the picture at a point given in fractions of the box's width and height.
QColor PixelAt(const PictureBox* box, double fx, double fy) {
  const QPoint p =
      box->ToPixels(static_cast<float>(fx * box->Width()), static_cast<float>(fy * box->Height()));
  return box->Picture().pixelColor(p);
}

const QColor kBarGreen(0, 255, 0), kSundayGrey(120, 120, 120), kCaptionGrey(210, 210, 210);

// x of a point inside day i's column of a month of n days, as a fraction of the width.
double ColumnMiddle(int i, int n) {
  return 0.1 + (i - 0.5) * 0.8 / n;
}
}  // namespace

class ChartPageTest : public AppTest {
 protected:
  void SetUp() override {
    AppTest::SetUp();
    StartUp();
    const QDate fifth(2024, 3, 5);
    dayLog->store.entries.rows = {
        Entry(fifth, "Haushalt", "Joggen", 5), Entry(fifth, "Anna", "Rudern", 50),
        Entry(fifth, "Haushalt", "Walken", 3), Entry(fifth.addDays(1), "Haushalt", "Walken", 4),
        Entry(fifth.addDays(2), "Haushalt", "Joggen", 2)};
    window->personBox->setEditText("Haushalt");
    window->seriesCategoryBox->setEditText("Sport");
  }
};

TEST_F(ChartPageTest, CategoryChoiceListsItemsAndChartsTheWholeCategory) {
  window->seriesItemBox->addItem("alt");
  emit window->seriesCategoryBox->activated(0);
  ASSERT_EQ(window->seriesItemBox->count(), 2);
  EXPECT_EQ(window->seriesItemBox->itemText(0), "Joggen");
  EXPECT_EQ(window->seriesItemBox->itemText(1), "Walken");
  EXPECT_EQ(window->seriesItemBox->currentText(), "");

  // The 5th adds Joggen 5 and Walken 3 to 8, the axis top is 8.4: the bar of the 5th reaches
  // 8 / 8.4 of the plot, beyond 85 % of it.
  const PictureBox* chart = window->chart;
  EXPECT_EQ(PixelAt(chart, ColumnMiddle(5, 31), 0.9 - 0.5 * 0.8), kBarGreen);
  EXPECT_EQ(PixelAt(chart, ColumnMiddle(5, 31), 0.9 - 0.85 * 0.8), kBarGreen);
  EXPECT_NE(PixelAt(chart, ColumnMiddle(4, 31), 0.5), kBarGreen);
  // March 2024 has its first Sunday on the 3rd: a grey box under the columns 2 to 5.
  EXPECT_EQ(PixelAt(chart, 0.1 + 4.8 * 0.8 / 31, 0.955), kSundayGrey);
  // The statistics panel: the caption box of "Summe".
  EXPECT_EQ(PixelAt(window->statisticsPanel, 0.1, 0.19), kCaptionGrey);

  // Choosing an item charts that item alone: Walken 3 and 4, top 4.2.
  window->seriesItemBox->setCurrentIndex(1);
  emit window->seriesItemBox->activated(1);
  EXPECT_EQ(PixelAt(chart, ColumnMiddle(5, 31), 0.9 - 0.5 * 0.8), kBarGreen);
  EXPECT_NE(PixelAt(chart, ColumnMiddle(5, 31), 0.9 - 0.85 * 0.8), kBarGreen);
  EXPECT_EQ(PixelAt(chart, ColumnMiddle(6, 31), 0.9 - 0.85 * 0.8), kBarGreen);
  EXPECT_NE(PixelAt(chart, ColumnMiddle(7, 31), 0.85), kBarGreen);
}

TEST_F(ChartPageTest, ACategoryWithoutEntriesEmptiesTheItemBox) {
  window->seriesCategoryBox->setEditText("Ausgaben");
  window->seriesItemBox->addItem("Joggen");
  emit window->seriesCategoryBox->activated(0);
  EXPECT_EQ(window->seriesItemBox->count(), 0);
  EXPECT_EQ(window->seriesItemBox->currentText(), "");
  for (int i = 1; i <= 31; ++i)
    EXPECT_NE(PixelAt(window->chart, ColumnMiddle(i, 31), 0.89), kBarGreen) << i;
}

TEST_F(ChartPageTest, StatisticsPanelIsPaintedOverNeverCleared) {
  window->statisticsPanel->FillRect(0.8f * window->statisticsPanel->Width(), 0,
                                    window->statisticsPanel->Width(),
                                    window->statisticsPanel->Height(), Rgb{255, 0, 0});
  dayLog->DrawDevelopment();
  EXPECT_EQ(PixelAt(window->statisticsPanel, 0.9, 0.5), QColor(255, 0, 0));
  EXPECT_EQ(PixelAt(window->statisticsPanel, 0.5, 0.55), QColor(255, 255, 255));
}

// Before the first calendar drawing there is no month to show yet: the chart shows the month of
// today and leaves the shared month to the calendar.
TEST_F(AppTest, ChartBeforeTheFirstCalendarShowsTodaysMonth) {
  window->LayOut(QSize(1920, 1080));
  clock.Set(QDate(2024, 9, 15));  // September 2024 starts on a Sunday
  dayLog->DrawDevelopment();
  EXPECT_TRUE(dayLog->ViewMonth.IsEmpty());
  EXPECT_EQ(PixelAt(window->chart, 0.1 - 0.5 * 0.8 / 30, 0.955), kSundayGrey);
}

// Ctrl+C on the focused chart puts its picture and its daily totals, tab-separated, on the
// clipboard, so it pastes into a document or a spreadsheet.
TEST_F(ChartPageTest, CtrlCOnTheChartCopiesItsPictureAndItsDailyTotals) {
  ShowActive();
  window->SelectTab(7);
  window->personBox->setEditText("Haushalt");
  window->seriesCategoryBox->setEditText("Sport");
  emit window->seriesCategoryBox->activated(0);
  window->chart->setFocus();
  ASSERT_TRUE(window->chart->hasFocus());
  QTest::keyClick(window->chart, Qt::Key_C, Qt::ControlModifier);
  const QMimeData* copied = QGuiApplication::clipboard()->mimeData();
  ASSERT_NE(copied, nullptr);
  EXPECT_EQ(qvariant_cast<QImage>(copied->imageData()).size(), window->chart->Picture().size());
  const QStringList lines = copied->text().split(QStringLiteral("\r\n"));
  ASSERT_EQ(lines.size(), 1 + 31 + 1);
  EXPECT_EQ(lines[0], "Tag\tSumme");
  EXPECT_EQ(lines[5], "2024-03-05\t8");
  EXPECT_EQ(lines[6], "2024-03-06\t4");
  EXPECT_EQ(lines[4], "2024-03-04\t");
  EXPECT_TRUE(window->chart->accessibleDescription().contains("Strg+C"));
}
