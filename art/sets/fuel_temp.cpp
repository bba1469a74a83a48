// Art of VELT_DD_OIL: the round dial (face 4096, 302 x 303) titled FUEL TEMP with
// a LEFT and a RIGHT scale marked -50, 0 and 50 in degrees C, and the two needle
// pictures (8192 right, 8240 left; identical white bars pointing right).
// The face is drawn at gauge (9,0), so face pixel = gauge pixel - (9,0); the
// marks sit where the needles' scale tables point.
#include <QPainter>
#include <QPainterPath>
#include <cmath>

#include "art.h"

namespace {

constexpr QPointF kPivot(157 - 9, 155);  // the needles' pivot, face pixels

struct Mark {
  QPointF at;  // scale point, face pixels
  const char* label;
};

void DrawScale(QPainter& p, const Mark (&marks)[3], bool labelsInside) {
  for (const Mark& m : marks) {
    QPointF toward = kPivot - m.at;
    double length = std::hypot(toward.x(), toward.y());
    QPointF unit = toward / length;
    p.setPen(QPen(Qt::white, 4, Qt::SolidLine, Qt::FlatCap));
    p.drawLine(m.at, m.at + unit * 16);
    QPointF text = m.at + unit * (labelsInside ? 34 : 30);
    p.setPen(Qt::white);
    p.drawText(QRectF(text.x() - 24, text.y() - 10, 48, 20), Qt::AlignCenter, m.label);
  }
  // Minor ticks every 10 degrees C between the marks, by angle interpolation.
  p.setPen(QPen(QColor(200, 200, 200), 2));
  for (int i = 0; i < 2; ++i) {
    double a0 = std::atan2(marks[i].at.y() - kPivot.y(), marks[i].at.x() - kPivot.x());
    double a1 = std::atan2(marks[i + 1].at.y() - kPivot.y(), marks[i + 1].at.x() - kPivot.x());
    double r0 = std::hypot(marks[i].at.x() - kPivot.x(), marks[i].at.y() - kPivot.y());
    double r1 = std::hypot(marks[i + 1].at.x() - kPivot.x(), marks[i + 1].at.y() - kPivot.y());
    double sweep = std::remainder(a1 - a0, 2 * M_PI);
    for (int k = 1; k < 5; ++k) {
      double t = k / 5.0, a = a0 + t * sweep, r = r0 + t * (r1 - r0);
      QPointF outer = kPivot + QPointF(std::cos(a), std::sin(a)) * r;
      QPointF inner = kPivot + QPointF(std::cos(a), std::sin(a)) * (r - 9);
      p.drawLine(outer, inner);
    }
  }
}

std::vector<art::Bitmap> DrawFuelTempArt() {
  QImage face = art::NewCanvas(302, 303, QColor(24, 24, 24));
  {
    QPainter p(&face);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(QColor(120, 120, 120), 6));
    p.setBrush(QColor(8, 8, 8));
    p.drawEllipse(QPointF(151, 151), 146, 146);
    QFont font("Liberation Sans");
    font.setPixelSize(17);
    font.setBold(true);
    p.setFont(font);
    const Mark right[3] = {{{221, 72}, "50"}, {{244, 147}, "0"}, {{226, 226}, "-50"}};
    const Mark left[3] = {{{53, 71}, "50"}, {{24, 147}, "0"}, {{51, 228}, "-50"}};
    DrawScale(p, right, true);
    DrawScale(p, left, true);
    p.setPen(QColor(255, 200, 60));
    font.setPixelSize(22);
    p.setFont(font);
    p.drawText(QRectF(0, 40, 302, 30), Qt::AlignCenter, "FUEL TEMP");
    font.setPixelSize(15);
    p.setFont(font);
    p.setPen(Qt::white);
    p.drawText(QRectF(66, 166, 64, 20), Qt::AlignCenter, "LEFT");
    p.drawText(QRectF(166, 166, 64, 20), Qt::AlignCenter, "RIGHT");
    p.drawText(QRectF(0, 230, 302, 24), Qt::AlignCenter, QString::fromUtf8("°C"));
    p.setBrush(QColor(90, 90, 90));
    p.setPen(Qt::NoPen);
    p.drawEllipse(kPivot, 9, 9);
  }
  QImage needle = art::NewCanvas(112, 25);
  QPainter(&needle).fillRect(38, 11, 74, 3, Qt::white);
  return {{4096, face}, {8192, needle}, {8240, needle}};
}

}  // namespace

TERVANE_ART_SET("fuel_temp", DrawFuelTempArt);
