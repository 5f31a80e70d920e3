// The resources of the built Kelpwise.exe: templates with every control the
// code addresses, the menu as the commands expect it, icons, banners and the
// code-page string of the system menu.
#include "res/resource.h"

// clang-format off
#include <windows.h>  // before the other system headers
#include <commctrl.h>
// clang-format on

#include <string>
#include <vector>

#include "gtest/gtest.h"
#include "tests/wine/dialog_tests/DialogTestSupport.h"

namespace kw::test {
namespace {

INT_PTR CALLBACK PlainProc(HWND, UINT message, WPARAM, LPARAM) {
  return message == WM_INITDIALOG ? TRUE : FALSE;
}

class ResourceTest : public ::testing::Test {
 protected:
  void SetUp() override {
    INITCOMMONCONTROLSEX controls = {sizeof controls, ICC_LISTVIEW_CLASSES | ICC_PROGRESS_CLASS};
    ::InitCommonControlsEx(&controls);
    m_module = ProgramModule();
    ASSERT_NE(m_module, nullptr) << "Kelpwise.exe not found (set KW_PROGRAM_DIR)";
  }
  void TearDown() override {
    for (auto it = m_windows.rbegin(); it != m_windows.rend(); ++it) ::DestroyWindow(*it);
  }

  HWND CreateFromTemplate(int id, HWND parent = nullptr) {
    HWND window = ::CreateDialogParamA(m_module, MAKEINTRESOURCEA(id), parent, &PlainProc, 0);
    if (window != nullptr) m_windows.push_back(window);
    return window;
  }

