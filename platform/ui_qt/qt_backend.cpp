// The Qt backend: dialog windows, message boxes, file dialogs and beeps.
#include "qt_backend.h"

#include <QApplication>
#include <QFileDialog>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>

#include "dialog_window.h"
#include "qt_text.h"
#include "ui/backend.h"
#include "ui/dialog_model.h"

namespace ui_qt {

static std::function<void(ui::Dialog*)> shownHook;

static DialogWindow* WindowOf(ui::Dialog* dialog) {
  return dialog ? static_cast<DialogWindow*>(dialog->backendData) : nullptr;
}

// The window a modal piece belongs to: its owner dialog's, else the active one.
static QWidget* ParentFor(ui::Dialog* owner) {
  if (DialogWindow* window = WindowOf(owner)) return window;
  return QApplication::activeWindow();
}

namespace {

struct ButtonChoice {
  QMessageBox::StandardButton button;
  int id;
};

class QtBackend final : public ui::Backend {
 public:
  const char* Name() const override { return "qt"; }

  bool CreateDialogWindow(ui::Dialog* dialog) override {
    if (!qobject_cast<QApplication*>(QCoreApplication::instance())) {
      ui::ReportProblem("the Qt backend needs a QApplication");
      return false;
    }
    dialog->backendData = new DialogWindow(dialog, ParentFor(dialog->owner));
    return true;
  }

  void RunDialogLoop(ui::Dialog* dialog) override {
    DialogWindow* window = WindowOf(dialog);
    if (shownHook) {
      QTimer::singleShot(0, window, [dialog] {
        if (shownHook && !dialog->ended) shownHook(dialog);
      });
    }
    window->runLoop();
  }

  void DestroyDialogWindow(ui::Dialog* dialog) override {
    delete WindowOf(dialog);
    dialog->backendData = nullptr;
  }

  void DialogChanged(ui::Dialog* dialog, int index, ui::Change change, int row,
                     int column) override {
    if (DialogWindow* window = WindowOf(dialog)) window->apply(index, change, row, column);
  }

  void DialogEnded(ui::Dialog* dialog) override {
    if (DialogWindow* window = WindowOf(dialog)) window->quitLoop();
  }

  void TimerChanged(ui::Dialog* dialog, int timerId) override {
    if (DialogWindow* window = WindowOf(dialog)) window->timerChanged(timerId);
  }

  int ShowMessageBox(const ui::MessageBoxRequest& request) override {
    QMessageBox box(ParentFor(request.owner));
    box.setWindowTitle(ToQt(request.caption));
    box.setText(ToQt(request.text));
    switch (request.flags & ui::kMbIconMask) {
      case ui::kMbIconError:
        box.setIcon(QMessageBox::Critical);
        break;
      case ui::kMbIconQuestion:
        box.setIcon(QMessageBox::Question);
        break;
      case ui::kMbIconExclamation:
        box.setIcon(QMessageBox::Warning);
        break;
      case ui::kMbIconInformation:
        box.setIcon(QMessageBox::Information);
        break;
      default:
        box.setIcon(QMessageBox::NoIcon);
        break;
    }
    std::vector<ButtonChoice> choices;
    switch (request.flags & ui::kMbButtonsMask) {
      case ui::kMbOkCancel:
        choices = {{QMessageBox::Ok, ui::kIdOk}, {QMessageBox::Cancel, ui::kIdCancel}};
        break;
      case ui::kMbAbortRetryIgnore:
        choices = {{QMessageBox::Abort, ui::kIdAbort},
                   {QMessageBox::Retry, ui::kIdRetry},
                   {QMessageBox::Ignore, ui::kIdIgnore}};
        break;
      case ui::kMbYesNoCancel:
        choices = {{QMessageBox::Yes, ui::kIdYes},
                   {QMessageBox::No, ui::kIdNo},
                   {QMessageBox::Cancel, ui::kIdCancel}};
        break;
      case ui::kMbYesNo:
        choices = {{QMessageBox::Yes, ui::kIdYes}, {QMessageBox::No, ui::kIdNo}};
        break;
      case ui::kMbRetryCancel:
        choices = {{QMessageBox::Retry, ui::kIdRetry}, {QMessageBox::Cancel, ui::kIdCancel}};
        break;
      default:
        choices = {{QMessageBox::Ok, ui::kIdOk}};
        break;
    }
    QMessageBox::StandardButtons buttons;
    for (const ButtonChoice& c : choices) buttons |= c.button;
    box.setStandardButtons(buttons);
    box.setDefaultButton(choices.front().button);
    box.exec();
    auto clicked = box.standardButton(box.clickedButton());
    for (const ButtonChoice& c : choices) {
      if (c.button == clicked) return c.id;
    }
    // Closed without a button: the original answers Cancel where there is one.
    for (const ButtonChoice& c : choices) {
      if (c.id == ui::kIdCancel) return c.id;
    }
    return choices.size() == 1 ? choices.front().id : 0;
  }

