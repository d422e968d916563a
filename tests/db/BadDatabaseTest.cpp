// Databases that break our rules or are not ours: check, opening, start-up
// paths and folders, and the settings file at the end.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include "base/Messages.h"
#include "interchange/RegisterImport.h"
#include "register/RecordEditor.h"
#include "support/RegisterChecks.h"
#include "support/TestApp.h"

namespace sonivera {
namespace {

using testing::AllOf;
using testing::EndsWith;
using testing::HasSubstr;
using testing::Not;
using testing::StartsWith;

// Imports cr-only.csv (three patients) with the patient numbers' "1000" made `prefix`.
ImportSummary ImportCorpus(test::TestApp& t, const char* prefix) {
  QFile file(QStringLiteral(SONIVERA_TEST_DATA "/bad/cr-only.csv"));
  EXPECT_TRUE(file.open(QIODevice::ReadOnly));
  t.folder.Write("in.csv", file.readAll().replace("\r1000", QByteArray("\r") + prefix));
  RecordEditor editor(t->ForEditor(), nullptr);
  return RegisterImporter(t->ForImport(editor, nullptr)).ImportFile(t.folder.File("in.csv"));
}

TEST(BadDatabase, CheckFindsBrokenRulesAndOpeningRefusesForeignObjects) {
  test::TestApp t;
  ASSERT_TRUE(t.Init());
  ASSERT_EQ(ImportCorpus(t, "1000").added, 3);
  EXPECT_EQ(t->Db().CheckIntegrity(), "ok");
  auto& conn = t->Db().Conn();
  // Another program's trigger drops every new left-ear row.
  conn.Exec(
      "CREATE TRIGGER drop_left AFTER INSERT ON TestResultsLeft BEGIN DELETE FROM "
      "TestResultsLeft WHERE rowid = new.rowid; END");
  conn.Exec("CREATE VIEW everyone AS SELECT PatNo FROM PatDetails");
  conn.Exec("UPDATE PatDetails SET TimeofTest = '23:59:59' WHERE PatNo = '100003'");
  EXPECT_EQ(ImportCorpus(t, "2000").added, 3);  // as the trigger lets it seem
  const QString problems = t->Db().CheckIntegrity();
  for (const char* expected :
       {"has 0 rows in TestResultsLeft", "trigger drop_left was not created by this program",
        "view everyone was not created by this program",
        "the latest test of patient 100003 (2022-03-06 23:59:59) is not stored"}) {
    EXPECT_TRUE(problems.contains(expected)) << expected << "\n" << problems.toStdString();
  }
  EXPECT_FALSE(problems.contains("TestResultsRight"));
  ASSERT_FALSE(t->EndProgram(false));

  test::TestApp again;
  again.app = std::make_unique<Application>(ProgramFolder(t.folder.Path()), again.prompter);
  EXPECT_FALSE(again->Initialise());
  EXPECT_THAT(test::OnlyPrompt(again.prompter),
              AllOf(HasSubstr("trigger drop_left, view everyone"), EndsWith("(opdatabase:954)")));
}

TEST(BadDatabase, FilesThatAreNotOursAreNamedNotTakenForAWrongPassword) {
  struct Case {
    const char* file;
    const char* said;
  };
  const Case cases[] = {{"older-release.mdb", "is a database of the older release"},
                        {"noise.mdb", "is not a database of this program, or it is damaged"}};
  for (const Case& c : cases) {
    test::TestApp t;
    QFile::copy(QStringLiteral(SONIVERA_TEST_DATA "/bad/") + c.file,
                t.folder.File("sonivera5.mdb"));
    t.prompter.QueueLogin(LoginResult{"again", "A"});
    EXPECT_FALSE(t.Init(2057, "secret")) << c.file;
    EXPECT_EQ(t.prompter.LoginCount(), 0) << c.file;
    EXPECT_THAT(test::OnlyPrompt(t.prompter),
                AllOf(HasSubstr(c.said), HasSubstr(t.folder.File("sonivera5.mdb").toStdString()),
                      Not(HasSubstr(Msg(950).toStdString()))));
  }
}

TEST(BadDatabase, StartUpPathsAndFolders) {
  struct Case {
    const char* line1;  // of sonivera5.ini
    bool starts;
    QString shown;  // the start of the one message, when it does not start
  };
  const Case cases[] = {
      {"clinic.mdb", true, {}},
      {"C:\\Program Files\\Sonivera\\sonivera5.mdb", false,
       Msg(1450) + " C:\\Program Files\\Sonivera\\sonivera5.mdb"},
      {"C:/Sonivera/sonivera5.mdb", false, Msg(1450) + " C:/Sonivera/sonivera5.mdb"},
      // A folder that cannot be written (even by the superuser).
      {"/proc/clinic.mdb", false, Msg(1450) + " /proc/clinic.mdb"},
  };
  test::TempFolder elsewhere;
  const QString cwd = QDir::currentPath();
  QDir::setCurrent(elsewhere.Path());
  for (const Case& c : cases) {
    test::TestApp t;
    t.folder.Write("sonivera5.ini", QByteArray(c.line1) + "\r\n");
    EXPECT_EQ(t.Init(), c.starts) << c.line1;
    if (c.starts) {
      EXPECT_TRUE(QFileInfo::exists(t.folder.File(c.line1))) << c.line1;
      t->EndProgram(false);
    } else {
      EXPECT_THAT(test::OnlyPrompt(t.prompter), StartsWith(c.shown.toStdString()));
    }
  }
  // Nothing was made in the current directory.
  EXPECT_TRUE(QDir(elsewhere.Path()).isEmpty());
  QDir::setCurrent(cwd);

  // A settings file that cannot be read ends the start; one that cannot be written is reported.
  test::TestApp unreadable;
  QFile::link("/proc/self/mem", unreadable.folder.File("sonivera5.ini"));
  EXPECT_FALSE(unreadable.Init());
  EXPECT_THAT(test::OnlyPrompt(unreadable.prompter), EndsWith(Msg(1603).toStdString()));
  EXPECT_FALSE(QFileInfo::exists(unreadable.folder.File("sonivera5.mdb")));

  test::TestApp unwritable;
  ASSERT_TRUE(unwritable.Init());
  QDir(unwritable.folder.Path()).mkdir("sonivera5.ini");
  EXPECT_FALSE(unwritable->EndProgram(false));
  EXPECT_THAT(test::OnlyPrompt(unwritable.prompter),
              AllOf(HasSubstr("sonivera5.ini"), EndsWith("(endprogram:954)")));
}

}  // namespace
}  // namespace sonivera
