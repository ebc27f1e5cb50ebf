// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QDate>
#include <QString>
#include <QStringList>

#include "store/tables.h"

// The description box's start text; an entry whose description is still this shows none.
inline const QString kDescriptionPlaceholder = QStringLiteral("[Beschreibung]");

// The line of the day list for one entry:
// "[Sport]  [Joggen]   [ 5.5] [am See]", or "[Sport]  [Joggen]   [ 5.5] " when the description
// is still the placeholder "[Beschreibung]". Both the list and deleting build lines with it.
QString DayListLine(const EntryRow& row);

// Whether the entry belongs to the day list of that day, person and tab.
bool BelongsToDayList(const EntryRow& row, const Value& day, const Value& person,
                      const Value& category);

// The lines of the day list, in row order.
QStringList DayListLines(const EntryTable& entries, const Value& day, const Value& person,
                         const Value& category);
