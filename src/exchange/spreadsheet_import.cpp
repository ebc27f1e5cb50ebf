// SPDX-License-Identifier: GPL-3.0-or-later
#include "exchange/spreadsheet_import.h"

#include <QLocale>
#include <QRegularExpression>
#include <cmath>
#include <deque>
#include <string_view>
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

using Fields = std::vector<QByteArrayView>;

// The records of RFC 4180 text: fields separated by `separator`, a field in double quotes may
// hold separators, line breaks and doubled quotes. Blank lines between records are skipped. The
// text is split as bytes, which is sound for UTF-8 and Windows-1252 alike: the separators,
// quotes and line ends are single bytes of ASCII in both and never part of another character.
// A field is a view of the bytes themselves unless it held doubled quotes or bytes after its
// closing quote; then it is a view of a copy kept until the next record.
class RecordSplitter {
 public:
  RecordSplitter(QByteArrayView text, char separator)
      : at_(text.data()), end_(text.data() + text.size()), separator_(separator) {}

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
  static bool IsLineEnd(char c) { return c == '\r' || c == '\n'; }
  void SkipLineEnd() {
    if (*at_ == '\r' && at_ + 1 < end_ && at_[1] == '\n') ++at_;
    ++at_;
    ++line_;
  }
  // The first of the three bytes from `p` on, or the end; sixteen bytes at a time.
  const char* FirstOf(const char* p, char a, char b, char c) const {
#if defined(__SSE2__)
    const __m128i va = _mm_set1_epi8(a), vb = _mm_set1_epi8(b), vc = _mm_set1_epi8(c);
    for (; end_ - p >= 16; p += 16) {
      const __m128i chunk = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
      const __m128i hits =
          _mm_or_si128(_mm_cmpeq_epi8(chunk, va),
                       _mm_or_si128(_mm_cmpeq_epi8(chunk, vb), _mm_cmpeq_epi8(chunk, vc)));
      if (const int mask = _mm_movemask_epi8(hits)) return p + __builtin_ctz(unsigned(mask));
    }
#endif
    while (p < end_ && *p != a && *p != b && *p != c) ++p;
    return p;
  }
  // Up to the separator or the line's end.
  const char* Unquoted(const char* p) const {
    return FirstOf(p, separator_, '\r', '\n');
  }
  QByteArrayView Field() {
    if (at_ >= end_ || *at_ != '"') {
      const char* begin = at_;
      at_ = Unquoted(at_);
      return QByteArrayView(begin, at_);
    }
    const char* run = ++at_;
    QByteArray* copy = nullptr;  // made at the first doubled quote
    openQuote_ = true;
    while ((at_ = FirstOf(at_, '"', '\r', '\n')) < end_) {
      const char c = *at_;
      if (c == '"') {
        if (at_ + 1 < end_ && at_[1] == '"') {
          if (!copy) copy = &copies_.emplace_back();
          copy->append(QByteArrayView(run, at_ + 1));
          at_ += 2;
          run = at_;
          continue;
        }
        openQuote_ = false;
        break;
      }
      if (c == '\n' || (c == '\r' && !(at_ + 1 < end_ && at_[1] == '\n'))) ++line_;
      ++at_;
    }
    const QByteArrayView last(run, at_);
    if (at_ < end_) ++at_;  // the closing quote
    // Whatever stands after a closing quote belongs to the field too.
    const char* after = at_;
    at_ = Unquoted(at_);
    if (!copy && after == at_) return last;
    if (!copy) copy = &copies_.emplace_back();
    copy->append(last);
    copy->append(QByteArrayView(after, at_));
    return *copy;
  }

  const char* at_;
  const char* end_;
  char separator_;
  int line_ = 1;
  int recordLine_ = 1;
  bool openQuote_ = false;
  std::deque<QByteArray> copies_;
};

constexpr std::size_t kHeaderFields = 6;

