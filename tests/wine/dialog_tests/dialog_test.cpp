// The dialog layer: exceptions stopped at the dialog procedure, default
// processing, modeless windows, data exchange and the control wrappers.
#include "framework/Dialog.h"

// clang-format off
#include <windows.h>  // before the other system headers
#include <commctrl.h>
// clang-format on

#include <stdexcept>
#include <string>
#include <vector>

#include "framework/Controls.h"
#include "framework/DataExchange.h"
#include "gtest/gtest.h"
#include "res/resource.h"
#include "scan/PumpDlg.h"
#include "system/FileError.h"
#include "tests/wine/dialog_tests/DialogTestSupport.h"

namespace kw::test {
namespace {

const char kCaption[] = "Tarnwell Kelpwise";

// A dialog with hooks: a step inside OnInitDialog, a command (the group
// box id) that runs a step, and WM_CLOSE with or without default processing.
class ProbeDialog : public Dialog {
 public:
  ProbeDialog() : Dialog(IDD_LANGUAGE) {}

  std::function<void()> initStep;
  std::function<void()> commandStep;
  bool closeCallsDefault = false;
  bool initFinished = false;
  bool commandFinished = false;

 protected:
  bool OnInitDialog() override {
    Dialog::OnInitDialog();
    if (initStep) initStep();
    initFinished = true;
    return true;
  }
  bool OnCommand(int id, int code) override {
    static const CommandEntry<ProbeDialog> kCommands[] = {
        {IDC_LANGUAGE_GROUP, &ProbeDialog::OnProbe}};
    return DispatchCommand(this, kCommands, id, code) || Dialog::OnCommand(id, code);
  }
  bool OnMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override {
    if (message != WM_CLOSE) return false;
    if (closeCallsDefault) Default();
    return true;
  }

 private:
  void OnProbe() {
    if (commandStep) commandStep();
    commandFinished = true;
  }
};

using ScriptedProbe = Scripted<ProbeDialog>;

class DialogTest : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_NE(ProgramModule(), nullptr) << "Kelpwise.exe not found"; }
};

struct ThrowCase {
  const char* name;
  std::function<void()> thrower;
  std::string expectedText;
};

std::vector<ThrowCase> ThrowCases() {
  return {
      {"open", [] { throw FileError(FileError::Cause::Open, "C:\\Kelpwise\\config.ini"); },
       "The file could not be opened:\n\nC:\\Kelpwise\\config.ini"},
      {"write", [] { throw FileError(FileError::Cause::Write, "C:\\Kelpwise\\blacklist.ini"); },
       "The file could not be written:\n\nC:\\Kelpwise\\blacklist.ini"},
      {"std", [] { throw std::runtime_error("disk on fire"); },
       "The operation could not be completed.\n\ndisk on fire"},
      {"other", [] { throw 42; }, "The operation could not be completed."},
  };
}

TEST_F(DialogTest, ExceptionFromACommandIsReportedAndTheDialogRunsOn) {
  for (const ThrowCase& row : ThrowCases()) {
    SCOPED_TRACE(row.name);
    MessageBoxAnswerer answerer;
    ScriptedProbe dialog;
    dialog.commandStep = row.thrower;
    bool aliveAfterError = false;
    dialog.steps = [&](ProbeDialog& d) {
      Click(d.hwnd(), IDC_LANGUAGE_GROUP);
      aliveAfterError = ::IsWindow(d.hwnd()) != FALSE;
      Click(d.hwnd(), IDOK);
    };
    EXPECT_EQ(dialog.DoModal(), IDOK);
    EXPECT_TRUE(aliveAfterError);
    EXPECT_FALSE(dialog.commandFinished);
    ASSERT_EQ(answerer.boxes().size(), 1u);
    EXPECT_EQ(answerer.boxes()[0].caption, kCaption);
    EXPECT_EQ(answerer.boxes()[0].text, row.expectedText);
  }
}

TEST_F(DialogTest, FileErrorDuringInitialisationSkipsTheRestButTheDialogRuns) {
  MessageBoxAnswerer answerer;
  ScriptedProbe dialog;
  dialog.initStep = [] { throw FileError(FileError::Cause::Open, "C:\\k\\kpwtrl.ini"); };
  dialog.steps = [](ProbeDialog& d) { Click(d.hwnd(), IDCANCEL); };
  EXPECT_EQ(dialog.DoModal(), IDCANCEL);
  EXPECT_FALSE(dialog.initFinished);
  ASSERT_EQ(answerer.boxes().size(), 1u);
  EXPECT_EQ(answerer.boxes()[0].text, "The file could not be opened:\n\nC:\\k\\kpwtrl.ini");
}

