// SPDX-License-Identifier: GPL-3.0-or-later
#include "exchange/spreadsheet_import.h"

#include <QLocale>
#include <QRegularExpression>
#include <QStringList>
#include <cmath>
#include <variant>

#include "exchange/spreadsheet_export.h"
#include "exchange/spreadsheet_text.h"
#include "format/number_format.h"
#include "store/category_captions.h"
#include "store/changes.h"
#include "store/cp1252.h"
#include "store/field_forms.h"

namespace {

// UTF-8 with or without a byte order mark, otherwise Windows-1252.
QString Decoded(const QByteArray& bytes) {
  if (!IsUtf8Text(bytes.constData(), bytes.size())) return DecodeCp1252(bytes);
  return QString::fromUtf8(bytes.startsWith("\xEF\xBB\xBF") ? bytes.mid(3) : bytes);
}

// One record of RFC 4180 text: fields separated by `separator`, a field in double quotes may hold
// separators, line breaks and doubled quotes. Blank lines between records are skipped.
class RecordSplitter {
 public:
  RecordSplitter(const QString& text, QChar separator) : text_(text), separator_(separator) {}

  // The fields of the next record, or nothing at the end.
  std::optional<QStringList> Next() {
    while (pos_ < text_.size() && IsLineEnd(text_[pos_])) SkipLineEnd();
    if (pos_ >= text_.size()) return std::nullopt;
    recordLine_ = line_;
    QStringList fields;
    for (;;) {
      fields << Field();
      if (pos_ >= text_.size()) break;
      if (text_[pos_] == separator_) {
        ++pos_;
        continue;
      }
      SkipLineEnd();
      break;
    }
    return fields;
  }
  int RecordLine() const { return recordLine_; }
  // Whether the last record held a quoted field that was never closed.
  bool OpenQuote() const { return openQuote_; }

 private:
  static bool IsLineEnd(QChar c) { return c == u'\r' || c == u'\n'; }
  void SkipLineEnd() {
    if (text_[pos_] == u'\r' && pos_ + 1 < text_.size() && text_[pos_ + 1] == u'\n') ++pos_;
    ++pos_;
    ++line_;
  }
  QString Field() {
    QString field;
    if (pos_ < text_.size() && text_[pos_] == u'"') {
      ++pos_;
      openQuote_ = true;
      while (pos_ < text_.size()) {
        const QChar c = text_[pos_];
        if (c == u'"') {
          if (pos_ + 1 < text_.size() && text_[pos_ + 1] == u'"') {
            field += u'"';
            pos_ += 2;
            continue;
          }
          ++pos_;
          openQuote_ = false;
          break;
        }
        if (c == u'\n' || (c == u'\r' && !(pos_ + 1 < text_.size() && text_[pos_ + 1] == u'\n')))
          ++line_;
        field += c;
        ++pos_;
      }
    }
    // Whatever stands after a closing quote, or an unquoted field, up to the separator.
    while (pos_ < text_.size() && text_[pos_] != separator_ && !IsLineEnd(text_[pos_])) {
      field += text_[pos_++];
    }
    return field;
  }

  const QString& text_;
  QChar separator_;
  qsizetype pos_ = 0;
  int line_ = 1;
  int recordLine_ = 1;
  bool openQuote_ = false;
};

const QStringList& HeaderNames() {
  static const QStringList kNames = kSpreadsheetHeader.split(u',');
  return kNames;
}

bool IsHeader(const QStringList& fields) {
  if (fields.size() < HeaderNames().size()) return false;
  for (qsizetype i = 0; i < fields.size(); ++i) {
    const QString name = fields[i].trimmed();
    if (i < HeaderNames().size() ? name.compare(HeaderNames()[i], Qt::CaseInsensitive) != 0
                                 : !name.isEmpty())
      return false;
  }
  return true;
}

// A value of a file with semicolons is read as German spreadsheets write it ("1.000,5"); one
// with a point and no comma, as a spreadsheet in another language writes it, is read with the
// point as decimal point unless it could be German grouping ("5.500"), which stays refused.
std::optional<double> ValueOf(const QString& text, bool decimalComma) {
  static const QLocale german(QLocale::German, QLocale::Germany);
  static const QRegularExpression kGrouping(QStringLiteral("^[-+]?[0-9]{1,3}(\\.[0-9]{3})+$"));
  std::optional<double> number =
      decimalComma ? ParseUserNumber(text, german) : NumberFromText(text);
  if (!number && decimalComma && !text.contains(u',') &&
      !kGrouping.match(text.trimmed()).hasMatch()) {
    number = NumberFromText(text);
  }
  if (!number || !std::isfinite(*number)) return std::nullopt;
  return number;
}

// The row's cells checked one by one: the reason of the first that does not fit, or the row.
std::variant<SpreadsheetRow, QString> CheckedRow(const QStringList& f, bool decimalComma) {
  SpreadsheetRow row;
  const std::optional<DayText> day = DayFromText(f[0]);
  if (!day)
    return QStringLiteral("„%1“ ist kein Tag (erwartet: 2026-12-05 oder 05.12.2026).").arg(f[0]);
  row.day = day->day;
  row.person = UnguardedFromFormulas(f[1]);
  row.category = UnguardedFromFormulas(f[2]);
  row.item = UnguardedFromFormulas(f[3]);
  row.description = UnguardedFromFormulas(f[5]);
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
  const std::pair<const char16_t*, const QString*> texts[] = {
      {u"Person", &row.person}, {u"Eintrag", &row.item}, {u"Beschreibung", &row.description}};
  for (const auto& [field, text] : texts) {
    if (auto refused = UnstorableText(QString::fromUtf16(field), *text)) return *refused;
  }
  const std::optional<double> value = ValueOf(f[4], decimalComma);
  if (!value) return QStringLiteral("Wert - keine Zahl");
  row.value = *value;
  return row;
}

}  // namespace

SpreadsheetRead ReadSpreadsheet(const QByteArray& bytes) {
  SpreadsheetRead out;
  const QString text = Decoded(bytes);
  // The separator is the one that splits the header row into the export's names.
  QChar separator;
  for (const QChar candidate : {QChar(u','), QChar(u';')}) {
    RecordSplitter header(text, candidate);
    const std::optional<QStringList> names = header.Next();
    if (names && IsHeader(*names)) {
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
  RecordSplitter records(text, separator);
  (void)records.Next();  // the header
  while (std::optional<QStringList> fields = records.Next()) {
    const int line = records.RecordLine();
    // A spreadsheet may end a row with empty cells of its own.
    while (fields->size() > HeaderNames().size() && fields->last().trimmed().isEmpty())
      fields->removeLast();
    if (records.OpenQuote()) {
      out.refused.push_back(
          {line, QStringLiteral("Ein Anführungszeichen wird nicht geschlossen.")});
      continue;
    }
    if (fields->size() != HeaderNames().size()) {
      out.refused.push_back(
          {line, QStringLiteral("Die Zeile hat %1 statt 6 Felder.").arg(fields->size())});
      continue;
    }
    auto checked = CheckedRow(*fields, decimalComma);
    if (auto* reason = std::get_if<QString>(&checked)) {
      out.refused.push_back({line, *reason});
    } else {
      SpreadsheetRow row = std::get<SpreadsheetRow>(std::move(checked));
      row.line = line;
      out.rows.push_back(std::move(row));
    }
  }
  return out;
}
