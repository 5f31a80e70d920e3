// Wall-clock seconds from the performance counter.
#pragma once

#include <windows.h>

namespace kw::bench {

class Stopwatch {
 public:
  Stopwatch() {
    QueryPerformanceFrequency(&m_frequency);
    Restart();
  }
  void Restart() { QueryPerformanceCounter(&m_start); }
  double Seconds() const {
    LARGE_INTEGER now;
    QueryPerformanceCounter(&now);
    return static_cast<double>(now.QuadPart - m_start.QuadPart) /
           static_cast<double>(m_frequency.QuadPart);
  }

 private:
  LARGE_INTEGER m_frequency{};
  LARGE_INTEGER m_start{};
};

}  // namespace kw::bench
