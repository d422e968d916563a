// The vision test's entry rules, grouped by rule, driven with the operator's
// actions as the command line names them.
#include <gtest/gtest.h>

#include <QJsonArray>
#include <QJsonDocument>
#include <random>

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

// Presses Next until `step` is on screen (on its first slide for acuity).
void GoTo(VisionEntry& entry, int step) {
  for (int guard = 0; entry.Step() != step && guard < 40; ++guard) entry.Next();
  ASSERT_EQ(entry.Step(), step);
}

// A new test with `step` on screen, then the events played.
VisionEntry NewTestAt(int step, const QStringList& events = {}) {
  VisionEntry entry;
  entry.BeginNewTest();
  GoTo(entry, step);
  Play(entry, events);
  return entry;
}

int Column(VisionEntry& entry, const char* name) {
  return *ColumnValue(entry.ResultsForSave(), QLatin1String(name));
}

// "step/eye frame/miss count" of the entry.
QString At(const VisionEntry& entry) {
  return QStringLiteral("%1/%2/%3").arg(entry.Step()).arg(entry.EyeFrame()).arg(entry.MissCount());
}

// A slide's boxes ('1' where ticked), or its answer letters ('1' where red).
QString Boxes(const VisionEntry& entry, int eye_frame, bool letters = false) {
  QString row;
  for (int t = 0; t < kAcuityTargets; ++t) {
    const bool on =
        letters ? entry.AcuityLetterMarked(eye_frame, t) : entry.AcuityBox(eye_frame, t);
    row += on ? u'1' : u'0';
  }
  return row;
}

QString Padded(const char* ticked) { return QString(ticked).leftJustified(kAcuityTargets, u'0'); }

TEST(VisionAcuityRule, RunsEndAtTheLastTargetOrAfterTwoMissesInARow) {
  struct Case {
    const char* name;
    QStringList events;
    int result, eye_after;  // FarBoth stored; the slide on screen afterwards
    const char* ticked;     // the both-eyes slide's boxes, '1' where ticked
    int marked;             // answer letters in red
  };
  const Case cases[] = {
      {"fourteen passes", QStringList(14, "pass"), 14, 2, "11111111111111", 14},
      {"pass fail pass fail fail", {"pass", "fail", "pass", "fail", "fail"}, 3, 2, "101", 5},
      {"fail fail", {"fail", "fail"}, 0, 2, "", 2},
      {"a miss then a pass goes on", {"fail", "pass", "pass", "fail", "pass"}, 5, 1, "01101", 5},
      {"thirteen passes, two misses on the last", QStringList(13, "pass") + QStringList(2, "fail"),
       13, 2, "1111111111111", 14},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    VisionEntry entry = NewTestAt(1, c.events);  // both eyes
    EXPECT_EQ(At(entry), QStringLiteral("1/%1/0").arg(c.eye_after));
    EXPECT_EQ(Boxes(entry, 1), Padded(c.ticked));
    EXPECT_EQ(Boxes(entry, 1, true).count(u'1'), c.marked);
    EXPECT_EQ(Column(entry, "FarBoth"), c.result);
  }
}

TEST(VisionAcuityRule, FinishingTheLastSlideMovesOnAsNext) {
  // Two misses on the left-eye slide of the intermediate step show the
  // peripheral step, with the slide's answers stored.
  VisionEntry entry = NewTestAt(10, {"pass", "pass", "next", "pass", "next"});
  EXPECT_EQ(entry.EyeFrame(), 3);
  Play(entry, {"fail", "fail"});
  EXPECT_EQ(entry.Step(), 11);
  EXPECT_EQ(entry.MissCount(), 0);
  EXPECT_EQ(entry.Working().acuity[2], (std::array<int, 3>{2, 1, 0}));

  // On the near step, a full run on every slide reaches step 8 at once.
  VisionEntry near = NewTestAt(7, QStringList(14 + 14 + 4, "pass") + QStringList(2, "fail"));
  EXPECT_EQ(near.Step(), 8);
  EXPECT_EQ(near.Working().acuity[1], (std::array<int, 3>{14, 14, 4}));
}

TEST(VisionAcuityRule, MissCountResetsOnlyWherePassSlidesOrStepsWithinTheStepDo) {
  // Clear keeps the count; the next slide of the step and a pass reset it;
  // leaving the step keeps it, so a miss before and a miss after give two.
  struct Step {
    QStringList events;
    const char* at;
  };
  VisionEntry entry = NewTestAt(1, {"fail", "clearAcuity"});
  EXPECT_EQ(At(entry), "1/1/1");
  EXPECT_EQ(entry.CurrentTarget(1), 0);
  const Step steps[] = {
      {{"next"}, "1/2/0"}, {{"fail", "pass"}, "1/2/0"}, {{"next", "fail", "next"}, "2/3/1"},
      {{"prev"}, "1/3/1"}, {{"fail"}, "2/3/0"},
  };
  for (const Step& s : steps) {
    SCOPED_TRACE(s.events.join(' ').toStdString());
    Play(entry, s.events);
    EXPECT_EQ(At(entry), s.at);
  }
  EXPECT_EQ(entry.Working().acuity[0][2], 0);
}

