#include <sqlite3.h>

#include "base/Messages.h"
#include "register/RecordDisplay.h"
#include "register/RegisterFixture.h"

namespace sonivera {
namespace {

using Answer = Prompter::Answer;
using Buttons = Prompter::Buttons;
using Post = RecordEditor::SaveResult;

class RecordEditorTest : public test::RegisterFixture {
 protected:
  // A new patient whose boxes would save as they stand, asked nothing yet.
  EntryFields& NewPatient(const QString& pat_no) {
    t.prompter = test::ScriptedPrompter();
    editor->Cancel();
    EXPECT_TRUE(editor->AddPatient());
    auto& e = editor->Entries();
    e.PatNo = pat_no;
    e.DOB = "01/01/1980";
    e.OptionMale = true;
    FillTest(e, "01/01/2020", "10:00:00");
    return e;
  }
};

TEST_F(RecordEditorTest, AddPatientWritesEveryTableAndListsThePatient) {
  ASSERT_TRUE(editor->AddPatient());
  EXPECT_EQ(editor->Mode(), EditMode::AddingPatient);
  EXPECT_EQ(editor->Entries().Details[kComboExaminer], "Examiner E");
  EXPECT_EQ(editor->EditCaption(), Msg(1130));
  auto& e = editor->Entries();
  e.PatNo = "A'1";
  e.Surname = "O'Reilly";
  e.Forenames = "Pat";
  e.DOB = "05/06/1980";
  e.OptionMale = true;
  e.Details[kComboCompany] = "Acme";
  e.Details[kComboF2] = "f two";
  e.Dates[kBoxDateJoined] = "01/01/2010";
  e.Dates[kBoxRecallDate] = "01/03/2022";
  e.Address[5] = "LS1 1AA";
  e.QuestionCodes[2] = 2;
  e.AnswerTexts[2] = "Shooting";
  FillTest(e, "15/03/2021", "09:30:00");
  e.Thresholds[18] = "5";  // left 125 Hz
  ASSERT_EQ(editor->Save(), Post::Saved);
  EXPECT_EQ(editor->Mode(), EditMode::Browsing);
  EXPECT_TRUE(t.prompter.Prompts().empty()) << t.prompter.Texts().join("|").toStdString();
  EXPECT_EQ(Scalar("SELECT Surname || DOB || Sex || DateofTest || TimeofTest FROM PatDetails"),
            "O'Reilly1980-06-05Male2021-03-1509:30:00");
  EXPECT_EQ(Scalar("SELECT Company || F2 || ServiceLengthText || LengthofService || RecallDate "
                   "FROM TestDetails"),
            "Acmef two11 yrs 2 mths1342022-03-01");
  EXPECT_EQ(Scalar("SELECT \"125Hz\" || '/' || \"250Hz\" || '/' || \"8kHz\" FROM TestResultsLeft"),
            "5/20/60");
  EXPECT_EQ(Scalar("SELECT \"250Hz\" FROM TestResultsRight"), "20");
  EXPECT_EQ(Scalar("SELECT Q3 || Ans3 || quote(Ans1) FROM TestQuestions"), "2ShootingNULL");
  EXPECT_EQ(Scalar("SELECT Address6 || DateofTest FROM AddressDetails"), "LS1 1AA2021-03-15");
  EXPECT_EQ(Cursor().PatNo, "A'1");
  EXPECT_EQ(reg->TitleText(), "Sonivera 5.5 [ A'1, Pat O'Reilly, on 15/03/2021 ]");
  EXPECT_EQ(Status(), "Patients: 1 | Records: 1 | Filter: Off | Sorted:  ");
}

TEST_F(RecordEditorTest, NewPatientWhoseNumberExistsKeepsEntriesButTheNumber) {
  AddPatient("42", "Smith", "01/01/2020");
  auto& e = NewPatient("42");
  e.Surname = "Jones";
  auto expected = e;
  expected.PatNo.clear();
  EXPECT_EQ(editor->Save(), Post::NumberTaken);
  EXPECT_EQ(Shown(), QStringList{Msg(1002) + "|" + Msg(1003)});
  EXPECT_EQ(editor->Mode(), EditMode::AddingPatient);
  EXPECT_TRUE(e == expected);
  EXPECT_EQ(Scalar("SELECT COUNT(*) FROM TestDetails"), "1");
}

TEST_F(RecordEditorTest, PostChecksAskInOrderAndStopWhereAnswered) {
  struct Case {
    const char* name;
    const char* missing;  // of "dob", "sex", "thresholds", "number"
    std::vector<Answer> answers;
    std::vector<int> messages;  // expected prompts, in order
    Post result;
  };
  const Case cases[] = {
      {"dob yes", "dob", {Answer::Yes}, {1600}, Post::Stopped},
      {"dob no, sex yes", "dob sex", {Answer::No, Answer::Yes}, {1600, 1602}, Post::Stopped},
      {"blank no", "thresholds", {Answer::No}, {999}, Post::Stopped},
      {"blank yes, no number", "thresholds number", {Answer::Yes}, {999, 1001}, Post::Failed},
      {"all declined then saved",
       "dob sex thresholds",
       {Answer::No, Answer::No, Answer::Yes},
       {1600, 1602, 999},
       Post::Saved},
  };
  int n = 0;
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const QString missing = c.missing;
    auto& e = NewPatient(missing.contains("number") ? QString() : QString::number(++n));
    listener.pages.clear();
    if (missing.contains("dob")) e.DOB = kEmptyDateBox;
    if (missing.contains("sex")) e.OptionMale = false;
    if (missing.contains("thresholds")) e.Thresholds = {};
    for (auto a : c.answers) t.prompter.QueueAnswer(a);
    EXPECT_EQ(editor->Save(), c.result);
    QStringList expected;
    for (int m : c.messages) expected << Msg(m);
    EXPECT_EQ(t.prompter.Texts(), expected);
    // Stopped to fill in a detail, the details page is shown.
    if (c.result == Post::Stopped && c.messages.back() != 999) {
      EXPECT_EQ(listener.pages, std::vector<MainPage>{MainPage::Details});
    }
    if (c.messages[0] == 1600) {
      EXPECT_EQ(Shown()[0], Msg(1600) + "|" + Msg(1601));
      EXPECT_EQ(t.prompter.Prompts()[0].buttons, Buttons::YesNo);
    }
    EXPECT_EQ(editor->Mode(),
              c.result == Post::Saved ? EditMode::Browsing : EditMode::AddingPatient);
  }
  // A bulk run asks nothing and takes midnight for an empty time.
  editor->Cancel();
  t.prompter = test::ScriptedPrompter();
  editor->SetBulkMode(true);
  ASSERT_TRUE(editor->AddPatient());
  editor->Entries().PatNo = "B1";
  editor->Entries().Dates[kBoxDateofTest] = "01/01/2020";
  EXPECT_EQ(editor->Save(), Post::Saved);
  EXPECT_TRUE(t.prompter.Prompts().empty());
  EXPECT_EQ(Scalar("SELECT TimeofTest FROM TestDetails WHERE PatNo = 'B1'"), "00:00:00");
}

TEST_F(RecordEditorTest, RegisterPageWhileEditingAsksToSave) {
  EXPECT_TRUE(editor->ConfirmRegisterPage());
  NewPatient("S1");
  t.prompter.QueueAnswer(Answer::No);
  EXPECT_FALSE(editor->ConfirmRegisterPage());
  EXPECT_EQ(editor->Mode(), EditMode::AddingPatient);
  t.prompter.QueueAnswer(Answer::Yes);
  EXPECT_TRUE(editor->ConfirmRegisterPage());
  EXPECT_EQ(editor->Mode(), EditMode::Browsing);
  EXPECT_EQ(Shown(), QStringList(2, Msg(1006) + "|" + Msg(1007)));
  EXPECT_EQ(Scalar("SELECT COUNT(*) FROM TestDetails"), "1");
}

TEST_F(RecordEditorTest, InvalidDatesGiveTheirMessagesAndStoreNothing) {
  struct Case {
    int box;  // -1 for the date of birth
    const char* text;
    int message;
  };
  const Case cases[] = {{-1, "31/02/1980", 1029},
                        {kBoxDateofTest, "__/__/____", 1014},
                        {kBoxDateofTest, "99/99/2020", 1014},
                        {kBoxTimeofTest, "25:61:00", 1013},
                        {kBoxPreviousTest, "1/13/2020", 1015},
                        {kBoxCalibrated, "xx", 1016},
                        {kBoxRecallDate, "32/01/2020", 1017},
                        {kBoxDateJoined, "00/01/2020", 1018},
                        {kBoxDateLeft, "30/02/2021", 1019}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.message);
    auto& e = NewPatient("D1");
    (c.box < 0 ? e.DOB : e.Dates[c.box]) = c.text;
    EXPECT_EQ(editor->Save(), Post::Failed);
    EXPECT_EQ(Shown(), QStringList{Msg(c.message) + "|" + Msg(958)});
    EXPECT_EQ(Scalar("SELECT COUNT(*) FROM PatDetails"), "0");
  }
  // Left before joined is refused; put right, the length of service is stored.
  auto& e = NewPatient("L1");
  e.Dates[kBoxDateJoined] = "01/06/2015";
  e.Dates[kBoxDateLeft] = "01/05/2015";
  EXPECT_EQ(editor->Save(), Post::Failed);
  EXPECT_EQ(t.prompter.Texts(), QStringList{Msg(1048)});
  e.Dates[kBoxDateLeft] = "15/08/2018";
  EXPECT_EQ(editor->Save(), Post::Saved);
  EXPECT_EQ(Scalar("SELECT ServiceLengthText || '=' || LengthofService FROM TestDetails"),
            "3 yrs 2 mths=38");
}

