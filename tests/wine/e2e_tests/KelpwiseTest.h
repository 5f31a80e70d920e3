// Base fixture of the end-to-end tests: a private program folder per test
// and one run of Kelpwise.exe from it.
#pragma once

#include <windows.h>

#include <string>

#include "gtest/gtest.h"
#include "tests/wine/e2e_tests/ProgramFolder.h"
#include "tests/wine/e2e_tests/WindowDriver.h"

namespace kw::test {

// Generous: the first window of a fresh Wine prefix takes several seconds.
constexpr DWORD kWindowTimeoutMs = 30000;
constexpr DWORD kExitTimeoutMs = 15000;

class KelpwiseTest : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(m_folder.Create()); }

  void StartProgram() {
    std::string error;
    ASSERT_TRUE(m_process.Start(m_folder.path(), &error)) << error;
  }

  // The main window, failing the test when it does not appear.
  HWND MainWindow() {
    HWND window = m_process.WaitForMainWindow(kWindowTimeoutMs);
    EXPECT_NE(window, nullptr) << "no main window "
                               << (m_process.IsRunning() ? "within the time limit"
                                                         : "(the process ended)");
    return window;
  }

  ProgramFolder m_folder;
  KelpwiseProcess m_process;  // after the folder: the process ends before its folder goes
};

}  // namespace kw::test
