// The main of the tests of the real Win32 windows. It runs under Wine with
// an X display (scripts/windows-test.sh starts Xvfb), or on Windows; the
// program carries the desktop program's manifest, so that it gets the same
// common controls.
#include <gtest/gtest.h>

int main(int argc, char** argv) {
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
