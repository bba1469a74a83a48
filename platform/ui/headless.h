// The headless backend: runs dialogs without a screen, for tests and scripted runs,
// and keeps the logs every backend writes (message boxes, beeps, file dialogs,
// problems).
//
// A headless dialog runs the script queued for its template name: the script
// receives a User, acts as a user would (click, type, tab away, double-click a row,
// let time pass) and reads back what a user would see. Modal calls made meanwhile
// take their answers from queues filled beforehand:
//
//   ui::headless::OnDialog("MainDialog", [](ui::headless::User& user) {
//     user.Type(1007, "200");        // longitude degrees out of range
//     user.Click(1020);              // the edit loses the focus first, then the click
//     EXPECT_EQ(user.Focused(), 1007);  // the check took the focus back
//     user.Type(1007, "90");
//     ui::headless::AnswerMessageBox(ui::kIdOk);  // for the box the next click shows
//     user.Click(1000);              // the procedure ends the dialog
//   });
//   ui::RunModalDialog(kMainDialog, MainDialogProc, nullptr);
//
// Nothing waits: a dialog without a script fails to open (-1), a message box
// without an answer returns 0, a file dialog without one is cancelled, a script
// that returns with its dialog still open has it closed with -1 — and each of them
// is reported to the problem handler, which a test points at its failure macro.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "ui/dialog.h"
#include "ui/list_view.h"
#include "ui/message_box.h"

namespace ui::headless {

// Makes the headless backend the process's backend (it is the default).
void Install();
// Forgets queued scripts and answers, the logs and the problems.
void Reset();

// Receives each problem (default: printed on stderr). Tests pass ADD_FAILURE.
void SetProblemHandler(std::function<void(const std::string&)> handler);
const std::vector<std::string>& Problems();

class User;
using DialogScript = std::function<void(User&)>;

// Queues the script for the next dialog opened from the template `name` ("" for any
// dialog). Scripts are taken in the order queued.
void OnDialog(std::string name, DialogScript script);

// Queues the answer of the next message box (kIdOk, kIdCancel, ... kIdNo).
void AnswerMessageBox(int button);
// Queues the file the user chooses in the next file dialog: a full path, or a name
// relative to the folder the dialog opens in. A name without extension gets the
// default extension, as typed names do.
void AnswerFileDialog(std::string path);
void CancelFileDialog();

struct MessageBoxRecord {
  std::string owner;  // template name of the owner dialog, "" for none
  std::string text;
  std::string caption;
  unsigned flags;
  int answer;  // 0 when it could not be answered
};
// Answers message boxes that find the queue empty (for instance a terminal driver
// that prints them). Without one, such a box is a problem.
void SetMessageBoxHandler(std::function<int(const MessageBoxRecord&)> handler);

struct FileDialogRecord {
  bool save;
  std::string title;
  std::string folder;        // the folder it opened in
  std::string proposedName;  // the name it proposed
  unsigned options;
  int filterIndex;
  std::string chosen;  // full path; "" when cancelled
};

const std::vector<MessageBoxRecord>& MessageBoxes();
const std::vector<BeepKind>& Beeps();
const std::vector<FileDialogRecord>& FileDialogs();
// Scripts and answers still queued (for a test's tear-down to check), one line each.
std::vector<std::string> UnusedAnswers();

// A user in front of one headless dialog. Controls are named by id; an id the
// dialog lacks is a problem.
class User {
 public:
  explicit User(Dialog* dialog) : dialog_(dialog) {}
  Dialog* dialog() const { return dialog_; }

  // Acting.
  bool Click(int id);  // press and release; false when the control ignored it
  bool Focus(int id);  // a click into an edit or a list without touching a row
  void Tab(bool forward = true);
  // Clicks into the edit, selects its text, deletes it and types `text` (limited
  // as typing is). Returns false when some character was refused.
  bool Type(int id, std::string_view text);
  int Keys(std::string_view chars);  // typed into the focused edit at its caret
  void Enter();
  void Escape();
  void Close();                    // the window's close box
  bool ClickRow(int id, int row);  // row -1: below the last row
  bool DoubleClickRow(int id, int row);
  bool RightClickRow(int id, int row);
  bool RightDoubleClickRow(int id, int row);
  bool MoveRowFocus(int id, int row, bool select = false);  // Ctrl+arrows when !select
  bool FireTimer(int timerId);
  void Wait(uint64_t ms);  // time passes; due timers fire

  // Seeing.
  std::string Title() const;
  std::string Text(int id) const;
  bool Enabled(int id) const;
  bool Visible(int id) const;
  bool Checked(int id) const;
  int Focused() const;  // control id, 0 for none
  std::pair<int, int> TextSelection(int id) const;
  int Limit(int id) const;
  int ColumnCount(int id) const;
  std::string ColumnHeader(int id, int column) const;
  int ColumnWidth(int id, int column) const;
  ColumnAlign ColumnAlignment(int id, int column) const;
  int RowCount(int id) const;
  std::string Cell(int id, int row, int column) const;
  std::vector<std::string> Row(int id, int row) const;
  int SelectedRow(int id) const;
  int FocusedRow(int id) const;
  int TopRow(int id) const;
  bool RowFullyVisible(int id, int row) const;
  bool TimerRunning(int timerId) const;
  unsigned TimerPeriod(int timerId) const;  // 0 when not running
  bool Ended() const;
  int Result() const;

 private:
  int Index(int id, const char* what) const;
  bool Acting(const char* what) const;
  Dialog* dialog_;
};

}  // namespace ui::headless
