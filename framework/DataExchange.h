// Moves values between a dialog's members and its controls. A dialog's
// DoDataExchange lists its bindings once; UpdateData runs them in one
// direction: loading (members to controls) or saving (controls to members).
#pragma once

#include <windows.h>

#include <string>

#include "framework/Controls.h"

namespace kw {

class DataExchange {
 public:
  DataExchange(HWND dialog, bool save) : m_dialog(dialog), m_save(save) {}

  // Binds a control wrapper to the dialog's control `id`.
  void Control(int id, kw::Control& control) const { control.Attach(::GetDlgItem(m_dialog, id)); }

  // The window text of control `id`.
  void Text(int id, std::string& value) const;
  // A check box: checked is true.
  void Check(int id, bool& value) const;
  // The text of a combo box. Loading selects the first list item that
  // begins with `value`, or puts `value` into the edit field when none does;
  // saving takes the field's text.
  void ComboText(int id, std::string& value) const;

 private:
  HWND m_dialog;
  bool m_save;
};

}  // namespace kw
