// The Qt backend offscreen: the window built from the template at its geometry,
// real mouse and key events reaching the procedure in the original platform's
// order, Escape and the close box left to the procedure, list rows selected and
// focused through the model, message boxes answered by their buttons.
#include "qt_backend.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <QTreeWidget>
#include <algorithm>
#include <functional>

#include "test_dialog.h"
#include "ui/dialog_model.h"
#include "ui/headless.h"
#include "ui/list_view.h"

namespace {

namespace td = testdialog;

class UiQt : public ::testing::Test {
 protected:
  void SetUp() override {
    td::Reset();
    ui::headless::Reset();
    ui_qt::Install();
  }
  void TearDown() override {
    ui_qt::SetShownHook(nullptr);
    ui_qt::Uninstall();
  }

  // Runs `dialogTemplate` under Qt; `drive` acts once the window is shown. A dialog
  // still open after ten seconds is ended with -2 so a broken test cannot hang.
  int Run(std::function<void(ui::Dialog*, QDialog*)> drive,
          const ui::DialogTemplate& dialogTemplate = td::kTemplate,
          ui::DialogProc proc = td::Proc) {
    ui_qt::SetShownHook([drive](ui::Dialog* d) {
      QDialog* window = ui_qt::DialogWidget(d);
      QTimer::singleShot(10000, window, [d] { ui::EndDialog(d, -2); });
      drive(d, window);
    });
    return ui::RunModalDialog(dialogTemplate, proc, nullptr);
  }

  static void Click(ui::Dialog* d, int id) {
    QTest::mouseClick(ui_qt::ControlWidget(d, id), Qt::LeftButton);
  }

