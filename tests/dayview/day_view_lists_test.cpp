#include <gtest/gtest.h>

#include <QLocale>

#include "dayview/day_list.h"
#include "dayview/tab_page.h"
#include "qt_print.h"

namespace {
EntryRow Entry(const QString& person, const QString& category, const QString& item, double value,
               const QString& description = "[Beschreibung]", QDate day = QDate(2024, 3, 5)) {
  EntryRow row;
  row.date() = Value(day);
  row.person() = Value(person);
  row.category() = Value(category);
  row.item() = Value(item);
  row.value() = Value(value);
  row.description() = Value(description);
  row.fields[6] = row.fields[7] = Value("");
  return row;
}

TEST(DayList, LineFormatAndListNotation) {
  EXPECT_EQ(DayListLine(Entry("H", "Sport", "Joggen", 5.5, "am See")),
            "[Sport]  [Joggen]   [ 5.5] [am See]");
  EXPECT_EQ(DayListLine(Entry("H", "Sport", "Joggen", 5.5)), "[Sport]  [Joggen]   [ 5.5] ");
  EXPECT_EQ(DayListLine(Entry("H", "Sport", "Joggen", 5, "")), "[Sport]  [Joggen]   [ 5] []");
  EXPECT_EQ(DayListLine(Entry("H", "A", "b", 0.5)), "[A]  [b]   [ .5] ");
  EXPECT_EQ(DayListLine(Entry("H", "A", "b", -2)), "[A]  [b]   [-2] ");
  EXPECT_EQ(DayListLine(Entry("H", "A", "b", -0.5)), "[A]  [b]   [-.5] ");
  EXPECT_EQ(DayListLine(Entry("H", "A", "b", 0)), "[A]  [b]   [ 0] ");
  EXPECT_EQ(DayListLine(Entry("H", "A", "b", 0.1 + 0.2)), "[A]  [b]   [ .3] ");
  // Only the exact placeholder is left out.
  EXPECT_EQ(DayListLine(Entry("H", "A", "b", 1, "[beschreibung]")),
            "[A]  [b]   [ 1] [[beschreibung]]");
}

TEST(DayList, ListsTheDaysEntriesOfPersonAndTabInRowOrder) {
  EntryTable entries;
  entries.rows = {Entry("Haushalt", "Sport", "Walken", 2),
                  Entry("Haushalt", "Essen/Trinken", "Obst", 1),
                  Entry("Anna", "Sport", "Joggen", 3),
                  Entry("Haushalt", "sport", "Joggen", 3),
                  Entry("Haushalt", "Sport", "Joggen", 4, "[Beschreibung]", QDate(2024, 3, 6)),
                  Entry("Haushalt", "Sport", "Fahrrad", 7)};
  const Value day(QDate(2024, 3, 5));
  EXPECT_EQ(DayListLines(entries, day, Value("Haushalt"), Value("Sport")),
            QStringList({"[Sport]  [Walken]   [ 2] ", "[Sport]  [Fahrrad]   [ 7] "}));
  EXPECT_TRUE(DayListLines(entries, day, Value(""), Value("Sport")).isEmpty());
  EXPECT_TRUE(DayListLines(entries, day, Value("Haushalt"), Value("Rezepte")).isEmpty());
}

TEST(TabPage, ValueChoicesAreExactTenthsInLocaleNotation) {
  const QStringList values = ValueChoices(QLocale(QLocale::German, QLocale::Germany));
  ASSERT_EQ(values.size(), 1500);
  EXPECT_EQ(values[0], "0,1");
  EXPECT_EQ(values[2], "0,3");
  EXPECT_EQ(values[8], "0,9");
  EXPECT_EQ(values[9], "1");
  EXPECT_EQ(values[10], "1,1");
  EXPECT_EQ(values[1498], "149,9");
  EXPECT_EQ(values[1499], "150");
  for (int k = 1; k <= 1500; ++k) {
    const QString expected =
        k % 10 == 0 ? QString::number(k / 10) : QStringLiteral("%1,%2").arg(k / 10).arg(k % 10);
    ASSERT_EQ(values[k - 1], expected);
  }
  EXPECT_EQ(ValueChoices(QLocale(QLocale::English, QLocale::UnitedStates))[10], "1.1");
}

TEST(TabPage, ItemsOfTheTabAndCategoriesOfThePerson) {
  CategoryTable categories;
  for (auto [c, i] : {std::pair{"Sport", "Joggen"},
                      {"Ausgaben", "Auto"},
                      {"Sport", "Walken"},
                      {"sport", "Rudern"},
                      {"Sport", "Joggen"}}) {
    CategoryRow row;
    row.category() = Value(c);
    row.item() = Value(i);
    categories.rows.push_back(row);
  }
  EXPECT_EQ(TabItems(categories, Value("Sport")), QStringList({"Joggen", "Walken", "Joggen"}));
  EXPECT_TRUE(TabItems(categories, Value("Rezepte")).isEmpty());

  EntryTable entries;
  entries.rows = {Entry("Anna", "Rezepte", "a", 1), Entry("Haushalt", "Sport", "a", 1),
                  Entry("Haushalt", "Ausgaben", "a", 1), Entry("Haushalt", "Sport", "b", 1),
                  Entry("Haushalt", "sport", "b", 1)};
  EXPECT_EQ(PersonCategories(entries, Value("Haushalt")),
            QStringList({"Sport", "Ausgaben", "sport"}));
  EXPECT_TRUE(PersonCategories(entries, Value("Bert")).isEmpty());
  EXPECT_TRUE(IsChartTab(Value("Entwicklung")));
  EXPECT_FALSE(IsChartTab(Value("entwicklung")));
}
}  // namespace
