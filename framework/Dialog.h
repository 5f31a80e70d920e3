// Base class of the program's dialogs. A dialog object is built from a
// template id, runs modally (DoModal) or as a modeless child (Create), and
// gets its messages through typed virtual handlers:
//   OnInitDialog  - the window and its controls exist
//   OnCommand     - WM_COMMAND; IDOK and IDCANCEL go to OnOK and OnCancel
//   OnMessage     - any other window message
// One static dialog procedure stores the object's address in the window at
// WM_INITDIALOG and calls these handlers. It catches every exception a
// handler throws and reports it in a message box (the text the application
// gives for it, else a general one); the handler ends there.
#pragma once

#include <windows.h>

#include <cstddef>
#include <exception>
#include <string>

#include "framework/DataExchange.h"

namespace kw {

class Dialog {
 public:
  explicit Dialog(int templateId) : m_templateId(templateId) {}
  // Destroys a modeless window that is still open.
  virtual ~Dialog();
  Dialog(const Dialog&) = delete;
  Dialog& operator=(const Dialog&) = delete;

  // Runs the dialog modally; returns the code given to EndDialog, or -1 when
  // the window could not be created. `owner` is disabled while it runs.
  INT_PTR DoModal(HWND owner = nullptr);
  // Creates the window as a modeless child of `parent`; false on failure.
  bool Create(HWND parent);
  // Destroys the window; does nothing when there is none.
  void DestroyWindow();
  // Ends a modal run with `result`.
  void EndDialog(int result);

  // Runs DoDataExchange: save = true reads the controls into the members,
  // save = false writes the members into the controls.
  void UpdateData(bool save);

  HWND hwnd() const { return m_hwnd; }

  // The text of the box that reports an exception a handler threw; empty
  // for the general text.
  using ErrorText = std::string (*)(const std::exception& error);
  // What the reports show: the boxes' caption and the texts of the
  // exceptions the application knows. Set once by the application.
  static void SetErrorReport(std::string caption, ErrorText describe);

  // The module that holds the dialog's template and the resources it uses:
  // the program itself unless a derived class says otherwise.
  virtual HINSTANCE ResourceModule() const { return ::GetModuleHandleA(nullptr); }

 protected:
  // Binds the controls and loads the members into them (UpdateData(false)).
  // Returns true to let the system put the focus on the first control.
  virtual bool OnInitDialog();
  virtual void DoDataExchange(DataExchange& dx) {}
  // Reads the controls into the members, then ends with IDOK.
  virtual void OnOK();
  // Ends with IDCANCEL; no member changes.
  virtual void OnCancel() { EndDialog(IDCANCEL); }
  // Returns true when the command was handled.
  virtual bool OnCommand(int id, int code);
  // Returns true when the message was handled, with its result in `result`.
  // Unhandled messages get the dialog's default processing.
  virtual bool OnMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) {
    return false;
  }
  // Asks for the default processing of the message being handled; it runs
  // when the current handler returns.
  void Default() { m_defaultRequested = true; }

  // A command handler table: command id to a member function.
  template <class Derived>
  struct CommandEntry {
    int id;
    void (Derived::*handler)();
  };

  // Calls the handler of `id` from `table`; false when the table has none.
  // Clicks (code 0) and accelerators (code 1) count as commands; other
  // control notifications do not.
  template <class Derived, std::size_t N>
  static bool DispatchCommand(Derived* self, const CommandEntry<Derived> (&table)[N], int id,
                              int code) {
    if (code != 0 && code != 1) return false;
    for (const CommandEntry<Derived>& entry : table) {
      if (entry.id == id) {
        (self->*entry.handler)();
        return true;
      }
    }
    return false;
  }

 private:
  static INT_PTR CALLBACK StaticProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  INT_PTR Dispatch(UINT message, WPARAM wParam, LPARAM lParam);
  // Reports a handler that ended with an exception; the message counts as handled.
  INT_PTR Interrupt(const char* text);

  int m_templateId;
  HWND m_hwnd = nullptr;
  bool m_defaultRequested = false;
};

}  // namespace kw
