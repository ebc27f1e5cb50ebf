// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QDate>
#include <QString>
#include <QStringList>
#include <vector>

#include "store/store.h"

// Many entries stored at once, as many saves would store them, but with each file rewritten
// once: a row whose day, person, category and item match an entry updates its value and
// description; the others are appended in their order; a person not yet known is added and an
// item not yet known for its category is learned. The rows have been checked as a save checks an
// entry; what only the tables can tell (their capacities) is checked here, before anything
// changes.
struct ImportedEntry {
  QDate day;
  QString person, category, item;
  double value = 0;
  QString description;
};

struct ImportOutcome {
  bool stored = false;
  // Why nothing, or not everything, was stored, in German.
  QStringList messages;
  int added = 0, updated = 0, persons = 0, items = 0;
  // "120 Einträge neu, 3 geändert, 1 Person und 2 Auswahl-Einträge hinzugefügt."
  QString Summary() const;
};

[[nodiscard]] ImportOutcome ImportEntries(Store& store, const std::vector<ImportedEntry>& rows);
