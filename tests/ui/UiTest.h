#pragma once

#include <QApplication>

namespace sonivera::test {

// The one QApplication of the window tests (offscreen under CTest).
inline void EnsureQApplication() {
  if (QApplication::instance()) return;
  static int argc = 1;
  static char name[] = "test_ui";
  static char* argv[] = {name, nullptr};
  static QApplication app(argc, argv);
}

}  // namespace sonivera::test
