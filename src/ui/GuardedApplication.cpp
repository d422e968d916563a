#include "ui/GuardedApplication.h"

#include <cstdio>

namespace sonivera::ui {

bool GuardedApplication::notify(QObject* receiver, QEvent* event) {
  try {
    return QApplication::notify(receiver, event);
  } catch (const std::exception& error) {
    if (on_failure) {
      on_failure(error);
    } else {
      std::fprintf(stderr, "%s\n", error.what());
    }
  }
  return false;
}

}  // namespace sonivera::ui
