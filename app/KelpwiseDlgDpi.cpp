// The main window's parts that are drawn in pixels, laid out for the
// window's display scale: the list's columns and images and the banners.
// Dialog units scale the rest. Each monitor may have its own scale: on a
// move to another one the window takes the size the system suggests and
// lays these parts out again.
#include "app/DisplayScale.h"
#include "app/KelpwiseDlg.h"
#include "res/resource.h"

namespace kw {

namespace {

// Posted after a change of scale, so that the parts are laid out once the
// dialog manager has rescaled the controls.
constexpr UINT kRelayoutMessage = WM_APP + 18;

struct BannerArt {
  int id;  // the static's
  int bitmap, bitmap2x;
};
constexpr BannerArt kBanners[] = {{IDC_BANNER_TOP, IDB_BANNER_TOP, IDB_BANNER_TOP_2X},
                                  {IDC_BANNER_BOTTOM, IDB_BANNER_BOTTOM, IDB_BANNER_BOTTOM_2X}};

HBITMAP LoadBitmapResource(HINSTANCE module, int id) {
  return static_cast<HBITMAP>(
      ::LoadImageA(module, MAKEINTRESOURCEA(id), IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION));
}

SIZE BitmapSize(HBITMAP bitmap) {
  BITMAP info = {};
  ::GetObjectA(bitmap, sizeof info, &info);
  return {info.bmWidth, info.bmHeight};
}

// A copy of `source` shrunk to `size` with the halftone filter; `source`
// goes. Null when it cannot be made.
HBITMAP Shrink(HBITMAP source, SIZE size) {
  const SIZE from = BitmapSize(source);
  HDC screen = ::GetDC(nullptr);
  HDC in = ::CreateCompatibleDC(screen);
  HDC out = ::CreateCompatibleDC(screen);
  HBITMAP shrunk = ::CreateCompatibleBitmap(screen, size.cx, size.cy);
  if (shrunk != nullptr) {
    HGDIOBJ oldIn = ::SelectObject(in, source);
    HGDIOBJ oldOut = ::SelectObject(out, shrunk);
    ::SetStretchBltMode(out, HALFTONE);
    ::SetBrushOrgEx(out, 0, 0, nullptr);
    ::StretchBlt(out, 0, 0, size.cx, size.cy, in, 0, 0, from.cx, from.cy, SRCCOPY);
    ::SelectObject(in, oldIn);
    ::SelectObject(out, oldOut);
  }
  ::DeleteDC(in);
  ::DeleteDC(out);
  ::ReleaseDC(nullptr, screen);
  ::DeleteObject(source);
  return shrunk;
}

// The banner art `height` pixels tall, the height its static has at the
// window's scale (dialog units follow the font, so not quite the scale
// itself): the design's bitmap where it has that height, the twice as large
// one where that has it, and otherwise the smallest of them that is larger,
// shrunk.
HBITMAP MakeBanner(HINSTANCE module, const BannerArt& art, int height) {
  HBITMAP design = LoadBitmapResource(module, art.bitmap);
  if (design == nullptr) return nullptr;
  const SIZE designSize = BitmapSize(design);
  if (height <= 0 || designSize.cy <= 0) return design;
  const SIZE size = {::MulDiv(designSize.cx, height, designSize.cy), height};
  if (PickSourceSize(size.cx, {designSize.cx, 2 * designSize.cx}) == designSize.cx) {
    if (size.cx == designSize.cx && size.cy == designSize.cy) return design;
    return Shrink(design, size);
  }
  ::DeleteObject(design);
  HBITMAP large = LoadBitmapResource(module, art.bitmap2x);
  if (large == nullptr) return nullptr;
  const SIZE largeSize = BitmapSize(large);
  if (size.cx == largeSize.cx && size.cy == largeSize.cy) return large;
  return Shrink(large, size);
}

}  // namespace

int WindowDpi(HWND window) {
  // Windows 10 1607 and later; before, every window has the system's DPI.
  using GetDpiForWindowFunction = UINT(WINAPI*)(HWND);
  static const auto getDpiForWindow =
      reinterpret_cast<GetDpiForWindowFunction>(reinterpret_cast<void*>(
          ::GetProcAddress(::GetModuleHandleA("user32.dll"), "GetDpiForWindow")));
  if (getDpiForWindow != nullptr && window != nullptr) {
    if (const UINT dpi = getDpiForWindow(window)) return static_cast<int>(dpi);
  }
  HDC screen = ::GetDC(nullptr);
  const int dpi = ::GetDeviceCaps(screen, LOGPIXELSX);
  ::ReleaseDC(nullptr, screen);
  return dpi;
}

void CKelpwiseDlg::BuildImageList() {
  m_imageList.Create(ScaleForDpi(16, m_dpi));
  for (int icon = IDI_CATEGORY_FIRST; icon <= IDI_CATEGORY_LAST; ++icon) {
    m_imageList.AddIcon(ResourceModule(), icon);
  }
  m_listResults.SetImageList(m_imageList.handle());
}

void CKelpwiseDlg::ScaleBanners() {
  for (const BannerArt& art : kBanners) {
    HWND banner = ::GetDlgItem(hwnd(), art.id);
    RECT place = {};
    if (banner != nullptr) ::GetClientRect(banner, &place);
    HBITMAP bitmap = banner != nullptr ? MakeBanner(ResourceModule(), art, place.bottom) : nullptr;
    if (bitmap == nullptr) continue;
    // The static leaves its bitmaps to the program, also the one it loaded
    // from the template.
    auto old = reinterpret_cast<HBITMAP>(
        ::SendMessageA(banner, STM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(bitmap)));
    if (old != nullptr && old != bitmap) ::DeleteObject(old);
  }
}

void CKelpwiseDlg::ReleaseBanners() {
  for (const BannerArt& art : kBanners) {
    HWND banner = ::GetDlgItem(hwnd(), art.id);
    if (banner == nullptr) continue;
    auto old = reinterpret_cast<HBITMAP>(
        ::SendMessageA(banner, STM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(nullptr)));
    if (old != nullptr) ::DeleteObject(old);
  }
}

void CKelpwiseDlg::OnDpiChanged(int dpi, const RECT& suggested) {
  ::SetWindowPos(hwnd(), nullptr, suggested.left, suggested.top, suggested.right - suggested.left,
                 suggested.bottom - suggested.top, SWP_NOZORDER | SWP_NOACTIVATE);
  // The columns keep the widths the user gave them, at the new scale.
  for (int column = 0; column < m_listResults.GetColumnCount(); ++column) {
    m_listResults.SetColumnWidth(column,
                                 ScaleForDpi(m_listResults.GetColumnWidth(column), dpi, m_dpi));
  }
  ::PostMessageA(hwnd(), kRelayoutMessage, static_cast<WPARAM>(m_dpi), 0);
  m_dpi = dpi;
  BuildImageList();
}

bool CKelpwiseDlg::OnDpiMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_DPICHANGED:
      OnDpiChanged(LOWORD(wParam), *reinterpret_cast<const RECT*>(lParam));
      // The dialog manager rescales the controls and their font too.
      Default();
      return true;
    case kRelayoutMessage:  // wParam: the scale before
      RescaleLayout(static_cast<int>(wParam), m_dpi);
      ScaleBanners();
      if (m_welcomePanel.hwnd() != nullptr) ShowWelcomePanel();
      return true;
    case WM_DESTROY:
      ReleaseBanners();
      Default();
      return true;
    default:
      return false;
  }
}

}  // namespace kw
