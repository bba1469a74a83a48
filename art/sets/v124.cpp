// Art of the V1, V2 and V4 GPS panels: for each, the face (101) with its printed
// labels and separator lines in green on black, and the power-failure overlay
// (102), a dark rectangle over the screen area inside a pure black margin (the host
// draws child bitmaps with pure black transparent). Labels sit under the panel's
// mouse rectangles and beside the text fields, which the host draws on their own
// dark boxes; nothing printed here may lie under a field's box.
#include <QPainter>

#include "art.h"

namespace {

const QColor kLabelGreen(0, 209, 118);
const QColor kScreenDark(4, 4, 4);

struct Label {
  QRect box;  // face pixels
  const char* text;
  int align = Qt::AlignLeft | Qt::AlignVCenter;
};

struct Face {
  int width, height;
  int fontPixels;   // label text height
  int titlePixels;  // title text height
  QRect title;      // the data-manager button's area
  const char* titleText;
  std::vector<Label> labels;
  std::vector<int> separators;  // y of horizontal lines across the screen
  QRect screen;                 // the area the overlay darkens
};

QImage DrawFace(const Face& f) {
  QImage face = art::NewCanvas(f.width, f.height);
  QPainter p(&face);
  p.setRenderHint(QPainter::TextAntialiasing, false);
  // A thin frame around the screen, and the separators inside it.
  p.setPen(QPen(kLabelGreen, 1));
  p.drawRect(f.screen.adjusted(0, 0, -1, -1));
  for (int y : f.separators) p.drawLine(f.screen.left() + 3, y, f.screen.right() - 3, y);
  QFont font("Liberation Sans");
  font.setBold(true);
  font.setPixelSize(f.titlePixels);
  p.setFont(font);
  p.drawText(f.title, Qt::AlignCenter, f.titleText);
  font.setPixelSize(f.fontPixels);
  p.setFont(font);
  for (const Label& l : f.labels) p.drawText(l.box, l.align, l.text);
  return face;
}

QImage DrawOverlay(const Face& f) {
  QImage overlay = art::NewCanvas(f.width, f.height, Qt::black);
  QPainter(&overlay).fillRect(f.screen.adjusted(1, 1, -1, -1), kScreenDark);
  return overlay;
}

std::vector<art::Bitmap> Draw(const Face& f) { return {{101, DrawFace(f)}, {102, DrawOverlay(f)}}; }

// V1, 256 x 262: waypoint and aircraft coordinates.
std::vector<art::Bitmap> DrawV1() {
  Face f{256, 262, 13, 14, QRect(50, 5, 150, 20), "TERVANE GPS  V1", {}, {}, {}};
  f.screen = QRect(4, 25, 248, 233);
  f.labels = {
      {QRect(12, 28, 36, 22), "Leg:"},           {QRect(136, 28, 27, 22), "Id:"},
      {QRect(12, 70, 46, 22), "Lat:"},           {QRect(12, 92, 46, 22), "Long:"},
      {QRect(12, 121, 42, 22), "HDG:"},          {QRect(116, 121, 42, 22), "ETA:"},
      {QRect(12, 151, 110, 22), "Dist to leg:"}, {QRect(12, 171, 46, 22), "Lat:"},
      {QRect(12, 191, 46, 22), "Long:"},         {QRect(12, 225, 64, 22), "Status:"},
  };
  f.separators = {118, 147, 220};
  return Draw(f);
}

// V2, 256 x 200: no waypoint coordinate lines; the position lines switch between
// aircraft and waypoint.
std::vector<art::Bitmap> DrawV2() {
  Face f{256, 200, 13, 14, QRect(50, 5, 150, 20), "TERVANE GPS  V2", {}, {}, {}};
  f.screen = QRect(4, 23, 248, 173);
  f.labels = {
      {QRect(12, 25, 36, 22), "Leg:"},           {QRect(136, 25, 27, 22), "Id:"},
      {QRect(12, 74, 42, 22), "HDG:"},           {QRect(116, 74, 42, 22), "ETA:"},
      {QRect(12, 101, 110, 22), "Dist to leg:"}, {QRect(12, 121, 46, 22), "Lat:"},
      {QRect(12, 143, 46, 22), "Long:"},         {QRect(12, 170, 64, 22), "Status:"},
  };
  f.separators = {72, 98, 167};
  return Draw(f);
}

// V4, 186 x 144: the small unit with the labels in capitals.
std::vector<art::Bitmap> DrawV4() {
  Face f{186, 144, 8, 9, QRect(57, 1, 64, 11), "FLIGHTPLAN", {}, {}, {}};
  f.screen = QRect(3, 13, 180, 129);
  f.labels = {
      {QRect(8, 16, 27, 12), "LEG:"},         {QRect(100, 16, 38, 12), "IDENT:"},
      {QRect(8, 39, 72, 12), "LEG LAT:"},     {QRect(8, 51, 72, 12), "LEG LONG:"},
      {QRect(8, 69, 27, 12), "HDG:"},         {QRect(100, 69, 29, 12), "ETA:"},
      {QRect(8, 86, 72, 12), "DIST TO LEG:"}, {QRect(8, 98, 72, 12), "CUR LAT:"},
      {QRect(8, 110, 72, 12), "CUR LONG:"},   {QRect(8, 129, 50, 12), "STATUS:"},
  };
  f.separators = {66, 84, 125};
  return Draw(f);
}

}  // namespace

TERVANE_ART_SET("v1", DrawV1);
TERVANE_ART_SET("v2", DrawV2);
TERVANE_ART_SET("v4", DrawV4);
