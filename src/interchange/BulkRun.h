#pragma once

#include "db/BulkWrites.h"

namespace sonivera {

namespace db {
class Database;
}
class RecordEditor;
class Register;

// A file import for its whole run: the record editor in bulk mode and the
// database in bulk writes (db::BulkWrites).
class BulkRun {
 public:
  BulkRun(RecordEditor& editor, db::Database& database);
  ~BulkRun();
  BulkRun(const BulkRun&) = delete;
  BulkRun& operator=(const BulkRun&) = delete;

  // Ends bulk mode and rebuilds the register, when there is one, once for
  // the whole run.
  void EndAndShow(Register* reg);

 private:
  RecordEditor& editor_;
  bool bulk_;
  db::BulkWrites writes_;
};

}  // namespace sonivera
