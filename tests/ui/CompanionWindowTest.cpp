#include <gtest/gtest.h>

#include <QFileInfo>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTableView>
#include <QTimer>

#include "instrument/CompanionLink.h"
#include "instrument/CompanionRecord.h"
#include "instrument/CompanionSupport.h"
#include "register/Register.h"
#include "ui/DemoCompanion.h"
#include "ui/DemoWindowTest.h"
#include "ui/ResultsPage.h"

namespace sonivera::ui {
namespace {

using test::SetScenario;
using test::StandInLog;

// The main window on a demonstration register with the stand-in companion.
class CompanionWindowTest : public DemoWindowTest {
 protected:
  void SetUp() override {
    DemoWindowTest::SetUp();
    ASSERT_TRUE(test::InstallStandIn(t.folder));
    window->Companion().Hooks().pause_scale = 0.05;
  }
  int Tests(const QString& pat_no) {
    return Scalar("SELECT COUNT(*) FROM TestDetails WHERE PatNo = '" + pat_no + "'").toInt();
  }
};

TEST_F(CompanionWindowTest, TestAndGetDataFillANewAudiogramThatSaveStores) {
  const QString pat_no = window->Reg().Cursor().PatNo;
  ASSERT_FALSE(pat_no.isEmpty());
  const int before = Tests(pat_no);
  for (const char* key : {"UX730", "GetTest"}) {
    SCOPED_TRACE(key);
    QFile::remove(t.folder.File("bridger.log"));
    SetScenario(t.folder, QByteArray("reply=data\ntype=2\n") +
                              (QByteArray(key) == "UX730" ? "date=4/5/2026\n" : "date=5/5/2026\n") +
                              "left=-20,10,15,20,20,25,30,35,40,45,50\n");
    Trigger(*window, key);
    EXPECT_EQ(StandInLog(t.folder).value(0),
              QByteArray(key) == "UX730" ? "argument: [S ]" : "argument: [0 ]");
    // Left open for review, the thresholds on show.
    ASSERT_EQ(window->Editor().Mode(), EditMode::InsertingTest)
        << t.prompter.Texts().join("|").toStdString();
    EXPECT_EQ(window->Results()->ThresholdBox(0)->text(), "10");
    EXPECT_EQ(window->Results()->ThresholdBox(18)->text(), "-20");
    EXPECT_EQ(t->Categorisation().grid.Cell(0, 9), "");  // no value on the chart
    EXPECT_EQ(t->Categorisation().grid.Cell(0, 0), "10");
    EXPECT_TRUE(window->Action("Post")->isEnabled());
    Trigger(*window, "Post");
    EXPECT_EQ(window->Editor().Mode(), EditMode::Browsing)
        << t.prompter.Texts().join("|").toStdString();
  }
  EXPECT_EQ(Tests(pat_no), before + 2);
  // The saves of arrived tests offered the recall window (closed unanswered).
  EXPECT_EQ(t.prompter.recall_requests.size(), 2);
  EXPECT_FALSE(window->Editor().NewTestPending());
}

TEST_F(CompanionWindowTest, RefusedWhileEditingAndNothingLeftOpenAfterAProblem) {
  Trigger(*window, "Edit");
  ASSERT_EQ(window->Editor().Mode(), EditMode::Editing);
  Trigger(*window, "UX730");
  ASSERT_FALSE(t.prompter.Prompts().empty());
  EXPECT_EQ(t.prompter.Prompts().back().title, "Test Error");
  EXPECT_EQ(t.prompter.Prompts().back().text, kTestErrorText);
  EXPECT_FALSE(QFileInfo::exists(t.folder.File("bridger.log")));
  Trigger(*window, "CancelEdit");

  SetScenario(t.folder, "reply=error\ncode=2\nsubcode=10\n");
  Trigger(*window, "GetTest");
  EXPECT_EQ(t.prompter.Prompts().back().text,
            "No results\nNo instrument found 2,A(hex)  (getdata)");
  EXPECT_EQ(window->Editor().Mode(), EditMode::Browsing);
  EXPECT_TRUE(window->Action("Edit")->isEnabled());
}

TEST_F(CompanionWindowTest, CommandsAreOffWhileTheCompanionRunsAndCancelEndsIt) {
  SetScenario(t.folder, "hang=yes\n");
  QStringList enabled_while_running;
  bool cancel_shown = false;
  bool grid_enabled = true;
  QObject::connect(&window->Companion(), &CompanionLink::CompanionStarted, [&] {
    QTimer::singleShot(200, [&] {
      for (const char* key : {"Post", "Edit", "UX730", "GetTest", "SendData"}) {
        if (window->Action(key)->isEnabled()) enabled_while_running << key;
      }
      cancel_shown = window->CompanionCancelButton()->isVisible();
      grid_enabled = window->RegisterGrid()->isEnabled();
      EXPECT_TRUE(t->TestRunning());
      window->CompanionCancelButton()->click();
    });
  });
  Trigger(*window, "UX730");
  EXPECT_TRUE(enabled_while_running.isEmpty()) << enabled_while_running.join(",").toStdString();
  EXPECT_TRUE(cancel_shown);
  EXPECT_FALSE(grid_enabled);
  EXPECT_FALSE(window->CompanionCancelButton()->isVisible());
  EXPECT_FALSE(t->TestRunning());
  EXPECT_EQ(window->Editor().Mode(), EditMode::Browsing);
  EXPECT_TRUE(window->Action("UX730")->isEnabled());
  EXPECT_TRUE(window->RegisterGrid()->isEnabled());
}

TEST_F(CompanionWindowTest, SendDataWritesTheListAndPortWindowChoosesThePort) {
  Trigger(*window, "SendData");
  EXPECT_TRUE(t.folder.Read("veldata.csv").startsWith("[SNV/5 Format]"));
  EXPECT_EQ(StandInLog(t.folder).value(0), "argument: [X ]");

  t.folder.Write("ux730.ini", "[UX730]\r\nPORT=UX730,USB\r\n");
  qunsetenv("SONIVERA_WINDIR");
  window->run_dialog = [](QDialog& dialog) {
    auto* ports = dialog.findChild<QListWidget*>("ListPorts");
    EXPECT_EQ(dialog.windowTitle(), "Change Com Port");
    EXPECT_EQ(ports->count(), 17);
    EXPECT_EQ(ports->item(0)->text(), "COM 1");
    EXPECT_EQ(ports->currentItem()->text(), "USB");
    ports->setCurrentRow(2);
    return int(QDialog::Accepted);
  };
  Trigger(*window, "CommPort");
  EXPECT_EQ(t->settings().PcAudiometerPort, "3");
  EXPECT_EQ(t.folder.Read("ux730.ini"), "[UX730]\r\nPORT=UX730,COM,3\r\n");
  QFile::remove(t.folder.File("bridger.log"));
  SetScenario(t.folder, "reply=none\n");
  Trigger(*window, "GetTest");
  EXPECT_EQ(StandInLog(t.folder).value(0), "argument: [0#]");
}

TEST_F(CompanionWindowTest, DemoInstallsTheStandInOnce) {
  test::TempFolder demo;
  qputenv("SONIVERA_BRIDGER_STANDIN", SONIVERA_BRIDGER_STANDIN);
  EXPECT_TRUE(InstallDemoCompanion(ProgramFolder(demo.Path())));
  EXPECT_TRUE(QFileInfo(demo.File("Bridger.exe")).isExecutable());
  demo.Write("Bridger.exe", "the clinic's own");
  EXPECT_TRUE(InstallDemoCompanion(ProgramFolder(demo.Path())));
  EXPECT_EQ(demo.Read("Bridger.exe"), "the clinic's own");
  qunsetenv("SONIVERA_BRIDGER_STANDIN");
}

}  // namespace
}  // namespace sonivera::ui
