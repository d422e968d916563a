#include <gtest/gtest.h>

#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTest>
#include <QTimer>

#include "base/Messages.h"
#include "questionnaire/Questionnaire.h"
#include "register/Register.h"
#include "register/RegisterModel.h"
#include "ui/DemoWindowTest.h"
#include "ui/DetailsPage.h"
#include "ui/FormImport.h"
#include "ui/FormQuestion.h"
#include "ui/ResultsPage.h"

namespace sonivera::ui {
namespace {

using InterchangeWindowTest = DemoWindowTest;

TEST_F(InterchangeWindowTest, ExportedRegisterImportsIntoAnEmptyRegister) {
  const QStringList file_menu_texts = [&] {
    QStringList texts;
    for (QAction* action : window->menuBar()->actions().first()->menu()->actions()) {
      texts << action->text();
    }
    return texts;
  }();
  for (int caption : {3700, 3701, 3702}) EXPECT_TRUE(file_menu_texts.contains(Msg(caption)));

  const QString path = t.folder.File(QStringLiteral("register.csv"));
  t.prompter.QueueFile(path);
  Trigger(*window, "Export");
  ASSERT_EQ(t.prompter.file_dialogs.size(), 1u);
  EXPECT_EQ(t.prompter.file_dialogs[0].initial_name, QStringLiteral("Exportdata.csv"));
  QFile file(path);
  ASSERT_TRUE(file.open(QIODevice::ReadOnly));
  EXPECT_EQ(file.readLine().trimmed(), QByteArray("[SNV/5.2 Format]"));
  file.close();

  test::TestApp other;
  ASSERT_TRUE(other.Init());
  FormMain empty(*other);
  ASSERT_EQ(empty.Reg().Model().rowCount(), 0);
  other.prompter.QueueFile(path);
  Trigger(empty, "ImportFile");
  EXPECT_TRUE(other.prompter.Prompts().empty()) << other.prompter.Texts().join("\n").toStdString();
  ASSERT_EQ(empty.Reg().Model().rowCount(), 8);
  EXPECT_FALSE(other.prompter.progress_values.empty());
  QStringList exported, imported;
  for (int row = 0; row < 8; ++row) {
    exported << window->Reg().Model().PatNo(row);
    imported << empty.Reg().Model().PatNo(row);
  }
  exported.sort();
  imported.sort();
  EXPECT_EQ(imported, exported);
  EXPECT_EQ(empty.StatusPanel(0)->text(), Msg(490) + "8");

  // The same file again adds nothing: every test is stored already.
  other.prompter.QueueFile(path);
  Trigger(empty, "ImportFile");
  EXPECT_EQ(empty.Reg().Model().rowCount(), 8);
  EXPECT_EQ(other.prompter.Prompts().size(), 8u);
  EXPECT_FALSE(empty.Editor().Editing());
}

// The old-release window counts the records it imports; Stop, pressed while
// the first record is being counted, ends the import before the second.
TEST_F(InterchangeWindowTest, OldReleaseWindowCountsAndStopEndsTheImportBetweenRecords) {
  auto import = [&](int first, int records, bool stop) {
    QByteArray text = "[SNV/3.1 Format]\r\n";
    for (int n = first; n < first + records; ++n) {
      text += QStringLiteral("%1,Surname%1,Ann,01/01/1980,%2,01/01/1999,09:00:00,,,,,")
                  .arg(n)
                  .arg(n % 2 ? "MALE" : "FEMALE")
                  .toLatin1() +
              QByteArray(n % 2 ? "15," : "5,").repeated(18) + "\r\n";
    }
    t.folder.Write("old.csv", text);
    QString count;
    window->run_dialog = [&](QDialog& dialog) {
      auto* form = qobject_cast<FormImport*>(&dialog);
      EXPECT_NE(form, nullptr);
      if (form == nullptr) return int(QDialog::Rejected);
      EXPECT_EQ(form->windowTitle(), QStringLiteral("Import Sonivera 3.1 Data"));
      QPushButton* stop_button = form->Button(QStringLiteral("cmdStop"));
      EXPECT_FALSE(stop_button->isEnabled());
      if (stop) QTimer::singleShot(0, stop_button, [stop_button] { stop_button->click(); });
      t.prompter.QueueFile(t.folder.File("old.csv"));
      form->Button(QStringLiteral("cmdImportCsv"))->click();
      count = form->CountBox()->text();
      EXPECT_FALSE(stop_button->isEnabled());
      EXPECT_EQ(form->Summary().stopped, stop);
      return int(QDialog::Accepted);
    };
    Trigger(*window, "ImportA3_1");
    return count;
  };
  EXPECT_EQ(import(9001, 2, false), QStringLiteral("2"));
  EXPECT_EQ(window->Reg().Model().rowCount(), 10);
  EXPECT_EQ(import(9101, 3, true), QStringLiteral("1"));
  EXPECT_EQ(window->Reg().Model().rowCount(), 11);
}

// While a record is open the questionnaire is on offer and interchange is refused.
TEST_F(InterchangeWindowTest, QuestionWindowWalksAndStoresTheAnswers) {
  const char* interchange[] = {"ImportFile", "Export", "ImportA3_1"};
  EXPECT_FALSE(window->Action("Questions")->isEnabled());
  Trigger(*window, "Edit");
  ASSERT_TRUE(window->Action("Questions")->isEnabled());
  for (const char* key : interchange) EXPECT_FALSE(window->Action(key)->isEnabled()) << key;
  // The demonstration test's own answer to question 5, which the walk leaves.
  const int untouched = window->Editor().Entries().QuestionCodes[4];
  const QString long_text(120, QLatin1Char('x'));
  bool button_off_while_open = false;
  QString first_question;
  window->run_dialog = [&](QDialog& dialog) {
    auto* form = qobject_cast<FormQuestion*>(&dialog);
    EXPECT_NE(form, nullptr);
    if (form == nullptr) return int(QDialog::Rejected);
    button_off_while_open = !window->Action("Questions")->isEnabled();
    first_question = form->QuestionBox()->toPlainText();
    // Each answer window: the typed text and whether OK was pressed.
    std::vector<std::pair<QString, bool>> typed = {
        {"Wears ear plugs", true}, {"ignored", false}, {long_text, true}};
    std::size_t next = 0;
    form->run_dialog = [&](QDialog& answer_dialog) {
      auto* answer = qobject_cast<FormAnswer*>(&answer_dialog);
      EXPECT_NE(answer, nullptr);
      if (answer == nullptr || next >= typed.size()) return int(QDialog::Rejected);
      QTest::keyClicks(answer->AnswerBox(), typed[next].first);
      const int result = typed[next].second ? QDialog::Accepted : QDialog::Rejected;
      answer->done(result);
      ++next;
      return result;
    };
    auto click = [&](const char* name) { form->Button(QLatin1String(name))->click(); };
    click("cmdYes");      // q1 yes, now q2
    click("cmdText");     // q2 text, now q3
    click("cmdText");     // cancelled: q3 stays unanswered and current
    click("cmdNo");       // q3 no, now q4
    click("cmdText");     // q4 cut to 100 characters, now q5
    click("cmdBack");     // q4
    click("cmdBack");     // q3
    click("cmdDelete");   // q3 cleared, stays current
    click("cmdForward");  // q4
    click("cmdFinish");
    return form->result();
  };
  Trigger(*window, "Questions");
  EXPECT_TRUE(button_off_while_open);
  EXPECT_TRUE(window->Action("Questions")->isEnabled());
  const EntryFields& entries = window->Editor().Entries();
  const int codes[] = {kAnswerYes, kAnswerText, kNoAnswer, kAnswerText, untouched};
  for (int i = 0; i < 5; ++i) EXPECT_EQ(entries.QuestionCodes[i], codes[i]) << i;
  EXPECT_EQ(entries.AnswerTexts[1], QStringLiteral("Wears ear plugs"));
  EXPECT_EQ(entries.AnswerTexts[3], long_text.left(kMaxAnswerLength));

  Trigger(*window, "Post");
  ASSERT_EQ(window->Editor().Mode(), EditMode::Browsing)
      << t.prompter.Texts().join("\n").toStdString();
  EXPECT_EQ(
      Scalar("SELECT Q1 || Q2 || Q3 || Ans2 FROM TestQuestions WHERE PatNo = '" +
             window->Reg().Cursor().PatNo + "' ORDER BY TestDate DESC, TestTime DESC"),
      QStringLiteral("%1%2%3Wears ear plugs").arg(kAnswerYes).arg(kAnswerText).arg(kNoAnswer));
  for (const char* key : interchange) EXPECT_TRUE(window->Action(key)->isEnabled()) << key;

  // A new audiogram: the Audiograms page shows its date and time boxes as the
  // details page does, and its questionnaire starts at question 1.
  window->Reg().GoToChosenRecord(0);
  Trigger(*window, "Insert Record");
  ASSERT_EQ(window->Editor().Mode(), EditMode::InsertingTest);
  window->Pages()->setCurrentIndex(FormMain::Tab(MainPage::Audiograms));
  EXPECT_EQ(window->Results()->DateOfTestBox()->text(), kEmptyDateBox);
  EXPECT_EQ(window->Results()->TimeOfTestBox()->text(), kEmptyTimeBox);
  window->Pages()->setCurrentIndex(FormMain::Tab(MainPage::Details));
  window->Details()->DateBox(kBoxDateofTest)->setText("15/03/2024");
  window->Pages()->setCurrentIndex(FormMain::Tab(MainPage::Audiograms));
  EXPECT_EQ(window->Results()->DateOfTestBox()->text(), "15/03/2024");
  QString question_shown;
  window->run_dialog = [&](QDialog& dialog) {
    question_shown = static_cast<FormQuestion&>(dialog).QuestionBox()->toPlainText();
    return int(QDialog::Rejected);
  };
  Trigger(*window, "Questions");
  EXPECT_EQ(question_shown, first_question);
}

}  // namespace
}  // namespace sonivera::ui
