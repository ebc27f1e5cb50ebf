// SPDX-License-Identifier: GPL-3.0-or-later
#include "store/entry_index.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cmath>
#include <cstdint>
#include <limits>
#include <utility>

namespace {

constexpr qint64 kNoDay = std::numeric_limits<qint64>::min();  // the number of a null QDate

// Inserts `item` where it keeps `list` sorted (at the end, as a rule: the new row is the last).
template <typename T>
void InsertSorted(std::vector<T>& list, const T& item) {
  if (list.empty() || list.back() < item) {
    list.push_back(item);
  } else {
    list.insert(std::upper_bound(list.begin(), list.end(), item), item);
  }
}

// Takes the row `number` out of `list` and moves the ones after it up by one.
template <typename T>
void RemoveRow(std::vector<T>& list, int number) {
  auto out = list.begin();
  for (auto it = list.begin(); it != list.end(); ++it) {
    if (it->row == number) continue;
    if (it->row > number) --it->row;
    *out++ = *it;
  }
  list.erase(out, list.end());
}

// Adds the rows of the range [from, to) of list, which is sorted by some key, then row.
template <typename It>
void AddRows(It from, It to, std::vector<int>& rows) {
  for (It it = from; it != to; ++it) rows.push_back(it->row);
}

std::vector<int> Sorted(std::vector<int> rows) {
  std::sort(rows.begin(), rows.end());
  return rows;
}

// Orders `list` by `key` (from 0 to keys - 1), keeping the order of the items of equal keys.
template <typename T, typename KeyOfItem>
void CountingSort(std::vector<T>& list, std::size_t keys, KeyOfItem key) {
  if (list.size() < 2) return;
  std::vector<std::size_t> starts(keys + 1, 0);
  for (const T& item : list) ++starts[static_cast<std::size_t>(key(item)) + 1];
  for (std::size_t k = 1; k <= keys; ++k) starts[k] += starts[k - 1];
  std::vector<T> sorted(list.size());
  for (const T& item : list) sorted[starts[static_cast<std::size_t>(key(item))]++] = item;
  list.swap(sorted);
}

// Orders `list` by the keys its items hold in `members` (the first the most significant, each
// from 0 to keys - 1), keeping the order of the items whose keys are all equal. Where the keys
// that occur are so few that their combinations fit a count table of about the list's size, as
// in a day log's few persons, categories and items, one counting sort by the combination does
// it; else one counting sort per key, the last first.
template <typename T, std::size_t N>
void SortByKeys(std::vector<T>& list, std::size_t keys,
                const std::array<std::int32_t T::*, N>& members) {
  if (list.size() < 2) return;
  // The rank of each key among the keys that occur in its member, in the order of the keys.
  std::array<std::vector<std::int32_t>, N> ranks;
  for (auto& rank : ranks) rank.assign(keys, 0);
  for (const T& item : list) {
    for (std::size_t m = 0; m < N; ++m) ranks[m][static_cast<std::size_t>(item.*members[m])] = 1;
  }
  const std::size_t most = 4 * list.size() + 64;
  std::size_t combinations = 1;
  std::array<std::size_t, N> counts{};
  for (std::size_t m = 0; m < N; ++m) {
    std::int32_t next = 0;
    for (std::int32_t& rank : ranks[m]) rank = rank ? next++ : 0;
    counts[m] = static_cast<std::size_t>(next);
    if (combinations <= most) combinations *= counts[m];  // past `most` it stays past
  }
  if (combinations <= most) {
    CountingSort(list, combinations, [&](const T& item) {
      std::size_t combined = 0;
      for (std::size_t m = 0; m < N; ++m) {
        combined = combined * counts[m] +
                   static_cast<std::size_t>(ranks[m][static_cast<std::size_t>(item.*members[m])]);
      }
      return combined;
    });
    return;
  }
  for (std::size_t m = N; m-- > 0;) {
    CountingSort(list, keys, [&](const T& item) { return item.*members[m]; });
  }
}

// Orders `list` by day, keeping the order of the items of the same day; a null day comes first.
template <typename T>
void SortByDay(std::vector<T>& list) {
  qint64 low = std::numeric_limits<qint64>::max(), high = kNoDay;
  bool ordered = true;  // as a log kept day by day is: the order stands
  for (std::size_t i = 0; i < list.size(); ++i) {
    const qint64 day = list[i].day;
    if (i > 0 && day < list[i - 1].day) ordered = false;
    if (day == kNoDay) continue;
    low = std::min(low, day);
    high = std::max(high, day);
  }
  if (ordered || high == kNoDay) return;
  // The days of a day log lie within a few years: counted, unless a hand-edited file spreads
  // them wide.
  const auto span = static_cast<quint64>(high) - static_cast<quint64>(low);
  if (span > 4 * list.size() + 4096) {
    std::stable_sort(list.begin(), list.end(),
                     [](const T& a, const T& b) { return a.day < b.day; });
    return;
  }
  CountingSort(list, static_cast<std::size_t>(span) + 2, [low](const T& item) {
    return item.day == kNoDay ? std::size_t{0} : static_cast<std::size_t>(item.day - low) + 1;
  });
}

}  // namespace

