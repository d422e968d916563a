#include <gtest/gtest.h>

#include <QFileInfo>

#include "instrument/CompanionRecord.h"
#include "instrument/CompanionSupport.h"
#include "interchange/RegisterImport.h"
#include "register/RegisterFixture.h"

namespace sonivera {
namespace {

using test::SetScenario;
using test::StandInLog;

// Test and Get Data on a real register through the record editor, with the
// stand-in companion in the program folder.
class CompanionRecordTest : public test::RegisterFixture {
 protected:
  void SetUp() override {
    test::RegisterFixture::SetUp();
    test::EnsureCoreApplication();
    ASSERT_TRUE(test::InstallStandIn(t.folder));
    CompanionHooks hooks;
    hooks.pause_scale = 0.05;
    hooks.import_csv = [this](const QString& path) {
      RegisterImporter(t->ForImport(*editor, reg.get()))
          .ChooseAndImport(QFileInfo(path).fileName());
    };
    link = std::make_unique<CompanionLink>(t->Folder(), "-", t->Reporter(), hooks);
  }
  CompanionOutcome Run(bool launch) {
    return RunCompanionOnRecord(*link, *editor, Conn(), Categorisation().grid, launch,
                                Scalar("SELECT COUNT(*) FROM PatDetails") == "0", Cursor().PatNo);
  }
  std::unique_ptr<CompanionLink> link;
};

TEST_F(CompanionRecordTest, TestOnAPatientIsLeftOpenThenSavedAndCategorised) {
  t->Schemes().CheckHSE = true;
  AddPatient("P1", "Hall", "01/02/2024");
  SetScenario(t.folder,
              "reply=data\ntype=2\ndate=5/6/2026\n"
              "left=-20,10,15,20,20,25,30,35,40,45,50\n"
              "right=0,5,10,15,20,25,30,35,40,95,100\n");
  const auto outcome = Run(true);
  ASSERT_EQ(outcome.kind, CompanionOutcome::kTest);
  // The companion was given the latest test's thresholds and date.
  const QString ear = "prev.tmp: -20,20,25,-20,30,35,40,45,50,55,60,";
  EXPECT_EQ(StandInLog(t.folder), (QStringList{"argument: [S ]", ear, ear, "prev.tmp: ",
                                               "prev.tmp: ", "prev.tmp: 01-02-2024"}));
  // Open for review: the boxes and the grid hold the test.
  EXPECT_EQ(editor->Mode(), EditMode::InsertingTest);
  // Type, date, right 8 kHz, previous left 250 Hz in its box and the grid;
  // the saved 125, 250 and 750 Hz are checked below.
  const auto& e = editor->Entries();
  EXPECT_EQ((QStringList{e.TestType, e.Dates[kBoxDateofTest], e.Thresholds[17], e.Previous[0],
                         Categorisation().grid.Cell(1, 0)}),
            (QStringList{"manual", "05/06/2026", "100", "20", "20"}));
  EXPECT_EQ(Scalar("SELECT COUNT(*) FROM TestDetails"), "1");  // nothing stored yet
  EXPECT_TRUE(editor->NewTestPending());                       // the save offers the recall window

  ASSERT_EQ(editor->Save(), RecordEditor::SaveResult::Saved)
      << t.prompter.Texts().join("|").toStdString();
  EXPECT_EQ(Scalar("SELECT TestType || '|' || PreviousTest || '|' || (Categorisation <> '') || "
                   "'|' || \"125Hz\" || '/' || \"250Hz\" || '/' || \"750Hz\" FROM TestDetails d "
                   "JOIN TestResultsLeft l ON l.PatNo = d.PatNo AND l.TestDate = d.DateofTest "
                   "WHERE DateofTest = '2026-06-05'"),
            "manual|2024-02-01|1|-20/10/20");
}

TEST_F(CompanionRecordTest, EmptyRegisterStartsANewPatient) {
  SetScenario(t.folder, "reply=data\ndate=1/1/2026\n");
  const auto outcome = Run(false);
  ASSERT_EQ(outcome.kind, CompanionOutcome::kTest) << t.prompter.Texts().join("|").toStdString();
  EXPECT_EQ(editor->Mode(), EditMode::AddingPatient);
  EXPECT_EQ(StandInLog(t.folder), QStringList{"argument: [0 ]"});
  auto& e = editor->Entries();
  EXPECT_EQ(e.Dates[kBoxDateofTest], "01/01/2026");
  e.PatNo = "N1";
  e.Surname = "New";
  e.DOB = "01/01/1990";
  e.OptionMale = true;
  ASSERT_EQ(editor->Save(), RecordEditor::SaveResult::Saved);
  EXPECT_EQ(Scalar("SELECT Surname || DateofTest FROM PatDetails"), "New2026-01-01");
}

// (The refusal while a record is edited is tried on the main window.)
TEST_F(CompanionRecordTest, ReplyProblemsStoreNothing) {
  AddPatient("P1", "Hall", "01/02/2024");
  const QString before = Dump();
  // A reply problem closes the new record unsaved.
  SetScenario(t.folder, "reply=error\ncode=2\nsubcode=10\n");
  EXPECT_EQ(Run(false).kind, CompanionOutcome::kNothing);
  EXPECT_EQ(editor->Mode(), EditMode::Browsing);
  ASSERT_FALSE(t.prompter.Prompts().empty());
  EXPECT_EQ(t.prompter.Prompts().back().title, "Instrument Error");
  // A reply too short to hold a test.
  SetScenario(t.folder, "reply=data\ntruncate=40\n");
  EXPECT_EQ(Run(true).kind, CompanionOutcome::kNothing);
  EXPECT_EQ(editor->Mode(), EditMode::Browsing);
  EXPECT_EQ(Dump(), before);
}

TEST_F(CompanionRecordTest, CsvResultIsImportedThroughTheRegisterImport) {
  AddPatient("P1", "Hall", "01/02/2024");
  t.folder.Write("result.csv", test::CsvReplyFile("P1", "03/03/2026", "Upload"));
  SetScenario(t.folder, "reply=csv\ncsv=result.csv\n");
  EXPECT_EQ(Run(false).kind, CompanionOutcome::kCsvResult);
  EXPECT_EQ(editor->Mode(), EditMode::Browsing);
  EXPECT_EQ(Scalar("SELECT COUNT(*) FROM TestDetails WHERE PatNo = 'P1'"), "2");
  EXPECT_EQ(Scalar("SELECT TestType FROM TestDetails WHERE DateofTest = '2026-03-03'"), "Upload");
}

TEST_F(CompanionRecordTest, CommandLineTestFetchAndSend) {
  AddPatient("P1", "Hall", "01/02/2024");
  ASSERT_TRUE(t->WriteSettings());
  const QString folder = t.folder.Path();
  editor.reset();
  reg.reset();
  t.app.reset();  // the command line opens the database itself
  struct Step {
    const char* scenario;  // nullptr: the one before
    QStringList args;
    int exit_code;
    QStringList shown;   // in what the command printed
    const char* logged;  // in err.log
  } steps[] = {
      {"reply=data\ntype=1\ndate=7/7/2026\nleft=5,10,15,20,25,30,35,40,45,50,55\n",
       {"fetch", "P1"},
       0,
       {"Date of test: 07/07/2026", "Test type: computer",
        "Left:  125:5 250:10 500:15 750:20 1k:25"},
       nullptr},
      {nullptr, {"test", "NEW7"}, 0, {}, nullptr},  // a new number: a new patient
      {"reply=none\n",
       {"test", "P1"},
       1,
       {"Veldata file not found. , 100A"},
       "Veldata file not found., 100A"},
      {"reply=error\ncode=2\nsubcode=10\nlength=3\n",
       {"fetch", "P1"},
       1,
       {"No results"},
       "Bridger Error: 2,"},
      {nullptr, {"send"}, 0, {}, nullptr},
      {nullptr, {"launch"}, 2, {}, nullptr},
  };
  for (const Step& step : steps) {
    SCOPED_TRACE(step.args.join(' ').toStdString());
    if (step.scenario) SetScenario(t.folder, step.scenario);
    const auto result = test::RunCli(QStringList{"--folder", folder, "ux730"} + step.args);
    EXPECT_EQ(result.exit_code, step.exit_code) << result.err.toStdString();
    for (const QString& text : step.shown) {
      EXPECT_TRUE((result.out + result.err).contains(text))
          << (result.out + result.err).toStdString();
    }
    if (step.logged) {
      EXPECT_TRUE(t.folder.Read("err.log").contains(step.logged));
    }
  }
  EXPECT_TRUE(StandInLog(t.folder).contains("argument: [X ]"));
  EXPECT_TRUE(t.folder.Read("veldata.csv").startsWith("[SNV/5 Format]"));

  db::Connection connection;
  connection.Open(t.folder.File("sonivera5.mdb"), false);
  EXPECT_EQ(connection.QueryValue("SELECT COUNT(*) FROM TestDetails WHERE PatNo = 'P1'")->toInt(),
            2);
  EXPECT_EQ(connection.QueryValue("SELECT COUNT(*) FROM PatDetails WHERE PatNo = 'NEW7'")->toInt(),
            1);
}

}  // namespace
}  // namespace sonivera
