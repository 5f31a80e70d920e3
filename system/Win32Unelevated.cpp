#include "system/Win32Unelevated.h"

// clang-format off
#include <windows.h>  // before the other system headers
#include <exdisp.h>
#include <servprov.h>
#include <shldisp.h>
#include <shlguid.h>
#include <shlobj.h>
// clang-format on

namespace kw {

namespace {

// COM for this thread for the lifetime of the object.
class ComApartment {
 public:
  ComApartment() : m_result(::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED)) {}
  ~ComApartment() {
    if (SUCCEEDED(m_result)) ::CoUninitialize();
  }
  // A thread that has COM in the other model can still make the calls.
  bool Usable() const { return SUCCEEDED(m_result) || m_result == RPC_E_CHANGED_MODE; }

 private:
  HRESULT m_result;
};

// Holds one interface reference and releases it.
template <class Interface>
class ComRef {
 public:
  ComRef() = default;
  ComRef(const ComRef&) = delete;
  ComRef& operator=(const ComRef&) = delete;
  ~ComRef() {
    if (m_pointer) m_pointer->Release();
  }
  Interface* operator->() const { return m_pointer; }
  Interface** Out() { return &m_pointer; }
  void** OutVoid() { return reinterpret_cast<void**>(&m_pointer); }

 private:
  Interface* m_pointer = nullptr;
};

// The address as the shell's automation interface takes it: UTF-16 text of
// the ANSI code page.
class Bstr {
 public:
  explicit Bstr(const std::string& text) {
    const int size = static_cast<int>(text.size());
    const int length = ::MultiByteToWideChar(CP_ACP, 0, text.data(), size, nullptr, 0);
    m_text = ::SysAllocStringLen(nullptr, length);
    if (m_text) ::MultiByteToWideChar(CP_ACP, 0, text.data(), size, m_text, length);
  }
  Bstr(const Bstr&) = delete;
  Bstr& operator=(const Bstr&) = delete;
  ~Bstr() { ::SysFreeString(m_text); }
  BSTR get() const { return m_text; }

 private:
  BSTR m_text = nullptr;
};

VARIANT StringVariant(const Bstr& text) {
  VARIANT value;
  ::VariantInit(&value);
  value.vt = VT_BSTR;
  value.bstrVal = text.get();
  return value;
}

// The desktop window's folder view, as Explorer shows it.
bool FindDesktopView(ComRef<IShellFolderViewDual>* view) {
  ComRef<IShellWindows> windows;
  if (FAILED(::CoCreateInstance(CLSID_ShellWindows, nullptr, CLSCTX_ALL, IID_IShellWindows,
                                windows.OutVoid()))) {
    return false;
  }
  VARIANT location, root;
  ::VariantInit(&location);
  ::VariantInit(&root);
  location.vt = VT_I4;
  location.lVal = CSIDL_DESKTOP;
  LONG window = 0;
  ComRef<IDispatch> desktop;
  if (windows->FindWindowSW(&location, &root, SWC_DESKTOP, &window, SWFO_NEEDDISPATCH,
                            desktop.Out()) != S_OK) {
    return false;
  }
  ComRef<IServiceProvider> services;
  ComRef<IShellBrowser> browser;
  ComRef<IShellView> shellView;
  ComRef<IDispatch> background;
  return SUCCEEDED(desktop->QueryInterface(IID_IServiceProvider, services.OutVoid())) &&
         SUCCEEDED(
             services->QueryService(SID_STopLevelBrowser, IID_IShellBrowser, browser.OutVoid())) &&
         SUCCEEDED(browser->QueryActiveShellView(shellView.Out())) &&
         SUCCEEDED(
             shellView->GetItemObject(SVGIO_BACKGROUND, IID_IDispatch, background.OutVoid())) &&
         SUCCEEDED(background->QueryInterface(IID_IShellFolderViewDual, view->OutVoid()));
}

}  // namespace

bool OpenUnelevated(const std::string& address) {
  ComApartment apartment;
  if (!apartment.Usable()) return false;
  ComRef<IShellFolderViewDual> view;
  if (!FindDesktopView(&view)) return false;
  ComRef<IDispatch> application;
  ComRef<IShellDispatch2> shell;
  if (FAILED(view->get_Application(application.Out())) ||
      FAILED(application->QueryInterface(IID_IShellDispatch2, shell.OutVoid()))) {
    return false;
  }
  const Bstr file(address), none(""), verb("open");
  VARIANT show;
  ::VariantInit(&show);
  show.vt = VT_I4;
  show.lVal = SW_SHOWNORMAL;
  return file.get() &&
         SUCCEEDED(shell->ShellExecute(file.get(), StringVariant(none), StringVariant(none),
                                       StringVariant(verb), show));
}

}  // namespace kw
