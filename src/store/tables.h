// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <array>
#include <cstddef>
#include <memory>
#include <vector>

#include "store/value.h"

// One record of a data file: a fixed number of cells in file order.
template <int N>
struct Record {
  static constexpr int kFields = N;
  std::array<Value, N> fields;
};

// Whether the two records hold the same cells: each pair of the same kind and equal, so nothing
// written to a file could tell them apart (unlike equality, which takes Empty for 0 or "").
template <int N>
bool SameCells(const Record<N>& a, const Record<N>& b) {
  for (int i = 0; i < N; ++i) {
    const Value& x = a.fields[static_cast<std::size_t>(i)];
    const Value& y = b.fields[static_cast<std::size_t>(i)];
    if (x.Kind() != y.Kind() || !(x == y)) return false;
  }
  return true;
}

struct PersonRow : Record<1> {
  const Value& Name() const { return fields[0]; }
  Value& Name() { return fields[0]; }
};

struct CategoryRow : Record<2> {
  const Value& Category() const { return fields[0]; }
  const Value& Item() const { return fields[1]; }
  Value& Category() { return fields[0]; }
  Value& Item() { return fields[1]; }
};

struct EntryRow : Record<8> {
  const ::Value& Date() const { return fields[0]; }
  const ::Value& Person() const { return fields[1]; }
  const ::Value& Category() const { return fields[2]; }
  const ::Value& Item() const { return fields[3]; }
  const ::Value& Value() const { return fields[4]; }
  const ::Value& Description() const { return fields[5]; }
  ::Value& Date() { return fields[0]; }
  ::Value& Person() { return fields[1]; }
  ::Value& Category() { return fields[2]; }
  ::Value& Item() { return fields[3]; }
  ::Value& Value() { return fields[4]; }
  ::Value& Description() { return fields[5]; }
  // fields[6] and fields[7] are reserved: carried unchanged, never read.
};

// A table is its rows in insertion order, numbered 1 to Count() as in the file; it never holds
// more than its capacity.
template <typename RowT, int Capacity>
struct Table {
  using RowType = RowT;
  static constexpr int kCapacity = Capacity;
  std::vector<RowT> rows;

  int Count() const { return static_cast<int>(rows.size()); }
  bool Full() const { return Count() >= kCapacity; }
  const RowT& Row(int i) const { return rows[static_cast<std::size_t>(i - 1)]; }
  RowT& Row(int i) { return rows[static_cast<std::size_t>(i - 1)]; }
};

// Rows of room a loaded or rewritten table keeps beyond its rows, so that the next rows added do
// not move all the rows of a large table.
inline constexpr int kRowsOfRoom = 256;

using PersonTable = Table<PersonRow, 100>;
using CategoryTable = Table<CategoryRow, 2000>;
class EntryIndex;

// The entries table carries an index of its rows (store/entry_index.h) that the views ask
// instead of reading every row. Append and RemoveAt keep it in step; a table assigned, read or
// changed through `rows` in any other way is indexed anew at the next question, as far as its
// rows moved or their number changed. Code that changes a row's date, person, category or item
// in place calls Changed(); a new value or description needs nothing.
struct EntryTable : Table<EntryRow, 50000> {
  EntryTable();
  EntryTable(const EntryTable& other);
  EntryTable(EntryTable&& other) noexcept;
  EntryTable& operator=(const EntryTable& other);
  EntryTable& operator=(EntryTable&& other) noexcept;
  ~EntryTable();

  // The index of the rows as they are now.
  const EntryIndex& Index() const;
  void Append(EntryRow row);
  // Takes row i out; the rows after it move up by one.
  EntryRow RemoveAt(int i);
  void Changed() { indexed_ = false; }

 private:
  bool InStep() const;
  void NoteInStep() const;

  mutable std::unique_ptr<EntryIndex> index_;
  // The rows the index was made for: where they were and how many.
  mutable bool indexed_ = false;
  mutable const EntryRow* indexedRows_ = nullptr;
  mutable std::size_t indexedCount_ = 0;
};
