// The artwork generator's registry: each art set draws the bitmaps of one module
// (faces, overlays, needles) with QPainter, and the generator packs them, as 8-bit
// BMPs, into the resource pack the module carries.
#pragma once

#include <QColor>
#include <QImage>
#include <functional>
#include <string>
#include <vector>

namespace art {

struct Bitmap {
  int id;        // resource id the module's records name
  QImage image;  // any format; packed as 8 bits per pixel
};

using ArtSet = std::function<std::vector<Bitmap>()>;

bool RegisterArtSet(const char* name, ArtSet draw);
const ArtSet* FindArtSet(const std::string& name);
std::vector<std::string> ArtSetNames();

// A canvas of the given size filled with `fill`, ready for QPainter.
QImage NewCanvas(int width, int height, QColor fill = Qt::black);

}  // namespace art

#define TERVANE_ART_CONCAT2(a, b) a##b
#define TERVANE_ART_CONCAT(a, b) TERVANE_ART_CONCAT2(a, b)
#define TERVANE_ART_SET(name, function)                            \
  static const bool TERVANE_ART_CONCAT(artRegistered_, __LINE__) = \
      art::RegisterArtSet(name, function)
