// SPDX-License-Identifier: GPL-3.0-or-later
#include "exchange/spreadsheet_import.h"

#include <QLocale>
#include <QRegularExpression>
#include <QStringDecoder>
#include <cmath>
#include <deque>
#include <unordered_map>
#include <variant>
#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "exchange/spreadsheet_export.h"
#include "exchange/spreadsheet_text.h"
#include "format/number_format.h"
#include "store/category_captions.h"
#include "store/changes.h"
#include "store/cp1252.h"
#include "store/field_forms.h"
#include "store/record_writer.h"

namespace {

// The text of the file: UTF-8 with or without a byte order mark, otherwise Windows-1252. One
// decoding tells both: bytes that are no UTF-8 are read again as Windows-1252 (a text of ASCII
// only reads alike either way).
QString Decoded(const QByteArray& bytes) {
  QStringDecoder utf8(QStringDecoder::Utf8);  // takes a byte order mark away
  QString text = utf8(bytes);
  if (!utf8.hasError() || bytes.startsWith("\xEF\xBB\xBF")) return text;
  return DecodeCp1252(bytes);
}

using Fields = std::vector<QStringView>;

// The records of RFC 4180 text: fields separated by `separator`, a field in double quotes may
// hold separators, line breaks and doubled quotes. Blank lines between records are skipped. A
// field is a view of the text itself unless it held doubled quotes or text after its closing
// quote; then it is a view of a copy kept until the next record.
class RecordSplitter {
 public:
  RecordSplitter(QStringView text, char16_t separator)
      : at_(text.utf16()), end_(text.utf16() + text.size()), separator_(separator) {}

  // The fields of the next record into `fields`; false at the end.
  bool Next(Fields& fields) {
    fields.clear();
    copies_.clear();
    while (at_ < end_ && IsLineEnd(*at_)) SkipLineEnd();
    if (at_ >= end_) return false;
    recordLine_ = line_;
    openQuote_ = false;
    for (;;) {
      fields.push_back(Field());
      if (at_ >= end_) break;
      if (*at_ == separator_) {
        ++at_;
        continue;
      }
      SkipLineEnd();
      break;
    }
    return true;
  }
  int RecordLine() const { return recordLine_; }
  // Whether the last record held a quoted field that was never closed.
  bool OpenQuote() const { return openQuote_; }

 private:
  static bool IsLineEnd(char16_t c) { return c == u'\r' || c == u'\n'; }
  void SkipLineEnd() {
    if (*at_ == u'\r' && at_ + 1 < end_ && at_[1] == u'\n') ++at_;
    ++at_;
    ++line_;
  }
  // The first of the three characters from `p` on, or the end; eight at a time.
  const char16_t* FirstOf(const char16_t* p, char16_t a, char16_t b, char16_t c) const {
#if defined(__SSE2__)
    const __m128i va = _mm_set1_epi16(short(a)), vb = _mm_set1_epi16(short(b)),
                  vc = _mm_set1_epi16(short(c));
    for (; end_ - p >= 8; p += 8) {
      const __m128i chunk = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
      const __m128i hits =
          _mm_or_si128(_mm_cmpeq_epi16(chunk, va),
                       _mm_or_si128(_mm_cmpeq_epi16(chunk, vb), _mm_cmpeq_epi16(chunk, vc)));
      if (const int mask = _mm_movemask_epi8(hits)) return p + __builtin_ctz(unsigned(mask)) / 2;
    }
#endif
    while (p < end_ && *p != a && *p != b && *p != c) ++p;
    return p;
  }
  // Up to the separator or the line's end.
  const char16_t* Unquoted(const char16_t* p) const {
    return FirstOf(p, separator_, u'\r', u'\n');
  }
  QStringView Field() {
    if (at_ >= end_ || *at_ != u'"') {
      const char16_t* begin = at_;
      at_ = Unquoted(at_);
      return QStringView(begin, at_);
    }
    const char16_t* run = ++at_;
    QString* copy = nullptr;  // made at the first doubled quote
    openQuote_ = true;
    while ((at_ = FirstOf(at_, u'"', u'\r', u'\n')) < end_) {
      const char16_t c = *at_;
      if (c == u'"') {
        if (at_ + 1 < end_ && at_[1] == u'"') {
          if (!copy) copy = &copies_.emplace_back();
          copy->append(QStringView(run, at_ + 1));
          at_ += 2;
          run = at_;
          continue;
        }
        openQuote_ = false;
        break;
      }
      if (c == u'\n' || (c == u'\r' && !(at_ + 1 < end_ && at_[1] == u'\n'))) ++line_;
      ++at_;
    }
    const QStringView last(run, at_);
    if (at_ < end_) ++at_;  // the closing quote
    // Whatever stands after a closing quote belongs to the field too.
    const char16_t* after = at_;
    at_ = Unquoted(at_);
    if (!copy && after == at_) return last;
    if (!copy) copy = &copies_.emplace_back();
    copy->append(last);
    copy->append(QStringView(after, at_));
    return *copy;
  }

