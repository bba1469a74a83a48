// The host's record of one loaded gauge module: the library, its records, the
// element tree in drawing order, the host's own per-element state (text shown,
// needle value, slider displacement, bitmaps) and the mouse rectangles.
#pragma once

#include <QImage>
#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "panel/panel_services.h"

namespace sys {
struct Library;
}

namespace host {

// What the host keeps for one element between updates.
struct ElementState {
  std::vector<char> textStorage;  // the buffer handed to a string element
  std::string shownText;          // Windows-1252; what the last Update/InitElements showed
  uint32_t shownTextColour = 0;
  uint32_t shownBackgroundColour = 0;
  double needleValue = 0.0;             // last value of a needle's routine
  double sliderX = 0.0, sliderY = 0.0;  // last displacement of a slider, pixels
  const QImage* bitmap = nullptr;       // from the module's resources, or null
  const QImage* sprite = nullptr;       // the same with pure black transparent
};

struct Gauge {
  std::string file;  // e.g. "VELT_DD_OIL.gau"
  std::string name;  // gauge name from the header
  sys::Library* library = nullptr;
  GaugeLinkage* linkage = nullptr;
  GaugeImportTable* imports = nullptr;
  GaugeHeader* header = nullptr;
  GaugeElement* head = nullptr;
  int x = 0, y = 0;           // position on the panel, pixels
  int width = 0, height = 0;  // extent of the head bitmap, pixels

  std::vector<GaugeElement*> elements;  // tree order: element, then its children
  std::map<const GaugeElement*, ElementState> state;
  std::map<int32_t, QImage> bitmaps;  // resource id -> picture
  std::map<int32_t, QImage> sprites;  // resource id -> picture, black transparent
  uint32_t word15Cell[4] = {};        // what the head's word 15 points at

  MouseRect* mouseRects = nullptr;  // installed list
  size_t mouseRectCount = 0;        // entries before the terminating kind 0
  bool mouseRegistered = false;
  bool installed = false;
  bool killed = false;

  // Test and trace helpers.
  GaugeElement* Element(size_t index) const {
    return index < elements.size() ? elements[index] : nullptr;
  }
  const ElementState* StateOf(const GaugeElement* element) const;
  std::string ShownText(size_t index) const;  // Windows-1252
  bool Hidden(size_t index) const;
  // The needle's angle in degrees, 0 to below 360 (0 = pointing right,
  // counter-clockwise positive, screen y up), from its last value and scale table.
  double NeedleAngle(size_t index) const;
};

// The angle (degrees 0 to below 360, counter-clockwise from +x with y up) a needle
// shows for `value`: the angles toward the scale points bracketing the value,
// interpolated linearly the short way round; beyond the ends, the end points.
double NeedleAngleFor(const NeedleElement& needle, double value);

}  // namespace host
