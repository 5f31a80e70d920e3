// Times how quickly a window answers: a thread of its own sends the window
// WM_NULL every 50 ms (SendMessageTimeout, which waits until the window's
// thread has taken the message) and keeps the longest wait.
#pragma once

#include <windows.h>

#include <atomic>
#include <thread>

namespace kw::bench {

class AnswerProbe {
 public:
  // Starts sending to `window` at once.
  explicit AnswerProbe(HWND window);
  // Stops sending (waits for the send in flight).
  ~AnswerProbe();
  AnswerProbe(const AnswerProbe&) = delete;
  AnswerProbe& operator=(const AnswerProbe&) = delete;

  // Stops sending and returns the longest wait in seconds, or -1 when the
  // window answered none (it failed or timed out every time).
  double Stop();

 private:
  void Probe();

  HWND m_window;
  std::atomic<bool> m_stop{false};
  double m_longest = -1;
  std::thread m_thread;
};

}  // namespace kw::bench
