// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <gtest/gtest.h>

#include <QDate>
#include <QLocale>

#include "entries.h"
#include "store/tables.h"

// An entry row as the entries file holds it.
inline EntryRow Entry(const Cell& date, const Cell& person, const Cell& category, const Cell& item,
                      const Cell& value) {
  return MakeEntry(date, person, category, item, value);
}

inline EntryTable Entries(std::initializer_list<EntryRow> rows) {
  EntryTable table;
  table.rows.assign(rows.begin(), rows.end());
  return table;
}

// Chart tests print numbers in the German notation (" 1,7 ").
class GermanChartTest : public ::testing::Test {
 protected:
  void SetUp() override { QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany)); }
};
