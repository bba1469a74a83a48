// Art of the host's test module: a grey face, a white needle bar, a yellow block.
#include <QPainter>

#include "art.h"

static std::vector<art::Bitmap> DrawTestRecorderArt() {
  QImage face = art::NewCanvas(128, 100, QColor(60, 60, 60));
  QImage needle = art::NewCanvas(60, 5);
  QPainter(&needle).fillRect(10, 1, 50, 3, Qt::white);
  QImage block = art::NewCanvas(8, 8, QColor(224, 224, 0));
  return {{4096, face}, {4097, needle}, {4098, block}};
}

TERVANE_ART_SET("test_recorder", DrawTestRecorderArt);