// The characters of a field, as UTF-8 or as Windows-1252.
class FieldText {
 public:
  explicit FieldText(bool utf8) : utf8_(utf8) {}
  QString Of(QByteArrayView field) const {
    return utf8_ ? QString::fromUtf8(field) : DecodeCp1252(field.data(), field.size());
  }
  // A short field of ASCII (a day, a value) in `room`, without making a string; any other
  // field as a string kept in `kept`.
  QStringView Short(QByteArrayView field, char16_t (&room)[40], QString& kept) const {
    if (field.size() <= qsizetype(std::size(room))) {
      bool ascii = true;
      for (qsizetype i = 0; i < field.size(); ++i) {
        const auto c = static_cast<unsigned char>(field[i]);
        ascii = ascii && c < 0x80;
        room[i] = c;
      }
      if (ascii) return QStringView(room, field.size());
    }
    kept = Of(field);
    return kept;
  }

 private:
  bool utf8_;
};

bool IsHeader(const Fields& fields) {
  static const QList<QByteArray> kNames = kSpreadsheetHeader.toLatin1().split(',');
  if (fields.size() < kHeaderFields) return false;
  for (std::size_t i = 0; i < fields.size(); ++i) {
    const QByteArrayView name = fields[i].trimmed();
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

// The texts of names, categories and items, which repeat from row to row, each decoded once and
// shared by every row that holds it, with whether the files can hold it.
class SharedTexts {
 public:
  struct Shared {
    QByteArray bytes;  // what the key views
    QString text;
    bool storable = true;
  };
  explicit SharedTexts(const FieldText& decode) : decode_(decode) {}
  const Shared& Of(QByteArrayView cell) {
    const std::string_view bytes(cell.data(), std::size_t(cell.size()));
    auto found = texts_.find(bytes);
    if (found != texts_.end()) return found->second;
    Shared shared;
    shared.bytes = cell.toByteArray();
    shared.text = UnguardedFromFormulas(decode_.Of(cell)).toString();
    shared.storable = !FirstCharFileCannotHold(shared.text);
    // The bytes stay where they are when the entry is moved into the map.
    const std::string_view key(shared.bytes.constData(), std::size_t(shared.bytes.size()));
    return texts_.emplace(key, std::move(shared)).first->second;
  }

 private:
  const FieldText& decode_;
  std::unordered_map<std::string_view, Shared> texts_;
};

// The row's cells checked one by one: the reason of the first that does not fit, or the row.
std::variant<ImportedEntry, QString> CheckedRow(const Fields& f, bool decimalComma,
                                                const FieldText& decode, SharedTexts& shared) {
  ImportedEntry row;
  char16_t room[40];
  QString kept;
  const QStringView dayText = decode.Short(f[0], room, kept);
  const std::optional<DayText> day = DayFromText(dayText);
  if (!day) {
    return QStringLiteral("„%1“ ist kein Tag (erwartet: 2026-12-05 oder 05.12.2026).")
        .arg(dayText.toString());
  }
  row.day = day->day;
  const SharedTexts::Shared& person = shared.Of(f[1]);
  const SharedTexts::Shared& category = shared.Of(f[2]);
  const SharedTexts::Shared& item = shared.Of(f[3]);
  row.person = person.text;
  row.category = category.text;
  row.item = item.text;
  row.description = decode.Of(f[5]);
  if (const QStringView unguarded = UnguardedFromFormulas(row.description);
      unguarded.size() != row.description.size()) {
    row.description = unguarded.toString();
  }
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
  const std::optional<double> value = ValueOf(decode.Short(f[4], room, kept), decimalComma);
  if (!value) return QStringLiteral("Wert - keine Zahl");
  row.value = *value;
  return row;
}

}  // namespace

SpreadsheetRead ReadSpreadsheet(const QByteArray& bytes) {
  SpreadsheetRead out;
  // UTF-8 with or without a byte order mark, otherwise Windows-1252.
  const bool utf8 = IsUtf8Text(bytes.constData(), bytes.size());
  QByteArrayView text(bytes);
  if (utf8 && text.startsWith("\xEF\xBB\xBF")) text = text.sliced(3);
  const FieldText decode(utf8);
  Fields fields;
  fields.reserve(8);
  // The separator is the one that splits the header row into the export's names.
  char separator = 0;
  for (const char candidate : {',', ';'}) {
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
  const bool decimalComma = separator == ';';
  SharedTexts shared(decode);
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
    auto checked = CheckedRow(fields, decimalComma, decode, shared);
    if (auto* reason = std::get_if<QString>(&checked)) {
      out.refused.push_back({line, *reason});
    } else {
      out.rows.push_back(std::get<ImportedEntry>(std::move(checked)));
      out.lines.push_back(line);
    }
  }
  return out;
}
