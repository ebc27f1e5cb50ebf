// SPDX-License-Identifier: GPL-3.0-or-later
// Also run by ctest at a scale of 1.5 (QT_SCALE_FACTOR), as laptops are set up.
#include <gtest/gtest.h>

#include <QTest>
#include <cmath>

#include "app/picture_box.h"

// The picture holds the screen's own pixels and is shown one to one: lines stay whole pixels
// and text is drawn at the screen's resolution instead of being scaled up as a bitmap.
TEST(PictureRatio, TheBoxDrawsInTheScreensOwnPixels) {
  PictureBox box;
  box.resize(300, 120);
  box.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&box));
  const double ratio = box.devicePixelRatioF();
  if (qEnvironmentVariableIsSet("QT_SCALE_FACTOR")) {
    ASSERT_EQ(ratio, qEnvironmentVariable("QT_SCALE_FACTOR").toDouble());
  }
  box.Clear();
  box.OutlineRect(150, 150, box.Width() - 150, box.Height() - 150);
  box.SetTextPosition(600, 600);
  box.Print(QStringLiteral("Mittwoch 12,5"));
  const QImage picture = box.Picture();
  ASSERT_EQ(picture.size(), QSize(static_cast<int>(std::lround(300 * ratio)),
                                  static_cast<int>(std::lround(120 * ratio))));

  // The outline: every line as wide as the others, in black only.
  const int line = std::max(1, static_cast<int>(std::lround(ratio)));
  const QPoint topLeft = box.ToPixels(150, 150);
  const int x = picture.width() / 2, y = picture.height() / 2;
  for (int k = 0; k < line + 2; ++k) {
    const QRgb expected = k < line ? qRgb(0, 0, 0) : qRgb(255, 255, 255);
    EXPECT_EQ(picture.pixel(x, topLeft.y() + k), expected) << k;
    EXPECT_EQ(picture.pixel(topLeft.x() + k, y), expected) << k;
  }

  // On the screen, inside its frame, the box shows exactly the picture's pixels.
  box.clearFocus();
  const QImage shown = box.grab().toImage().convertToFormat(QImage::Format_RGB32);
  ASSERT_EQ(shown.size(), picture.size());
  const int edge = static_cast<int>(std::ceil(2 * ratio));
  const QRect inside = picture.rect().adjusted(edge, edge, -edge, -edge);
  EXPECT_TRUE(shown.copy(inside) == picture.copy(inside));
}
