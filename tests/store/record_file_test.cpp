// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <QStringDecoder>
#include <QStringEncoder>
#include <algorithm>
#include <bit>
#include <charconv>
#include <cmath>
#include <cstring>
#include <random>

#include "file_number_text.h"
#include "store/cp1252.h"
#include "store/data_files.h"
#include "store/load_report.h"
#include "store/record_reader.h"
#include "store/record_writer.h"

namespace {

QByteArray Written(std::initializer_list<Value> fields) {
  RecordWriter writer;
  writer.WriteRecord(fields);
  return writer.Bytes().value_or("<unstorable>");
}

std::vector<Value> ReadBack(const QByteArray& bytes, int n) {
  RecordReader reader{QByteArray(bytes)};
  std::vector<Value> out(n);
  reader.ReadRecord(out);
  EXPECT_FALSE(reader.Problem()) << reader.Problem()->toStdString();
  return out;
}

}  // namespace

TEST(RecordFormat, WritesEveryKindInItsFileForm) {
  EXPECT_EQ(
      Written({Value(QDate(2024, 3, 5)), Value("Haushalt"), Value("Sport"), Value("Joggen"),
               Value(5.5), Value("[Beschreibung]"), Value(""), Value("")}),
      QByteArray(
          "#2024-03-05#,\"Haushalt\",\"Sport\",\"Joggen\",5.5,\"[Beschreibung]\",\"\",\"\"\r\n"));
  EXPECT_EQ(Written({Value(0)}), QByteArray("0\r\n"));
  EXPECT_EQ(Written({Value(22)}), QByteArray("22\r\n"));
  EXPECT_EQ(Written({Value(-2.5), Value(), Value(1e20)}),
            QByteArray("-2.5,,100000000000000000000\r\n"));
  EXPECT_EQ(Written({Value(-0.0)}), QByteArray("0\r\n"));
  EXPECT_EQ(Written({Value(QString::fromUtf8("Fußball ö ü ä €"))}),
            QByteArray("\"Fu\xdf"
                       "ball \xf6 \xfc \xe4 \x80\"\r\n"));
}

TEST(RecordFormat, RoundTripKeepsEveryKindStable) {
  const std::vector<Value> fields = {Value("123"),
                                     Value(""),
                                     Value(),
                                     Value("a, b"),
                                     Value(123),
                                     Value(0.1 + 0.2),
                                     Value(QDate(999, 1, 2)),
                                     Value(1e-300),
                                     Value(QString::fromUtf8("€ und ß")),
                                     Value(-0.25)};
  RecordWriter writer;
  writer.WriteRecord(fields);
  const std::vector<Value> back = ReadBack(*writer.Bytes(), static_cast<int>(fields.size()));
  for (std::size_t i = 0; i < fields.size(); ++i) {
    EXPECT_EQ(back[i].Kind(), fields[i].Kind()) << i;
    EXPECT_TRUE(back[i] == fields[i]) << i;
  }
  EXPECT_TRUE(back[0].IsText());           // digits stay Text
  EXPECT_TRUE(back[1].IsText());           // the empty Text is not Empty
  EXPECT_FALSE(back[4] == back[0]);        // Number 123 never equals Text "123"
  EXPECT_EQ(back[5].Number(), 0.1 + 0.2);  // full precision
}

TEST(RecordFormat, ReaderAcceptsLooseButValidForms) {
  const auto v = ReadBack(" \"x\" ,  .5 , -.5,0.25 ,#2024-3-5#,\"a\"junk,7\r\n", 7);
  EXPECT_EQ(v[0], Value("x"));
  EXPECT_EQ(v[1], Value(0.5));
  EXPECT_EQ(v[2], Value(-0.5));
  EXPECT_EQ(v[3], Value(0.25));
  EXPECT_EQ(v[4], Value(QDate(2024, 3, 5)));
  EXPECT_EQ(v[5], Value("a"));
  EXPECT_EQ(v[6], Value(7));
}