TEST_F(RecordEditorTest, FieldTooLongInTheLastTableLeavesTheDatabaseAsBefore) {
  AddPatient("T1", "Taylor", "01/01/2020");
  const QString before = Dump();
  ASSERT_TRUE(editor->EditRecord(reg->Cursor().PatNo, reg->Cursor().TestIndex));
  auto& e = editor->Entries();
  e.Surname = "Changed";
  e.Dates[kBoxTimeofTest] = "12:00:00";
  e.Thresholds[0] = "99";
  e.AnswerTexts[49] = QString(101, u'a');  // TestQuestions is written last
  EXPECT_EQ(editor->Save(), Post::Failed);
  EXPECT_EQ(t.prompter.Texts(), QStringList{Msg(1027)});
  EXPECT_EQ(editor->Mode(), EditMode::Editing);
  EXPECT_EQ(Dump(), before);
  e.AnswerTexts[49] = "short";
  EXPECT_EQ(editor->Save(), Post::Saved);
  EXPECT_EQ(Scalar("SELECT Surname || TimeofTest FROM PatDetails"), "Changed12:00:00");
}

// PatDetails mirrors the newest test through an insert, an edit and a delete.
TEST_F(RecordEditorTest, MirrorFollowsTheNewestTestThroughInsertEditAndDelete) {
  AddPatient("M1", "Moss", "01/06/2021", "10:00:00");
  Conn().Exec(
      "UPDATE TestDetails SET DateJoined = '2010-01-01', ServiceLengthText = '11 yrs 5 mths'");
  ASSERT_TRUE(editor->InsertAudiogram(reg->Cursor().PatNo));
  // The address and the previous test carry over; Date Joined, Date Left and
  // the length of service computed from them start blank together.
  const auto& e = editor->Entries();
  EXPECT_EQ(test::Joined({e.Address[0], e.Previous[0], e.Dates[kBoxDateJoined],
                          e.Dates[kBoxDateLeft], e.ServiceLength, e.Dates[kBoxDateofTest],
                          e.Dates[kBoxTimeofTest], e.Thresholds[0]}),
            test::Joined({"1 Moss Street", "20", kEmptyDateBox, kEmptyDateBox, "", kEmptyDateBox,
                          kEmptyTimeBox, ""}));
  EXPECT_EQ(Categorisation().grid.Cell(1, 0), "20");
  editor->Cancel();
  // An older test leaves the mirror alone.
  InsertTest("01/06/2019");
  EXPECT_EQ(Scalar("SELECT DateofTest FROM PatDetails"), "2021-06-01");
  EXPECT_EQ(Column(kColLastTest), QStringList{"2021-06-01"});
  EXPECT_EQ(Scalar("SELECT COUNT(*) FROM AddressDetails"), "2");

  // Editing the latest test's time moves the mirror with it.
  ASSERT_TRUE(reg->GoToChosenRecord(0));
  EXPECT_EQ(Cursor().TestIndex, 0);
  ASSERT_TRUE(editor->EditRecord(reg->Cursor().PatNo, reg->Cursor().TestIndex));
  EXPECT_EQ(editor->EditedTest().time, "10:00:00");
  editor->Entries().Dates[kBoxTimeofTest] = "15:30:00";
  ASSERT_EQ(editor->Save(), Post::Saved);
  EXPECT_EQ(Scalar("SELECT TimeofTest FROM PatDetails"), "15:30:00");
  EXPECT_EQ(Column(kColTimeofTest), QStringList{"15:30:00"});
  EXPECT_EQ(Scalar("SELECT COUNT(*) FROM TestResultsLeft WHERE TestTime = '15:30:00'"), "1");

  // Deleting asks, No by default; Yes hands the mirror to the newest test left.
  ASSERT_TRUE(reg->GoToChosenRecord(0));
  t.prompter = test::ScriptedPrompter();
  t.prompter.QueueAnswer(Answer::No);
  EXPECT_FALSE(editor->DeleteTest(reg->Cursor().PatNo, reg->Cursor().TestIndex));
  EXPECT_EQ(Shown(), QStringList{Msg(993) + "M1 on 01/06/2021 15:30:00 ?|" + Msg(994)});
  EXPECT_TRUE(t.prompter.Prompts()[0].buttons == Buttons::YesNo &&
              t.prompter.Prompts()[0].default_answer == Answer::No);
  t.prompter.QueueAnswer(Answer::Yes);
  EXPECT_TRUE(editor->DeleteTest(reg->Cursor().PatNo, reg->Cursor().TestIndex));
  EXPECT_EQ(Scalar("SELECT DateofTest FROM PatDetails"), "2019-06-01");
  EXPECT_EQ(Column(kColPatNo), QStringList{"M1"});
  EXPECT_EQ(Scalar("SELECT COUNT(*) FROM TestQuestions"), "1");
}

