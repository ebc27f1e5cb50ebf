// SPDX-License-Identifier: GPL-3.0-or-later
#include "dayview/day_list.h"

#include <gtest/gtest.h>

#include "entries.h"

TEST(DayListLine, ShowsValuesInListFormAndHidesThePlaceholder) {
  EntryRow row = MakeEntry(QDate(2024, 3, 5), "Haushalt", "Sport", "Joggen", 5.5);
  row.Description() = Value("am See");
  EXPECT_EQ(DayListLine(row), "[Sport]  [Joggen]   [ 5.5] [am See]");
  row.Description() = Value("[Beschreibung]");
  EXPECT_EQ(DayListLine(row), "[Sport]  [Joggen]   [ 5.5] ");
  row.Description() = Value("");
  EXPECT_EQ(DayListLine(row), "[Sport]  [Joggen]   [ 5.5] []");
  for (auto [value, shown] :
       {std::pair{5.0, "[ 5]"}, {0.5, "[ .5]"}, {-2.0, "[-2]"}, {0.0, "[ 0]"}}) {
    row.Value() = Value(value);
    EXPECT_TRUE(DayListLine(row).contains(QLatin1String(shown))) << shown;
  }
}

TEST(DayListItems, TakeOnlyTheDayPersonAndTabInRowOrder) {
  EntryTable entries;
  entries.rows = {MakeEntry(QDate(2024, 3, 5), "Haushalt", "Sport", "B"),
                  MakeEntry(QDate(2024, 3, 5), "Anna", "Sport", "A"),
                  MakeEntry(QDate(2024, 3, 5), "Haushalt", "Ausgaben", "A"),
                  MakeEntry(QDate(2024, 3, 6), "Haushalt", "Sport", "A"),
                  MakeEntry(QDate(2024, 3, 5), "Haushalt", "Sport", "A")};
  const std::vector<DayListItem> lines =
      DayListItems(entries, Value(QDate(2024, 3, 5)), Value("Haushalt"), Value("Sport"));
  ASSERT_EQ(lines.size(), 2u);
  EXPECT_TRUE(lines[0].line.contains("[B]"));
  EXPECT_TRUE(lines[1].line.contains("[A]"));
  EXPECT_EQ(lines[1].row, 5);
}
