// Draws gauges as the simulator would: the head bitmap opaque, child bitmaps with
// pure black transparent, needles rotated about their pivots, sliders displaced,
// text fields in their fonts on their background colours. Hidden elements are
// skipped; every element is placed in gauge pixels.
#include <QFont>
#include <QPainter>
#include <cmath>

#include "host.h"
#include "resources.h"
#include "sys/text_codec.h"

namespace host {

static QColor FromColorRef(uint32_t c) {
  return QColor(c & 0xFF, (c >> 8) & 0xFF, (c >> 16) & 0xFF);
}

QImage MakeSprite(const QImage& bitmap) {
  QImage sprite = bitmap.convertToFormat(QImage::Format_ARGB32);
  for (int y = 0; y < sprite.height(); ++y) {
    QRgb* line = reinterpret_cast<QRgb*>(sprite.scanLine(y));
    for (int x = 0; x < sprite.width(); ++x)
      if ((line[x] & 0x00FFFFFFu) == 0) line[x] = 0;
  }
  return sprite;
}

// DrawText flags the fields use.
enum : uint32_t {
  kDtCenter = 0x1,
  kDtRight = 0x2,
  kDtVCenter = 0x4,
  kDtBottom = 0x8,
  kDtSingleLine = 0x20
};

static void DrawString(QPainter& p, const StringElement& s, const ElementState& state) {
  QRect box(s.base.x, s.base.y, s.width, s.height);
  p.fillRect(box, FromColorRef(state.shownBackgroundColour));
  QFont font(QString::fromLatin1(s.fontFace, int(strnlen(s.fontFace, sizeof s.fontFace))));
  font.setStyleHint(QFont::TypeWriter);
  font.setPixelSize(std::max(6, int(s.height * 0.8)));
  font.setWeight(s.fontWeight >= 700 ? QFont::Bold : QFont::Normal);
  p.setFont(font);
  p.setPen(FromColorRef(state.shownTextColour));
  int flags = 0;
  flags |= (s.formatFlags & kDtCenter)  ? Qt::AlignHCenter
           : (s.formatFlags & kDtRight) ? Qt::AlignRight
                                        : Qt::AlignLeft;
  flags |= (s.formatFlags & kDtVCenter)  ? Qt::AlignVCenter
           : (s.formatFlags & kDtBottom) ? Qt::AlignBottom
                                         : Qt::AlignTop;
  if (!(s.formatFlags & kDtSingleLine)) flags |= Qt::TextWordWrap;
  p.drawText(box, flags, QString::fromStdString(sys::Cp1252ToUtf8(state.shownText)));
}

static void DrawElement(QPainter& p, const Gauge& gauge, const GaugeElement* e, bool isHead) {
  const ElementState* state = gauge.StateOf(e);
  if (!state || (e->flags & kElementHidden)) return;
  switch (e->kind) {
    case kImageElement:
      if (state->bitmap)
        p.drawImage(QPoint(e->x, e->y), isHead || !state->sprite ? *state->bitmap : *state->sprite);
      break;
    case kNeedleElement:
      if (state->sprite) {
        double angle = gauge.NeedleAngle(size_t(
            std::find(gauge.elements.begin(), gauge.elements.end(), e) - gauge.elements.begin()));
        p.save();
        p.translate(e->x, e->y);
        p.rotate(-angle);  // screen y grows downward
        p.drawImage(QPointF(-e->pivotX, -e->pivotY), *state->sprite);
        p.restore();
      }
      break;
    case kSliderElement:
      if (state->sprite)
        p.drawImage(QPointF(e->x + state->sliderX, e->y + state->sliderY), *state->sprite);
      break;
    case kStringElement:
      DrawString(p, *reinterpret_cast<const StringElement*>(e), *state);
      break;
  }
}

static void DrawGauge(QPainter& p, const Gauge& gauge) {
  p.setRenderHint(QPainter::Antialiasing, true);
  p.setRenderHint(QPainter::SmoothPixmapTransform, true);
  for (const GaugeElement* e : gauge.elements) DrawElement(p, gauge, e, e == gauge.head);
}

QImage Host::RenderGauge(const Gauge& gauge) const {
  QImage image(std::max(1, gauge.width), std::max(1, gauge.height), QImage::Format_RGB32);
  image.fill(Qt::black);
  QPainter p(&image);
  DrawGauge(p, gauge);
  return image;
}

QImage Host::RenderPanel() const {
  int width = 1, height = 1;
  for (const auto& g : gauges_) {
    width = std::max(width, g->x + g->width);
    height = std::max(height, g->y + g->height);
  }
  QImage image(width, height, QImage::Format_RGB32);
  image.fill(QColor(40, 42, 46));  // panel grey
  QPainter p(&image);
  for (const auto& g : gauges_) {
    p.save();
    p.translate(g->x, g->y);
    DrawGauge(p, *g);
    p.restore();
  }
  return image;
}

}  // namespace host
