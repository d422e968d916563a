// The configuration window's rules without its widgets: the Edit buttons with
// their backups, OK and Cancel, and the settings that take effect at once.
#include <gtest/gtest.h>

#include "base/Messages.h"
#include "config/ConfigSession.h"
#include "config/UserFiles.h"
#include "support/Checks.h"
#include "support/TestApp.h"

namespace sonivera {
namespace {

using Answer = Prompter::Answer;

TEST(UserFiles, BoxTextRoundTrip) {
  EXPECT_EQ(BoxTextLines("a\r\nb\r\n"), (QStringList{"a", "b"}));
  EXPECT_EQ(BoxTextLines("a\nb"), (QStringList{"a", "b"}));
  EXPECT_EQ(BoxTextLines("a\n\nb\n"), (QStringList{"a", "", "b"}));
  EXPECT_EQ(BoxTextLines(""), QStringList{});
  EXPECT_EQ(BoxTextLines(BoxText({"x", "O'Brien", ""})), (QStringList{"x", "O'Brien", ""}));
}

TEST(UserFiles, QuestionnaireBoxSkipsEmptyQuestionsAndStopsAtFiftyOne) {
  QStringList questions{"Q1", "", "Q3"};
  for (int i = 3; i < 60; ++i) questions << QStringLiteral("Q%1").arg(i + 1);
  const QStringList box = QuestionnaireBoxLines(questions);
  ASSERT_EQ(box.size(), 50);
  EXPECT_EQ(box.mid(0, 2) << box.last(), (QStringList{"Q1", "Q3", "Q51"}));
}

// A started program (files written to its folder before the start are read)
// and a configuration session on it.
class ConfigSessionTest : public ::testing::Test {
 protected:
  ConfigSession& Open() {
    EXPECT_TRUE(t.Init());
    session = std::make_unique<ConfigSession>(t->ForConfig());
    return *session;
  }
  test::TestApp t;
  std::unique_ptr<ConfigSession> session;
};

TEST_F(ConfigSessionTest, EditOffersBackupOfCurrentTextAndCancelLocksAgain) {
  t.folder.Write("sonivera5.ini", "sonivera5.mdb\r\nHSE2006\r\n-\r\nS3\r\n");
  ConfigSession& session = Open();
  // A backup that cannot be written keeps the box locked.
  t.prompter.QueueAnswer(Answer::Yes);
  t.prompter.QueueFile(t.folder.File("no/such/folder/patdetails.bkp"));
  EXPECT_FALSE(session.CommandEditPatDetails({"[Status]"}));
  EXPECT_FALSE(session.PatDetailsEdited());
  EXPECT_TRUE(t.prompter.Texts().last().endsWith(" (formconfig commandeditpatdetails_click:954)"));

  t.prompter = test::ScriptedPrompter();
  t.prompter.QueueAnswer(Answer::Yes);
  t.prompter.QueueFile(t.folder.File("mine.bkp"));
  ASSERT_TRUE(session.CommandEdit({"Q one", "Q two"}));
  EXPECT_TRUE(session.QuestionnaireUnlocked());
  EXPECT_EQ(test::Shown(t.prompter), QStringList{Msg(1042) + '|' + Msg(1041)});
  EXPECT_EQ(t.prompter.Prompts()[0].buttons, Prompter::Buttons::YesNo);
  ASSERT_EQ(t.prompter.file_dialogs.size(), 1u);
  const FileDialogSpec& spec = t.prompter.file_dialogs[0];
  EXPECT_EQ((QStringList{spec.filter, spec.default_suffix, spec.initial_name, spec.initial_dir}),
            (QStringList{"Backup Text File | *.bkp", ".bkp", "questions.bkp", t.folder.Path()}));
  EXPECT_TRUE(spec.overwrite_prompt);
  EXPECT_EQ(t.folder.Read("mine.bkp"), QByteArray("Q one\r\nQ two\r\n"));

  // Patient details: No gives no dialog and still unlocks.
  t.prompter.QueueAnswer(Answer::No);
  ASSERT_TRUE(session.CommandEditPatDetails({"[Status]"}));
  EXPECT_TRUE(session.PatDetailsEdited());
  EXPECT_EQ(test::Shown(t.prompter).last(), Msg(1081) + '|' + Msg(1080));
  EXPECT_EQ(t.prompter.file_dialogs.size(), 1u);

  // Cancel locks both boxes and puts the schemes back as the list names them.
  ASSERT_TRUE(t->Schemes().CheckHSE);
  t->Schemes().CheckHSE = false;
  t->Schemes().CheckBA = true;
  session.CommandCancel();
  EXPECT_TRUE(t->Schemes().CheckHSE);
  EXPECT_FALSE(t->Schemes().CheckBA);
  EXPECT_FALSE(session.QuestionnaireUnlocked());
  EXPECT_FALSE(session.PatDetailsEdited());
  EXPECT_EQ(t->settings().SchemeList, "HSE2006");
}

// OK rewrites only the files whose Edit was pressed, and refuses a file the
// next start could not read, keeping the old one.
TEST_F(ConfigSessionTest, OkRewritesEditedFilesAndSchemeList) {
  t.folder.Write("questions.txt", "Keep me\n");
  ConfigSession& session = Open();
  const QByteArray patdetails = t.folder.Read("patdetails.txt");
  const auto lists_before = t->Lists().lists;
  // Closed, questionnaire rewritten, patient details rewritten.
  const auto flags = [](const auto& o) {
    return QString("%1%2%3")
        .arg(o.close)
        .arg(o.questionnaire_rewritten)
        .arg(o.patdetails_rewritten);
  };
  EXPECT_EQ(flags(session.CommandOK({"ignored"}, {"ignored"})), "100");
  EXPECT_EQ(t.folder.Read("questions.txt"), QByteArray("Keep me\n"));
  EXPECT_EQ(t.folder.Read("patdetails.txt"), patdetails);
  EXPECT_TRUE(t.prompter.Prompts().empty());

  ASSERT_TRUE(session.CommandEditPatDetails({}));
  QStringList too_many;
  for (int i = 0; i < 502; ++i) too_many << QStringLiteral("Item %1").arg(i);
  EXPECT_FALSE(session.CommandOK({}, too_many).close);
  EXPECT_EQ(t.folder.Read("patdetails.txt"), patdetails);
  EXPECT_TRUE(session.PatDetailsEdited());
  EXPECT_TRUE(t.prompter.Texts().last().endsWith(" (formconfig commandok_click:954)"));

  ASSERT_TRUE(session.CommandEdit({}));
  t->Schemes().CheckHSE = false;
  t->Schemes().CheckMP42 = true;
  const auto outcome = session.CommandOK({"New question?", "Another?"},
                                         {"[Company]", "O'Brien Ltd", "[Location]", "Dock"});
  EXPECT_EQ(flags(outcome), "111");
  EXPECT_EQ(t.folder.Read("questions.txt"), QByteArray("New question?\r\nAnother?\r\n"));
  EXPECT_EQ(t.folder.Read("patdetails.txt"),
            QByteArray("[Company]\r\nO'Brien Ltd\r\n[Location]\r\nDock\r\n"));
  EXPECT_EQ(session.QuestionnaireLines(), (QStringList{"New question?", "Another?"}));
  EXPECT_EQ(test::Shown(t.prompter).last(),
            "Patient Details File|The patient details file has been edited. For these changes to "
            "take effect please exit the program");
  EXPECT_FALSE(session.PatDetailsEdited());
  EXPECT_FALSE(session.QuestionnaireUnlocked());
  EXPECT_EQ(t->settings().SchemeList, ",MP42");
  // The lists in use keep their items until the next start.
  EXPECT_EQ(t->Lists().lists, lists_before);
}

TEST_F(ConfigSessionTest, SeriesPortsAndLink) {
  ASSERT_TRUE(t.Init());
  test::CountingSerialLink link;
  t->SetSerialLink(&link);
  ConfigSession session(t->ForConfig());
  // The series, its settings, and whether the link stays open (and is reopened).
  const std::tuple<SeriesOption, const char*, bool> cases[] = {
      {SeriesOption::S3, "S3 tx730_3.cvt", false},
      {SeriesOption::S1, "S1 tx730_1.cvt", false},
      {SeriesOption::S4, "S4 tx730_3.cvt", true},
      {SeriesOption::S5, "S5 tx730_3.cvt", true}};
  for (const auto& [option, settings, keeps_link] : cases) {
    SCOPED_TRACE(settings);
    link.opened = 0;
    EXPECT_EQ(session.SelectSeries(option), keeps_link);
    EXPECT_EQ(t->settings().AudiometerSeries + ' ' + t->settings().ConversionFile, settings);
    ASSERT_TRUE(session.LeavePorts("COM 12  (available)"));
    EXPECT_EQ(t->settings().SerialPortNumber, 12);
    EXPECT_EQ(link.opened, keeps_link ? 1 : 0);
    EXPECT_EQ(session.CommandOK({}, {}).link_reopened, keeps_link);
  }
  // A port outside 1 to 16 (refused with its message) is tried in the
  // configuration window's test.
  ASSERT_TRUE(session.ChoosePort("COM -"));
  EXPECT_EQ(t->settings().SerialPortNumber, 0);
  EXPECT_TRUE(t.prompter.Prompts().empty());
}

TEST_F(ConfigSessionTest, ChartOptionsTakeEffectAtOnce) {
  ConfigSession& session = Open();
  const ChartOptions& chart = t->settings().chart;
  session.SetBand(false);
  EXPECT_FALSE(chart.CheckBand);
  EXPECT_FALSE(chart.CheckBandPrintEnabled);
  session.SetBand(true);
  EXPECT_TRUE(chart.CheckBandPrintEnabled);
  session.SetBandPrint(false);
  EXPECT_FALSE(chart.CheckBandPrint);
  session.SetPredictive(true);
  EXPECT_TRUE(chart.CheckPredictive);
  EXPECT_TRUE(chart.ShowPredictiveLine);
  session.SetGap(13);
  EXPECT_DOUBLE_EQ(t->settings().Rs232Gap, 1.3);
}

}  // namespace
}  // namespace sonivera
