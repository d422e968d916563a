#pragma once

#include "db/BulkWrites.h"

namespace sonivera {

namespace db {
class Database;
}
class RecordEditor;

// A file import for its whole run: the record editor in bulk mode and the
// database in bulk writes (db::BulkWrites).
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
  bool bulk_;
  db::BulkWrites writes_;
};

}  // namespace sonivera