  const char16_t* at_;
  const char16_t* end_;
  char16_t separator_;
  int line_ = 1;
  int recordLine_ = 1;
  bool openQuote_ = false;
  std::deque<QString> copies_;
};

constexpr std::size_t kHeaderFields = 6;

bool IsHeader(const Fields& fields) {
  static const QStringList kNames = kSpreadsheetHeader.split(u',');
  if (fields.size() < kHeaderFields) return false;
  for (std::size_t i = 0; i < fields.size(); ++i) {
    const QStringView name = fields[i].trimmed();
    if (i < kHeaderFields
            ? name.compare(kNames[static_cast<qsizetype>(i)], Qt::CaseInsensitive) != 0
            : !name.isEmpty())
      return false;
  }
  return true;
}

// A value of a file with semicolons is read as German spreadsheets write it ("1.000,5"); one
// with a point and no comma, as a spreadsheet in another language writes it, is read with the
// point as decimal point unless it could be German grouping ("5.500"), which stays refused.
std::optional<double> ValueOf(QStringView text, bool decimalComma) {
  static const QLocale german(QLocale::German, QLocale::Germany);
  static const QRegularExpression kGrouping(QStringLiteral("^[-+]?[0-9]{1,3}(\\.[0-9]{3})+$"));
  std::optional<double> number =
      decimalComma ? ParseUserNumber(text.toString(), german) : NumberFromText(text);
  if (!number && decimalComma && !text.contains(u',') &&
      !kGrouping.match(text.trimmed().toString()).hasMatch()) {
    number = NumberFromText(text);
  }
  if (!number || !std::isfinite(*number)) return std::nullopt;
  return number;
}

struct ViewHash {
  std::size_t operator()(QStringView v) const noexcept { return qHash(v); }
};

// The texts of names, categories and items, which repeat from row to row, each made once and
// shared by every row that holds it, with whether the files can hold it.
class SharedTexts {
 public:
  struct Shared {
    QString text;
    bool storable = true;
  };
  const Shared& Of(QStringView cell) {
    const QStringView text = UnguardedFromFormulas(cell);
    auto found = texts_.find(text);
    if (found != texts_.end()) return found->second;
    Shared shared{text.toString(), !FirstCharFileCannotHold(text)};
    const QStringView key(shared.text);  // the characters stay where they are when moved
    return texts_.emplace(key, std::move(shared)).first->second;
  }

