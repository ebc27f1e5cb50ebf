// SPDX-License-Identifier: GPL-3.0-or-later
#include "exchange/spreadsheet_text.h"

namespace {

bool IsFormulaStart(QChar c) {
  return c == u'=' || c == u'+' || c == u'-' || c == u'@';
}

// Whether the text is a formula start behind `apostrophes` or more apostrophes.
bool LooksLikeFormula(QStringView text, qsizetype apostrophes) {
  qsizetype i = 0;
  while (i < text.size() && text[i] == u'\'') ++i;
  return i >= apostrophes && i < text.size() && IsFormulaStart(text[i]);
}

}  // namespace

QString GuardedFromFormulas(const QString& text) {
  return LooksLikeFormula(text, 0) ? u'\'' + text : text;
}

QStringView UnguardedFromFormulas(QStringView cell) {
  return LooksLikeFormula(cell, 1) ? cell.mid(1) : cell;
}

QString QuotedField(const QString& text) {
  QString out = text;
  out.replace(u'"', QStringLiteral("\"\""));
  return u'"' + out + u'"';
}
