// The headless backend and its user: dialogs run the scripts queued for them, modal
// calls take queued answers, and whatever has no answer fails at once and is
// reported instead of waiting for a user who is not there.
#include "ui/headless.h"

#include <deque>
#include <memory>

#include "sys/paths.h"
#include "ui/backend.h"
#include "ui/layer_state.h"
#include "ui/user_input.h"

namespace ui::headless {

namespace {

struct QueuedScript {
  std::string name;
  DialogScript script;
};

struct FileAnswer {
  bool cancel;
  std::string path;
};

struct Queues {
  std::deque<QueuedScript> scripts;
  std::deque<int> messageBoxAnswers;
  std::deque<FileAnswer> fileAnswers;
  std::function<int(const MessageBoxRecord&)> messageBoxHandler;
};

Queues& Queued() {
  static Queues queues;
  return queues;
}

const char* kButtonNames[] = {"OK",     "OK/Cancel",   "Abort/Retry/Ignore", "Yes/No/Cancel",
                              "Yes/No", "Retry/Cancel"};

// Whether `answer` is one of the buttons that `flags` show.
bool OffersButton(unsigned flags, int answer) {
  switch (flags & kMbButtonsMask) {
    case kMbOk:
      return answer == kIdOk;
    case kMbOkCancel:
      return answer == kIdOk || answer == kIdCancel;
    case kMbAbortRetryIgnore:
      return answer == kIdAbort || answer == kIdRetry || answer == kIdIgnore;
    case kMbYesNoCancel:
      return answer == kIdYes || answer == kIdNo || answer == kIdCancel;
    case kMbYesNo:
      return answer == kIdYes || answer == kIdNo;
    case kMbRetryCancel:
      return answer == kIdRetry || answer == kIdCancel;
  }
  return false;
}

std::string Describe(const MessageBoxRequest& request) {
  unsigned buttons = request.flags & kMbButtonsMask;
  return "message box \"" + request.caption + "\": \"" + request.text + "\" (" +
         (buttons < 6 ? kButtonNames[buttons] : "?") + ")";
}

bool HasExtension(const std::string& path) {
  size_t slash = path.rfind('/');
  size_t dot = path.rfind('.');
  return dot != std::string::npos && (slash == std::string::npos || dot > slash + 1);
}

class HeadlessBackendImpl final : public Backend {
 public:
  const char* Name() const override { return "headless"; }

  bool CreateDialogWindow(Dialog* dialog) override {
    Queues& q = Queued();
    for (auto it = q.scripts.begin(); it != q.scripts.end(); ++it) {
      if (it->name.empty() || it->name == dialog->source->name) {
        dialog->backendData = new DialogScript(std::move(it->script));
        q.scripts.erase(it);
        return true;
      }
    }
    ReportProblem(std::string("dialog ") + dialog->source->name +
                  " opened with no script for it; it fails to open");
    return false;
  }

  void RunDialogLoop(Dialog* dialog) override {
    auto* script = static_cast<DialogScript*>(dialog->backendData);
    if (script && *script) {
      User user(dialog);
      (*script)(user);
    }
    if (!dialog->ended) {
      ReportProblem(std::string("dialog ") + dialog->source->name +
                    " was still open when its script ended; closed with -1");
      dialog->ended = true;
      dialog->result = -1;
    }
  }

  void DestroyDialogWindow(Dialog* dialog) override {
    delete static_cast<DialogScript*>(dialog->backendData);
    dialog->backendData = nullptr;
  }

  void DialogChanged(Dialog*, int, Change, int, int) override {}
  void DialogEnded(Dialog*) override {}
  void TimerChanged(Dialog*, int) override {}

