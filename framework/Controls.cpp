#include "framework/Controls.h"

#include <commdlg.h>
#include <shellapi.h>

#include <vector>

namespace kw {

std::string GetWindowTextString(HWND window) {
  int length = ::GetWindowTextLengthA(window);
  if (length <= 0) return std::string();
  std::vector<char> buffer(static_cast<size_t>(length) + 1);
  int copied = ::GetWindowTextA(window, buffer.data(), length + 1);
  return std::string(buffer.data(), copied > 0 ? static_cast<size_t>(copied) : 0);
}

int ComboBox::AddString(const std::string& text) const {
  return static_cast<int>(Send(CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text.c_str())));
}

int ComboBox::FindPrefix(const std::string& prefix) const {
  LRESULT found =
      Send(CB_FINDSTRING, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(prefix.c_str()));
  return found == CB_ERR ? -1 : static_cast<int>(found);
}

int ListView::InsertColumn(int column, const std::string& heading) const {
  LVCOLUMNA info = {};
  info.mask = LVCF_FMT | LVCF_TEXT | LVCF_SUBITEM;
  info.fmt = LVCFMT_LEFT;
  info.pszText = const_cast<char*>(heading.c_str());
  info.iSubItem = column;
  return static_cast<int>(Send(LVM_INSERTCOLUMNA, column, reinterpret_cast<LPARAM>(&info)));
}

int ListView::GetColumnCount() const {
  HWND header = reinterpret_cast<HWND>(Send(LVM_GETHEADER));
  if (header == nullptr) return 0;
  return static_cast<int>(::SendMessageA(header, HDM_GETITEMCOUNT, 0, 0));
}

int ListView::InsertRow(int row, const std::string& text, int image) const {
  LVITEMA item = {};
  item.mask = LVIF_TEXT | LVIF_IMAGE;
  item.iItem = row;
  item.pszText = const_cast<char*>(text.c_str());
  item.iImage = image;
  return static_cast<int>(Send(LVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&item)));
}

bool ListView::SetCellText(int row, int column, const std::string& text) const {
  LVITEMA item = {};
  item.iSubItem = column;
  item.pszText = const_cast<char*>(text.c_str());
  return Send(LVM_SETITEMTEXTA, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&item)) != FALSE;
}

std::string ListView::GetCellText(int row, int column) const {
  // The control copies at most the buffer's size; grow until the text fits.
  for (size_t size = 256;; size *= 4) {
    std::vector<char> buffer(size);
    LVITEMA item = {};
    item.iSubItem = column;
    item.pszText = buffer.data();
    item.cchTextMax = static_cast<int>(size);
    LRESULT copied =
        Send(LVM_GETITEMTEXTA, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&item));
    if (copied < 0) return std::string();
    if (static_cast<size_t>(copied) + 1 < size || size >= (1u << 24)) {
      return std::string(buffer.data(), static_cast<size_t>(copied));
    }
  }
}

void ListView::SetImageList(HIMAGELIST images) const {
  Send(LVM_SETIMAGELIST, LVSIL_NORMAL, reinterpret_cast<LPARAM>(images));
  Send(LVM_SETIMAGELIST, LVSIL_SMALL, reinterpret_cast<LPARAM>(images));
}

bool ImageList::Create(int size) {
  Destroy();
  m_handle = ImageList_Create(size, size, ILC_COLOR24, 2, 0);
  return m_handle != nullptr;
}

int ImageList::AddIcon(HINSTANCE module, int iconId) const {
  int width = 0, height = 0;
  if (m_handle == nullptr || !ImageList_GetIconSize(m_handle, &width, &height)) return -1;
  HICON icon = static_cast<HICON>(::LoadImageA(module, MAKEINTRESOURCEA(iconId), IMAGE_ICON,
                                               width, height, LR_DEFAULTCOLOR));
  if (icon == nullptr) return -1;
  int index = ImageList_AddIcon(m_handle, icon);
  ::DestroyIcon(icon);
  return index;
}

void ImageList::Destroy() {
  if (m_handle != nullptr) ImageList_Destroy(m_handle);
  m_handle = nullptr;
}

bool Menu::SetTextByPosition(int position, const std::string& text) const {
  MENUITEMINFOA info = {};
  info.cbSize = sizeof(info);
  info.fMask = MIIM_FTYPE | MIIM_STRING;
  info.fType = MFT_STRING;
  info.dwTypeData = const_cast<char*>(text.c_str());
  return ::SetMenuItemInfoA(m_menu, static_cast<UINT>(position), TRUE, &info) != FALSE;
}

bool Menu::ContainsCommand(UINT commandId) const {
  return ::GetMenuState(m_menu, commandId, MF_BYCOMMAND) != static_cast<UINT>(-1);
}

std::string LoadResourceString(HINSTANCE module, UINT id) {
  char buffer[1024];
  int length = ::LoadStringA(module, id, buffer, sizeof(buffer));
  return std::string(buffer, length > 0 ? static_cast<size_t>(length) : 0);
}

int ShowMessage(HWND owner, const std::string& text, const std::string& caption, UINT flags) {
  return ::MessageBoxA(owner, text.c_str(), caption.c_str(), flags);
}

bool FileOpenDialog::Run(HWND owner) {
  // The dialog wants the filter as zero-separated pairs ending in two zeros.
  std::string filter = m_filter;
  for (char& c : filter) {
    if (c == '|') c = '\0';
  }
  filter.append(2, '\0');

  std::vector<char> file(MAX_PATH * 4, '\0');
  OPENFILENAMEA info = {};
  info.lStructSize = sizeof(info);
  info.hwndOwner = owner;
  info.lpstrFilter = filter.c_str();
  info.nFilterIndex = 1;
  info.lpstrFile = file.data();
  info.nMaxFile = static_cast<DWORD>(file.size());
  info.lpstrInitialDir = m_initialDir.empty() ? nullptr : m_initialDir.c_str();
  // The file must exist, and the choice leaves the current folder as it was.
  info.Flags = OFN_EXPLORER | OFN_HIDEREADONLY | OFN_FILEMUSTEXIST | OFN_NOCHANGEDIR;
  if (!::GetOpenFileNameA(&info)) return false;
  m_path = file.data();
  return true;
}

INT_PTR ShellOpen(const std::string& file) {
  return reinterpret_cast<INT_PTR>(
      ::ShellExecuteA(nullptr, "open", file.c_str(), nullptr, nullptr, SW_SHOWNORMAL));
}

}  // namespace kw
