// SPDX-License-Identifier: GPL-3.0-or-later
#include "store/entry_index.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <random>

#include "entries.h"

namespace {

// Cells of every kind, among them those equality joins across kinds and a NaN, which equals
// nothing.
std::vector<Value> Pool() {
  return {Value(),
          Value(QString()),
          Text(""),
          Value(0.0),
          Value(-0.0),
          Value(std::nan("")),
          Text("Anna"),
          Text("anna"),
          Value(1.0),
          Value(QDate(2024, 3, 5)),
          Value(QDate(2024, 3, 6)),
          Value(QDate()),
          Text("2024-03-05")};
}

// The distinct cells of the rows, each at its first row, compared as the views compare them.
std::vector<Value> Distinct(const EntryTable& t, const std::vector<int>& rows, int field) {
  std::vector<Value> listed;
  for (int i : rows) {
    const Value& v = t.Row(i).fields[static_cast<std::size_t>(field)];
    if (std::find(listed.begin(), listed.end(), v) == listed.end()) listed.push_back(v);
  }
  return listed;
}

std::vector<int> Where(const EntryTable& t, const std::vector<int>& rows,
                       const std::function<bool(const EntryRow&)>& take) {
  std::vector<int> out;
  for (int i : rows) {
    if (take(t.Row(i))) out.push_back(i);
  }
  return out;
}

void ExpectSameKinds(const std::vector<Value>& a, const std::vector<Value>& b) {
  ASSERT_EQ(a.size(), b.size());
  for (std::size_t k = 0; k < a.size(); ++k) {
    EXPECT_EQ(a[k].Kind(), b[k].Kind());
    EXPECT_TRUE(a[k] == b[k] || (std::isnan(a[k].Number()) && std::isnan(b[k].Number())));
  }
}

// Every answer of the index, narrowed by the test a view makes on each row, is what the same
// test on every row of the table gives.
void ExpectIndexAnswersAsTheScan(const EntryTable& t) {
  std::vector<int> all(static_cast<std::size_t>(t.Count()));
  for (int i = 1; i <= t.Count(); ++i) all[static_cast<std::size_t>(i - 1)] = i;
  const EntryIndex& index = t.Index();
  const QDate first(2024, 3, 5), last(2024, 3, 31);
  for (const Value& person : Pool()) {
    const auto mine = [&](const EntryRow& r) { return r.Person() == person; };
    for (const Value& day : Pool()) {
      const auto on = [&](const EntryRow& r) { return mine(r) && r.Date() == day; };
      const std::vector<int> got = index.PersonRowsOn(person, day);
      EXPECT_TRUE(std::is_sorted(got.begin(), got.end()));
      EXPECT_EQ(Where(t, got, on), Where(t, all, on));
    }
    const auto inMonth = [&](const EntryRow& r) {
      return mine(r) && r.Date().IsDate() &&
             (!r.Date().Date().isValid() || (r.Date().Date() >= first && r.Date().Date() <= last));
    };
    EXPECT_EQ(Where(t, index.PersonRowsBetween(person, first, last), inMonth),
              Where(t, all, inMonth));
    ExpectSameKinds(Distinct(t, Where(t, index.FirstRowOfEachCategory(person), mine), 2),
                    Distinct(t, Where(t, all, mine), 2));
    for (const Value& category : Pool()) {
      const auto pair = [&](const EntryRow& r) { return mine(r) && r.Category() == category; };
      ExpectSameKinds(Distinct(t, Where(t, index.FirstRowOfEachItem(person, category), pair), 3),
                      Distinct(t, Where(t, all, pair), 3));
    }
  }
}

}  // namespace

// Rows of mixed kinds changed in every way the program changes them: appended, taken out,
// replaced by rows read anew, a person changed in place (and said so).
TEST(EntryIndex, AnswersAsTheScanOfEveryRowAfterEveryKindOfChange) {
  std::mt19937 rng(5);
  const std::vector<Value> pool = Pool();
  const auto any = [&] { return pool[rng() % pool.size()]; };
  const auto entry = [&] { return MakeEntry(any(), any(), any(), any()); };
  EntryTable t;
  for (int i = 0; i < 40; ++i) t.rows.push_back(entry());
  for (int step = 0; step < 60; ++step) {
    switch (rng() % 4) {
      case 0:
        t.Append(entry());
        break;
      case 1:
        if (t.Count() > 0) t.RemoveAt(1 + static_cast<int>(rng() % t.Count()));
        break;
      case 2: {
        std::vector<EntryRow> rows(rng() % 50);
        for (EntryRow& row : rows) row = entry();
        t.rows = std::move(rows);
        break;
      }
      default:
        if (t.Count() > 0) {
          t.Row(1 + static_cast<int>(rng() % t.Count())).Person() = any();
          t.Changed();
        }
    }
    ExpectIndexAnswersAsTheScan(t);
    if (HasFailure()) FAIL() << "step " << step;
  }
}
