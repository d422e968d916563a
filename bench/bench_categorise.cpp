// Categorisation speed: audiograms per second for Categorise alone, and the
// time of a whole-database recategorisation of a generated register.
//
//   bench_categorise [PATIENTS [TESTS_PER_PATIENT]]   (default 20000 5)
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <cstdio>
#include <ctime>
#include <random>

#include "BenchTable.h"
#include "SilentPrompter.h"
#include "app/Application.h"
#include "base/ErrorLog.h"
#include "categorise/Categorise.h"
#include "categorise/Recategorise.h"
#include "register/RegisterGenerator.h"

using namespace sonivera;
using sonivera::bench::SilentPrompter;

namespace {
struct Audiogram {
  std::array<std::array<QString, 9>, 4> rows;
  CurrentTestView view;
};

std::vector<Audiogram> MakeAudiograms(int count) {
  std::mt19937 random(7);
  std::vector<Audiogram> audiograms(count);
  for (auto& a : audiograms) {
    for (auto& row : a.rows) {
      const int base = static_cast<int>(random() % 60);
      for (auto& cell : row) cell = QString::number(base + static_cast<int>(random() % 30) - 10);
    }
    const QDate test = QDate(2000, 1, 1).addDays(random() % 9000);
    a.view.DateofTest = test.toString("dd/MM/yyyy");
    a.view.PreviousTest = test.addDays(-static_cast<int>(random() % 1500)).toString("dd/MM/yyyy");
    a.view.DOB = test.addDays(-6000 - static_cast<int>(random() % 16000)).toString("dd/MM/yyyy");
    a.view.sex = random() % 2 ? Sex::Male : Sex::Female;
    a.view.PatNo = QString::number(random() % 100000);
  }
  return audiograms;
}

double BenchCategorise(const QString& folder, const char* label, const SchemeChecks& checks,
                       int lcid) {
  const auto audiograms = MakeAudiograms(20000);
  SilentPrompter prompter;
  ErrorLog log(folder + "/bench-err.log");
  ErrorReporter reporter(prompter, log);
  CategorisationState state;
  CategoriseEnv env{state, checks, true, lcid, reporter};
  constexpr int kRounds = 5;
  QElapsedTimer timer;
  timer.start();
  qint64 length = 0;
  for (int round = 0; round < kRounds; ++round) {
    for (const auto& a : audiograms) {
      for (int row = 0; row < 4; ++row) {
        for (int column = 0; column < 9; ++column)
          state.grid.SetCell(row, column, a.rows[row][column]);
      }
      state.view = a.view;
      Categorise(env);
      length += state.CategorisationText.size();
    }
  }
  const double seconds = timer.nsecsElapsed() / 1e9;
  const double total = static_cast<double>(audiograms.size()) * kRounds;
  std::printf("Categorise, %-22s %10.0f audiograms/s  (%.0f in %.3f s, %lld characters)\n", label,
              total / seconds, total, seconds, static_cast<long long>(length));
  return total / seconds;
}
}  // namespace

int main(int argc, char** argv) {
  QCoreApplication application(argc, argv);
  const int patients = argc > 1 ? std::atoi(argv[1]) : 20000;
  const int tests = argc > 2 ? std::atoi(argv[2]) : 5;
  QTemporaryDir dir;
  if (!dir.isValid()) {
    std::fprintf(stderr, "no temporary folder\n");
    return 1;
  }

  SchemeChecks hse;
  hse.CheckHSE = true;
  SchemeChecks french;
  french.CheckMP42 = french.CheckPAM = french.CheckIPA = true;
  const double hse_rate = BenchCategorise(dir.path(), "HSE:", hse, 2057);
  const double french_rate = BenchCategorise(dir.path(), "MP42, PAM and IPA:", french, 1036);
  bench::TableRow("Categorise alone, HSE", hse_rate / 1e6, "million audiograms/s", -1, "",
                  "> 1 million/s");
  bench::TableRow("Categorise alone, MP42 + PAM + IPA", french_rate / 1e6, "million audiograms/s",
                  -1, "", "");

  SilentPrompter prompter;
  Application app(ProgramFolder(dir.path()), prompter);
  app.State().UserLocale = 2057;
  if (!app.Initialise()) {
    std::fprintf(stderr, "start-up failed\n");
    return 1;
  }
  app.State().schemes = hse;
  GeneratorOptions options;
  options.patients = patients;
  options.tests_per_patient = tests;
  QElapsedTimer timer;
  timer.start();
  const GeneratorOutcome made = GenerateRegister(app.Db().Conn(), options);
  std::printf("Generated register: %d patients, %d audiograms in %.2f s\n", made.patients,
              made.tests, timer.nsecsElapsed() / 1e9);

  timer.restart();
  const std::clock_t cpu_start = std::clock();
  const RecategoriseOutcome outcome = RecategoriseAll(app);
  const double seconds = timer.nsecsElapsed() / 1e9;
  const double cpu_seconds = static_cast<double>(std::clock() - cpu_start) / CLOCKS_PER_SEC;
  std::printf(
      "RecategoriseAll: %d of %d patients (%d audiograms) in %.2f s (%.2f s CPU), "
      "%.0f audiograms/s\n",
      outcome.patients_done, outcome.patients_total, made.tests, seconds, cpu_seconds,
      made.tests / seconds);
  const QString label = QStringLiteral("Recategorise all, %1 audiograms").arg(made.tests);
  bench::TableRow(label.toUtf8().constData(), seconds, "s", -1, "", "< 3 s");
  QFile load("/proc/loadavg");
  if (load.open(QIODevice::ReadOnly)) {
    std::printf("Load average while measuring: %s", load.readLine().constData());
  }
  std::printf("Messages shown during the run: %d (the question included)\n", prompter.shown);
  app.EndProgram();
  return outcome.patients_done == made.patients ? 0 : 1;
}