TEST(VisionAcuityRule, EyeFrameFollowsTheSlideWhenPreviousComesBack) {
  VisionEntry entry = NewTestAt(7, {"next", "next"});  // near left-eye slide
  EXPECT_EQ(entry.EyeFrame(), 3);
  Play(entry, {"next", "next"});  // steps 8, 9: step 9 sets the eye frame to 1
  EXPECT_EQ(At(entry), "9/1/0");
  Play(entry, {"prev", "prev"});
  EXPECT_EQ(At(entry), "7/3/0");
  Play(entry, {"pass"});  // judged on the left-eye slide on screen
  EXPECT_EQ(Boxes(entry, 3) + Boxes(entry, 1), Padded("1") + Padded(""));
  Play(entry, {"prev"});
  EXPECT_EQ(entry.EyeFrame(), 2);
}

TEST(VisionAcuityRule, AnswerLettersStayRedUntilABinocularStepOrStepNine) {
  VisionEntry entry = NewTestAt(1, {"pass", "fail"});
  EXPECT_EQ(Boxes(entry, 1, true), Padded("11"));
  GoTo(entry, 5);
  EXPECT_EQ(Boxes(entry, 1, true), Padded("11"));
  GoTo(entry, 6);
  EXPECT_EQ(Boxes(entry, 1, true), Padded(""));
  entry.Next();
  Play(entry, {"pass", "clearAcuity"});
  EXPECT_EQ(Boxes(entry, 1, true) + Boxes(entry, 1), Padded("") + Padded(""));
}

