// SPDX-License-Identifier: GPL-3.0-or-later
// The data files as spreadsheets, editors and scripts save them: every form loads the tables the
// program's own form of the same data gives, and the next rewrite stores the program's own form.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QFile>
#include <QStringEncoder>
#include <chrono>
#include <thread>

#include "store/load_report.h"
#include "store/store.h"
#include "temp_dir.h"

namespace {

QByteArray Utf8(const char* text) {
  return QByteArray(text);
}
QByteArray Cp1252(const char* text) {
  return QStringEncoder("windows-1252").encode(QString::fromUtf8(text));
}
QByteArray WithBom(const char* text) {
  return "\xEF\xBB\xBF" + Utf8(text);
}

const char* const kOwnEntries =
    "2\r\n"
    "#2026-12-01#,\"Haushalt\",\"Sport\",\"Joggen\",6.5,\"Schöner Lauf, 5 €\",\"\",\"\"\r\n"
    "#2026-12-02#,\"Jörg\",\"persönliches\",\"Gewicht\",-0.25,\"[Beschreibung]\",\"\",\"\"\r\n";
const char* const kOwnPersons = "2\r\n\"Haushalt\"\r\n\"Jörg\"\r\n";
const char* const kOwnPairs = "2\r\n\"Sport\",\"Joggen\"\r\n\"persönliches\",\"Gewicht\"\r\n";

struct Form {
  const char* name;
  DataFile file;
  QByteArray bytes;
  // A word the load's message holds, or nullptr for a load without a message.
  const char* said;
};

void PrintTo(const Form& form, std::ostream* os) {
  *os << form.name;
}

const Form kForms[] = {
    {"entries_own_form", DataFile::Entries, Cp1252(kOwnEntries), nullptr},
    {"entries_minimal_quoting", DataFile::Entries,
     Utf8("2\r\n#2026-12-01#,Haushalt,Sport,Joggen,6.5,\"Schöner Lauf, 5 €\",,\r\n"
          "#2026-12-02#,Jörg,persönliches,Gewicht,-0.25,[Beschreibung],,\r\n"),
     nullptr},
    {"entries_texts_quoted_numbers_bare", DataFile::Entries,
     Utf8("2.0\r\n\"#2026-12-01#\",\"Haushalt\",\"Sport\",\"Joggen\",6.5,\"Schöner Lauf, 5 €\","
          "\"\",\"\"\r\n\"#2026-12-02#\",\"Jörg\",\"persönliches\",\"Gewicht\",-0.25,"
          "\"[Beschreibung]\",\"\",\"\"\r\n"),
     nullptr},
    {"entries_all_quoted", DataFile::Entries,
     Utf8("\"2\"\r\n\"#2026-12-01#\",\"Haushalt\",\"Sport\",\"Joggen\",\"6.5\",\"Schöner Lauf, "
          "5 €\",\"\",\"\"\r\n\"#2026-12-02#\",\"Jörg\",\"persönliches\",\"Gewicht\",\"-0.25\","
          "\"[Beschreibung]\",\"\",\"\"\r\n"),
     nullptr},
    {"entries_utf8", DataFile::Entries, Utf8(kOwnEntries), nullptr},
    {"entries_utf8_with_byte_order_mark", DataFile::Entries, WithBom(kOwnEntries), nullptr},
    {"entries_line_feeds", DataFile::Entries, Cp1252(kOwnEntries).replace("\r\n", "\n"), nullptr},
    {"entries_record_added_after_the_count", DataFile::Entries,
     Cp1252(kOwnEntries).replace(0, 1, "1"), "nennt aber nur 1"},
    {"entries_count_line_deleted", DataFile::Entries, Cp1252(kOwnEntries).mid(3),
     "fehlt die erste Zeile"},
    {"entries_days_without_signs", DataFile::Entries,
     Cp1252(kOwnEntries)
         .replace("#2026-12-01#", "2026-12-01")
         .replace("#2026-12-02#", "\"02.12.2026\""),
     "2026-12-01"},
    {"entries_decimal_comma", DataFile::Entries,
     Cp1252(kOwnEntries).replace("6.5", "\"6,5\"").replace("-0.25", "\" -0,25 \""), nullptr},
    {"persons_own_form", DataFile::Persons, Cp1252(kOwnPersons), nullptr},
    {"persons_minimal_quoting", DataFile::Persons, Utf8("2\r\nHaushalt\r\nJörg\r\n"), nullptr},
    {"persons_all_quoted_with_byte_order_mark", DataFile::Persons,
     WithBom("\"2\"\r\n\"Haushalt\"\r\n\"Jörg\"\r\n"), nullptr},
    {"persons_added_after_the_count", DataFile::Persons, Cp1252(kOwnPersons).replace(0, 1, "1"),
     "nennt aber nur 1"},
    {"persons_count_line_deleted", DataFile::Persons, Cp1252(kOwnPersons).mid(3),
     "fehlt die erste Zeile"},
    {"pairs_own_form", DataFile::Categories, Cp1252(kOwnPairs), nullptr},
    {"pairs_minimal_quoting", DataFile::Categories,
     Utf8("2\r\nSport,Joggen\r\npersönliches,Gewicht\r\n"), nullptr},
    {"pairs_all_quoted", DataFile::Categories,
     Utf8("\"2\"\r\n\"Sport\",\"Joggen\"\r\n\"persönliches\",\"Gewicht\"\r\n"), nullptr},
    {"pairs_count_line_deleted", DataFile::Categories, Utf8(kOwnPairs).mid(3),
     "fehlt die erste Zeile"},
};

// The same cells: each of the same kind and equal.
template <typename TableT>
void ExpectSameTable(const TableT& a, const TableT& b) {
  ASSERT_EQ(a.Count(), b.Count());
  for (int i = 1; i <= a.Count(); ++i) {
    EXPECT_TRUE(SameCells(a.Row(i), b.Row(i))) << "row " << i;
  }
}

class OtherProgramsForms : public InTempDir, public ::testing::WithParamInterface<Form> {
 protected:
  // Loads the form, compares it with the own form, rewrites it and loads the result again.
  template <typename TableT>
  void Check(TableT Store::*table, const char* own) {
    const Form& form = GetParam();
    const QString name = FileName(form.file);
    WriteBytes(name, Cp1252(own));
    Store reference(Folder());
    ASSERT_TRUE(reference.LoadData().isEmpty());

    WriteBytes(name, form.bytes);
    Store store(Folder());
    const QStringList said = store.LoadData();
    if (form.said) {
      ASSERT_EQ(said.size(), 1);
      EXPECT_TRUE(said[0].contains(QString::fromUtf8(form.said))) << said[0].toStdString();
      EXPECT_FALSE(said[0].contains(QStringLiteral("beschaedigt"))) << said[0].toStdString();
    } else {
      EXPECT_TRUE(said.isEmpty()) << said.join(u'\n').toStdString();
    }
    ExpectSameTable(store.*table, reference.*table);
    if (form.bytes == Cp1252(own)) return;  // the own form keeps its bytes, as asserted above

    (store.*table).rows.front().fields.back() = Value(QStringLiteral("geändert"));
    (reference.*table).rows.front().fields.back() = Value(QStringLiteral("geändert"));
    if constexpr (std::is_same_v<TableT, EntryTable>) store.entries.Changed();
    const auto write = [&](Store& s) {
      switch (form.file) {
        case DataFile::Persons:
          return s.WritePersonFile();
        case DataFile::Categories:
          return s.WriteCategoryFile();
        case DataFile::Entries:
          return s.WriteEntryFile();
      }
      return s.WriteEntryFile();
    };
    ASSERT_FALSE(write(store));
    const QByteArray rewritten = ReadBytes(name);
    ASSERT_FALSE(write(reference));
    EXPECT_EQ(rewritten, ReadBytes(name));
    WriteBytes(name, rewritten);
    Store again(Folder());
    EXPECT_TRUE(again.LoadData().isEmpty());
    ExpectSameTable(again.*table, store.*table);
  }
};

}  // namespace

TEST_P(OtherProgramsForms, LoadLikeTheOwnFormAndAreRewrittenInIt) {
  switch (GetParam().file) {
    case DataFile::Persons:
      Check(&Store::persons, kOwnPersons);
      break;
    case DataFile::Categories:
      Check(&Store::categories, kOwnPairs);
      break;
    case DataFile::Entries:
      Check(&Store::entries, kOwnEntries);
      break;
  }
}

INSTANTIATE_TEST_SUITE_P(Files, OtherProgramsForms, ::testing::ValuesIn(kForms),
                         [](const auto& form) { return std::string(form.param.name); });