void EntryIndex::Clear() {
  texts_.clear();
  numbers_.clear();
  dates_.clear();
  empty_ = -1;
  next_ = 0;
  dated_.clear();
  undated_.clear();
  byCategory_.clear();
  byItem_.clear();
}

EntryIndex::Key EntryIndex::KeyOf(const Value& cell, std::vector<Recent>* recent) {
  switch (cell.Kind()) {
    case ValueKind::Empty:
      if (empty_ < 0) empty_ = next_++;
      return empty_;
    case ValueKind::Text: {
      const QString& text = cell.Text();
      Recent* seen = nullptr;
      // The null text of a default-made QString has no characters of its own to tell it by.
      if (recent && !text.isNull()) {
        seen =
            &(*recent)[(reinterpret_cast<std::uintptr_t>(text.constData()) >> 4) % recent->size()];
        if (seen->key >= 0 && seen->text.constData() == text.constData() &&
            seen->text.size() == text.size()) {
          return seen->key;
        }
      }
      auto it = texts_.constFind(text);
      if (it == texts_.constEnd()) it = texts_.insert(text, next_++);
      if (seen) *seen = {text, *it};
      return *it;
    }
    case ValueKind::Number: {
      const double number = cell.Number();
      if (std::isnan(number)) return next_++;  // equals nothing, not even another NaN
      auto it = numbers_.constFind(number == 0 ? 0.0 : number);
      if (it == numbers_.constEnd()) it = numbers_.insert(number == 0 ? 0.0 : number, next_++);
      return *it;
    }
    case ValueKind::Date: {
      const qint64 day = cell.Date().toJulianDay();
      auto it = dates_.constFind(day);
      if (it == dates_.constEnd()) it = dates_.insert(day, next_++);
      return *it;
    }
  }
  return next_++;
}

std::vector<EntryIndex::Key> EntryIndex::KeysEqualTo(const Value& cell) const {
  std::vector<Key> keys;
  const auto add = [&keys](const auto& map, const auto& content) {
    const auto it = map.constFind(content);
    if (it != map.constEnd()) keys.push_back(*it);
  };
  switch (cell.Kind()) {
    case ValueKind::Empty:
      if (empty_ >= 0) keys.push_back(empty_);
      add(texts_, QString());
      add(numbers_, 0.0);
      break;
    case ValueKind::Text:
      add(texts_, cell.Text());
      if (cell.Text().isEmpty() && empty_ >= 0) keys.push_back(empty_);
      break;
    case ValueKind::Number:
      if (std::isnan(cell.Number())) break;
      add(numbers_, cell.Number() == 0 ? 0.0 : cell.Number());
      if (cell.Number() == 0 && empty_ >= 0) keys.push_back(empty_);
      break;
    case ValueKind::Date:
      add(dates_, cell.Date().toJulianDay());
      break;
  }
  return keys;
}