TEST(VisionDepthRule, RunsEndAtTheNinthTargetOrAfterTwoMissesAndSurviveLeavingTheStep) {
  struct Case {
    const char* name;
    QStringList events;
    int step, depth, depth_miss;
    bool run;
  };
  const Case cases[] = {
      {"nine passes", QStringList(9, "pass2"), 3, 9, 0, false},
      {"a miss on the ninth", QStringList(8, "pass2") + QStringList(1, "fail2"), 3, 8, 1, false},
      {"two misses", {"fail2", "fail2"}, 3, 0, 0, false},
      {"miss, pass, miss", {"fail2", "pass2", "fail2"}, 2, 2, 1, true},
      {"cleared", {"pass2", "pass2", "fail2", "clearDepth"}, 2, 0, 1, true},
      {"left and back", {"pass2", "pass2", "fail2", "next"}, 3, 2, 1, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    VisionEntry entry = NewTestAt(2, c.events);
    EXPECT_EQ(entry.Step(), c.step);
    EXPECT_EQ(entry.DepthRun(), c.run);
    EXPECT_EQ(entry.DepthMissCount(), c.depth_miss);
    EXPECT_EQ(Column(entry, "FarDepthTest"), c.depth);
  }
  // Coming back resumes after the stored result, and the earlier miss counts.
  VisionEntry entry = NewTestAt(2, {"pass2", "pass2", "fail2", "next", "prev"});
  EXPECT_EQ(entry.DepthTarget(), 2);
  Play(entry, {"fail2"});
  EXPECT_EQ(entry.Step(), 3);
  EXPECT_EQ(entry.Working().depth, 2);
}

TEST(VisionStoredSteps, AnswersReachTheWorkingResultsOnNextPreviousRunEndAndSave) {
  VisionEntry entry = NewTestAt(0, {"binoc:Two"});
  EXPECT_EQ(entry.Working().binocular[0], 0);
  Play(entry, {"next"});
  EXPECT_EQ(entry.Working().binocular[0], 2);
  Play(entry, {"pass", "pass", "prev"});
  EXPECT_EQ(entry.Working().acuity[0][0], 2);
  Play(entry, {"binoc:Three", "next", "next", "next", "next"});
  EXPECT_EQ(entry.Working().binocular[0], 3);
  Play(entry, QStringList(9, "pass2"));  // the run's end stores the step
  EXPECT_EQ(entry.Working().depth, 9);
  Play(entry, {"colour:1", "colour:9", "colour:3", "colour:9"});
  EXPECT_EQ(entry.ResultsForSave().working.colour,
            (std::array<bool, 9>{true, false, true, false, false, false, false, false, false}));
}

TEST(VisionStoredSteps, BinocularAndPhoriaCodes) {
  for (const auto& [event, code] :
       {std::pair{"binoc:Four", 1}, {"binoc:Two", 2}, {"binoc:Three", 3}}) {
    VisionEntry entry = NewTestAt(6, {event, event});  // options select, they do not toggle
    EXPECT_EQ(Column(entry, "NearBinoc"), code) << event;
  }

  VisionEntry entry = NewTestAt(4, {"vertical:3", "vertical:7"});
  for (int box = 0; box < kVerticalBoxes; ++box) EXPECT_EQ(entry.VerticalBox(box), box == 6);
  EXPECT_EQ(Column(entry, "FarVertical"), 7);
  Play(entry, {"vertical:7"});
  EXPECT_EQ(Column(entry, "FarVertical"), 0);
  GoTo(entry, 9);
  Play(entry, {"lateral:29", "lateral:1"});
  EXPECT_EQ(Column(entry, "NearLateral"), 1);
  EXPECT_EQ(PhoriaLabel(0) + ' ' + PhoriaLabel(1) + ' ' + PhoriaLabel(28), "1 1-2 15");
  Play(entry, {"next", "distance:4", "distance:4"});
  EXPECT_EQ(Column(entry, "IntTestDistance"), 4);
  EXPECT_EQ(entry.TestDistanceOption(), 4);
}

TEST(VisionPeripheral, TotalsFollowEveryLampClick) {
  const std::pair<QStringList, const char*> cases[] = {
      {{"periph:R85", "periph:RN45"}, "130||130"},
      {{"periph:R55"}, "55||55"},
      {{"periph:R85", "periph:R55"}, "85||85"},
      {{"periph:L70", "periph:LN45", "periph:R70"}, "70|115|185"},
      {{"periph:L70", "periph:L70"}, "|0|0"},
      {{"periph:R70", "periph:R85", "periph:RN45", "periph:LN45"}, "130|45|175"},
  };
  for (const auto& [lamps, totals] : cases) {
    VisionEntry entry = NewTestAt(11, lamps);
    EXPECT_EQ(entry.TotalRight() + '|' + entry.TotalLeft() + '|' + entry.TotalBoth(), totals)
        << lamps.join(' ').toStdString();
  }
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
  EXPECT_EQ(At(entry), "0/1/0");
  EXPECT_TRUE(entry.LampTicked(R85));
  EXPECT_EQ(entry.TotalBoth(), "130");
  entry.Next();
  EXPECT_EQ(entry.CurrentTarget(1), 5);
  EXPECT_EQ(Boxes(entry, 1), Padded("11111"));
  Play(entry, {"pass", "fail", "fail"});
  EXPECT_EQ(At(entry), "1/2/0");
  EXPECT_EQ(entry.CurrentTarget(2), 14);  // nothing left on the right-eye slide
  Play(entry, {"fail"});
  EXPECT_EQ(At(entry), "1/2/1");
  Play(entry, {"pass"});  // ends the slide without marking a box
  EXPECT_EQ(At(entry), "1/3/0");
  EXPECT_EQ(Boxes(entry, 2, true), Padded(""));
  Play(entry, {"next"});
  EXPECT_EQ(entry.Step(), 2);
  EXPECT_EQ(entry.DepthTarget(), 9);
  Play(entry, {"fail2"});  // the run has nothing left and ends
  EXPECT_EQ(entry.Step(), 3);
  CodedResults expected = stored;
  expected.working.acuity[0][0] = 6;
  EXPECT_EQ(entry.ResultsForSave(), expected);

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
  EXPECT_EQ(Boxes(entry, 1), Padded("1111"));
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
  QStringList vocabulary =
      QStringLiteral("next next next prev pass pass pass fail fail pass2 pass2 fail2 clearAcuity "
                     "clearDepth binoc:Four binoc:Two binoc:Three")
          .split(u' ');
  for (const auto& [name, last, stride] :
       {std::tuple{"vertical", 13, 1}, {"lateral", 29, 4}, {"colour", 9, 1}, {"distance", 5, 1}}) {
    for (int k = 1; k <= last; k += stride) vocabulary << QStringLiteral("%1:%2").arg(name).arg(k);
  }
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
      ASSERT_TRUE(entry.Step() >= 0 && entry.Step() <= kLastStep) << entry.Step();
      ASSERT_TRUE(entry.EyeFrame() >= 1 && entry.EyeFrame() <= 3) << entry.EyeFrame();
      ASSERT_LE(std::max(entry.MissCount(), entry.DepthMissCount()), 2);
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
  const QJsonObject results = out.take("results").toObject();
  const QJsonObject totals{{"right", "55"}, {"left", ""}, {"both", "55"}};
  EXPECT_EQ(out, QJsonObject({{"step", 1}, {"eyeFrame", 2}, {"missCount", 0}, {"depthRun", true},
                              {"depthTarget", 0}, {"depthMiss", 0}, {"totals", totals}}));
  EXPECT_EQ(results.size(), int(ResultColumns().size()));
  EXPECT_EQ(results.value("FarBoth").toInt(), 3);
  EXPECT_EQ(results.value("FarRight").toInt(), 2);
  EXPECT_TRUE(results.value("PR55").toBool());
  EXPECT_FALSE(results.value("PL55").toBool());

  const char* bad[] = {
      R"({"events": ["pass"]})",                  // acuity on the binocular step
      R"({"events": ["next", "next", "jump"]})",  // unknown
      R"({"events": ["colour:0"]})",
      R"({"events": [], "stored": {"FarBoth": 15}})",
      R"({"events": [], "stored": {"Glasses": true}})",
      R"({"events": "next"})",
      R"(not json)",
  };
  for (const char* line : bad) EXPECT_TRUE(RunStepsLine(line).contains("error")) << line;

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
