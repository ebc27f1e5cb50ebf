// SPDX-License-Identifier: GPL-3.0-or-later
// Printed texts are laid out once and kept: the kept layout must draw exactly the pixels that
// drawing the text at its baseline draws, in every font and size, also when drawn again.
#include <QPainter>

#include "app/picture_box.h"
#include "app_fixture.h"

TEST_F(AppTest, PrintDrawsTheSamePixelsAsDrawingTheTextAtItsBaseline) {
  StartUp();
  PictureBox* box = window->statisticsPanel;
  const float tw = 1.0f / static_cast<float>(box->PixelsPerTwipX());
  const QString texts[] = {"Sport",  "persönli", "05.03. (Di.)", "März 2026", " 0,3 ",
                           "Wjg@€ß", "",         "zwei\nZeilen", "Tab\tText"};
  int round = 0;
  for (const QString& family : {QStringLiteral("Tahoma"), QStringLiteral("DejaVu Sans")}) {
    for (const float points : {7.0f, 8.0f, 8.25f}) {
      for (const QString& text : texts) {
        for (int again = 0; again < 2; ++again, ++round) {
          box->Clear();
          box->SetFontName(family);
          box->SetFontSize(points);
          box->SetTextColor(Rgb{10, 20, 30});
          box->SetTextPosition(static_cast<float>(3 + round % 5) * tw, 4 * tw);
          box->Print(text);

          QImage expected(box->Picture().size(), box->Picture().format());
          expected.setDotsPerMeterX(box->Picture().dotsPerMeterX());
          expected.setDotsPerMeterY(box->Picture().dotsPerMeterY());
          expected.fill(Qt::white);
          QFont font(family);
          font.setPointSizeF(points);
          QPainter painter(&expected);
          painter.setFont(font);
          painter.setPen(QColor(10, 20, 30));
          const QPoint at = box->ToPixels(box->TextX(), box->TextY());
          painter.drawText(at.x(), at.y() + painter.fontMetrics().ascent(), text);
          painter.end();
          ASSERT_TRUE(box->Picture() == expected)
              << family.toStdString() << " " << points << " \"" << text.toStdString() << "\"";
        }
      }
    }
  }
}
