// Transactions inside a commit group: each line is a savepoint, a refused
// line leaves nothing, the group commits by count and by time, and what a
// killed run had not committed is gone as a whole.
#include <gtest/gtest.h>

#include <QTemporaryDir>
#include <thread>

#include "db/Sqlite.h"

namespace sonivera {
namespace {

struct Rig {
  QTemporaryDir dir;
  db::Connection conn;
  Rig() {
    conn.Open(dir.filePath("t.db"), true);
    conn.Exec("CREATE TABLE t(line INTEGER, part TEXT)");
  }
  qint64 Count(const QString& where = "1") {
    return conn.QueryValue("SELECT count(*) FROM t WHERE " + where)->toLongLong();
  }
  // Another connection sees only what was committed.
  qint64 CommittedCount() {
    db::Connection other;
    other.Open(dir.filePath("t.db"), false);
    return other.QueryValue("SELECT count(*) FROM t")->toLongLong();
  }
  // One line of two rows; with refuse_half_way the second row fails.
  bool Line(int line, bool refuse_half_way) {
    db::Transaction transaction(conn);
    auto insert = conn.Prepare("INSERT INTO t VALUES (?1, ?2)");
    insert.Bind(1, line).Bind(2, QString("left")).Run();
    if (refuse_half_way) return false;
    insert.Reset();
    insert.Bind(1, line).Bind(2, QString("right")).Run();
    transaction.Commit();
    return true;
  }
};

TEST(CommitGroups, LinesAreWholeAndGroupsCommitByCountAndAtTheEnd) {
  Rig rig;
  {
    db::CommitGroups groups(rig.conn, 3, 60000);
    // Rows committed after each line: groups end at lines 3 and 6.
    const int committed[] = {0, 0, 6, 6, 6, 10, 10};
    for (int line = 1; line <= 7; ++line) {
      // Line 5 is refused after its first row: nothing of it stays.
      EXPECT_EQ(rig.Line(line, line == 5), line != 5);
      groups.LineDone();
      EXPECT_EQ(rig.CommittedCount(), committed[line - 1]) << line;
    }
    EXPECT_EQ(groups.Commits(), 2);
    EXPECT_EQ(rig.Count("line = 5"), 0);
    // Line 7 is not committed yet, but this connection sees it.
    EXPECT_EQ(rig.Count(), 12);
  }
  EXPECT_EQ(rig.CommittedCount(), 12);
  // Outside a group a Transaction is a transaction of its own again.
  db::Transaction alone(rig.conn);
  EXPECT_FALSE(alone.Nested());
}

TEST(CommitGroups, CommitsAfterTheTimeLimitAndLosesOnlyTheOpenGroup) {
  Rig rig;
  {
    db::CommitGroups groups(rig.conn, 1000, 20);
    rig.Line(1, false);
    groups.LineDone();
    EXPECT_EQ(rig.CommittedCount(), 0);
    std::this_thread::sleep_for(std::chrono::milliseconds(30));
    rig.Line(2, false);
    groups.LineDone();
    EXPECT_EQ(rig.CommittedCount(), 4);
    rig.Line(3, false);
    // A kill now: the open group is rolled back as a whole by the engine,
    // here as the connection closes without a commit.
    rig.conn.Close();
  }
  EXPECT_EQ(rig.CommittedCount(), 4);
}

}  // namespace
}  // namespace sonivera
