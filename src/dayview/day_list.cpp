// SPDX-License-Identifier: GPL-3.0-or-later
#include "dayview/day_list.h"

#include "format/number_format.h"
#include "store/cell_text.h"
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

// The text cut to kLongestShownPiece characters: a text of any length would stall the list's
// text layout. A character made of two code units is not split.
QString Shortened(QString text) {
  if (text.size() <= kLongestShownPiece) return text;
  qsizetype keep = kLongestShownPiece - 1;
  if (text[keep - 1].isHighSurrogate()) --keep;
  text.truncate(keep);
  return text + u'…';
}

// A cell as the boxes show it, shortened.
QString ShownPiece(const Value& cell) {
  return Shortened(CellText(cell));
}
}  // namespace

QString DayListLine(const EntryRow& row) {
  QString line = u'[' + ShownPiece(row.Category()) + QStringLiteral("]  [") +
                 ShownPiece(row.Item()) + QStringLiteral("]   [") +
                 Shortened(ValueListForm(row.Value())) + QStringLiteral("] ");
  if (!(row.Description() == Value(kDescriptionPlaceholder)))
    line += u'[' + ShownPiece(row.Description()) + u']';
  return line;
}

bool BelongsToDayList(const EntryRow& row, const Value& day, const Value& person,
                      const Value& category) {
  return row.Date() == day && row.Person() == person && row.Category() == category;
}

std::vector<DayListItem> DayListItems(const EntryTable& entries, const Value& day,
                                      const Value& person, const Value& category) {
  std::vector<DayListItem> items;
  for (int i : entries.Index().PersonRowsOn(person, day)) {
    const EntryRow& row = entries.Row(i);
    if (BelongsToDayList(row, day, person, category)) items.push_back({DayListLine(row), row, i});
  }
  return items;
}
