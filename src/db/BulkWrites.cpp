#include "db/BulkWrites.h"

#include "db/Sqlite.h"

namespace sonivera::db {

namespace {
QString Pragma(Connection& connection, const QString& name) {
  return connection.QueryValue(QStringLiteral("PRAGMA ") + name).value_or(QVariant()).toString();
}
}  // namespace

BulkWrites::BulkWrites(Connection& connection) : connection_(connection) {
  if (!connection_.IsOpen()) return;
  try {
    journal_mode_ = Pragma(connection_, QStringLiteral("journal_mode"));
    synchronous_ = Pragma(connection_, QStringLiteral("synchronous"));
    if (journal_mode_.compare(QLatin1String("wal"), Qt::CaseInsensitive) == 0) {
      journal_mode_ = QStringLiteral("DELETE");  // left over from a killed run
    }
    Pragma(connection_, QStringLiteral("journal_mode = WAL"));
    connection_.Exec(QStringLiteral("PRAGMA synchronous = NORMAL"));
  } catch (const SqliteError&) {
    // The run goes as well with the usual journal, only slower.
    journal_mode_.clear();
  }
}

BulkWrites::~BulkWrites() {
  if (journal_mode_.isEmpty() || !connection_.IsOpen()) return;
  try {
    Pragma(connection_, QStringLiteral("journal_mode = ") + journal_mode_);
    connection_.Exec(QStringLiteral("PRAGMA synchronous = ") + synchronous_);
  } catch (const SqliteError&) {
    // The log stays until the next bulk run; the data in it is safe.
  }
}

}  // namespace sonivera::db
