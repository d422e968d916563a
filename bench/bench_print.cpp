// Batch print speed: every audiogram of a generated register of 1,000
// patients (two tests each, so every page has a previous test; every test has
// the whole questionnaire answered, the fullest page) printed to one PDF
// file. Prints the time, the pages and the file's size.
//
//   bench_print [PATIENTS [PDF]]   (default 1000, a temporary file)
#include <QElapsedTimer>
#include <QFileInfo>
#include <QGuiApplication>
#include <QTemporaryDir>
#include <cstdio>

#include "SilentPrompter.h"
#include "app/Application.h"
#include "register/RegisterGenerator.h"
#include "register/RegisterQuery.h"
#include "report/AudiogramReport.h"
#include "report/BatchPrint.h"
#include "report/ReportOutput.h"

using namespace sonivera;

int main(int argc, char** argv) {
  // Text needs the fonts of a GUI application; no screen is needed.
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QGuiApplication qapp(argc, argv);
  const int patients = argc > 1 ? std::atoi(argv[1]) : 1000;
  QTemporaryDir temp;
  const QString pdf_path =
      argc > 2 ? QString::fromLocal8Bit(argv[2]) : temp.filePath(QStringLiteral("batch.pdf"));
  bench::SilentPrompter prompter;
  Application app{ProgramFolder(temp.path()), prompter};
  if (!app.Initialise()) {
    std::fprintf(stderr, "start-up failed: %s\n", prompter.last.toLocal8Bit().constData());
    return 1;
  }
  GeneratorOptions options;
  options.patients = patients;
  options.tests_per_patient = 2;
  options.seed = 2026;
  options.full_questionnaire = true;
  GenerateRegister(app.Db().Conn(), options);

  const report::AudiogramReportSetup setup =
      report::ReportSetupFor(app.Folder(), app.Lists(), app.settings().chart,
                             app.ChartFiles(), app.Reporter());

  QElapsedTimer timer;
  timer.start();
  const auto queue = report::QueueBatch(app.Db().Conn(), RegisterSql());
  const double queued = timer.nsecsElapsed() / 1e9;
  report::BatchPrintResult result;
  {
    auto pdf = report::PdfFile(pdf_path, QStringLiteral("batch"));
    result = report::PrintBatchReport(*pdf, app.Db().Conn(), queue, setup);
  }
  const double total = timer.nsecsElapsed() / 1e9;
  if (result.status != report::PrintStatus::Printed) {
    std::fprintf(stderr, "printing failed\n");
    return 1;
  }
  std::printf("batch print of %d audiograms to one PDF: %.2f s (queue %.2f s), %.1f ms a page\n",
              result.outcome.printed, total, queued, total * 1000.0 / result.outcome.printed);
  std::printf("PDF size: %.1f MB (%lld bytes)\n", QFileInfo(pdf_path).size() / 1048576.0,
              static_cast<long long>(QFileInfo(pdf_path).size()));
  app.EndProgram(false);
  return 0;
}
