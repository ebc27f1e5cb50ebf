// SPDX-License-Identifier: GPL-3.0-or-later
#include "exchange/spreadsheet_import.h"

#include <QLocale>
#include <QRegularExpression>
#include <cmath>
#include <deque>
#include <unordered_map>
#include <variant>

#include "exchange/spreadsheet_export.h"
#include "exchange/spreadsheet_text.h"
#include "format/number_format.h"
#include "store/category_captions.h"
#include "store/changes.h"
#include "store/cp1252.h"
#include "store/field_forms.h"
#include "store/record_writer.h"

namespace {

// UTF-8 with or without a byte order mark, otherwise Windows-1252.
QString Decoded(const QByteArray& bytes) {
  if (!IsUtf8Text(bytes.constData(), bytes.size())) return DecodeCp1252(bytes);
  return QString::fromUtf8(bytes.startsWith("\xEF\xBB\xBF") ? bytes.mid(3) : bytes);
}

using Fields = std::vector<QStringView>;

// The records of RFC 4180 text: fields separated by `separator`, a field in double quotes may
// hold separators, line breaks and doubled quotes. Blank lines between records are skipped. A
// field is a view of the text itself unless it held doubled quotes or text after its closing
// quote; then it is a view of a copy kept until the next record.
class RecordSplitter {
 public:
  RecordSplitter(QStringView text, QChar separator)
      : at_(text.utf16()), end_(text.utf16() + text.size()), separator_(separator.unicode()) {}

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
  // Up to the separator or the line's end.
  const char16_t* Unquoted(const char16_t* p) const {
    while (p < end_ && *p != separator_ && !IsLineEnd(*p)) ++p;
    return p;
  }
  QStringView Field() {
    if (at_ >= end_ || *at_ != u'"') {
      const char16_t* begin = at_;
      at_ = Unquoted(at_);
      return QStringView(begin, at_);
    }
    const char16_t* begin = ++at_;
    QString* copy = nullptr;  // made at the first doubled quote
    const char16_t* run = begin;
    openQuote_ = true;
    while (at_ < end_) {
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

constexpr qsizetype kHeaderFields = 6;

bool IsHeader(const Fields& fields) {
  static const QStringList kNames = kSpreadsheetHeader.split(u',');
  if (fields.size() < kHeaderFields) return false;
  for (std::size_t i = 0; i < fields.size(); ++i) {
    const QStringView name = fields[i].trimmed();
    if (i < kHeaderFields ? name.compare(kNames[static_cast<qsizetype>(i)], Qt::CaseInsensitive) != 0
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
    std::optional<QChar> unstorable;
  };
  const Shared& Of(QStringView cell) {
    const QStringView text = UnguardedFromFormulas(cell);
    auto found = texts_.find(text);
    if (found != texts_.end()) return found->second;
    Shared shared{text.toString(), FirstCharFileCannotHold(text)};
    const QStringView key(shared.text);  // the characters stay where they are when moved
    return texts_.emplace(key, std::move(shared)).first->second;
  }

 private:
  std::unordered_map<QStringView, Shared, ViewHash> texts_;
};

// The row's cells checked one by one: the reason of the first that does not fit, or the row.
std::variant<SpreadsheetRow, QString> CheckedRow(const Fields& f, bool decimalComma,
                                                 SharedTexts& shared) {
  SpreadsheetRow row;
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
  if (person.unstorable) return *UnstorableText(QStringLiteral("Person"), row.person);
  if (item.unstorable) return *UnstorableText(QStringLiteral("Eintrag"), row.item);
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
  QChar separator;
  for (const QChar candidate : {QChar(u','), QChar(u';')}) {
    RecordSplitter header(text, candidate);
    if (header.Next(fields) && IsHeader(fields)) {
      separator = candidate;
      break;
    }
  }
  if (separator.isNull()) {
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
  out.rows.reserve(static_cast<std::size_t>(bytes.size() / 48));
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
      SpreadsheetRow& row = out.rows.emplace_back(std::get<SpreadsheetRow>(std::move(checked)));
      row.line = line;
    }
  }
  return out;
}
