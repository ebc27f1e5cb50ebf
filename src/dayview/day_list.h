// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QDate>
#include <QString>
#include <vector>

#include "store/tables.h"

// The description box's start text; an entry whose description is still this shows none.
inline const QString kDescriptionPlaceholder = QStringLiteral("[Beschreibung]");

// At most this many characters of an item or a description are shown in a line; a longer one
// (or a value that is no Number) is cut and ends in "…". The file keeps every character.
inline constexpr qsizetype kLongestShownPiece = 1000;

// The line of the day list for one entry:
// "[Sport]  [Joggen]   [ 5.5] [am See]", or "[Sport]  [Joggen]   [ 5.5] " when the description
// is still the placeholder "[Beschreibung]". Category, item and description stand as the boxes
// show cells (CellText), each shortened to kLongestShownPiece characters.
QString DayListLine(const EntryRow& row);

// Whether the entry belongs to the day list of that day, person and tab.
bool BelongsToDayList(const EntryRow& row, const Value& day, const Value& person,
                      const Value& category);

// One line of the day list and the entry it stands for: a copy of the row and its number in
// the table (from 1), so deleting finds exactly that entry, however alike two lines read.
struct DayListItem {
  QString line;
  EntryRow entry;
  int row = 0;
};

// The lines of the day list, in row order.
std::vector<DayListItem> DayListItems(const EntryTable& entries, const Value& day,
                                      const Value& person, const Value& category);
