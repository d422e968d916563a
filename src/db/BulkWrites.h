#pragma once

#include <QString>

namespace sonivera::db {

class Connection;

// Fast writing for a bulk run: while it lives the file is written through a
// write-ahead log without a flush per commit. Each save stays one
// transaction, so a killed run leaves whole audiograms; the journal the file
// had comes back when it ends (or, after a kill, with the next bulk run).
class BulkWrites {
 public:
  explicit BulkWrites(Connection& connection);
  ~BulkWrites();
  BulkWrites(const BulkWrites&) = delete;
  BulkWrites& operator=(const BulkWrites&) = delete;

 private:
  Connection& connection_;
  QString journal_mode_;
  QString synchronous_;
};

}  // namespace sonivera::db
