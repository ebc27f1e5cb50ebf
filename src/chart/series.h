// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <vector>

#include "store/tables.h"

// The items one person has recorded under one category, each once, in the order of its first
// entry. Items compare as Values: texts exactly and case-sensitively ("Joggen" and "joggen"
// are two items). The item box lists them all.
std::vector<Value> SeriesItems(const EntryTable& entries, const Value& person,
                               const Value& category);

// How an item stands in the item box: a Text as it is; a Number or Date (only in a hand-edited
// entries file) in the notation the user reads; Empty as the empty text.
QString SeriesItemText(const Value& item);
