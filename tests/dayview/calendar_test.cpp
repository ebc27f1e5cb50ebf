#include "dayview/calendar.h"

#include <gtest/gtest.h>

#include <QLocale>

#include "qt_print.h"
#include "recording_surface.h"

namespace {
using Op = RecordingSurface::Op;
namespace cc = calendar_colors;

constexpr float kW = 9855, kH = 10500;

EntryRow Entry(QDate day, const QString& person, const QString& category,
               const QString& item = "x") {
  EntryRow row;
  row.date() = Value(day);
  row.person() = Value(person);
  row.category() = Value(category);
  row.item() = Value(item);
  row.value() = Value(1.0);
  return row;
}

class CalendarTest : public ::testing::Test {
 protected:
  void SetUp() override { QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany)); }

  // Draws the month of `month` with the 5th of March 2024 as today, nothing selected.
  void Draw(QDate month, Value selected = Value(), QDate today = QDate(2024, 3, 5)) {
    DrawMonthCalendar(surface, entries, {month, selected, today, Value("Haushalt")});
  }
  std::vector<Op> LabelFills() const {
    std::vector<Op> out;
    for (const Op& op : surface.Of(Op::Fill))
      if (op.x1 == 0 && op.color != cc::kHeader) out.push_back(op);
    return out;
  }

  RecordingSurface surface{kW, kH};
  CalendarGeometry g{kW, kH};
  EntryTable entries;
};

TEST_F(CalendarTest, DrawsOneRowPerDayOfTheMonthAndLeavesTheBandEmpty) {
  const struct {
    QDate month;
    int days;
  } months[] = {{QDate(2023, 2, 10), 28},
                {QDate(2024, 2, 29), 29},
                {QDate(2024, 4, 1), 30},
                {QDate(2024, 3, 31), 31}};
  for (const auto& m : months) {
    surface.ops.clear();
    Draw(m.month);
    const std::vector<Op> labels = LabelFills();
    ASSERT_EQ(static_cast<int>(labels.size()), m.days) << m.month.toString().toStdString();
    EXPECT_EQ(surface.FillsOf(cc::kBody).size(), static_cast<std::size_t>(m.days) + 1);  // + header
    for (int k = 1; k <= m.days; ++k) {
      const Op& label = labels[static_cast<std::size_t>(k - 1)];
      EXPECT_FLOAT_EQ(label.y1, 0.05f * kH + k * (0.9f * kH / 31));
      EXPECT_FLOAT_EQ(label.y2, 0.05f * kH + (k + 1) * (0.9f * kH / 31));
      EXPECT_FLOAT_EQ(label.x2, 0.3f * kW);
    }
    // Nothing but the header (the first fill) reaches into the band of one row under it.
    const std::vector<Op> fills = surface.Of(Op::Fill);
    for (std::size_t i = 1; i < fills.size(); ++i) EXPECT_GE(fills[i].y1, g.RowTop(1));
    EXPECT_EQ(surface.ops.front().kind, Op::Clear);
  }
  EXPECT_FLOAT_EQ(g.RowBottom(31), 0.05f * kH + 32 * (0.9f * kH / 31));
}

