#pragma once

#include <QApplication>

namespace sonivera::test {

// The one QApplication of the window tests (offscreen under CTest). It is
// never destroyed: at exit the platform plugin may already be gone, and
// tearing the application down then crashes.
inline void EnsureQApplication() {
  if (QApplication::instance()) return;
  static int argc = 1;
  static char name[] = "test_ui";
  static char* argv[] = {name, nullptr};
  new QApplication(argc, argv);
}

}  // namespace sonivera::test
