#include "chart/series.h"

#include <QSet>

namespace {
// The items listed so far, looked up the way Value equality compares them, without a scan of
// the whole list for every entry. Equality is not transitive (Empty equals both "" and 0, which
// differ from each other), so each kind keeps its own record of what an incoming item could
// equal.
class ListedItems {
 public:
  bool Contains(const Value& item) const {
    switch (item.kind()) {
      case Value::Kind::Empty:
        return empty_ || emptyText_ || numbers_.contains(0.0);
      case Value::Kind::Text:
        return item.text().isEmpty() ? (emptyText_ || empty_) : texts_.contains(item.text());
      case Value::Kind::Number:
        return (item.number() == 0 && empty_) || numbers_.contains(Key(item.number()));
      case Value::Kind::Date:
        return dates_.contains(item.date().toJulianDay());
    }
    return false;
  }

  void Add(const Value& item) {
    switch (item.kind()) {
      case Value::Kind::Empty:
        empty_ = true;
        break;
      case Value::Kind::Text:
        if (item.text().isEmpty())
          emptyText_ = true;
        else
          texts_.insert(item.text());
        break;
      case Value::Kind::Number:
        // A NaN equals nothing, not even itself; the reader never produces one.
        if (item.number() == item.number()) numbers_.insert(Key(item.number()));
        break;
      case Value::Kind::Date:
        dates_.insert(item.date().toJulianDay());
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
  for (const EntryRow& row : entries.rows) {
    if (!(row.category() == category && row.person() == person)) continue;
    if (listed.Contains(row.item())) continue;
    listed.Add(row.item());
    items.push_back(row.item());
  }
  return items;
}
