// Fills a program folder with a generated register, for demonstrations and
// measurements:
//
//   sonivera_generate --folder DIR [--patients N] [--tests T] [--seed S]
//                     [--categorise]
//
// The folder's database is created when missing; the generated patients are
// added to it. The same seed always gives the same register.
#include <QCommandLineParser>
#include <QCoreApplication>
#include <cstdio>

#include "app/Application.h"
#include "db/Sqlite.h"
#include "register/Recategorise.h"
#include "register/RegisterGenerator.h"

using namespace sonivera;

namespace {
// Prints every message to stderr and answers with the default.
class PrintingPrompter : public Prompter {
 public:
  Answer Show(const QString& text, const QString& title, Buttons, Answer default_answer,
              Icon) override {
    std::fprintf(stderr, "%s: %s\n", qPrintable(title), qPrintable(text));
    return default_answer;
  }
  std::optional<QString> OpenFile(const FileDialogSpec&) override { return std::nullopt; }
  std::optional<QString> SaveFile(const FileDialogSpec&) override { return std::nullopt; }
  std::unique_ptr<Progress> StartProgress(const QString&, int) override { return nullptr; }
  std::optional<LoginResult> Login() override { return LoginResult{}; }
};
}  // namespace

int main(int argc, char** argv) {
  QCoreApplication qapp(argc, argv);
  QCommandLineParser parser;
  parser.addHelpOption();
  parser.addOption({"folder", "The program folder to fill.", "DIR"});
  parser.addOption({"patients", "Number of patients (default 100).", "N", "100"});
  parser.addOption({"tests", "Audiograms per patient (default 5).", "T", "5"});
  parser.addOption({"seed", "Seed of the generator (default 1).", "S", "1"});
  parser.addOption({"first", "First patient number (default 100001).", "NO", "100001"});
  parser.addOption({"categorise", "Categorise every generated patient (HSE)."});
  parser.process(qapp);
  if (!parser.isSet("folder")) {
    std::fprintf(stderr, "--folder is required\n");
    return 2;
  }
  bool ok_patients = false, ok_tests = false, ok_seed = false, ok_first = false;
  GeneratorOptions options;
  options.patients = parser.value("patients").toInt(&ok_patients);
  options.tests_per_patient = parser.value("tests").toInt(&ok_tests);
  options.seed = parser.value("seed").toUInt(&ok_seed);
  options.first_number = parser.value("first").toInt(&ok_first);
  if (!ok_patients || !ok_tests || !ok_seed || !ok_first || options.patients < 0 ||
      options.tests_per_patient < 1) {
    std::fprintf(stderr, "--patients, --tests, --seed and --first take whole numbers\n");
    return 2;
  }
  PrintingPrompter prompter;
  Application app{ProgramFolder(parser.value("folder")), prompter};
  if (!app.Initialise()) return 1;
  app.Schemes().CheckHSE = true;
  try {
    auto& conn = app.Db().Conn();
    CategoriseEnv env = app.ForCategorising();
    const auto outcome = GenerateRegister(conn, options, parser.isSet("categorise") ? &env : nullptr,
                                          [](int done, int total) {
                                            std::fprintf(stderr, "generated %d/%d patients\n",
                                                         done, total);
                                          });
    std::printf("%d patients, %d audiograms written to %s\n", outcome.patients, outcome.tests,
                qPrintable(app.Db().Path()));
  } catch (const std::exception& e) {
    std::fprintf(stderr, "generation failed: %s\n", e.what());
    return 1;
  }
  app.Db().Close();
  return 0;
}