void EntryIndex::Add(const EntryRow& row, int number, bool sorted, std::vector<Recent>* recent) {
  const Key person = KeyOf(row.Person(), recent);
  const Key category = KeyOf(row.Category(), recent);
  const Key item = KeyOf(row.Item(), recent);
  const auto put = [sorted](auto& list, const auto& posting) {
    if (sorted) {
      InsertSorted(list, posting);
    } else {
      list.push_back(posting);
    }
  };
  if (row.Date().IsDate()) {
    put(dated_, Dated{person, row.Date().Date().toJulianDay(), number});
  } else {
    put(undated_, Undated{person, number});
  }
  put(byCategory_, ByCategory{person, category, number});
  put(byItem_, ByItem{person, category, item, number});
}

void EntryIndex::Build(const std::vector<EntryRow>& rows) {
  Clear();
  const std::size_t n = rows.size();
  dated_.reserve(n);
  byCategory_.reserve(n);
  byItem_.reserve(n);
  // A slot for each text of a few rows is plenty: a file's repeated texts are few.
  std::vector<Recent> recent(std::min<std::size_t>(4096, std::bit_ceil(3 * n + 1)));
  int number = 0;
  for (const EntryRow& row : rows) Add(row, ++number, false, &recent);
  // Stable sorts, by day before person: each keeps the order of the ones before it among equal
  // keys, and the row numbers grow along the lists as they were made.
  const auto keys = static_cast<std::size_t>(next_);
  SortByDay(dated_);
  CountingSort(dated_, keys, [](const Dated& d) { return d.person; });
  CountingSort(undated_, keys, [](const Undated& d) { return d.person; });
  SortByKeys(byCategory_, keys,
             std::array<Key ByCategory::*, 2>{&ByCategory::person, &ByCategory::category});
  SortByKeys(byItem_, keys,
             std::array<Key ByItem::*, 3>{&ByItem::person, &ByItem::category, &ByItem::item});
}

void EntryIndex::Appended(const EntryRow& row, int number) {
  Add(row, number, true);
}

void EntryIndex::Removed(int number) {
  RemoveRow(dated_, number);
  RemoveRow(undated_, number);
  RemoveRow(byCategory_, number);
  RemoveRow(byItem_, number);
}

std::vector<int> EntryIndex::PersonRowsBetween(const Value& person, QDate first, QDate last) const {
  std::vector<int> rows;
  // The rows without a valid day come first and are always given; the range follows them.
  const qint64 from = std::max(first.toJulianDay(), kNoDay + 1), to = last.toJulianDay();
  for (const Key p : KeysEqualTo(person)) {
    const auto begin = std::lower_bound(dated_.begin(), dated_.end(), Dated{p, kNoDay, 0});
    const auto noDayEnd = std::upper_bound(begin, dated_.end(), Dated{p, kNoDay, INT32_MAX});
    AddRows(begin, noDayEnd, rows);
    if (from > to) continue;
    AddRows(std::lower_bound(noDayEnd, dated_.end(), Dated{p, from, 0}),
            std::upper_bound(noDayEnd, dated_.end(), Dated{p, to, INT32_MAX}), rows);
  }
  return Sorted(std::move(rows));
}

std::vector<int> EntryIndex::PersonRowsOn(const Value& person, const Value& day) const {
  if (day.IsDate()) return PersonRowsBetween(person, day.Date(), day.Date());
  std::vector<int> rows;
  for (const Key p : KeysEqualTo(person)) {
    AddRows(std::lower_bound(undated_.begin(), undated_.end(), Undated{p, 0}),
            std::upper_bound(undated_.begin(), undated_.end(), Undated{p, INT32_MAX}), rows);
  }
  return Sorted(std::move(rows));
}

