// Dialog templates: a dialog's size, font and style, and its controls with their ids,
// kinds, captions, styles and places. Positions and sizes are in dialog units (a
// quarter of the font's average character width horizontally, an eighth of its
// height vertically), so a template keeps its proportions under any font.
//
// Templates are static tables owned by the program or library that runs them; the
// dialog layer keeps pointers into them while a dialog is open.
#pragma once

#include <cstdint>

namespace ui {

// The id of controls that no code refers to (labels, group boxes); may repeat.
constexpr int kNoId = -1;

enum ControlKind {
  kPushButton,
  kDefPushButton,    // the button that Enter presses
  kCheckBox,         // toggles on each click
  kAutoRadioButton,  // checks itself and unchecks the others of its group on a click
  kGroupBox,         // a frame with a caption; never takes focus or clicks
  kStaticText,
  kIconStatic,  // shows an icon given with SetItemIcon
  kEdit,        // one line of text
  kListView,    // report view: columns with headers, rows of cells
};

enum ControlStyle : uint32_t {
  kHidden = 1u << 0,      // not visible until shown
  kDisabled = 1u << 1,    // disabled until enabled
  kTabStop = 1u << 2,     // reached with Tab
  kGroupStart = 1u << 3,  // starts a group; a radio group runs to the next group start
  kTextCentre = 1u << 4,  // text centred horizontally (statics, edits, buttons)
  kTextRight = 1u << 5,
  kVCentre = 1u << 6,      // static text centred vertically on one line
  kSunken = 1u << 7,       // static with a sunken edge
  kBorder = 1u << 8,       // thin border (statics, list views)
  kPushLike = 1u << 9,     // check box or radio button drawn as a push button
  kDigitsOnly = 1u << 10,  // edit takes typed digits only
  kAutoHScroll = 1u << 11,
  kSingleSelection = 1u << 12,      // list view: at most one selected row
  kShowSelectionAlways = 1u << 13,  // list view: selection shown without focus
  kNoSortHeader = 1u << 14,         // list view: headers are not buttons
};

enum DialogStyle : uint32_t {
  kDialogCaption = 1u << 0,
  kDialogSysMenu = 1u << 1,  // system menu and close box
  kDialogModalFrame = 1u << 2,
  kDialogCentred = 1u << 3,      // centred on the screen
  kDialogSystemModal = 1u << 4,  // stays above all other windows
  kDialogForeground = 1u << 5,   // brought to the foreground when shown
};

struct ControlTemplate {
  int id;  // kNoId for labels and frames
  ControlKind kind;
  const char* text;         // caption (Windows-1252), "" for none
  int x, y, width, height;  // dialog units
  uint32_t style;           // ControlStyle bits
};

struct DialogTemplate {
  const char* name;   // resource name, e.g. "MainDialog"; scripts find dialogs by it
  const char* title;  // caption at creation (Windows-1252)
  int width, height;  // dialog units
  const char* fontName;
  int fontPoints;
  uint32_t style;  // DialogStyle bits
  const ControlTemplate* controls;
  int controlCount;
};

}  // namespace ui
