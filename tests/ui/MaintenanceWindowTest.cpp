// The configuration window's maintenance: backup, browse, change of password
// (with a restart through the command line), recategorisation with Stop and
// the age-correction tables.
#include <gtest/gtest.h>

#include <QCheckBox>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QProgressBar>
#include <QProgressDialog>
#include <QPushButton>
#include <QTableWidget>
#include <QTimer>
#include <functional>

#include "base/AppError.h"
#include "base/Messages.h"
#include "base/TextFiles.h"
#include "categorise/AgeCorrection.h"
#include "config/Password.h"
#include "db/Database.h"
#include "support/TestApp.h"
#include "ui/FormAgeTables.h"
#include "ui/FormConfig.h"
#include "ui/FormPassword.h"
#include "ui/FormRecat.h"
#include "ui/GuiPrompter.h"
#include "ui/UiTest.h"

namespace sonivera::ui {
namespace {

using Answer = Prompter::Answer;

class MaintenanceWindowTest : public ::testing::Test {
 protected:
  void SetUp() override { test::EnsureQApplication(); }
  void AddPatient(const QString& pat_no, const QString& date, const QString& categorisation) {
    db::Connection& connection = t->Db().Conn();
    auto patient = connection.Prepare(
        "INSERT INTO PatDetails (PatNo, Surname, DOB, Sex, DateofTest, TimeofTest) "
        "VALUES (?1, 'O''Neill', '1970-03-01', 'M', ?2, '10:00:00')");
    patient.Bind(1, pat_no).Bind(2, date).Run();
    auto test = connection.Prepare(
        "INSERT INTO TestDetails (PatNo, DateofTest, TimeofTest, Categorisation) "
        "VALUES (?1, ?2, '10:00:00', ?3)");
    test.Bind(1, pat_no).Bind(2, date).Bind(3, categorisation).Run();
    for (const char* table : {"TestResultsLeft", "TestResultsRight"}) {
      auto ear = connection.Prepare(
          QStringLiteral("INSERT INTO %1 (PatNo, TestDate, TestTime, \"250Hz\", \"500Hz\", "
                         "\"1kHz\", \"1_5kHz\", \"2kHz\", \"3kHz\", \"4kHz\", \"6kHz\", \"8kHz\") "
                         "VALUES (?1, ?2, '10:00:00', '5', '5', '5', '5', '5', '10', '10', "
                         "'10', '10')")
              .arg(QLatin1String(table)));
      ear.Bind(1, pat_no).Bind(2, date).Run();
    }
  }
  QString Categorisation(const QString& pat_no) {
    auto select = t->Db().Conn().Prepare("SELECT Categorisation FROM TestDetails WHERE PatNo = ?1");
    select.Bind(1, pat_no);
    return select.Step() ? select.Text(0) : QStringLiteral("<missing>");
  }
  bool ChangePasswordForTest() {
    return ChangePassword(t->ForConfig(), t->DatabasePassword(), "S3cret!", "S3cret!");
  }
  // Runs action on the modal window of type T once it is open.
  template <typename T>
  static void WhenModal(std::function<void(T&)> action) {
    auto* timer = new QTimer;
    timer->setInterval(5);
    QObject::connect(timer, &QTimer::timeout, [timer, action] {
      if (auto* window = qobject_cast<T*>(QApplication::activeModalWidget())) {
        timer->stop();
        timer->deleteLater();
        action(*window);
      }
    });
    timer->start();
  }
  test::TestApp t;
};

TEST_F(MaintenanceWindowTest, BackupWhileRunningOpensOnItsOwn) {
  ASSERT_TRUE(t.Init());
  AddPatient("A1", "2024-01-10", "HSE:  1 ");
  ASSERT_TRUE(ChangePasswordForTest());
  FormConfig form(*t);
  // A box ticked but not yet confirmed survives the maintenance.
  form.findChild<QCheckBox*>("CheckMP42")->setChecked(true);
  const QString copy = t.folder.File("copy.mdb");
  t.prompter.QueueFile(copy);
  form.findChild<QPushButton*>("CommandBackup")->click();
  ASSERT_TRUE(QFile::exists(copy));
  EXPECT_TRUE(t->Db().IsOpen());
  EXPECT_EQ(t.prompter.file_dialogs.back().filter, "Sonivera Database files | *.mdb");
  {
    db::Database other;
    EXPECT_THROW(other.Open(copy, "wrong"), AppError);
    other.Open(copy, "S3cret!");
    auto select = other.Conn().Prepare(
        "SELECT Surname, Categorisation FROM PatDetails "
        "JOIN TestDetails USING (PatNo)");
    ASSERT_TRUE(select.Step());
    EXPECT_EQ(select.Text(0), "O'Neill");
    EXPECT_EQ(select.Text(1), "HSE:  1 ");
    EXPECT_FALSE(select.Step());
  }
  // The database itself as the target.
  t.prompter.QueueFile(t->settings().DatabasePath);
  form.findChild<QPushButton*>("CommandBackup")->click();
  EXPECT_EQ(t.prompter.Texts().last(), Msg(1038));
  EXPECT_EQ(t.prompter.Prompts().back().title, Msg(974));
  EXPECT_EQ(Categorisation("A1"), "HSE:  1 ");

  form.findChild<QPushButton*>("CommandRepair")->click();
  EXPECT_TRUE(t->Db().IsOpen());
  EXPECT_EQ(Categorisation("A1"), "HSE:  1 ");
  form.findChild<QPushButton*>("CommandOK")->click();
  EXPECT_EQ(t->settings().SchemeList, ",MP42");
}

TEST_F(MaintenanceWindowTest, BrowseChoosesTheNextDatabase) {
  ASSERT_TRUE(t.Init());
  FormConfig form(*t);
  const QString chosen = t.folder.File("other.mdb");
  t.prompter.QueueFile(chosen);
  t.prompter.QueueAnswer(Answer::Ok);
  form.findChild<QPushButton*>("CommandBrowse")->click();
  EXPECT_EQ(form.findChild<QLineEdit*>("Text2")->text(), chosen);
  EXPECT_EQ(t.prompter.Texts().last(), chosen + Msg(1039));
  const auto lines = ReadTextLines(t.folder.File("sonivera5.ini"));
  ASSERT_TRUE(lines);
  EXPECT_EQ(lines->first(), chosen);
}

// Change the password in the window, end the program, start again from the
// command line: the old password is refused, the new one opens the file.
TEST_F(MaintenanceWindowTest, ChangedPasswordIsNeededAtTheNextStart) {
  ASSERT_TRUE(t.Init(2057, QString()));
  AddPatient("P7", "2023-05-05", "kept");
  FormConfig form(*t);
  bool stayed_open_after_mistakes = false;
  WhenModal<FormPassword>([&](FormPassword& window) {
    auto fill = [&](const char* current, const char* first, const char* second) {
      window.findChild<QLineEdit*>("Text1_0")->setText(current);
      window.findChild<QLineEdit*>("Text1_1")->setText(first);
      window.findChild<QLineEdit*>("Text1_2")->setText(second);
      window.findChild<QPushButton*>("Command1")->click();
    };
    fill("guess", "S3cret!", "S3cret!");
    fill("", "S3cret!", "S3cret?");
    stayed_open_after_mistakes = window.isVisible();
    fill("", "S3cret!", "S3cret!");
  });
  form.findChild<QPushButton*>("CommandPassword")->click();
  EXPECT_TRUE(stayed_open_after_mistakes);
  const QStringList texts = t.prompter.Texts();
  ASSERT_GE(texts.size(), 3);
  EXPECT_EQ(texts[0], Msg(1036));
  EXPECT_EQ(t.prompter.Prompts()[0].title, Msg(1037));
  EXPECT_EQ(texts[1], Msg(991));
  EXPECT_EQ(texts[2], Msg(990));
  EXPECT_EQ(t->DatabasePassword(), "S3cret!");
  EXPECT_TRUE(t->Db().Encrypted());
  ASSERT_FALSE(t->EndProgram(false));
  EXPECT_FALSE(db::Database::IsPlainFile(t->settings().DatabasePath));

  const auto old_password = test::RunCli({"--folder", t.folder.Path(), "--password", "", "check"});
  EXPECT_NE(old_password.exit_code, 0);
  EXPECT_TRUE((old_password.out + old_password.err).contains(Msg(950)));
  const auto new_password =
      test::RunCli({"--folder", t.folder.Path(), "--password", "S3cret!", "check"});
  EXPECT_EQ(new_password.exit_code, 0) << new_password.err.toStdString();
  EXPECT_TRUE(new_password.out.contains("ok"));
}

TEST_F(MaintenanceWindowTest, StopAfterFirstPatientLeavesTheOthers) {
  ASSERT_TRUE(t.Init());
  t->Schemes().CheckHSE = true;
  AddPatient("1", "2024-03-01", "untouched");
  AddPatient("2", "2024-02-01", "untouched");
  AddPatient("3", "2024-01-01", "untouched");
  FormConfig form(*t);
  std::vector<bool> menus;
  QObject::connect(&form, &FormConfig::InterferingMenusEnabled,
                   [&](bool enabled) { menus.push_back(enabled); });
  QObject::connect(&form, &FormConfig::RecategoriseProgress, [&](int done, int) {
    if (done == 1) form.findChild<FormRecat*>()->findChild<QPushButton*>("Command1")->click();
  });
  QString label, button;
  bool closed = false;
  WhenModal<FormRecat>([&](FormRecat& window) {
    EXPECT_FALSE(window.Running());
    label = window.findChild<QLabel*>("Label1")->text();
    button = window.findChild<QPushButton*>("Command1")->text();
    window.findChild<QPushButton*>("Command1")->click();
    closed = !window.isVisible();
  });
  form.findChild<QPushButton*>("cmdRecategorise")->click();
  EXPECT_EQ(t.prompter.Texts().first(), Msg(1034));
  EXPECT_EQ(label, "Recategorise stopped");
  EXPECT_EQ(button, "&Close");
  EXPECT_TRUE(closed);
  EXPECT_EQ(menus, (std::vector<bool>{false, true}));
  EXPECT_FALSE(t->Categorisation().RecategoriseStop);
  int untouched = 0;
  for (const char* pat_no : {"1", "2", "3"}) untouched += Categorisation(pat_no) == "untouched";
  EXPECT_EQ(untouched, 2);
  EXPECT_NE(Categorisation("1"), "untouched");  // the newest test comes first
}

// The desktop path: the question is a real message box and the run reports
// to FormRecat, not to a progress dialog of its own.
TEST_F(MaintenanceWindowTest, DesktopRunReportsToTheRecategoriseWindow) {
  ASSERT_TRUE(t.Init());
  AddPatient("1", "2024-03-01", "untouched");
  AddPatient("2", "2024-02-01", "untouched");
  const QString folder = t.folder.Path();
  t->EndProgram(false);
  GuiPrompter gui;
  Application app(ProgramFolder(folder), gui);
  app.SetUserLocale(2057);
  ASSERT_TRUE(app.Initialise());
  app.Schemes().CheckHSE = true;
  WhenModal<QMessageBox>([](QMessageBox& box) {
    EXPECT_EQ(box.text(), Msg(1034));
    box.button(QMessageBox::Ok)->click();
  });
  bool progress_dialog_seen = false;
  FormRecat window(app);
  QObject::connect(&window, &FormRecat::ProgressChanged, [&](int, int) {
    EXPECT_TRUE(window.isVisible());
    for (QWidget* widget : QApplication::topLevelWidgets()) {
      progress_dialog_seen |= qobject_cast<QProgressDialog*>(widget) && widget->isVisible();
    }
  });
  const RecategoriseOutcome outcome = window.Run();
  EXPECT_FALSE(outcome.cancelled);
  EXPECT_EQ(outcome.patients_done, 2);
  EXPECT_FALSE(progress_dialog_seen);
  EXPECT_EQ(window.findChild<QLabel*>("Label1")->text(), "Recategorise finished");
  EXPECT_EQ(window.findChild<QProgressBar*>("ProgressBar1")->value(), 2);
  app.EndProgram(false);
}

TEST_F(MaintenanceWindowTest, RecategoriseCancelledChangesNothing) {
  ASSERT_TRUE(t.Init());
  AddPatient("1", "2024-03-01", "untouched");
  FormConfig form(*t);
  t.prompter.QueueAnswer(Answer::Cancel);
  form.findChild<QPushButton*>("cmdRecategorise")->click();
  EXPECT_EQ(Categorisation("1"), "untouched");
  EXPECT_EQ(form.findChild<FormRecat*>(), nullptr);
}

TEST_F(MaintenanceWindowTest, AgeTablesShowAndLookUp) {
  ASSERT_TRUE(t.Init());
  const auto& tables = t->Categorisation().age_tables;
  ASSERT_TRUE(tables.male.loaded && tables.female.loaded);
  FormAgeTables window(*t);
  auto* grid = window.findChild<QTableWidget*>("MSFlexGridMale");
  ASSERT_EQ(grid->rowCount(), 41);
  EXPECT_EQ(grid->horizontalHeaderItem(0)->text(), "Age in years");
  EXPECT_EQ(grid->horizontalHeaderItem(5)->text(), "6kHz");
  EXPECT_EQ(grid->item(0, 0)->text(), "20 or younger");
  EXPECT_EQ(grid->item(40, 0)->text(), "60 or over");
  EXPECT_EQ(grid->item(10, 4)->text(), QString::number(tables.male.values[10][3]));
  EXPECT_EQ(window.findChild<QLabel*>("LabelTable")->text(), "Male");
  window.findChild<QAction*>("mnuFemale")->trigger();
  EXPECT_EQ(window.findChild<QLabel*>("LabelTable")->text(), "Female");
  EXPECT_EQ(grid->item(10, 4)->text(), QString::number(tables.female.values[10][3]));

  struct Case {
    const char *age, *frequency, *sex;
    QString result;    // empty when refused
    QString reported;  // the report's text, when refused
  };
  const Case cases[] = {
      {"17", "4000", "male", QString::number(tables.male.values[0][3]), {}},
      {"70", "6000", "F", QString::number(tables.female.values[40][4]), {}},
      {"45", "8000", "M", {}, "Invalid freq"},
      {"45", "1000", "x", {}, "invalid gender"},
      {"forty", "1000", "M", {}, "Type mismatch"},
  };
  auto* result = window.findChild<QLineEdit*>("Text4");
  for (const auto& c : cases) {
    SCOPED_TRACE(c.age);
    const size_t prompts = t.prompter.Prompts().size();
    window.findChild<QLineEdit*>("Text1")->setText(c.age);
    window.findChild<QLineEdit*>("Text2")->setText(c.frequency);
    window.findChild<QLineEdit*>("Text3")->setText(c.sex);
    window.findChild<QPushButton*>("Command1")->click();
    EXPECT_EQ(result->text(), c.result);
    if (c.reported.isEmpty()) {
      EXPECT_EQ(t.prompter.Prompts().size(), prompts);
    } else {
      ASSERT_EQ(t.prompter.Prompts().size(), prompts + 1);
      EXPECT_TRUE(t.prompter.Texts().last().contains(c.reported));
      EXPECT_TRUE(t.prompter.Texts().last().endsWith(" (frmagetables command1_click:954)"));
    }
  }
}

}  // namespace
}  // namespace sonivera::ui
