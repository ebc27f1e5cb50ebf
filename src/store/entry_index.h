// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QDate>
#include <QHash>
#include <QString>
#include <cstdint>
#include <vector>

#include "store/tables.h"

// The rows of the entries table by person and day, and by person, category and item, so that a
// view reads the rows it shows instead of every row of the table. Every answer is a list of row
// numbers (1 to Count()) in table order that holds at least every row the view's own test on
// the row would take; the view keeps that test, so its result is what reading every row gives.
//
// Cells are keyed by kind and content: an Empty cell, a Text, a Number (0 and -0 alike) or a
// Date. A question for a cell is answered from every key it equals, so the keys that equality
// joins across kinds (Empty, the empty Text, the Number 0) are merged; a NaN equals nothing,
// and each NaN cell gets a key of its own. Rows whose date is no Date cell (a hand-edited file)
// are kept apart, per person.
class EntryIndex {
 public:
  // Indexes the rows anew.
  void Build(const std::vector<EntryRow>& rows);
  // The row `row` (numbered `number`, the last one) was added.
  void Appended(const EntryRow& row, int number);
  // The row numbered `number` was taken out; the rows after it moved up by one.
  void Removed(int number);

  // The rows whose person equals `person` and whose date is a Date cell from `first` to `last`
  // (both included) or one holding no valid day.
  std::vector<int> PersonRowsBetween(const Value& person, QDate first, QDate last) const;
  // The rows whose person equals `person` and whose date may equal `day`.
  std::vector<int> PersonRowsOn(const Value& person, const Value& day) const;
  // Of the rows whose person equals `person`: for each category the first row with it.
  std::vector<int> FirstRowOfEachCategory(const Value& person) const;
  // Of the rows whose person and category equal these: for each item the first row with it.
  std::vector<int> FirstRowOfEachItem(const Value& person, const Value& category) const;

  // The memory the index holds, in bytes (about).
  std::size_t Bytes() const;

 private:
  using Key = std::int32_t;
  struct Dated {
    Key person;
    qint64 day;
    std::int32_t row;
    auto operator<=>(const Dated&) const = default;
  };
  struct Undated {
    Key person;
    std::int32_t row;
    auto operator<=>(const Undated&) const = default;
  };
  struct ByCategory {
    Key person, category;
    std::int32_t row;
    auto operator<=>(const ByCategory&) const = default;
  };
  struct ByItem {
    Key person, category, item;
    std::int32_t row;
    auto operator<=>(const ByItem&) const = default;
  };

  // The last texts keyed, by the address of their characters: the rows of a read file share
  // one copy of each repeated text. The copy kept holds the characters, so they stay where they
  // are and unchanged and never stand for another text.
  struct Recent {
    QString text;
    Key key = -1;
  };
  // The key of a cell, made when new; `recent`, while building, spares the look-up of a text
  // just seen.
  Key KeyOf(const Value& cell, std::vector<Recent>* recent = nullptr);
  // The keys of the cells `cell` equals, as far as any row has one.
  std::vector<Key> KeysEqualTo(const Value& cell) const;
  void Add(const EntryRow& row, int number, bool sorted, std::vector<Recent>* recent = nullptr);
  void Clear();

  QHash<QString, Key> texts_;
  QHash<double, Key> numbers_;
  QHash<qint64, Key> dates_;
  Key empty_ = -1;
  Key next_ = 0;
  std::vector<Dated> dated_;
  std::vector<Undated> undated_;
  std::vector<ByCategory> byCategory_;
  std::vector<ByItem> byItem_;
};
