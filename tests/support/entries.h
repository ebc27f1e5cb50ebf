// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QDate>

#include "store/tables.h"

// An entry as saving makes it, for filling tables in tests. Any cell may be of any kind, as in a
// file edited by hand.
inline EntryRow MakeEntry(const Value& day, const Value& person, const Value& category,
                          const Value& item = Value("x"), const Value& value = Value(1)) {
  EntryRow row;
  row.Date() = day;
  row.Person() = person;
  row.Category() = category;
  row.Item() = item;
  row.Value() = value;
  row.Description() = Value(QStringLiteral("[Beschreibung]"));
  row.fields[6] = row.fields[7] = Value(QString());
  return row;
}

inline EntryRow MakeEntry(QDate day, const Value& person, const Value& category,
                          const Value& item = Value("x"), const Value& value = Value(1)) {
  return MakeEntry(Value(day), person, category, item, value);
}