 private:
  std::unordered_map<QStringView, Shared, ViewHash> texts_;
};

// The row's cells checked one by one: the reason of the first that does not fit, or the row.
std::variant<ImportedEntry, QString> CheckedRow(const Fields& f, bool decimalComma,
                                                SharedTexts& shared) {
  ImportedEntry row;
  const std::optional<DayText> day = DayFromText(f[0]);
  if (!day) {
    return QStringLiteral("„%1“ ist kein Tag (erwartet: 2026-12-05 oder 05.12.2026).")
        .arg(f[0].toString());
  }
  row.day = day->day;
  const SharedTexts::Shared& person = shared.Of(f[1]);
  const SharedTexts::Shared& category = shared.Of(f[2]);
  const SharedTexts::Shared& item = shared.Of(f[3]);
  row.person = person.text;
  row.category = category.text;
  row.item = item.text;
  row.description = UnguardedFromFormulas(f[5]).toString();
  if (row.person.isEmpty()) return QStringLiteral("keine Personen-Zuordnung");
  if (!IsCategoryCaption(row.category)) {
    return QStringLiteral(
               "„%1“ ist keine der sieben Kategorien (Allgemein, persönliches, "
               "Essen/Trinken, Sport, Aktivitäten, Rezepte, Ausgaben).")
        .arg(row.category);
  }
  if (row.item.isEmpty()) return QStringLiteral("Der Eintrag (die Auswahl) fehlt.");
  if (row.item.startsWith(kComboStartText)) {
    return QStringLiteral("Ein Eintrag, der mit „%1“ beginnt, wird nicht gespeichert.")
        .arg(kComboStartText);
  }
  if (!person.storable) return *UnstorableText(QStringLiteral("Person"), row.person);
  if (!item.storable) return *UnstorableText(QStringLiteral("Eintrag"), row.item);
  if (FirstCharFileCannotHold(row.description))
    return *UnstorableText(QStringLiteral("Beschreibung"), row.description);
  const std::optional<double> value = ValueOf(f[4], decimalComma);
  if (!value) return QStringLiteral("Wert - keine Zahl");
  row.value = *value;
  return row;
}

}  // namespace

SpreadsheetRead ReadSpreadsheet(const QByteArray& bytes) {
  SpreadsheetRead out;
  const QString text = Decoded(bytes);
  Fields fields;
  fields.reserve(8);
  // The separator is the one that splits the header row into the export's names.
  char16_t separator = 0;
  for (const char16_t candidate : {u',', u';'}) {
    RecordSplitter header(text, candidate);
    if (header.Next(fields) && IsHeader(fields)) {
      separator = candidate;
      break;
    }
  }
  if (separator == 0) {
    out.failure = QStringLiteral(
        "Die erste Zeile ist nicht die Kopfzeile einer Lumivera-Ausfuhr "
        "(Datum,Person,Kategorie,Eintrag,Wert,Beschreibung; in deutschen Tabellen auch mit "
        "Semikolon).");
    return out;
  }
  const bool decimalComma = separator == u';';
  SharedTexts shared;
  RecordSplitter records(text, separator);
  (void)records.Next(fields);  // the header
  out.rows.reserve(static_cast<std::size_t>(text.size() / 64));
  out.lines.reserve(out.rows.capacity());
  while (records.Next(fields)) {
    const int line = records.RecordLine();
    // A spreadsheet may end a row with empty cells of its own.
    while (fields.size() > kHeaderFields && fields.back().trimmed().isEmpty()) fields.pop_back();
    if (records.OpenQuote()) {
      out.refused.push_back(
          {line, QStringLiteral("Ein Anführungszeichen wird nicht geschlossen.")});
      continue;
    }
    if (fields.size() != kHeaderFields) {
      out.refused.push_back(
          {line, QStringLiteral("Die Zeile hat %1 statt 6 Felder.").arg(fields.size())});
      continue;
    }
    auto checked = CheckedRow(fields, decimalComma, shared);
    if (auto* reason = std::get_if<QString>(&checked)) {
      out.refused.push_back({line, *reason});
    } else {
      out.rows.push_back(std::get<ImportedEntry>(std::move(checked)));
      out.lines.push_back(line);
    }
  }
  return out;
}
