// Art of the engine's test panel (TERVANE-TEST.gau): a dark grey face with two
// button blocks, and the power-failure overlay, a near-black rectangle.
#include <QPainter>

#include "art.h"

static std::vector<art::Bitmap> DrawTestPanelArt() {
  QImage face = art::NewCanvas(200, 80, QColor(48, 48, 48));
  QPainter painter(&face);
  painter.fillRect(10, 50, 40, 20, QColor(0, 120, 200));  // data button
  painter.fillRect(60, 50, 40, 20, QColor(0, 160, 60));   // coupling button
  painter.end();
  QImage overlay = art::NewCanvas(200, 80, QColor(4, 4, 4));
  return {{101, face}, {102, overlay}};
}

TERVANE_ART_SET("test_panel", DrawTestPanelArt);
