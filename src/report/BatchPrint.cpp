#include "report/BatchPrint.h"

#include "register/RecordDisplay.h"
#include "register/RegisterModel.h"
#include "report/AudiogramReport.h"
#include "report/ReportLayout.h"

namespace sonivera::report {

PrintItem ItemFor(db::Connection& connection, const QString& pat_no, const TestKey& key) {
  return {pat_no, key, PreviousResultKey(connection, pat_no, key)};
}

std::optional<PrintItem> ShownAudiogram(db::Connection& connection, const QString& pat_no,
                                        int test_index) {
  if (pat_no.isEmpty() || test_index < 0) return std::nullopt;
  const auto tests = PatientTestKeys(connection, pat_no);
  if (test_index >= static_cast<int>(tests.size())) return std::nullopt;
  return ItemFor(connection, pat_no, tests[test_index]);
}

std::vector<PrintItem> QueueBatch(db::Connection& connection, const SqlQuery& register_query) {
  std::vector<PrintItem> queue;
  for (const RegisterRow& row : ReadRegisterRows(connection, register_query)) {
    const QString pat_no = row[kColPatNo].toString();
    const TestKey key{row[kColLastTest].toString(), row[kColTimeofTest].toString()};
    if (pat_no.isEmpty() || key.date.isEmpty()) continue;
    queue.push_back(ItemFor(connection, pat_no, key));
  }
  return queue;
}

BatchOutcome PrintBatch(Sheet& sheet, db::Connection& connection,
                        const std::vector<PrintItem>& queue, const AudiogramReportSetup& setup,
                        const std::function<bool(int, int)>& before) {
  BatchOutcome outcome;
  const int total = static_cast<int>(queue.size());
  for (int i = 0; i < total; ++i) {
    if (before && !before(i, total)) {
      outcome.cancelled = true;
      break;
    }
    const PrintItem& item = queue[i];
    const auto data = LoadAudiogramReport(connection, item.pat_no, item.key, item.previous);
    if (!data) continue;
    if (outcome.printed > 0 && !sheet.NextPage()) {
      outcome.failed = true;
      break;
    }
    PaintAudiogramPage(sheet, *data, setup);
    ++outcome.printed;
  }
  return outcome;
}

}  // namespace sonivera::report
