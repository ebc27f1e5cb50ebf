// SPDX-License-Identifier: GPL-3.0-or-later
#include <QComboBox>
#include <QLineEdit>

#include "app_fixture.h"

TEST_F(AppTest, FirstStartCreatesDefaultsAndShowsToday) {
  StartUp();
  EXPECT_EQ(ReadBytes("lv_personen.txt"), QByteArray("1\r\n\"Haushalt\"\r\n"));
  EXPECT_EQ(ReadBytes("lv_items.txt"), QByteArray("0\r\n"));
  ASSERT_EQ(form->personBox->count(), 1);
  EXPECT_EQ(form->personBox->itemText(0), "Haushalt");
  EXPECT_EQ(form->personBox->currentText(), "");
  EXPECT_EQ(form->selectedDayField->text(), "Dienstag, 05.03.");
  EXPECT_EQ(module->SelectedDate, Value(QDate(2024, 3, 5)));
  EXPECT_TRUE(messages.shown.empty());
}
