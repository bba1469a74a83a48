// The Qt window of one dialog: widgets built from the template at its geometry
// (dialog units to pixels from the font's metrics), kept equal to the dialog model,
// and the user's mouse and keyboard turned into the calls of ui/user_input.h.
//
// Qt's own behaviours that would bypass the dialog procedure are taken over:
// buttons never click by themselves (their press takes the focus through the model,
// their release sends the command), Escape and the close box go to the procedure,
// Enter follows the template's default button, Tab follows the template's tab
// stops, and list views select and focus rows through the model only.
#pragma once

#include <QDialog>
#include <QEventLoop>
#include <QMap>
#include <QPoint>
#include <QSize>
#include <QTimer>
#include <QVector>

#include "ui/dialog_model.h"

class QTreeWidget;
class QTreeWidgetItem;

namespace ui_qt {

class DialogWindow : public QDialog {
 public:
  DialogWindow(ui::Dialog* dialog, QWidget* parent);
  ~DialogWindow() override;

  ui::Dialog* model() const { return dialog_; }
  QWidget* controlWidget(int index) const { return widgets_.value(index); }
  QSize baseUnits() const { return base_; }
  QRect toPixels(int x, int y, int width, int height) const;

  void apply(int index, ui::Change change, int row, int column);  // model → widgets
  void timerChanged(int timerId);
  void runLoop();
  void quitLoop();

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void closeEvent(QCloseEvent* event) override;
  bool focusNextPrevChild(bool next) override;
  void reject() override {}  // only the procedure ends a dialog

 private:
  QWidget* makeWidget(int index);
  void fillList(int index);
  QTreeWidgetItem* makeItem(const ui::Control& list, const ui::ListRow& row) const;
  void showSelection(int index);
  bool filterButton(int index, QEvent* event);
  bool filterList(int index, QEvent* event);
  bool handleDialogKey(QKeyEvent* event);

  ui::Dialog* dialog_;
  QSize base_;                   // pixels per 4 × 8 dialog units
  QVector<QWidget*> widgets_;    // by control index
  QMap<QObject*, int> indexOf_;  // widget or list viewport → control index
  QMap<int, QTimer*> timers_;
  QEventLoop* loop_ = nullptr;
  int pressed_ = -1;  // button under a mouse press
  // The last press in a list view, to know the press that a double-click follows.
  quint64 lastListPress_ = 0;  // event timestamp, ms
  QPoint lastListPressAt_;
  Qt::MouseButton lastListButton_ = Qt::NoButton;
  int syncing_ = 0;  // > 0 while the model is being shown, so echoes are ignored
};

}  // namespace ui_qt
