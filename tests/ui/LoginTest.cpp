#include <gtest/gtest.h>

#include <QApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include "base/Messages.h"
#include "ui/FormLogin.h"
#include "ui/GuiPrompter.h"
#include "ui/UiTest.h"

namespace sonivera::ui {
namespace {

// Answers the next login window once it is on show: types the password and
// the examiner, then presses OK or Cancel.
void AnswerLogin(const QString& password, const QString& examiner, bool ok) {
  QTimer::singleShot(0, [=] {
    auto* login = qobject_cast<FormLogin*>(QApplication::activeModalWidget());
    ASSERT_NE(login, nullptr);
    EXPECT_EQ(login->windowTitle(), Msg(203));
    auto* text1 = login->findChild<QLineEdit*>("Text1");
    EXPECT_EQ(text1->echoMode(), QLineEdit::Password);
    QTest::keyClicks(text1, password);
    QTest::keyClicks(login->findChild<QLineEdit*>("Text2"), examiner);
    login->findChild<QPushButton*>(ok ? "Command1" : "Command2")->click();
  });
}

TEST(LoginTest, TheWindowGivesPasswordAndExaminerOrNothingWhenCancelled) {
  test::EnsureQApplication();
  GuiPrompter prompter;

  AnswerLogin("s3cret", "J. Smith", true);
  const auto login = prompter.Login();
  ASSERT_TRUE(login);
  EXPECT_EQ(login->password, "s3cret");
  EXPECT_EQ(login->examiner, "J. Smith");

  // Cancel gives no login (what the start-up then does is tested with it).
  AnswerLogin("x", "y", false);
  EXPECT_FALSE(prompter.Login());
}

}  // namespace
}  // namespace sonivera::ui
