#pragma once

#include <gtest/gtest.h>

#include <QAction>
#include <memory>

#include "register/RecordEditor.h"
#include "support/TestApp.h"
#include "ui/DemoRegister.h"
#include "ui/FormMain.h"
#include "ui/UiTest.h"

namespace sonivera::ui {

// The main window shown on a fresh folder holding eight demonstration patients.
class DemoWindowTest : public ::testing::Test {
 protected:
  void SetUp() override {
    test::EnsureQApplication();
    ASSERT_TRUE(t.Init());
    ASSERT_EQ(SeedDemoRegister(*t, 8), 8);
    window = std::make_unique<FormMain>(*t);
    window->show();
  }
  void TearDown() override {
    if (window) window->Editor().Cancel();  // no exit question
  }
  // Runs a window's menu or toolbar command by its key.
  static void Trigger(FormMain& form, const char* key) {
    QAction* action = form.Action(QLatin1String(key));
    ASSERT_NE(action, nullptr) << key;
    action->trigger();
  }

  test::TestApp t;
  std::unique_ptr<FormMain> window;
};

}  // namespace sonivera::ui
