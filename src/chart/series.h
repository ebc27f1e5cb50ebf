// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <vector>

#include "store/tables.h"

// The items one person has recorded under one category, each once, in the order of its first
// entry. Items compare as Values: texts exactly and case-sensitively ("Joggen" and "joggen"
// are two items). The item box lists them all, each as CellText shows it.
std::vector<Value> SeriesItems(const EntryTable& entries, const Value& person,
                               const Value& category);