// An unquoted field that is neither a number nor a day is a text, as every reader of
// comma-separated text takes it; only what cannot be read whole is a fault.
TEST(RecordFormat, ReaderTakesUnquotedWordsAsTextsAndNeverReadsPastTheEnd) {
  for (const char* word : {"abc", "#2024-13-01#", "1e999", "nan", "+5", "Schöner Lauf"}) {
    const auto v = ReadBack(QByteArray(word) + "\r\n", 1);
    EXPECT_EQ(v[0].Kind(), ValueKind::Text) << word;
    EXPECT_EQ(v[0].Text(), QString::fromUtf8(word)) << word;
  }
  // A text keeps the blanks around it, a number does not.
  const auto blanks = ReadBack(" Haushalt , 5 ,  \r\n", 3);
  EXPECT_EQ(blanks[0], Value(" Haushalt "));
  EXPECT_EQ(blanks[1], Value(5));
  EXPECT_EQ(blanks[2], Value("  "));
  RecordReader open{QByteArray("\"open\r\n")};
  Value field;
  open.ReadRecord(std::span<Value>(&field, 1));
  EXPECT_TRUE(open.Problem());
  EXPECT_EQ(field, Value("open"));  // what stands up to the line end is kept
  RecordReader reader{QByteArray("1,2")};
  std::vector<Value> fields(5);
  reader.ReadRecord(fields);
  EXPECT_TRUE(reader.Problem());
  EXPECT_TRUE(reader.AtEnd());
  EXPECT_TRUE(fields[4].IsEmpty());
}

TEST(RecordFormat, TextsTheFileCannotHoldAreNamedAndNeverWritten) {
  EXPECT_EQ(FirstCharFileCannotHold(QStringLiteral("a\"b")), QChar(u'"'));
  EXPECT_EQ(FirstCharFileCannotHold(QStringLiteral("a\nb")), QChar(u'\n'));
  EXPECT_EQ(FirstCharFileCannotHold(QString::fromUtf8("Ωmega")), QChar(u'Ω'));
  EXPECT_FALSE(FirstCharFileCannotHold(QString::fromUtf8("Fußball, € und \u0081")));
  EXPECT_EQ(Written({Value("say \"hi\"")}), "<unstorable>");
  EXPECT_EQ(Written({Value(QString::fromUtf8("漢"))}), "<unstorable>");
  EXPECT_EQ(Written({Value(std::numeric_limits<double>::infinity())}), "<unstorable>");
}

TEST(RecordFormat, Cp1252DecodingIsLossless) {
  QByteArray all;
  for (int b = 0; b < 256; ++b) all.append(static_cast<char>(b));
  EXPECT_EQ(EncodeCp1252(DecodeCp1252(all)), all);
}

TEST(RecordFormat, CodecAgreesWithQtsWindows1252ForEveryByteAndCharacter) {
  QByteArray all;
  for (int b = 0; b < 256; ++b) all.append(static_cast<char>(b));
  EXPECT_EQ(DecodeCp1252(all), QStringDecoder("windows-1252").decode(all));
  for (char32_t c = 1; c < 0x10000; ++c) {
    if (c >= 0xD800 && c < 0xE000) continue;  // surrogate halves are no characters
    const QString one(QChar(static_cast<char16_t>(c)));
    QStringEncoder qt("windows-1252");
    const QByteArray expected = qt.encode(one);
    const auto ours = EncodeCp1252(one);
    ASSERT_EQ(ours.has_value(), !qt.hasError()) << std::hex << static_cast<unsigned>(c);
    if (ours) {
      ASSERT_EQ(*ours, expected) << std::hex << static_cast<unsigned>(c);
    }
  }
}

// The quick paths of the writer and the reader against the general ones they stand in for.
namespace {

// The general file form of a number: a whole number as an integer, any other in the shortest
// fixed notation that reads back to it.
std::string GeneralFileNumber(double number) {
  if (number == 0) number = 0;
  char buf[400];
  if (std::fabs(number) < 1e15 && number == std::trunc(number)) {
    return std::to_string(static_cast<long long>(number));
  }
  const auto end = std::to_chars(buf, buf + sizeof buf, number, std::chars_format::fixed).ptr;
  return std::string(buf, end);
}

Value ReadOne(const QByteArray& field) {
  RecordReader reader{QByteArray(field + "\r\n")};
  return reader.ReadField();
}

}  // namespace