TEST_F(CalendarTest, HeaderLabelsAndColoursInDrawingOrder) {
  Draw(QDate(2024, 3, 20), Value(QDate(2024, 3, 2)));
  const std::vector<Op>& ops = surface.ops;
  ASSERT_GE(ops.size(), 9u);
  EXPECT_EQ(ops[1].kind, Op::Fill);
  EXPECT_EQ(ops[1].color, cc::kHeader);
  EXPECT_FLOAT_EQ(ops[1].y2, 0.05f * kH);
  EXPECT_EQ(ops[2].kind, Op::Outline);
  EXPECT_EQ(ops[3].text, "März 2024");
  EXPECT_FLOAT_EQ(ops[3].y1, 0.021f * kH);
  EXPECT_EQ(ops[3].fontName, "Tahoma");
  // Day 1: label fill, outline, label text, body fill, outline.
  EXPECT_EQ(ops[4].color, cc::kOddDay);
  EXPECT_EQ(ops[5].kind, Op::Outline);
  EXPECT_EQ(ops[6].text, "01.03. (Fr.)");
  EXPECT_FLOAT_EQ(ops[6].x1, 0.02f * kW);
  EXPECT_EQ(ops[7].color, cc::kBody);
  EXPECT_EQ(ops[8].kind, Op::Outline);

  const std::vector<Op> labels = LabelFills();
  EXPECT_EQ(labels[1].color, cc::kEvenDay);
  EXPECT_EQ(labels[2].color, cc::kOddDay);
  EXPECT_EQ(labels[4].color, cc::kToday);    // the 5th is today
  EXPECT_EQ(labels[5].color, cc::kEvenDay);  // alternation goes on after today
  const std::vector<Op> yellow = surface.FillsOf(cc::kSelected);
  ASSERT_EQ(yellow.size(), 1u);
  EXPECT_FLOAT_EQ(yellow[0].y1, g.RowTop(2));
  EXPECT_FLOAT_EQ(yellow[0].x1, 0.3f * kW);
  EXPECT_FLOAT_EQ(yellow[0].x2, kW);

  // Selected day and today in another month mark nothing; the 1st is always the darker grey.
  surface.ops.clear();
  Draw(QDate(2024, 4, 1), Value(QDate(2024, 3, 2)));
  EXPECT_TRUE(surface.FillsOf(cc::kSelected).empty());
  EXPECT_TRUE(surface.FillsOf(cc::kToday).empty());
  EXPECT_EQ(LabelFills()[0].color, cc::kOddDay);
}

TEST_F(CalendarTest, OneBoxPerDistinctCategoryOfThePersonInOrderOfFirstEntry) {
  const QDate day(2024, 3, 7);
  for (const char* category :
       {"Sport", "persönliches", "Sport", "Ausgaben", "Rezepte", "Allgemein", "Aktivitäten"})
    entries.rows.push_back(Entry(day, "Haushalt", category));
  entries.rows.push_back(Entry(day, "Anna", "Essen/Trinken"));
  entries.rows.push_back(Entry(day.addDays(1), "haushalt", "Sport"));
  entries.rows.push_back(Entry(day.addMonths(1), "Haushalt", "Sport"));
  Draw(day);

  const std::vector<Op> boxes = surface.FillsOf(cc::kCategory);
  ASSERT_EQ(boxes.size(), 6u);
  for (int j = 1; j <= 6; ++j) {
    const Op& box = boxes[static_cast<std::size_t>(j - 1)];
    EXPECT_FLOAT_EQ(box.x1, 0.3f * kW + (j - 1) * (0.7f * kW / 5));
    EXPECT_FLOAT_EQ(box.x2, 0.3f * kW + j * (0.7f * kW / 5));
    EXPECT_NEAR(box.y1, 0.05 * kH + 7.1 * (0.9 * kH / 31), 0.01);
    EXPECT_NEAR(box.y2, 0.05 * kH + 7.9 * (0.9 * kH / 31), 0.01);
  }
  EXPECT_NEAR(boxes[4].x2, kW, 0.01);
  EXPECT_GE(boxes[5].x1, kW - 0.01f);

  std::vector<Op> captions;
  for (const Op& op : surface.Of(Op::Print))
    if (op.fontSize == 7) captions.push_back(op);
  ASSERT_EQ(captions.size(), 6u);
  const QStringList expected = {"Sport", "persönli", "Ausgaben", "Rezepte", "Allgemei", "Aktivitä"};
  for (std::size_t j = 0; j < captions.size(); ++j) {
    EXPECT_EQ(captions[j].text, expected[static_cast<qsizetype>(j)]);
    EXPECT_FLOAT_EQ(captions[j].x1, boxes[j].x1 + 0.02f * kW);
    EXPECT_NEAR(captions[j].y1, boxes[j].y1 + 0.001f * kH, 0.01);
  }
}

