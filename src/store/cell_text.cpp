// SPDX-License-Identifier: GPL-3.0-or-later
#include "store/cell_text.h"

#include "format/number_format.h"

QString CellText(const Value& cell, const QLocale& locale) {
  switch (cell.Kind()) {
    case ValueKind::Text:
      return cell.Text();
    case ValueKind::Number:
      return LocaleNotation(cell.Number(), locale);
    case ValueKind::Date:
      return cell.Date().toString(QStringLiteral("dd.MM.yyyy"));
    case ValueKind::Empty:
      return QString();
  }
  return QString();
}
