// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <optional>
#include <variant>
#include <vector>

#include "store/tables.h"

// One row that a change put into a table, took out of it or altered, with the row's number in
// the table (from 1) when the change was made: an added row has no `before`, a removed one no
// `after`. The cells are kept whole, so the row can be found again by its cells and put back
// exactly.
template <typename RowT>
struct RowChange {
  int row = 0;
  std::optional<RowT> before;
  std::optional<RowT> after;
};
using EntryChange = RowChange<EntryRow>;
using PersonChange = RowChange<PersonRow>;

// What one change did to the entries and persons tables, in the order it did it: one saved
// entry, the entries an update altered, one removed entry, one added person, or several of
// these made by one action. An item learned for a category is not among them: it stays.
using ChangeRecord = std::vector<std::variant<EntryChange, PersonChange>>;