std::vector<int> EntryIndex::FirstRowOfEachCategory(const Value& person) const {
  std::vector<int> rows;
  for (const Key p : KeysEqualTo(person)) {
    const auto end = std::upper_bound(byCategory_.begin(), byCategory_.end(),
                                      ByCategory{p, INT32_MAX, INT32_MAX});
    // The first posting of each category is its first row; the next category's starts after.
    for (auto it = std::lower_bound(byCategory_.begin(), end, ByCategory{p, INT32_MIN, 0});
         it != end; it = std::upper_bound(it, end, ByCategory{p, it->category, INT32_MAX})) {
      rows.push_back(it->row);
    }
  }
  return Sorted(std::move(rows));
}

std::vector<int> EntryIndex::FirstRowOfEachItem(const Value& person, const Value& category) const {
  std::vector<int> rows;
  const std::vector<Key> categories = KeysEqualTo(category);
  for (const Key p : KeysEqualTo(person)) {
    for (const Key c : categories) {
      const auto end =
          std::upper_bound(byItem_.begin(), byItem_.end(), ByItem{p, c, INT32_MAX, INT32_MAX});
      for (auto it = std::lower_bound(byItem_.begin(), end, ByItem{p, c, INT32_MIN, 0}); it != end;
           it = std::upper_bound(it, end, ByItem{p, c, it->item, INT32_MAX})) {
        rows.push_back(it->row);
      }
    }
  }
  return Sorted(std::move(rows));
}

std::size_t EntryIndex::Bytes() const {
  const auto keyBytes = [](const auto& map) {
    return static_cast<std::size_t>(map.capacity()) * 48;  // node, key and hash slot, about
  };
  // The texts themselves are shared with the table's cells.
  return dated_.capacity() * sizeof(Dated) + undated_.capacity() * sizeof(Undated) +
         byCategory_.capacity() * sizeof(ByCategory) + byItem_.capacity() * sizeof(ByItem) +
         keyBytes(texts_) + keyBytes(numbers_) + keyBytes(dates_);
}

EntryTable::EntryTable() = default;
EntryTable::~EntryTable() = default;

EntryTable::EntryTable(const EntryTable& other) : Table(other) {}

EntryTable::EntryTable(EntryTable&& other) noexcept
    : Table(std::move(other)),
      index_(std::move(other.index_)),
      indexed_(std::exchange(other.indexed_, false)),
      indexedRows_(other.indexedRows_),
      indexedCount_(other.indexedCount_) {}

EntryTable& EntryTable::operator=(const EntryTable& other) {
  rows = other.rows;
  indexed_ = false;
  return *this;
}

EntryTable& EntryTable::operator=(EntryTable&& other) noexcept {
  rows = std::move(other.rows);
  index_ = std::move(other.index_);
  indexed_ = std::exchange(other.indexed_, false);
  indexedRows_ = other.indexedRows_;
  indexedCount_ = other.indexedCount_;
  return *this;
}

bool EntryTable::InStep() const {
  return indexed_ && index_ && indexedRows_ == rows.data() && indexedCount_ == rows.size();
}

void EntryTable::NoteInStep() const {
  indexed_ = true;
  indexedRows_ = rows.data();
  indexedCount_ = rows.size();
}

const EntryIndex& EntryTable::Index() const {
  if (!InStep()) {
    if (!index_) index_ = std::make_unique<EntryIndex>();
    index_->Build(rows);
    NoteInStep();
  }
  return *index_;
}

void EntryTable::Append(EntryRow row) {
  const bool inStep = InStep();
  rows.push_back(std::move(row));
  if (!inStep) return;
  index_->Appended(rows.back(), Count());
  NoteInStep();
}

EntryRow EntryTable::RemoveAt(int i) {
  const bool inStep = InStep();
  EntryRow removed = std::move(Row(i));
  rows.erase(rows.begin() + (i - 1));
  if (inStep) {
    index_->Removed(i);
    NoteInStep();
  }
  return removed;
}
