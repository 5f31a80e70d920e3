// Thin wrappers over dialog controls. They hold a window handle and own
// nothing: the dialog owns its controls, and a wrapper is bound to one by
// DataExchange::Control each time the dialog's data is exchanged.
#pragma once

// clang-format off
#include <windows.h>  // before the other system headers
#include <commctrl.h>
// clang-format on

#include <string>

namespace kw {

// Text of any window, in the ANSI code page.
std::string GetWindowTextString(HWND window);

class Control {
 public:
  void Attach(HWND window) { m_hwnd = window; }
  HWND hwnd() const { return m_hwnd; }

  void SetText(const std::string& text) const { ::SetWindowTextA(m_hwnd, text.c_str()); }
  std::string GetText() const { return GetWindowTextString(m_hwnd); }
  void Enable(bool enable) const { ::EnableWindow(m_hwnd, enable ? TRUE : FALSE); }
  void Show(int showCommand) const { ::ShowWindow(m_hwnd, showCommand); }

 protected:
  LRESULT Send(UINT message, WPARAM wParam = 0, LPARAM lParam = 0) const {
    return ::SendMessageA(m_hwnd, message, wParam, lParam);
  }

 private:
  HWND m_hwnd = nullptr;
};

// Push button, check box or group box.
class Button : public Control {};

class ComboBox : public Control {
 public:
  int AddString(const std::string& text) const;
  // Index of the first list item that begins with `prefix` (not case-sensitive,
  // as the control compares), or -1.
  int FindPrefix(const std::string& prefix) const;
  void SetCurSel(int index) const { Send(CB_SETCURSEL, static_cast<WPARAM>(index)); }
};

// List view in report view.
class ListView : public Control {
 public:
  // Inserts a left-aligned column; returns its index or -1.
  int InsertColumn(int column, const std::string& heading) const;
  bool DeleteColumn(int column) const { return Send(LVM_DELETECOLUMN, column) != FALSE; }
  int GetColumnCount() const;
  void SetColumnWidth(int column, int width) const { Send(LVM_SETCOLUMNWIDTH, column, width); }
  int GetColumnWidth(int column) const {
    return static_cast<int>(Send(LVM_GETCOLUMNWIDTH, column));
  }

  // Inserts a row at `row` with the text of column 0 and an image; returns
  // its index or -1.
  int InsertRow(int row, const std::string& text, int image) const;
  bool SetCellText(int row, int column, const std::string& text) const;
  std::string GetCellText(int row, int column) const;
  bool DeleteRow(int row) const { return Send(LVM_DELETEITEM, row) != FALSE; }
  void DeleteAllRows() const { Send(LVM_DELETEALLITEMS); }
  int GetRowCount() const { return static_cast<int>(Send(LVM_GETITEMCOUNT)); }

  // The first selected row after `after` (-1: from the top), or -1.
  int GetNextSelected(int after = -1) const {
    return static_cast<int>(Send(LVM_GETNEXTITEM, static_cast<WPARAM>(after), LVNI_SELECTED));
  }
  void SetExtendedStyle(DWORD mask, DWORD style) const {
    Send(LVM_SETEXTENDEDLISTVIEWSTYLE, mask, style);
  }
  // Uses the image list for both the normal and the small images. The list
  // view does not take ownership (the control has LVS_SHAREIMAGELISTS).
  void SetImageList(HIMAGELIST images) const;
};

// An image list that the program owns.
class ImageList {
 public:
  ImageList() = default;
  ~ImageList() { Destroy(); }
  ImageList(const ImageList&) = delete;
  ImageList& operator=(const ImageList&) = delete;

  // Builds a new list of `size` x `size` images in 24-bit colour without a
  // mask, initial size 2, growth 0; an earlier list is destroyed first.
  bool Create(int size);
  // Appends the icon resource `iconId` of `module`, loaded from the icon's
  // image of the list's size (or shrunk from a larger one); returns its
  // index or -1.
  int AddIcon(HINSTANCE module, int iconId) const;
  void Destroy();
  HIMAGELIST handle() const { return m_handle; }

 private:
  HIMAGELIST m_handle = nullptr;
};

// A menu handle the window owns; the wrapper owns nothing.
class Menu {
 public:
  explicit Menu(HMENU menu) : m_menu(menu) {}
  HMENU handle() const { return m_menu; }
  bool IsValid() const { return m_menu != nullptr; }

  Menu SubMenu(int position) const { return Menu(::GetSubMenu(m_menu, position)); }
  // Replaces the caption of the item at `position` with `text`; the item
  // keeps its command id or drop-down menu and becomes a plain string item.
  bool SetTextByPosition(int position, const std::string& text) const;
  bool ContainsCommand(UINT commandId) const;
  void AppendSeparator() const { ::AppendMenuA(m_menu, MF_SEPARATOR, 0, nullptr); }
  void AppendItem(UINT commandId, const std::string& text) const {
    ::AppendMenuA(m_menu, MF_STRING, commandId, text.c_str());
  }

 private:
  HMENU m_menu;
};

// A string-table entry of `module`; empty when the entry is missing.
std::string LoadResourceString(HINSTANCE module, UINT id);

// Shows a message box; returns the button pressed (IDOK, IDYES, ...).
int ShowMessage(HWND owner, const std::string& text, const std::string& caption, UINT flags);

// The file-open dialog for one filter. Filters are written with bars, as
// "Registry files (*.reg)|*.reg".
class FileOpenDialog {
 public:
  FileOpenDialog(std::string filter, std::string initialDir)
      : m_filter(std::move(filter)), m_initialDir(std::move(initialDir)) {}
  // True when the user chose an existing file with OK; path() then holds it.
  bool Run(HWND owner);
  const std::string& path() const { return m_path; }

 private:
  std::string m_filter;
  std::string m_initialDir;
  std::string m_path;
};

// The shell's "open" verb on `file`, normal show state; the result is the
// shell's (greater than 32 on success).
INT_PTR ShellOpen(const std::string& file);

}  // namespace kw
