// The test dialog's template and procedure (see test_dialog.h).
#include "test_dialog.h"

#include <cstdlib>
#include <iterator>

#include "ui/list_view.h"
#include "ui/message_box.h"

namespace testdialog {

std::vector<std::string> log;
bool handleClose = false;
bool disableAddOnLeave = false;

static const ui::ControlTemplate kControls[] = {
    {ui::kNoId, ui::kGroupBox, "Leg", 4, 4, 100, 90, 0},
    {kIdent, ui::kEdit, "", 10, 14, 40, 12, ui::kTabStop | ui::kAutoHScroll},
    {kDegrees, ui::kEdit, "", 10, 30, 20, 12, ui::kTabStop | ui::kDigitsOnly | ui::kTextCentre},
    {kName, ui::kEdit, "", 10, 46, 80, 12, ui::kTabStop},
    {kNorth, ui::kAutoRadioButton, "N /", 10, 62, 24, 8, ui::kGroupStart},
    {kSouth, ui::kAutoRadioButton, "S", 36, 62, 24, 8, 0},
    {kEast, ui::kAutoRadioButton, "E /", 10, 74, 24, 8, ui::kGroupStart},
    {kWest, ui::kAutoRadioButton, "W", 36, 74, 24, 8, 0},
    {kAdd, ui::kPushButton, "Add", 110, 4, 42, 15, ui::kGroupStart},
    {kOk, ui::kDefPushButton, "OK", 110, 22, 42, 15, 0},
    {kNested, ui::kPushButton, "Nested", 110, 40, 42, 15, 0},
    {kAsk, ui::kPushButton, "Ask", 110, 58, 42, 15, 0},
    {kTimer, ui::kPushButton, "Timer", 110, 76, 42, 15, 0},
    {kAirports, ui::kCheckBox, "Airports", 160, 4, 38, 11, ui::kPushLike},
    {kList, ui::kListView, "", 4, 100, 200, 91,
     ui::kBorder | ui::kSingleSelection | ui::kShowSelectionAlways | ui::kNoSortHeader},
    {kStatus, ui::kStaticText, "ACTUAL", 160, 22, 60, 15, ui::kTextCentre | ui::kBorder},
    {kHiddenNote, ui::kStaticText, "PLEASE WAIT", 160, 40, 60, 28,
     ui::kHidden | ui::kTextCentre | ui::kVCentre | ui::kBorder},
};

const ui::DialogTemplate kTemplate = {
    "TestDialog",
    "Test dialog",
    230,
    200,
    "MS Sans Serif",
    8,
    ui::kDialogCaption | ui::kDialogModalFrame | ui::kDialogCentred,
    kControls,
    int(std::size(kControls))};

static const ui::ControlTemplate kNestedControls[] = {
    {ui::kIdOk, ui::kPushButton, "OK", 10, 10, 42, 15, 0},
    {1076, ui::kPushButton, "Cancel", 60, 10, 42, 15, 0},
};

const ui::DialogTemplate kNestedTemplate = {"Nested",
                                            "Nested",
                                            120,
                                            40,
                                            "MS Sans Serif",
                                            8,
                                            ui::kDialogCaption | ui::kDialogSystemModal,
                                            kNestedControls,
                                            int(std::size(kNestedControls))};

static const ui::ControlTemplate kPlainControls[] = {
    {10, ui::kEdit, "", 10, 10, 60, 12, ui::kTabStop},
    {11, ui::kPushButton, "Go", 10, 30, 42, 15, 0},
};

const ui::DialogTemplate kPlainTemplate = {"Plain",
                                           "Plain",
                                           100,
                                           60,
                                           "MS Sans Serif",
                                           8,
                                           ui::kDialogCaption | ui::kDialogSysMenu,
                                           kPlainControls,
                                           int(std::size(kPlainControls))};

static int rowData[5];

static bool NestedProc(ui::Dialog* dialog, const ui::Message& message) {
  if (message.kind == ui::kCommand && message.id == ui::kIdOk) return ui::EndDialog(dialog, 5);
  return false;
}

static const char* CodeName(const ui::Message& m) {
  if (m.kind == ui::kCommand) return m.code == ui::kClicked ? "clicked" : "lost";
  switch (m.code) {
    case ui::kRowClick:
      return "click";
    case ui::kRowDoubleClick:
      return "dblclick";
    case ui::kRowRightClick:
      return "rclick";
    default:
      return "rdblclick";
  }
}

bool Proc(ui::Dialog* dialog, const ui::Message& m) {
  switch (m.kind) {
    case ui::kInit: {
      log.push_back("init");
      ui::LimitText(dialog, kIdent, 5);
      ui::LimitText(dialog, kDegrees, 3);
      ui::CheckItem(dialog, kNorth, true);
      ui::CheckItem(dialog, kEast, true);
      ui::ListViewInsertColumn(dialog, kList, 0, "Name", 155, ui::kAlignLeft);
      ui::ListViewInsertColumn(dialog, kList, 1, "Ident", 48, ui::kAlignCentre);
      for (int i = 0; i < 5; ++i) {
        std::string name = "Row" + std::to_string(i);
        int row = ui::ListViewInsertRow(dialog, kList, i, name.c_str(), &rowData[i]);
        ui::ListViewSetCell(dialog, kList, row, 1, ("ID" + std::to_string(i)).c_str());
      }
      return true;
    }
    case ui::kCommand: {
      log.push_back("cmd " + std::to_string(m.id) + " " + CodeName(m));
      if (m.id == kDegrees && m.code == ui::kLostFocus) {
        if (std::atoi(ui::GetItemText(dialog, kDegrees).c_str()) > 180) {
          ui::SelectAllText(dialog, kDegrees);
          ui::SetFocusItem(dialog, kDegrees);
          ui::Beep(ui::kBeepDefault);
        }
        return true;
      }
      if (m.id == kName && m.code == ui::kLostFocus && disableAddOnLeave) {
        ui::EnableItem(dialog, kAdd, false);
        return true;
      }
      switch (m.id) {
        case kOk:
          return ui::EndDialog(dialog, 7);
        case kNested:
          log.push_back("nested " +
                        std::to_string(ui::RunModalDialog(kNestedTemplate, NestedProc, dialog)));
          return true;
        case kAsk:
          log.push_back("box " + std::to_string(ui::MessageBox(dialog, "Sure?", "INFO from Test",
                                                               ui::kMbOkCancel)));
          return true;
        case kTimer:
          return ui::SetTimer(dialog, 1, 1000);
        case kAdd:
        case kAirports:
        case kNorth:
        case kSouth:
        case kEast:
        case kWest:
          return true;
      }
      return false;
    }
    case ui::kNotify:
      log.push_back("notify " + std::to_string(m.id) + " " + CodeName(m) + " row " +
                    std::to_string(m.row) + " focused " +
                    std::to_string(ui::ListViewFocusedRow(dialog, kList)) + " selected " +
                    std::to_string(ui::ListViewSelectedRow(dialog, kList)));
      return true;
    case ui::kTimer:
      log.push_back("timer " + std::to_string(m.id));
      return true;
    case ui::kClose:
      log.push_back("close");
      return handleClose && ui::EndDialog(dialog, 9);
    case ui::kDestroy:
      log.push_back("destroy");
      return true;
  }
  return false;
}

bool PlainProc(ui::Dialog* dialog, const ui::Message& m) {
  if (m.kind == ui::kCommand) log.push_back("cmd " + std::to_string(m.id) + " " + CodeName(m));
  if (m.kind == ui::kCommand && m.id == 11) return ui::EndDialog(dialog, 1);
  return false;
}

void Reset() {
  log.clear();
  handleClose = false;
  disableAddOnLeave = false;
}

}  // namespace testdialog
