#include "app/DisplayScale.h"

#include <cstdint>
#include <cstdlib>

namespace kw {

int ScaleForDpi(int pixels, int dpi, int fromDpi) {
  if (dpi <= 0) dpi = kDesignDpi;
  if (fromDpi <= 0) fromDpi = kDesignDpi;
  const int64_t product = static_cast<int64_t>(pixels) * dpi;
  const int64_t rounded = (std::llabs(product) + fromDpi / 2) / fromDpi;
  return static_cast<int>(product < 0 ? -rounded : rounded);
}

int PickSourceSize(int needed, const std::vector<int>& sizes) {
  for (int size : sizes) {
    if (size >= needed) return size;
  }
  return sizes.empty() ? 0 : sizes.back();
}

}  // namespace kw
