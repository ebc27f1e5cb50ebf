// SPDX-License-Identifier: GPL-3.0-or-later
#include "dayview/calendar.h"

#include <gtest/gtest.h>

#include <QLocale>

#include "entries.h"
#include "qt_print.h"
#include "recording_surface.h"

namespace {
using Op = RecordingSurface::Op;
namespace cc = calendar_colors;
constexpr float kW = 9855, kH = 10500, kR = 0.9f * kH / 31;

class CalendarTest : public ::testing::Test {
 protected:
  void SetUp() override { QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany)); }
  // Draws the month of `month` for "Haushalt", today the 5th of March 2024.
  void Draw(QDate month, Value selected = Value()) {
    surface.ops.clear();
    DrawMonthCalendar(surface, entries, {month, selected, QDate(2024, 3, 5), Value("Haushalt")});
  }
  std::vector<Op> LabelFills() const {
    std::vector<Op> out;
    for (const Op& op : surface.Of(Op::Fill))
      if (op.x1 == 0 && op.y1 >= 0.05f * kH) out.push_back(op);
    return out;
  }
  RecordingSurface surface{kW, kH};
  EntryTable entries;
};

TEST_F(CalendarTest, OneRowPerDayUnderAnEmptyBand) {
  for (auto [month, days] : {std::pair{QDate(2023, 2, 10), 28},
                             {QDate(2024, 2, 29), 29},
                             {QDate(2024, 4, 1), 30},
                             {QDate(2024, 3, 31), 31}}) {
    Draw(month);
    const std::vector<Op> labels = LabelFills();
    ASSERT_EQ(static_cast<int>(labels.size()), days);
    for (int k = 1; k <= days; ++k) {
      EXPECT_FLOAT_EQ(labels[k - 1].y1, 0.05f * kH + k * kR);
      EXPECT_FLOAT_EQ(labels[k - 1].y2, 0.05f * kH + (k + 1) * kR);
    }
    EXPECT_EQ(labels[0].color, cc::kOddDay);
    EXPECT_EQ(labels[1].color, cc::kEvenDay);
    const std::vector<Op> fills = surface.Of(Op::Fill);  // the header first, then the rows
    EXPECT_FLOAT_EQ(fills[0].y2, 0.05f * kH);
    for (std::size_t i = 1; i < fills.size(); ++i) EXPECT_GE(fills[i].y1, 0.05f * kH + kR - 0.01f);
  }
  EXPECT_EQ(surface.Texts().front(), "März 2024");
}

TEST_F(CalendarTest, BoxPerDistinctCategoryAndFontSizeLeftByTheCaptions) {
  for (const char* category :
       {"Sport", "persönliches", "Sport", "Ausgaben", "Rezepte", "Allgemein", "Aktivitäten"})
    entries.rows.push_back(MakeEntry({2024, 3, 7}, "Haushalt", category));
  entries.rows.push_back(MakeEntry({2024, 3, 7}, "Anna", "Essen/Trinken"));
  entries.rows.push_back(MakeEntry({2024, 3, 8}, "haushalt", "Sport"));
  Draw({2024, 3, 1});
  const std::vector<Op> boxes = surface.FillsOf(cc::kCategory);
  ASSERT_EQ(boxes.size(), 6u);
  for (std::size_t j = 0; j < 6; ++j) {
    EXPECT_FLOAT_EQ(boxes[j].x1, 0.3f * kW + j * (0.14f * kW));
    EXPECT_NEAR(boxes[j].y1, 0.05f * kH + 7.1f * kR, 0.01);
    EXPECT_NEAR(boxes[j].y2, 0.05f * kH + 7.9f * kR, 0.01);
  }
  EXPECT_GE(boxes[5].x1, kW - 0.01f);  // the sixth lies beyond the right edge
  QStringList captions;
  for (const Op& op : surface.Of(Op::Print))
    if (op.fontSize == 7) captions << op.text;
  EXPECT_EQ(captions,
            QStringList({"Sport", "persönli", "Ausgaben", "Rezepte", "Allgemei", "Aktivitä"}));
  // Header and labels use the surface's size: 8.25 until the first caption, 8 from then on.
  const std::vector<Op> prints = surface.Of(Op::Print);
  EXPECT_FLOAT_EQ(prints[0].fontSize, 8.25f);
  EXPECT_FLOAT_EQ(prints[7].fontSize, 8.25f);  // label of the 7th
  EXPECT_FLOAT_EQ(prints[14].fontSize, 8.0f);  // label of the 8th
  Draw({2024, 4, 1});
  EXPECT_EQ(surface.Texts().front(), "Apr. 2024");
  EXPECT_FLOAT_EQ(surface.Of(Op::Print).front().fontSize, 8.0f);
}
}  // namespace
