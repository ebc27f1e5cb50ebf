// SPDX-License-Identifier: GPL-3.0-or-later
#include "dayview/day_list.h"

#include "format/number_format.h"
#include "store/entry_index.h"

namespace {

// A value that is no Number (a hand-edited file) shows as its text.
QString ValueListForm(const Value& v) {
  switch (v.Kind()) {
    case ValueKind::Number:
      return ListNotation(v.Number());
    case ValueKind::Text:
      return v.Text();
    case ValueKind::Date:
      return v.Date().toString(Qt::ISODate);
    case ValueKind::Empty:
      return QString();
  }
  return QString();
}
}  // namespace

QString DayListLine(const EntryRow& row) {
  QString line = u'[' + row.Category().Text() + QStringLiteral("]  [") + row.Item().Text() +
                 QStringLiteral("]   [") + ValueListForm(row.Value()) + QStringLiteral("] ");
  if (!(row.Description() == Value(kDescriptionPlaceholder)))
    line += u'[' + row.Description().Text() + u']';
  return line;
}

bool BelongsToDayList(const EntryRow& row, const Value& day, const Value& person,
                      const Value& category) {
  return row.Date() == day && row.Person() == person && row.Category() == category;
}

QStringList DayListLines(const EntryTable& entries, const Value& day, const Value& person,
                         const Value& category) {
  QStringList lines;
  for (int i : entries.Index().PersonRowsOn(person, day)) {
    const EntryRow& row = entries.Row(i);
    if (BelongsToDayList(row, day, person, category)) lines << DayListLine(row);
  }
  return lines;
}
