#include "interchange/BulkRun.h"

#include "db/Database.h"
#include "db/Sqlite.h"
#include "register/RecordEditor.h"

namespace sonivera {

namespace {
QString Pragma(db::Connection& connection, const QString& name) {
  return connection.QueryValue(QStringLiteral("PRAGMA ") + name).value_or(QVariant()).toString();
}
}  // namespace

BulkRun::BulkRun(RecordEditor& editor, db::Database& database)
    : editor_(editor), database_(database), bulk_(editor.BulkMode()) {
  editor_.SetBulkMode(true);
  db::Connection& connection = database_.Conn();
  if (!connection.IsOpen()) return;
  try {
    journal_mode_ = Pragma(connection, QStringLiteral("journal_mode"));
    synchronous_ = Pragma(connection, QStringLiteral("synchronous"));
    if (journal_mode_.compare(QLatin1String("wal"), Qt::CaseInsensitive) == 0) {
      journal_mode_ = QStringLiteral("DELETE");  // left over from a killed import
    }
    Pragma(connection, QStringLiteral("journal_mode = WAL"));
    connection.Exec(QStringLiteral("PRAGMA synchronous = NORMAL"));
  } catch (const db::SqliteError&) {
    // The import runs as well with the usual journal, only slower.
    journal_mode_.clear();
  }
}

void BulkRun::EndBulkMode() { editor_.SetBulkMode(bulk_); }

BulkRun::~BulkRun() {
  editor_.SetBulkMode(bulk_);
  db::Connection& connection = database_.Conn();
  if (journal_mode_.isEmpty() || !connection.IsOpen()) return;
  try {
    Pragma(connection, QStringLiteral("journal_mode = ") + journal_mode_);
    connection.Exec(QStringLiteral("PRAGMA synchronous = ") + synchronous_);
  } catch (const db::SqliteError&) {
    // The log stays until the next import; the data in it is safe.
  }
}

}  // namespace sonivera
