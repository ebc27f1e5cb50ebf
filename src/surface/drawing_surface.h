// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

// The face of every text the window shows and the pictures draw.
inline const QString kFontName = QStringLiteral("Tahoma");

// A colour as red, green and blue components of 0 to 255.
struct Rgb {
  int r = 0, g = 0, b = 0;
  friend bool operator==(const Rgb&, const Rgb&) = default;
};

namespace colors {
inline constexpr Rgb kBlack{0, 0, 0};
inline constexpr Rgb kWhite{255, 255, 255};
}  // namespace colors

// An immediate-mode drawing surface in twips (1/1440 inch), origin top-left, y downwards.
// Text colour, font name, font size and text position are lasting state: a value set by one
// drawing stays in force for later ones until it is set again.
class DrawingSurface {
 public:
  virtual ~DrawingSurface() = default;

  virtual float Width() const = 0;
  virtual float Height() const = 0;
  // Paints the whole picture in the background colour (white).
  virtual void Clear() = 0;
  // Paints the solid rectangle between the corners, edges included.
  virtual void FillRect(float x1, float y1, float x2, float y2, Rgb color) = 0;
  // Paints the four edges of the rectangle in black, one pixel wide.
  virtual void OutlineRect(float x1, float y1, float x2, float y2) = 0;
  // Draws the text with its top-left corner at the text position, on a transparent background.
  virtual void Print(const QString& text) = 0;

  // A number in the print notation (" 0,3 " in German).
  void PrintNumber(double number);

  void SetTextPosition(float x, float y) {
    textX_ = x;
    textY_ = y;
  }
  void SetFontName(const QString& name) { fontName_ = name; }
  void SetFontSize(float points) { fontSize_ = points; }
  void SetTextColor(Rgb color) { textColor_ = color; }

  float TextX() const { return textX_; }
  float TextY() const { return textY_; }
  const QString& FontName() const { return fontName_; }
  float FontSize() const { return fontSize_; }
  Rgb TextColor() const { return textColor_; }

 private:
  float textX_ = 0, textY_ = 0;
  QString fontName_ = QStringLiteral("Sans Serif");
  float fontSize_ = 8.25f;
  Rgb textColor_ = colors::kBlack;
};
