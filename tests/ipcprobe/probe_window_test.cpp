// IpcProbe's window offscreen: every control of the template at its place and with
// its text, and a click on a button reaching the procedure.
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QDialog>
#include <QGroupBox>
#include <QLabel>
#include <QMessageBox>
#include <QTest>
#include <QTimer>

#include "ipcprobe.h"
#include "qt_backend.h"
#include "sys/text_codec.h"
#include "ui/headless.h"

namespace {

// The original platform's MulDiv, for an independent reckoning of the places.
int Scale(int units, int base, int per) { return (2 * units * base + per) / (2 * per); }

QString TextOf(QWidget* w) {
  if (auto* b = qobject_cast<QAbstractButton*>(w)) return b->text();
  if (auto* g = qobject_cast<QGroupBox*>(w)) return g->title();
  if (auto* l = qobject_cast<QLabel*>(w)) return l->text();
  return QString();
}

TEST(IpcProbeWindow, EveryControlAtItsPlaceAndAClickReachesTheProcedure) {
  ui::headless::Reset();
  ui_qt::Install();
  std::string linkedAfterClick;
  bool boxShown = false;
  ui_qt::SetShownHook([&](ui::Dialog* d) {
    QDialog* window = ui_qt::DialogWidget(d);
    QTimer::singleShot(10000, window, [d] { ui::EndDialog(d, -2); });
    QFontMetrics metrics(window->font());
    int letters = metrics.horizontalAdvance("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz");
    int bx = (letters / 26 + 1) / 2, by = metrics.height();
    EXPECT_EQ(window->windowTitle(), "IpcProbe 1.10");
    EXPECT_EQ(window->size(), QSize(Scale(300, bx, 4), Scale(189, by, 8)));
    const ui::DialogTemplate& t = kProbeDialog;
    for (int i = 0; i < t.controlCount; ++i) {
      const ui::ControlTemplate& c = t.controls[i];
      QWidget* w = ui_qt::ControlWidgetAt(d, i);
      ASSERT_NE(w, nullptr) << i;
      EXPECT_TRUE(w->isVisible()) << c.text;
      EXPECT_EQ(w->geometry(), QRect(Scale(c.x, bx, 4), Scale(c.y, by, 8), Scale(c.width, bx, 4),
                                     Scale(c.height, by, 8)))
          << "control " << i << " id " << c.id << " \"" << c.text << "\"";
      if (c.id != kLinkedField) {
        EXPECT_EQ(TextOf(w), QString::fromStdString(sys::Cp1252ToUtf8(c.text))) << c.id;
      }
    }
    EXPECT_EQ(TextOf(ui_qt::ControlWidget(d, kLinkedField)), "NOT LINKED");
    EXPECT_FALSE(ui_qt::ControlWidget(d, kUnlinkButton)->isEnabled());
    // With no unit, Link answers with its message box; OK it.
    QTimer::singleShot(50, [&] {
      auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
      if (!box) return;
      boxShown = box->text() == "Sorry, OpenFileMapping(COM_AREA) fail!" &&
                 box->windowTitle() == "INFO from IpcProbe" && box->icon() == QMessageBox::Critical;
      box->button(QMessageBox::Ok)->click();
    });
    QTest::mouseClick(ui_qt::ControlWidget(d, kLinkButton), Qt::LeftButton);
    linkedAfterClick = ui::GetItemText(d, kLinkedField);
    window->close();  // the close box: the procedure ends the dialog
  });
  int result = ui::RunModalDialog(kProbeDialog, ProbeDialogProc, nullptr);
  ui_qt::SetShownHook(nullptr);
  ui_qt::Uninstall();
  EXPECT_EQ(result, kDialogClosed);
  EXPECT_TRUE(boxShown);
  EXPECT_EQ(linkedAfterClick, "NOT LINKED");
  ASSERT_EQ(ui::headless::MessageBoxes().size(), 1u);
}

}  // namespace
