// The configuration window's maintenance: backup, browse, change of password,
// recategorisation with Stop and the age-correction tables.
#include <gtest/gtest.h>

#include <QCheckBox>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QProgressBar>
#include <QProgressDialog>
#include <QPushButton>
#include <QTableWidget>
#include <QTimer>

#include "base/Messages.h"
#include "db/Database.h"
#include "db/Sqlite.h"
#include "support/TestApp.h"
#include "ui/DemoRegister.h"
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
  void SetUp() override {
    test::EnsureQApplication();
    ASSERT_TRUE(t.Init());
  }
  // Demonstration patients whose stored categorisations all read "untouched".
  void Seed(int patients) {
    ASSERT_EQ(SeedDemoRegister(*t, patients), patients);
    t->Db().Conn().Exec("UPDATE TestDetails SET Categorisation = 'untouched'");
  }
  QString Scalar(const QString& sql) {
    const auto value = t->Db().Conn().QueryValue(sql);
    return value ? value->toString() : QStringLiteral("<none>");
  }
  int PatientsRecategorised() {
    const QString touched = "WHERE Categorisation <> 'untouched'";
    return Scalar("SELECT COUNT(DISTINCT PatNo) FROM TestDetails " + touched).toInt();
  }
  static void Click(QWidget& form, const char* name) {
    form.findChild<QPushButton*>(QLatin1String(name))->click();
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

// The buttons reach the maintenance of the open database (what a backup and
// a repair hold is tested with the maintenance itself), and Browse names the
// next start's database.
TEST_F(MaintenanceWindowTest, BackupRepairAndBrowseKeepTheDatabaseOpenAndTheBoxes) {
  Seed(2);
  const QString tests = Scalar("SELECT COUNT(*) FROM TestDetails");
  FormConfig form(*t);
  // A box ticked but not yet confirmed survives the maintenance.
  form.findChild<QCheckBox*>("CheckMP42")->setChecked(true);
  const QString copy = t.folder.File("copy.mdb");
  t.prompter.QueueFile(copy);
  Click(form, "CommandBackup");
  ASSERT_TRUE(QFile::exists(copy));
  EXPECT_TRUE(t->Db().IsOpen());
  EXPECT_EQ(t.prompter.file_dialogs.back().filter, "Sonivera Database files | *.mdb");

  Click(form, "CommandRepair");
  EXPECT_TRUE(t->Db().IsOpen());
  EXPECT_EQ(Scalar("SELECT COUNT(*) FROM TestDetails"), tests);

  const QString chosen = t.folder.File("other.mdb");
  t.prompter.QueueFile(chosen);
  t.prompter.QueueAnswer(Answer::Ok);
  Click(form, "CommandBrowse");
  EXPECT_EQ(form.findChild<QLineEdit*>("Text2")->text(), chosen);
  EXPECT_EQ(t.prompter.Texts().last(), chosen + Msg(1039));
  Click(form, "CommandOK");
  EXPECT_EQ(t->settings().SchemeList, "HSE2006,MP42");
}

// The password window refuses mistakes and stays open, then rekeys the file
// (what the new key opens is tested with the rekeying).
TEST_F(MaintenanceWindowTest, PasswordWindowRefusesMistakesAndRekeys) {
  FormConfig form(*t);
  bool stayed_open_after_mistakes = false;
  WhenModal<FormPassword>([&](FormPassword& window) {
    auto fill = [&](const char* current, const char* first, const char* second) {
      window.findChild<QLineEdit*>("Text1_0")->setText(current);
      window.findChild<QLineEdit*>("Text1_1")->setText(first);
      window.findChild<QLineEdit*>("Text1_2")->setText(second);
      Click(window, "Command1");
    };
    fill("guess", "S3cret!", "S3cret!");
    fill("", "S3cret!", "S3cret?");
    stayed_open_after_mistakes = window.isVisible();
    fill("", "S3cret!", "S3cret!");
  });
  Click(form, "CommandPassword");
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
}

// Cancel at the question changes nothing; Stop after the first patient (the
// newest test's) leaves the others.
TEST_F(MaintenanceWindowTest, RecategoriseCancelledOrStoppedAfterTheFirstPatient) {
  Seed(3);
  FormConfig form(*t);
  t.prompter.QueueAnswer(Answer::Cancel);
  Click(form, "cmdRecategorise");
  EXPECT_EQ(PatientsRecategorised(), 0);
  EXPECT_EQ(form.findChild<FormRecat*>(), nullptr);

  std::vector<bool> menus;
  QObject::connect(&form, &FormConfig::InterferingMenusEnabled,
                   [&](bool enabled) { menus.push_back(enabled); });
  QObject::connect(&form, &FormConfig::RecategoriseProgress, [&](int done, int) {
    if (done == 1) Click(*form.findChild<FormRecat*>(), "Command1");
  });
  QString label, button;
  bool closed = false;
  WhenModal<FormRecat>([&](FormRecat& window) {
    EXPECT_FALSE(window.Running());
    label = window.findChild<QLabel*>("Label1")->text();
    button = window.findChild<QPushButton*>("Command1")->text();
    Click(window, "Command1");
    closed = !window.isVisible();
  });
  Click(form, "cmdRecategorise");
  EXPECT_EQ(t.prompter.Texts().last(), Msg(1034));
  EXPECT_EQ(label, "Recategorise stopped");
  EXPECT_EQ(button, "&Close");
  EXPECT_TRUE(closed);
  EXPECT_EQ(menus, (std::vector<bool>{false, true}));
  EXPECT_FALSE(t->Categorisation().RecategoriseStop);
  EXPECT_EQ(PatientsRecategorised(), 1);
  EXPECT_EQ(Scalar("SELECT DateofTest FROM PatDetails WHERE PatNo IN (SELECT PatNo FROM "
                   "TestDetails WHERE Categorisation <> 'untouched')"),
            Scalar("SELECT MAX(DateofTest) FROM PatDetails"));
}

// The desktop path: the question is a real message box and the run reports
// to FormRecat, not to a progress dialog of its own.
TEST_F(MaintenanceWindowTest, DesktopRunReportsToTheRecategoriseWindow) {
  Seed(2);
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

TEST_F(MaintenanceWindowTest, AgeTablesShowAndLookUp) {
  const auto& tables = t->Categorisation().age_tables;
  ASSERT_TRUE(tables.male.loaded && tables.female.loaded);
  FormAgeTables window(*t);
  auto* grid = window.findChild<QTableWidget*>("MSFlexGridMale");
  ASSERT_EQ(grid->rowCount(), 41);
  EXPECT_EQ(grid->horizontalHeaderItem(5)->text(), "6kHz");
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
      {"forty", "1000", "M", {}, "Type mismatch"},
  };
  auto* result = window.findChild<QLineEdit*>("Text4");
  for (const auto& c : cases) {
    SCOPED_TRACE(c.age);
    const size_t prompts = t.prompter.Prompts().size();
    window.findChild<QLineEdit*>("Text1")->setText(c.age);
    window.findChild<QLineEdit*>("Text2")->setText(c.frequency);
    window.findChild<QLineEdit*>("Text3")->setText(c.sex);
    Click(window, "Command1");
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