  static bool Logged(const std::string& line) {
    return std::find(td::log.begin(), td::log.end(), line) != td::log.end();
  }
};

// The original platform's MulDiv, written out again for an independent check.
int Scale(int units, int base, int per) { return (2 * units * base + per) / (2 * per); }

TEST_F(UiQt, EveryControlSitsAtItsTemplatePlace) {
  Run([](ui::Dialog* d, QDialog* window) {
    QFontMetrics metrics(window->font());
    int letters = metrics.horizontalAdvance("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz");
    int bx = (letters / 26 + 1) / 2, by = metrics.height();
    EXPECT_EQ(ui_qt::BaseUnits(d), QSize(bx, by));
    // An 8-point sans-serif dialog font: a few pixels wide, about twice as high.
    EXPECT_GE(bx, 4);
    EXPECT_LE(bx, 10);
    EXPECT_GE(by, 10);
    EXPECT_LE(by, 20);
    const ui::DialogTemplate& t = td::kTemplate;
    EXPECT_EQ(window->size(), QSize(Scale(t.width, bx, 4), Scale(t.height, by, 8)));
    for (int i = 0; i < t.controlCount; ++i) {
      const ui::ControlTemplate& c = t.controls[i];
      QWidget* w = ui_qt::ControlWidgetAt(d, i);
      ASSERT_NE(w, nullptr);
      EXPECT_EQ(w->geometry(), QRect(Scale(c.x, bx, 4), Scale(c.y, by, 8), Scale(c.width, bx, 4),
                                     Scale(c.height, by, 8)))
          << "control " << i << " (id " << c.id << ")";
    }
    EXPECT_EQ(window->windowTitle(), "Test dialog");
    EXPECT_FALSE(ui_qt::ControlWidget(d, td::kHiddenNote)->isVisible());
    auto* ok = qobject_cast<QPushButton*>(ui_qt::ControlWidget(d, td::kOk));
    ASSERT_NE(ok, nullptr);
    EXPECT_TRUE(ok->isDefault());
    auto* list = qobject_cast<QTreeWidget*>(ui_qt::ControlWidget(d, td::kList));
    ASSERT_NE(list, nullptr);
    EXPECT_EQ(list->topLevelItemCount(), 5);
    EXPECT_EQ(list->headerItem()->text(1), "Ident");
    EXPECT_EQ(list->columnWidth(0), 155);
    Click(d, td::kOk);
  });
}

TEST_F(UiQt, AClickSendsItsCommandAfterTheEditsLostFocus) {
  int result = Run([](ui::Dialog* d, QDialog* window) {
    auto* name = ui_qt::ControlWidget(d, td::kName);
    QTest::mouseClick(name, Qt::LeftButton);
    QTest::keyClicks(name, "ZURICH");
    EXPECT_EQ(ui::GetItemText(d, td::kName), "ZURICH");
    Click(d, td::kAdd);
    EXPECT_EQ(ui::FocusedItem(d), td::kAdd);
    EXPECT_EQ(window->focusWidget(), ui_qt::ControlWidget(d, td::kAdd));
    Click(d, td::kOk);
  });
  EXPECT_EQ(result, 7);
  auto lost = std::find(td::log.begin(), td::log.end(), "cmd 102 lost");
  ASSERT_NE(lost, td::log.end());
  ASSERT_NE(lost + 1, td::log.end());
  EXPECT_EQ(*(lost + 1), "cmd 200 clicked");
}

TEST_F(UiQt, TypingFollowsTheLimitsAndAFieldInErrorKeepsTheFocus) {
  Run([](ui::Dialog* d, QDialog* window) {
    auto* ident = ui_qt::ControlWidget(d, td::kIdent);
    QTest::mouseClick(ident, Qt::LeftButton);
    QTest::keyClicks(ident, "ABCDEFG");
    EXPECT_EQ(ui::GetItemText(d, td::kIdent), "ABCDE");
    auto* degrees = qobject_cast<QLineEdit*>(ui_qt::ControlWidget(d, td::kDegrees));
    QTest::mouseClick(degrees, Qt::LeftButton);
    QTest::keyClicks(degrees, "2x00");
    EXPECT_EQ(degrees->text(), "200");
    Click(d, td::kAdd);
    EXPECT_EQ(ui::FocusedItem(d), td::kDegrees);
    EXPECT_EQ(window->focusWidget(), degrees);
    EXPECT_EQ(degrees->selectedText(), "200");
    QTest::keyClicks(degrees, "90");  // replaces the selected value
    EXPECT_EQ(ui::GetItemText(d, td::kDegrees), "90");
    Click(d, td::kOk);
  });
  EXPECT_EQ(ui::headless::Beeps().size(), 1u);
}

TEST_F(UiQt, EscapeAndTheCloseBoxDoNothingUnlessHandled) {
  int result = Run([](ui::Dialog* d, QDialog* window) {
    QTest::keyClick(ui_qt::ControlWidget(d, td::kIdent), Qt::Key_Escape);
    QTest::keyClick(window, Qt::Key_Escape);
    window->close();
    EXPECT_FALSE(d->ended);
    EXPECT_TRUE(window->isVisible());
    QTest::keyClick(ui_qt::ControlWidget(d, td::kName), Qt::Key_Return);  // the default button
  });
  EXPECT_EQ(result, 7);
  EXPECT_EQ(std::count(td::log.begin(), td::log.end(), "cmd 2 clicked"), 3);
  EXPECT_TRUE(Logged("close"));
}

TEST_F(UiQt, EnterWithoutADefaultButtonDoesNotClickAnything) {
  int result = Run(
      [](ui::Dialog* d, QDialog*) {
        QTest::keyClick(ui_qt::ControlWidget(d, 10), Qt::Key_Return);
        EXPECT_FALSE(d->ended);
        Click(d, 11);
      },
      td::kPlainTemplate, td::PlainProc);
  EXPECT_EQ(result, 1);
  EXPECT_EQ(td::log, (std::vector<std::string>{"cmd 1 clicked", "cmd 10 lost", "cmd 11 clicked"}));
}

TEST_F(UiQt, RowClicksSelectAndFocusThroughTheModel) {
  Run([](ui::Dialog* d, QDialog*) {
    auto* list = qobject_cast<QTreeWidget*>(ui_qt::ControlWidget(d, td::kList));
    QWidget* rows = list->viewport();
    QPoint third = list->visualItemRect(list->topLevelItem(2)).center();
    QTest::mouseClick(rows, Qt::LeftButton, {}, third);
    EXPECT_EQ(ui::ListViewSelectedRow(d, td::kList), 2);
    EXPECT_EQ(ui::ListViewFocusedRow(d, td::kList), 2);
    EXPECT_TRUE(list->topLevelItem(2)->isSelected());
    QPoint below(10, rows->height() - 3);
    QTest::mouseClick(rows, Qt::LeftButton, {}, below);
    EXPECT_EQ(ui::ListViewSelectedRow(d, td::kList), -1);
    EXPECT_EQ(ui::ListViewFocusedRow(d, td::kList), 2);
    EXPECT_TRUE(list->selectedItems().isEmpty());
    QTest::mouseDClick(rows, Qt::LeftButton, {}, third);
    // Ctrl+Down moves the focus only; Down moves and selects.
    QTest::keyClick(list, Qt::Key_Down, Qt::ControlModifier);
    EXPECT_EQ(ui::ListViewSelectedRow(d, td::kList), 2);
    EXPECT_EQ(ui::ListViewFocusedRow(d, td::kList), 3);
    QTest::keyClick(list, Qt::Key_Down);
    EXPECT_EQ(ui::ListViewSelectedRow(d, td::kList), 4);
    Click(d, td::kOk);
  });
  EXPECT_TRUE(Logged("notify 400 click row -1 focused 2 selected -1"));
  EXPECT_TRUE(Logged("notify 400 dblclick row 2 focused 2 selected 2"));
}

TEST_F(UiQt, RadioGroupsAndPushLikeButtonsShowTheModel) {
  Run([](ui::Dialog* d, QDialog*) {
    Click(d, td::kSouth);
    auto* north = qobject_cast<QAbstractButton*>(ui_qt::ControlWidget(d, td::kNorth));
    auto* south = qobject_cast<QAbstractButton*>(ui_qt::ControlWidget(d, td::kSouth));
    EXPECT_FALSE(north->isChecked());
    EXPECT_TRUE(south->isChecked());
    EXPECT_TRUE(ui::IsItemChecked(d, td::kEast));
    Click(d, td::kAirports);
    EXPECT_TRUE(ui::IsItemChecked(d, td::kAirports));
    EXPECT_TRUE(
        qobject_cast<QAbstractButton*>(ui_qt::ControlWidget(d, td::kAirports))->isChecked());
    Click(d, td::kOk);
  });
}

TEST_F(UiQt, MessageBoxesAnswerWithTheButtonPressedAndTimersRun) {
  Run([](ui::Dialog* d, QDialog*) {
    QTimer::singleShot(50, [] {
      auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
      ASSERT_NE(box, nullptr);
      EXPECT_EQ(box->windowTitle(), "INFO from Test");
      EXPECT_EQ(box->text(), "Sure?");
      box->button(QMessageBox::Cancel)->click();
    });
    Click(d, td::kAsk);
    Click(d, td::kTimer);
    QTest::qWait(1300);
    Click(d, td::kOk);
  });
  EXPECT_TRUE(Logged("box 2"));
  EXPECT_TRUE(Logged("timer 1"));
}

}  // namespace
