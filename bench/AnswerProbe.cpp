#include "bench/AnswerProbe.h"

#include <algorithm>

#include "bench/Stopwatch.h"

namespace kw::bench {

namespace {
constexpr double kPeriodSeconds = 0.050;
// A window that takes longer than this is taken for lost, not slow.
constexpr UINT kGiveUpMs = 120000;
}  // namespace

AnswerProbe::AnswerProbe(HWND window) : m_window(window), m_thread([this] { Probe(); }) {}

AnswerProbe::~AnswerProbe() { Stop(); }

double AnswerProbe::Stop() {
  m_stop = true;
  if (m_thread.joinable()) m_thread.join();
  return m_longest;
}

void AnswerProbe::Probe() {
  while (!m_stop) {
    Stopwatch clock;
    DWORD_PTR ignored = 0;
    if (SendMessageTimeoutA(m_window, WM_NULL, 0, 0, SMTO_NORMAL, kGiveUpMs, &ignored))
      m_longest = std::max(m_longest, clock.Seconds());
    const double left = kPeriodSeconds - clock.Seconds();
    if (left > 0) Sleep(static_cast<DWORD>(left * 1000));
  }
}

}  // namespace kw::bench
