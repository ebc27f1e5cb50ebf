// SPDX-License-Identifier: GPL-3.0-or-later
#include "dayview/tab_page.h"

#include <algorithm>
#include <vector>

#include "format/number_format.h"
#include "store/entry_index.h"

namespace {
constexpr int kValueChoices = 1500;
}  // namespace

bool IsChartTab(const Value& caption) {
  return caption == Value(kChartTabCaption);
}

std::vector<Value> TabItems(const CategoryTable& categories, const Value& caption) {
  std::vector<Value> items;
  for (const CategoryRow& row : categories.rows) {
    if (row.Category() == caption) items.push_back(row.Item());
  }
  return items;
}

QStringList ValueChoices(const QLocale& locale) {
  QStringList values;
  values.reserve(kValueChoices);
  for (int tenths = 1; tenths <= kValueChoices; ++tenths) {
    values << LocaleNotation(tenths / 10.0, locale);
  }
  return values;
}

std::vector<Value> PersonCategories(const EntryTable& entries, const Value& person) {
  std::vector<Value> listed;
  // The first row of each category decides where it is listed; later ones are found listed.
  for (int i : entries.Index().FirstRowOfEachCategory(person)) {
    const EntryRow& row = entries.Row(i);
    if (!(row.Person() == person)) continue;
    if (std::find(listed.begin(), listed.end(), row.Category()) == listed.end()) {
      listed.push_back(row.Category());
    }
  }
  return listed;
}