TEST_F(CalendarTest, FontSizeIsLastingStateOfTheSurface) {
  Draw(QDate(2024, 3, 1));
  for (const Op& op : surface.Of(Op::Print)) EXPECT_FLOAT_EQ(op.fontSize, 8.25f);

  entries.rows.push_back(Entry(QDate(2024, 3, 3), "Haushalt", "Sport"));
  surface.ops.clear();
  Draw(QDate(2024, 3, 1));
  const std::vector<Op> prints = surface.Of(Op::Print);
  EXPECT_FLOAT_EQ(prints[0].fontSize, 8.25f);  // header
  EXPECT_FLOAT_EQ(prints[3].fontSize, 8.25f);  // label of the 3rd
  EXPECT_FLOAT_EQ(prints[4].fontSize, 7.0f);   // its caption
  EXPECT_FLOAT_EQ(prints[5].fontSize, 8.0f);   // label of the 4th
  EXPECT_FLOAT_EQ(surface.FontSize(), 8.0f);

  surface.ops.clear();
  Draw(QDate(2024, 4, 1));
  EXPECT_EQ(surface.Texts().front(), "Apr. 2024");
  for (const Op& op : surface.Of(Op::Print)) EXPECT_FLOAT_EQ(op.fontSize, 8.0f);
}

TEST_F(CalendarTest, EmptyPersonBoxMarksOnlyEntriesWithoutPerson) {
  EntryRow noPerson = Entry(QDate(2024, 3, 9), "", "Sport");
  noPerson.person() = Value();
  entries.rows.push_back(noPerson);
  entries.rows.push_back(Entry(QDate(2024, 3, 10), "Haushalt", "Sport"));
  DrawMonthCalendar(surface, entries, {QDate(2024, 3, 1), Value(), QDate(2024, 3, 5), Value("")});
  const std::vector<Op> boxes = surface.FillsOf(cc::kCategory);
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_FLOAT_EQ(boxes[0].y1, static_cast<float>(0.05 * kH + 9.1 * (0.9 * kH / 31)));
}

TEST_F(CalendarTest, DayAtUsesStrictRowBounds) {
  const float mid = (g.RowTop(12) + g.RowBottom(12)) / 2;
  EXPECT_EQ(g.DayAt(1, mid, 31), 12);
  EXPECT_EQ(g.DayAt(kW - 1, g.RowTop(1) + 1, 31), 1);
  EXPECT_EQ(g.DayAt(10, 0.03f * kH, 31), 0);                            // header
  EXPECT_EQ(g.DayAt(10, (0.05f * kH + g.RowTop(1)) / 2, 31), 0);        // band under the header
  EXPECT_EQ(g.DayAt(10, g.RowBottom(12), 31), 0);                       // line between rows
  EXPECT_EQ(g.DayAt(10, (g.RowTop(31) + g.RowBottom(31)) / 2, 30), 0);  // no 31st in April
  EXPECT_EQ(g.DayAt(10, (g.RowTop(31) + g.RowBottom(31)) / 2, 31), 31);
  EXPECT_EQ(g.DayAt(10, g.RowBottom(31) + 1, 31), 0);
  EXPECT_EQ(g.DayAt(0, mid, 31), 0);
  EXPECT_EQ(g.DayAt(-5, mid, 31), 0);
  EXPECT_EQ(g.DayAt(kW, mid, 31), 0);
}

TEST_F(CalendarTest, MonthStepsLandOnTheFirstAndCrossYears) {
  QDate d(2024, 3, 15);
  for (int i = 0; i < 12; ++i) d = NextMonthStart(d);
  EXPECT_EQ(d, QDate(2025, 3, 1));
  EXPECT_EQ(NextMonthStart(QDate(2024, 1, 31)), QDate(2024, 2, 1));
  EXPECT_EQ(NextMonthStart(QDate(2023, 12, 31)), QDate(2024, 1, 1));
  EXPECT_EQ(PrevMonthStart(QDate(2024, 1, 20)), QDate(2023, 12, 1));
  EXPECT_EQ(PrevMonthStart(QDate(2024, 3, 31)), QDate(2024, 2, 1));
}

TEST_F(CalendarTest, MonthWithoutValidDateDrawsOnlyTheHeader) {
  Draw(QDate());
  EXPECT_TRUE(LabelFills().empty());
}
}  // namespace
