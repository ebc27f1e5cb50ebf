// SPDX-License-Identifier: GPL-3.0-or-later
#include "exchange/spreadsheet_export.h"

#include <QDir>
#include <QFileInfo>
#include <QStringEncoder>
#include <algorithm>
#include <cstdio>
#include <cstring>
#include <deque>
#include <limits>
#include <unordered_map>
#include <vector>

#include "exchange/spreadsheet_text.h"
#include "store/cell_text.h"
#include "store/data_files.h"
#include "store/file_number.h"
#include "store/load_report.h"
#include "store/whole_file.h"

namespace {

// The texts rows are sorted by and written with: a name, category or item is most often one of
// a few texts that the table's rows share, so each is known by where its characters are, ranked
// by its characters once and converted once.
class TextPool {
 public:
  // The place of the text in the pool.
  int Add(const QString* text) {
    const auto [at, added] =
        places_.try_emplace({text->constData(), text->size()}, int(texts_.size()));
    if (added) texts_.push_back(text);
    return at->second;
  }
  // Ranks in the order of the texts' characters; equal texts have equal ranks.
  std::vector<int> Ranks() const {
    std::vector<int> order(texts_.size());
    for (std::size_t i = 0; i < order.size(); ++i) order[i] = int(i);
    std::sort(order.begin(), order.end(),
              [this](int a, int b) { return texts_[a]->compare(*texts_[b]) < 0; });
    std::vector<int> rank(texts_.size());
    int next = 0;
    for (std::size_t i = 0; i < order.size(); ++i) {
      if (i > 0 && *texts_[order[i]] != *texts_[order[i - 1]]) ++next;
      rank[order[i]] = next;
    }
    return rank;
  }
  const QString& Text(int place) const { return *texts_[place]; }
  std::size_t Size() const { return texts_.size(); }

 private:
  struct Hash {
    std::size_t operator()(const std::pair<const void*, qsizetype>& at) const noexcept {
      return std::hash<const void*>()(at.first) ^ std::size_t(at.second);
    }
  };
  std::unordered_map<std::pair<const void*, qsizetype>, int, Hash> places_;
  std::vector<const QString*> texts_;
};

// A row as it goes out: its day (a Julian day number, invalid days first), the places of its
// person, category and item in the pool, and its place in the table.
struct OutRow {
  qint64 day;
  int person, category, item;
  int row;
};

// The text a cell shows: a Text's own characters, else its notation, kept in `shown`.
const QString* ShownText(const Value& cell, const QLocale& locale, std::deque<QString>& shown) {
  if (cell.IsText()) return &cell.Text();
  return &shown.emplace_back(CellText(cell, locale));
}

// A field as it goes out: quoted, and guarded from being taken for a formula.
QByteArray Field(const QString& text) {
  return QuotedField(GuardedFromFormulas(text)).toUtf8();
}

// The bytes of the file, written into one buffer that grows as needed.
class CsvOut {
 public:
  explicit CsvOut(qsizetype reserve) { bytes_.resize(reserve); }

  void Raw(QByteArrayView bytes) {
    std::memcpy(Room(bytes.size()), bytes.data(), std::size_t(bytes.size()));
    size_ += bytes.size();
  }
  void Char(char c) {
    *Room(1) = c;
    ++size_;
  }
  void Day(QDate day) {
    if (!day.isValid()) return;
    if (day != lastDay_) {
      lastDay_ = day;
      const int n = std::snprintf(lastDayText_, sizeof lastDayText_, "%04d-%02d-%02d", day.year(),
                                  day.month(), day.day());
      lastDayLength_ = n > 0 ? n : 0;
    }
    Raw(QByteArrayView(lastDayText_, lastDayLength_));  // rows come in runs of one day
  }
  void Number(const Value& value) {
    if (value.IsNumber()) {
      size_ += qsizetype(FormatFileNumber(value.Number(), Room(kMostFileNumberChars)));
    } else if (!value.IsEmpty()) {
      Raw(Field(CellText(value)));
    }
  }
  // A text encoded straight into the buffer; only a text with a double quote or a formula start
  // takes the general way.
  void Text(const QString& text) {
    if (text.contains(u'"') || GuardedFromFormulas(text).size() != text.size()) {
      Raw(Field(text));
      return;
    }
    char* out = Room(2 + 3 * text.size());
    char* const begin = out;
    *out++ = '"';
    out = encoder_.appendToBuffer(out, text);
    *out++ = '"';
    size_ += out - begin;
  }
  QByteArray Take() {
    bytes_.truncate(size_);
    return std::move(bytes_);
  }

