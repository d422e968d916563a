#pragma once

#include <gtest/gtest.h>

#include <QAction>
#include <QDialog>
#include <functional>
#include <memory>

#include "db/Sqlite.h"
#include "register/RecordEditor.h"
#include "support/TestApp.h"
#include "ui/DemoRegister.h"
#include "ui/FormMain.h"
#include "ui/FormVision.h"
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
  // The vision window, opened by its command, and its commands by key.
  FormVision& Vision() {
    Trigger(*window, "Vision");
    return *window->VisionWindow();
  }
  static void Run(FormVision& vision, const char* key) {
    QAction* action = vision.Action(QLatin1String(key));
    ASSERT_NE(action, nullptr) << key;
    action->trigger();
  }
  // A stand-in for a modal window's exec(): the window must be a T; `answer`
  // fills and closes it, and the window's result is returned.
  template <typename T>
  static std::function<int(QDialog&)> Answering(std::function<void(T&)> answer) {
    return [answer](QDialog& dialog) {
      auto* form = qobject_cast<T*>(&dialog);
      EXPECT_NE(form, nullptr) << dialog.objectName().toStdString();
      if (form != nullptr) answer(*form);
      return dialog.result();
    };
  }
  // The first column of the first row a query gives, as text.
  QString Scalar(const QString& sql) {
    const auto value = t->Db().Conn().QueryValue(sql);
    return value ? value->toString() : QStringLiteral("<none>");
  }

  test::TestApp t;
  std::unique_ptr<FormMain> window;
};

}  // namespace sonivera::ui
