// Storing, editing and deleting vision tests through the vision record editor.
#include <gtest/gtest.h>

#include <QDate>

#include "base/Messages.h"
#include "db/Database.h"
#include "register/AudiogramStore.h"
#include "support/StoredRows.h"
#include "vision/VisionEditor.h"
#include "vision/VisionFixture.h"
#include "vision/VisionScript.h"

namespace sonivera::vision {
namespace {

using Answer = Prompter::Answer;
using Result = VisionEditor::SaveResult;
using sonivera::test::ScriptedPrompter;

class VisionEditorTest : public ::testing::Test, protected test::VisionPlace {
 protected:
  // Every test starts with patient P1 and one audiogram.
  void SetUp() override {
    editor->on_show_page = [this](VisionEditor::Page page) { pages.push_back(page); };
    AddAudiogram("P1", {"2024-01-10", "10:00:00"}, "Acme");
  }

  db::Connection& Conn() { return database.Conn(); }

  QString Scalar(const QString& sql) { return sonivera::test::ScalarText(Conn(), sql); }
  // Every row of the patient and test tables, in a fixed order.
  QString Dump() {
    return sonivera::test::DumpTables(
        Conn(), {"PatDetails", "TestDetails", "AddressDetails", "VisionDetails", "VisionTest"});
  }

  // A patient with one audiogram, written as the audiogram side writes it.
  void AddAudiogram(const QString& pat_no, const TestKey& key, const QString& company,
                    EditMode mode = EditMode::AddingPatient,
                    const QString& address = QStringLiteral("1 Mill Lane")) {
    AudiogramRecord r;
    r.patient = {pat_no, "Smith", "Ann", "1970-02-01", "Female"};
    r.key = key;
    r.Company = company;
    r.PositionRank = "Driver";
    r.address[0] = address;
    db::Transaction transaction(Conn());
    ASSERT_TRUE(AudiogramStore(Conn()).Write(mode, r));
    transaction.Commit();
  }

  void SetWhen(const QString& date, const QString& time) {
    editor->Details().Dates[kBoxDateofTest] = date;
    editor->Details().Dates[kBoxTimeofTest] = time;
  }

  // Inserts a vision test for the patient with the given events.
  void InsertVision(const QString& pat_no, const QString& date, const QString& time,
                    const QStringList& events = {}) {
    editor->ChoosePatient(pat_no);
    ASSERT_TRUE(editor->InsertVision());
    SetWhen(date, time);
    for (const QString& event : events) ASSERT_FALSE(ApplyEvent(editor->Entry(), event));
    ASSERT_EQ(editor->Save(), Result::Saved) << prompter.Texts().join("|").toStdString();
  }

  // Rows in PatDetails, AddressDetails, TestDetails, VisionDetails and VisionTest.
  QString Counts() {
    QStringList counts;
    for (const char* table :
         {"PatDetails", "AddressDetails", "TestDetails", "VisionDetails", "VisionTest"}) {
      counts << Scalar(QStringLiteral("SELECT count(*) FROM %1").arg(table));
    }
    return counts.join(u' ');
  }
  const ScriptedPrompter::Prompt& Last() const { return prompter.Prompts().back(); }

