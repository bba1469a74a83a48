#include "art.h"

#include <map>

namespace art {

static std::map<std::string, ArtSet>& Registry() {
  static std::map<std::string, ArtSet> sets;
  return sets;
}

bool RegisterArtSet(const char* name, ArtSet draw) {
  return Registry().emplace(name, std::move(draw)).second;
}

const ArtSet* FindArtSet(const std::string& name) {
  auto it = Registry().find(name);
  return it == Registry().end() ? nullptr : &it->second;
}

std::vector<std::string> ArtSetNames() {
  std::vector<std::string> names;
  for (const auto& [name, set] : Registry()) names.push_back(name);
  return names;
}

QImage NewCanvas(int width, int height, QColor fill) {
  QImage image(width, height, QImage::Format_RGB32);
  image.fill(fill);
  return image;
}

}  // namespace art
