// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/picture_box.h"

#include <QAccessibleWidget>
#include <QMouseEvent>
#include <QPainter>
#include <QStyle>
#include <QStyleOptionFocusRect>
#include <algorithm>
#include <cmath>

namespace {
constexpr double kTwipsPerInch = 1440.0;
QColor ToQColor(Rgb c) {
  return QColor(c.r, c.g, c.b);
}

// A picture box is announced as the kind of picture it holds.
class PictureBoxAccessible : public QAccessibleWidget {
 public:
  explicit PictureBoxAccessible(PictureBox* box) : QAccessibleWidget(box) {}
  QAccessible::Role role() const override {
    return static_cast<const PictureBox*>(widget())->AccessibleRole();
  }
};

QAccessibleInterface* PictureBoxAccessibleFor(const QString& className, QObject* object) {
  if (className == QLatin1String("PictureBox") && object && object->isWidgetType())
    return new PictureBoxAccessible(static_cast<PictureBox*>(object));
  return nullptr;
}
}  // namespace

PictureBox::PictureBox(QWidget* parent) : QWidget(parent) {
  static const bool accessibleFactory = [] {
    QAccessible::installFactory(PictureBoxAccessibleFor);
    return true;
  }();
  Q_UNUSED(accessibleFactory);
  setAttribute(Qt::WA_OpaquePaintEvent);
  setFocusPolicy(Qt::StrongFocus);
}

// Changing either text tells a screen reader: the widget sends the change event itself.
void PictureBox::Describe(const QString& name, const QString& description) {
  setAccessibleName(name);
  description_ = description;
  setAccessibleDescription(usage_.isEmpty() ? description_ : description_ + u' ' + usage_);
}

void PictureBox::SetUsage(const QString& usage) {
  usage_ = usage;
  Describe(accessibleName(), description_);
}

void PictureBox::TakeScale() {
  const double ratio = devicePixelRatioF();
  const bool changed = ratio_ > 0 && ratio != ratio_;
  ratio_ = ratio;
  pixelsPerTwipX_ = logicalDpiX() * ratio_ / kTwipsPerInch;
  pixelsPerTwipY_ = logicalDpiY() * ratio_ / kTwipsPerInch;
  if (changed) {
    // The fonts are made for the ratio.
    EndPainting();
    fonts_.clear();
    font_ = nullptr;
    painterFont_ = nullptr;
    emit ScaleChanged();
  }
}

double PictureBox::Ratio() const {
  return ratio_ > 0 ? ratio_ : devicePixelRatioF();
}

double PictureBox::PixelsPerTwipX() const {
  return pixelsPerTwipX_ > 0 ? pixelsPerTwipX_ : logicalDpiX() * Ratio() / kTwipsPerInch;
}
double PictureBox::PixelsPerTwipY() const {
  return pixelsPerTwipY_ > 0 ? pixelsPerTwipY_ : logicalDpiY() * Ratio() / kTwipsPerInch;
}

QSize PictureBox::PictureSize() const {
  return QSize(static_cast<int>(std::lround(width() * Ratio())),
               static_cast<int>(std::lround(height() * Ratio())));
}

float PictureBox::Width() const {
  return static_cast<float>(PictureSize().width() / PixelsPerTwipX());
}
float PictureBox::Height() const {
  return static_cast<float>(PictureSize().height() / PixelsPerTwipY());
}

QPoint PictureBox::ToPixels(float x, float y) const {
  return QPoint(static_cast<int>(std::lround(x * PixelsPerTwipX())),
                static_cast<int>(std::lround(y * PixelsPerTwipY())));
}

void PictureBox::resizeEvent(QResizeEvent*) {
  TakeScale();
  FitImage();
}

void PictureBox::showEvent(QShowEvent*) {
  TakeScale();
}

// Moved to a screen of another ratio, the picture is drawn anew at that ratio by whoever draws it.
bool PictureBox::event(QEvent* event) {
  const bool handled = QWidget::event(event);
  if (event->type() == QEvent::ScreenChangeInternal) {
    TakeScale();
    FitImage();
  }
  return handled;
}

// A hidden widget gets no resize event until it is shown, so every drawing fits the picture to
// the widget's size first.
// The picture has the screen's pixels, not the widget's logical ones, so lines and texts are
// drawn sharp at a fractional scale too; its fonts are that much larger (CurrentFont).
bool PictureBox::FitImage() {
  if (size().isEmpty()) return false;
  const QSize pixels = PictureSize();
  if (image_.size() == pixels) return true;
  EndPainting();
  QImage resized(pixels, QImage::Format_RGB32);
  resized.fill(Qt::white);
  resized.setDotsPerMeterX(static_cast<int>(std::lround(logicalDpiX() / 0.0254)));
  resized.setDotsPerMeterY(static_cast<int>(std::lround(logicalDpiY() / 0.0254)));
  QPainter painter(&resized);
  if (!image_.isNull()) painter.drawImage(0, 0, image_);
  painter.end();
  image_ = resized;
  return true;
}

// The whole box is repainted once the drawing is done, which ends the painter.
QPainter& PictureBox::Painter() {
  if (!painter_) {
    painter_ = std::make_unique<QPainter>(&image_);
    painterFont_ = nullptr;
    painterPen_.reset();
    update();
  }
  return *painter_;
}

