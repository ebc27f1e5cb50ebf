// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QHash>
#include <QImage>
#include <QStaticText>
#include <QWidget>

#include "surface/drawing_surface.h"

// A picture box: a drawing surface in twips whose picture lives in an image, so it persists
// while hidden or covered and is repainted from the image. A press of any mouse button reports
// its position in twips.
class PictureBox : public QWidget, public DrawingSurface {
  Q_OBJECT

 public:
  explicit PictureBox(QWidget* parent = nullptr);

  float Width() const override;
  float Height() const override;
  void Clear() override;
  void FillRect(float x1, float y1, float x2, float y2, Rgb color) override;
  void OutlineRect(float x1, float y1, float x2, float y2) override;
  void Print(const QString& text) override;

  const QImage& Picture() const { return image_; }
  // Pixels per twip in x and y, from the screen's dots per inch.
  double PixelsPerTwipX() const;
  double PixelsPerTwipY() const;
  QPoint ToPixels(float x, float y) const;

 signals:
  void Pressed(float xTwips, float yTwips);

 protected:
  void paintEvent(QPaintEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;

 private:
  bool FitImage();
  const QStaticText* LaidOut(const QString& text, const QFont& font);
  QImage image_;
  QHash<QString, QStaticText> laidOut_;
};
