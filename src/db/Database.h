#pragma once

#include <QString>
#include <memory>

#include "db/Sqlite.h"

namespace sonivera::db {

// The database of the run: one file, held exclusively from open to close.
// Failures come out as AppError with the numbers of app/AppError.h:
// kDatabaseInUse when another program holds the file, kBadPassword when the
// password does not open it, kFileNotFound when it cannot be created.
class Database {
 public:
  Database();
  ~Database();
  Database(const Database&) = delete;
  Database& operator=(const Database&) = delete;

  // Opens an existing file and brings it up to the current layout.
  void Open(const QString& path, const QString& password);
  // Creates a new file with the full layout; fails when the file exists.
  void Create(const QString& path);
  void Close();
  bool IsOpen() const { return connection_.IsOpen(); }

  Connection& Conn() { return connection_; }
  const QString& Path() const { return path_; }
  // Whether the file on disk is encrypted.
  bool Encrypted() const { return encrypted_; }

  // A consistent copy of the open database at target, readable with the same
  // password. Throws AppError(kPermissionDenied) when target is the database.
  void Backup(const QString& target);
  // The engine's integrity check; returns "ok" or what is wrong.
  QString CheckIntegrity();
  // Checks the file and compacts it; a damaged file is left as it is and the
  // problem is thrown as AppError(kDatabaseError).
  void Repair();
  // Re-encrypts the open file under a new password ("" for none). The file is
  // replaced only once the new copy is complete.
  void ChangePassword(const QString& new_password);

  // True when the file starts with the header of a plain database.
  static bool IsPlainFile(const QString& path);
  // Whether another program holds the database at path.
  static bool IsHeldElsewhere(const QString& path);

 private:
  void Lock(const QString& path);
  void Unlock();
  void OpenConnection(const QString& path, const QString& password, bool create);
  void Upgrade();

  Connection connection_;
  QString path_;
  QString password_;
  bool encrypted_ = false;
  int lock_fd_ = -1;
};

// Maps an engine failure to the program's error numbers.
long ErrorNumberFor(const SqliteError& error);

// The number and description a report shows for a failure caught in the core.
struct FailureText {
  long number;
  QString description;
};
FailureText DescribeFailure(const std::exception& error);

}  // namespace sonivera::db
