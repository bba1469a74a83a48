// A dialog's Qt window: builds the widgets from the template, shows every change of
// the dialog model, and feeds the user's actions into the model (see the header).
#include "dialog_window.h"

#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QGroupBox>
#include <QHeaderView>
#include <QImage>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPixmap>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QStyleHints>
#include <QTreeWidget>
#include <QValidator>

#include "qt_text.h"
#include "ui/user_input.h"

namespace ui_qt {

using ui::Change;
using ui::Control;

namespace {

// Typing into an edit follows the model's rules (limit, digits only); text set by
// the program is not validated by Qt, as on the original platform.
class EditValidator : public QValidator {
 public:
  EditValidator(ui::Dialog* dialog, int index, QObject* parent)
      : QValidator(parent), dialog_(dialog), index_(index) {}
  State validate(QString& input, int&) const override {
    const Control& edit = dialog_->controls[size_t(index_)];
    return ui::input::AcceptsTypedText(edit, FromQt(input)) ? Acceptable : Invalid;
  }

 private:
  ui::Dialog* dialog_;
  int index_;
};

// The original platform's MulDiv: a * b / c rounded half away from zero.
int MulDiv(int a, int b, int c) {
  long long p = static_cast<long long>(a) * b;
  return int(p >= 0 ? (2 * p + c) / (2 * c) : -((-2 * p + c) / (2 * c)));
}

Qt::Alignment TextAlignment(uint32_t style) {
  Qt::Alignment h = (style & ui::kTextCentre)  ? Qt::AlignHCenter
                    : (style & ui::kTextRight) ? Qt::AlignRight
                                               : Qt::AlignLeft;
  return h | ((style & ui::kVCentre) ? Qt::AlignVCenter : Qt::AlignTop);
}

Qt::Alignment ColumnAlignment(ui::ColumnAlign align) {
  switch (align) {
    case ui::kAlignCentre:
      return Qt::AlignHCenter | Qt::AlignVCenter;
    case ui::kAlignRight:
      return Qt::AlignRight | Qt::AlignVCenter;
    case ui::kAlignLeft:
      break;
  }
  return Qt::AlignLeft | Qt::AlignVCenter;
}

QPixmap IconPixmap(const ui::Icon* icon) {
  if (!icon || !icon->pixels || icon->width <= 0 || icon->height <= 0) return QPixmap();
  QImage image(reinterpret_cast<const uchar*>(icon->pixels), icon->width, icon->height,
               icon->width * 4, QImage::Format_ARGB32);
  return QPixmap::fromImage(image.copy());
}

bool IsButtonKind(ui::ControlKind kind) {
  return kind == ui::kPushButton || kind == ui::kDefPushButton || kind == ui::kCheckBox ||
         kind == ui::kAutoRadioButton;
}

}  // namespace

DialogWindow::DialogWindow(ui::Dialog* dialog, QWidget* parent) : QDialog(parent), dialog_(dialog) {
  const ui::DialogTemplate& t = *dialog->source;
  Qt::WindowFlags flags = Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint;
  if (t.style & ui::kDialogSysMenu) flags |= Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint;
  if (t.style & ui::kDialogSystemModal) flags |= Qt::WindowStaysOnTopHint;
  setWindowFlags(flags);
  setWindowModality(Qt::ApplicationModal);
  setWindowTitle(ToQt(dialog->title));

  QFont font(QString::fromLatin1(t.fontName ? t.fontName : "MS Sans Serif"),
             t.fontPoints > 0 ? t.fontPoints : 8);
  setFont(font);
  // Dialog base units as the original platform derives them: the average width of
  // the 52 letters, rounded, and the font's height.
  QFontMetrics metrics(font);
  int letters = metrics.horizontalAdvance(
      QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz"));
  base_ = QSize((letters / 26 + 1) / 2, metrics.height());
  setFixedSize(toPixels(0, 0, t.width, t.height).size());

  widgets_.resize(int(dialog->controls.size()));
  for (int i = 0; i < int(dialog->controls.size()); ++i) widgets_[i] = makeWidget(i);
  // Frames lie under everything, whatever their place in the template.
  for (int i = 0; i < widgets_.size(); ++i) {
    if (dialog->controls[size_t(i)].kind == ui::kGroupBox) widgets_[i]->lower();
  }
}

DialogWindow::~DialogWindow() = default;

QRect DialogWindow::toPixels(int x, int y, int width, int height) const {
  int left = MulDiv(x, base_.width(), 4), top = MulDiv(y, base_.height(), 8);
  return QRect(left, top, MulDiv(width, base_.width(), 4), MulDiv(height, base_.height(), 8));
}

QWidget* DialogWindow::makeWidget(int index) {
  const Control& c = dialog_->controls[size_t(index)];
  const ui::ControlTemplate& t = *c.source;
  QWidget* w = nullptr;
  switch (c.kind) {
    case ui::kPushButton:
    case ui::kDefPushButton: {
      auto* b = new QPushButton(this);
      b->setAutoDefault(false);
      b->setDefault(c.kind == ui::kDefPushButton);
      w = b;
      break;
    }
    case ui::kCheckBox:
    case ui::kAutoRadioButton:
      if (c.style & ui::kPushLike) {
        auto* b = new QPushButton(this);
        b->setAutoDefault(false);
        b->setCheckable(true);
        w = b;
      } else if (c.kind == ui::kCheckBox) {
        w = new QCheckBox(this);
      } else {
        auto* r = new QRadioButton(this);
        r->setAutoExclusive(false);  // groups are the model's
        w = r;
      }
      break;
    case ui::kGroupBox:
      w = new QGroupBox(this);
      w->setAttribute(Qt::WA_TransparentForMouseEvents);
      break;
    case ui::kStaticText:
    case ui::kIconStatic: {
      auto* label = new QLabel(this);
      label->setAlignment(c.kind == ui::kIconStatic ? Qt::AlignLeft | Qt::AlignTop
                                                    : TextAlignment(c.style));
      label->setWordWrap(!(c.style & ui::kVCentre));
      if (c.style & ui::kSunken) {
        label->setFrameStyle(QFrame::Panel | QFrame::Sunken);
      } else if (c.style & ui::kBorder) {
        label->setFrameStyle(QFrame::Box | QFrame::Plain);
      }
      label->setAttribute(Qt::WA_TransparentForMouseEvents);
      w = label;
      break;
    }
    case ui::kEdit: {
      auto* edit = new QLineEdit(this);
      edit->setAlignment(TextAlignment(c.style & ~ui::kVCentre) | Qt::AlignVCenter);
      edit->setValidator(new EditValidator(dialog_, index, edit));
      connect(edit, &QLineEdit::textEdited, this, [this, index, edit](const QString& text) {
        if (!syncing_)
          ui::input::EditTextChanged(dialog_, index, FromQt(text), edit->cursorPosition());
      });
      w = edit;
      break;
    }
    case ui::kListView: {
      auto* tree = new QTreeWidget(this);
      tree->setRootIsDecorated(false);
      tree->setUniformRowHeights(true);
      tree->setAllColumnsShowFocus(true);
      tree->setSelectionMode(QAbstractItemView::SingleSelection);
      tree->setSortingEnabled(false);
      tree->setColumnCount(0);
      tree->header()->setSectionsClickable(!(c.style & ui::kNoSortHeader));
      tree->header()->setStretchLastSection(false);
      tree->header()->setSectionsMovable(false);
      if (c.style & ui::kShowSelectionAlways) {
        QPalette palette = tree->palette();
        palette.setColor(QPalette::Inactive, QPalette::Highlight,
                         palette.color(QPalette::Active, QPalette::Highlight));
        palette.setColor(QPalette::Inactive, QPalette::HighlightedText,
                         palette.color(QPalette::Active, QPalette::HighlightedText));
        tree->setPalette(palette);
      }
      tree->viewport()->installEventFilter(this);
      indexOf_.insert(tree->viewport(), index);
      w = tree;
      break;
    }
  }
  // Focus moves only through the model; Qt may give it by Tab where the template
  // has a tab stop, never by a click of its own.
  if (ui::ControlTakesFocus(c)) {
    w->setFocusPolicy((c.style & ui::kTabStop) ? Qt::TabFocus : Qt::NoFocus);
  } else {
    w->setFocusPolicy(Qt::NoFocus);
  }
  w->setGeometry(toPixels(t.x, t.y, t.width, t.height));
  w->installEventFilter(this);
  indexOf_.insert(w, index);
  widgets_[index] = w;
  apply(index, Change::kText, -1, -1);
  apply(index, Change::kChecked, -1, -1);
  apply(index, Change::kIcon, -1, -1);
  w->setEnabled(c.enabled);
  w->setVisible(c.visible);
  return w;
}

QTreeWidgetItem* DialogWindow::makeItem(const Control& list, const ui::ListRow& row) const {
  auto* item = new QTreeWidgetItem();
  for (size_t col = 0; col < list.columns.size(); ++col) {
    item->setTextAlignment(int(col), ColumnAlignment(list.columns[col].align));
    if (col < row.cells.size()) item->setText(int(col), ToQt(row.cells[col]));
  }
  return item;
}

void DialogWindow::fillList(int index) {
  auto* tree = static_cast<QTreeWidget*>(widgets_[index]);
  const Control& list = dialog_->controls[size_t(index)];
  tree->clear();
  tree->setColumnCount(int(list.columns.size()));
  QStringList headers;
  for (const ui::ListColumn& column : list.columns) headers << ToQt(column.header);
  tree->setHeaderLabels(headers);
  for (int col = 0; col < int(list.columns.size()); ++col) {
    tree->headerItem()->setTextAlignment(col, ColumnAlignment(list.columns[size_t(col)].align));
    tree->header()->resizeSection(col, list.columns[size_t(col)].width);
  }
  QList<QTreeWidgetItem*> items;
  for (const ui::ListRow& row : list.rows) items << makeItem(list, row);
  tree->addTopLevelItems(items);
  showSelection(index);
}

void DialogWindow::showSelection(int index) {
  auto* tree = static_cast<QTreeWidget*>(widgets_[index]);
  const Control& list = dialog_->controls[size_t(index)];
  QItemSelectionModel* selection = tree->selectionModel();
  QAbstractItemModel* rows = tree->model();
  selection->clearSelection();
  if (list.selectedRow >= 0) {
    selection->select(rows->index(list.selectedRow, 0),
                      QItemSelectionModel::Select | QItemSelectionModel::Rows);
  }
  selection->setCurrentIndex(list.focusedRow >= 0 ? rows->index(list.focusedRow, 0) : QModelIndex(),
                             QItemSelectionModel::NoUpdate);
}

void DialogWindow::apply(int index, Change change, int row, int column) {
  ++syncing_;
  if (index < 0) {
    switch (change) {
      case Change::kTitle:
        setWindowTitle(ToQt(dialog_->title));
        break;
      case Change::kIcon:
        setWindowIcon(QIcon(IconPixmap(dialog_->icon)));
        break;
      case Change::kRepaint:
        repaint();
        break;
      case Change::kFocus:
        if (QWidget* f = focusWidget()) f->clearFocus();
        break;
      default:
        break;
    }
    --syncing_;
    return;
  }
  QWidget* w = widgets_.value(index);
  if (!w) {  // still being built
    --syncing_;
    return;
  }
  const Control& c = dialog_->controls[size_t(index)];
  switch (change) {
    case Change::kText:
      if (auto* edit = qobject_cast<QLineEdit*>(w)) {
        edit->setText(ToQt(c.text));
      } else if (auto* button = qobject_cast<QAbstractButton*>(w)) {
        button->setText(ToQt(c.text));
      } else if (auto* group = qobject_cast<QGroupBox*>(w)) {
        group->setTitle(ToQt(c.text));
      } else if (auto* label = qobject_cast<QLabel*>(w)) {
        if (c.kind == ui::kStaticText) label->setText(ToQt(c.text));
      }
      break;
    case Change::kEnabled:
      w->setEnabled(c.enabled);
      break;
    case Change::kVisible:
      w->setVisible(c.visible);
      break;
    case Change::kChecked:
      if (auto* button = qobject_cast<QAbstractButton*>(w)) {
        if (button->isCheckable()) button->setChecked(c.checked);
      }
      break;
    case Change::kIcon:
      if (c.kind == ui::kIconStatic) static_cast<QLabel*>(w)->setPixmap(IconPixmap(c.icon));
      break;
    case Change::kFocus:
      w->setFocus(Qt::OtherFocusReason);
      break;
    case Change::kTextSelection:
      if (auto* edit = qobject_cast<QLineEdit*>(w)) {
        if (c.selStart == c.selEnd) {
          edit->setCursorPosition(c.selEnd);
        } else {
          edit->setSelection(c.selStart, c.selEnd - c.selStart);
        }
      }
      break;
    case Change::kLimit:
      break;  // the validator reads the limit from the model
    case Change::kColumns:
      fillList(index);
      break;
    case Change::kRowInserted: {
      auto* tree = static_cast<QTreeWidget*>(w);
      tree->insertTopLevelItem(row, makeItem(c, c.rows[size_t(row)]));
      showSelection(index);
      break;
    }
    case Change::kRowDeleted:
      delete static_cast<QTreeWidget*>(w)->takeTopLevelItem(row);
      showSelection(index);
      break;
    case Change::kAllRowsDeleted:
      static_cast<QTreeWidget*>(w)->clear();
      break;
    case Change::kCell:
      if (QTreeWidgetItem* item = static_cast<QTreeWidget*>(w)->topLevelItem(row)) {
        item->setText(column, ToQt(c.rows[size_t(row)].cells[size_t(column)]));
      }
      break;
    case Change::kRowSelection:
      showSelection(index);
      break;
    case Change::kScroll:
      if (auto* tree = static_cast<QTreeWidget*>(w);
          QTreeWidgetItem* item = tree->topLevelItem(row)) {
        tree->scrollToItem(item, QAbstractItemView::EnsureVisible);
      }
      break;
    case Change::kRepaint:
      w->repaint();
      break;
    case Change::kTitle:
      break;
  }
  --syncing_;
}

void DialogWindow::timerChanged(int timerId) {
  const ui::DialogTimer* running = nullptr;
  for (const ui::DialogTimer& t : dialog_->timers) {
    if (t.id == timerId) running = &t;
  }
  QTimer* timer = timers_.value(timerId);
  if (!running) {
    if (timer) {
      timers_.remove(timerId);
      timer->stop();
      timer->deleteLater();
    }
    return;
  }
  if (!timer) {
    timer = new QTimer(this);
    connect(timer, &QTimer::timeout, this, [this, timerId] {
      if (!dialog_->ended) ui::input::FireTimer(dialog_, timerId);
    });
    timers_.insert(timerId, timer);
  }
  timer->start(int(running->periodMs));
}

void DialogWindow::runLoop() {
  if (dialog_->source->style & ui::kDialogCentred) {
    QScreen* screen = parentWidget() ? parentWidget()->screen() : QGuiApplication::primaryScreen();
    if (screen) move(screen->availableGeometry().center() - rect().center());
  }
  show();
  if (dialog_->source->style & ui::kDialogForeground) {
    raise();
    activateWindow();
  }
  QEventLoop loop;
  loop_ = &loop;
  if (!dialog_->ended) loop.exec(QEventLoop::DialogExec);
  loop_ = nullptr;
  hide();
}

void DialogWindow::quitLoop() {
  if (loop_) loop_->quit();
}

bool DialogWindow::handleDialogKey(QKeyEvent* event) {
  if (dialog_->ended) return true;
  switch (event->key()) {
    case Qt::Key_Escape:
      ui::input::Escape(dialog_);
      return true;
    case Qt::Key_Return:
    case Qt::Key_Enter:
      ui::input::Enter(dialog_);
      return true;
    default:
      return false;
  }
}

bool DialogWindow::filterButton(int index, QEvent* event) {
  auto* button = static_cast<QAbstractButton*>(widgets_[index]);
  switch (event->type()) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonDblClick: {
      auto* mouse = static_cast<QMouseEvent*>(event);
      if (mouse->button() != Qt::LeftButton || dialog_->ended) return true;
      if (ui::input::Press(dialog_, index)) {
        pressed_ = index;
        button->setDown(true);
      }
      return true;
    }
    case QEvent::MouseButtonRelease: {
      auto* mouse = static_cast<QMouseEvent*>(event);
      if (mouse->button() != Qt::LeftButton || pressed_ != index) return true;
      pressed_ = -1;
      button->setDown(false);
      if (button->rect().contains(mouse->position().toPoint()) && !dialog_->ended) {
        ui::input::Release(dialog_, index);
      }
      return true;
    }
    case QEvent::KeyPress:
    case QEvent::KeyRelease: {
      auto* key = static_cast<QKeyEvent*>(event);
      if (key->key() == Qt::Key_Space) {
        if (event->type() == QEvent::KeyPress) {
          if (!key->isAutoRepeat()) button->setDown(true);
        } else if (!key->isAutoRepeat()) {
          button->setDown(false);
          if (!dialog_->ended) ui::input::Click(dialog_, index);
        }
        return true;
      }
      return event->type() == QEvent::KeyPress && handleDialogKey(key);
    }
    default:
      return false;
  }
}

bool DialogWindow::filterList(int index, QEvent* event) {
  auto* tree = static_cast<QTreeWidget*>(widgets_[index]);
  switch (event->type()) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonDblClick: {
      auto* mouse = static_cast<QMouseEvent*>(event);
      bool right = mouse->button() == Qt::RightButton;
      if ((!right && mouse->button() != Qt::LeftButton) || dialog_->ended) return true;
      QPoint at = mouse->position().toPoint();
      QTreeWidgetItem* item = tree->itemAt(at);
      int row = item ? tree->indexOfTopLevelItem(item) : -1;
      if (event->type() == QEvent::MouseButtonDblClick) {
        lastListPress_ = 0;  // a third press starts anew
        ui::input::RowDoubleClick(dialog_, index, row, right);
        return true;
      }
      // Qt delivers the second press of a double-click before the double-click
      // itself; the original platform has only the double-click then.
      const QStyleHints* hints = QGuiApplication::styleHints();
      bool second =
          lastListPress_ != 0 && mouse->button() == lastListButton_ &&
          mouse->timestamp() - lastListPress_ < quint64(hints->mouseDoubleClickInterval()) &&
          (at - lastListPressAt_).manhattanLength() <= hints->mouseDoubleClickDistance();
      lastListPress_ = second ? 0 : std::max<quint64>(1, mouse->timestamp());
      lastListPressAt_ = at;
      lastListButton_ = mouse->button();
      if (!second) ui::input::RowPress(dialog_, index, row, right);
      return true;
    }
    case QEvent::MouseButtonRelease:
    case QEvent::MouseMove:
      return true;  // no drag selection
    case QEvent::KeyPress: {
      auto* key = static_cast<QKeyEvent*>(event);
      const Control& list = dialog_->controls[size_t(index)];
      int count = int(list.rows.size());
      int page = std::max(1, ui::input::RowsPerPage(list) - 1);
      int row = list.focusedRow;
      switch (key->key()) {
        case Qt::Key_Up:
          row = std::max(0, row - 1);
          break;
        case Qt::Key_Down:
          row = std::min(count - 1, row + 1);
          break;
        case Qt::Key_PageUp:
          row = std::max(0, row - page);
          break;
        case Qt::Key_PageDown:
          row = std::min(count - 1, row + page);
          break;
        case Qt::Key_Home:
          row = 0;
          break;
        case Qt::Key_End:
          row = count - 1;
          break;
        case Qt::Key_Tab:
        case Qt::Key_Backtab:
          return false;
        default:
          return handleDialogKey(key) || true;  // no type-ahead search
      }
      if (count > 0 && !dialog_->ended) {
        bool select = !(key->modifiers() & Qt::ControlModifier);
        ui::input::MoveRowFocus(dialog_, index, row, select);
        if (QTreeWidgetItem* item = tree->topLevelItem(row)) tree->scrollToItem(item);
      }
      return true;
    }
    case QEvent::FocusIn:
      // Qt makes the first row current when a list gains the focus; the model says
      // which row has it.
      QTimer::singleShot(0, this, [this, index] {
        if (widgets_.value(index)) showSelection(index);
      });
      return false;
    default:
      return false;
  }
}

