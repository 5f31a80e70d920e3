#include "framework/Dialog.h"

#include <utility>

namespace kw {

namespace {

std::string g_errorCaption;
Dialog::ErrorText g_describeError = nullptr;

// Messages whose dialog-procedure result is the message's own result
// instead of a handled flag.
bool ReturnsResultDirectly(UINT message) {
  switch (message) {
    case WM_CTLCOLORMSGBOX:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORLISTBOX:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLORDLG:
    case WM_CTLCOLORSCROLLBAR:
    case WM_CTLCOLORSTATIC:
    case WM_COMPAREITEM:
    case WM_VKEYTOITEM:
    case WM_CHARTOITEM:
    case WM_QUERYDRAGICON:
      return true;
    default:
      return false;
  }
}

}  // namespace

void Dialog::SetErrorReport(std::string caption, ErrorText describe) {
  g_errorCaption = std::move(caption);
  g_describeError = describe;
}

Dialog::~Dialog() {
  if (m_hwnd != nullptr && ::IsWindow(m_hwnd)) {
    ::SetWindowLongPtrA(m_hwnd, DWLP_USER, 0);
    HWND window = m_hwnd;
    m_hwnd = nullptr;
    ::DestroyWindow(window);
  }
}

INT_PTR Dialog::DoModal(HWND owner) {
  return ::DialogBoxParamA(ResourceModule(), MAKEINTRESOURCEA(m_templateId), owner, &StaticProc,
                           reinterpret_cast<LPARAM>(this));
}

bool Dialog::Create(HWND parent) {
  if (m_hwnd != nullptr) return true;
  HWND window = ::CreateDialogParamA(ResourceModule(), MAKEINTRESOURCEA(m_templateId), parent,
                                     &StaticProc, reinterpret_cast<LPARAM>(this));
  return window != nullptr;
}

void Dialog::DestroyWindow() {
  if (m_hwnd != nullptr && ::IsWindow(m_hwnd)) ::DestroyWindow(m_hwnd);
  m_hwnd = nullptr;
}

void Dialog::EndDialog(int result) {
  if (m_hwnd != nullptr) ::EndDialog(m_hwnd, result);
}

void Dialog::UpdateData(bool save) {
  DataExchange dx(m_hwnd, save);
  DoDataExchange(dx);
}

bool Dialog::OnInitDialog() {
  UpdateData(false);
  return true;
}

void Dialog::OnOK() {
  UpdateData(true);
  EndDialog(IDOK);
}

bool Dialog::OnCommand(int id, int code) {
  switch (id) {
    case IDOK:
      OnOK();
      return true;
    case IDCANCEL:
      OnCancel();
      return true;
    default:
      return false;
  }
}

INT_PTR CALLBACK Dialog::StaticProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  Dialog* self;
  if (message == WM_INITDIALOG) {
    self = reinterpret_cast<Dialog*>(lParam);
    self->m_hwnd = window;
    ::SetWindowLongPtrA(window, DWLP_USER, reinterpret_cast<LONG_PTR>(self));
  } else {
    self = reinterpret_cast<Dialog*>(::GetWindowLongPtrA(window, DWLP_USER));
  }
  if (self == nullptr) return FALSE;

  if (message == WM_NCDESTROY) {
    ::SetWindowLongPtrA(window, DWLP_USER, 0);
    self->m_hwnd = nullptr;
    return FALSE;
  }

  // A handler may send messages to its own window; each message keeps its
  // own request for default processing.
  bool outerDefault = self->m_defaultRequested;
  self->m_defaultRequested = false;
  INT_PTR handled;
  try {
    handled = self->Dispatch(message, wParam, lParam);
  } catch (const std::exception& error) {
    std::string text = g_describeError != nullptr ? g_describeError(error) : std::string();
    if (text.empty()) {
      text = std::string("The operation could not be completed.\n\n") + error.what();
    }
    handled = self->Interrupt(text.c_str());
  } catch (...) {
    handled = self->Interrupt("The operation could not be completed.");
  }
  if (self->m_defaultRequested) handled = FALSE;
  self->m_defaultRequested = outerDefault;
  return handled;
}

INT_PTR Dialog::Dispatch(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_INITDIALOG:
      return OnInitDialog() ? TRUE : FALSE;
    case WM_COMMAND:
      return OnCommand(LOWORD(wParam), HIWORD(wParam)) ? TRUE : FALSE;
    default: {
      LRESULT result = 0;
      if (!OnMessage(message, wParam, lParam, result)) return FALSE;
      if (ReturnsResultDirectly(message)) return static_cast<INT_PTR>(result);
      if (m_hwnd != nullptr) ::SetWindowLongPtrA(m_hwnd, DWLP_MSGRESULT, result);
      return TRUE;
    }
  }
}

INT_PTR Dialog::Interrupt(const char* text) {
  // The handler ended early: it gets no default processing.
  m_defaultRequested = false;
  HWND owner = (m_hwnd != nullptr && ::IsWindow(m_hwnd)) ? m_hwnd : nullptr;
  ::MessageBoxA(owner, text, g_errorCaption.c_str(), MB_OK | MB_ICONEXCLAMATION);
  return TRUE;
}

}  // namespace kw
