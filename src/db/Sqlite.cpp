#include "db/Sqlite.h"

#include <QFileInfo>
#include <QStringDecoder>
#include <chrono>

namespace sonivera::db {

namespace {
std::string ErrorText(sqlite3* db, int code) {
  if (db != nullptr) {
    const char* message = sqlite3_errmsg(db);
    if (message != nullptr && *message != '\0') return message;
  }
  return sqlite3_errstr(code);
}
}  // namespace

StatementPool::~StatementPool() {
  for (auto& list : kept) {
    for (sqlite3_stmt* stmt : list) sqlite3_finalize(stmt);
  }
}

Statement::Statement(Connection& connection, const QString& sql)
    : db_(connection.Handle()), sql_(sql.toUtf8()), pool_(connection.Pool()) {
  if (const auto& pool = connection.Pool(); pool && pool->db == db_) {
    auto it = pool->kept.find(sql_);
    if (it != pool->kept.end() && !it->empty()) {
      stmt_ = it->back();
      it->pop_back();
      --pool->count;
      return;
    }
  }
  const int rc =
      sqlite3_prepare_v2(db_, sql_.constData(), static_cast<int>(sql_.size()), &stmt_, nullptr);
  if (rc != SQLITE_OK) {
    sqlite3_finalize(stmt_);
    stmt_ = nullptr;
    connection.Throw(rc);
  }
}

Statement::~Statement() {
  if (stmt_ == nullptr) return;
  const auto pool = pool_.lock();
  if (pool && pool->db == db_ && pool->count < StatementPool::kMaxKept) {
    sqlite3_reset(stmt_);
    sqlite3_clear_bindings(stmt_);
    pool->kept[sql_].push_back(stmt_);
    ++pool->count;
    return;
  }
  sqlite3_finalize(stmt_);
}

Statement::Statement(Statement&& other) noexcept
    : db_(other.db_),
      stmt_(other.stmt_),
      sql_(std::move(other.sql_)),
      pool_(std::move(other.pool_)) {
  other.stmt_ = nullptr;
}

Statement& Statement::Bind(int index, const QString& value) {
  if (value.isNull()) return BindNull(index);
  const QByteArray utf8 = value.toUtf8();
  const int rc = sqlite3_bind_text(stmt_, index, utf8.constData(), static_cast<int>(utf8.size()),
                                   SQLITE_TRANSIENT);
  if (rc != SQLITE_OK) throw SqliteError(rc, ErrorText(db_, rc));
  return *this;
}

Statement& Statement::Bind(int index, qint64 value) {
  const int rc = sqlite3_bind_int64(stmt_, index, value);
  if (rc != SQLITE_OK) throw SqliteError(rc, ErrorText(db_, rc));
  return *this;
}

Statement& Statement::Bind(int index, double value) {
  const int rc = sqlite3_bind_double(stmt_, index, value);
  if (rc != SQLITE_OK) throw SqliteError(rc, ErrorText(db_, rc));
  return *this;
}

Statement& Statement::Bind(int index, const QVariant& value) {
  if (!value.isValid() || value.isNull()) return BindNull(index);
  switch (value.typeId()) {
    case QMetaType::Int:
    case QMetaType::LongLong:
    case QMetaType::UInt:
    case QMetaType::Bool:
      return Bind(index, value.toLongLong());
    case QMetaType::Double:
    case QMetaType::Float:
      return Bind(index, value.toDouble());
    default:
      return Bind(index, value.toString());
  }
}

Statement& Statement::BindNull(int index) {
  const int rc = sqlite3_bind_null(stmt_, index);
  if (rc != SQLITE_OK) throw SqliteError(rc, ErrorText(db_, rc));
  return *this;
}

Statement& Statement::BindTextOrNull(int index, const QString& value) {
  return value.isEmpty() ? BindNull(index) : Bind(index, value);
}

bool Statement::Step() {
  const int rc = sqlite3_step(stmt_);
  if (rc == SQLITE_ROW) return true;
  if (rc == SQLITE_DONE) return false;
  const int extended = sqlite3_extended_errcode(db_);
  const std::string text = ErrorText(db_, rc);
  sqlite3_reset(stmt_);
  throw SqliteError(extended != 0 ? extended : rc, text);
}

void Statement::Run() {
  while (Step()) {
  }
  sqlite3_reset(stmt_);
}

void Statement::Reset() {
  sqlite3_reset(stmt_);
  sqlite3_clear_bindings(stmt_);
}

int Statement::ColumnCount() const { return sqlite3_column_count(stmt_); }

QString Statement::ColumnName(int column) const {
  return QString::fromUtf8(sqlite3_column_name(stmt_, column));
}

bool Statement::IsNull(int column) const {
  return sqlite3_column_type(stmt_, column) == SQLITE_NULL;
}

QString Statement::Text(int column) const {
  const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(stmt_, column));
  if (text == nullptr) return QString();
  // QString::fromUtf8 would drop a byte-order mark at the start of a value.
  QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless |
                                                QStringDecoder::Flag::ConvertInitialBom);
  return utf8(QByteArrayView(text, sqlite3_column_bytes(stmt_, column)));
}

qint64 Statement::Int(int column) const { return sqlite3_column_int64(stmt_, column); }

double Statement::Double(int column) const { return sqlite3_column_double(stmt_, column); }

