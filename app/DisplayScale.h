// Sizes that the windows draw in pixels (list columns, images, banners) are
// designed at 96 DPI; these lay them out for a window's display scale.
#pragma once

#include <vector>

namespace kw {

constexpr int kDesignDpi = 96;

// `pixels` at `fromDpi` (the design's 96 unless given), at `dpi`: rounded to
// the nearest pixel, halves away from zero, as MulDiv rounds. A DPI of 0 or
// less (unknown) counts as 96.
int ScaleForDpi(int pixels, int dpi, int fromDpi = kDesignDpi);

// Which of the art's source sizes (ascending) to draw a `needed` size from:
// the smallest that is at least as large, so that art is only ever shrunk,
// else the largest. 0 when there are none.
int PickSourceSize(int needed, const std::vector<int>& sizes);

}  // namespace kw
