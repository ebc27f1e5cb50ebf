// SPDX-License-Identifier: GPL-3.0-or-later
#include "chart/series.h"

#include <gtest/gtest.h>

#include "chart_test_support.h"
#include "store/cell_text.h"

namespace {
const QDate kDay(2024, 3, 5);

QStringList Texts(const std::vector<Value>& items) {
  QStringList out;
  for (const Value& item : items) out << CellText(item);
  return out;
}

// The plain definition: look every item up in the list built so far with Value equality.
std::vector<Value> NaiveSeriesItems(const EntryTable& entries, const Value& person,
                                    const Value& category) {
  std::vector<Value> items;
  for (const EntryRow& row : entries.rows) {
    if (!(row.Category() == category && row.Person() == person)) continue;
    bool listed = false;
    for (const Value& item : items) listed = listed || item == row.Item();
    if (!listed) items.push_back(row.Item());
  }
  return items;
}
}  // namespace

TEST(SeriesItems, DistinctItemsOfThePersonInOrderOfFirstEntry) {
  const EntryTable entries = Entries({
      Entry(kDay, "Haushalt", "Sport", "Joggen", 5),
      Entry(kDay, "Anna", "Sport", "Radfahren", 20),
      Entry(kDay.addDays(1), "Haushalt", "Sport", "Walken", 3),
      Entry(kDay, "Haushalt", "Ausgaben", "Brot", 2),
      Entry(kDay.addDays(2), "Haushalt", "Sport", "Joggen", 6),
      Entry(kDay.addDays(40), "Haushalt", "Sport", "joggen", 1),
      Entry(kDay, "haushalt", "Sport", "Schwimmen", 1),
      Entry(kDay, "Haushalt", "sport", "Rudern", 1),
  });
  EXPECT_EQ(Texts(SeriesItems(entries, Text("Haushalt"), Text("Sport"))),
            QStringList({"Joggen", "Walken", "joggen"}));
  EXPECT_EQ(Texts(SeriesItems(entries, Text("Anna"), Text("Sport"))), QStringList({"Radfahren"}));
  EXPECT_TRUE(SeriesItems(entries, Text("Anna"), Text("Ausgaben")).empty());
  EXPECT_TRUE(SeriesItems(EntryTable(), Text("Haushalt"), Text("Sport")).empty());
}

// Items of other kinds come only from hand-edited files, but the fast lookup must still agree
// with Value equality, which is not transitive: Empty equals "" and 0, "" differs from 0.
TEST(SeriesItems, MixedKindsAgreeWithValueEquality) {
  const std::vector<std::vector<Value>> orders = {
      {Value(), Value(""), Value(0.0), Value(-0.0), Value("0"), Value(5), Value("5"), Value(kDay)},
      {Value(""), Value(0.0), Value(), Value(""), Value(-0.0), Value(kDay), Value(kDay),
       Value(5.0)},
      {Value(0.0), Value(), Value(""), Value("a"), Value("A"), Value("a "), Value(-0.0)},
      {Value(-0.0), Value(0.0), Value(""), Value(), Value(QDate(2024, 3, 6)), Value(kDay)},
  };
  for (const auto& items : orders) {
    EntryTable entries;
    for (const Value& item : items) entries.rows.push_back(Entry(kDay, "P", "K", item, 1));
    const std::vector<Value> got = SeriesItems(entries, Text("P"), Text("K"));
    const std::vector<Value> want = NaiveSeriesItems(entries, Text("P"), Text("K"));
    ASSERT_EQ(got.size(), want.size());
    for (std::size_t i = 0; i < got.size(); ++i) {
      EXPECT_EQ(got[i].Kind(), want[i].Kind()) << i;
      EXPECT_TRUE(got[i] == want[i]) << i;
    }
  }
}

using CellTextTest = GermanChartTest;

TEST_F(CellTextTest, ItemTextsForTheItemBox) {
  EXPECT_EQ(CellText(Value("Joggen")), "Joggen");
  EXPECT_EQ(CellText(Value(2.5)), "2,5");
  EXPECT_EQ(CellText(Value(kDay)), "05.03.2024");
  EXPECT_EQ(CellText(Value()), "");
}