TEST_F(DialogTest, CloseEndsTheDialogAsCancelOnlyThroughDefaultProcessing) {
  for (bool callsDefault : {true, false}) {
    SCOPED_TRACE(callsDefault ? "default" : "handled");
    ScriptedProbe dialog;
    dialog.closeCallsDefault = callsDefault;
    dialog.steps = [](ProbeDialog& d) {
      ::SendMessageA(d.hwnd(), WM_CLOSE, 0, 0);
      // When the close is swallowed, OK ends the run instead; when it was
      // passed on, this command is still queued behind the posted Cancel.
      ::PostMessageA(d.hwnd(), WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
    };
    EXPECT_EQ(dialog.DoModal(), callsDefault ? IDCANCEL : IDOK);
  }
}

TEST_F(DialogTest, ModelessWindowCanBeDestroyedTwiceAndCreatedAgain) {
  HWND first = nullptr;
  {
    ScriptedProbe panel;
    ASSERT_TRUE(panel.Create(nullptr));
    first = panel.hwnd();
    EXPECT_TRUE(::IsWindow(first));
    panel.DestroyWindow();
    EXPECT_FALSE(panel.HasWindow());
    EXPECT_FALSE(::IsWindow(first));
    panel.DestroyWindow();  // already gone: nothing happens

    ASSERT_TRUE(panel.Create(nullptr));
    first = panel.hwnd();
    EXPECT_TRUE(::IsWindow(first));
  }
  // The object's end takes a window that is still open with it.
  EXPECT_FALSE(::IsWindow(first));
}

TEST_F(DialogTest, ComboTextSelectsAMatchingItemOrFillsTheField) {
  struct {
    const char* load;
    int selected;
    const char* shown;
  } rows[] = {
      {"English", 1, "English"},
      {"Deu", 0, "Deutsch"},  // the first item that begins with the text
      {"Klingon", -1, "Klingon"},
      {"", -1, ""},
  };
  ScriptedProbe dialog;
  dialog.steps = [&](ProbeDialog& d) {
    ComboBox combo;
    combo.Attach(d.GetItem(IDC_LANGUAGE_COMBO));
    for (const char* name : {"Deutsch", "English", "Espanol"}) combo.AddString(name);
    for (const auto& row : rows) {
      SCOPED_TRACE(row.load);
      combo.SetCurSel(-1);
      combo.SetText("previous");
      std::string value = row.load;
      DataExchange(d.hwnd(), false).ComboText(IDC_LANGUAGE_COMBO, value);
      EXPECT_EQ(combo.GetCurSel(), row.selected);
      std::string saved = "unchanged";
      DataExchange(d.hwnd(), true).ComboText(IDC_LANGUAGE_COMBO, saved);
      EXPECT_EQ(saved, row.shown);
    }
    Click(d.hwnd(), IDOK);
  };
  dialog.DoModal();
}

TEST_F(DialogTest, MenuCaptionChangeKeepsCommandIdsAndDropDowns) {
  HMENU bar = ::LoadMenuA(ProgramModule(), MAKEINTRESOURCEA(IDR_MAINMENU));
  ASSERT_NE(bar, nullptr);
  Menu menuBar(bar);
  HMENU fileMenu = ::GetSubMenu(bar, 0);
  EXPECT_TRUE(menuBar.SetTextByPosition(0, "&Datei"));
  EXPECT_EQ(::GetSubMenu(bar, 0), fileMenu);
  EXPECT_EQ(menuBar.GetTextByPosition(0), "&Datei");

  Menu file = menuBar.SubMenu(0);
  EXPECT_TRUE(file.SetTextByPosition(2, "&Optionen"));
  EXPECT_EQ(::GetMenuItemID(fileMenu, 2), static_cast<UINT>(IDM_FILE_OPTIONS));
  EXPECT_EQ(file.GetTextByPosition(2), "&Optionen");
  EXPECT_TRUE(::GetMenuState(fileMenu, 1, MF_BYPOSITION) & MF_SEPARATOR);

  EXPECT_TRUE(menuBar.ContainsCommand(IDM_HELP_ABOUT));
  EXPECT_FALSE(menuBar.ContainsCommand(IDM_ABOUTBOX));
  ::DestroyMenu(bar);
}

TEST_F(DialogTest, ListViewKeepsLongCellTextsWholeAndRemovesColumns) {
  INITCOMMONCONTROLSEX controls = {sizeof controls, ICC_LISTVIEW_CLASSES};
  ::InitCommonControlsEx(&controls);
  Scripted<Dialog> dialog(IDD_KELPWISE_DIALOG);
  dialog.steps = [](Dialog& d) {
    ListView list;
    list.Attach(d.GetItem(IDC_LIST_RESULTS));
    for (int column = 0; column < 3; ++column) {
      EXPECT_EQ(list.InsertColumn(column, "c" + std::to_string(column)), column);
    }
    EXPECT_EQ(list.GetColumnCount(), 3);
    std::string longPath = "C:\\" + std::string(1500, 'x') + "\\gone.dll";
    EXPECT_EQ(list.InsertRow(0, "Old Fonts", 7), 0);
    EXPECT_EQ(list.InsertRow(1, "RunMRU", 0), 1);
    EXPECT_TRUE(list.SetCellText(0, 2, longPath));
    EXPECT_EQ(list.GetCellText(0, 2), longPath);
    EXPECT_EQ(list.GetCellText(1, 0), "RunMRU");
    EXPECT_EQ(list.GetNextSelected(), -1);
    ListView_SetItemState(list.hwnd(), 1, LVIS_SELECTED, LVIS_SELECTED);
    EXPECT_EQ(list.GetNextSelected(), 1);
    EXPECT_TRUE(list.DeleteRow(0));
    EXPECT_EQ(list.GetRowCount(), 1);
    for (int column = 2; column >= 0; --column) EXPECT_TRUE(list.DeleteColumn(column));
    EXPECT_EQ(list.GetColumnCount(), 0);
    Click(d.hwnd(), IDCANCEL);
  };
  dialog.DoModal();
}

TEST_F(DialogTest, ImageListIsBuiltAnewEachTime) {
  ImageList images;
  for (int round = 0; round < 2; ++round) {
    ASSERT_TRUE(images.Create16x16());
    for (int id = IDI_CATEGORY_FIRST; id <= IDI_CATEGORY_LAST; ++id) {
      EXPECT_EQ(images.AddIcon(ProgramModule(), id), id - IDI_CATEGORY_FIRST);
    }
    EXPECT_EQ(images.GetCount(), 12);
  }
  EXPECT_EQ(images.AddIcon(ProgramModule(), 9999), -1);
}

// The pump runs the thread's queued messages and gives the owner back.
int g_pumped = 0;
INT_PTR CALLBACK CountingProc(HWND, UINT message, WPARAM, LPARAM) {
  if (message == WM_APP + 5) ++g_pumped;
  return message == WM_INITDIALOG ? TRUE : FALSE;
}

class ProgramPump : public CPumpDlg {
 public:
  HINSTANCE ResourceModule() const override { return ProgramModule(); }
};

TEST_F(DialogTest, PumpRunsQueuedMessagesQuicklyAndGivesTheOwnerBackItsFocus) {
  HWND owner = ::CreateDialogParamA(ProgramModule(), MAKEINTRESOURCEA(IDD_LANGUAGE), nullptr,
                                    &CountingProc, 0);
  ASSERT_NE(owner, nullptr);
  ::ShowWindow(owner, SW_SHOW);
  HWND combo = ::GetDlgItem(owner, IDC_LANGUAGE_COMBO);
  ::SetFocus(combo);
  HWND focused = ::GetFocus();  // the combo box's edit field
  ASSERT_NE(focused, nullptr);

  g_pumped = 0;
  ::PostMessageA(owner, WM_APP + 5, 0, 0);
  ::PostMessageA(owner, WM_APP + 5, 0, 0);
  DWORD start = ::GetTickCount();
  for (int i = 0; i < 5; ++i) {
    ProgramPump pump;
    EXPECT_EQ(pump.DoModal(owner), IDOK);
  }
  // A pump that showed its window would cost seconds under Wine without a
  // window manager.
  EXPECT_LT(::GetTickCount() - start, 1000u);
  EXPECT_EQ(g_pumped, 2);
  EXPECT_TRUE(::IsWindowEnabled(owner));
  EXPECT_EQ(::GetFocus(), focused);
  ::DestroyWindow(owner);
}

}  // namespace
}  // namespace kw::test
