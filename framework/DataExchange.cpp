#include "framework/DataExchange.h"

namespace kw {

void DataExchange::Text(int id, std::string& value) const {
  HWND control = ::GetDlgItem(m_dialog, id);
  if (m_save) {
    value = GetWindowTextString(control);
  } else {
    ::SetWindowTextA(control, value.c_str());
  }
}

void DataExchange::Check(int id, bool& value) const {
  HWND control = ::GetDlgItem(m_dialog, id);
  if (m_save) {
    value = ::SendMessageA(control, BM_GETCHECK, 0, 0) == BST_CHECKED;
  } else {
    ::SendMessageA(control, BM_SETCHECK, value ? BST_CHECKED : BST_UNCHECKED, 0);
  }
}

void DataExchange::ComboText(int id, std::string& value) const {
  ComboBox combo;
  combo.Attach(::GetDlgItem(m_dialog, id));
  if (m_save) {
    value = combo.GetText();
    return;
  }
  int index = value.empty() ? -1 : combo.FindPrefix(value);
  if (index >= 0) {
    combo.SetCurSel(index);
  } else {
    combo.SetText(value);
  }
}

}  // namespace kw
