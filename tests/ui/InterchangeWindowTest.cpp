#include "questionnaire/Questionnaire.h"
#include "ui/DemoWindowTest.h"
#include "ui/FormImport.h"
#include "ui/FormQuestion.h"

namespace sonivera::ui {
namespace {

using InterchangeWindowTest = DemoWindowTest;

// What an export holds and how each line is imported are tested with the
// interchange itself; here the commands reach it and the register follows.
TEST_F(InterchangeWindowTest, ExportedRegisterImportsIntoAnEmptyRegister) {
  QStringList file_menu;
  for (QAction* action : window->menuBar()->actions().first()->menu()->actions())
    file_menu << action->text();
  for (int caption : {3700, 3701, 3702}) EXPECT_TRUE(file_menu.contains(Msg(caption))) << caption;

  const QString path = t.folder.File(QStringLiteral("register.csv"));
  t.prompter.QueueFile(path);
  Trigger("Export");
  EXPECT_TRUE(t.folder.Read("register.csv").startsWith("[SNV/5.2 Format]\r\n"));

  test::TestApp other;
  ASSERT_TRUE(other.Init());
  FormMain empty(*other);
  auto numbers = [](FormMain& form) {
    QStringList shown;
    for (int row = 0; row < form.Reg().Model().rowCount(); ++row)
      shown << form.Reg().Model().PatNo(row);
    shown.sort();
    return shown;
  };
  ASSERT_EQ(numbers(empty), QStringList());
  other.prompter.QueueFile(path);
  Trigger(empty, "ImportFile");
  EXPECT_EQ(test::Shown(other.prompter), QStringList());
  EXPECT_EQ(numbers(empty), numbers(*window));
  EXPECT_FALSE(other.prompter.progress_values.empty());
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
    window->run_dialog = Answering<FormImport>([&](FormImport& form) {
      EXPECT_EQ(form.windowTitle(), QStringLiteral("Import Sonivera 3.1 Data"));
      QPushButton* stop_button = form.Button(QStringLiteral("cmdStop"));
      EXPECT_FALSE(stop_button->isEnabled());
      if (stop) QTimer::singleShot(0, stop_button, [stop_button] { stop_button->click(); });
      t.prompter.QueueFile(t.folder.File("old.csv"));
      form.Button(QStringLiteral("cmdImportCsv"))->click();
      count = form.CountBox()->text();
      EXPECT_FALSE(stop_button->isEnabled());
      EXPECT_EQ(form.Summary().stopped, stop);
    });
    Trigger("ImportA3_1");
    return count + '|' + QString::number(window->Reg().Model().rowCount());
  };
  EXPECT_EQ(import(9001, 2, false), "2|10");
  EXPECT_EQ(import(9101, 3, true), "1|11");
}

// While a record is open the questionnaire is on offer and interchange is
// refused. How each answer moves the current question is tested with the
// questionnaire, and how a save stores the answers with the record editor;
// the walk presses every button once or more.
TEST_F(InterchangeWindowTest, QuestionWindowWalksAndStoresTheAnswers) {
  auto enabled = [&] {
    QString shown;
    for (const char* key : {"Questions", "ImportFile", "Export", "ImportA3_1"}) {
      shown += window->Action(key)->isEnabled() ? '1' : '0';
    }
    return shown;
  };
  EXPECT_EQ(enabled(), "0111");
  Trigger("Edit");
  EXPECT_EQ(enabled(), "1000");
  // The demonstration test's own answer to question 5, which the walk leaves.
  const int untouched = window->Editor().Entries().QuestionCodes[4];
  const QString long_text(120, QLatin1Char('x'));
  QString first_question, enabled_while_open;
  window->run_dialog = Answering<FormQuestion>([&](FormQuestion& form) {
    enabled_while_open = enabled();
    first_question = form.QuestionBox()->toPlainText();
    // Each answer window: the typed text and whether OK was pressed.
    const std::pair<QString, bool> typed[] = {
        {"Wears ear plugs", true}, {"ignored", false}, {long_text, true}};
    std::size_t next = 0;
    form.run_dialog = Answering<FormAnswer>([&](FormAnswer& answer) {
      ASSERT_LT(next, std::size(typed));
      QTest::keyClicks(answer.AnswerBox(), typed[next].first);
      answer.done(typed[next++].second ? QDialog::Accepted : QDialog::Rejected);
    });
    for (const char* button : {"cmdYes",      // q1 yes, now q2
                               "cmdText",     // q2 text, now q3
                               "cmdText",     // cancelled: q3 stays unanswered and current
                               "cmdNo",       // q3 no, now q4
                               "cmdText",     // q4 cut to 100 characters, now q5
                               "cmdBack",     // q4
                               "cmdBack",     // q3
                               "cmdDelete",   // q3 cleared, stays current
                               "cmdForward",  // q4
                               "cmdFinish"}) {
      form.Button(QLatin1String(button))->click();
    }
  });
  Trigger("Questions");
  EXPECT_EQ(enabled_while_open, "0000");
  EXPECT_EQ(enabled(), "1000");
  const EntryFields& entries = window->Editor().Entries();
  EXPECT_EQ(std::vector<int>(entries.QuestionCodes.begin(), entries.QuestionCodes.begin() + 5),
            (std::vector<int>{kAnswerYes, kAnswerText, kNoAnswer, kAnswerText, untouched}));
  EXPECT_EQ(entries.AnswerTexts[1], QStringLiteral("Wears ear plugs"));
  EXPECT_EQ(entries.AnswerTexts[3], long_text.left(kMaxAnswerLength));

  Trigger("Post");
  ASSERT_EQ(window->Editor().Mode(), EditMode::Browsing)
      << t.prompter.Texts().join("\n").toStdString();
  EXPECT_EQ(enabled(), "0111");

  // A new audiogram: the Audiograms page shows its date and time boxes as the
  // details page does, and its questionnaire starts at question 1.
  window->Reg().GoToChosenRecord(0);
  Trigger("Insert Record");
  ASSERT_EQ(window->Editor().Mode(), EditMode::InsertingTest);
  auto shown_on_audiograms = [&] {
    window->Pages()->setCurrentIndex(FormMain::Tab(MainPage::Audiograms));
    return window->Results()->DateOfTestBox()->text() + '|' +
           window->Results()->TimeOfTestBox()->text();
  };
  EXPECT_EQ(shown_on_audiograms(), kEmptyDateBox + '|' + kEmptyTimeBox);
  window->Pages()->setCurrentIndex(FormMain::Tab(MainPage::Details));
  window->Details()->DateBox(kBoxDateofTest)->setText("15/03/2024");
  EXPECT_EQ(shown_on_audiograms(), "15/03/2024|" + kEmptyTimeBox);
  QString question_shown;
  window->run_dialog = Answering<FormQuestion>(
      [&](FormQuestion& form) { question_shown = form.QuestionBox()->toPlainText(); });
  Trigger("Questions");
  EXPECT_EQ(question_shown, first_question);
}

}  // namespace
}  // namespace sonivera::ui
