#pragma once

#include <QString>

#include "instrument/CompanionLink.h"

namespace sonivera {

class AudiogramGrid;
class RecordEditor;
namespace db {
class Connection;
}

// The refusal of Test and Get Data while a record is open.
inline const QString kTestErrorText = QStringLiteral(
    "Running a test is not allowed either in Edit Mode (use Cancel Edit, or Post), or if there "
    "are no patients.");
inline const QString kTestErrorTitle = QStringLiteral("Test Error");

// Test (launch) or Get Data as the main window and the command line run
// them: refused with "Test Error" while the editor has a record open; otherwise a new record is
// started (a new patient when the register is empty, else a new audiogram of
// the current patient, whose latest test is handed to the companion as the
// previous one), the companion is run and its test is put into the record,
// which is left open for the examiner to review and save. A result that came
// as veldata.csv closes the record and is imported through the link's
// import hook; a reply problem closes the record unsaved. The editor's new
// test pending (which makes the save offer the recall window) is cleared by
// a test run and set when a test has arrived.
CompanionOutcome RunCompanionOnRecord(CompanionLink& link, RecordEditor& editor,
                                      db::Connection& connection, AudiogramGrid& grid, bool launch,
                                      bool register_empty, const QString& current_pat_no);

}  // namespace sonivera
