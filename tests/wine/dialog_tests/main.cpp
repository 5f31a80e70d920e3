// Dialog tests: the dialog layer, the dialogs and the resources of the built
// Kelpwise.exe, driven in this process under Wine.
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
