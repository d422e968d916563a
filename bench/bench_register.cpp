// Register speed on a generated register: the first screen of rows, a filter
// on a categorisation code, and saving one new audiogram for a patient with
// 20 tests.
//
//   bench_register [PATIENTS [TESTS_PER_PATIENT [FOLDER]]]   (default 100000 5)
//
// With FOLDER, a register generated there by an earlier run is used again
// (generating and categorising 500,000 audiograms takes a few minutes).
#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <cstdio>

#include "BenchTable.h"
#include "SilentPrompter.h"
#include "app/Application.h"
#include "db/Sqlite.h"
#include "register/Recategorise.h"
#include "register/RecordEditor.h"
#include "register/Register.h"
#include "register/RegisterGenerator.h"

using namespace sonivera;
using sonivera::bench::SilentPrompter;

namespace {
double Ms(const QElapsedTimer& timer) { return timer.nsecsElapsed() / 1e6; }

// The median of a few runs of an operation, in milliseconds.
template <typename F>
double Median(int runs, F&& operation) {
  std::vector<double> times;
  for (int i = 0; i < runs; ++i) {
    QElapsedTimer timer;
    timer.start();
    operation();
    times.push_back(Ms(timer));
  }
  std::sort(times.begin(), times.end());
  return times[times.size() / 2];
}

void Generate(Application& app, int patients, int tests) {
  auto& conn = app.Db().Conn();
  GeneratorOptions options;
  options.patients = patients;
  options.tests_per_patient = tests;
  options.seed = 2024;
  QElapsedTimer timer;
  timer.start();
  // Linked and categorised as it is written, as an import stores it.
  CategoriseEnv env = app.ForCategorising();
  const auto outcome = GenerateRegister(conn, options, &env, [](int done, int total) {
    if (done % 20000 == 0 || done == total)
      std::fprintf(stderr, "  generated %d/%d\n", done, total);
  });
  std::printf("generate and categorise %d patients, %d audiograms: %.1f s\n", outcome.patients,
              outcome.tests, Ms(timer) / 1000.0);
}

// A patient with 20 audiograms, for the save figure.
void AddLongRecord(Application& app) {
  auto& conn = app.Db().Conn();
  GeneratorOptions options;
  options.patients = 1;
  options.tests_per_patient = 20;
  options.number_prefix = QStringLiteral("LONG");
  options.last_test_date = QDate(2023, 1, 1);
  db::Transaction transaction(conn);
  AudiogramStore store(conn);
  const auto records = GeneratePatient(options, 0);
  for (size_t t = 0; t < records.size(); ++t) {
    store.Write(t == 0 ? EditMode::AddingPatient : EditMode::InsertingTest, records[t]);
  }
  CategoriseEnv env = app.ForCategorising();
  RecategorisePatient(app.Db(), env, records.front().patient.PatNo);
  transaction.Commit();
}
}  // namespace