TEST_F(RecordEditorTest, DeletingTheOnlyAudiogramRemovesThePatientUnlessVisionTestsExist) {
  for (bool vision : {false, true}) {
    SCOPED_TRACE(vision);
    const QString no = vision ? "V2" : "V1";
    AddPatient(no, "Vance", "01/06/2021");
    if (vision) Conn().Exec("UPDATE PatDetails SET VDateofTest = '2021-01-01' WHERE PatNo = 'V2'");
    ASSERT_TRUE(reg->MoveToPatient(no));
    t.prompter.QueueAnswer(Answer::Yes);
    ASSERT_TRUE(editor->DeleteTest(reg->Cursor().PatNo, reg->Cursor().TestIndex));
    EXPECT_EQ(Scalar("SELECT COUNT(*) FROM PatDetails WHERE PatNo = '" + no + "'"),
              vision ? "1" : "0");
    EXPECT_FALSE(Column(kColPatNo).contains(no));
  }
  EXPECT_EQ(Scalar("SELECT group_concat(PatNo) FROM AddressDetails"), "V2");
}

TEST_F(RecordEditorTest, DeletePatientKeepsThePatientRowForVisionTests) {
  AddPatient("P1", "Penn", "01/06/2021");
  InsertTest("01/06/2020");
  AddPatient("P2", "Page", "01/06/2021");
  Conn().Exec("UPDATE PatDetails SET VDateofTest = '2021-01-01' WHERE PatNo = 'P2'");
  for (const char* no : {"P1", "P2"}) {
    t.prompter = test::ScriptedPrompter();
    t.prompter.QueueAnswer(Answer::Yes);
    ASSERT_TRUE(editor->DeletePatient(no));
    EXPECT_EQ(Shown()[0], Msg(1093) + no + Msg(1094) + "|Delete Whole Patient");
  }
  EXPECT_EQ(t.prompter.Texts().last(),
            "Vision Tests exist for this Patient. These will not be deleted");
  EXPECT_EQ(Scalar("SELECT group_concat(PatNo) FROM PatDetails"), "P2");
  EXPECT_EQ(Scalar("SELECT COUNT(*) FROM TestDetails"), "0");
  EXPECT_EQ(reg->Model().rowCount(), 0);
}