QVariant Statement::Value(int column) const {
  switch (sqlite3_column_type(stmt_, column)) {
    case SQLITE_INTEGER:
      return Int(column);
    case SQLITE_FLOAT:
      return Double(column);
    case SQLITE_NULL:
      return QVariant();
    default:
      return Text(column);
  }
}

Connection::~Connection() { Close(); }

void Connection::Open(const QString& path, bool create) {
  Close();
  // Attached databases take the main file's open flags, so CREATE is always
  // given (a re-keyed copy is attached as a new file); a missing file is
  // refused here instead when it must exist.
  if (!create && !QFileInfo::exists(path))
    throw SqliteError(SQLITE_CANTOPEN, "unable to open database file");
  const int flags = SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE | SQLITE_OPEN_FULLMUTEX;
  const int rc = sqlite3_open_v2(path.toUtf8().constData(), &db_, flags, nullptr);
  if (rc != SQLITE_OK) {
    const std::string text = ErrorText(db_, rc);
    sqlite3_close_v2(db_);
    db_ = nullptr;
    throw SqliteError(rc, text);
  }
  sqlite3_extended_result_codes(db_, 1);
  pool_ = std::make_shared<StatementPool>();
  pool_->db = db_;
}

void Connection::Close() {
  pool_.reset();  // finalizes the kept statements; live ones finalize themselves
  if (db_ != nullptr) {
    sqlite3_close_v2(db_);
    db_ = nullptr;
  }
}

void Connection::Key(const QString& key) {
  const QByteArray utf8 = key.toUtf8();
  const int rc = sqlite3_key(db_, utf8.constData(), static_cast<int>(utf8.size()));
  if (rc != SQLITE_OK) Throw(rc);
}

void Connection::Exec(const QString& sql) {
  char* message = nullptr;
  const int rc = sqlite3_exec(db_, sql.toUtf8().constData(), nullptr, nullptr, &message);
  if (rc != SQLITE_OK) {
    std::string text = message != nullptr ? message : sqlite3_errstr(rc);
    sqlite3_free(message);
    throw SqliteError(sqlite3_extended_errcode(db_), text);
  }
}

std::optional<QVariant> Connection::QueryValue(const QString& sql) {
  Statement statement(*this, sql);
  if (!statement.Step()) return std::nullopt;
  return statement.Value(0);
}

qint64 Connection::LastInsertRowId() const { return sqlite3_last_insert_rowid(db_); }

int Connection::Changes() const { return sqlite3_changes(db_); }

void Connection::Throw(int code) const {
  const int extended = db_ != nullptr ? sqlite3_extended_errcode(db_) : code;
  throw SqliteError(extended != 0 ? extended : code, ErrorText(db_, code));
}

namespace {
const QString kLineSavepoint = QStringLiteral("SAVEPOINT line");
const QString kLineRelease = QStringLiteral("RELEASE line");
const QString kLineRollback = QStringLiteral("ROLLBACK TO line; RELEASE line");

qint64 NowMs() {
  return std::chrono::duration_cast<std::chrono::milliseconds>(
             std::chrono::steady_clock::now().time_since_epoch())
      .count();
}
}  // namespace

Transaction::Transaction(Connection& connection, bool immediate)
    : connection_(connection),
      nested_(connection.Handle() != nullptr && sqlite3_get_autocommit(connection.Handle()) == 0) {
  if (nested_) {
    connection_.Run(kLineSavepoint);
  } else {
    connection_.Run(immediate ? QStringLiteral("BEGIN IMMEDIATE") : QStringLiteral("BEGIN"));
  }
}

Transaction::~Transaction() {
  if (open_) {
    try {
      connection_.Exec(nested_ ? kLineRollback : QStringLiteral("ROLLBACK"));
    } catch (const SqliteError&) {
      // The engine rolls back by itself when a statement failed badly.
    }
  }
}

void Transaction::Commit() {
  connection_.Run(nested_ ? kLineRelease : QStringLiteral("COMMIT"));
  open_ = false;
}

CommitGroups::CommitGroups(Connection& connection, int max_lines, qint64 max_ms)
    : connection_(connection), max_lines_(max_lines), max_ms_(max_ms) {
  Begin();
}

CommitGroups::~CommitGroups() {
  try {
    Finish();
  } catch (const SqliteError&) {
    // What the group held is lost as a whole; every earlier group is stored.
  }
}

void CommitGroups::Begin() {
  if (!connection_.IsOpen() || sqlite3_get_autocommit(connection_.Handle()) == 0) return;
  connection_.Exec(QStringLiteral("BEGIN IMMEDIATE"));
  open_ = true;
  lines_ = 0;
  started_ms_ = NowMs();
}

void CommitGroups::Commit() {
  open_ = false;
  // A failed statement may have ended the group already (the engine rolls
  // back on a full disk); there is then nothing left to commit.
  if (connection_.IsOpen() && sqlite3_get_autocommit(connection_.Handle()) == 0) {
    connection_.Exec(QStringLiteral("COMMIT"));
    ++commits_;
  }
}

void CommitGroups::LineDone() {
  ++lines_;
  if (!open_) {
    Begin();
    return;
  }
  if (lines_ < max_lines_ && NowMs() - started_ms_ < max_ms_) return;
  Commit();
  Begin();
}

void CommitGroups::Finish() {
  if (open_) Commit();
}

}  // namespace sonivera::db