  std::string ShowFileDialog(const ui::FileDialogRequest& request) override {
    ui::FileDialogSettings& s = *request.settings;
    QFileDialog dialog(ParentFor(s.owner), ToQt(s.title ? s.title : ""),
                       QString::fromLocal8Bit(request.folder.c_str()));
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setAcceptMode(request.save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    dialog.setFileMode((!request.save && (s.options & ui::kFileMustExist))
                           ? QFileDialog::ExistingFile
                           : QFileDialog::AnyFile);
    dialog.setOption(QFileDialog::DontConfirmOverwrite, !(s.options & ui::kOverwritePrompt));
    QStringList filters;
    for (int i = 0; i < s.filterCount; ++i) {
      QString name = ToQt(s.filters[i].name ? s.filters[i].name : "");
      QString patterns =
          QString::fromLatin1(s.filters[i].pattern ? s.filters[i].pattern : "*").replace(';', ' ');
      QString suffix = " (" + patterns + ")";
      filters << (name.endsWith("(" + patterns + ")") ? name : name + suffix);
    }
    if (!filters.isEmpty()) {
      dialog.setNameFilters(filters);
      if (s.filterIndex >= 1 && s.filterIndex <= filters.size()) {
        dialog.selectNameFilter(filters[s.filterIndex - 1]);
      }
    }
    if (!s.defaultExtension.empty())
      dialog.setDefaultSuffix(QString::fromStdString(s.defaultExtension));
    if (!request.proposedName.empty())
      dialog.selectFile(QString::fromLocal8Bit(request.proposedName.c_str()));
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return "";
    int chosenFilter = int(filters.indexOf(dialog.selectedNameFilter()));
    if (chosenFilter >= 0) s.filterIndex = chosenFilter + 1;
    return dialog.selectedFiles().first().toLocal8Bit().toStdString();
  }

  void SoundBeep(ui::BeepKind) override { QApplication::beep(); }
};

QtBackend& TheBackend() {
  static QtBackend backend;
  return backend;
}

}  // namespace

void Install() { ui::SetBackend(&TheBackend()); }
void Uninstall() { ui::SetBackend(nullptr); }

QDialog* DialogWidget(ui::Dialog* dialog) { return WindowOf(dialog); }

QWidget* ControlWidget(ui::Dialog* dialog, int id) {
  DialogWindow* window = WindowOf(dialog);
  int index = ui::FindControl(dialog, id);
  return window && index >= 0 ? window->controlWidget(index) : nullptr;
}

QWidget* ControlWidgetAt(ui::Dialog* dialog, int index) {
  DialogWindow* window = WindowOf(dialog);
  return window ? window->controlWidget(index) : nullptr;
}

QSize BaseUnits(ui::Dialog* dialog) {
  DialogWindow* window = WindowOf(dialog);
  return window ? window->baseUnits() : QSize();
}

QRect DialogUnitsToPixels(ui::Dialog* dialog, int x, int y, int width, int height) {
  DialogWindow* window = WindowOf(dialog);
  return window ? window->toPixels(x, y, width, height) : QRect();
}

void SetShownHook(std::function<void(ui::Dialog*)> hook) { shownHook = std::move(hook); }

}  // namespace ui_qt