TEST_F(RecordEditorTest, ChangePatientNoMovesEveryRowInOneGo) {
  AddPatient("R1", "Reed", "01/06/2021");
  editor->InsertAudiogram(reg->Cursor().PatNo);
  FillTest(editor->Entries(), "01/06/2019", "08:00:00");
  editor->Entries().Address[0] = "Old address";
  editor->Entries().QuestionCodes[0] = 1;
  ASSERT_EQ(editor->Save(), Post::Saved);
  Conn().Exec("INSERT INTO VisionDetails (PatNo, DateofTest) VALUES ('R1', '2020-01-01')");
  AddPatient("R2", "Other", "01/01/2020");
  const QString before = Dump();

  EXPECT_FALSE(editor->ChangePatientNo("R1", "  "));
  EXPECT_FALSE(editor->ChangePatientNo("R1", "r2"));
  EXPECT_EQ(Shown(), (QStringList{Msg(971) + "|" + Msg(972), Msg(1032) + "|" + Msg(1033)}));
  EXPECT_EQ(Dump(), before);

  ASSERT_TRUE(editor->ChangePatientNo("R1", "N'9"));
  EXPECT_FALSE(editor->BulkMode());
  EXPECT_EQ(Cursor().PatNo, "N'9");
  // The rows keep their values under the new number (row order may differ).
  QStringList expected = QString(before).replace("|R1|", "|N'9|").split('\n');
  QStringList actual = Dump().split('\n');
  expected.sort();
  actual.sort();
  EXPECT_EQ(actual, expected);
  EXPECT_EQ(Scalar("PRAGMA foreign_key_check"), "<none>");
  EXPECT_EQ(reg->Model().PatNo(reg->CurrentRow()), "N'9");
}

