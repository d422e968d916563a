#include "instrument/CompanionRecord.h"

#include "categorise/CategorisationState.h"
#include "register/RecordDisplay.h"
#include "register/RecordEditor.h"

namespace sonivera {

CompanionOutcome RunCompanionOnRecord(CompanionLink& link, RecordEditor& editor,
                                      db::Connection& connection, AudiogramGrid& grid, bool launch,
                                      bool editing, bool register_empty,
                                      const QString& current_pat_no, bool& new_test_pending) {
  if (editing) {
    link.Reporter().prompter().Show(kTestErrorText, kTestErrorTitle);
    return {};
  }
  QString previous_date;
  if (register_empty) {
    if (!editor.mnuAddPatient()) return {};
  } else {
    if (!editor.mnuInsertResults()) return {};
    try {
      const auto tests = PatientTests(connection, current_pat_no);
      if (!tests.empty()) previous_date = DateBoxText(tests.front().date);
    } catch (const std::exception& e) {
      link.Reporter().Report(QString::fromUtf8(e.what()), 0, QStringLiteral("LaunchorGet"));
      editor.mnuCancel();
      return {};
    }
  }
  if (launch) new_test_pending = false;
  // The "Prev." row holds the latest test's thresholds, empty for a new patient.
  auto outcome = link.LaunchOrGet(launch, editor.Entries().Previous, previous_date);
  switch (outcome.kind) {
    case CompanionOutcome::kTest:
      companion::ApplyCompanionTest(outcome.test, editor.Entries(), grid);
      new_test_pending = true;
      if (editor.on_redraw) editor.on_redraw();
      break;
    case CompanionOutcome::kCsvResult:
      // The import opens records of its own.
      editor.mnuCancel();
      if (link.Hooks().import_csv) link.Hooks().import_csv(outcome.csv_path);
      break;
    case CompanionOutcome::kNothing:
      editor.mnuCancel();
      break;
  }
  return outcome;
}

}  // namespace sonivera
