// SPDX-License-Identifier: GPL-3.0-or-later
#include "exchange/spreadsheet_export.h"

#include <QStringEncoder>
#include <algorithm>
#include <numeric>
#include <vector>

#include "exchange/spreadsheet_text.h"
#include "store/cell_text.h"
#include "store/file_number.h"

namespace {

// A row as it goes out: its cells as texts, and its day for sorting.
struct OutRow {
  QDate day;
  QString person, category, item;
  int row = 0;
};

QString NumberField(const Value& value) {
  if (!value.IsNumber()) return value.IsEmpty() ? QString() : QuotedField(CellText(value));
  char digits[kMostFileNumberChars];
  const std::size_t size = FormatFileNumber(value.Number(), digits);
  return QString::fromLatin1(digits, static_cast<qsizetype>(size));
}

QString TextField(const QString& text) {
  return QuotedField(GuardedFromFormulas(text));
}

}  // namespace

QByteArray SpreadsheetBytes(const EntryTable& entries, const ExportFilter& filter,
                            const QLocale& locale) {
  std::vector<OutRow> rows;
  rows.reserve(entries.rows.size());
  for (int i = 1; i <= entries.Count(); ++i) {
    const EntryRow& entry = entries.Row(i);
    const QDate day = entry.Date().Date();
    if ((filter.from || filter.to) && !day.isValid()) continue;
    if ((filter.from && day < *filter.from) || (filter.to && day > *filter.to)) continue;
    QString person = CellText(entry.Person(), locale);
    if (filter.person && person != *filter.person) continue;
    rows.push_back({day, std::move(person), CellText(entry.Category(), locale),
                    CellText(entry.Item(), locale), i});
  }
  std::stable_sort(rows.begin(), rows.end(), [](const OutRow& a, const OutRow& b) {
    if (a.day != b.day) return a.day < b.day;
    if (const int c = a.person.compare(b.person)) return c < 0;
    if (const int c = a.category.compare(b.category)) return c < 0;
    return a.item.compare(b.item) < 0;
  });

  QString out;
  out.reserve(static_cast<qsizetype>(rows.size()) * 96 + 64);
  out += u'\xFEFF';
  out += kSpreadsheetHeader + QStringLiteral("\r\n");
  for (const OutRow& r : rows) {
    const EntryRow& entry = entries.Row(r.row);
    if (r.day.isValid()) out += r.day.toString(Qt::ISODate);
    out += u',' + TextField(r.person) + u',' + TextField(r.category) + u',' + TextField(r.item) +
           u',' + NumberField(entry.Value()) + u',' +
           TextField(CellText(entry.Description(), locale)) + QStringLiteral("\r\n");
  }
  return out.toUtf8();
}
