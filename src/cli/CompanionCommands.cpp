// ux730: the PC audiometer's companion program from the command line.
#include <QFileInfo>
#include <cstdio>

#include "cli/Session.h"
#include "instrument/CompanionRecord.h"
#include "interchange/RegisterExport.h"
#include "interchange/RegisterImport.h"
#include "register/AudiogramStore.h"
#include "register/RecordEditor.h"

namespace sonivera::cli {

namespace {

void PrintLine(const QString& text) { std::printf("%s\n", text.toLocal8Bit().constData()); }

const char* const kFrequencies[] = {"125", "250", "500", "750", "1k", "1.5k",
                                    "2k",  "3k",  "4k",  "6k",  "8k"};

QString EarLine(const QString& ear, const companion::EarValues& values) {
  QStringList items;
  for (int f = 0; f < companion::kFrequencyCount; ++f) {
    items << QStringLiteral("%1:%2").arg(QLatin1String(kFrequencies[f])).arg(values[f]);
  }
  return ear + items.join(u' ');
}

// The link on the session's program folder and instrument port, exporting
// and importing through the same services as the main window.
CompanionHooks SessionHooks(Application& app, RecordEditor& editor) {
  CompanionHooks hooks;
  hooks.export_register = [&app](const QString& path) {
    const auto rows = RegisterRows(app.Db().Conn(), RegisterSql());
    return ExportRegisterCsv(app.Folder(), app.Db(), app.Reporter(), QFileInfo(path).fileName(),
                             rows)
        .written;
  };
  hooks.import_csv = [&app, &editor](const QString& path) {
    RegisterImporter(app.ForImport(editor, nullptr)).ChooseAndImport(QFileInfo(path).fileName());
  };
  return hooks;
}

int RunTestOrFetch(const CommandContext& context, bool launch, const QString& pat_no) {
  Session session = StartSession(context);
  if (!session.app) return 1;
  Application& app = *session.app;
  RecordEditor editor(app.ForEditor(), nullptr);
  CompanionLink link(app.Folder(), app.settings().PcAudiometerPort, app.Reporter(),
                     SessionHooks(app, editor));
  bool exists = false;
  try {
    exists = AudiogramStore(app.Db().Conn()).PatientExists(pat_no);
  } catch (const std::exception& e) {
    EndSession(session);
    return Fail(QString::fromUtf8(e.what()));
  }
  const int shown_before = session.prompter->Shown();
  const auto outcome = RunCompanionOnRecord(link, editor, app.Db().Conn(),
                                            app.Categorisation().grid, launch, !exists,
                                            exists ? pat_no : QString());
  int code = 1;
  if (outcome.kind == CompanionOutcome::kTest) {
    if (!exists) editor.Entries().PatNo = pat_no;
    // Saved as an import saves: checked and categorised, without the
    // questions only a reviewing examiner can answer.
    editor.SetBulkMode(true);
    const auto saved = editor.Save();
    editor.SetBulkMode(false);
    if (saved == RecordEditor::SaveResult::Saved) {
      const auto& test = outcome.test;
      PrintLine(QStringLiteral("Patient: %1").arg(pat_no));
      PrintLine(QStringLiteral("Date of test: %1").arg(test.date_box));
      PrintLine(QStringLiteral("Test type: %1").arg(test.test_type));
      PrintLine(EarLine(QStringLiteral("Left:  "), test.current_left));
      PrintLine(EarLine(QStringLiteral("Right: "), test.current_right));
      code = 0;
    } else {
      editor.Cancel();
      std::fprintf(stderr, "The audiogram was not saved.\n");
    }
  } else if (outcome.kind == CompanionOutcome::kNothing &&
             session.prompter->Shown() == shown_before) {
    // A reply that is only logged (an error reply of the wrong length).
    std::fprintf(stderr, "No results: the companion's reply is written in err.log.\n");
  } else if (outcome.kind == CompanionOutcome::kCsvResult) {
    code = 0;  // the import wrote its own summary and reports
  }
  EndSession(session);
  return code;
}

int SendList(const CommandContext& context) {
  Session session = StartSession(context);
  if (!session.app) return 1;
  Application& app = *session.app;
  RecordEditor editor(app.ForEditor(), nullptr);
  CompanionLink link(app.Folder(), app.settings().PcAudiometerPort, app.Reporter(),
                     SessionHooks(app, editor));
  const bool sent = link.SendData();
  if (sent) PrintLine(QStringLiteral("Patient list passed to the companion program."));
  EndSession(session);
  return sent ? 0 : 1;
}

const Command kUx730{
    "ux730", "test PATNO | fetch PATNO | send",
    "The PC audiometer through its companion program Bridger.exe in the program folder.\n"
    "test: runs a test, handing the companion the patient's latest thresholds (prev.tmp),\n"
    "and saves the test it reports as a new audiogram of PATNO (a new patient when the\n"
    "number is not in the register), checked and categorised; prints the date, test type\n"
    "and thresholds. fetch: the same with the last test made on the instrument. A reply\n"
    "problem is written to stderr and err.log and nothing is saved (exit 1).\n"
    "send: writes the register to veldata.csv (\"[SNV/5 Format]\") and starts the\n"
    "companion with \"X \" to pass the patient list to the instrument.",
    [](const CommandContext& context) {
      const Command& self = CommandNamed("ux730");
      const QString action = context.args.value(0);
      if (action == QLatin1String("send")) {
        if (context.args.size() != 1) return Usage(self, "send takes no further arguments");
        return SendList(context);
      }
      if (action != QLatin1String("test") && action != QLatin1String("fetch")) {
        return Usage(self, "expects test, fetch or send");
      }
      if (context.args.size() != 2 || context.args[1].trimmed().isEmpty()) {
        return Usage(self, QStringLiteral("%1 expects one patient number").arg(action));
      }
      return RunTestOrFetch(context, action == QLatin1String("test"), context.args[1].trimmed());
    }};

const CommandRegistration kRegisterUx730(kUx730);

}  // namespace

}  // namespace sonivera::cli