  int ShowMessageBox(const MessageBoxRequest& request) override {
    Queues& q = Queued();
    if (!q.messageBoxAnswers.empty()) {
      int answer = q.messageBoxAnswers.front();
      q.messageBoxAnswers.pop_front();
      if (!OffersButton(request.flags, answer)) {
        ReportProblem(Describe(request) + " answered with button " + std::to_string(answer) +
                      ", which it does not show");
      }
      return answer;
    }
    if (q.messageBoxHandler) {
      return q.messageBoxHandler({request.owner ? request.owner->source->name : "", request.text,
                                  request.caption, request.flags, 0});
    }
    ReportProblem(Describe(request) + " had no answer queued; it returns 0");
    return 0;
  }

  std::string ShowFileDialog(const FileDialogRequest& request) override {
    Queues& q = Queued();
    const char* title = request.settings->title ? request.settings->title : "";
    if (q.fileAnswers.empty()) {
      ReportProblem(std::string("file dialog \"") + title + "\" had no answer queued; cancelled");
      return "";
    }
    FileAnswer answer = q.fileAnswers.front();
    q.fileAnswers.pop_front();
    if (answer.cancel) return "";
    std::string path = answer.path;
    if (path.empty() || path[0] != '/') path = request.folder + "/" + path;
    if (!HasExtension(path) && !request.settings->defaultExtension.empty()) {
      path += "." + request.settings->defaultExtension;
    }
    unsigned options = request.settings->options;
    std::string folder = path.substr(0, path.rfind('/'));
    if ((options & kPathMustExist) && !sys::IsDirectory(folder.empty() ? "/" : folder.c_str())) {
      ReportProblem(std::string("file dialog \"") + title + "\": folder of " + path +
                    " does not exist, so it cannot be chosen; cancelled");
      return "";
    }
    if ((options & kFileMustExist) && !sys::IsRegularFile(path.c_str())) {
      ReportProblem(std::string("file dialog \"") + title + "\": " + path +
                    " does not exist, so it cannot be chosen; cancelled");
      return "";
    }
    return path;
  }

  void SoundBeep(BeepKind) override {}
};

}  // namespace

}  // namespace ui::headless

