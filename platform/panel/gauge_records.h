// The records a gauge module declares to the panel host: the gauge header, the
// element tree (image, needle, string and slider elements), mouse rectangles,
// scale tables, failure lists and the simulator variable binding.
//
// These records are the wire format between a module and the host. Field order,
// the sizes of data fields and their meanings are fixed. A word that holds an
// address is pointer-sized; every other word is 32-bit. On a 32-bit build every
// offset equals the fixed one, and the static_asserts at the end say so (the test
// command compiles this header with -m32). On a 64-bit build the offsets differ,
// so code touches the records only through their field names.
//
// Words marked "host" belong to the host: a module leaves them 0.
#pragma once

#include <cstddef>
#include <cstdint>

extern "C" {

struct GaugeHeader;
struct GaugeElement;
struct ModuleVar;

// Routine types. Text and needle routines take the first source variable's value;
// slider routines and a string element's source routines take the variable's
// record. Mouse routines ignore both arguments and return 1.
typedef double (*ValueRoutine)(double value);
typedef double (*VariableRoutine)(ModuleVar* var);
typedef int32_t (*MouseRoutine)(int32_t, int32_t);
typedef void (*GaugeRoutine)(void);
typedef void (*GaugeArgRoutine)(uint32_t argument);

enum : uint32_t {
  kGaugeHeaderMagic = 0x262,
  kLinkageModuleId = 0x13,
  kImportPanelServicesId = 0x0F,
};

enum ElementKind : int32_t {
  kImageElement = 0,
  kNeedleElement = 1,
  kStringElement = 2,
  kSliderElement = 3,
};

// Bit 30 of an element's flags: the element is not drawn. Every other flag bit
// is the host's own business.
enum : uint32_t { kElementHidden = 0x40000000u };

enum MouseRectKind : int32_t {
  kMouseListEnd = 0,   // ends the list
  kMouseGaugeEntry = 1, // opens the gauge's entry; comes first
  kMouseActive = 2,    // a clickable rectangle
  kMouseGaugeClose = 3, // closes the gauge's entries
};

enum : int32_t {
  kCursorNone = -1,
  kCursorIncrease = 1,
  kCursorDecrease = 2,
  kCursorButton = 5,
};

enum : uint32_t { kMouseEventMask = 0x20000000u };

// 22 words.
struct GaugeHeader {
  uint32_t magic;             // kGaugeHeaderMagic
  const char* name;           // NUL-terminated gauge name, e.g. "TERVANE-V1.gau"
  GaugeElement** headCell;    // cell holding the head element's address
  GaugeRoutine GaugeQuery;
  GaugeArgRoutine GaugeInstall;
  GaugeRoutine GaugeInit;
  GaugeRoutine GaugeUpdate;
  GaugeArgRoutine GaugeGenerate;
  GaugeRoutine GaugeDraw;
  GaugeRoutine GaugeKill;
  uint32_t reserved;          // 0
  uint32_t declaredWidth;     // gauge width declared to the panel, pixels
  uintptr_t host[10];
};

// 28 bytes. The value after ReadVariable is an 8-byte real, or for BCD-coded
// variables an unsigned 32-bit integer in its first four bytes.
struct ModuleVar {
  uint32_t token;             // simulator variable, set by the module
  void* storage;              // host: address of the simulator's own storage
  uint32_t host8;             // host
  union {
    double real;
    uint32_t bcd;
  } value;                    // the value after ReadVariable
  uint32_t host20[2];         // host
};

// Pairs of (failure id, action), ended by a failure id 0.
struct FailurePair {
  int32_t failureId;
  int32_t action;
};

// One entry of a needle's scale table: the needle points from its pivot toward
// (x, y), in gauge pixels, when its value equals `value`.
struct ScaleEntry {
  int32_t x, y;
  double value;
  double zero;                // 0.0
};

// The common head of every element: 13 words.
struct GaugeElement {
  int32_t kind;               // ElementKind
  int32_t bitmapId;           // resource id, -1 for none
  int32_t x, y;               // position in gauge pixels
  uintptr_t host16;
  uintptr_t host20;
  int32_t pivotX, pivotY;     // pivot inside the bitmap, pixels
  GaugeHeader* header;
  uintptr_t host36;
  GaugeElement** children;    // zero-terminated list, or 0
  const FailurePair* failures; // ended by a failure id 0, or 0
  uint32_t flags;             // kElementHidden and host bits
};

// 80 bytes. The host stores an address in word 15 at install; the gauge passes
// that address plus 4 bytes to InstallMouseRects.
struct ImageElement {
  GaugeElement base;
  uintptr_t host52[2];
  void* word15;
  uintptr_t host64[4];
};

// 312 bytes.
struct StringElement {
  GaugeElement base;
  uintptr_t host52[2];
  ModuleVar sources[3];       // token 0 when unused
  uintptr_t host144[6];
  VariableRoutine sourceRoutines[3]; // optional, 0 when absent
  ValueRoutine textRoutine;
  char* textBuffer;           // filled by the host at install
  uintptr_t host188;
  int32_t width, height;      // pixels
  uintptr_t host200[2];
  uint32_t textColour;        // COLORREF 0x00BBGGRR
  uint32_t backgroundColour;
  uint32_t highlightColour;
  uintptr_t host220[7];
  char fontFace[32];          // NUL-terminated
  int32_t fontWeight;
  int32_t charSet;
  uint32_t formatFlags;       // DrawText flags
  int32_t maxChars;           // longest text the buffer holds, without the NUL
  uintptr_t host296[4];
};

// 224 bytes.
struct NeedleElement {
  GaugeElement base;
  uintptr_t host52[3];
  ModuleVar source;
  ValueRoutine routine;
  uintptr_t host96[2];
  int32_t moduleWord104;      // per gauge
  int32_t moduleWord108;      // per gauge
  const ScaleEntry* scale;
  int32_t scaleCount;
  int32_t moduleWord120;
  uintptr_t host124[25];
};

// 168 bytes. The host displaces the bitmap by routine value x scale on each axis.
struct SliderElement {
  GaugeElement base;
  uintptr_t host52[3];
  ModuleVar xSource;
  VariableRoutine xRoutine;
  double xScale;
  ModuleVar ySource;
  VariableRoutine yRoutine;
  double yScale;
  uintptr_t host144[6];
};

// 11 words.
struct MouseRect {
  int32_t kind;               // MouseRectKind
  int32_t x, y, width, height; // gauge pixels; empty for kinds 0, 1 and 3
  int32_t cursor;             // kCursor*
  uint32_t reserved24;        // 0
  uint32_t eventMask;         // kMouseEventMask on every entry the module fills
  uint32_t reserved32;        // 0
  MouseRoutine routine;
  uint32_t reserved40;        // 0
};

}  // extern "C"

