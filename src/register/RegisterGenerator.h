#pragma once

#include <QDate>
#include <QString>
#include <functional>

#include "categorise/Categorise.h"
#include "register/AudiogramStore.h"

namespace sonivera {

namespace db {
class Connection;
}

// What the register generator makes: patients with employment details and
// audiograms taken over the years, thresholds worsening with age and with
// noise exposure, a few values not measured, names with apostrophes. The same
// seed always gives the same register.
struct GeneratorOptions {
  int patients = 100;
  int tests_per_patient = 5;  // each patient gets exactly this many audiograms
  quint32 seed = 1;
  int first_number = 100001;                  // patient numbers count up from here
  QString number_prefix;                      // put before each number, e.g. "G"
  QDate last_test_date = QDate(2024, 6, 28);  // no test is later than this
  // Every test answers the whole questionnaire (mostly yes/no, a few written
  // answers) and some carry notes, as a well-kept register does; the
  // demonstration register shows them on its pages and printed reports.
  bool full_questionnaire = false;
};

struct GeneratorOutcome {
  int patients = 0;
  int tests = 0;
};

// Makes one generated patient's audiograms, oldest first, without storing
// them (the record editor and the benchmarks use it too).
std::vector<AudiogramRecord> GeneratePatient(const GeneratorOptions& options, int index);

// Writes the generated register as a bulk run writes an import: each
// patient whole in a savepoint of its own, committed in groups, through the
// save's storage code. With `categorise`, each patient's tests are linked
// and categorised in the same unit by the save's passes; without it they
// keep the generated links and no categorisation. progress(done, total)
// every thousand patients and at the end.
GeneratorOutcome GenerateRegister(db::Connection& connection, const GeneratorOptions& options,
                                  const CategoriseEnv* categorise = nullptr,
                                  const std::function<void(int, int)>& progress = {});

}  // namespace sonivera