 private:
  char* Room(qsizetype bytes) {
    if (size_ + bytes > bytes_.size()) bytes_.resize(std::max(size_ + bytes, 2 * bytes_.size()));
    return bytes_.data() + size_;
  }
  QByteArray bytes_;
  qsizetype size_ = 0;
  QStringEncoder encoder_{QStringEncoder::Utf8};
  QDate lastDay_;
  char lastDayText_[16] = {};
  int lastDayLength_ = 0;
};

}  // namespace

QByteArray SpreadsheetBytes(const EntryTable& entries, const ExportFilter& filter,
                            const QLocale& locale) {
  std::vector<OutRow> rows;
  rows.reserve(entries.rows.size());
  std::deque<QString> shown;
  TextPool pool;
  for (int i = 1; i <= entries.Count(); ++i) {
    const EntryRow& entry = entries.Row(i);
    const QDate day = entry.Date().Date();
    if ((filter.from || filter.to) && !day.isValid()) continue;
    if ((filter.from && day < *filter.from) || (filter.to && day > *filter.to)) continue;
    const QString* person = ShownText(entry.Person(), locale, shown);
    if (filter.person && *person != *filter.person) continue;
    rows.push_back({day.isValid() ? day.toJulianDay() : std::numeric_limits<qint64>::min(),
                    pool.Add(person), pool.Add(ShownText(entry.Category(), locale, shown)),
                    pool.Add(ShownText(entry.Item(), locale, shown)), i});
  }
  const std::vector<int> rank = pool.Ranks();
  std::sort(rows.begin(), rows.end(), [&rank](const OutRow& a, const OutRow& b) {
    if (a.day != b.day) return a.day < b.day;
    if (a.person != b.person && rank[a.person] != rank[b.person])
      return rank[a.person] < rank[b.person];
    if (a.category != b.category && rank[a.category] != rank[b.category])
      return rank[a.category] < rank[b.category];
    if (a.item != b.item && rank[a.item] != rank[b.item]) return rank[a.item] < rank[b.item];
    return a.row < b.row;
  });

  // Each text of the pool converted once.
  std::vector<QByteArray> fields(pool.Size());
  for (std::size_t i = 0; i < fields.size(); ++i) fields[i] = Field(pool.Text(int(i)));

  CsvOut out(static_cast<qsizetype>(rows.size()) * 112 + 64);
  out.Raw("\xEF\xBB\xBF");
  out.Raw(kSpreadsheetHeader.toLatin1());
  out.Raw("\r\n");
  // The rows go out in another order than the table holds them: each row, and then its
  // description's characters, is fetched into the cache a few rows before it is written.
  constexpr std::size_t kRowsAhead = 16, kTextsAhead = 8;
  for (std::size_t k = 0; k < rows.size(); ++k) {
    if (k + kRowsAhead < rows.size()) {
      const char* row = reinterpret_cast<const char*>(&entries.Row(rows[k + kRowsAhead].row));
      for (std::size_t line = 0; line < sizeof(EntryRow); line += 64)
        __builtin_prefetch(row + line);
    }
    if (k + kTextsAhead < rows.size()) {
      const Value& description = entries.Row(rows[k + kTextsAhead].row).Description();
      if (description.IsText()) __builtin_prefetch(description.Text().constData());
    }
    const OutRow& r = rows[k];
    const EntryRow& entry = entries.Row(r.row);
    out.Day(entry.Date().Date());
    out.Char(',');
    out.Raw(fields[std::size_t(r.person)]);
    out.Char(',');
    out.Raw(fields[std::size_t(r.category)]);
    out.Char(',');
    out.Raw(fields[std::size_t(r.item)]);
    out.Char(',');
    out.Number(entry.Value());
    out.Char(',');
    out.Text(*ShownText(entry.Description(), locale, shown));
    out.Raw("\r\n");
  }
  return out.Take();
}

EntriesForExport ReadEntriesForExport(const QString& folder) {
  EntriesForExport out;
  const QString path = QDir(folder).filePath(FileName(DataFile::Entries));
  if (!QFileInfo::exists(path)) return out;
  QString reason;
  const std::optional<QByteArray> bytes =
      ReadWholeFile(path, LargestFileBytes(DataFile::Entries), &reason);
  if (!bytes) {
    out.unreadable = true;
    out.problem = QStringLiteral("Die Datei %1 kann nicht gelesen werden (%2).")
                      .arg(QuotedFileName(DataFile::Entries), reason);
    return out;
  }
  // Nothing is changed, so nothing of the file needs keeping.
  out.problem = ParseTableBytes(*bytes, out.entries).Message(DataFile::Entries, QString());
  return out;
}
