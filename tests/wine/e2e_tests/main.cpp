// End-to-end tests: each test starts the real Kelpwise.exe from a private
// copy of the program folder and looks at its windows from outside.
#include <cstdio>

#include "gtest/gtest.h"

int main(int argc, char** argv) {
  // Unbuffered console output is very slow under Wine.
  static char buffer[64 * 1024];
  std::setvbuf(stdout, buffer, _IOFBF, sizeof buffer);
  ::testing::InitGoogleTest(&argc, argv);
  int result = RUN_ALL_TESTS();
  std::fflush(stdout);
  return result;
}
