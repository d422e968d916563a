// The start-up and the end of the program: what is created, what is logged,
// how each failure of the start-up is reported, and the exit question.
#include <gtest/gtest.h>

#include <QFile>
#include <QFileInfo>

#include "app/Application.h"
#include "base/Messages.h"
#include "base/TextFiles.h"
#include "db/Schema.h"
#include "support/BaseChecks.h"
#include "support/TestApp.h"

namespace sonivera {
namespace {

QStringList LogLines(const test::TempFolder& folder) {
  return ReadTextLines(folder.File("err.log")).value_or(QStringList{});
}

TEST(Startup, NewFolderIsSeededAndGetsADatabase) {
  test::TestApp t;
  t.folder.Write("patdetails.txt", "[com]\r\nMine\r\n");  // the user's file stays
  ASSERT_TRUE(t.Init());
  EXPECT_TRUE(QFileInfo::exists(t.folder.File("sonivera5.mdb")));
  EXPECT_EQ(t->settings().DatabasePath, t.folder.File("sonivera5.mdb"));
  EXPECT_EQ(t->settings().DatabaseFileBox, t->settings().DatabasePath);
  EXPECT_EQ(t.folder.Read("patdetails.txt"), "[com]\r\nMine\r\n");
  EXPECT_EQ(t->Lists().lists[3], QStringList{"Mine"});
  const QStringList log = LogLines(t.folder);
  ASSERT_EQ(log.size(), 1);
  EXPECT_TRUE(log[0].startsWith("Init: " + t.folder.Path() + " ")) << log[0].toStdString();
  EXPECT_TRUE(log[0].contains(" 5.5.0 " + t.folder.File("sonivera5.mdb") + " "));
}

TEST(Startup, StartLogsTheOperatingSystemAfterInit) {
  test::TestApp t;
  t.prompter.QueueLogin(LoginResult{"", "Nurse Jones"});
  t.app = std::make_unique<Application>(ProgramFolder(t.folder.Path()), t.prompter);
  ASSERT_TRUE(t->Start());
  EXPECT_EQ(t->ExaminerName(), "Nurse Jones");
  const QStringList log = LogLines(t.folder);
  ASSERT_EQ(log.size(), 2);
  EXPECT_TRUE(log[0].startsWith("Init: "));
  EXPECT_TRUE(log[1].startsWith(ErrorLog::OsDescription()));
  EXPECT_TRUE(log[1].contains("Linux", Qt::CaseInsensitive));
}

TEST(Startup, CancelledLoginEndsBeforeAnyDatabaseIsMade) {
  test::TestApp t;
  t.app = std::make_unique<Application>(ProgramFolder(t.folder.Path()), t.prompter);
  EXPECT_FALSE(t->Start());
  EXPECT_TRUE(t->Ended());
  EXPECT_FALSE(QFileInfo::exists(t.folder.File("sonivera5.mdb")));
  EXPECT_FALSE(QFileInfo::exists(t.folder.File("err.log")));
}

TEST(Startup, FailuresOfInitialiseAreReportedAndEndTheProgram) {
  QByteArray long_list;
  for (int i = 0; i < 502; ++i) long_list += "x\r\n";
  const struct {
    QByteArray ini, patdetails;
    QString start, end;  // of the message
  } cases[] = {
      {"a.mdb\r\n\r\nCOM2\r\nS5\r\n", {}, Msg(954), " (initialise:954) " + Msg(1603)},
      {"/nonexistent/dir/a.mdb\r\n",
       {},
       Msg(1450) + " /nonexistent/dir/a.mdb",
       " (initialise:1450)"},
      {{}, long_list, Msg(954), " (initialise:954) " + Msg(1603)},  // lists file too long
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.start.toStdString());
    test::TestApp t;
    if (!c.ini.isNull()) t.folder.Write("sonivera5.ini", c.ini);
    if (!c.patdetails.isNull()) t.folder.Write("patdetails.txt", c.patdetails);
    EXPECT_FALSE(t.Init());
    EXPECT_TRUE(t->Ended());
    const QStringList shown = test::Shown(t.prompter);
    ASSERT_EQ(shown.size(), 1);
    EXPECT_TRUE(shown[0].startsWith("Error|" + c.start) && shown[0].endsWith(c.end))
        << shown[0].toStdString();
    const QStringList log = LogLines(t.folder);
    ASSERT_EQ(log.size(), 1);
    EXPECT_TRUE(log[0].startsWith(shown[0].mid(6) + " "));
  }
}

// Exit during an edit asks first and No keeps running; Yes writes the
// settings file, and the next start opens the same database.
TEST(Startup, ExitAsksDuringAnEditThenWritesTheSettingsForTheNextStart) {
  test::TestApp t;
  ASSERT_TRUE(t.Init());
  t->Db().Conn().Exec("INSERT INTO PatDetails (PatNo, Surname) VALUES ('P1', 'O''Neill')");
  t->settings().SchemeList = "HSE2006";
  t->settings().SerialPortNumber = 17;
  t.prompter.QueueAnswer(Prompter::Answer::No);
  EXPECT_TRUE(t->EndProgram(true));  // an edit is open
  EXPECT_EQ(test::Shown(t.prompter), QStringList{Msg(1031) + "|" + Msg(1030)});
  EXPECT_EQ(t.prompter.Prompts()[0].buttons, Prompter::Buttons::YesNo);
  EXPECT_FALSE(QFileInfo::exists(t.folder.File("sonivera5.ini")));
  EXPECT_TRUE(t->Db().IsOpen());

  EXPECT_FALSE(t->EndProgram(false));
  EXPECT_EQ(t.prompter.Prompts().size(), 1u);  // no edit open: no question
  EXPECT_FALSE(t->Db().IsOpen());
  EXPECT_EQ(t.folder.Read("sonivera5.ini"),
            (t.folder.File("sonivera5.mdb") +
             "\r\nHSE2006\r\n-\r\nS5\r\nUX730,USB\r\nBANDON\r\nPRINTBANDON\r\nPREDICTIVEOFF\r\n")
                .toUtf8());
  Application again(ProgramFolder(t.folder.Path()), t.prompter);
  ASSERT_TRUE(again.Initialise());
  EXPECT_EQ(again.Db().Conn().QueryValue("SELECT Surname FROM PatDetails")->toString(), "O'Neill");
}

TEST(Messages, QuotedTextsAreExactAndTheTableFormatIsRead) {
  EXPECT_EQ(Msg(954) + "|" + Msg(955) + "|" + Msg(950) + "|" + Msg(11),
            "An error has occurred: | Error No: |Incorrect Password.|&OK");
  EXPECT_EQ(Msg(1044), "Sonivera already open. Close it then try again.");
  EXPECT_EQ(Msg(1039),
            " will now be your default database. Exit and restart for this database to be "
            "loaded/created.");
  EXPECT_GT(MessageTable::BuiltIn().Count(), 150);
  // The table's own format: tab-separated, escapes, comments and bad lines.
  const auto table =
      MessageTable::Parse("# comment\n7\tTwo\\nlines \n8\tback\\\\slash\r\nbad line\n");
  EXPECT_EQ(table.Count(), 2);
  EXPECT_EQ(table.Text(7) + "|" + table.Text(8) + "|" + table.Text(9),
            "Two\nlines |back\\slash|[9]");
}

TEST(ReportError, TextTitleAndLogLine) {
  test::TempFolder folder;
  test::ScriptedPrompter prompter;
  ErrorLog log(folder.File("err.log"));
  ErrorReporter reporter(prompter, log);
  const QString text = reporter.Report("Disk full", 61, "SaveRecord");
  EXPECT_EQ(text, "An error has occurred: Disk full Error No: 61 (saverecord:954)");
  EXPECT_EQ(test::Shown(prompter), QStringList{"Error|" + text});
  const QStringList lines = ReadTextLines(folder.File("err.log")).value();
  ASSERT_EQ(lines.size(), 1);
  EXPECT_TRUE(lines[0].startsWith(text + " "));
  EXPECT_GT(lines[0].size(), text.size() + 8);  // the date and time follow
}

TEST(ProgramFolder, DefaultsAreSeededOnceAndNeverOverwritten) {
  test::TempFolder folder;
  const ProgramFolder program(folder.File("new/sub"));
  ASSERT_TRUE(program.Prepare());
  EXPECT_TRUE(QFileInfo::exists(program.File("patdetails.txt")));
  EXPECT_FALSE(QFileInfo::exists(program.File("messages.txt")));
  QFile::remove(program.File("patdetails.txt"));
  ASSERT_TRUE(program.Prepare());
  // Removed on purpose: it stays removed.
  EXPECT_FALSE(QFileInfo::exists(program.File("patdetails.txt")));

  test::TempFolder existing;
  existing.Write("patdetails.txt", "[sta]\r\nOwn\r\n");
  ASSERT_TRUE(ProgramFolder(existing.Path()).Prepare());
  EXPECT_EQ(existing.Read("patdetails.txt"), "[sta]\r\nOwn\r\n");
}

}  // namespace
}  // namespace sonivera
