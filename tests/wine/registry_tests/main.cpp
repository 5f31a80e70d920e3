// Registry tests: the system tools and the Win32 back ends against the real
// registry and file system of a Wine prefix.
#include <cstdio>

#include "gtest/gtest.h"

int main(int argc, char** argv) {
  // Unbuffered console output is very slow under Wine.
  static char buffer[64 * 1024];
  std::setvbuf(stdout, buffer, _IOFBF, sizeof buffer);
  ::testing::InitGoogleTest(&argc, argv);
  const int result = RUN_ALL_TESTS();
  std::fflush(stdout);
  return result;
}
