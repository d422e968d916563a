#pragma once

#include <QString>

namespace sonivera {

class Application;

// The state of a file import for its whole run: BulkMode set, the transfer
// flags cleared at the end, and the database written through a write-ahead
// log without a flush per audiogram. Each save stays one transaction, so a
// killed import leaves whole audiograms; the usual journal comes back when
// the run ends (or, after a kill, with the next import).
class BulkRun {
 public:
  explicit BulkRun(Application& app);
  ~BulkRun();
  BulkRun(const BulkRun&) = delete;
  BulkRun& operator=(const BulkRun&) = delete;

 private:
  Application& app_;
  bool bulk_;
  QString journal_mode_;
  QString synchronous_;
};

}  // namespace sonivera
