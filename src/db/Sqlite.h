#pragma once

#include <sqlcipher/sqlite3.h>

#include <QByteArray>
#include <QHash>
#include <QString>
#include <QVariant>
#include <memory>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

namespace sonivera::db {

// A failure reported by the engine, with its result code.
class SqliteError : public std::runtime_error {
 public:
  SqliteError(int code, const std::string& message) : std::runtime_error(message), code_(code) {}
  int Code() const { return code_; }
  int PrimaryCode() const { return code_ & 0xff; }

 private:
  int code_;
};

class Connection;

// Compiled statements of one connection kept for reuse: compiling a statement
// costs far more than running a small one, and saves run the same few
// statements for every audiogram.
struct StatementPool {
  static constexpr int kMaxKept = 256;
  sqlite3* db = nullptr;
  QHash<QByteArray, std::vector<sqlite3_stmt*>> kept;
  int count = 0;
  ~StatementPool();
};

// A prepared statement; bind with 1-based indexes, read columns 0-based.
class Statement {
 public:
  Statement(Connection& connection, const QString& sql);
  ~Statement();
  Statement(const Statement&) = delete;
  Statement& operator=(const Statement&) = delete;
  Statement(Statement&& other) noexcept;

  Statement& Bind(int index, const QString& value);  // a null QString binds NULL
  Statement& Bind(int index, qint64 value);
  Statement& Bind(int index, int value) { return Bind(index, static_cast<qint64>(value)); }
  Statement& Bind(int index, double value);
  Statement& Bind(int index, const QVariant& value);
  Statement& BindNull(int index);
  // Binds a text, or NULL when it is empty.
  Statement& BindTextOrNull(int index, const QString& value);

  // Steps once: true when a row is ready, false when done.
  bool Step();
  // Steps to completion, for statements that return no rows.
  void Run();
  void Reset();

  int ColumnCount() const;
  QString ColumnName(int column) const;
  bool IsNull(int column) const;
  QString Text(int column) const;  // NULL reads as a null QString
  qint64 Int(int column) const;
  double Double(int column) const;
  QVariant Value(int column) const;

 private:
  sqlite3* db_;
  sqlite3_stmt* stmt_ = nullptr;
  QByteArray sql_;
  std::weak_ptr<StatementPool> pool_;
};

// One connection to a database file.
class Connection {
 public:
  Connection() = default;
  ~Connection();
  Connection(const Connection&) = delete;
  Connection& operator=(const Connection&) = delete;

  // Opens (creating when allowed) the file; throws SqliteError.
  void Open(const QString& path, bool create);
  void Close();
  bool IsOpen() const { return db_ != nullptr; }

  // Gives the encryption key before the first read; an empty key leaves a
  // plain file.
  void Key(const QString& key);

  void Exec(const QString& sql);
  // Runs one statement that returns no rows, compiled once and kept in the
  // pool: for the few statements a bulk run repeats for every line
  // (savepoints, commits).
  void Run(const QString& sql) { Statement(*this, sql).Run(); }
  Statement Prepare(const QString& sql) { return Statement(*this, sql); }
  // The first column of the first row, or nullopt when there is no row.
  std::optional<QVariant> QueryValue(const QString& sql);
  qint64 LastInsertRowId() const;
  int Changes() const;

  sqlite3* Handle() const { return db_; }
  [[noreturn]] void Throw(int code) const;
  const std::shared_ptr<StatementPool>& Pool() const { return pool_; }

 private:
  sqlite3* db_ = nullptr;
  std::shared_ptr<StatementPool> pool_;
};

// A transaction that rolls back unless committed. Begun while another
// transaction is open (a group of saves committed together), it is a
// savepoint inside it: committing releases the savepoint, and rolling back
// undoes this transaction's writes only.
class Transaction {
 public:
  explicit Transaction(Connection& connection, bool immediate = true);
  ~Transaction();
  Transaction(const Transaction&) = delete;
  Transaction& operator=(const Transaction&) = delete;
  void Commit();
  bool Nested() const { return nested_; }

 private:
  Connection& connection_;
  bool nested_;
  bool open_ = true;
};

// Many small transactions committed in groups: one outer transaction stays
// open and is committed after max_lines lines or max_ms milliseconds,
// whichever comes first, and at the end. Each line's own Transaction is a
// savepoint inside the group, so a refused line leaves nothing and a killed
// run leaves only whole lines (those of the groups committed).
class CommitGroups {
 public:
  explicit CommitGroups(Connection& connection, int max_lines = 500, qint64 max_ms = 250);
  ~CommitGroups();  // commits the open group
  CommitGroups(const CommitGroups&) = delete;
  CommitGroups& operator=(const CommitGroups&) = delete;

  // One line is done: commits the group when it is full and starts the next.
  void LineDone();
  // Commits the open group and starts no other (a closing step that must run
  // outside a transaction may follow).
  void Finish();
  int Commits() const { return commits_; }

 private:
  void Begin();
  void Commit();

  Connection& connection_;
  int max_lines_;
  qint64 max_ms_;
  int lines_ = 0;
  int commits_ = 0;
  qint64 started_ms_ = 0;
  bool open_ = false;
};

}  // namespace sonivera::db
