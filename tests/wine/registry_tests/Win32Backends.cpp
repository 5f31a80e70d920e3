// The Win32 back ends are built only into the program, not into the core
// library that test programs link; this suite compiles them itself.
#include "system/Win32Environment.cpp"
#include "system/Win32Registry.cpp"