  HINSTANCE m_module = nullptr;
  std::vector<HWND> m_windows;
};

std::string ClassOf(HWND window) {
  char name[64] = {};
  ::GetClassNameA(window, name, sizeof name);
  return name;
}

RECT ScreenRect(HWND window) {
  RECT rect;
  ::GetWindowRect(window, &rect);
  return rect;
}

TEST_F(ResourceTest, SystemMenuAboutTextKeepsItsUmlautInTheAnsiCodePage) {
  char text[128] = {};
  int length = ::LoadStringA(m_module, IDS_ABOUTBOX, text, sizeof text);
  EXPECT_EQ(std::string(text, length),
            "Inf&o \xFC"
            "ber Kelpwise...");
}

struct ControlSpec {
  int id;
  const char* className;  // nullptr: any
};

struct TemplateSpec {
  int id;
  bool child;  // created inside the main window
  std::vector<ControlSpec> controls;
};

TEST_F(ResourceTest, EveryTemplateHoldsTheControlsTheCodeAddresses) {
  const std::vector<TemplateSpec> templates = {
      {IDD_ABOUTBOX, false, {{IDOK, "Button"}}},
      {IDD_KELPWISE_DIALOG,
       false,
       {{IDOK, "Button"},
        {IDCANCEL, "Button"},
        {IDC_BANNER_BOTTOM, "Static"},
        {IDC_LIST_RESULTS, "SysListView32"},
        {IDC_START_SEARCH, "Button"},
        {IDC_OPTIONS, "Button"},
        {IDC_STATUS, "Static"},
        {IDC_CHECKING, "Static"},
        {IDC_REMOVE, "Button"},
        {IDC_MORE_INFO, "Button"}}},
      {IDD_OPTIONS,
       false,
       {{IDC_GROUP_KINDS, "Button"},
        {IDC_CHECK_RUNMRU, "Button"},
        {IDC_CHECK_SEARCH_ASSISTANT, "Button"},
        {IDC_CHECK_PAINT, "Button"},
        {IDC_CHECK_WORDPAD, "Button"},
        {IDC_CHECK_EXPLORER, "Button"},
        {IDC_CHECK_EXCEL, "Button"},
        {IDC_CHECK_EXE, "Button"},
        {IDC_CHECK_FONTS, "Button"},
        {IDC_CHECK_SHARED_DLLS, "Button"},
        {IDC_CHECK_COM, "Button"},
        {IDC_CHECK_ACTIVEX, "Button"},
        {IDC_CHECK_HELP_FILES, "Button"},
        {IDC_CHECK_BREAK_DOWN, "Button"},
        {IDC_OPTIONS_HELP, "Button"},
        {IDC_OPTIONS_DESCRIPTION, "Static"},
        {IDC_GROUP_MORE, "Button"},
        {IDC_CHECK_AUTOSTART, "Button"},
        {IDC_DAYS, "Edit"},
        {IDC_DAYS_LABEL, "Static"},
        {IDOK, "Button"},
        {IDCANCEL, "Button"}}},
      {IDD_WELCOME,
       true,
       {{IDC_WELCOME_RULE_TOP, PROGRESS_CLASSA},
        {IDC_WELCOME_RULE_BOTTOM, PROGRESS_CLASSA},
        {IDC_WELCOME_HEADING, "Static"},
        {IDC_WELCOME_INTRO, "Static"},
        {IDC_WELCOME_FEATURES, "Static"}}},
      {IDD_LANGUAGE,
       false,
       {{IDC_LANGUAGE_GROUP, "Button"}, {IDC_LANGUAGE_COMBO, "ComboBox"}, {IDOK, "Button"}}},
      {IDD_PUMP, false, {{IDOK, "Button"}, {IDCANCEL, "Button"}}},
  };
  HWND main = CreateFromTemplate(IDD_KELPWISE_DIALOG);
  ASSERT_NE(main, nullptr);
  for (const TemplateSpec& spec : templates) {
    SCOPED_TRACE("template " + std::to_string(spec.id));
    HWND dialog = CreateFromTemplate(spec.id, spec.child ? main : nullptr);
    ASSERT_NE(dialog, nullptr);
    for (const ControlSpec& control : spec.controls) {
      SCOPED_TRACE("control " + std::to_string(control.id));
      HWND item = ::GetDlgItem(dialog, control.id);
      ASSERT_NE(item, nullptr);
      if (control.className != nullptr) {
        EXPECT_STREQ(ClassOf(item).c_str(), control.className);
      }
    }
  }
}

TEST_F(ResourceTest, LanguageDialogHasNoCancelButtonSoThatClosingCancels) {
  HWND dialog = CreateFromTemplate(IDD_LANGUAGE);
  ASSERT_NE(dialog, nullptr);
  EXPECT_EQ(::GetDlgItem(dialog, IDCANCEL), nullptr);
  LONG style = ::GetWindowLongA(::GetDlgItem(dialog, IDC_LANGUAGE_COMBO), GWL_STYLE);
  EXPECT_EQ(style & 0x3, CBS_DROPDOWN);  // an editable field
  EXPECT_TRUE(style & CBS_SORT);
}

TEST_F(ResourceTest, ResultsListLeavesItsImageListToTheWindowAndAllowsSeveralRows) {
  HWND main = CreateFromTemplate(IDD_KELPWISE_DIALOG);
  ASSERT_NE(main, nullptr);
  LONG style = ::GetWindowLongA(::GetDlgItem(main, IDC_LIST_RESULTS), GWL_STYLE);
  EXPECT_EQ(style & LVS_TYPEMASK, LVS_REPORT);
  // The window destroys its image list itself; the list view must not.
  EXPECT_TRUE(style & LVS_SHAREIMAGELISTS);
  EXPECT_FALSE(style & LVS_SINGLESEL);
  EXPECT_TRUE(style & LVS_SHOWSELALWAYS);
  EXPECT_TRUE(style & LVS_NOSORTHEADER);
  EXPECT_TRUE(::GetWindowLongA(main, GWL_EXSTYLE) & WS_EX_APPWINDOW);
}

TEST_F(ResourceTest, WelcomePanelCoversTheListButNotTheStatusLine) {
  HWND main = CreateFromTemplate(IDD_KELPWISE_DIALOG);
  ASSERT_NE(main, nullptr);
  HWND panel = CreateFromTemplate(IDD_WELCOME, main);
  ASSERT_NE(panel, nullptr);
  EXPECT_FALSE(::GetWindowLongA(panel, GWL_STYLE) & WS_VISIBLE);
  RECT panelRect = ScreenRect(panel);
  RECT listRect = ScreenRect(::GetDlgItem(main, IDC_LIST_RESULTS));
  RECT statusRect = ScreenRect(::GetDlgItem(main, IDC_STATUS));
  EXPECT_LE(panelRect.left, listRect.left);
  EXPECT_LE(panelRect.top, listRect.top);
  EXPECT_GE(panelRect.right, listRect.right);
  EXPECT_GE(panelRect.bottom, listRect.bottom);
  EXPECT_LE(panelRect.bottom, statusRect.top);
}

struct MenuItemSpec {
  int position;
  UINT id;  // 0: separator
  const char* text;
};

TEST_F(ResourceTest, MenuBarHoldsEveryCommandAtItsPosition) {
  HMENU bar = ::LoadMenuA(m_module, MAKEINTRESOURCEA(IDR_MAINMENU));
  ASSERT_NE(bar, nullptr);
  ASSERT_EQ(::GetMenuItemCount(bar), 2);
  const std::vector<std::vector<MenuItemSpec>> menus = {
      {{0, IDM_FILE_NEW_SEARCH, "&Start New Search"},
       {1, 0, ""},
       {2, IDM_FILE_OPTIONS, "&Options"},
       {3, IDM_FILE_REVERSE_CHANGES, "&Reverse Changes"},
       {4, 0, ""},
       {5, IDM_FILE_LANGUAGE, "&Language Selection"},
       {6, 0, ""},
       {7, IDM_FILE_EXIT, "&Exit"}},
      {{0, IDM_HELP_SHOW_FILE, "Show &Help File"},
       {1, 0, ""},
       {2, IDM_HELP_WEBSITE, "Go To Tarnwell &Website"},
       {3, 0, ""},
       {4, IDM_HELP_ABOUT, "&About"}},
  };
  for (size_t m = 0; m < menus.size(); ++m) {
    HMENU menu = ::GetSubMenu(bar, static_cast<int>(m));
    ASSERT_NE(menu, nullptr);
    EXPECT_EQ(::GetMenuItemCount(menu), static_cast<int>(menus[m].size()));
    for (const MenuItemSpec& item : menus[m]) {
      SCOPED_TRACE("menu " + std::to_string(m) + " position " + std::to_string(item.position));
      char text[64] = {};
      ::GetMenuStringA(menu, item.position, text, sizeof text, MF_BYPOSITION);
      UINT state = ::GetMenuState(menu, item.position, MF_BYPOSITION);
      if (item.id == 0) {
        EXPECT_TRUE(state & MF_SEPARATOR);
      } else {
        EXPECT_EQ(::GetMenuItemID(menu, item.position), item.id);
        EXPECT_STREQ(text, item.text);
      }
    }
  }
  ::DestroyMenu(bar);
}

// The pixels of an icon drawn at 16x16 on white.
std::vector<unsigned char> IconPixels(HICON icon) {
  BITMAPINFO info = {};
  info.bmiHeader.biSize = sizeof info.bmiHeader;
  info.bmiHeader.biWidth = 16;
  info.bmiHeader.biHeight = 16;
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  void* bits = nullptr;
  HDC dc = ::CreateCompatibleDC(nullptr);
  HBITMAP bitmap = ::CreateDIBSection(dc, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  HGDIOBJ old = ::SelectObject(dc, bitmap);
  RECT all = {0, 0, 16, 16};
  ::FillRect(dc, &all, static_cast<HBRUSH>(::GetStockObject(WHITE_BRUSH)));
  ::DrawIconEx(dc, 0, 0, icon, 16, 16, 0, nullptr, DI_NORMAL);
  ::GdiFlush();
  std::vector<unsigned char> pixels(static_cast<unsigned char*>(bits),
                                    static_cast<unsigned char*>(bits) + 16 * 16 * 4);
  ::SelectObject(dc, old);
  ::DeleteObject(bitmap);
  ::DeleteDC(dc);
  return pixels;
}

TEST_F(ResourceTest, CategoryIconsLoadAtBothSizesAndDifferFromEachOther) {
  std::vector<std::vector<unsigned char>> seen;
  for (int id = IDI_CATEGORY_FIRST; id <= IDI_CATEGORY_LAST; ++id) {
    SCOPED_TRACE("icon " + std::to_string(id));
    for (int size : {16, 32}) {
      HICON icon = static_cast<HICON>(
          ::LoadImageA(m_module, MAKEINTRESOURCEA(id), IMAGE_ICON, size, size, 0));
      ASSERT_NE(icon, nullptr) << size;
      if (size == 16) {
        std::vector<unsigned char> pixels = IconPixels(icon);
        for (const auto& other : seen) EXPECT_NE(pixels, other);
        seen.push_back(pixels);
      }
      ::DestroyIcon(icon);
    }
  }
  for (int size : {16, 32, 48}) {
    HICON icon = static_cast<HICON>(
        ::LoadImageA(m_module, MAKEINTRESOURCEA(IDI_KELPWISE), IMAGE_ICON, size, size, 0));
    EXPECT_NE(icon, nullptr) << "program icon " << size;
    if (icon != nullptr) ::DestroyIcon(icon);
  }
}

TEST_F(ResourceTest, BannersHaveThePixelSizesOfTheirPlaces) {
  struct {
    int id;
    LONG width;
    LONG height;
  } banners[] = {{IDB_BANNER_TOP, 633, 60}, {IDB_BANNER_BOTTOM, 635, 50}};
  for (const auto& banner : banners) {
    SCOPED_TRACE("bitmap " + std::to_string(banner.id));
    HBITMAP bitmap = static_cast<HBITMAP>(
        ::LoadImageA(m_module, MAKEINTRESOURCEA(banner.id), IMAGE_BITMAP, 0, 0, 0));
    ASSERT_NE(bitmap, nullptr);
    BITMAP info = {};
    ::GetObjectA(bitmap, sizeof info, &info);
    EXPECT_EQ(info.bmWidth, banner.width);
    EXPECT_EQ(info.bmHeight, banner.height);
    ::DeleteObject(bitmap);
  }
}

}  // namespace
}  // namespace kw::test
