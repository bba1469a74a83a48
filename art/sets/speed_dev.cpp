// Art of QUOR_SPEED_DEV: the all-black strip (4096, 14 x 73) and the pointer
// (4112, 7 x 6): a yellow ring (224,224,0) with a black centre.
#include <QPainter>

#include "art.h"

static std::vector<art::Bitmap> DrawSpeedDevArt() {
  QImage strip = art::NewCanvas(14, 73);
  QImage pointer = art::NewCanvas(7, 6);
  const QColor ring(224, 224, 0);
  // Drawn pixel by pixel: antialiasing would blur a picture this small.
  const char* rows[6] = {" ##### ", "##   ##", "#     #", "#     #", "##   ##", " ##### "};
  for (int y = 0; y < 6; ++y)
    for (int x = 0; x < 7; ++x)
      if (rows[y][x] == '#') pointer.setPixelColor(x, y, ring);
  return {{4096, strip}, {4112, pointer}};
}

TERVANE_ART_SET("speed_dev", DrawSpeedDevArt);
