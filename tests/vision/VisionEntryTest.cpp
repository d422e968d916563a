// The vision test's entry rules, grouped by rule, driven with the operator's
// actions as the command line names them.
#include <gtest/gtest.h>

#include <QJsonArray>
#include <QJsonDocument>
#include <random>
#include <stdexcept>

#include "support/TempFolder.h"
#include "vision/VisionScript.h"

namespace sonivera::vision {
namespace {

// Plays the events on `entry`, failing the test on an event it refuses.
void Play(VisionEntry& entry, const QStringList& events) {
  for (const QString& event : events) {
    const auto problem = ApplyEvent(entry, event);
    ASSERT_FALSE(problem.has_value()) << event.toStdString() << ": " << problem->toStdString();
  }
}

QStringList Repeat(const QString& event, int times) {
  QStringList list;
  for (int i = 0; i < times; ++i) list << event;
  return list;
}

// Presses Next until `step` is on screen (on its first slide for acuity).
void GoTo(VisionEntry& entry, int step) {
  for (int guard = 0; entry.Step() != step && guard < 40; ++guard) entry.Next();
  ASSERT_EQ(entry.Step(), step);
}

// A new test with `step` on screen.
VisionEntry NewTestAt(int step) {
  VisionEntry entry;
  entry.BeginNewTest();
  GoTo(entry, step);
  return entry;
}

int Column(VisionEntry& entry, const char* name) {
  return *ColumnValue(entry.ResultsForSave(), QLatin1String(name));
}

TEST(VisionAcuityRule, RunsEndAtTheLastTargetOrAfterTwoMissesInARow) {
  struct Case {
    const char* name;
    QStringList events;
    int result;          // FarBoth stored
    int eye_after;       // the slide on screen afterwards
    const char* ticked;  // the both-eyes slide's boxes, '1' where ticked
    int marked;          // answer letters in red
  };
  const Case cases[] = {
      {"fourteen passes", Repeat("pass", 14), 14, 2, "11111111111111", 14},
      {"pass fail pass fail fail", {"pass", "fail", "pass", "fail", "fail"}, 3, 2, "101", 5},
      {"fail fail", {"fail", "fail"}, 0, 2, "", 2},
      {"a miss then a pass goes on", {"fail", "pass", "pass", "fail", "pass"}, 5, 1, "01101", 5},
      {"thirteen passes, two misses on the last", Repeat("pass", 13) + Repeat("fail", 2), 13, 2,
       "1111111111111", 14},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    VisionEntry entry = NewTestAt(1);  // both eyes
    Play(entry, c.events);
    EXPECT_EQ(entry.Step(), 1);
    EXPECT_EQ(entry.EyeFrame(), c.eye_after);
    EXPECT_EQ(entry.SlideCounter(Distance::Far), c.eye_after - 1);
    EXPECT_EQ(entry.MissCount(), 0);
    int marked = 0;
    for (int t = 0; t < kAcuityTargets; ++t) {
      EXPECT_EQ(entry.AcuityBox(1, t), QByteArray(c.ticked).mid(t, 1) == "1") << "box " << t + 1;
      marked += entry.AcuityLetterMarked(1, t);
    }
    EXPECT_EQ(marked, c.marked);
    EXPECT_EQ(Column(entry, "FarBoth"), c.result);
  }
}

TEST(VisionAcuityRule, FinishingTheLastSlideMovesOnAsNext) {
  // Two misses on the left-eye slide of the intermediate step show the
  // peripheral step, with the slide's answers stored.
  VisionEntry entry = NewTestAt(10);
  Play(entry, {"pass", "pass", "next", "pass", "next"});
  EXPECT_EQ(entry.EyeFrame(), 3);
  Play(entry, {"fail", "fail"});
  EXPECT_EQ(entry.Step(), 11);
  const WorkingResults& working = entry.Working();
  EXPECT_EQ(working.acuity[2], (std::array<int, 3>{2, 1, 0}));
  EXPECT_EQ(entry.MissCount(), 0);

  // On the near step, a full run on every slide reaches step 8 at once.
  VisionEntry near = NewTestAt(7);
  Play(near, Repeat("pass", 14 + 14 + 4) + Repeat("fail", 2));
  EXPECT_EQ(near.Step(), 8);
  EXPECT_EQ(near.Working().acuity[1], (std::array<int, 3>{14, 14, 4}));
}

TEST(VisionAcuityRule, MissCountResetsOnlyWherePassSlidesOrStepsWithinTheStepDo) {
  VisionEntry entry = NewTestAt(1);
  Play(entry, {"fail"});
  EXPECT_EQ(entry.MissCount(), 1);
  Play(entry, {"clearAcuity"});  // Clear keeps it
  EXPECT_EQ(entry.MissCount(), 1);
  EXPECT_EQ(entry.CurrentTarget(1), 0);
  Play(entry, {"next"});  // next slide of the step
  EXPECT_EQ(entry.MissCount(), 0);
  Play(entry, {"fail", "pass"});
  EXPECT_EQ(entry.MissCount(), 0);

  // Leaving the step keeps it: a miss before and a miss after give two.
  Play(entry, {"next", "fail", "next"});
  EXPECT_EQ(entry.Step(), 2);
  EXPECT_EQ(entry.MissCount(), 1);
  Play(entry, {"prev"});
  EXPECT_EQ(entry.Step(), 1);
  EXPECT_EQ(entry.EyeFrame(), 3);
  Play(entry, {"fail"});
  EXPECT_EQ(entry.Step(), 2);
  EXPECT_EQ(entry.MissCount(), 0);
  EXPECT_EQ(entry.Working().acuity[0][2], 0);
}

TEST(VisionAcuityRule, EyeFrameFollowsTheSlideWhenPreviousComesBack) {
  VisionEntry entry = NewTestAt(7);
  Play(entry, {"next", "next"});  // near left-eye slide
  EXPECT_EQ(entry.EyeFrame(), 3);
  Play(entry, {"next", "next"});  // steps 8, 9: step 9 sets the eye frame to 1
  EXPECT_EQ(entry.Step(), 9);
  EXPECT_EQ(entry.EyeFrame(), 1);
  Play(entry, {"prev", "prev"});
  EXPECT_EQ(entry.Step(), 7);
  EXPECT_EQ(entry.SlideCounter(Distance::Near), 2);
  EXPECT_EQ(entry.EyeFrame(), 3);
  Play(entry, {"pass"});  // judged on the left-eye slide on screen
  EXPECT_TRUE(entry.AcuityBox(3, 0));
  EXPECT_FALSE(entry.AcuityBox(1, 0));
  Play(entry, {"prev"});
  EXPECT_EQ(entry.EyeFrame(), 2);
}

TEST(VisionAcuityRule, AnswerLettersStayRedUntilABinocularStepOrStepNine) {
  VisionEntry entry = NewTestAt(1);
  Play(entry, {"pass", "fail"});
  EXPECT_TRUE(entry.AcuityLetterMarked(1, 1));
  GoTo(entry, 5);
  EXPECT_TRUE(entry.AcuityLetterMarked(1, 1));
  GoTo(entry, 6);
  EXPECT_FALSE(entry.AcuityLetterMarked(1, 1));
  entry.Next();
  Play(entry, {"pass", "clearAcuity"});
  EXPECT_FALSE(entry.AcuityLetterMarked(1, 0));
  EXPECT_FALSE(entry.AcuityBox(1, 0));
}

TEST(VisionDepthRule, RunsEndAtTheNinthTargetOrAfterTwoMisses) {
  struct Case {
    const char* name;
    QStringList events;
    int step, depth, depth_miss;
    bool run;
  };
  const Case cases[] = {
      {"nine passes", Repeat("pass2", 9), 3, 9, 0, false},
      {"a miss on the ninth", Repeat("pass2", 8) + Repeat("fail2", 1), 3, 8, 1, false},
      {"two misses", {"fail2", "fail2"}, 3, 0, 0, false},
      {"miss, pass, miss", {"fail2", "pass2", "fail2"}, 2, 2, 1, true},
      {"cleared", {"pass2", "pass2", "fail2", "clearDepth"}, 2, 0, 1, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    VisionEntry entry = NewTestAt(2);
    Play(entry, c.events);
    EXPECT_EQ(entry.Step(), c.step);
    EXPECT_EQ(entry.DepthRun(), c.run);
    EXPECT_EQ(entry.DepthMissCount(), c.depth_miss);
    EXPECT_EQ(Column(entry, "FarDepthTest"), c.depth);
  }
}

TEST(VisionDepthRule, RunAndMissCountSurviveLeavingTheStep) {
  VisionEntry entry = NewTestAt(2);
  Play(entry, {"pass2", "pass2", "fail2", "next"});
  EXPECT_TRUE(entry.DepthRun());
  EXPECT_EQ(entry.DepthMissCount(), 1);
  EXPECT_EQ(entry.Working().depth, 2);
  Play(entry, {"prev"});
  EXPECT_EQ(entry.DepthTarget(), 2);  // resumes after the stored result
  Play(entry, {"fail2"});
  EXPECT_EQ(entry.Step(), 3);
  EXPECT_EQ(entry.Working().depth, 2);
}

TEST(VisionStoredSteps, AnswersReachTheWorkingResultsOnNextPreviousRunEndAndSave) {
  VisionEntry entry;
  entry.BeginNewTest();
  Play(entry, {"binoc:Two"});
  EXPECT_EQ(entry.Working().binocular[0], 0);
  Play(entry, {"next"});
  EXPECT_EQ(entry.Working().binocular[0], 2);
  Play(entry, {"pass", "pass", "prev"});
  EXPECT_EQ(entry.Working().acuity[0][0], 2);
  Play(entry, {"binoc:Three", "next", "next", "next", "next"});
  EXPECT_EQ(entry.Working().binocular[0], 3);
  Play(entry, Repeat("pass2", 9));  // the run's end stores the step
  EXPECT_EQ(entry.Working().depth, 9);
  Play(entry, {"colour:1", "colour:9", "colour:3", "colour:9"});
  const CodedResults saved = entry.ResultsForSave();
  EXPECT_EQ(saved.working.colour,
            (std::array<bool, 9>{true, false, true, false, false, false, false, false, false}));
}

TEST(VisionStoredSteps, BinocularAndPhoriaCodes) {
  const std::pair<const char*, int> binocular[] = {
      {"binoc:Four", 1}, {"binoc:Two", 2}, {"binoc:Three", 3}};
  for (const auto& [event, code] : binocular) {
    VisionEntry entry = NewTestAt(6);
    Play(entry, {event, event});  // options select, they do not toggle
    EXPECT_EQ(Column(entry, "NearBinoc"), code) << event;
  }

  VisionEntry entry = NewTestAt(4);
  Play(entry, {"vertical:3", "vertical:7"});
  for (int box = 0; box < kVerticalBoxes; ++box) EXPECT_EQ(entry.VerticalBox(box), box == 6);
  EXPECT_EQ(Column(entry, "FarVertical"), 7);
  Play(entry, {"vertical:7"});
  EXPECT_EQ(Column(entry, "FarVertical"), 0);
  GoTo(entry, 9);
  Play(entry, {"lateral:29", "lateral:1"});
  EXPECT_EQ(Column(entry, "NearLateral"), 1);
  EXPECT_EQ(PhoriaLabel(0), "1");
  EXPECT_EQ(PhoriaLabel(1), "1-2");
  EXPECT_EQ(PhoriaLabel(28), "15");
  Play(entry, {"next", "distance:4", "distance:4"});
  EXPECT_EQ(Column(entry, "IntTestDistance"), 4);
  EXPECT_EQ(entry.TestDistanceOption(), 4);
}

TEST(VisionPeripheral, TotalsFollowEveryLampClick) {
  struct Case {
    QStringList lamps;
    QString right, left, both;
  };
  const Case cases[] = {
      {{"periph:R85", "periph:RN45"}, "130", "", "130"},
      {{"periph:R55"}, "55", "", "55"},
      {{"periph:R85", "periph:R55"}, "85", "", "85"},
      {{"periph:L70", "periph:LN45", "periph:R70"}, "70", "115", "185"},
      {{"periph:L70", "periph:L70"}, "", "0", "0"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.lamps.join(' ').toStdString());
    VisionEntry entry = NewTestAt(11);
    Play(entry, c.lamps);
    EXPECT_EQ(entry.TotalRight(), c.right);
    EXPECT_EQ(entry.TotalLeft(), c.left);
    EXPECT_EQ(entry.TotalBoth(), c.both);
  }
  EXPECT_EQ(PeripheralTotal(true, true, true, true), 130);
  EXPECT_EQ(PeripheralTotal(false, false, false, true), 45);
}

TEST(VisionResume, EditStartsAfterTheStoredResults) {
  CodedResults stored;
  stored.working.acuity[0] = {5, 14, 0};
  stored.working.depth = 9;
  stored.working.vertical[0] = 0;
  stored.working.test_distance = 3;
  stored.lamps[R85] = true;
  stored.lamps[LN45] = true;

  VisionEntry entry;
  entry.BeginEdit(stored);
  EXPECT_EQ(entry.Step(), 0);
  EXPECT_EQ(entry.EyeFrame(), 1);
  EXPECT_TRUE(entry.LampTicked(R85));
  EXPECT_EQ(entry.TotalBoth(), "130");
  entry.Next();
  EXPECT_EQ(entry.CurrentTarget(1), 5);
  for (int t = 0; t < kAcuityTargets; ++t) EXPECT_EQ(entry.AcuityBox(1, t), t < 5);
  Play(entry, {"pass", "fail", "fail"});
  EXPECT_EQ(entry.EyeFrame(), 2);
  EXPECT_EQ(entry.CurrentTarget(2), 14);  // nothing left on the right-eye slide
  Play(entry, {"fail"});
  EXPECT_EQ(entry.MissCount(), 1);
  Play(entry, {"pass"});  // ends the slide without marking a box
  EXPECT_EQ(entry.EyeFrame(), 3);
  for (int t = 0; t < kAcuityTargets; ++t) EXPECT_FALSE(entry.AcuityLetterMarked(2, t));
  Play(entry, {"next"});
  EXPECT_EQ(entry.Step(), 2);
  EXPECT_EQ(entry.DepthTarget(), 9);
  Play(entry, {"fail2"});  // the run has nothing left and ends
  EXPECT_EQ(entry.Step(), 3);
  const CodedResults saved = entry.ResultsForSave();
  EXPECT_EQ(saved.working.acuity[0], (std::array<int, 3>{6, 14, 0}));
  EXPECT_EQ(saved.working.depth, 9);
  EXPECT_EQ(saved.working.test_distance, 3);
  EXPECT_EQ(saved.lamps, stored.lamps);

  // A new test starts empty, test distance included.
  entry.BeginNewTest();
  EXPECT_EQ(entry.Working(), WorkingResults{});
  EXPECT_FALSE(entry.LampTicked(R85));
  EXPECT_EQ(entry.TotalRight(), "");
}

TEST(VisionBrowsing, OutsideEditModeStepsMoveAndNothingChanges) {
  CodedResults stored;
  stored.working.binocular[0] = 3;
  stored.working.acuity[0] = {4, 2, 1};
  VisionEntry entry;
  entry.ShowStored(stored);
  EXPECT_FALSE(entry.EditMode());
  EXPECT_EQ(entry.BinocularOption(), 3);
  Play(entry, {"binoc:Two", "next", "pass", "pass", "clearAcuity"});
  EXPECT_EQ(entry.Step(), 1);
  for (int t = 0; t < kAcuityTargets; ++t) EXPECT_EQ(entry.AcuityBox(1, t), t < 4);
  Play(entry, {"prev"});
  EXPECT_EQ(entry.BinocularOption(), 3);

  // Cancel leaves edit mode, clears the working results and shows step 0.
  entry.BeginEdit(stored);
  Play(entry, {"binoc:Four", "next", "clearAcuity", "next"});
  entry.CancelEdit();
  EXPECT_EQ(entry.Step(), 0);
  EXPECT_EQ(entry.Working(), WorkingResults{});
  EXPECT_EQ(entry.BinocularOption(), 3);
}

// Any sequence of the operator's actions keeps the entry state in range and
// never reaches a box past the last (the boxes are read and written with
// bounds-checked access, which throws).
TEST(VisionBounds, RandomActionSequencesStayInRange) {
  QStringList vocabulary{"next",      "next",       "next",        "prev",       "pass",
                         "pass",      "pass",       "fail",        "fail",       "pass2",
                         "pass2",     "fail2",      "clearAcuity", "clearDepth", "binoc:Four",
                         "binoc:Two", "binoc:Three"};
  for (int k = 1; k <= 13; ++k) vocabulary << QStringLiteral("vertical:%1").arg(k);
  for (int k = 1; k <= 29; k += 4) vocabulary << QStringLiteral("lateral:%1").arg(k);
  for (int k = 1; k <= 9; ++k) vocabulary << QStringLiteral("colour:%1").arg(k);
  for (int k = 1; k <= 5; ++k) vocabulary << QStringLiteral("distance:%1").arg(k);
  for (int lamp = 0; lamp < kLamps; ++lamp) vocabulary << "periph:" + LampName(lamp);

  std::mt19937 random(20261207);
  for (int run = 0; run < 400; ++run) {
    VisionEntry entry;
    CodedResults stored;
    if (run % 3 == 1) {
      // Resume from stored results, full runs among them.
      for (auto& distance : stored.working.acuity)
        for (int& eye : distance) eye = int(random() % (kAcuityTargets + 1));
      stored.working.depth = int(random() % (kDepthTargets + 1));
      entry.BeginEdit(stored);
    } else if (run % 3 == 2) {
      entry.ShowStored(stored);
    } else {
      entry.BeginNewTest();
    }
    for (int i = 0; i < 300; ++i) {
      const QString event = vocabulary[int(random() % vocabulary.size())];
      ASSERT_NO_THROW(ApplyEvent(entry, event)) << "run " << run << " event " << i;
      ASSERT_GE(entry.Step(), 0);
      ASSERT_LE(entry.Step(), kLastStep);
      ASSERT_GE(entry.EyeFrame(), 1);
      ASSERT_LE(entry.EyeFrame(), 3);
      ASSERT_LE(entry.MissCount(), 2);
      ASSERT_LE(entry.DepthMissCount(), 2);
      ASSERT_LE(entry.DepthTarget(), kDepthTargets);
      for (int eye = 1; eye <= 3; ++eye) ASSERT_LE(entry.CurrentTarget(eye), kAcuityTargets);
      if (IsAcuityStep(entry.Step())) {
        ASSERT_EQ(entry.EyeFrame(), entry.SlideCounter(DistanceOfStep(entry.Step())) + 1);
      }
    }
    ASSERT_NO_THROW(DescribeEntry(entry));
  }
}

TEST(VisionStepsLine, ReportsTheStateOrAnErrorPerLine) {
  QJsonObject out = RunStepsLine(
      R"({"events": ["next", "pass", "pass", "pass", "fail", "next"], "stored": {"FarRight": 2, "PR55": true}})");
  EXPECT_EQ(out.value("step").toInt(), 1);
  EXPECT_EQ(out.value("eyeFrame").toInt(), 2);
  EXPECT_EQ(out.value("missCount").toInt(), 0);
  EXPECT_TRUE(out.value("depthRun").toBool());
  const QJsonObject results = out.value("results").toObject();
  EXPECT_EQ(results.value("FarBoth").toInt(), 3);
  EXPECT_EQ(results.value("FarRight").toInt(), 2);
  EXPECT_TRUE(results.value("PR55").toBool());
  EXPECT_FALSE(results.value("PL55").toBool());
  EXPECT_EQ(results.size(), int(ResultColumns().size()));
  EXPECT_EQ(out.value("totals").toObject().value("right").toString(), "55");

  const char* bad[] = {
      R"({"events": ["pass"]})",                  // acuity on the binocular step
      R"({"events": ["next", "next", "jump"]})",  // unknown
      R"({"events": ["colour:0"]})",
      R"({"events": [], "stored": {"FarBoth": 15}})",
      R"({"events": [], "stored": {"Glasses": true}})",
      R"({"events": "next"})",
      R"(not json)",
  };
  for (const char* line : bad) {
    EXPECT_TRUE(RunStepsLine(line).contains("error")) << line;
  }

  // The command reads line after line, an error line included.
  const test::CliResult cli = test::RunCli(
      {"vision-steps"},
      "{\"events\": [\"next\", \"fail\", \"fail\"]}\n{\"events\": [\"periph:R85\"]}\r\n"
      "{\"events\": [\"binoc:Three\"]}\n");
  ASSERT_EQ(cli.exit_code, 0) << cli.err.toStdString();
  const QStringList lines = cli.out.split('\n', Qt::SkipEmptyParts);
  ASSERT_EQ(lines.size(), 3);
  auto line = [&](int i) { return QJsonDocument::fromJson(lines[i].toUtf8()).object(); };
  EXPECT_EQ(line(0).value("eyeFrame").toInt(), 2);
  EXPECT_TRUE(line(1).contains("error"));
  EXPECT_EQ(line(2).value("results").toObject().value("FarBinoc").toInt(), 3);
}

}  // namespace
}  // namespace sonivera::vision
