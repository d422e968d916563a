#pragma once

#include <QString>
#include <functional>
#include <optional>

namespace sonivera {

class Application;

// Sets PreviousTest of each of the patient's audiograms to the date of the
// next older one (no value for the oldest).
void RelinkPreviousTests(Application& app, const QString& pat_no);

// The key of an audiogram just added: only it and the next newer one (whose
// previous test it becomes) can categorise differently.
struct AddedTest {
  QString date;  // as stored, yyyy-MM-dd
  QString time;
};

// Categorises every audiogram of the patient, newest first, each against the
// next older one, and stores Categorisation, MP42, PAM and IPA. With `added`,
// only the tests the new one changes are categorised again.
void RecategorisePatient(Application& app, const QString& pat_no,
                         const std::optional<AddedTest>& added = std::nullopt);

struct RecategoriseOutcome {
  int patients_done = 0;
  int patients_total = 0;
  bool stopped = false;
  // The user answered Cancel to "Recategorise the whole database?".
  bool cancelled = false;
};

// Asks first, then recategorises every patient in BulkMode. progress(done, total) is called after
// each patient; a stop (RecategoriseStop, or the progress's StopRequested) ends the run after the
// current patient.
RecategoriseOutcome RecategoriseAll(Application& app,
                                    const std::function<void(int, int)>& progress = {});

// Asks a running RecategoriseAll to stop after the current patient.
void RecategoriseStop(Application& app);

}  // namespace sonivera
