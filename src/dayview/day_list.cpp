#include "dayview/day_list.h"

#include "format/number_format.h"

namespace {
const QString kPlaceholder = QStringLiteral("[Beschreibung]");

// A value that is no Number (a hand-edited file) shows as its text.
QString ValueListForm(const Value& v) {
  switch (v.kind()) {
    case Value::Kind::Number:
      return ListNotation(v.number());
    case Value::Kind::Text:
      return v.text();
    case Value::Kind::Date:
      return v.date().toString(Qt::ISODate);
    case Value::Kind::Empty:
      return QString();
  }
  return QString();
}
}  // namespace

QString DayListLine(const EntryRow& row) {
  QString line = u'[' + row.category().text() + QStringLiteral("]  [") + row.item().text() +
                 QStringLiteral("]   [") + ValueListForm(row.value()) + QStringLiteral("] ");
  if (!(row.description() == Value(kPlaceholder))) line += u'[' + row.description().text() + u']';
  return line;
}

bool BelongsToDayList(const EntryRow& row, const Value& day, const Value& person,
                      const Value& category) {
  return row.date() == day && row.person() == person && row.category() == category;
}

QStringList DayListLines(const EntryTable& entries, const Value& day, const Value& person,
                         const Value& category) {
  QStringList lines;
  for (const EntryRow& row : entries.rows) {
    if (BelongsToDayList(row, day, person, category)) lines << DayListLine(row);
  }
  return lines;
}