TEST_F(RecordEditorTest, ThresholdEntryUpdatesTheGridAndBrowsingIsRefusedWhileEditing) {
  AddPatient("G1", "Gray", "01/06/2021");
  InsertTest("01/06/2020");
  ASSERT_TRUE(reg->GoToChosenRecord(0));
  ASSERT_TRUE(editor->EditRecord(reg->Cursor().PatNo, reg->Cursor().TestIndex));
  listener.grid_changes.clear();
  editor->ThresholdChanged(9, "125");
  EXPECT_EQ(editor->Entries().Thresholds[9], "12");
  EXPECT_EQ(Categorisation().grid.Cell(2, 0), "12");
  editor->ThresholdChanged(19, "-");  // not yet a value: the grid is left alone
  editor->ThresholdChanged(19, "-15");
  EXPECT_EQ(listener.grid_changes, (std::vector<std::pair<int, int>>{{2, 0}, {0, 10}}));
  EXPECT_FALSE(reg->ShowTest(1));
  EXPECT_FALSE(reg->MoveDown());
  EXPECT_FALSE(editor->DeleteTest(reg->Cursor().PatNo, reg->Cursor().TestIndex));
  EXPECT_FALSE(editor->AddPatient());
  editor->Cancel();
  EXPECT_EQ(editor->Mode(), EditMode::Browsing);
  EXPECT_TRUE(t->settings().chart.PredictiveLineAllowed);
  EXPECT_TRUE(reg->ShowTest(1));
  EXPECT_EQ(Scalar("SELECT \"250Hz\" FROM TestResultsRight ORDER BY TestDate DESC LIMIT 1"), "20");
}

