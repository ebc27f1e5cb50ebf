// SPDX-License-Identifier: GPL-3.0-or-later
#include <QComboBox>
#include <QLineEdit>

#include "app_fixture.h"

TEST_F(AppTest, FirstStartCreatesDefaultsAndShowsToday) {
  StartUp();
  EXPECT_EQ(ReadBytes("lv_personen.txt"), QByteArray("1\r\n\"Haushalt\"\r\n"));
  EXPECT_EQ(ReadBytes("lv_items.txt"), QByteArray("0\r\n"));
  ASSERT_EQ(window->personBox->count(), 1);
  EXPECT_EQ(window->personBox->itemText(0), "Haushalt");
  EXPECT_EQ(window->personBox->currentText(), "");
  EXPECT_EQ(window->selectedDayField->text(), "Dienstag, 05.03.");
  EXPECT_EQ(dayLog->SelectedDate, Value(QDate(2024, 3, 5)));
  EXPECT_TRUE(messages.shown.empty());
}

// Hand-edited files may hold a number or a date where a name is expected; it is listed as the
// user reads it, never as an empty line.
TEST_F(AppTest, NumberAndDateCellsAreListedAsTheUserReadsThem) {
  WriteBytes("lv_personen.txt", "2\r\n\"Haushalt\"\r\n123\r\n");
  WriteBytes("lv_kategorien.txt", "2\r\n\"Sport\",2.5\r\n\"Sport\",#2024-03-01#\r\n");
  WriteBytes("lv_items.txt", "1\r\n#2024-03-05#,\"Haushalt\",7,\"Joggen\",5,\"x\",\"\",\"\"\r\n");
  StartUp();
  EXPECT_TRUE(messages.shown.empty());
  ASSERT_EQ(window->personBox->count(), 2);
  EXPECT_EQ(window->personBox->itemText(1), "123");
  window->personBox->setCurrentIndex(0);
  window->SelectTab(3);
  ASSERT_EQ(window->itemBox->count(), 2);
  EXPECT_EQ(window->itemBox->itemText(0), "2,5");
  EXPECT_EQ(window->itemBox->itemText(1), "01.03.2024");
  ASSERT_EQ(window->seriesCategoryBox->count(), 1);
  EXPECT_EQ(window->seriesCategoryBox->itemText(0), "7");
}
