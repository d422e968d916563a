// The configuration window's maintenance: backup, browse, change of password,
// recategorisation with Stop and the age-correction tables.

#include "db/Database.h"
#include "ui/DemoWindowTest.h"
#include "ui/FormAgeTables.h"
#include "ui/FormConfig.h"
#include "ui/FormPassword.h"
#include "ui/FormRecat.h"
#include "ui/GuiPrompter.h"

namespace sonivera::ui {
namespace {

using Answer = Prompter::Answer;

class MaintenanceWindowTest : public StartedAppTest {
 protected:
  // Demonstration patients whose stored categorisations all read "untouched".
  void Seed(int patients) {
    ASSERT_EQ(SeedDemoRegister(*t, patients), patients);
    t->Db().Conn().Exec("UPDATE TestDetails SET Categorisation = 'untouched'");
  }
  int PatientsRecategorised() {
    return Scalar(
               "SELECT COUNT(DISTINCT PatNo) FROM TestDetails "
               "WHERE Categorisation <> 'untouched'")
        .toInt();
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
};

// The buttons reach the maintenance of the open database (what a backup and
// a repair hold is tested with the maintenance itself), and Browse names the
// next start's database.
TEST_F(MaintenanceWindowTest, BackupRepairAndBrowseKeepTheDatabaseOpenAndTheBoxes) {
  Seed(2);
  const QString tests = Scalar("SELECT COUNT(*) FROM TestDetails");
  FormConfig form(*t);
  // A box ticked but not yet confirmed survives the maintenance.
  Child<QCheckBox>(form, "CheckMP42")->setChecked(true);
  const QString copy = t.folder.File("copy.mdb");
  t.prompter.QueueFile(copy);
  Click(form, "CommandBackup");
  ASSERT_TRUE(QFile::exists(copy));
  EXPECT_TRUE(t->Db().IsOpen());

  Click(form, "CommandRepair");
  EXPECT_TRUE(t->Db().IsOpen());
  EXPECT_EQ(Scalar("SELECT COUNT(*) FROM TestDetails"), tests);

  const QString chosen = t.folder.File("other.mdb");
  t.prompter.QueueFile(chosen);
  t.prompter.QueueAnswer(Answer::Ok);
  Click(form, "CommandBrowse");
  EXPECT_EQ(Child<QLineEdit>(form, "Text2")->text(), chosen);
  EXPECT_EQ(t.prompter.Texts().last(), chosen + Msg(1039));
  Click(form, "CommandOK");
  EXPECT_EQ(t->settings().SchemeList, "HSE2006,MP42");
}

// The password window refuses mistakes and stays open, then rekeys the file
// (each mistake's message and what the new key opens are tested with the
// rekeying).
TEST_F(MaintenanceWindowTest, PasswordWindowRefusesMistakesAndRekeys) {
  FormConfig form(*t);
  bool stayed_open_after_mistakes = false;
  WhenModal<FormPassword>([&](FormPassword& window) {
    auto fill = [&](const char* current, const char* first, const char* second) {
      Child<QLineEdit>(window, "Text1_0")->setText(current);
      Child<QLineEdit>(window, "Text1_1")->setText(first);
      Child<QLineEdit>(window, "Text1_2")->setText(second);
      Click(window, "Command1");
    };
    fill("guess", "S3cret!", "S3cret!");
    fill("", "S3cret!", "S3cret?");
    stayed_open_after_mistakes = window.isVisible();
    fill("", "S3cret!", "S3cret!");
  });
  Click(form, "CommandPassword");
  EXPECT_TRUE(stayed_open_after_mistakes);
  EXPECT_EQ(test::Shown(t.prompter).value(0), Msg(1037) + '|' + Msg(1036));
  EXPECT_EQ(t.prompter.Texts().mid(1, 2), (QStringList{Msg(991), Msg(990)}));
  EXPECT_EQ(t->DatabasePassword(), "S3cret!");
  EXPECT_TRUE(t->Db().Encrypted());
}

// Cancel at the question changes nothing; Stop after the first patient
// leaves the others (which patient comes first is the run's own rule).
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
    label = Child<QLabel>(window, "Label1")->text();
    button = Child<QPushButton>(window, "Command1")->text();
    Click(window, "Command1");
    closed = !window.isVisible();
  });
  Click(form, "cmdRecategorise");
  EXPECT_EQ(t.prompter.Texts().last(), Msg(1034));
  EXPECT_EQ(label + '|' + button, "Recategorise stopped|&Close");
  EXPECT_TRUE(closed);
  EXPECT_EQ(menus, (std::vector<bool>{false, true}));
  EXPECT_FALSE(t->Categorisation().RecategoriseStop);
  EXPECT_EQ(PatientsRecategorised(), 1);
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
  window.Run();
  EXPECT_FALSE(progress_dialog_seen);
  EXPECT_EQ(Child<QLabel>(window, "Label1")->text(), "Recategorise finished");
  EXPECT_EQ(Child<QProgressBar>(window, "ProgressBar1")->value(), 2);
  app.EndProgram(false);
}

// What the tables hold and every refusal of a lookup are tested with the
// tables; the window shows either table and reports a lookup it refuses.
TEST_F(MaintenanceWindowTest, AgeTablesShowAndLookUp) {
  const auto& tables = t->Categorisation().age_tables;
  ASSERT_TRUE(tables.male.loaded && tables.female.loaded);
  FormAgeTables window(*t);
  auto* grid = Child<QTableWidget>(window, "MSFlexGridMale");
  ASSERT_EQ(grid->rowCount(), 41);
  EXPECT_EQ(grid->horizontalHeaderItem(5)->text(), "6kHz");
  EXPECT_EQ(grid->item(40, 0)->text(), "60 or over");
  auto shown = [&] {
    return Child<QLabel>(window, "LabelTable")->text() + '|' + grid->item(10, 4)->text();
  };
  EXPECT_EQ(shown(), "Male|" + QString::number(tables.male.values[10][3]));
  Child<QAction>(window, "mnuFemale")->trigger();
  EXPECT_EQ(shown(), "Female|" + QString::number(tables.female.values[10][3]));

  // Each lookup: the result box, then what was reported.
  const QString report = "|An error has occurred: %1 (frmagetables command1_click:954)";
  const struct {
    const char *age, *frequency, *sex;
    QString shown;
  } cases[] = {
      {"17", "4000", "male", QString::number(tables.male.values[0][3]) + '|'},
      {"45", "8000", "M", report.arg("Invalid freq Error No: 4000")},
      {"forty", "1000", "M", report.arg("Type mismatch Error No: 13")},
  };
  for (const auto& c : cases) {
    const qsizetype before = t.prompter.Texts().size();
    Child<QLineEdit>(window, "Text1")->setText(c.age);
    Child<QLineEdit>(window, "Text2")->setText(c.frequency);
    Child<QLineEdit>(window, "Text3")->setText(c.sex);
    Click(window, "Command1");
    EXPECT_EQ(
        Child<QLineEdit>(window, "Text4")->text() + '|' + t.prompter.Texts().mid(before).join('|'),
        c.shown);
  }
}

}  // namespace
}  // namespace sonivera::ui
