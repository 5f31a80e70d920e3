// The arithmetic of the resizable main window, free of windows: where a
// control goes when the client area grows, the text form of the window's
// size, position and maximised state in config.ini, and where a stored
// window goes among the monitors of today.
#pragma once

#include <optional>
#include <string>
#include <vector>

namespace kw {

// A rectangle in pixels; right and bottom lie just outside it.
struct Box {
  int left = 0, top = 0, right = 0, bottom = 0;
  int Width() const { return right - left; }
  int Height() const { return bottom - top; }
  bool operator==(const Box& other) const {
    return left == other.left && top == other.top && right == other.right && bottom == other.bottom;
  }
};

// The edges of the client area that a control follows.
enum Anchor : unsigned {
  kAnchorLeft = 1,
  kAnchorTop = 2,
  kAnchorRight = 4,
  kAnchorBottom = 8,
  kAnchorAll = 15,
};

// `box`, laid out for a client area, in one `growX` pixels wider and `growY`
// taller: an edge it follows keeps its distance to that edge of the client
// area. Following both edges of a direction it stretches; following only
// the far one it moves; otherwise it stays.
Box AnchorBox(const Box& box, unsigned anchors, int growX, int growY);

// The config.ini key of the main window's placement. Its value line reads
// "left,top,width,height,maximised" in screen pixels, e.g.
// "120,80,652,536,1"; the rectangle is the window's when not maximised.
extern const char kPlacementKey[];

struct WindowPlacement {
  Box normal;
  bool maximized = false;
};

std::string FormatPlacement(const WindowPlacement& placement);
// Nothing for a text that is not exactly such a line: the window then
// starts at its default place.
std::optional<WindowPlacement> ParsePlacement(const std::string& text);

// Where a window stored at `stored` goes, given the work areas of today's
// monitors (the primary one first) and the window's smallest size. It keeps
// its place while a strip of its caption lies in a work area; otherwise
// (its monitor is gone, or it hangs off the edge) it moves into the work
// area it overlaps most, else the first, and shrinks to fit there, never
// below the smallest size.
Box PlaceOnVisibleMonitor(const Box& stored, const std::vector<Box>& workAreas, int minWidth,
                          int minHeight);

}  // namespace kw
