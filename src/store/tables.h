#pragma once

#include <array>
#include <vector>

#include "store/value.h"

// One record of a data file: a fixed number of cells in file order.
template <int N>
struct Record {
  static constexpr int kFields = N;
  std::array<Value, N> fields;
};

struct PersonRow : Record<1> {
  const Value& name() const { return fields[0]; }
  Value& name() { return fields[0]; }
};

struct CategoryRow : Record<2> {
  const Value& category() const { return fields[0]; }
  const Value& item() const { return fields[1]; }
  Value& category() { return fields[0]; }
  Value& item() { return fields[1]; }
};

struct EntryRow : Record<8> {
  const Value& date() const { return fields[0]; }
  const Value& person() const { return fields[1]; }
  const Value& category() const { return fields[2]; }
  const Value& item() const { return fields[3]; }
  const Value& value() const { return fields[4]; }
  const Value& description() const { return fields[5]; }
  Value& date() { return fields[0]; }
  Value& person() { return fields[1]; }
  Value& category() { return fields[2]; }
  Value& item() { return fields[3]; }
  Value& value() { return fields[4]; }
  Value& description() { return fields[5]; }
  // fields[6] and fields[7] are reserved: carried unchanged, never read.
};

// A table is its rows in insertion order, numbered 1 to count() as in the file; it never holds
// more than its capacity.
template <typename Row, int Capacity>
struct Table {
  using RowType = Row;
  static constexpr int kCapacity = Capacity;
  std::vector<Row> rows;

  int count() const { return static_cast<int>(rows.size()); }
  bool full() const { return count() >= kCapacity; }
  const Row& row(int i) const { return rows[static_cast<std::size_t>(i - 1)]; }
  Row& row(int i) { return rows[static_cast<std::size_t>(i - 1)]; }
};

using PersonTable = Table<PersonRow, 100>;
using CategoryTable = Table<CategoryRow, 2000>;
using EntryTable = Table<EntryRow, 50000>;
