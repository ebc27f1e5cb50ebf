// SPDX-License-Identifier: GPL-3.0-or-later
#include "chart/series.h"

#include <QSet>

#include "store/entry_index.h"

namespace {
// The items listed so far, looked up the way Value equality compares them, without a scan of
// the whole list for every entry. Equality is not transitive (Empty equals both "" and 0, which
// differ from each other), so each kind keeps its own record of what an incoming item could
// equal.
class ListedItems {
 public:
  bool Contains(const Value& item) const {
    switch (item.Kind()) {
      case ValueKind::Empty:
        return empty_ || emptyText_ || numbers_.contains(0.0);
      case ValueKind::Text:
        return item.Text().isEmpty() ? (emptyText_ || empty_) : texts_.contains(item.Text());
      case ValueKind::Number:
        return (item.Number() == 0 && empty_) || numbers_.contains(Key(item.Number()));
      case ValueKind::Date:
        return dates_.contains(item.Date().toJulianDay());
    }
    return false;
  }

  void Add(const Value& item) {
    switch (item.Kind()) {
      case ValueKind::Empty:
        empty_ = true;
        break;
      case ValueKind::Text:
        if (item.Text().isEmpty())
          emptyText_ = true;
        else
          texts_.insert(item.Text());
        break;
      case ValueKind::Number:
        // A NaN equals nothing, not even itself; the reader never produces one.
        if (item.Number() == item.Number()) numbers_.insert(Key(item.Number()));
        break;
      case ValueKind::Date:
        dates_.insert(item.Date().toJulianDay());
        break;
    }
  }

 private:
  // -0 and 0 are numerically equal and must meet in the set.
  static double Key(double number) { return number == 0 ? 0.0 : number; }

  bool empty_ = false;
  bool emptyText_ = false;
  QSet<QString> texts_;
  QSet<double> numbers_;
  QSet<qint64> dates_;
};
}  // namespace

std::vector<Value> SeriesItems(const EntryTable& entries, const Value& person,
                               const Value& category) {
  std::vector<Value> items;
  ListedItems listed;
  // The first row of each item decides where it is listed; later ones are found listed.
  for (int i : entries.Index().FirstRowOfEachItem(person, category)) {
    const EntryRow& row = entries.Row(i);
    if (!(row.Category() == category && row.Person() == person)) continue;
    if (listed.Contains(row.Item())) continue;
    listed.Add(row.Item());
    items.push_back(row.Item());
  }
  return items;
}
