// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <QLocale>
#include <random>
#include <tuple>

#include "entries.h"
#include "exchange/spreadsheet_export.h"
#include "exchange/spreadsheet_import.h"
#include "store/category_captions.h"

namespace {

QString Utf8(const char* text) {
  return QString::fromUtf8(text);
}

// Texts a spreadsheet could misread: separators of both kinds, umlauts, the euro sign, blanks at
// either end, formula starts (behind apostrophes too), quotes.
const char* const kTexts[] = {"Joggen",     "am See, 3 km", "a;b",     "Fußball ä ö ü",
                              "5 €",        " Blank vorn",  "hinten ", "=SUMME(A1)",
                              "+49 170",    "-5",           "@Anna",   "'=A1",
                              "''",         "'Apostroph",   "123",     "[Beschreibung]",
                              "Größe „XL“", "2026-12-05",   "",        "\t-Tab"};

}  // namespace

// Random tables go out and come back in: every row, in the export's order, with every text and
// value unchanged.
TEST(Spreadsheet, RandomTablesComeBackAsTheyWent) {
  QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
  std::mt19937 rng(5);
  const auto pick = [&](auto& list) { return list[rng() % std::size(list)]; };
  for (int round = 0; round < 40; ++round) {
    EntryTable table;
    const int n = static_cast<int>(rng() % 30);
    for (int i = 0; i < n; ++i) {
      const char* person = pick(kTexts);
      const char* item = pick(kTexts);
      EntryRow row = MakeEntry(
          QDate(2026, 1, 1).addDays(static_cast<int>(rng() % 400)), *person ? person : "Haushalt",
          QString::fromUtf16(pick(kCategoryCaptions)), *item ? item : "Joggen",
          static_cast<double>(static_cast<int>(rng() % 20001) - 10000) / (rng() % 2 ? 100 : 3));
      row.Description() = Value(Utf8(pick(kTexts)));
      table.Append(std::move(row));
    }
    const QByteArray bytes = SpreadsheetBytes(table, {});
    ASSERT_TRUE(
        bytes.startsWith("\xEF\xBB\xBF"
                         "Datum,Person,Kategorie,Eintrag,Wert,"
                         "Beschreibung\r\n"));
    const SpreadsheetRead back = ReadSpreadsheet(bytes);
    ASSERT_FALSE(back.failure);
    ASSERT_TRUE(back.refused.empty()) << back.refused.front().reason.toStdString();
    ASSERT_EQ(back.rows.size(), table.rows.size());
    // By day, then person, category and item, each by its characters.
    const auto key = [](const ImportedEntry& r) {
      return std::tuple(r.day.toJulianDay(), r.person.toStdU16String(), r.category.toStdU16String(),
                        r.item.toStdU16String());
    };
    for (std::size_t i = 1; i < back.rows.size(); ++i)
      EXPECT_LE(key(back.rows[i - 1]), key(back.rows[i]));
    for (const ImportedEntry& row : back.rows) {
      bool found = false;
      for (const EntryRow& e : table.rows) {
        found =
            found || (e.Date().Date() == row.day && e.Person().Text() == row.person &&
                      e.Category().Text() == row.category && e.Item().Text() == row.item &&
                      e.Value().Number() == row.value && e.Description().Text() == row.description);
      }
      EXPECT_TRUE(found) << row.person.toStdString() << '|' << row.item.toStdString() << '|'
                         << row.description.toStdString();
    }
  }
}

// What a spreadsheet saves after editing, in both separator styles, and the rows it refuses,
// each with its line.
TEST(Spreadsheet, RowsAreReadInBothStylesAndRefusedWithTheirLine) {
  const QByteArray german =
      "Datum;Person;Kategorie;Eintrag;Wert;Beschreibung\r\n"
      "05.12.2026;Haushalt;Sport;Joggen;1.000,5;\"Lauf; am See\"\r\n"
      "2026-12-06;Haushalt;Ausgaben;Einkauf;-3,25;;\r\n"
      "2026-12-07;Haushalt;Sport;Joggen;5.5;Punkt\r\n";
  const SpreadsheetRead read = ReadSpreadsheet(german);
  ASSERT_TRUE(read.refused.empty());
  ASSERT_EQ(read.rows.size(), 3u);
  EXPECT_EQ(read.rows[2].value, 5.5);  // a point that cannot be German grouping
  EXPECT_FALSE(ReadSpreadsheet("Datum;Person;Kategorie;Eintrag;Wert;Beschreibung\r\n"
                               "2026-12-07;Haushalt;Sport;Joggen;5.500;x\r\n")
                   .refused.empty());
  EXPECT_EQ(read.rows[0].day, QDate(2026, 12, 5));
  EXPECT_EQ(read.rows[0].value, 1000.5);
  EXPECT_EQ(read.rows[0].description, "Lauf; am See");
  EXPECT_EQ(read.rows[1].value, -3.25);
  EXPECT_EQ(read.lines[1], 3);

  struct Case {
    const char* row;
    const char* reason;
  };
  const Case cases[] = {
      {"2026-13-01,Haushalt,Sport,Joggen,1,x", "kein Tag"},
      {"2026-12-01,,Sport,Joggen,1,x", "keine Personen-Zuordnung"},
      {"2026-12-01,Haushalt,Entwicklung,Joggen,1,x", "keine der sieben Kategorien"},
      {"2026-12-01,Haushalt,sport,Joggen,1,x", "keine der sieben Kategorien"},
      {"2026-12-01,Haushalt,Sport,,1,x", "fehlt"},
      {"2026-12-01,Haushalt,Sport,Combo1,1,x", "Combo"},
      {"2026-12-01,Haushalt,Sport,Joggen,abc,x", "Wert - keine Zahl"},
      {"2026-12-01,Haushalt,Sport,Joggen,1e999,x", "Wert - keine Zahl"},
      {"2026-12-01,Haushalt,Sport,Joggen,1,\"sagt \"\"hi\"\"\"", "Zeichen „\"“"},
      {"2026-12-01,Haushalt,Sport,Joggen,1,\"zwei\r\nZeilen\"", "Zeilenumbruch"},
      {"2026-12-01,Haushalt,Sport,Joggen,1,Ωmega", "U+03A9"},
      {"2026-12-01,Haushalt,Sport,Joggen,1", "5 statt 6 Felder"},
      {"2026-12-01,Haushalt,Sport,Joggen,1,\"offen", "nicht geschlossen"},
  };
  QByteArray file = "Datum,Person,Kategorie,Eintrag,Wert,Beschreibung\r\n";
  for (const Case& c : cases)
    file += QByteArray(c.row) + "\r\n2026-12-01,Haushalt,Sport,Joggen,1,x\r\n";
  const SpreadsheetRead refused = ReadSpreadsheet(file);
  ASSERT_EQ(refused.refused.size(), std::size(cases));
  int line = 2;
  for (std::size_t k = 0; k < std::size(cases); ++k) {
    SCOPED_TRACE(cases[k].row);
    EXPECT_EQ(refused.refused[k].line, line);
    EXPECT_TRUE(refused.refused[k].reason.contains(Utf8(cases[k].reason)))
        << refused.refused[k].reason.toStdString();
    line += QByteArray(cases[k].row).count('\n') + 2;
  }
  EXPECT_TRUE(ReadSpreadsheet("Tag,Wer\r\n").failure);
}
