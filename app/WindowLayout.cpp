#include "app/WindowLayout.h"

#include <algorithm>

namespace kw {

namespace {

// How much of the caption must lie in a work area for the window to be
// grabbed and moved there: that much of its width, and its top that far
// above the area's bottom.
constexpr int kCaptionGrip = 48;

// Moves [near, far) by `grow` along one direction.
void AnchorSpan(int& near, int& far, bool nearAnchored, bool farAnchored, int grow) {
  if (farAnchored) far += grow;
  if (farAnchored && !nearAnchored) near += grow;
}

// Digits with an optional leading minus, within six digits; false otherwise.
bool ParseNumber(const std::string& text, int* number) {
  const size_t digits = text.size() - (text.rfind('-', 0) == 0 ? 1 : 0);
  if (digits == 0 || digits > 6) return false;
  if (!std::all_of(text.end() - digits, text.end(), [](char c) { return c >= '0' && c <= '9'; })) {
    return false;
  }
  *number = std::stoi(text);
  return true;
}

int Overlap(int nearA, int farA, int nearB, int farB) {
  return std::max(0, std::min(farA, farB) - std::max(nearA, nearB));
}

bool CaptionIsIn(const Box& window, const Box& area) {
  return window.top >= area.top && window.top <= area.bottom - kCaptionGrip &&
         Overlap(window.left, window.right, area.left, area.right) >= kCaptionGrip;
}

// `near` moved so that `size` pixels from it lie in [areaNear, areaFar),
// or start at areaNear when they cannot.
int Fit(int near, int size, int areaNear, int areaFar) {
  return std::max(areaNear, std::min(near, areaFar - size));
}

}  // namespace

const char kPlacementKey[] = "Window Placement";

Box AnchorBox(const Box& box, unsigned anchors, int growX, int growY) {
  Box moved = box;
  AnchorSpan(moved.left, moved.right, anchors & kAnchorLeft, anchors & kAnchorRight, growX);
  AnchorSpan(moved.top, moved.bottom, anchors & kAnchorTop, anchors & kAnchorBottom, growY);
  return moved;
}

std::string FormatPlacement(const WindowPlacement& placement) {
  const Box& box = placement.normal;
  return std::to_string(box.left) + "," + std::to_string(box.top) + "," +
         std::to_string(box.Width()) + "," + std::to_string(box.Height()) + "," +
         (placement.maximized ? "1" : "0");
}

std::optional<WindowPlacement> ParsePlacement(const std::string& text) {
  int fields[5];
  size_t start = 0;
  for (int i = 0; i < 5; ++i) {
    const size_t comma = i < 4 ? text.find(',', start) : text.size();
    if (comma == std::string::npos) return std::nullopt;
    if (!ParseNumber(text.substr(start, comma - start), &fields[i])) return std::nullopt;
    start = comma + 1;
  }
  if (fields[2] <= 0 || fields[3] <= 0 || (fields[4] != 0 && fields[4] != 1)) return std::nullopt;
  WindowPlacement placement;
  placement.normal = {fields[0], fields[1], fields[0] + fields[2], fields[1] + fields[3]};
  placement.maximized = fields[4] == 1;
  return placement;
}

Box PlaceOnVisibleMonitor(const Box& stored, const std::vector<Box>& workAreas, int minWidth,
                          int minHeight) {
  int width = std::max(stored.Width(), minWidth);
  int height = std::max(stored.Height(), minHeight);
  Box window{stored.left, stored.top, stored.left + width, stored.top + height};
  if (workAreas.empty()) return window;
  for (const Box& area : workAreas) {
    if (CaptionIsIn(window, area)) return window;
  }
  const Box* target = &workAreas.front();
  long long most = 0;
  for (const Box& area : workAreas) {
    const long long shared =
        static_cast<long long>(Overlap(window.left, window.right, area.left, area.right)) *
        Overlap(window.top, window.bottom, area.top, area.bottom);
    if (shared > most) most = shared, target = &area;
  }
  width = std::max(std::min(width, target->Width()), minWidth);
  height = std::max(std::min(height, target->Height()), minHeight);
  window.left = Fit(window.left, width, target->left, target->right);
  window.top = Fit(window.top, height, target->top, target->bottom);
  return {window.left, window.top, window.left + width, window.top + height};
}

}  // namespace kw
