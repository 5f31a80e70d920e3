// Keeps child windows at their places relative to the edges of their
// parent's client area as it changes size (see AnchorBox).
#pragma once

#include <windows.h>

#include <vector>

#include "app/WindowLayout.h"

namespace kw {

struct ControlAnchor {
  int id;
  unsigned anchors;
};

class AnchoredChildren {
 public:
  // Takes the parent's client size and the rectangles of the children that
  // `table` names as the layout the later sizes grow from.
  template <size_t N>
  void Capture(HWND parent, const ControlAnchor (&table)[N]) {
    Capture(parent, table, N);
  }
  void Capture(HWND parent, const ControlAnchor* table, size_t count);
  // Adds a child that was made at its place in the captured layout, and
  // forgets children that no longer exist.
  void Add(HWND child, unsigned anchors);
  // Moves the children to the parent's present client size. Does nothing
  // before Capture, or while the parent is minimised.
  void Apply() const;

 private:
  struct Child {
    HWND window;
    Box box;
    unsigned anchors;
  };
  HWND m_parent = nullptr;
  SIZE m_client = {};
  std::vector<Child> m_children;
};

}  // namespace kw
