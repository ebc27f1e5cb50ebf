// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QDate>
#include <QString>
#include <utility>

#include "store/tables.h"

// A cell as a test writes it: a string literal is a Text.
struct Cell {
  Cell(const char* text) : value(QString::fromUtf8(text)) {}  // NOLINT(google-explicit-constructor)
  Cell(const QString& text) : value(text) {}                  // NOLINT
  Cell(double number) : value(number) {}                      // NOLINT
  Cell(int number) : value(number) {}                         // NOLINT
  Cell(QDate day) : value(day) {}                             // NOLINT
  Cell(Value cell) : value(std::move(cell)) {}                // NOLINT
  operator const Value&() const { return value; }             // NOLINT
  Value value;
};

// A Text cell from a string literal.
inline Value Text(const char* text) {
  return Value(QString::fromUtf8(text));
}

// An entry as saving makes it, for filling tables in tests. Any cell may be of any kind, as in a
// file edited by hand.
inline EntryRow MakeEntry(const Cell& day, const Cell& person, const Cell& category,
                          const Cell& item = "x", const Cell& value = 1) {
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

inline EntryRow MakeEntry(QDate day, const Cell& person, const Cell& category,
                          const Cell& item = "x", const Cell& value = 1) {
  return MakeEntry(Cell(day), person, category, item, value);
}
