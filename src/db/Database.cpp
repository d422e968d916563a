#include "db/Database.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include "base/AppError.h"
#include "db/Schema.h"
#include "db/Upgrade.h"

namespace sonivera::db {

namespace {
QString LockPath(const QString& path) { return path + QStringLiteral(".lock"); }

AppError InUse() {
  return AppError(errnum::kDatabaseInUse,
                  QStringLiteral("The database is already opened exclusively by another user."));
}

AppError BadPassword() {
  return AppError(errnum::kBadPassword, QStringLiteral("Not a valid password."));
}

AppError Wrap(const SqliteError& error) {
  return AppError(ErrorNumberFor(error), QString::fromUtf8(error.what()));
}

// The older release's database (a Jet file) starts with 00 01 00 00 and its name.
bool IsJetFile(const QByteArray& head) {
  return head.startsWith(QByteArray("\x00\x01\x00\x00Standard Jet DB", 19)) ||
         head.startsWith(QByteArray("\x00\x01\x00\x00Standard ACE DB", 19));
}

// An encrypted file is whole pages (512 bytes at the least) of what looks like
// noise; a file of any other size is damaged or no database at all.
bool HasPageShape(qint64 size) { return size >= 512 && size % 512 == 0; }

// Triggers and views of this program; the layout has none, so any is foreign.
const QStringList kOwnTriggersAndViews;

AppError NotOurDatabase(const QString& path, const QString& why) {
  return AppError(errnum::kDatabaseError,
                  QStringLiteral("'%1' cannot be opened: %2").arg(path, why));
}

void RefuseForeignObjects(Connection& connection, const QString& path) {
  auto statement = connection.Prepare(QStringLiteral(
      "SELECT type || ' ' || name FROM sqlite_master WHERE type IN ('trigger', 'view') "
      "ORDER BY name"));
  QStringList foreign;
  while (statement.Step()) {
    const QString object = statement.Text(0);
    if (!kOwnTriggersAndViews.contains(object.section(u' ', 1))) foreign << object;
  }
  if (!foreign.isEmpty()) {
    throw NotOurDatabase(
        path, QStringLiteral("it holds objects this program did not create (%1); they could "
                             "change or drop what is saved. Remove them with a database tool "
                             "or restore a backup.")
                  .arg(foreign.join(QStringLiteral(", "))));
  }
}

// Our own rules, which the engine does not know: each test has one left-ear
// and one right-ear row, each patient's latest-test columns name a stored test,
// and no trigger or view was added by another program.
QStringList RuleProblems(Connection& connection) {
  QStringList problems;
  for (const char* ear : {"TestResultsLeft", "TestResultsRight"}) {
    auto statement = connection.Prepare(
        QStringLiteral("SELECT t.PatNo, t.DateofTest, t.TimeofTest, count(r.rowid) FROM "
                       "TestDetails t LEFT JOIN %1 r ON r.PatNo = t.PatNo AND r.TestDate = "
                       "t.DateofTest AND r.TestTime = t.TimeofTest GROUP BY t.rowid HAVING "
                       "count(r.rowid) <> 1")
            .arg(QLatin1String(ear)));
    while (statement.Step()) {
      problems << QStringLiteral("test %2 %3 of patient %1 has %4 rows in %5")
                      .arg(statement.Text(0), statement.Text(1), statement.Text(2))
                      .arg(statement.Int(3))
                      .arg(QLatin1String(ear));
    }
  }
  auto latest = connection.Prepare(QStringLiteral(
      "SELECT p.PatNo, p.DateofTest, p.TimeofTest FROM PatDetails p WHERE p.DateofTest IS NOT "
      "NULL AND NOT EXISTS (SELECT 1 FROM TestDetails t WHERE t.PatNo = p.PatNo AND "
      "t.DateofTest = p.DateofTest AND t.TimeofTest IS p.TimeofTest)"));
  while (latest.Step()) {
    problems << QStringLiteral("the latest test of patient %1 (%2 %3) is not stored")
                    .arg(latest.Text(0), latest.Text(1), latest.Text(2));
  }
  auto objects = connection.Prepare(QStringLiteral(
      "SELECT type, name FROM sqlite_master WHERE type IN ('trigger', 'view') ORDER BY name"));
  while (objects.Step()) {
    if (kOwnTriggersAndViews.contains(objects.Text(1))) continue;
    problems << QStringLiteral("%1 %2 was not created by this program")
                    .arg(objects.Text(0), objects.Text(1));
  }
  return problems;
}

bool SameFile(const QString& a, const QString& b) {
  const QFileInfo fa(a), fb(b);
  if (!fa.exists() || !fb.exists()) return false;
  return fa.canonicalFilePath() == fb.canonicalFilePath();
}
}  // namespace

long ErrorNumberFor(const SqliteError& error) {
  switch (error.PrimaryCode()) {
    case SQLITE_BUSY:
    case SQLITE_LOCKED:
      return errnum::kDatabaseInUse;
    case SQLITE_NOTADB:
      return errnum::kBadPassword;
    case SQLITE_CANTOPEN:
      return errnum::kFileNotFound;
    case SQLITE_CONSTRAINT:
      if (error.Code() == SQLITE_CONSTRAINT_FOREIGNKEY) return errnum::kRelationBroken;
      if (error.Code() == SQLITE_CONSTRAINT_PRIMARYKEY ||
          error.Code() == SQLITE_CONSTRAINT_UNIQUE) {
        return errnum::kDuplicateKey;
      }
      return errnum::kFieldTooLong;
    default:
      return errnum::kDatabaseError;
  }
}

FailureText DescribeFailure(const std::exception& error) {
  if (const auto* sql = dynamic_cast<const SqliteError*>(&error)) {
    return {ErrorNumberFor(*sql), QString::fromUtf8(sql->what())};
  }
  if (const auto* app_error = dynamic_cast<const AppError*>(&error)) {
    return {app_error->Number(), app_error->Description()};
  }
  return {errnum::kDatabaseError, QString::fromUtf8(error.what())};
}

Database::Database() = default;

Database::~Database() { Close(); }

bool Database::IsPlainFile(const QString& path) {
  QFile file(path);
  if (!file.open(QIODevice::ReadOnly)) return false;
  const QByteArray head = file.read(16);
  return head.size() == 0 || head == QByteArray("SQLite format 3\0", 16);
}

bool Database::IsHeldElsewhere(const QString& path) {
  const int fd = ::open(LockPath(path).toLocal8Bit().constData(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return false;
  const bool held = ::flock(fd, LOCK_SH | LOCK_NB) != 0;
  ::close(fd);
  return held;
}

void Database::Lock(const QString& path) {
  Unlock();
  const int fd =
      ::open(LockPath(path).toLocal8Bit().constData(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
  if (fd < 0) {
    if (!QFileInfo(path).absoluteDir().exists()) {
      throw AppError(errnum::kFileNotFound, QStringLiteral("Could not find file '%1'.").arg(path));
    }
    // A folder that cannot be written: the database cannot be made or kept there.
    throw AppError(errnum::kFileNotFound,
                   QStringLiteral("The folder of '%1' cannot be written.").arg(path));
  }
  if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
    ::close(fd);
    throw InUse();
  }
  lock_fd_ = fd;
}

void Database::Unlock() {
  if (lock_fd_ >= 0) {
    ::close(lock_fd_);  // the kernel drops the lock with the last descriptor
    lock_fd_ = -1;
  }
}

void Database::OpenConnection(const QString& path, const QString& password, bool create) {
  try {
    if (!create) {
      QFile file(path);
      if (file.open(QIODevice::ReadOnly) && IsJetFile(file.read(32))) {
        throw NotOurDatabase(path, QStringLiteral(
                                       "it is a database of the older release. Bring its data in "
                                       "through a CSV file exported by the older release and "
                                       "Import."));
      }
    }
    connection_.Open(path, create);
    encrypted_ = !create && !IsPlainFile(path);
    if (encrypted_ && !HasPageShape(QFileInfo(path).size())) {
      throw NotOurDatabase(path, QStringLiteral("it is not a database of this program, or it "
                                                "is damaged (its size is not whole pages)."));
    }
    // A plain file opens whatever password was typed.
    if (encrypted_) {
      // The engine refuses an empty key outright; for the user it is a wrong password.
      if (password.isEmpty()) throw BadPassword();
      connection_.Key(password);
    }
    connection_.Exec(QStringLiteral("PRAGMA locking_mode = EXCLUSIVE"));
    // The first read shows whether the key fits.
    connection_.QueryValue(QStringLiteral("SELECT count(*) FROM sqlite_master"));
    if (!create) RefuseForeignObjects(connection_, path);
    connection_.Exec(QStringLiteral("PRAGMA foreign_keys = ON"));
    // A page cache of 64 MB: a large register stays in memory between walks
    // of the register, and a bulk run writes each page out once.
    connection_.Exec(QStringLiteral("PRAGMA cache_size = -65536"));
    // Take the write lock now and keep it for the whole run.
    connection_.Exec(QStringLiteral("BEGIN EXCLUSIVE"));
    connection_.Exec(QStringLiteral("COMMIT"));
  } catch (const AppError&) {
    connection_.Close();
    throw;
  } catch (const SqliteError& error) {
    connection_.Close();
    if (error.PrimaryCode() == SQLITE_NOTADB) {
      if (encrypted_) throw BadPassword();
      throw AppError(errnum::kDatabaseError, QString::fromUtf8(error.what()));
    }
    throw Wrap(error);
  }
  password_ = encrypted_ ? password : QString();
}

void Database::Open(const QString& path, const QString& password) {
  Close();
  Lock(path);
  try {
    if (!QFileInfo::exists(path)) {
      throw AppError(errnum::kFileNotFound, QStringLiteral("Could not find file '%1'.").arg(path));
    }
    OpenConnection(path, password, false);
    path_ = path;
    Upgrade();
  } catch (...) {
    connection_.Close();
    Unlock();
    throw;
  }
}

void Database::Create(const QString& path) {
  Close();
  if (!QFileInfo(path).absoluteDir().exists()) {
    throw AppError(errnum::kFileNotFound, QStringLiteral("Could not find file '%1'.").arg(path));
  }
  Lock(path);
  try {
    if (QFileInfo::exists(path))
      throw AppError(errnum::kDatabaseError,
                     QStringLiteral("Database '%1' already exists.").arg(path));
    OpenConnection(path, QString(), true);
    path_ = path;
    Transaction transaction(connection_);
    CreateDatabase(connection_);
    transaction.Commit();
  } catch (const SqliteError& error) {
    connection_.Close();
    QFile::remove(path);
    Unlock();
    throw Wrap(error);
  } catch (...) {
    connection_.Close();
    Unlock();
    throw;
  }
}

void Database::Close() {
  connection_.Close();
  Unlock();
  path_.clear();
  password_.clear();
  encrypted_ = false;
}

void Database::Upgrade() {
  try {
    UpgradeDatabase(connection_);
  } catch (const SqliteError& error) {
    throw Wrap(error);
  }
}

void Database::Backup(const QString& target) {
  if (SameFile(target, path_) ||
      QFileInfo(target).absoluteFilePath() == QFileInfo(path_).absoluteFilePath()) {
    throw AppError(errnum::kPermissionDenied, QStringLiteral("Permission denied"));
  }
  const QString partial = target + QStringLiteral(".partial");
  QFile::remove(partial);
  try {
    Connection copy;
    copy.Open(partial, true);
    if (encrypted_) copy.Key(password_);
    sqlite3_backup* backup =
        sqlite3_backup_init(copy.Handle(), "main", connection_.Handle(), "main");
    if (backup == nullptr) copy.Throw(sqlite3_errcode(copy.Handle()));
    const int rc = sqlite3_backup_step(backup, -1);
    sqlite3_backup_finish(backup);
    if (rc != SQLITE_DONE) copy.Throw(rc);
    copy.Close();
  } catch (const SqliteError& error) {
    QFile::remove(partial);
    throw Wrap(error);
  }
  QFile::remove(target);
  if (!QFile::rename(partial, target)) {
    QFile::remove(partial);
    throw AppError(errnum::kPermissionDenied, QStringLiteral("Permission denied"));
  }
}

QString Database::CheckIntegrity() {
  try {
    QStringList problems;
    auto statement = connection_.Prepare(QStringLiteral("PRAGMA integrity_check"));
    while (statement.Step()) problems << statement.Text(0);
    auto fk = connection_.Prepare(QStringLiteral("PRAGMA foreign_key_check"));
    while (fk.Step()) {
      problems << QStringLiteral("row %1 of %2 has no patient in PatDetails")
                      .arg(fk.Int(1))
                      .arg(fk.Text(0));
    }
    try {
      problems << RuleProblems(connection_);
    } catch (const SqliteError& error) {
      problems << QString::fromUtf8(error.what());  // the rules could not all be read
    }
    if (problems == QStringList{QStringLiteral("ok")}) return QStringLiteral("ok");
    problems.removeAll(QStringLiteral("ok"));
    return problems.join(u'\n');
  } catch (const SqliteError& error) {
    return QString::fromUtf8(error.what());
  }
}

void Database::Repair() {
  const QString result = CheckIntegrity();
  if (result != QLatin1String("ok")) throw AppError(errnum::kDatabaseError, result);
  try {
    connection_.Exec(QStringLiteral("VACUUM"));
  } catch (const SqliteError& error) {
    throw Wrap(error);
  }
}

void Database::ChangePassword(const QString& new_password) {
  const QString path = path_;
  const QString fresh = path + QStringLiteral(".rekey");
  QFile::remove(fresh);
  try {
    auto attach = connection_.Prepare(QStringLiteral("ATTACH DATABASE ?1 AS rekeyed KEY ?2"));
    attach.Bind(1, fresh).Bind(2, new_password);
    attach.Run();
    try {
      connection_.QueryValue(QStringLiteral("SELECT sqlcipher_export('rekeyed')"));
      // The export leaves the file's own version number behind.
      const auto version = connection_.QueryValue(QStringLiteral("PRAGMA main.user_version"));
      connection_.Exec(QStringLiteral("PRAGMA rekeyed.user_version = %1")
                           .arg(version ? version->toLongLong() : 0));
    } catch (...) {
      connection_.Exec(QStringLiteral("DETACH DATABASE rekeyed"));
      throw;
    }
    connection_.Exec(QStringLiteral("DETACH DATABASE rekeyed"));
  } catch (const SqliteError& error) {
    QFile::remove(fresh);
    throw Wrap(error);
  }
  // The lock file stays held while the connection is briefly closed.
  connection_.Close();
  if (::rename(fresh.toLocal8Bit().constData(), path.toLocal8Bit().constData()) != 0) {
    QFile::remove(fresh);
    OpenConnection(path, password_, false);
    throw AppError(errnum::kPermissionDenied, QStringLiteral("Permission denied"));
  }
  OpenConnection(path, new_password, false);
}

}  // namespace sonivera::db
