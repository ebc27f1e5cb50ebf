#include "dayview/day_list.h"

#include <gtest/gtest.h>

#include "entries.h"
#include "qt_print.h"

TEST(DayList, LineShowsValueInListFormAndDescriptionUnlessPlaceholder) {
  EntryRow row = MakeEntry({2024, 3, 5}, "Haushalt", "Sport", "Joggen", 5.5);
  EXPECT_EQ(DayListLine(row), "[Sport]  [Joggen]   [ 5.5] ");
  row.description() = Value("am See");
  EXPECT_EQ(DayListLine(row), "[Sport]  [Joggen]   [ 5.5] [am See]");
  for (auto [value, shown] : {std::pair{5.0, "[ 5] "},
                              {0.5, "[ .5] "},
                              {-2.0, "[-2] "},
                              {-0.5, "[-.5] "},
                              {0.1 + 0.2, "[ .3] "}}) {
    row.value() = Value(value);
    row.description() = Value("");
    EXPECT_EQ(DayListLine(row), QStringLiteral("[Sport]  [Joggen]   ") + shown + "[]");
  }
}
