#pragma once

#include <QString>
#include <functional>
#include <optional>

#include "categorise/Categorise.h"
#include "db/Sqlite.h"
#include "register/PatientAudiograms.h"

namespace sonivera {

namespace db {
class Database;
}
class ErrorReporter;

// Sets PreviousTest of each of the patient's audiograms to the date of the
// next older one (no value for the oldest).
void RelinkPreviousTests(db::Database& database, ErrorReporter& reporter, const QString& pat_no);

// The newest audiogram of a patient as recategorisation left it: what a save
// asks about once its transaction is committed.
struct NewestTest {
  bool found = false;
  qint64 rowid = 0;
  QString categorisation;
  // The test before it was given a recall at most one month after it.
  bool one_month_recall_due = false;
};

// The key of an audiogram just added: only it and the next newer one (whose
// previous test it becomes) can categorise differently.
struct AddedTest {
  QString date;  // as stored, yyyy-MM-dd
  QString time;
};

// The relink and recategorisation passes over one patient with their
// statements prepared once: a save makes one, a bulk run keeps one for all
// its lines, RecategoriseAll one for the whole register. Each "AsUnit" pass
// changes all its rows or none and reports its own failure.
class Recategoriser {
 public:
  explicit Recategoriser(db::Connection& connection);
  ~Recategoriser();
  Recategoriser(const Recategoriser&) = delete;
  Recategoriser& operator=(const Recategoriser&) = delete;

  void RelinkAsUnit(ErrorReporter& reporter, const QString& pat_no);
  NewestTest PatientAsUnit(const CategoriseEnv& env, const QString& pat_no,
                           const std::optional<AddedTest>& added = std::nullopt);
  db::Connection& Connection() { return connection_; }

 private:
  void Relink(const QString& pat_no);
  NewestTest Patient(CategoriseEnv& env, const QString& pat_no,
                     const std::optional<AddedTest>& added);

  db::Connection& connection_;
  PatientTestReader reader_;
  db::Statement patient_;
  db::Statement oldest_first_;
  db::Statement set_previous_;
  db::Statement store_;
};

// Categorises every audiogram of the patient, newest first, each against the
// next older one, and stores Categorisation, MP42, PAM and IPA. With `added`,
// only the tests the new one changes (and the newest) are categorised again.
// Failures are reported through env's reporter; what to ask about the newest
// test (the one-month notice, the recall date) is left to the caller.
NewestTest RecategorisePatient(db::Database& database, const CategoriseEnv& env,
                               const QString& pat_no,
                               const std::optional<AddedTest>& added = std::nullopt);

struct RecategoriseOutcome {
  int patients_done = 0;
  int patients_total = 0;
  bool stopped = false;
  // The user answered Cancel to "Recategorise the whole database?".
  bool cancelled = false;
  // The first patient of the register's order, for the window to show after.
  QString first_patient;
};

// Asks first, then recategorises every patient in bulk mode. progress(done, total) is called after
// each patient; a stop (RecategoriseStop, or the progress's StopRequested) ends the run after the
// current patient.
RecategoriseOutcome RecategoriseAll(db::Database& database, CategoriseEnv env,
                                    const std::function<void(int, int)>& progress = {});

// Asks a running RecategoriseAll to stop after the current patient.
inline void RecategoriseStop(CategorisationState& state) { state.RecategoriseStop = true; }

enum class RecheckOutcome {
  Stored,          // the shift result is now the shown test's categorisation
  NotFlagged,      // the test before it has no "+10" categorisation
  NoPreviousTest,  // the older tests needed do not exist
  Failed,          // reported with the error convention
};

// The +10 dB recheck of the patient's test at test_index (0 = latest):
// compares it with the test before the flagged one and stores only the shift
// codes as its categorisation.
RecheckOutcome RecheckShift(db::Database& database, CategorisationState& state,
                            ErrorReporter& reporter, const QString& pat_no, int test_index);

}  // namespace sonivera
