// The headless dialog layer, driven as a user would drive the data manager's
// dialogs: the focus order of clicks, field checks that take the focus back, the
// selected and the focused row, edit limits, Enter/Escape/close, radio groups,
// timers, and the modal calls that must fail at once when nobody answers them.
#include "ui/headless.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>

#include "sys/paths.h"
#include "test_dialog.h"
#include "ui/file_dialog.h"
#include "ui/list_view.h"
#include "ui/message_box.h"

namespace {

using ui::headless::User;
namespace td = testdialog;

class UiHeadless : public ::testing::Test {
 protected:
  void SetUp() override {
    ui::headless::Install();
    ui::headless::Reset();
    td::Reset();
    ui::headless::SetProblemHandler([this](const std::string& problem) {
      if (expectProblems_) {
        problems_.push_back(problem);
      } else {
        ADD_FAILURE() << "dialog layer problem: " << problem;
      }
    });
  }
  void TearDown() override {
    for (const std::string& unused : ui::headless::UnusedAnswers()) {
      ADD_FAILURE() << "left in the queue: " << unused;
    }
    ui::headless::SetProblemHandler(nullptr);
    ui::headless::Reset();
  }

  // Runs the test dialog with `script`; returns its result.
  int Run(std::function<void(User&)> script) {
    ui::headless::OnDialog("TestDialog", std::move(script));
    return ui::RunModalDialog(td::kTemplate, td::Proc, nullptr);
  }

  // The log entries after the first one equal to `from` (all when empty).
  static std::vector<std::string> LogAfter(const std::string& from) {
    auto it = std::find(td::log.begin(), td::log.end(), from);
    return it == td::log.end() ? std::vector<std::string>()
                               : std::vector<std::string>(it + 1, td::log.end());
  }

