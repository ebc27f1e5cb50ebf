#include "store/record_file.h"

#include <QStringDecoder>
#include <QStringEncoder>
#include <gtest/gtest.h>

#include "store/cp1252.h"

namespace {

QByteArray Written(std::initializer_list<Value> fields) {
  RecordWriter writer;
  writer.WriteRecord(fields);
  return writer.Bytes().value_or("<unstorable>");
}

std::vector<Value> ReadBack(const QByteArray& bytes, int n) {
  RecordReader reader = RecordReader::FromBytes(bytes);
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
    EXPECT_EQ(back[i].kind(), fields[i].kind()) << i;
    EXPECT_TRUE(back[i] == fields[i]) << i;
  }
  EXPECT_TRUE(back[0].isText());           // digits stay Text
  EXPECT_TRUE(back[1].isText());           // the empty Text is not Empty
  EXPECT_FALSE(back[4] == back[0]);        // Number 123 never equals Text "123"
  EXPECT_EQ(back[5].number(), 0.1 + 0.2);  // full precision
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

TEST(RecordFormat, ReaderReportsMalformedFieldsAndNeverReadsPastTheEnd) {
  for (const char* bad :
       {"abc\r\n", "#2024-13-01#\r\n", "\"open\r\n", "1e999\r\n", "nan\r\n", "+5\r\n"}) {
    RecordReader reader = RecordReader::FromBytes(bad);
    Value field;
    reader.ReadRecord(std::span<Value>(&field, 1));
    EXPECT_TRUE(reader.Problem()) << bad;
  }
  RecordReader reader = RecordReader::FromBytes("1,2");
  std::vector<Value> fields(5);
  reader.ReadRecord(fields);
  EXPECT_TRUE(reader.Problem());
  EXPECT_TRUE(reader.AtEnd());
  EXPECT_TRUE(fields[4].isEmpty());
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