int main(int argc, char** argv) {
  QCoreApplication qapp(argc, argv);
  const int patients = argc > 1 ? std::atoi(argv[1]) : 100000;
  const int tests = argc > 2 ? std::atoi(argv[2]) : 5;
  QTemporaryDir temp;
  const QString folder = argc > 3 ? QString::fromLocal8Bit(argv[3]) : temp.path();
  QDir().mkpath(folder);
  const bool reuse = QFile::exists(folder + QStringLiteral("/sonivera5.mdb"));

  SilentPrompter prompter;
  Application app{ProgramFolder(folder), prompter};
  app.SetUserLocale(2057);
  if (!app.Initialise()) {
    std::fprintf(stderr, "start-up failed: %s\n", qPrintable(prompter.last));
    return 1;
  }
  app.Schemes().CheckHSE = true;
  app.SetExaminerName(QStringLiteral("Bench"));
  if (!reuse) {
    Generate(app, patients, tests);
    AddLongRecord(app);
  }
  auto& conn = app.Db().Conn();
  std::printf("register: %s patients, %s audiograms\n",
              qPrintable(conn.QueryValue("SELECT COUNT(*) FROM PatDetails")->toString()),
              qPrintable(conn.QueryValue("SELECT COUNT(*) FROM TestDetails")->toString()));

  Register reg(app.Db(), app.Reporter(), app.UserLocale());
  const double first_screen = Median(5, [&] {
    reg.BuildRegister();
    reg.GoToChosenRecord(0);
  });
  std::printf("register first screen (%d rows): %.1f ms  (target < 300 ms)\n",
              reg.Model().rowCount(), first_screen);
  const double status = Median(3, [&] {
    reg.Model().Requery();
    reg.StatusTexts();
  });
  std::printf("register status bar counts: %.1f ms  (%s, %s)\n", status,
              qPrintable(reg.StatusTexts()[0]), qPrintable(reg.StatusTexts()[1]));

  FilterCriteria criteria;
  criteria.Category2 = true;
  const double filter = Median(3, [&] {
    reg.ApplyFilter(criteria);
    reg.GoToChosenRecord(0);
  });
  std::printf("filter on category 2, first screen: %.1f ms  (target < 1000 ms)\n", filter);
  const double filter_counts = Median(3, [&] {
    reg.ApplyFilter(criteria);
    reg.StatusTexts();
  });
  const auto filtered = reg.StatusTexts();
  std::printf("filter on category 2 with status bar counts: %.1f ms  (%s, %s)\n", filter_counts,
              qPrintable(filtered[0]), qPrintable(filtered[1]));
  reg.ClearFilter();

  RecordEditor editor(app.ForEditor(), &reg);
  const QString long_record = QStringLiteral("LONG100001");
  // New dates after the patient's newest, so that a run on a reused register
  // saves new tests too.
  const QDate after = QDate::fromString(
      conn.QueryValue("SELECT MAX(DateofTest) FROM TestDetails WHERE PatNo = 'LONG100001'")
          ->toString(),
      "yyyy-MM-dd");
  std::vector<double> saves;
  for (int i = 0; i < 5; ++i) {
    if (!editor.InsertAudiogram(long_record)) {
      std::fprintf(stderr, "insert refused\n");
      return 1;
    }
    auto& e = editor.Entries();
    e.Dates[kBoxDateofTest] = after.addDays(i + 1).toString("dd/MM/yyyy");
    e.Dates[kBoxTimeofTest] = QStringLiteral("10:00:00");
    for (int b = 0; b < 18; ++b) e.Thresholds[b] = QString::number(15 + b % 9 * 5);
    QElapsedTimer timer;
    timer.start();
    const auto result = editor.Save();
    saves.push_back(Ms(timer));
    if (result != RecordEditor::SaveResult::Saved) {
      std::fprintf(stderr, "save failed: %s\n", qPrintable(prompter.last));
      return 1;
    }
  }
  std::sort(saves.begin(), saves.end());
  // The same save as an import makes it: no register rebuild after each.
  std::vector<double> bulk_saves;
  editor.SetBulkMode(true);
  for (int i = 5; i < 10; ++i) {
    editor.InsertAudiogram(long_record);
    auto& e = editor.Entries();
    e.Dates[kBoxDateofTest] = after.addDays(i + 1).toString("dd/MM/yyyy");
    e.Dates[kBoxTimeofTest] = QStringLiteral("10:00:00");
    for (int b = 0; b < 18; ++b) e.Thresholds[b] = QString::number(15 + b % 9 * 5);
    QElapsedTimer timer;
    timer.start();
    editor.Save();
    bulk_saves.push_back(Ms(timer));
  }
  editor.SetBulkMode(false);
  std::sort(bulk_saves.begin(), bulk_saves.end());
  std::printf(
      "save one new audiogram, as an import saves it (no register rebuild): %.1f ms median\n",
      bulk_saves[bulk_saves.size() / 2]);
  QElapsedTimer move_timer;
  move_timer.start();
  reg.BuildRegister();
  reg.MoveToPatient(QStringLiteral("LONG100001"));
  std::printf("rebuild the register and move to that patient (row %d): %.1f ms\n", reg.CurrentRow(),
              Ms(move_timer));
  std::printf(
      "save one new audiogram for a patient with 20+ tests (with relink, "
      "recategorise and register rebuild): %.1f ms median  (target < 50 ms)\n",
      saves[saves.size() / 2]);
  const QString label =
      QStringLiteral("Save one audiogram from the main window, register of %1 patients")
          .arg(patients);
  bench::TableRow(label.toUtf8().constData(), saves[saves.size() / 2], "ms",
                  bulk_saves[bulk_saves.size() / 2], "the save alone, no register update",
                  "< 50 ms");
  bench::TableRow("Register first screen", first_screen, "ms", -1, "", "< 300 ms");
  bench::TableRow("Filter on category 2, first screen", filter, "ms", -1, "", "< 1000 ms");
  return 0;
}
