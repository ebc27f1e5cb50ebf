// SPDX-License-Identifier: GPL-3.0-or-later
#include "format/cell_text.h"

#include "format/number_format.h"

QString CellText(const Value& cell, const QLocale& locale) {
  switch (cell.kind()) {
    case Value::Kind::Text:
      return cell.text();
    case Value::Kind::Number:
      return LocaleNotation(cell.number(), locale);
    case Value::Kind::Date:
      return cell.date().toString(QStringLiteral("dd.MM.yyyy"));
    case Value::Kind::Empty:
      return QString();
  }
  return QString();
}