namespace ui {

Backend& HeadlessBackend() {
  static headless::HeadlessBackendImpl backend;
  return backend;
}

namespace headless {

void Install() { SetBackend(nullptr); }

void Reset() {
  Queues& q = Queued();
  q.scripts.clear();
  q.messageBoxAnswers.clear();
  q.fileAnswers.clear();
  q.messageBoxHandler = nullptr;
  LayerState& state = State();
  state.messageBoxes.clear();
  state.beeps.clear();
  state.fileDialogs.clear();
  state.problems.clear();
}

void OnDialog(std::string name, DialogScript script) {
  Queued().scripts.push_back({std::move(name), std::move(script)});
}

void AnswerMessageBox(int button) { Queued().messageBoxAnswers.push_back(button); }
void AnswerFileDialog(std::string path) {
  Queued().fileAnswers.push_back({false, std::move(path)});
}
void CancelFileDialog() { Queued().fileAnswers.push_back({true, ""}); }

void SetMessageBoxHandler(std::function<int(const MessageBoxRecord&)> handler) {
  Queued().messageBoxHandler = std::move(handler);
}

std::vector<std::string> UnusedAnswers() {
  std::vector<std::string> unused;
  Queues& q = Queued();
  for (const QueuedScript& s : q.scripts) {
    unused.push_back("script for dialog " + (s.name.empty() ? std::string("(any)") : s.name));
  }
  for (int answer : q.messageBoxAnswers) {
    unused.push_back("message box answer " + std::to_string(answer));
  }
  for (const FileAnswer& f : q.fileAnswers) {
    unused.push_back(f.cancel ? std::string("file dialog cancel") : "file dialog answer " + f.path);
  }
  return unused;
}

// ---- the user -------------------------------------------------------------

int User::Index(int id, const char* what) const {
  int index = FindControl(dialog_, id);
  if (index < 0) {
    ReportProblem(std::string("user ") + what + ": dialog " + dialog_->source->name +
                  " has no control " + std::to_string(id));
  }
  return index;
}

bool User::Acting(const char* what) const {
  if (dialog_->ended) {
    ReportProblem(std::string("user ") + what + " on dialog " + dialog_->source->name +
                  " after it ended");
    return false;
  }
  return true;
}

bool User::Click(int id) {
  int i = Index(id, "Click");
  return i >= 0 && Acting("Click") && input::Click(dialog_, i);
}

bool User::Focus(int id) {
  int i = Index(id, "Focus");
  return i >= 0 && Acting("Focus") && input::Press(dialog_, i);
}

void User::Tab(bool forward) {
  if (Acting("Tab")) input::Tab(dialog_, forward);
}

bool User::Type(int id, std::string_view text) {
  int i = Index(id, "Type");
  if (i < 0 || !Acting("Type")) return false;
  if (dialog_->controls[size_t(i)].kind != kEdit) {
    ReportProblem(std::string("user Type: control ") + std::to_string(id) + " of " +
                  dialog_->source->name + " is not an edit");
    return false;
  }
  if (!input::Press(dialog_, i) || dialog_->focus != i) return false;
  Control& edit = dialog_->controls[size_t(i)];
  edit.selStart = 0;
  edit.selEnd = int(edit.text.size());
  if (!edit.text.empty()) input::TypeText(dialog_, i, "\b");
  return input::TypeText(dialog_, i, text) == int(text.size());
}

int User::Keys(std::string_view chars) {
  if (!Acting("Keys") || dialog_->focus < 0) return 0;
  return input::TypeText(dialog_, dialog_->focus, chars);
}

void User::Enter() {
  if (Acting("Enter")) input::Enter(dialog_);
}

void User::Escape() {
  if (Acting("Escape")) input::Escape(dialog_);
}

void User::Close() {
  if (Acting("Close")) input::Close(dialog_);
}

bool User::ClickRow(int id, int row) {
  int i = Index(id, "ClickRow");
  return i >= 0 && Acting("ClickRow") && input::RowPress(dialog_, i, row, false);
}

bool User::DoubleClickRow(int id, int row) {
  int i = Index(id, "DoubleClickRow");
  return i >= 0 && Acting("DoubleClickRow") && input::RowPress(dialog_, i, row, false) &&
         input::RowDoubleClick(dialog_, i, row, false);
}

bool User::RightClickRow(int id, int row) {
  int i = Index(id, "RightClickRow");
  return i >= 0 && Acting("RightClickRow") && input::RowPress(dialog_, i, row, true);
}

bool User::RightDoubleClickRow(int id, int row) {
  int i = Index(id, "RightDoubleClickRow");
  return i >= 0 && Acting("RightDoubleClickRow") && input::RowPress(dialog_, i, row, true) &&
         input::RowDoubleClick(dialog_, i, row, true);
}

bool User::MoveRowFocus(int id, int row, bool select) {
  int i = Index(id, "MoveRowFocus");
  if (i < 0 || !Acting("MoveRowFocus")) return false;
  if (dialog_->focus != i && !input::Press(dialog_, i)) return false;
  return input::MoveRowFocus(dialog_, i, row, select);
}

bool User::FireTimer(int timerId) {
  return Acting("FireTimer") && input::FireTimer(dialog_, timerId);
}

void User::Wait(uint64_t ms) {
  if (Acting("Wait")) input::AdvanceClock(dialog_, ms);
}

std::string User::Title() const { return dialog_->title; }

std::string User::Text(int id) const {
  int i = Index(id, "Text");
  return i >= 0 ? dialog_->controls[size_t(i)].text : std::string();
}

bool User::Enabled(int id) const {
  int i = Index(id, "Enabled");
  return i >= 0 && dialog_->controls[size_t(i)].enabled;
}

bool User::Visible(int id) const {
  int i = Index(id, "Visible");
  return i >= 0 && dialog_->controls[size_t(i)].visible;
}

bool User::Checked(int id) const {
  int i = Index(id, "Checked");
  return i >= 0 && dialog_->controls[size_t(i)].checked;
}

int User::Focused() const { return FocusedItem(dialog_); }

std::pair<int, int> User::TextSelection(int id) const {
  int i = Index(id, "TextSelection");
  if (i < 0) return {0, 0};
  const Control& c = dialog_->controls[size_t(i)];
  return {c.selStart, c.selEnd};
}

int User::Limit(int id) const {
  int i = Index(id, "Limit");
  return i >= 0 ? dialog_->controls[size_t(i)].limit : 0;
}

int User::ColumnCount(int id) const {
  int i = Index(id, "ColumnCount");
  return i >= 0 ? int(dialog_->controls[size_t(i)].columns.size()) : 0;
}

static const ListColumn* ColumnOf(const Dialog* dialog, int index, int column) {
  if (index < 0) return nullptr;
  const Control& c = dialog->controls[size_t(index)];
  if (column < 0 || size_t(column) >= c.columns.size()) return nullptr;
  return &c.columns[size_t(column)];
}

std::string User::ColumnHeader(int id, int column) const {
  const ListColumn* c = ColumnOf(dialog_, Index(id, "ColumnHeader"), column);
  return c ? c->header : std::string();
}

int User::ColumnWidth(int id, int column) const {
  const ListColumn* c = ColumnOf(dialog_, Index(id, "ColumnWidth"), column);
  return c ? c->width : 0;
}

ColumnAlign User::ColumnAlignment(int id, int column) const {
  const ListColumn* c = ColumnOf(dialog_, Index(id, "ColumnAlignment"), column);
  return c ? c->align : kAlignLeft;
}

int User::RowCount(int id) const {
  int i = Index(id, "RowCount");
  return i >= 0 ? int(dialog_->controls[size_t(i)].rows.size()) : 0;
}

std::string User::Cell(int id, int row, int column) const {
  int i = Index(id, "Cell");
  if (i < 0) return std::string();
  const Control& c = dialog_->controls[size_t(i)];
  if (row < 0 || size_t(row) >= c.rows.size() || column < 0) return std::string();
  const std::vector<std::string>& cells = c.rows[size_t(row)].cells;
  return size_t(column) < cells.size() ? cells[size_t(column)] : std::string();
}

std::vector<std::string> User::Row(int id, int row) const {
  int i = Index(id, "Row");
  std::vector<std::string> cells;
  if (i < 0) return cells;
  const Control& c = dialog_->controls[size_t(i)];
  if (row < 0 || size_t(row) >= c.rows.size()) return cells;
  cells = c.rows[size_t(row)].cells;
  cells.resize(std::max(cells.size(), c.columns.size()));
  return cells;
}

int User::SelectedRow(int id) const {
  int i = Index(id, "SelectedRow");
  return i >= 0 ? dialog_->controls[size_t(i)].selectedRow : -1;
}

int User::FocusedRow(int id) const {
  int i = Index(id, "FocusedRow");
  return i >= 0 ? dialog_->controls[size_t(i)].focusedRow : -1;
}

int User::TopRow(int id) const {
  int i = Index(id, "TopRow");
  return i >= 0 ? dialog_->controls[size_t(i)].topRow : 0;
}

bool User::RowFullyVisible(int id, int row) const {
  int i = Index(id, "RowFullyVisible");
  if (i < 0) return false;
  const Control& c = dialog_->controls[size_t(i)];
  return row >= c.topRow && row < c.topRow + input::RowsPerPage(c) && size_t(row) < c.rows.size();
}

bool User::TimerRunning(int timerId) const { return TimerPeriod(timerId) != 0; }

unsigned User::TimerPeriod(int timerId) const {
  for (const DialogTimer& t : dialog_->timers) {
    if (t.id == timerId) return t.periodMs;
  }
  return 0;
}

bool User::Ended() const { return dialog_->ended; }
int User::Result() const { return dialog_->result; }

}  // namespace headless
}  // namespace ui
