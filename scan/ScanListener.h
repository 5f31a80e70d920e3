// What the key walker tells the window while it walks.
#pragma once

#include <string>

namespace kw {

class ScanListener {
 public:
  virtual ~ScanListener() = default;

  // A key is about to be opened (the progress line).
  virtual void OnKeyEntered(const std::string& keyPath) = 0;
  // A key has been read, or could not be opened (the key-loop guard).
  virtual void OnKeyChecked(const std::string& keyPath) = 0;
  // Row `row` of the model was just appended for a value of the key
  // `keyPath`: list it (the window may wait for its next repaint), run the
  // key-loop guard and, for file references, let the window repaint.
  virtual void OnEntryAdded(int row, const std::string& keyPath, bool fileReference) = 0;
};

}  // namespace kw
