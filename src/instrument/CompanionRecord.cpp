#include "instrument/CompanionRecord.h"

#include "categorise/CategorisationState.h"
#include "register/RecordDisplay.h"
#include "register/RecordEditor.h"

namespace sonivera {

CompanionOutcome RunCompanionOnRecord(CompanionLink& link, RecordEditor& editor,
                                      db::Connection& connection, AudiogramGrid& grid, bool launch,
                                      bool register_empty, const QString& current_pat_no) {
  if (editor.Editing()) {
    link.Reporter().prompter().Show(kTestErrorText, kTestErrorTitle);
    return {};
  }
  QString previous_date;
  if (register_empty) {
    if (!editor.AddPatient()) return {};
  } else {
    if (!editor.InsertAudiogram(current_pat_no)) return {};
    try {
      const auto tests = PatientTestKeys(connection, current_pat_no);
      if (!tests.empty()) previous_date = DateBoxText(tests.front().date);
    } catch (const std::exception& e) {
      link.Reporter().Report(QString::fromUtf8(e.what()), 0, QStringLiteral("LaunchorGet"));
      editor.Cancel();
      return {};
    }
  }
  if (launch) editor.SetNewTestPending(false);
  // The "Prev." row holds the latest test's thresholds, empty for a new patient.
  auto outcome = link.LaunchOrGet(launch, editor.Entries().Previous, previous_date);
  switch (outcome.kind) {
    case CompanionOutcome::kTest:
      companion::ApplyCompanionTest(outcome.test, editor.Entries(), grid);
      editor.SetNewTestPending(true);
      editor.Redraw();
      break;
    case CompanionOutcome::kCsvResult:
      // The import opens records of its own.
      editor.Cancel();
      if (link.Hooks().import_csv) link.Hooks().import_csv(outcome.csv_path);
      break;
    case CompanionOutcome::kNothing:
      editor.Cancel();
      break;
  }
  return outcome;
}

}  // namespace sonivera