  std::vector<VisionEditor::Page> pages;
};

TEST_F(VisionEditorTest, InsertEditAndCancelGoThroughTheRegister) {
  VisionStore store(Conn());
  EXPECT_TRUE(store.RegisterRows().empty());  // audiograms only: not in the vision register

  editor->ChoosePatient("P1");
  ASSERT_TRUE(editor->InsertVision());
  EXPECT_EQ(editor->EditMode(), VisionEditor::Mode::InsertingTest);
  EXPECT_EQ(editor->Details().Surname + '|' + editor->Details().Details[kComboCompany] + '|' +
                editor->Answers().glasses_type,
            "Smith|Acme|Normal");
  SetWhen("01/03/2024", "09:00:00");
  editor->Answers().glasses = YesNo::Yes;
  editor->Answers().glasses_type = "Bifocal";
  editor->Answers().last_exam = "15/01/2023";
  for (const char* event : {"binoc:Three", "next", "pass", "pass", "pass"}) {
    ASSERT_FALSE(ApplyEvent(editor->Entry(), event));
  }
  ASSERT_EQ(editor->Save(), Result::Saved) << prompter.Texts().join("|").toStdString();
  EXPECT_FALSE(editor->Editing());
  EXPECT_EQ(editor->Entry().Step(), 0);

  const auto rows = store.RegisterRows();
  ASSERT_EQ(rows.size(), 1u);
  EXPECT_EQ(rows[0].values.mid(0, 5),
            QStringList({"P1", "Smith", "Ann", "2024-03-01", "09:00:00"}));
  EXPECT_EQ(Scalar("SELECT CAST(FarBinoc AS INTEGER) || CAST(FarBoth AS INTEGER) || Glasses || "
                   "GlassesType || LastExam || ' ' || TestDate || TestTime FROM VisionTest"),
            "331Bifocal2023-01-15 2024-03-0109:00:00");
  EXPECT_EQ(Scalar("SELECT VDateofTest || ' ' || VTimeofTest FROM PatDetails"),
            "2024-03-01 09:00:00");

  // Edit resumes after the stored results: one more pass makes four.
  ASSERT_TRUE(editor->Edit());
  editor->Entry().Next();
  editor->Entry().AcuityPass();
  ASSERT_EQ(editor->Save(), Result::Saved);
  EXPECT_EQ(Scalar("SELECT count(*) || CAST(FarBoth AS INTEGER) || LastExam FROM VisionTest"),
            "142023-01-15");

  // Cancel writes nothing.
  const QString before = Dump();
  ASSERT_TRUE(editor->Edit());
  editor->Details().Surname = "Jones";
  editor->Entry().Next();
  editor->Entry().ClearAcuity();
  editor->Cancel();
  EXPECT_FALSE(editor->Editing());
  EXPECT_EQ(Dump(), before);
  EXPECT_EQ(editor->Details().Surname, "Smith");
  EXPECT_EQ(editor->Entry().Working(), WorkingResults{});
  EXPECT_EQ(editor->Entry().BinocularOption(), 3);  // the stored test again
}

TEST_F(VisionEditorTest, SaveChecksAndTheSaveMoment) {
  editor->ChoosePatient("P1");

  // Birth date and sex questions: Yes goes back to the details page.
  ASSERT_TRUE(editor->InsertVision());
  editor->Details().DOB = kEmptyDateBox;
  for (const int question : {1600, 1602}) {
    prompter.QueueAnswer(Answer::Yes);
    EXPECT_EQ(editor->Save(), Result::Stopped);
    EXPECT_EQ(Last().text, Msg(question));
    EXPECT_EQ(pages.back(), VisionEditor::Page::Details);
    editor->Details().DOB = "01/02/1970";
    editor->Details().OptionFemale = question == 1602;
  }

  // Bad dates of test are refused and nothing is written.
  const QString before = Dump();
  editor->Details().Dates[kBoxDateofTest] = "31/02/2024";
  EXPECT_EQ(editor->Save(), Result::Failed);
  EXPECT_EQ(Last().text + '|' + Last().title, Msg(1014) + '|' + Msg(958));
  SetWhen(kEmptyDateBox, "25:61:00");
  EXPECT_EQ(editor->Save(), Result::Failed);
  EXPECT_EQ(Last().text, Msg(1013));
  // A header text too long for its column: reported, nothing kept.
  editor->Details().Dates[kBoxTimeofTest] = kEmptyTimeBox;
  editor->Details().Details[kComboExaminer] = QString(41, 'x');
  EXPECT_EQ(editor->Save(), Result::Failed);
  EXPECT_TRUE(Last().text.contains(Msg(1027)));
  EXPECT_TRUE(editor->Editing());
  EXPECT_EQ(Dump(), before);

  // Empty date and time take the moment of the save.
  editor->Details().Details[kComboExaminer] = "E";
  const QDateTime start = QDateTime::currentDateTime().addSecs(-1);
  ASSERT_EQ(editor->Save(), Result::Saved);
  const QDateTime saved = QDateTime::fromString(
      Scalar("SELECT DateofTest || ' ' || TimeofTest FROM VisionDetails"), "yyyy-MM-dd HH:mm:ss");
  EXPECT_GE(saved, start);
  EXPECT_LE(saved, QDateTime::currentDateTime().addSecs(1));

  // A last-examination date that is no date: 1043, the rest written, LastExam kept.
  ASSERT_TRUE(editor->Edit());
  editor->Answers().last_exam = "10/10/2020";
  ASSERT_EQ(editor->Save(), Result::Saved);
  ASSERT_TRUE(editor->Edit());
  editor->Answers().last_exam = "45/10/2020";
  editor->Answers().referred = YesNo::Yes;
  ASSERT_EQ(editor->Save(), Result::Saved);
  EXPECT_EQ(Last().text, Msg(1043));
  EXPECT_EQ(Scalar("SELECT LastExam || Refer FROM VisionTest"), "2020-10-101");

  // The same date and time as another vision test of the patient is refused.
  ASSERT_TRUE(editor->InsertVision());
  const QString key = Scalar("SELECT DateofTest FROM VisionDetails");
  SetWhen(DateBoxText(key), Scalar("SELECT TimeofTest FROM VisionDetails"));
  EXPECT_EQ(editor->Save(), Result::Failed);
  EXPECT_EQ(Counts(), "1 1 1 1 1");
}

TEST_F(VisionEditorTest, AddingAPatient) {
  ASSERT_TRUE(editor->AddPatient());
  editor->Details().PatNo = "P1";
  editor->PatientNumberLeft();
  ASSERT_FALSE(prompter.Prompts().empty());
  EXPECT_EQ(Last().text + '|' + Last().title,
            "That patient number already has a audiogram test. Cancel then go to 'Type - "
            "Audiology' - 'Insert Vision' if this is the same patient. Patient name: Ann Smith "
            "DOB: 01/02/1970|Patient No");
  auto& d = editor->Details();
  d.DOB = "03/04/1980";
  d.OptionMale = true;
  EXPECT_EQ(editor->Save(), Result::Failed);
  EXPECT_EQ(Last().text, Msg(1002));
  EXPECT_EQ(d.PatNo, "");
  EXPECT_EQ(editor->Save(), Result::Failed);
  EXPECT_EQ(Last().text, Msg(1001));

  d.PatNo = "V2";
  d.Surname = "O'Brien";
  d.Address[0] = "2 High Street";
  ASSERT_EQ(editor->Save(), Result::Saved);
  EXPECT_EQ(editor->CurrentPatNo(), "V2");
  EXPECT_EQ(Scalar("SELECT Surname || Sex || DOB || Address1 || (SELECT count(*) FROM VisionTest "
                   "WHERE PatNo = 'V2') FROM PatDetails JOIN AddressDetails USING (PatNo) "
                   "WHERE PatNo = 'V2'"),
            "O'BrienMale1980-04-032 High Street1");
}

TEST_F(VisionEditorTest, NewerAudiogramParticularsAreCopiedByTheDayOrSecondRule) {
  struct Case {
    const char* name;
    TestKey audiogram;
    bool copied;
  };
  const Case cases[] = {
      {"same day, one second later", {"2024-05-01", "10:00:01"}, true},
      {"same moment", {"2024-05-01", "10:00:00"}, false},
      {"next day, earlier hour", {"2024-05-02", "08:00:00"}, true},
      {"a second before", {"2024-05-01", "09:59:59"}, false},
  };
  int n = 0;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const QString pat_no = QStringLiteral("C%1").arg(++n);
    AddAudiogram(pat_no, {"2024-01-01", "08:00:00"}, "Old Co");
    InsertVision(pat_no, "01/05/2024", "10:00:00");
    AddAudiogram(pat_no, c.audiogram, "New Co", EditMode::InsertingTest, "2 New Road");
    editor->ChoosePatient(pat_no);
    // Shown: the address in force at the vision test; a new test takes the
    // newer one.
    EXPECT_EQ(editor->Details().Address[0], c.copied ? "1 Mill Lane" : "2 New Road");
    ASSERT_TRUE(editor->InsertVision());
    EXPECT_EQ(editor->Details().Details[kComboCompany], c.copied ? "New Co" : "Old Co");
    EXPECT_EQ(editor->Details().Address[0], "2 New Road");
    editor->Cancel();
  }
}

TEST_F(VisionEditorTest, EmploymentCarriesOverToTheLatestAudiogramNotLaterThanTheTest) {
  editor->ChoosePatient("P1");
  ASSERT_TRUE(editor->InsertVision());
  editor->Details().Details[kComboCompany] = "Beta Ltd";
  editor->Details().Dates[kBoxDateJoined] = "01/01/2020";
  SetWhen("10/01/2024", "10:00:00");  // the same moment counts
  ASSERT_EQ(editor->Save(), Result::Saved);
  EXPECT_EQ(Scalar("SELECT Company || ' ' || DateJoined || ' ' || LengthofService || ' ' || "
                   "ServiceLengthText FROM TestDetails"),
            "Beta Ltd 2020-01-01 48 " + ServiceLengthTextFor(48));

  // A vision test older than the audiogram leaves the audiogram alone.
  ASSERT_TRUE(editor->InsertVision());
  editor->Details().Details[kComboCompany] = "Gamma plc";
  editor->Details().Dates[kBoxDateofTest] = "09/01/2024";
  ASSERT_EQ(editor->Save(), Result::Saved);
  EXPECT_EQ(Scalar("SELECT Company FROM TestDetails"), "Beta Ltd");
  // The register keeps the newest vision test.
  EXPECT_EQ(Scalar("SELECT VDateofTest FROM PatDetails"), "2024-01-10");

  // An audiogram inserted from the vision side takes the vision test's
  // particulars only while that test is the later one.
  EXPECT_FALSE(NewerVisionParticulars(Conn(), "P1").has_value());  // same moment
  InsertVision("P1", "11/01/2024", "08:00:00");
  const auto newer = NewerVisionParticulars(Conn(), "P1");
  ASSERT_TRUE(newer.has_value());
  EntryFields shown;
  ShowEmployment(*newer, shown);
  EXPECT_EQ(shown.Details[kComboCompany] + '|' + shown.Dates[kBoxDateJoined],
            "Beta Ltd|01/01/2020");
  AddAudiogram("P1", {"2024-01-12", "08:00:00"}, "Delta", EditMode::InsertingTest);
  EXPECT_FALSE(NewerVisionParticulars(Conn(), "P1").has_value());
}

TEST_F(VisionEditorTest, DeletingTestsAndPatients) {
  InsertVision("P1", "01/02/2024", "09:00:00");
  InsertVision("P1", "01/03/2024", "09:00:00");
  EXPECT_EQ(editor->TestCount(), 2);

  // No keeps the test; the question names it and defaults to No.
  const QString before = Dump();
  prompter.QueueAnswer(Answer::No);
  EXPECT_FALSE(editor->Delete());
  EXPECT_EQ(Dump(), before);
  EXPECT_EQ(Last().text + '|' + Last().title,
            Msg(2993) + "P1 on 01/03/2024 09:00:00 ?|" + Msg(994));
  EXPECT_EQ(Last().default_answer, Answer::No);

  // Yes: the register goes back to the earlier test.
  prompter.QueueAnswer(Answer::Yes);
  ASSERT_TRUE(editor->Delete());
  EXPECT_EQ(Scalar("SELECT VDateofTest FROM PatDetails"), "2024-02-01");
  EXPECT_EQ(Counts(), "1 1 1 1 1");
  prompter.QueueAnswer(Answer::Yes);
  ASSERT_TRUE(editor->Delete());
  EXPECT_EQ(Scalar("SELECT VDateofTest IS NULL FROM PatDetails"), "1");
  EXPECT_EQ(Counts(), "1 1 1 0 0");

  // A whole patient with audiograms: the vision tests go, the patient stays.
  InsertVision("P1", "01/04/2024", "09:00:00");
  InsertVision("P1", "01/05/2024", "09:00:00");
  prompter.QueueAnswer(Answer::Yes);
  ASSERT_TRUE(editor->DeletePatient());
  EXPECT_EQ(Last().text, "Audiograms exist for this Patient. These will not be deleted");
  EXPECT_EQ(Counts(), "1 1 1 0 0");
  EXPECT_EQ(Scalar("SELECT VDateofTest IS NULL FROM PatDetails"), "1");

  // Without audiograms the patient and its addresses go too.
  test::StoreVision(*editor, {"V9", "Nine", "Ann", "01/01/2024", "09:00:00", {}, {}}, true);
  EXPECT_EQ(Counts(), "2 2 1 1 1");
  prompter.QueueAnswer(Answer::Yes);
  const size_t asked = prompter.Prompts().size();
  ASSERT_TRUE(editor->DeletePatient());
  EXPECT_EQ(prompter.Prompts().size(), asked + 1);  // the question only
  EXPECT_EQ(Last().title, "Delete Whole Patient");
  EXPECT_EQ(Counts(), "1 1 1 0 0");
}

TEST_F(VisionEditorTest, ChangingThePatientNumberMovesTheVisionTests) {
  InsertVision("P1", "01/02/2024", "09:00:00", {"binoc:Four"});
  AddAudiogram("P2", {"2024-01-10", "10:00:00"}, "Acme");
  EXPECT_FALSE(editor->ChangePatientNo("P1", "P2"));
  EXPECT_EQ(Last().text, Msg(1032));
  ASSERT_TRUE(editor->ChangePatientNo("P1", "P7"));
  EXPECT_EQ(editor->CurrentPatNo(), "P7");
  EXPECT_EQ(Scalar("SELECT PatNo || CAST(FarBinoc AS INTEGER) FROM VisionTest"), "P71");
  EXPECT_EQ(Scalar("SELECT VDateofTest FROM PatDetails WHERE PatNo = 'P7'"), "2024-02-01");
  EXPECT_EQ(editor->TestCount(), 1);
}

}  // namespace
}  // namespace sonivera::vision
