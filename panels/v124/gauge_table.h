// Building blocks of the V1, V2 and V4 gauge tables: the attributes every text
// field shares, and the mouse rectangle entries. Included by the table files only.
#pragma once

#include <cstring>

#include "v124_panel.h"

enum : int32_t { kFaceBitmap = 101, kOverlayBitmap = 102 };
enum : uint32_t { kHeadFlags = 5, kOverlayFlags = 1, kFieldFlags = 6 };

constexpr uint32_t kHighlight = Rgb(92, 92, 92);
constexpr uint32_t kFieldFormat = 0x25;  // centred vertically and horizontally, one line
constexpr int32_t kFieldWeight = 400;
constexpr int32_t kFieldCharSet = 1;

struct FieldSpec {
  int32_t x, y, width, height;  // face pixels
  uint32_t colour;              // initial text colour
  int32_t maxChars;
  ValueRoutine text;
  uint32_t token = 0;                // first source variable, 0 for none
  VariableRoutine source = nullptr;  // first source routine
  uint32_t background = kFieldBackground;
};

inline StringElement TextField(const FieldSpec& f) {
  StringElement e{};
  e.base.kind = kStringElement;
  e.base.bitmapId = -1;
  e.base.x = f.x;
  e.base.y = f.y;
  e.base.header = &gaugeHeader;
  e.base.flags = kFieldFlags;
  e.sources[0].token = f.token;
  e.sourceRoutines[0] = f.source;
  e.textRoutine = f.text;
  e.width = f.width;
  e.height = f.height;
  e.textColour = f.colour;
  e.backgroundColour = f.background;
  e.highlightColour = kHighlight;
  std::strncpy(e.fontFace, "Courier New", sizeof e.fontFace - 1);
  e.fontWeight = kFieldWeight;
  e.charSet = kFieldCharSet;
  e.formatFlags = kFieldFormat;
  e.maxChars = f.maxChars;
  return e;
}

inline ImageElement Picture(int32_t bitmap, uint32_t flags, GaugeElement** children) {
  ImageElement e{};
  e.base.kind = kImageElement;
  e.base.bitmapId = bitmap;
  e.base.header = &gaugeHeader;
  e.base.children = children;
  e.base.flags = flags;
  return e;
}

constexpr MouseRect MouseEntry(int32_t kind) {
  return {kind, 0,       0, 0, 0, kCursorNone, 0, kind == kMouseListEnd ? 0u : kMouseEventMask,
          0,    nullptr, 0};
}

constexpr MouseRect Button(int32_t x, int32_t y, int32_t width, int32_t height,
                           MouseRoutine routine, int32_t cursor = kCursorButton) {
  return {kMouseActive, x, y, width, height, cursor, 0, kMouseEventMask, 0, routine, 0};
}
