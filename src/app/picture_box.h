// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QAccessible>
#include <QHash>
#include <QImage>
#include <QPainter>
#include <QStaticText>
#include <QWidget>
#include <memory>
#include <optional>
#include <vector>

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

  // The picture, in the screen's pixels: the widget's size times the device pixel ratio.
  const QImage& Picture() const;
  // Pixels of the picture per twip in x and y, from the screen's dots per inch and ratio.
  double PixelsPerTwipX() const;
  double PixelsPerTwipY() const;
  // A point in twips as a pixel of the picture (at a ratio of 1, of the widget as well).
  QPoint ToPixels(float x, float y) const;
  // The device pixel ratio the picture is drawn at.
  double Ratio() const;

 signals:
  void Pressed(float xTwips, float yTwips);
  // The box moved to a screen of another device pixel ratio: its picture wants drawing anew.
  void ScaleChanged();

 protected:
  void paintEvent(QPaintEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void showEvent(QShowEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  bool event(QEvent* event) override;

 private:
  bool FitImage();
  QSize PictureSize() const;
  // The painter on the picture, opened by the first drawing and kept open for the ones after it
  // until the picture is shown, resized or looked at: a drawing of many boxes and texts opens
  // it once.
  QPainter& Painter();
  void EndPainting() const;
  // A font of the surface, made once for its name and size, with the texts laid out in it.
  struct Font {
    QString name;
    float size = 0;
    QFont font;
    QHash<QString, QStaticText> laidOut;
  };
  Font& CurrentFont();
  const QStaticText* LaidOut(const QString& text, Font& font);
  // The screen's pixels per twip, taken again whenever a drawing begins and when the box is
  // shown or resized; looking them up for every box drawn would cost more than drawing it.
  void TakeScale();

  QImage image_;
  mutable std::unique_ptr<QPainter> painter_;
  const Font* painterFont_ = nullptr;
  std::optional<Rgb> painterPen_;
  std::vector<std::unique_ptr<Font>> fonts_;
  Font* font_ = nullptr;
  double pixelsPerTwipX_ = 0, pixelsPerTwipY_ = 0;
  double ratio_ = 0;
  QString description_;
  QString usage_;
  QAccessible::Role role_ = QAccessible::Graphic;
};