TEST(RecordFormat, NumbersAreWrittenInTheShortestFormThatReadsBack) {
  std::mt19937_64 rng(5);
  std::vector<double> numbers;
  for (long long k = -300000; k <= 300000; k += 7)
    numbers.insert(numbers.end(), {k / 100.0, k / 10.0});
  for (long long k : {999999999999999LL, 1000000000000000LL, 123456789012345LL}) {
    numbers.insert(numbers.end(), {k / 100.0, -k / 100.0, k / 10.0, (k - 1) / 100.0});
  }
  for (int i = 0; i < 200000; ++i) {
    const std::uint64_t bits = rng();
    double d;
    std::memcpy(&d, &bits, sizeof d);
    if (std::isfinite(d)) numbers.push_back(d);
    numbers.push_back(static_cast<double>(rng() % 100000000) / 1000.0);
    numbers.push_back(
        std::ldexp(static_cast<double>(rng() % 1000000), static_cast<int>(rng() % 80) - 40));
  }
  for (const double number : numbers) {
    ASSERT_EQ(FileNumber(number).toStdString(), GeneralFileNumber(number)) << number;
    const Value back = ReadOne(FileNumber(number).toLatin1());
    ASSERT_TRUE(back.IsNumber());
    ASSERT_EQ(back.Number(), number == 0 ? 0.0 : number);
  }
}

TEST(RecordFormat, DecimalsAreReadAsTheGeneralParserReadsThem) {
  std::mt19937 rng(9);
  std::vector<std::string> forms = {"0",
                                    "-0",
                                    "5.",
                                    ".5",
                                    "-.5",
                                    "00.50",
                                    "123456789012345",
                                    "1234567890123456",
                                    "0.000000000000001",
                                    "9999999999999.99"};
  for (int i = 0; i < 200000; ++i) {
    std::string s = rng() % 4 == 0 ? "-" : "";
    const int digits = 1 + static_cast<int>(rng() % 17);
    const int point = static_cast<int>(rng() % (digits + 2));
    for (int d = 0; d < digits; ++d) {
      if (d == point) s += '.';
      s += static_cast<char>('0' + rng() % 10);
    }
    forms.push_back(s);
  }
  for (const std::string& form : forms) {
    double expected = 0;
    const auto parsed = std::from_chars(form.data(), form.data() + form.size(), expected);
    ASSERT_EQ(parsed.ptr, form.data() + form.size()) << form;
    const Value read = ReadOne(QByteArray::fromStdString(form));
    ASSERT_TRUE(read.IsNumber()) << form;
    ASSERT_EQ(std::bit_cast<std::uint64_t>(read.Number()), std::bit_cast<std::uint64_t>(expected))
        << form;
  }
}

TEST(RecordFormat, LongTextsAreEncodedAndDecodedCharacterByCharacter) {
  // Characters that are their own byte, those that have another byte, and those without one.
  const char16_t pool[] = {u'a',   u'Z', u' ', u',', u'\t', u'"', u'\r', u'\n', 0x20AC, 0x2013,
                           0x201E, 0xFC, 0xDF, 0xA0, 0xFF,  0x81, 0x9D,  0x3A9, 0x100,  0xD800};
  std::mt19937 rng(3);
  for (int i = 0; i < 20000; ++i) {
    QString text;
    const int size = static_cast<int>(rng() % 70);
    const bool plain = rng() % 2 == 0;
    for (int k = 0; k < size; ++k) {
      text += QChar(plain && rng() % 8 != 0 ? pool[rng() % 5] : pool[rng() % std::size(pool)]);
    }
    std::optional<QByteArray> expected = QByteArray();
    bool breaker = false;
    for (const QChar c : text) {
      const auto one = EncodeCp1252(QString(c));
      breaker |= c == u'"' || c == u'\r' || c == u'\n';
      if (!one) expected.reset();
      if (expected) *expected += *one;
    }
    ASSERT_EQ(EncodeCp1252(text), expected) << text.toStdString();
    // In a record a double quote or a line break cannot be stored either.
    const QByteArray record = Written({Value(text)});
    ASSERT_EQ(record, expected && !breaker ? '"' + *expected + "\"\r\n" : "<unstorable>");
    if (expected) {
      ASSERT_EQ(DecodeCp1252(*expected), text);
    }
  }
}

