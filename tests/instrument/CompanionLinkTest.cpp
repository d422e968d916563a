#include <gtest/gtest.h>

#include <QFileInfo>
#include <QTimer>

#include "instrument/CompanionLink.h"
#include "instrument/CompanionSupport.h"
#include "support/ScriptedPrompter.h"

namespace sonivera {
namespace {

using test::SetScenario;
using test::StandInLog;

// A program folder with the stand-in installed and a link on it.
class CompanionLinkTest : public ::testing::Test {
 protected:
  void SetUp() override {
    test::EnsureCoreApplication();
    ASSERT_TRUE(test::InstallStandIn(folder));
    hooks.pause_scale = 0.05;
    hooks.on_running = [this](bool running) { running_calls.push_back(running); };
  }
  CompanionLink& Link(const QString& port = "-") {
    link = std::make_unique<CompanionLink>(program, port, reporter, hooks);
    return *link;
  }
  bool AnyLeft(const QStringList& names) const {
    return std::any_of(names.begin(), names.end(),
                       [&](const QString& name) { return QFileInfo::exists(folder.File(name)); });
  }

  test::TempFolder folder;
  ProgramFolder program{folder.Path()};
  test::ScriptedPrompter prompter;
  ErrorLog log{folder.File("err.log")};
  ErrorReporter reporter{prompter, log};
  CompanionHooks hooks;
  std::unique_ptr<CompanionLink> link;
  std::vector<bool> running_calls;
};

// A reply written after the companion ended is found by the second look.
TEST_F(CompanionLinkTest, FetchReadsALateDataReplyOverUsb) {
  hooks.pause_scale = 1;  // the second look comes 2 s after the exit
  SetScenario(folder,
              "reply=data\nlate=0.2\ntype=3\ndate=0/1/2000\n"
              "left=-20,5,10,15,20,25,30,35,40,45,50\nright=1,2,3,4,5,6,7,8,9,10,-1\n");
  const auto outcome = Link("-").LaunchOrGet(false);
  ASSERT_EQ(outcome.kind, CompanionOutcome::kTest);
  EXPECT_EQ(test::Summary(outcome.test),
            "mixed|01/01/2000|-20,5,10,15,20,25,30,35,40,45,50|1,2,3,4,5,6,7,8,9,10,-1");
  EXPECT_EQ(StandInLog(folder), QStringList{"argument: [0 ]"});
  EXPECT_FALSE(AnyLeft({"veldata.tmp", "prev.tmp"}));  // only a test writes prev.tmp
  EXPECT_TRUE(prompter.Prompts().empty());
  EXPECT_EQ(running_calls, (std::vector<bool>{true, false}));
}

TEST_F(CompanionLinkTest, TestOnCom3SendsPreviousValuesAndReadsVel730) {
  SetScenario(folder,
              "reply=data\ntype=1\ndate=9/10/2026\nleft=0,0,0,0,0,0,0,0,0,0,0\n"
              "right=0,0,0,0,0,0,0,0,0,0,0\n");
  std::array<QString, kThresholdBoxCount> previous;
  for (int i = 0; i < kThresholdBoxCount; ++i) previous[i] = QString::number(i);
  previous[18] = "";  // no 125 Hz value on the left
  const auto outcome = Link("3").LaunchOrGet(true, previous, "01/02/2025");
  ASSERT_EQ(outcome.kind, CompanionOutcome::kTest);
  const QStringList expected_log{
      QString("argument: [S") + QChar(35) + "]",
      "prev.tmp: -20,0,1,19,2,3,4,5,6,7,8,",
      "prev.tmp: 20,9,10,21,11,12,13,14,15,16,17,",
      "prev.tmp: ",
      "prev.tmp: ",
      "prev.tmp: 01-02-2025",
  };
  EXPECT_EQ(StandInLog(folder), expected_log);
  // The stand-in reports back the previous values it was given.
  const QString zeros = "0,0,0,0,0,0,0,0,0,0,0";
  EXPECT_EQ(test::Summary(outcome.test), "computer|09/10/2026|" + zeros + '|' + zeros +
                                             "|-20,0,1,19,2,3,4,5,6,7,8|20,9,10,21,11,12,13,14,"
                                             "15,16,17");
  EXPECT_FALSE(AnyLeft({"veldata.tmp", "vel730.tmp"}));
}

// Every reply that gives no test: shown as "No results", the description and
// its code under the title "Instrument Error", and logged with the code right
// after the description. A stale reply of an earlier run is in the folder
// each time and is never taken for the new one.
TEST_F(CompanionLinkTest, ProblemRepliesAreReportedAndGiveNoTest) {
  folder.Write("manual.csv", test::CsvReplyFile("P1", "01/02/2026", "manual"));
  struct Case {
    const char* scenario;
    bool launch;
    const char* description;  // nullptr: nothing shown, `code` is all that is logged
    const char* code;
  } cases[] = {
      {"reply=error\ncode=2\nsubcode=10\n", false, "No instrument found 2,A(hex) ", "(getdata)"},
      {"reply=error\ncode=6\nsubcode=255\n", true, "No data reply (or short) 6,FF(hex) ",
       "(launch data)"},
      {"reply=error\ncode=2\nsubcode=10\nlength=3\n", false, nullptr, "Bridger Error: 2,"},
      {"reply=error\ncode=1\nsubcode=11\nlength=6\n", true, nullptr, "Bridger Error: 1,B"},
      {"reply=none\n", false, "Veldata file not found.", ", 100B"},
      {"reply=none\n", true, "Veldata file not found.", ", 100A"},
      {"reply=data\ncrash=yes\n", false, "Veldata file not found.", ", 100B"},
      {"reply=status\nstatus=77\n", false,
       "Veldata byte= 77 Check all your file versions for compatibility", "152B"},
      {"reply=status\nstatus=0\n", true,
       "Invalid value for veldata: first byte= 0 Check all your file versions for compatibility",
       "152A"},
      {"reply=data\nvel730=no\n", true, "Vel730.tmp file not found", "102A"},
      {"reply=data\ntruncate=100\n", false, "Veldata reply too short (100 bytes).", "150B"},
      {"reply=data\ntruncate=60\n", true, "Vel730.tmp file too short (60 bytes).", "103A"},
      {"reply=csv\ncsv=nothing-here.csv\n", false, "Veldata.csv file not found.", ", 850"},
      {"reply=csv\ncsv=manual.csv\n", false, "Missing 'block transfer' test type value (TX730).",
       ", 851"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.scenario);
    SetScenario(folder, c.scenario);
    QFile::remove(folder.File("err.log"));
    folder.Write("veldata.tmp", QByteArray(1, char(151)) + QByteArray("\0\2\1", 3));
    const auto before = prompter.Prompts().size();
    const auto outcome = Link().LaunchOrGet(c.launch);
    EXPECT_EQ(outcome.kind, CompanionOutcome::kNothing);
    QString logged = c.code;
    if (c.description) {
      ASSERT_EQ(prompter.Prompts().size(), before + 1);
      const auto& prompt = prompter.Prompts().back();
      EXPECT_EQ(prompt.text, QString("No results\n%1 %2").arg(c.description, c.code));
      EXPECT_EQ(prompt.title, "Instrument Error");
      EXPECT_EQ(prompt.icon, Prompter::Icon::Information);
      logged = QString("No results\n%1%2").arg(c.description, c.code);
    } else {
      EXPECT_EQ(prompter.Prompts().size(), before);
    }
    EXPECT_TRUE(folder.Read("err.log").startsWith((logged + " ").toUtf8()))
        << folder.Read("err.log").toStdString();
    EXPECT_FALSE(AnyLeft({"veldata.tmp", "vel730.tmp"}));
  }
}

TEST_F(CompanionLinkTest, MissingOrBrokenCompanion) {
  QFile::remove(folder.File("Bridger.exe"));
  EXPECT_EQ(Link().LaunchOrGet(true).kind, CompanionOutcome::kNothing);
  EXPECT_FALSE(Link().SendData());
  EXPECT_TRUE(folder.Read("err.log").startsWith("Could not find Bridger file. "));
  EXPECT_FALSE(QFileInfo::exists(folder.File("prev.tmp")));
  EXPECT_TRUE(running_calls.empty());

  // A file of that name that cannot be run.
  folder.Write("Bridger.exe", "not a program");
  EXPECT_EQ(Link().LaunchOrGet(false).kind, CompanionOutcome::kNothing);
  EXPECT_EQ(test::Shown(prompter),
            (QStringList{"UX730|Could not find Bridger file.", "UX730|Could not find Bridger file.",
                         "Error|Error running ux730"}));
  EXPECT_EQ(running_calls, (std::vector<bool>{true, false}));
}

// An open serial port is closed before the companion starts (it may want the
// port); Cancel ends the wait and the companion, and reads no reply.
TEST_F(CompanionLinkTest, PortClosedFirstAndCancelEndsTheCompanion) {
  SetScenario(folder, "hang=yes\n");
  auto& companion = Link();
  bool open = true;
  QStringList order;
  companion.SetSerialPortRelease({[&] { return open; },
                                  [&] {
                                    order << "closed";
                                    open = false;
                                  }});
  bool was_running = false;
  QObject::connect(&companion, &CompanionLink::CompanionStarted, [&] {
    order << "started";
    if (was_running) return;  // only the first run is cancelled
    QTimer::singleShot(300, &companion, [&] {
      was_running = companion.Running();
      companion.Cancel();
    });
  });
  EXPECT_EQ(companion.LaunchOrGet(false).kind, CompanionOutcome::kNothing);
  EXPECT_TRUE(was_running);
  EXPECT_FALSE(companion.Running());
  EXPECT_TRUE(prompter.Prompts().empty());
  EXPECT_EQ(running_calls, (std::vector<bool>{true, false}));
  EXPECT_EQ(order, (QStringList{"closed", "started"}));
  // A closed port is left alone.
  order.clear();
  SetScenario(folder, "reply=data\n");
  EXPECT_EQ(companion.LaunchOrGet(false).kind, CompanionOutcome::kTest);
  EXPECT_EQ(order, QStringList{"started"});
}

TEST_F(CompanionLinkTest, SendDataExportsTheListThenRunsX) {
  QStringList exported;
  hooks.export_register = [&](const QString& path) {
    exported << path;
    folder.Write("veldata.csv", "[SNV/5 Format]\r\nheadings\r\nP1,Smith\r\n");
    return true;
  };
  EXPECT_TRUE(Link().SendData());
  EXPECT_EQ(exported, QStringList{folder.File("veldata.csv")});
  EXPECT_EQ(StandInLog(folder),
            (QStringList{"argument: [X ]", "veldata.csv: 3 lines, header [SNV/5 Format]"}));
  EXPECT_EQ(running_calls, (std::vector<bool>{true, false}));

  // Nothing exported (an empty register): the companion is not started.
  hooks.export_register = [](const QString&) { return false; };
  QFile::remove(folder.File("bridger.log"));
  EXPECT_FALSE(Link().SendData());
  EXPECT_FALSE(QFileInfo::exists(folder.File("bridger.log")));
}

}  // namespace
}  // namespace sonivera