TEST_F(RecordEditorTest, ArrivedTestAsksItsRecallOnceSaved) {
  t->Schemes().CheckHSE = true;
  t->Schemes().CheckSTS = true;
  AddPatient("R", "Reed", "10/01/2020");  // a typed test asks no recall
  EXPECT_TRUE(t.prompter.recall_requests.isEmpty());
  // Recalled within a month: the next test is the one-month recall test.
  Conn().Exec("UPDATE TestDetails SET RecallDate = '2020-02-09' WHERE PatNo = 'R'");

  bool committed = false;
  t.prompter.on_recall = [&] { committed = sqlite3_get_autocommit(Conn().Handle()) != 0; };
  t.prompter.QueueRecall(QDate(2022, 3, 1));
  ASSERT_TRUE(editor->InsertAudiogram("R"));
  editor->SetNewTestPending(true);  // as when the PC audiometer has sent results
  FillTest(editor->Entries(), "12/02/2020", "10:00:00");
  ASSERT_EQ(editor->Save(), Post::Saved);
  EXPECT_FALSE(editor->NewTestPending());
  // The window opens after the save's commit, never inside it.
  EXPECT_TRUE(committed);
  ASSERT_EQ(t.prompter.recall_requests.size(), 1);
  EXPECT_TRUE(t.prompter.recall_requests[0].startsWith("HSE"));
  EXPECT_EQ(Shown(), QStringList{"This is a 1 month recall test, so please compare with the "
                                 "original test.|Onr Month Recall"});
  // Linked to the test before it and categorised.
  EXPECT_EQ(Scalar("SELECT RecallDate || PreviousTest || substr(Categorisation, 1, 3) FROM "
                   "TestDetails WHERE DateofTest = '2020-02-12'"),
            "2022-03-012020-01-10HSE");

  // Cancelled: nothing stored; without the STS box, no notice.
  t->Schemes().CheckSTS = false;
  t.prompter = test::ScriptedPrompter();
  ASSERT_TRUE(editor->InsertAudiogram("R"));
  editor->SetNewTestPending(true);
  FillTest(editor->Entries(), "01/04/2020", "10:00:00");
  ASSERT_EQ(editor->Save(), Post::Saved);
  EXPECT_EQ(t.prompter.recall_requests.size(), 1);
  EXPECT_TRUE(t.prompter.Prompts().empty());
  EXPECT_EQ(Scalar("SELECT COUNT(*) FROM TestDetails WHERE DateofTest = '2020-04-01' AND "
                   "RecallDate IS NULL"),
            "1");
}

TEST_F(RecordEditorTest, SecondTestAtTheSameTimeIsADuplicate) {
  AddPatient("D1", "Dunn", "01/06/2021");
  for (const bool bulk : {false, true}) {
    SCOPED_TRACE(bulk);
    t.prompter = test::ScriptedPrompter();
    editor->SetBulkMode(bulk);
    ASSERT_TRUE(editor->InsertAudiogram("D1"));
    FillTest(editor->Entries(), "01/06/2021", "10:00:00");
    EXPECT_EQ(editor->Save(), Post::Duplicate);
    EXPECT_EQ(editor->Mode(), EditMode::InsertingTest);
    // Outside a bulk run the save says so; an import says it in its own words.
    EXPECT_EQ(
        t.prompter.Texts(),
        bulk ? QStringList{} : QStringList{Msg(1401) + " D1" + Msg(1402) + "01/06/2021 10:00:00"});
    editor->Cancel();
  }
  EXPECT_EQ(Scalar("SELECT COUNT(*) FROM TestDetails"), "1");
}

}  // namespace
}  // namespace sonivera
