// SPDX-License-Identifier: GPL-3.0-or-later
#include "store/value.h"

#include <gtest/gtest.h>

TEST(ValueEquality, FollowsTheKindRules) {
  EXPECT_TRUE(Value("Sport") == Value("Sport"));
  EXPECT_FALSE(Value("Sport") == Value("sport"));
  EXPECT_FALSE(Value("Sport ") == Value("Sport"));
  EXPECT_TRUE(Value() == Value());
  EXPECT_TRUE(Value() == Value(""));
  EXPECT_TRUE(Value(0) == Value());
  EXPECT_FALSE(Value(0) == Value(""));
  EXPECT_FALSE(Value(123) == Value("123"));
  EXPECT_FALSE(Value(QDate(2024, 3, 5)) == Value("2024-03-05"));
  EXPECT_TRUE(Value(QDate(2024, 3, 5)) == Value(QDate(2024, 3, 5)));
  EXPECT_FALSE(Value(QDate(2024, 3, 5)) == Value());
}

TEST(ValueArithmetic, AddsNumbersAndJoinsTexts) {
  EXPECT_EQ((Value() + Value(1)).Number(), 1);
  EXPECT_TRUE((Value() + Value(1)).IsNumber());
  EXPECT_EQ((Value("[") + Value("Sport") + Value()).Text(), "[Sport");
  EXPECT_EQ((Value(2.5) + Value(2.5)).Number(), 5);
  EXPECT_EQ((Value(2) + Value("x")).Number(), 2);  // a non-number counts as 0
  EXPECT_EQ((Value(5) - Value(1)).Number(), 4);
}

TEST(ValueIdentity, OnlySharedTextsAndEqualBitsAreIdentical) {
  const Value text(QStringLiteral("Sport"));
  const Value copy = text;  // shares the characters
  EXPECT_TRUE(copy.IsIdenticalTo(text));
  EXPECT_FALSE(Value(QString(text.Text().data())).IsIdenticalTo(text));  // equal, not shared
  EXPECT_TRUE(Value(2.5).IsIdenticalTo(Value(2.5)));
  EXPECT_FALSE(Value(-0.0).IsIdenticalTo(Value(0.0)));  // equal numbers, other bits
  EXPECT_TRUE(Value(QDate(2024, 3, 5)).IsIdenticalTo(Value(QDate(2024, 3, 5))));
  EXPECT_TRUE(Value().IsIdenticalTo(Value()));
  EXPECT_FALSE(Value().IsIdenticalTo(Value(QString())));  // equal, of another kind
  EXPECT_FALSE(Value(0).IsIdenticalTo(Value()));
}
