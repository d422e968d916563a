#pragma once

#include <functional>
#include <memory>

#include "db/Sqlite.h"
#include "register/RecordEditor.h"
#include "register/Register.h"
#include "register/RegisterModel.h"
#include "support/StoredRows.h"
#include "support/TestApp.h"
#include "ui/DemoRegister.h"
#include "ui/DetailsPage.h"
#include "ui/FormMain.h"
#include "ui/FormVision.h"
#include "ui/ResultsPage.h"
#include "ui/UiTest.h"

namespace sonivera::ui {

using test::Answering;
using test::Child;
using test::Click;

// A started program on a fresh folder, for windows opened on their own.
class StartedAppTest : public ::testing::Test {
 protected:
  void SetUp() override {
    test::EnsureQApplication();
    ASSERT_TRUE(t.Init());
  }
  // The first column of the first row a query gives, as text.
  QString Scalar(const QString& sql) { return test::ScalarText(t->Db().Conn(), sql); }
  test::TestApp t;
};

// The main window shown on a fresh folder holding eight demonstration patients.
class DemoWindowTest : public StartedAppTest {
 protected:
  void SetUp() override {
    StartedAppTest::SetUp();
    if (HasFatalFailure()) return;
    ASSERT_EQ(SeedDemoRegister(*t, 8), 8);
    window = std::make_unique<FormMain>(*t);
    window->show();
  }
  void TearDown() override {
    if (window) window->Editor().Cancel();  // no exit question
  }
  // Runs a window's menu or toolbar command by its key (the main window's
  // when no window is named).
  template <typename Form>
  static void Trigger(Form& form, const char* key) {
    QAction* action = form.Action(QLatin1String(key));
    ASSERT_NE(action, nullptr) << key;
    action->trigger();
  }
  void Trigger(const char* key) { Trigger(*window, key); }
  // The vision window, opened by its command.
  FormVision& Vision() {
    Trigger("Vision");
    return *window->VisionWindow();
  }
  std::unique_ptr<FormMain> window;
};

}  // namespace sonivera::ui
