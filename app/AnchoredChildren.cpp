#include "app/AnchoredChildren.h"

#include <algorithm>

namespace kw {

namespace {

SIZE ClientSize(HWND window) {
  RECT client = {};
  ::GetClientRect(window, &client);
  return {client.right, client.bottom};
}

// The child's rectangle in its parent's client coordinates.
Box ChildBox(HWND parent, HWND child) {
  RECT rect = {};
  ::GetWindowRect(child, &rect);
  ::MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&rect), 2);
  return {rect.left, rect.top, rect.right, rect.bottom};
}

}  // namespace

void AnchoredChildren::Capture(HWND parent, const ControlAnchor* table, size_t count) {
  m_parent = parent;
  m_client = ClientSize(parent);
  m_children.clear();
  for (size_t i = 0; i < count; ++i) {
    if (HWND child = ::GetDlgItem(parent, table[i].id)) {
      m_children.push_back({child, ChildBox(parent, child), table[i].anchors});
    }
  }
}

void AnchoredChildren::Add(HWND child, unsigned anchors) {
  m_children.erase(std::remove_if(m_children.begin(), m_children.end(),
                                  [](const Child& known) { return !::IsWindow(known.window); }),
                   m_children.end());
  if (m_parent != nullptr && child != nullptr) {
    m_children.push_back({child, ChildBox(m_parent, child), anchors});
  }
}

void AnchoredChildren::Apply() const {
  if (m_parent == nullptr || ::IsIconic(m_parent)) return;
  const SIZE now = ClientSize(m_parent);
  HDWP positions = ::BeginDeferWindowPos(static_cast<int>(m_children.size()));
  for (const Child& child : m_children) {
    const Box box = AnchorBox(child.box, child.anchors, now.cx - m_client.cx, now.cy - m_client.cy);
    if (positions == nullptr || !::IsWindow(child.window)) continue;
    positions = ::DeferWindowPos(positions, child.window, nullptr, box.left, box.top, box.Width(),
                                 box.Height(), SWP_NOZORDER | SWP_NOACTIVATE);
  }
  if (positions != nullptr) ::EndDeferWindowPos(positions);
  ::RedrawWindow(m_parent, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
}

}  // namespace kw