// On a 32-bit build the records have exactly the fixed sizes and offsets.
#if UINTPTR_MAX == 0xFFFFFFFFu
#define TERVANE_RECORD_AT(type, field, offset) \
  static_assert(offsetof(type, field) == (offset), #type "." #field)
static_assert(sizeof(GaugeHeader) == 88);
TERVANE_RECORD_AT(GaugeHeader, name, 4);
TERVANE_RECORD_AT(GaugeHeader, headCell, 8);
TERVANE_RECORD_AT(GaugeHeader, GaugeQuery, 12);
TERVANE_RECORD_AT(GaugeHeader, GaugeKill, 36);
TERVANE_RECORD_AT(GaugeHeader, declaredWidth, 44);
TERVANE_RECORD_AT(GaugeHeader, host, 48);

static_assert(sizeof(ModuleVar) == 28);
TERVANE_RECORD_AT(ModuleVar, storage, 4);
TERVANE_RECORD_AT(ModuleVar, value, 12);
TERVANE_RECORD_AT(ModuleVar, host20, 20);

static_assert(sizeof(ScaleEntry) == 24);
TERVANE_RECORD_AT(ScaleEntry, value, 8);
TERVANE_RECORD_AT(ScaleEntry, zero, 16);

static_assert(sizeof(GaugeElement) == 52);
TERVANE_RECORD_AT(GaugeElement, bitmapId, 4);
TERVANE_RECORD_AT(GaugeElement, x, 8);
TERVANE_RECORD_AT(GaugeElement, y, 12);
TERVANE_RECORD_AT(GaugeElement, pivotX, 24);
TERVANE_RECORD_AT(GaugeElement, pivotY, 28);
TERVANE_RECORD_AT(GaugeElement, header, 32);
TERVANE_RECORD_AT(GaugeElement, children, 40);
TERVANE_RECORD_AT(GaugeElement, failures, 44);
TERVANE_RECORD_AT(GaugeElement, flags, 48);

static_assert(sizeof(ImageElement) == 80);
TERVANE_RECORD_AT(ImageElement, word15, 60);

static_assert(sizeof(StringElement) == 312);
TERVANE_RECORD_AT(StringElement, sources, 60);
TERVANE_RECORD_AT(StringElement, sources[1], 88);
TERVANE_RECORD_AT(StringElement, sources[2], 116);
TERVANE_RECORD_AT(StringElement, sourceRoutines, 168);
TERVANE_RECORD_AT(StringElement, textRoutine, 180);
TERVANE_RECORD_AT(StringElement, textBuffer, 184);
TERVANE_RECORD_AT(StringElement, width, 192);
TERVANE_RECORD_AT(StringElement, height, 196);
TERVANE_RECORD_AT(StringElement, textColour, 208);
TERVANE_RECORD_AT(StringElement, backgroundColour, 212);
TERVANE_RECORD_AT(StringElement, highlightColour, 216);
TERVANE_RECORD_AT(StringElement, fontFace, 248);
TERVANE_RECORD_AT(StringElement, fontWeight, 280);
TERVANE_RECORD_AT(StringElement, charSet, 284);
TERVANE_RECORD_AT(StringElement, formatFlags, 288);
TERVANE_RECORD_AT(StringElement, maxChars, 292);
TERVANE_RECORD_AT(StringElement, host296, 296);

static_assert(sizeof(NeedleElement) == 224);
TERVANE_RECORD_AT(NeedleElement, source, 64);
TERVANE_RECORD_AT(NeedleElement, routine, 92);
TERVANE_RECORD_AT(NeedleElement, moduleWord104, 104);
TERVANE_RECORD_AT(NeedleElement, moduleWord108, 108);
TERVANE_RECORD_AT(NeedleElement, scale, 112);
TERVANE_RECORD_AT(NeedleElement, scaleCount, 116);
TERVANE_RECORD_AT(NeedleElement, moduleWord120, 120);
TERVANE_RECORD_AT(NeedleElement, host124, 124);

static_assert(sizeof(SliderElement) == 168);
TERVANE_RECORD_AT(SliderElement, xSource, 64);
TERVANE_RECORD_AT(SliderElement, xRoutine, 92);
TERVANE_RECORD_AT(SliderElement, xScale, 96);
TERVANE_RECORD_AT(SliderElement, ySource, 104);
TERVANE_RECORD_AT(SliderElement, yRoutine, 132);
TERVANE_RECORD_AT(SliderElement, yScale, 136);
TERVANE_RECORD_AT(SliderElement, host144, 144);

static_assert(sizeof(MouseRect) == 44);
TERVANE_RECORD_AT(MouseRect, cursor, 20);
TERVANE_RECORD_AT(MouseRect, eventMask, 28);
TERVANE_RECORD_AT(MouseRect, routine, 36);
#undef TERVANE_RECORD_AT
#endif
