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
#include "register/Recategorise.h"
#include "register/RegisterGenerator.h"

using namespace sonivera;
using sonivera::bench::SilentPrompter;

namespace {
struct Audiogram {
  AudiogramGrid grid;
  CurrentTestView view;
};

std::vector<Audiogram> MakeAudiograms(int count) {
  std::mt19937 random(7);
  std::vector<Audiogram> audiograms(count);
  for (auto& a : audiograms) {
    a.grid.Clear();
    for (int row = 0; row < 4; ++row) {
      const int base = static_cast<int>(random() % 60);
      for (int column = 0; column < 9; ++column) {
        a.grid.SetCell(row, column, QString::number(base + static_cast<int>(random() % 30) - 10));
      }
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

double ThreadCpuSeconds() {
  timespec now{};
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
  return static_cast<double>(now.tv_sec) + now.tv_nsec / 1e9;
}

struct Rates {
  double alone = 0;      // the audiogram moved into the state: Categorise only
  double copied_in = 0;  // the grid and view copied in first, as a recategorisation does
};

Rates BenchCategorise(const QString& folder, const char* label, const SchemeChecks& checks,
                      int lcid) {
  auto audiograms = MakeAudiograms(20000);
  SilentPrompter prompter;
  ErrorLog log(folder + "/bench-err.log");
  ErrorReporter reporter(prompter, log);
  CategorisationState state;
  CategoriseEnv env{state, checks, true, lcid, reporter};
  constexpr int kRounds = 5;
  const double total = static_cast<double>(audiograms.size()) * kRounds;
  Rates rates;
  for (const bool copy : {false, true}) {
    // Each round works on fresh copies: a grid keeps the numbers it has
    // read, and a recategorisation loads every test into the grid anew.
    double seconds = 0, cpu_seconds = 0;
    qint64 length = 0;
    for (int round = 0; round < kRounds; ++round) {
      std::vector<Audiogram> work = audiograms;
      QElapsedTimer timer;
      timer.start();
      const double cpu_start = ThreadCpuSeconds();
      for (auto& a : work) {
        if (copy) {
          state.grid = a.grid;
          state.view = a.view;
        } else {
          std::swap(state.grid, a.grid);
          std::swap(state.view, a.view);
        }
        Categorise(env);
        length += state.CategorisationText.size();
        if (!copy) {
          std::swap(state.grid, a.grid);
          std::swap(state.view, a.view);
        }
      }
      cpu_seconds += ThreadCpuSeconds() - cpu_start;
      seconds += timer.nsecsElapsed() / 1e9;
    }
    // The machine is shared: the rate is taken from the CPU time this
    // thread had, the wall time is shown beside it.
    std::printf(
        "Categorise, %-22s %-16s %9.0f audiograms/s of CPU  (%.0f in %.3f s CPU, %.3f s wall, "
        "%lld characters)\n",
        label, copy ? "grid copied in:" : "alone:", total / cpu_seconds, total, cpu_seconds,
        seconds, static_cast<long long>(length));
    (copy ? rates.copied_in : rates.alone) = total / cpu_seconds;
  }
  return rates;
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
  const Rates hse_rate = BenchCategorise(dir.path(), "HSE:", hse, 2057);
  const Rates french_rate = BenchCategorise(dir.path(), "MP42, PAM and IPA:", french, 1036);
  bench::TableRow("Categorise alone, HSE", hse_rate.alone / 1e6, "million audiograms/s of CPU", -1, "",
                  "> 1 million/s");
  bench::TableRow("  the same with the grid copied in first", hse_rate.copied_in / 1e6,
                  "million audiograms/s of CPU", -1, "", "");
  bench::TableRow("Categorise alone, MP42 + PAM + IPA", french_rate.alone / 1e6,
                  "million audiograms/s of CPU", -1, "", "");

  SilentPrompter prompter;
  Application app(ProgramFolder(dir.path()), prompter);
  app.SetUserLocale(2057);
  if (!app.Initialise()) {
    std::fprintf(stderr, "start-up failed\n");
    return 1;
  }
  app.Schemes() = hse;
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
  const RecategoriseOutcome outcome = RecategoriseAll(app.Db(), app.ForCategorising());
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
  app.EndProgram(false);
  return outcome.patients_done == made.patients ? 0 : 1;
}
