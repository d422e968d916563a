#pragma once

#include <QString>

namespace sonivera {

namespace db {
class Database;
}
class RecordEditor;

// A file import for its whole run: the record editor in bulk mode, and the
// database written through a write-ahead log without a flush per audiogram.
// Each save stays one transaction, so a killed import leaves whole
// audiograms; the usual journal comes back when the run ends (or, after a
// kill, with the next import).
class BulkRun {
 public:
  BulkRun(RecordEditor& editor, db::Database& database);
  ~BulkRun();
  BulkRun(const BulkRun&) = delete;
  BulkRun& operator=(const BulkRun&) = delete;

  // Ends bulk mode before the run ends (the register is rebuilt once after it).
  void EndBulkMode();

 private:
  RecordEditor& editor_;
  db::Database& database_;
  bool bulk_;
  QString journal_mode_;
  QString synchronous_;
};

}  // namespace sonivera
