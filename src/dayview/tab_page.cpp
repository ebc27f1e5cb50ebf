#include "dayview/tab_page.h"

#include <algorithm>
#include <vector>

#include "format/cell_text.h"
#include "format/number_format.h"

namespace {
constexpr int kValueChoices = 1500;
}  // namespace

bool IsChartTab(const Value& caption) {
  return caption == Value(kChartTabCaption);
}

QStringList TabItems(const CategoryTable& categories, const Value& caption) {
  QStringList items;
  for (const CategoryRow& row : categories.rows) {
    if (row.category() == caption) items << CellText(row.item());
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

QStringList PersonCategories(const EntryTable& entries, const Value& person) {
  std::vector<Value> listed;
  for (const EntryRow& row : entries.rows) {
    if (!(row.person() == person)) continue;
    if (std::find(listed.begin(), listed.end(), row.category()) == listed.end()) {
      listed.push_back(row.category());
    }
  }
  QStringList categories;
  for (const Value& category : listed) categories << CellText(category);
  return categories;
}