bool DialogWindow::eventFilter(QObject* watched, QEvent* event) {
  auto found = indexOf_.constFind(watched);
  if (found == indexOf_.constEnd()) return QDialog::eventFilter(watched, event);
  int index = found.value();
  const Control& c = dialog_->controls[size_t(index)];
  if (IsButtonKind(c.kind)) return filterButton(index, event);
  if (c.kind == ui::kListView) return filterList(index, event);
  if (c.kind == ui::kEdit) {
    switch (event->type()) {
      case QEvent::MouseButtonPress:
      case QEvent::MouseButtonDblClick:
        if (static_cast<QMouseEvent*>(event)->button() != Qt::LeftButton || dialog_->ended)
          return true;
        ui::input::Press(dialog_, index);
        return dialog_->focus != index;  // the caret goes where clicked only if it kept the focus
      case QEvent::KeyPress:
        return handleDialogKey(static_cast<QKeyEvent*>(event));
      default:
        return false;
    }
  }
  return false;
}

void DialogWindow::keyPressEvent(QKeyEvent* event) {
  if (!handleDialogKey(event)) QWidget::keyPressEvent(event);
}

void DialogWindow::closeEvent(QCloseEvent* event) {
  event->ignore();
  if (!dialog_->ended) ui::input::Close(dialog_);
}

bool DialogWindow::focusNextPrevChild(bool next) {
  // Qt also calls this to move the focus off a widget being disabled; the original
  // platform leaves the focus where it is then.
  if (syncing_ || dialog_->ended) return true;
  ui::input::Tab(dialog_, next);
  return true;
}

}  // namespace ui_qt
