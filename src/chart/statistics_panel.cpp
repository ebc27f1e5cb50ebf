// SPDX-License-Identifier: GPL-3.0-or-later
#include "chart/statistics_panel.h"

#include <QString>
#include <optional>

#include "format/number_format.h"

namespace {
constexpr Rgb kCaptionBox{210, 210, 210};
constexpr float kFontSize = 8;

// A box from (left, top) to (right, bottom) in fractions of the panel's width and height, with
// its text: a Number in the print notation, a Text as it is, Empty as the empty text; nothing
// at all for no content.
void DrawBox(DrawingSurface& s, double left, double top, double right, double bottom, Rgb fill,
             const std::optional<Value>& content) {
  const double W = s.Width(), H = s.Height();
  const auto x1 = static_cast<float>(left * W), x2 = static_cast<float>(right * W);
  const auto y1 = static_cast<float>(top * H), y2 = static_cast<float>(bottom * H);
  s.FillRect(x1, y1, x2, y2, fill);
  s.OutlineRect(x1, y1, x2, y2);
  s.SetTextPosition(static_cast<float>(left * W + 0.01 * W),
                    static_cast<float>(top * H + 0.001 * H));
  s.SetFontName(kFontName);
  s.SetFontSize(kFontSize);
  if (!content) return;
  if (content->IsNumber())
    s.PrintNumber(content->Number());
  else
    s.Print(content->Text());
}

void DrawRow(DrawingSurface& s, double top, double bottom, const QString& caption,
             const std::optional<Value>& value) {
  DrawBox(s, 0.05, top, 0.30, bottom, kCaptionBox, Value(caption));
  DrawBox(s, 0.31, top, 0.60, bottom, colors::kWhite, value);
}
}  // namespace

MonthStatistics MonthStatisticsOf(const std::vector<Value>& dailyTotals) {
  MonthStatistics stats;
  for (const Value& total : dailyTotals) {
    if (!(total.Number() > 0)) continue;
    stats.sum = stats.sum + total;
    stats.count = stats.count + Value(1);
  }
  if (stats.count.Number() > 0) {
    stats.average = Value(RoundToTenthHalfEven(stats.sum.Number() / stats.count.Number()));
  }
  return stats;
}

void DrawStatisticsPanel(DrawingSurface& surface, const std::vector<Value>& dailyTotals) {
  const MonthStatistics stats = MonthStatisticsOf(dailyTotals);
  DrawRow(surface, 0.1, 0.2, QStringLiteral("Summe"), stats.sum);
  const bool anyDay = !stats.average.IsEmpty();
  DrawRow(surface, 0.3, 0.4, QStringLiteral("Durchschnitt"),
          anyDay ? std::optional<Value>(stats.average) : std::nullopt);
  DrawRow(surface, 0.5, 0.6, QStringLiteral("Anzahl"), stats.count);
}

QString DescribeStatisticsPanel(const std::vector<Value>& dailyTotals) {
  const MonthStatistics stats = MonthStatisticsOf(dailyTotals);
  const auto shown = [](const Value& value) {
    if (value.IsNumber()) return PrintNotation(value.Number()).trimmed();
    return value.IsEmpty() ? QStringLiteral("leer") : value.Text();
  };
  return QStringLiteral("Statistik: Summe ") + shown(stats.sum) +
         QStringLiteral(", Durchschnitt ") + shown(stats.average) + QStringLiteral(", Anzahl ") +
         shown(stats.count);
}
