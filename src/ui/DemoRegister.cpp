#include "ui/DemoRegister.h"

#include <QDate>
#include <QDir>

#include "app/Application.h"
#include "categorise/Schemes.h"
#include "db/Sqlite.h"
#include "register/Recategorise.h"
#include "register/RecordDisplay.h"
#include "register/RegisterGenerator.h"
#include "vision/VisionDemo.h"

namespace sonivera::ui {

QString DefaultDemoFolder() {
  return QDir::homePath() + QStringLiteral("/.local/share/sonivera-demo");
}

int SeedDemoRegister(Application& app, int patients) {
  db::Connection& connection = app.Db().Conn();
  if (PatientCount(connection) > 0) return 0;
  // A new folder has no scheme chosen: use the locale's own schemes, so that
  // every demonstration audiogram carries a categorisation.
  Settings& settings = app.settings();
  if (settings.SchemeList.isEmpty()) {
    SchemeChecks checks;
    if (IsFrenchLocale(app.UserLocale())) {
      checks.CheckMP42 = checks.CheckPAM = checks.CheckIPA = true;
    } else {
      checks.CheckHSE = true;
    }
    settings.SchemeList = BuildSchemeList(checks);
    ApplySchemeList(settings.SchemeList, app.UserLocale(), app.Schemes());
  }
  GeneratorOptions options;
  options.patients = patients;
  options.tests_per_patient = 4;
  options.seed = 20240628;
  options.first_number = 100001;
  options.full_questionnaire = true;
  // Recent enough for the recall dates to look current.
  options.last_test_date = QDate::currentDate().addDays(-3);
  CategoriseEnv env = app.ForCategorising();
  const GeneratorOutcome outcome = GenerateRegister(connection, options, &env);
  vision::SeedDemoVisionTests(connection, options.seed);
  ChartOptions& chart = settings.chart;
  chart.CheckBand = true;
  chart.CheckPredictive = true;
  chart.ShowPredictiveLine = !app.ChartFiles().predictive.male.IsEmpty();
  chart.PredictiveLineAllowed = chart.ShowPredictiveLine;
  return outcome.patients;
}

}  // namespace sonivera::ui
