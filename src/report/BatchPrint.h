#pragma once

#include <QString>
#include <functional>
#include <optional>
#include <vector>

#include "register/AudiogramStore.h"
#include "register/RegisterQuery.h"

namespace sonivera {
namespace db {
class Connection;
}
}  // namespace sonivera

namespace sonivera::report {

class Sheet;
struct AudiogramReportSetup;

// One audiogram to print: the patient, the test and its previous-test key.
struct PrintItem {
  QString pat_no;
  TestKey key;
  std::optional<TestKey> previous;
};

// The test of the patient with its previous-test key.
PrintItem ItemFor(db::Connection& connection, const QString& pat_no, const TestKey& key);

// The audiogram the main window shows: the patient's test at test_index
// (0 = latest) with the test before it. nullopt when there is none.
std::optional<PrintItem> ShownAudiogram(db::Connection& connection, const QString& pat_no,
                                        int test_index);

// Every row of the register query in register order: its patient, its test
// ("Last Test" and "Time of Test") and the test before that one among the
// patient's results.
std::vector<PrintItem> QueueBatch(db::Connection& connection, const SqlQuery& register_query);

struct BatchOutcome {
  int printed = 0;
  bool cancelled = false;
  bool failed = false;  // the device refused a page
};

// Prints one page per queued audiogram on the sheet. before(done, total)
// runs before each audiogram (the window lets events through there); when
// it returns false the batch stops before that audiogram. An audiogram that
// no longer exists is passed over.
BatchOutcome PrintBatch(Sheet& sheet, db::Connection& connection,
                        const std::vector<PrintItem>& queue, const AudiogramReportSetup& setup,
                        const std::function<bool(int done, int total)>& before = {});

}  // namespace sonivera::report
