#pragma once

#include <QDate>

#include "store/tables.h"

// An entry as saving makes it, for filling tables in tests.
inline EntryRow MakeEntry(QDate day, const QString& person, const QString& category,
                          const QString& item = QStringLiteral("x"), double value = 1) {
  EntryRow row;
  row.date() = Value(day);
  row.person() = Value(person);
  row.category() = Value(category);
  row.item() = Value(item);
  row.value() = Value(value);
  row.description() = Value(QStringLiteral("[Beschreibung]"));
  row.fields[6] = row.fields[7] = Value(QString());
  return row;
}
