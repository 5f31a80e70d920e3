// End-to-end tests: each test starts the real Kelpwise.exe from a private
// copy of the program folder and looks at its windows from outside.
#include <cstdio>

#include "tests/wine/e2e_tests/KelpwiseTest.h"

int main(int argc, char** argv) {
  // Unbuffered console output is very slow under Wine.
  static char buffer[64 * 1024];
  std::setvbuf(stdout, buffer, _IOFBF, sizeof buffer);
  ::testing::InitGoogleTest(&argc, argv);
  // Without a window manager Wine waits two seconds for every managed window
  // it hides; the program's windows go at once when Wine leaves them alone.
  const char kX11Key[] = "Software\\Wine\\AppDefaults\\Kelpwise.exe\\X11 Driver";
  // The key names Kelpwise.exe alone, so nothing else set it before.
  kw::test::WriteValue(HKEY_CURRENT_USER, kX11Key, "Managed", kw::test::Sz("N"));
  const int result = RUN_ALL_TESTS();
  SHDeleteValueA(HKEY_CURRENT_USER, kX11Key, "Managed");
  std::fflush(stdout);
  return result;
}
