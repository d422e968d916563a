#pragma once

#include <QAction>

#include "ui/DemoWindowTest.h"
#include "ui/FormVision.h"

namespace sonivera::ui {

// The demonstration register's main window with its vision window at hand.
class VisionWindowTest : public DemoWindowTest {
 protected:
  FormVision& Vision() {
    Trigger(*window, "Vision");
    return *window->VisionWindow();
  }
  static void Run(FormVision& vision, const char* key) {
    QAction* action = vision.Action(QLatin1String(key));
    ASSERT_NE(action, nullptr) << key;
    action->trigger();
  }
};

}  // namespace sonivera::ui