  bool expectProblems_ = false;
  std::vector<std::string> problems_;
};

TEST_F(UiHeadless, InitRunsBeforeTheScriptAndDestroyAfterTheEnd) {
  int result = Run([](User& u) {
    EXPECT_EQ(u.Title(), "Test dialog");
    EXPECT_EQ(u.Text(td::kStatus), "ACTUAL");
    EXPECT_FALSE(u.Visible(td::kHiddenNote));
    EXPECT_TRUE(u.Checked(td::kNorth));
    EXPECT_EQ(u.ColumnCount(td::kList), 2);
    EXPECT_EQ(u.ColumnHeader(td::kList, 1), "Ident");
    EXPECT_EQ(u.ColumnWidth(td::kList, 0), 155);
    EXPECT_EQ(u.ColumnAlignment(td::kList, 1), ui::kAlignCentre);
    EXPECT_EQ(u.Row(td::kList, 3), (std::vector<std::string>{"Row3", "ID3"}));
    // The first tab stop has the focus, its (empty) text selected.
    EXPECT_EQ(u.Focused(), td::kIdent);
    u.Click(td::kOk);
  });
  EXPECT_EQ(result, 7);
  EXPECT_EQ(td::log.front(), "init");
  EXPECT_EQ(td::log.back(), "destroy");
}

TEST_F(UiHeadless, AButtonClickTakesTheFocusBeforeItsCommand) {
  Run([](User& u) {
    u.Type(td::kName, "ZURICH");
    EXPECT_TRUE(u.Click(td::kAdd));
    EXPECT_EQ(u.Focused(), td::kAdd);
    u.Click(td::kOk);
  });
  EXPECT_EQ(LogAfter("init"),
            (std::vector<std::string>{"cmd 100 lost", "cmd 102 lost", "cmd 200 clicked",
                                      "cmd 201 clicked", "destroy"}));
}

TEST_F(UiHeadless, AFieldInErrorTakesTheFocusBackAndTheClickStillArrives) {
  Run([](User& u) {
    u.Type(td::kDegrees, "200");
    EXPECT_TRUE(u.Click(td::kAdd));
    EXPECT_EQ(u.Focused(), td::kDegrees);
    EXPECT_EQ(u.TextSelection(td::kDegrees), std::make_pair(0, 3));
    // Typing now replaces the selected value.
    EXPECT_EQ(u.Keys("90"), 2);
    EXPECT_EQ(u.Text(td::kDegrees), "90");
    u.Click(td::kOk);
  });
  EXPECT_EQ(ui::headless::Beeps(), std::vector<ui::BeepKind>{ui::kBeepDefault});
  std::vector<std::string> after = LogAfter("cmd 100 lost");
  ASSERT_GE(after.size(), 2u);
  EXPECT_EQ(after[0], "cmd 101 lost");
  EXPECT_EQ(after[1], "cmd 200 clicked");
}

TEST_F(UiHeadless, AClickIsLostWhenLosingTheFocusDisablesTheButton) {
  td::disableAddOnLeave = true;
  Run([](User& u) {
    u.Type(td::kName, "X");
    EXPECT_FALSE(u.Click(td::kAdd));
    EXPECT_FALSE(u.Enabled(td::kAdd));
    EXPECT_FALSE(u.Click(td::kAdd));  // a disabled button takes no click at all
    u.Click(td::kOk);
  });
  EXPECT_EQ(std::count(td::log.begin(), td::log.end(), "cmd 200 clicked"), 0);
}

TEST_F(UiHeadless, TabFollowsEnabledVisibleTabStopsAndSelectsTheText) {
  Run([](User& u) {
    ui::SetItemText(u.dialog(), td::kName, "LSZH");
    EXPECT_EQ(u.Focused(), td::kIdent);
    u.Tab();
    EXPECT_EQ(u.Focused(), td::kDegrees);
    u.Tab();
    EXPECT_EQ(u.Focused(), td::kName);
    EXPECT_EQ(u.TextSelection(td::kName), std::make_pair(0, 4));
    u.Tab();
    EXPECT_EQ(u.Focused(), td::kIdent);  // wraps round
    ui::EnableItem(u.dialog(), td::kDegrees, false);
    u.Tab();
    EXPECT_EQ(u.Focused(), td::kName);
    u.Tab(false);
    EXPECT_EQ(u.Focused(), td::kIdent);
    u.Click(td::kOk);
  });
}

TEST_F(UiHeadless, EditLimitsBoundTypingButNotTheProgram) {
  struct Case {
    int id;
    const char* typed;
    const char* shown;
    bool whole;
  };
  const Case cases[] = {
      {td::kIdent, "LSZH", "LSZH", true},
      {td::kIdent, "ABCDEFG", "ABCDE", false},
      {td::kDegrees, "1a2b", "12", false},
      {td::kDegrees, "1234", "123", false},
      {td::kName, "", "", true},
      {td::kName,
       "Z\xBA"
       "RICH",
       "Z\xBA"
       "RICH",
       true},
  };
  Run([&](User& u) {
    for (const Case& c : cases) {
      EXPECT_EQ(u.Type(c.id, c.typed), c.whole) << c.typed;
      EXPECT_EQ(u.Text(c.id), c.shown) << c.typed;
    }
    // The program may set a longer text; typing may then shorten it but not add.
    ui::SetItemText(u.dialog(), td::kIdent, "LONGER");
    EXPECT_EQ(u.Text(td::kIdent), "LONGER");
    u.Focus(td::kIdent);
    EXPECT_EQ(u.Keys("X"), 0);
    EXPECT_EQ(u.Keys("\b"), 1);
    EXPECT_EQ(u.Text(td::kIdent), "LONGE");
    // The buffer form copies at most size - 1 characters.
    char buffer[4];
    EXPECT_EQ(ui::GetItemText(u.dialog(), td::kIdent, buffer, sizeof buffer), 3);
    EXPECT_STREQ(buffer, "LON");
    u.Click(td::kOk);
  });
}

TEST_F(UiHeadless, TheSelectedRowAndTheFocusedRowAreDistinct) {
  Run([](User& u) {
    const int list = td::kList;
    u.ClickRow(list, 2);
    EXPECT_EQ(u.SelectedRow(list), 2);
    EXPECT_EQ(u.FocusedRow(list), 2);
    // A click below the rows clears the selection and keeps the focused row, so a
    // double-click there still acts on row 2.
    u.DoubleClickRow(list, -1);
    EXPECT_EQ(u.SelectedRow(list), -1);
    EXPECT_EQ(u.FocusedRow(list), 2);
    // The keyboard moves the focus without the selection (Ctrl+arrows).
    u.ClickRow(list, 3);
    u.MoveRowFocus(list, 4);
    EXPECT_EQ(u.SelectedRow(list), 3);
    EXPECT_EQ(u.FocusedRow(list), 4);
    // Rows inserted or deleted before them move both along.
    ui::ListViewInsertRow(u.dialog(), list, 0, "New", nullptr);
    EXPECT_EQ(u.SelectedRow(list), 4);
    EXPECT_EQ(u.FocusedRow(list), 5);
    ui::ListViewDeleteRow(u.dialog(), list, 4);
    EXPECT_EQ(u.SelectedRow(list), -1);
    EXPECT_EQ(u.FocusedRow(list), 4);
    u.RightClickRow(list, 1);
    EXPECT_EQ(u.SelectedRow(list), 1);
    ui::ListViewDeleteAllRows(u.dialog(), list);
    EXPECT_EQ(u.SelectedRow(list), -1);
    EXPECT_EQ(u.FocusedRow(list), -1);
    u.Click(td::kOk);
  });
  EXPECT_EQ(LogAfter("notify 400 click row 2 focused 2 selected 2"),
            (std::vector<std::string>{"notify 400 click row -1 focused 2 selected -1",
                                      "notify 400 dblclick row -1 focused 2 selected -1",
                                      "notify 400 click row 3 focused 3 selected 3",
                                      "notify 400 rclick row 1 focused 1 selected 1",
                                      "cmd 201 clicked", "destroy"}));
}

TEST_F(UiHeadless, AClickInAListTakesTheFocusFromTheEditFirst) {
  Run([](User& u) {
    u.Type(td::kName, "X");
    u.DoubleClickRow(td::kList, 1);
    EXPECT_EQ(u.Focused(), td::kList);
    u.Click(td::kOk);
  });
  EXPECT_EQ(LogAfter("cmd 100 lost"),
            (std::vector<std::string>{"cmd 102 lost", "notify 400 click row 1 focused 1 selected 1",
                                      "notify 400 dblclick row 1 focused 1 selected 1",
                                      "cmd 201 clicked", "destroy"}));
}

TEST_F(UiHeadless, RowDataAndCellsFollowTheirRows) {
  Run([](User& u) {
    ui::Dialog* d = u.dialog();
    void* third = ui::ListViewRowData(d, td::kList, 2);
    ui::ListViewDeleteRow(d, td::kList, 0);
    EXPECT_EQ(ui::ListViewRowData(d, td::kList, 1), third);
    EXPECT_EQ(ui::ListViewGetCell(d, td::kList, 1, 1), "ID2");
    EXPECT_EQ(ui::ListViewRowData(d, td::kList, 99), nullptr);
    EXPECT_FALSE(ui::ListViewSetCell(d, td::kList, 0, 5, "beyond the columns"));
    // Appending past the end; a new column gives every row an empty cell there.
    EXPECT_EQ(ui::ListViewInsertRow(d, td::kList, 1000, "Last", nullptr), 4);
    EXPECT_EQ(ui::ListViewInsertColumn(d, td::kList, 1, "Lat", 60, ui::kAlignCentre), 1);
    EXPECT_EQ(u.Row(td::kList, 1), (std::vector<std::string>{"Row2", "", "ID2"}));
    u.Click(td::kOk);
  });
}

TEST_F(UiHeadless, EnsureVisibleScrollsJustEnough) {
  Run([](User& u) {
    ui::Dialog* d = u.dialog();
    for (int i = 5; i < 40; ++i) ui::ListViewInsertRow(d, td::kList, i, "More", nullptr);
    EXPECT_TRUE(u.RowFullyVisible(td::kList, 0));
    ui::ListViewEnsureVisible(d, td::kList, 30);
    EXPECT_TRUE(u.RowFullyVisible(td::kList, 30));
    EXPECT_FALSE(u.RowFullyVisible(td::kList, 31));  // the row is the page's last
    int top = u.TopRow(td::kList);
    ui::ListViewEnsureVisible(d, td::kList, top + 1);
    EXPECT_EQ(u.TopRow(td::kList), top);  // already visible: no scroll
    ui::ListViewEnsureVisible(d, td::kList, 2);
    EXPECT_EQ(u.TopRow(td::kList), 2);
    u.Click(td::kOk);
  });
}

TEST_F(UiHeadless, EnterEscapeAndCloseReachOnlyTheProcedure) {
  int result = Run([](User& u) {
    u.Escape();
    EXPECT_FALSE(u.Ended());
    u.Close();
    EXPECT_FALSE(u.Ended());
    u.Click(td::kAdd);
    u.Enter();  // a focused push button takes Enter
    EXPECT_FALSE(u.Ended());
    u.Focus(td::kName);
    u.Enter();  // elsewhere Enter presses the default button
    EXPECT_TRUE(u.Ended());
  });
  EXPECT_EQ(result, 7);
  EXPECT_EQ(LogAfter("init"),
            (std::vector<std::string>{"cmd 2 clicked", "close", "cmd 2 clicked", "cmd 100 lost",
                                      "cmd 200 clicked", "cmd 200 clicked", "cmd 201 clicked",
                                      "destroy"}));
}

TEST_F(UiHeadless, CloseEndsTheDialogWhereTheProcedureHandlesIt) {
  td::handleClose = true;
  EXPECT_EQ(Run([](User& u) { u.Close(); }), 9);
}

TEST_F(UiHeadless, EnterWithoutADefaultButtonSendsTheOkId) {
  ui::headless::OnDialog("Plain", [](User& u) {
    u.Enter();
    EXPECT_FALSE(u.Ended());
    u.Click(11);
  });
  EXPECT_EQ(ui::RunModalDialog(td::kPlainTemplate, td::PlainProc, nullptr), 1);
  EXPECT_EQ(td::log.front(), "cmd 1 clicked");
}

TEST_F(UiHeadless, RadioButtonsUncheckOnlyTheirOwnGroup) {
  Run([](User& u) {
    u.Click(td::kSouth);
    EXPECT_FALSE(u.Checked(td::kNorth));
    EXPECT_TRUE(u.Checked(td::kSouth));
    EXPECT_TRUE(u.Checked(td::kEast));
    u.Click(td::kWest);
    EXPECT_TRUE(u.Checked(td::kSouth));
    EXPECT_FALSE(u.Checked(td::kEast));
    u.Click(td::kAirports);
    EXPECT_TRUE(u.Checked(td::kAirports));
    u.Click(td::kAirports);
    EXPECT_FALSE(u.Checked(td::kAirports));
    u.Click(td::kOk);
  });
}

TEST_F(UiHeadless, TimersFireAsTimePassesUntilKilled) {
  Run([](User& u) {
    EXPECT_FALSE(u.FireTimer(1));
    u.Click(td::kTimer);
    EXPECT_EQ(u.TimerPeriod(1), 1000u);
    u.Wait(2500);
    EXPECT_TRUE(ui::KillTimer(u.dialog(), 1));
    u.Wait(5000);
    EXPECT_FALSE(ui::SetTimer(u.dialog(), 2, 0));
    u.Click(td::kOk);
  });
  EXPECT_EQ(std::count(td::log.begin(), td::log.end(), "timer 1"), 2);
}

TEST_F(UiHeadless, ANestedDialogRunsItsOwnScript) {
  ui::headless::OnDialog("Nested", [](User& nested) { nested.Click(ui::kIdOk); });
  Run([](User& u) {
    u.Click(td::kNested);
    u.Click(td::kOk);
  });
  EXPECT_NE(std::find(td::log.begin(), td::log.end(), "nested 5"), td::log.end());
}

TEST_F(UiHeadless, MessageBoxesTakeQueuedAnswersAndAreLogged) {
  Run([](User& u) {
    ui::headless::AnswerMessageBox(ui::kIdCancel);
    u.Click(td::kAsk);
    u.Click(td::kOk);
  });
  ASSERT_EQ(ui::headless::MessageBoxes().size(), 1u);
  const ui::headless::MessageBoxRecord& box = ui::headless::MessageBoxes()[0];
  EXPECT_EQ(box.owner, "TestDialog");
  EXPECT_EQ(box.text, "Sure?");
  EXPECT_EQ(box.caption, "INFO from Test");
  EXPECT_EQ(box.flags, unsigned(ui::kMbOkCancel));
  EXPECT_EQ(box.answer, ui::kIdCancel);
  EXPECT_NE(std::find(td::log.begin(), td::log.end(), "box 2"), td::log.end());
}

TEST_F(UiHeadless, UnansweredModalCallsFailAtOnceAndAreReported) {
  expectProblems_ = true;
  // A dialog with no script does not open; its procedure never runs.
  EXPECT_EQ(ui::RunModalDialog(td::kTemplate, td::Proc, nullptr), -1);
  EXPECT_TRUE(td::log.empty());
  // Inside a running dialog: a nested dialog, a message box, a file dialog.
  std::string chosen = "NoName.prg";
  bool fileChosen = true;
  int result = Run([&](User& u) {
    u.Click(td::kNested);
    u.Click(td::kAsk);
    ui::FileDialogSettings settings;
    settings.owner = u.dialog();
    settings.title = "Open";
    fileChosen = ui::GetOpenFileName(settings, chosen);
    u.Click(td::kOk);
  });
  EXPECT_EQ(result, 7);
  EXPECT_NE(std::find(td::log.begin(), td::log.end(), "nested -1"), td::log.end());
  EXPECT_NE(std::find(td::log.begin(), td::log.end(), "box 0"), td::log.end());
  EXPECT_FALSE(fileChosen);
  EXPECT_EQ(chosen, "NoName.prg");
  // A script that returns with its dialog open: closed with -1.
  EXPECT_EQ(Run([](User&) {}), -1);
  EXPECT_EQ(td::log.back(), "destroy");
  ASSERT_EQ(problems_.size(), 5u);
  EXPECT_NE(problems_[0].find("TestDialog opened with no script"), std::string::npos);
  EXPECT_NE(problems_[1].find("Nested opened with no script"), std::string::npos);
  EXPECT_NE(problems_[2].find("\"Sure?\""), std::string::npos);
  EXPECT_NE(problems_[3].find("file dialog \"Open\""), std::string::npos);
  EXPECT_NE(problems_[4].find("still open"), std::string::npos);
}

TEST_F(UiHeadless, MistakesOfProceduresAndScriptsAreReported) {
  expectProblems_ = true;
  Run([](User& u) {
    ui::headless::AnswerMessageBox(ui::kIdYes);  // not a button of an OK/Cancel box
    u.Click(td::kAsk);
    EXPECT_FALSE(ui::SetItemText(u.dialog(), 999, "x"));
    EXPECT_FALSE(u.Click(999));
    u.Click(td::kOk);
    u.Click(td::kAdd);  // after the end
  });
  ASSERT_EQ(problems_.size(), 4u);
  EXPECT_NE(problems_[0].find("does not show"), std::string::npos);
  EXPECT_NE(problems_[1].find("has no control 999"), std::string::npos);
  EXPECT_NE(problems_[2].find("has no control 999"), std::string::npos);
  EXPECT_NE(problems_[3].find("after it ended"), std::string::npos);
}

class UiFileDialogs : public UiHeadless {
 protected:
  void SetUp() override {
    UiHeadless::SetUp();
    start_ = sys::CurrentDirectory();
    root_ = std::filesystem::temp_directory_path() / ("ui_files_" + std::to_string(getpid()));
    std::filesystem::create_directories(root_ / "Programs");
    std::ofstream(root_ / "Programs" / "TRIP.prg") << "x";
  }
  void TearDown() override {
    sys::SetCurrentDirectory(start_.c_str());
    std::filesystem::remove_all(root_);
    UiHeadless::TearDown();
  }
  std::string start_;
  std::filesystem::path root_;
};

TEST_F(UiFileDialogs, OpenInTheProposedFoldersAndChangeTheCurrentDirectory) {
  static const ui::FileFilter filters[] = {{"GPS Program (*.prg)", "*.prg"}, {"All (*.*)", "*.*"}};
  ui::FileDialogSettings settings;
  settings.title = "Selection of GPS Program to save";
  settings.filters = filters;
  settings.filterCount = 2;
  settings.initialFolder = (root_ / "Programs").string();
  settings.defaultExtension = "prg";
  settings.options = ui::kOverwritePrompt | ui::kPathMustExist;

  // A bare name opens in the initial folder; a name typed without extension gets
  // the default one; the folder becomes the current directory.
  std::string path = "NoName.prg";
  ui::headless::AnswerFileDialog("NEW");
  ASSERT_TRUE(ui::GetSaveFileName(settings, path));
  EXPECT_EQ(path, (root_ / "Programs" / "NEW.prg").string());
  EXPECT_EQ(sys::CurrentDirectory(), (root_ / "Programs").string());

  // A full path opens in its own folder and proposes its name.
  sys::SetCurrentDirectory(start_.c_str());
  settings.options |= ui::kNoChangeDir;
  ui::headless::AnswerFileDialog("/tmp/x.prg");
  ASSERT_TRUE(ui::GetSaveFileName(settings, path));
  EXPECT_EQ(sys::CurrentDirectory(), start_);
  const auto& log = ui::headless::FileDialogs();
  ASSERT_EQ(log.size(), 2u);
  EXPECT_EQ(log[0].folder, (root_ / "Programs").string());
  EXPECT_EQ(log[0].proposedName, "NoName.prg");
  EXPECT_EQ(log[1].folder, (root_ / "Programs").string());
  EXPECT_EQ(log[1].proposedName, "NEW.prg");
  EXPECT_TRUE(log[1].save);
  EXPECT_EQ(log[1].title, "Selection of GPS Program to save");
}

TEST_F(UiFileDialogs, AFileThatMustExistCannotBeChosenWhenMissing) {
  expectProblems_ = true;
  ui::FileDialogSettings settings;
  settings.initialFolder = (root_ / "Programs").string();
  settings.options = ui::kFileMustExist | ui::kPathMustExist;
  std::string path;
  ui::headless::AnswerFileDialog("TRIP.prg");
  ui::headless::AnswerFileDialog("MISSING.prg");
  ui::headless::CancelFileDialog();
  EXPECT_TRUE(ui::GetOpenFileName(settings, path));
  EXPECT_EQ(path, (root_ / "Programs" / "TRIP.prg").string());
  EXPECT_FALSE(ui::GetOpenFileName(settings, path));
  EXPECT_FALSE(ui::GetOpenFileName(settings, path));
  EXPECT_EQ(problems_.size(), 1u);  // the missing file; a cancel is no problem
}

}  // namespace
