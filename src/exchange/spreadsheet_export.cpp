// SPDX-License-Identifier: GPL-3.0-or-later
#include "exchange/spreadsheet_export.h"

#include <QHash>
#include <QStringEncoder>
#include <algorithm>
#include <cstdio>
#include <deque>
#include <limits>
#include <vector>

#include "exchange/spreadsheet_text.h"
#include "store/cell_text.h"
#include "store/file_number.h"

namespace {

// A row as it goes out: its day and the texts it is sorted by.
// The texts are the table's own where the cells are texts, else the day list's notation kept in
// `shown`; a day is a Julian day number, invalid days first.
struct OutRow {
  qint64 day;
  const QString* person;
  const QString* category;
  const QString* item;
  int row;
};

// The text a cell shows: a Text's own characters, else its notation, kept in `shown`.
const QString* ShownText(const Value& cell, const QLocale& locale, std::deque<QString>& shown) {
  if (cell.IsText()) return &cell.Text();
  return &shown.emplace_back(CellText(cell, locale));
}

// Writes the rows' fields as UTF-8 into one buffer. Names, categories and items repeat from row
// to row and are the very same texts in the table: each is converted once.
class CsvOut {
 public:
  explicit CsvOut(qsizetype reserve) { bytes_.reserve(reserve); }

  void Day(QDate day) {
    if (!day.isValid()) return;
    if (day != lastDay_) {
      lastDay_ = day;
      const int n = std::snprintf(lastDayText_, sizeof lastDayText_, "%04d-%02d-%02d", day.year(),
                                  day.month(), day.day());
      lastDayLength_ = n > 0 ? n : 0;
    }
    bytes_.append(lastDayText_, lastDayLength_);  // rows come in runs of one day
  }
  // A text of the table: `cell` is its cell, so a name, category or item (`repeats`) is known
  // again by its characters' place.
  void Text(const Value& cell, const QString& shown, bool repeats = true) {
    if (repeats && cell.IsText() && shown.size() <= 40) {
      const void* at = shown.constData();
      auto known = converted_.constFind(at);
      if (known == converted_.cend()) known = converted_.insert(at, Field(shown));
      bytes_ += *known;
    } else {
      AppendField(shown);
    }
  }
  void Number(const Value& value) {
    if (value.IsNumber()) {
      char digits[kMostFileNumberChars];
      bytes_.append(digits, static_cast<qsizetype>(FormatFileNumber(value.Number(), digits)));
    } else if (!value.IsEmpty()) {
      bytes_ += Field(CellText(value));
    }
  }
  void Raw(const char* text) { bytes_ += text; }
  QByteArray Take() { return std::move(bytes_); }

 private:
  static QByteArray Field(const QString& text) {
    QByteArray utf8 = QuotedField(GuardedFromFormulas(text)).toUtf8();
    return utf8;
  }
  // A field encoded straight into the buffer; only a text with a double quote or a formula start
  // takes the general way.
  void AppendField(const QString& text) {
    if (text.contains(u'"') || GuardedFromFormulas(text).size() != text.size()) {
      bytes_ += Field(text);
      return;
    }
    const qsizetype at = bytes_.size();
    bytes_.resize(at + 2 + 3 * text.size());
    char* out = bytes_.data() + at;
    *out++ = '"';
    out = encoder_.appendToBuffer(out, text);
    *out++ = '"';
    bytes_.resize(out - bytes_.constData());
  }
  QByteArray bytes_;
  QStringEncoder encoder_{QStringEncoder::Utf8};
  QDate lastDay_;
  char lastDayText_[16] = {};
  int lastDayLength_ = 0;
  QHash<const void*, QByteArray> converted_;
};

}  // namespace

QByteArray SpreadsheetBytes(const EntryTable& entries, const ExportFilter& filter,
                            const QLocale& locale) {
  std::vector<OutRow> rows;
  rows.reserve(entries.rows.size());
  std::deque<QString> shown;
  for (int i = 1; i <= entries.Count(); ++i) {
    const EntryRow& entry = entries.Row(i);
    const QDate day = entry.Date().Date();
    if ((filter.from || filter.to) && !day.isValid()) continue;
    if ((filter.from && day < *filter.from) || (filter.to && day > *filter.to)) continue;
    const QString* person = ShownText(entry.Person(), locale, shown);
    if (filter.person && *person != *filter.person) continue;
    rows.push_back({day.isValid() ? day.toJulianDay() : std::numeric_limits<qint64>::min(), person,
                    ShownText(entry.Category(), locale, shown),
                    ShownText(entry.Item(), locale, shown), i});
  }
  std::stable_sort(rows.begin(), rows.end(), [](const OutRow& a, const OutRow& b) {
    if (a.day != b.day) return a.day < b.day;
    if (const int c = a.person->compare(*b.person)) return c < 0;
    if (const int c = a.category->compare(*b.category)) return c < 0;
    return a.item->compare(*b.item) < 0;
  });

  CsvOut out(static_cast<qsizetype>(rows.size()) * 112 + 64);
  out.Raw("\xEF\xBB\xBF");
  out.Raw(kSpreadsheetHeader.toLatin1().constData());
  out.Raw("\r\n");
  for (const OutRow& r : rows) {
    const EntryRow& entry = entries.Row(r.row);
    out.Day(entry.Date().Date());
    out.Raw(",");
    out.Text(entry.Person(), *r.person);
    out.Raw(",");
    out.Text(entry.Category(), *r.category);
    out.Raw(",");
    out.Text(entry.Item(), *r.item);
    out.Raw(",");
    out.Number(entry.Value());
    out.Raw(",");
    out.Text(entry.Description(), *ShownText(entry.Description(), locale, shown), false);
    out.Raw("\r\n");
  }
  return out.Take();
}