void PictureBox::EndPainting() const {
  painter_.reset();
}

const QImage& PictureBox::Picture() const {
  EndPainting();
  return image_;
}

void PictureBox::Clear() {
  TakeScale();
  if (!FitImage()) return;
  EndPainting();
  image_.fill(Qt::white);
  update();
}

void PictureBox::FillRect(float x1, float y1, float x2, float y2, Rgb color) {
  if (!FitImage()) return;
  Painter().fillRect(QRect::span(ToPixels(x1, y1), ToPixels(x2, y2)), ToQColor(color));
}

void PictureBox::OutlineRect(float x1, float y1, float x2, float y2) {
  if (!FitImage()) return;
  const QRect r = QRect::span(ToPixels(x1, y1), ToPixels(x2, y2));
  QPainter& painter = Painter();
  const QColor black(Qt::black);
  // A line one logical pixel wide, in whole screen pixels: every line is equally wide.
  const int w = std::max(1, static_cast<int>(std::lround(Ratio())));
  painter.fillRect(QRect(r.left(), r.top(), r.width(), w), black);
  painter.fillRect(QRect(r.left(), r.bottom() + 1 - w, r.width(), w), black);
  painter.fillRect(QRect(r.left(), r.top(), w, r.height()), black);
  painter.fillRect(QRect(r.right() + 1 - w, r.top(), w, r.height()), black);
}

PictureBox::Font& PictureBox::CurrentFont() {
  if (font_ && font_->name == FontName() && font_->size == FontSize()) return *font_;
  for (const std::unique_ptr<Font>& f : fonts_) {
    if (f->name == FontName() && f->size == FontSize()) return *(font_ = f.get());
  }
  constexpr std::size_t kMostFonts = 16;
  if (fonts_.size() >= kMostFonts) {
    fonts_.clear();
    painterFont_ = nullptr;
  }
  auto made = std::make_unique<Font>();
  made->name = FontName();
  made->size = FontSize();
  QFont font(made->name);
  font.setPointSizeF(made->size * Ratio());
  // Sized for the picture's dots per inch: a text laid out ahead (LaidOut) would otherwise take
  // the screen's, which differ from the picture's at a scale other than 1.
  made->font = QFont(font, &image_);
  fonts_.push_back(std::move(made));
  return *(font_ = fonts_.back().get());
}

void PictureBox::Print(const QString& text) {
  if (!FitImage()) return;
  Font& font = CurrentFont();
  QPainter& painter = Painter();
  if (painterFont_ != &font) {
    painter.setFont(font.font);
    painterFont_ = &font;
  }
  if (painterPen_ != TextColor()) {
    painter.setPen(ToQColor(TextColor()));
    painterPen_ = TextColor();
  }
  const QPoint at = ToPixels(TextX(), TextY());
  if (const QStaticText* laidOut = LaidOut(text, font)) {
    painter.drawStaticText(at, *laidOut);  // the same pixels as drawText at the baseline
  } else {
    painter.drawText(at.x(), at.y() + painter.fontMetrics().ascent(), text);
  }
}

// The calendar prints the same day labels and category captions on every drawing, and laying a
// text out costs more than drawing it: texts are laid out once per font. Only one-line texts
// without control characters, which lay out exactly as drawText draws them.
const QStaticText* PictureBox::LaidOut(const QString& text, Font& font) {
  constexpr qsizetype kMostTexts = 1024;
  for (const QChar c : text) {
    if (c.unicode() < 0x20 || c.category() == QChar::Separator_Line ||
        c.category() == QChar::Separator_Paragraph)
      return nullptr;
  }
  auto found = font.laidOut.constFind(text);
  if (found != font.laidOut.cend()) return &*found;
  if (font.laidOut.size() >= kMostTexts) font.laidOut.clear();
  QStaticText laid(text);
  laid.setTextFormat(Qt::PlainText);
  laid.prepare(QTransform(), font.font);
  return &*font.laidOut.insert(text, laid);
}

void PictureBox::paintEvent(QPaintEvent*) {
  if (!FitImage()) return;
  EndPainting();
  QPainter painter(this);
  // The picture's pixels are the screen's: drawn over the widget's logical rectangle, one to one.
  painter.drawImage(QRectF(rect()), image_, QRectF(image_.rect()));
  painter.setPen(QColor(128, 128, 128));
  painter.drawRect(rect().adjusted(0, 0, -1, -1));
  if (hasFocus()) {
    // Over the picture, not into it, and only along its edge: a style that tints the inside of
    // its focus frame would change the colours of the picture.
    constexpr int kEdge = 3;
    QStyleOptionFocusRect focus;
    focus.initFrom(this);
    focus.rect = rect().adjusted(1, 1, -1, -1);
    focus.backgroundColor = Qt::white;
    painter.setClipRegion(QRegion(rect()) - QRegion(rect().adjusted(kEdge, kEdge, -kEdge, -kEdge)));
    style()->drawPrimitive(QStyle::PE_FrameFocusRect, &focus, &painter, this);
  }
}

void PictureBox::mousePressEvent(QMouseEvent* event) {
  const QPointF p = event->position() * Ratio();
  emit Pressed(static_cast<float>(p.x() / PixelsPerTwipX()),
               static_cast<float>(p.y() / PixelsPerTwipY()));
}