TEST(RecordFormat, WrittenAndOddRecordsReadLikeTheirFieldsOneByOne) {
  // Written lines and lines that differ from the written form in one way each.
  const QByteArray lines[] = {
      "#2024-03-05#,\"Haushalt\",\"Sport\",\"Joggen\",5.5,\"am See, \x80 3\",\"\",\"\"\r\n",
      "#2024-03-05#,\"Haushalt\",\"Sport\",\"Joggen\",-0.25,\"x\",,\r\n",
      "#2024-03-05#,\"Haushalt\",\"Sport\",\"Joggen\",5.5,\"x\",\"\",\"\"\n",
      "#2024-03-05#,\"Haushalt\",\"Sport\",\"Joggen\",5.5,\"x\",\"\",\"\"\r",
      "#2024-03-05#, \"Haushalt\",\"Sport\",\"Joggen\",5.5,\"x\",\"\",\"\"\r\n",
      "#2024-3-5#,\"Haushalt\",\"Sport\",\"Joggen\",5.5 ,\"x\",\"\",\"\"\r\n",
      "#2024-03-05#,\"Haushalt\"x,\"Sport\",\"Joggen\",1e3,\"x\",\"\",\"\"\r\n",
      "#2024-02-30#,\"Haushalt\",\"Sport\",\"Joggen\",12345678901234567,\"x\",\"\",\"\"\r\n",
      "#2024-03-05#,\"Haushalt\",\"Sport\",\"Joggen\",5.5,\"x\",\"\"\r\n",
      "#2024-03-05#,\"Haushalt\",\"Sport\",\"Joggen\",5.5,\"x\",\"\",\"\",9\r\n",
      "#2024-03-05#,\"Haus\r\nhalt\",\"Sport\",\"Joggen\",5.5,\"x\",\"\",\"\"\r\n",
      "#2024-03-05#,\"Haushalt\",\"Sport\",\"Joggen\",abc,\"x\",\"\",\"\"\r\n",
      "#2024-03-05#,\"Haushalt\",\"Sport\",\"Joggen\",5.5,\"x\",\"\",\"",
  };
  for (const QByteArray& line : lines) {
    const QByteArray twice = line + line;
    RecordReader byRecord{QByteArray(twice)};
    RecordReader byField{QByteArray(twice)};
    for (int record = 0; record < 2; ++record) {
      std::vector<Value> fields(8);
      byRecord.ReadRecord(fields);
      if (byRecord.Problem()) break;  // the record steps add their own checks from here on
      for (const Value& field : fields) {
        const Value one = byField.ReadField();
        ASSERT_EQ(field.Kind(), one.Kind()) << line.toStdString();
        ASSERT_TRUE(field == one) << line.toStdString();
      }
      ASSERT_EQ(byRecord.Line(), byField.Line()) << line.toStdString();
      ASSERT_FALSE(byField.Problem()) << line.toStdString();
    }
  }
}

TEST(RecordFormat, ShortTextsThatBeginAlikeReadBackUnchanged) {
  // "b", "ba", "bb", "baa", ... up to nine letters, in shuffled order, so that many a text is
  // the beginning of one read before it.
  std::vector<QByteArray> texts = {"b"};
  for (std::size_t i = 0; texts.back().size() < 9; ++i) {
    texts.push_back(texts[i] + 'a');
    texts.push_back(texts[i] + 'b');
  }
  std::shuffle(texts.begin(), texts.end(), std::mt19937(11));
  QByteArray file = QByteArray::number(texts.size() / 2) + "\r\n";
  for (std::size_t i = 0; i + 1 < texts.size(); i += 2) {
    file += '"' + texts[i] + "\",\"" + texts[i + 1] + "\"\r\n";
  }
  CategoryTable table;
  ASSERT_FALSE(ParseTableBytes(file, table).Damaged());
  ASSERT_EQ(table.Count(), static_cast<int>(texts.size() / 2));
  for (int row = 1; row <= table.Count(); ++row) {
    const auto i = static_cast<std::size_t>(2 * (row - 1));
    ASSERT_EQ(table.Row(row).Category().Text().toStdString(), texts[i].toStdString()) << row;
    ASSERT_EQ(table.Row(row).Item().Text().toStdString(), texts[i + 1].toStdString()) << row;
  }
}
