#pragma once

#include <QString>
#include <optional>
#include <vector>

#include "categorise/CategorisationState.h"
#include "register/AudiogramStore.h"
#include "register/EntryFields.h"

namespace sonivera {

namespace db {
class Connection;
}

// The Historic/Latest marker of the test page.
struct TestMarker {
  QString caption;        // message 1116 "Latest Data" or 1115 "Historic Data"
  bool historic = false;  // historic data is drawn in blue, RGB(0, 0, 255)
};
TestMarker MarkerFor(int test_index);

// The number of patients in the register.
qint64 PatientCount(db::Connection& connection);

// The keys of a patient's audiograms, newest first.
std::vector<TestKey> PatientTestKeys(db::Connection& connection, const QString& pat_no);

// The details and results pages of a patient and one of its tests.
struct RecordView {
  EntryFields entries;  // the boxes as shown, "Prev." holding the next older test
  QString baseline;     // "First Audiogram" or the baseline's date
  TestMarker marker;
  int record_number = 0;  // TestCount - TestIndex: 1 = oldest
  int record_count = 0;
};

// Fills the patient's boxes (number, names, birth date, sex). False when the
// patient does not exist.
bool LoadPatientEntries(db::Connection& connection, const QString& pat_no, EntryFields& entries);
// The key of the patient's latest test; nothing when it has none.
std::optional<TestKey> LatestTestKey(db::Connection& connection, const QString& pat_no);
// Fills the boxes of one test's header: type, details lists, notes, dates.
void LoadTestHeader(db::Connection& connection, const QString& pat_no, const TestKey& key,
                    EntryFields& entries);
// Fills the boxes of one test: header, dates, address, thresholds, answers.
void LoadTestEntries(db::Connection& connection, const QString& pat_no, const TestKey& key,
                     EntryFields& entries);
// The thresholds of one test in box order (Text1 layout); empty when absent.
std::array<QString, kThresholdBoxCount> LoadThresholds(db::Connection& connection,
                                                       const QString& pat_no, const TestKey& key);
// The latest address lines of the patient (empty when none).
std::array<QString, kAddressLineCount> LatestAddress(db::Connection& connection,
                                                     const QString& pat_no);
// The baseline box: the baseline's date, or "First Audiogram" when the
// patient has none.
QString BaselineText(db::Connection& connection, const QString& pat_no);
// The test before `key` among the patient's left-ear results (newest first):
// the previous-test key of a printed audiogram. nullopt for a first test.
std::optional<TestKey> PreviousResultKey(db::Connection& connection, const QString& pat_no,
                                         const TestKey& key);
// The audiogram grid of what the boxes show: the shown test in rows 0 and 2,
// the one before it ("Prev.") in rows 1 and 3.
void LoadGrid(const EntryFields& entries, AudiogramGrid& grid);
// UpdateDetailsDisplay and UpdateResultsDisplay for the test at test_index.
RecordView LoadRecordView(db::Connection& connection, const QString& pat_no, int test_index);

}  // namespace sonivera
