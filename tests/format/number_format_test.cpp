// SPDX-License-Identifier: GPL-3.0-or-later
#include "format/number_format.h"

#include <gtest/gtest.h>

#include "format/date_format.h"

namespace {
const QLocale kGerman(QLocale::German, QLocale::Germany);
const QLocale kEnglish(QLocale::English, QLocale::UnitedStates);
}  // namespace

TEST(PrintNotation, UsesTheLocaleSeparatorAndAtMostFifteenDigits) {
  EXPECT_EQ(PrintNotation(0.1 + 0.2, kGerman), " 0,3 ");
  EXPECT_EQ(PrintNotation(12, kGerman), " 12 ");
  EXPECT_EQ(PrintNotation(-2.5, kGerman), "-2,5 ");
  EXPECT_EQ(PrintNotation(1234567.5, kGerman), " 1234567,5 ");  // no grouping
  EXPECT_EQ(PrintNotation(8.4, kEnglish), " 8.4 ");
}

TEST(ListNotation, IsTheSameInEveryLocale) {
  EXPECT_EQ(ListNotation(5), " 5");
  EXPECT_EQ(ListNotation(5.5), " 5.5");
  EXPECT_EQ(ListNotation(0.5), " .5");
  EXPECT_EQ(ListNotation(-2), "-2");
  EXPECT_EQ(ListNotation(-0.5), "-.5");
  EXPECT_EQ(ListNotation(0), " 0");
  EXPECT_EQ(ListNotation(2.50), " 2.5");
}

// Plain decimals everywhere, never an exponent; 15 significant digits where a number has more.
TEST(NumberNotations, NeverWriteAnExponent) {
  const struct {
    double number;
    const char *list, *print;
  } cases[] = {
      {0.00001, " .00001", " 0,00001 "},
      {1e-10, " .0000000001", " 0,0000000001 "},
      {-1.5e-7, "-.00000015", "-0,00000015 "},
      {1e20, " 100000000000000000000", " 100000000000000000000 "},
      {-123456789012345678.0, "-123456789012346000", "-123456789012346000 "},
      {1e-6 / 3, " .000000333333333333333", " 0,000000333333333333333 "},
      {1234.5, " 1234.5", " 1234,5 "},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(ListNotation(c.number), QString::fromLatin1(c.list)) << c.list;
    EXPECT_EQ(PrintNotation(c.number, kGerman), QString::fromLatin1(c.print)) << c.list;
    EXPECT_EQ(LocaleNotation(c.number, kGerman), QString::fromLatin1(c.print).trimmed()) << c.list;
  }
}

TEST(RoundToTenth, GoesToTheEvenDigitOnlyWhenExactlyHalfway) {
  EXPECT_EQ(RoundToTenthHalfEven(4.0 / 3.0), 1.3);
  EXPECT_EQ(RoundToTenthHalfEven(1.68), 1.7);
  EXPECT_EQ(RoundToTenthHalfEven(0.25), 0.2);
  EXPECT_EQ(RoundToTenthHalfEven(0.75), 0.8);
  EXPECT_EQ(RoundToTenthHalfEven(86.1), 86.1);
}

TEST(ParseUserNumber, AcceptsLocaleDecimalsAndRefusesWhatCouldBeMisread) {
  EXPECT_EQ(ParseUserNumber("5,5", kGerman), 5.5);
  EXPECT_EQ(ParseUserNumber(" 0,1 ", kGerman), 0.1);
  EXPECT_EQ(ParseUserNumber("-2", kGerman), -2);
  EXPECT_EQ(ParseUserNumber("1.000,5", kGerman), 1000.5);
  EXPECT_FALSE(ParseUserNumber("5.5", kGerman));
  EXPECT_FALSE(ParseUserNumber("5.500", kGerman));
  EXPECT_FALSE(ParseUserNumber("", kGerman));
  EXPECT_FALSE(ParseUserNumber("abc", kGerman));
  EXPECT_FALSE(ParseUserNumber("1e999", kGerman));
  EXPECT_EQ(ParseUserNumber("5.5", kEnglish), 5.5);
  // The group separators people type where the locale writes another one.
  const QLocale swiss(QLocale::German, QLocale::Switzerland);
  const QLocale french(QLocale::French, QLocale::France);
  for (const char* typed : {"1'000.5", "1\u2019000.5"})
    EXPECT_EQ(ParseUserNumber(QString::fromUtf8(typed), swiss), 1000.5) << typed;
  for (const char* typed : {"1 000,5", "1\u00a0000,5", "1\u202f000,5"})
    EXPECT_EQ(ParseUserNumber(QString::fromUtf8(typed), french), 1000.5) << typed;
  EXPECT_FALSE(ParseUserNumber(QStringLiteral("1'000.5"), kGerman));
  for (int k = 1; k <= 1500; ++k) {
    const double v = k / 10.0;
    ASSERT_EQ(ParseUserNumber(LocaleNotation(v, kGerman), kGerman), v) << k;
  }
}

TEST(DateFormat, NamesComeFromTheLocale) {
  const QDate d(2024, 3, 5);
  EXPECT_EQ(DayHeading(d, kGerman), "Dienstag, 05.03.");
  EXPECT_EQ(DayLabel(d, kGerman), "05.03. (Di.)");
  EXPECT_EQ(MonthHeading(d, kGerman), QString::fromUtf8("März 2024"));
  EXPECT_EQ(DayMonth(QDate(2024, 12, 1)), "01.12.");
  EXPECT_EQ(FirstOfMonth(QDate(2024, 2, 29)), QDate(2024, 2, 1));
}
