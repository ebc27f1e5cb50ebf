// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QAccessible>
#include <QHash>
#include <QImage>
#include <QStaticText>
#include <QWidget>

#include "surface/drawing_surface.h"

// A picture box: a drawing surface in twips whose picture lives in an image, so it persists
// while hidden or covered and is repainted from the image. A press of any mouse button reports
// its position in twips. It takes the focus and shows it with the style's focus frame; for a
// screen reader it says in words what its picture shows.
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

  // What the picture shows, in words: a screen reader hears the name and the description, the
  // usage (the keys the box takes) after the description, and is told when either changes.
  void Describe(const QString& name, const QString& description);
  void SetUsage(const QString& usage);
  // The kind of picture a screen reader announces; set before the first time it asks.
  void SetAccessibleRole(QAccessible::Role role) { role_ = role; }
  QAccessible::Role AccessibleRole() const { return role_; }

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
  QString description_;
  QString usage_;
  QAccessible::Role role_ = QAccessible::Graphic;
};
