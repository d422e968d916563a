#include "instrument/CompanionLink.h"
#include "instrument/CompanionRecord.h"
#include "instrument/CompanionSupport.h"
#include "ui/DemoCompanion.h"
#include "ui/DemoWindowTest.h"

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
  for (const auto& [key, argument, date] : {std::tuple{"UX730", "argument: [S ]", "4/5/2026"},
                                            {"GetTest", "argument: [0 ]", "5/5/2026"}}) {
    SCOPED_TRACE(key);
    QFile::remove(t.folder.File("bridger.log"));
    SetScenario(t.folder, QByteArray("reply=data\ntype=2\ndate=") + date +
                              "\nleft=-20,10,15,20,20,25,30,35,40,45,50\n");
    Trigger(key);
    EXPECT_EQ(StandInLog(t.folder).value(0), argument);
    // Left open for review: the thresholds in their boxes and on the chart
    // (the 125 Hz value has no place there).
    ASSERT_EQ(window->Editor().Mode(), EditMode::InsertingTest)
        << t.prompter.Texts().join("|").toStdString();
    const AudiogramGrid& grid = t->Categorisation().grid;
    EXPECT_EQ(QStringList({window->Results()->ThresholdBox(0)->text(),
                           window->Results()->ThresholdBox(18)->text(), grid.Cell(0, 9),
                           grid.Cell(0, 0)}),
              (QStringList{"10", "-20", "", "10"}));
    EXPECT_TRUE(window->Action("Post")->isEnabled());
    Trigger("Post");
    EXPECT_EQ(window->Editor().Mode(), EditMode::Browsing)
        << t.prompter.Texts().join("|").toStdString();
  }
  EXPECT_EQ(Tests(pat_no), before + 2);
  // The saves of arrived tests offered the recall window (closed unanswered).
  EXPECT_EQ(t.prompter.recall_requests.size(), 2);
  EXPECT_FALSE(window->Editor().NewTestPending());
}

TEST_F(CompanionWindowTest, RefusedWhileEditingAndNothingLeftOpenAfterAProblem) {
  Trigger("Edit");
  ASSERT_EQ(window->Editor().Mode(), EditMode::Editing);
  Trigger("UX730");
  EXPECT_EQ(test::LastShown(t.prompter), "Test Error|" + kTestErrorText);
  EXPECT_FALSE(QFileInfo::exists(t.folder.File("bridger.log")));
  Trigger("CancelEdit");

  SetScenario(t.folder, "reply=error\ncode=2\nsubcode=10\n");
  Trigger("GetTest");
  EXPECT_EQ(t.prompter.Texts().last(), "No results\nNo instrument found 2,A(hex)  (getdata)");
  EXPECT_EQ(window->Editor().Mode(), EditMode::Browsing);
  EXPECT_TRUE(window->Action("Edit")->isEnabled());
}

TEST_F(CompanionWindowTest, CommandsAreOffWhileTheCompanionRunsAndCancelEndsIt) {
  SetScenario(t.folder, "hang=yes\n");
  // The commands on, the Cancel button shown and the grid on.
  auto state = [&] {
    QString shown;
    for (const char* key : {"Post", "Edit", "UX730", "GetTest", "SendData"}) {
      shown += window->Action(key)->isEnabled() ? key + QStringLiteral(" ") : QString();
    }
    return shown + QStringLiteral("cancel %1 grid %2")
                       .arg(window->CompanionCancelButton()->isVisible())
                       .arg(window->RegisterGrid()->isEnabled());
  };
  QString while_running;
  QObject::connect(&window->Companion(), &CompanionLink::CompanionStarted, [&] {
    QTimer::singleShot(200, [&] {
      while_running = state();
      EXPECT_TRUE(t->TestRunning());
      window->CompanionCancelButton()->click();
    });
  });
  Trigger("UX730");
  EXPECT_EQ(while_running, "cancel 1 grid 0");
  EXPECT_EQ(state(), "Edit UX730 GetTest SendData cancel 0 grid 1");
  EXPECT_FALSE(t->TestRunning());
  EXPECT_EQ(window->Editor().Mode(), EditMode::Browsing);
}

TEST_F(CompanionWindowTest, SendDataWritesTheListAndPortWindowChoosesThePort) {
  Trigger("SendData");
  EXPECT_TRUE(t.folder.Read("veldata.csv").startsWith("[SNV/5 Format]"));
  EXPECT_EQ(StandInLog(t.folder).value(0), "argument: [X ]");

  t.folder.Write("ux730.ini", "[UX730]\r\nPORT=UX730,USB\r\n");
  qunsetenv("SONIVERA_WINDIR");
  window->run_dialog = [](QDialog& dialog) {
    auto* ports = Child<QListWidget>(dialog, "ListPorts");
    EXPECT_EQ(QStringList({dialog.windowTitle(), QString::number(ports->count()),
                           ports->item(0)->text(), ports->currentItem()->text()}),
              (QStringList{"Change Com Port", "17", "COM 1", "USB"}));
    ports->setCurrentRow(2);
    return int(QDialog::Accepted);
  };
  Trigger("CommPort");
  EXPECT_EQ(t->settings().PcAudiometerPort, "3");
  EXPECT_EQ(t.folder.Read("ux730.ini"), "[UX730]\r\nPORT=UX730,COM,3\r\n");
  QFile::remove(t.folder.File("bridger.log"));
  SetScenario(t.folder, "reply=none\n");
  Trigger("GetTest");
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
