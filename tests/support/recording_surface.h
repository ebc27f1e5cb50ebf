// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <QStringList>
#include <vector>

#include "surface/drawing_surface.h"

// A drawing surface that records every operation with the state in force at that moment,
// so tests can check exact rectangles, texts, fonts and colours.
class RecordingSurface : public DrawingSurface {
 public:
  struct Op {
    enum Kind { Clear, Fill, Outline, Print } kind;
    float x1 = 0, y1 = 0, x2 = 0, y2 = 0;  // rectangle corners, or the text position in x1, y1
    Rgb color{};                           // fill colour, or the text colour of a print
    QString text{};
    QString fontName{};
    float fontSize = 0;
  };

  RecordingSurface(float width, float height) : width_(width), height_(height) {}

  float Width() const override { return width_; }
  float Height() const override { return height_; }
  void Clear() override { ops.push_back({Op::Clear}); }
  void FillRect(float x1, float y1, float x2, float y2, Rgb color) override {
    ops.push_back({Op::Fill, x1, y1, x2, y2, color});
  }
  void OutlineRect(float x1, float y1, float x2, float y2) override {
    ops.push_back({Op::Outline, x1, y1, x2, y2, colors::kBlack});
  }
  void Print(const QString& text) override {
    ops.push_back({Op::Print, TextX(), TextY(), 0, 0, TextColor(), text, FontName(), FontSize()});
  }

  std::vector<Op> Of(Op::Kind kind) const {
    std::vector<Op> out;
    for (const Op& op : ops)
      if (op.kind == kind) out.push_back(op);
    return out;
  }
  std::vector<Op> FillsOf(Rgb color) const {
    std::vector<Op> out;
    for (const Op& op : ops)
      if (op.kind == Op::Fill && op.color == color) out.push_back(op);
    return out;
  }
  QStringList Texts() const {
    QStringList out;
    for (const Op& op : ops)
      if (op.kind == Op::Print) out << op.text;
    return out;
  }

  std::vector<Op> ops;

 private:
  float width_, height_;
};
