// Databases written by older releases are brought up to the current layout
// when opened.
#include <gtest/gtest.h>

#include "db/Schema.h"
#include "db/Sqlite.h"
#include "support/TestApp.h"

namespace sonivera {
namespace {

// An older database: the tables with only their first fields.
struct OldLayout {
  int patdetails = 14;
  int testdetails = 27;
  int results = 14;
  bool vision = true;
  // PatDetails of twelve fields whose last two are the vision test's date and time.
  bool vision_dates_first = false;
};

void BuildOld(const QString& path, const OldLayout& layout) {
  db::Connection conn;
  conn.Open(path, true);
  for (const auto& table : db::Tables()) {
    int count = -1;
    if (table.name == "PatDetails") count = layout.patdetails;
    if (table.name == "TestDetails") count = layout.testdetails;
    if (table.name.startsWith("TestResults")) count = layout.results;
    if (table.name.startsWith("Vision") && !layout.vision) continue;
    if (table.name == "PatDetails" && layout.vision_dates_first) {
      db::TableDef changed = table;
      changed.fields.erase(changed.fields.begin() + 10, changed.fields.begin() + 12);
      conn.Exec(db::CreateTableSql(changed, 12, false));
      continue;
    }
    conn.Exec(db::CreateTableSql(table, count, false));
  }
  conn.Exec("INSERT INTO PatDetails (PatNo, Surname) VALUES ('P1', 'Old')");
  conn.Exec(layout.testdetails >= 24
                ? "INSERT INTO TestDetails (PatNo, DateofTest, F1, F2, F3) VALUES ('P1', "
                  "'2001-05-06', 'a', 'b', 'c')"
                : "INSERT INTO TestDetails (PatNo, DateofTest) VALUES ('P1', '2001-05-06')");
  conn.Exec("INSERT INTO TestDetails (PatNo, DateofTest) VALUES ('P1', '2002-05-06')");
  for (const char* t : {"TestResultsLeft", "TestResultsRight"}) {
    conn.Exec(QStringLiteral("INSERT INTO %1 (PatNo, \"125Hz\", \"1kHz\", \"4kHz\", TestDate) "
                             "VALUES ('P1', '15', '20', '45', '2001-05-06')")
                  .arg(t));
  }
}

QStringList Fields(test::TestApp& t, const char* table) {
  return db::FieldNames(t->Db().Conn(), table);
}

TEST(Upgrade, PatDetailsWithEightFieldsEndsWithFourteenInOrder) {
  test::TestApp t;
  BuildOld(t.folder.File("sonivera5.mdb"), {.patdetails = 8});
  ASSERT_TRUE(t.Init());
  EXPECT_EQ(Fields(t, "PatDetails").mid(8),
            (QStringList{"BaselineDate", "BaselineTime", "BaselineDateRight", "BaselineTimeRight",
                         "VDateofTest", "VTimeofTest"}));
  EXPECT_EQ(t->Db().Conn().QueryValue("SELECT Surname FROM PatDetails")->toString(), "Old");
}

TEST(Upgrade, TwelveFieldsWithVisionDatesGetTheRightBaseline) {
  test::TestApp t;
  BuildOld(t.folder.File("sonivera5.mdb"), {.patdetails = 12, .vision_dates_first = true});
  ASSERT_TRUE(t.Init());
  EXPECT_EQ(Fields(t, "PatDetails").mid(10),
            (QStringList{"VDateofTest", "VTimeofTest", "BaselineDateRight", "BaselineTimeRight"}));
}

TEST(Upgrade, TestDetailsWithoutUserFieldsGetsThemFilledWithDash) {
  test::TestApp t;
  BuildOld(t.folder.File("sonivera5.mdb"), {.testdetails = 21});
  ASSERT_TRUE(t.Init());
  EXPECT_EQ(Fields(t, "TestDetails").mid(21),
            (QStringList{"F1", "F2", "F3", "MP42", "PAM", "IPA"}));
  auto st = t->Db().Conn().Prepare("SELECT F1, F2, F3, MP42 FROM TestDetails");
  int rows = 0;
  while (st.Step()) {
    ++rows;
    EXPECT_EQ(st.Text(0), "-");
    EXPECT_EQ(st.Text(1), "-");
    EXPECT_EQ(st.Text(2), "-");
    EXPECT_TRUE(st.IsNull(3));
  }
  EXPECT_EQ(rows, 2);
}

TEST(Upgrade, TestDetailsWithUserFieldsKeepsThem) {
  test::TestApp t;
  BuildOld(t.folder.File("sonivera5.mdb"), {.testdetails = 24});
  ASSERT_TRUE(t.Init());
  EXPECT_EQ(Fields(t, "TestDetails").size(), 27);
  EXPECT_EQ(
      t->Db()
          .Conn()
          .QueryValue("SELECT F1 || F2 || F3 FROM TestDetails WHERE DateofTest = '2001-05-06'")
          ->toString(),
      "abc");
}

TEST(Upgrade, ResultsWithout750HzLoseTheExtraFrequenciesOnly) {
  test::TestApp t;
  BuildOld(t.folder.File("sonivera5.mdb"), {.results = 13});
  ASSERT_TRUE(t.Init());
  for (const char* table : {"TestResultsLeft", "TestResultsRight"}) {
    EXPECT_EQ(Fields(t, table).last(), "750Hz") << table;
    auto st = t->Db().Conn().Prepare(
        QStringLiteral("SELECT \"125Hz\", \"750Hz\", \"1kHz\", \"4kHz\" FROM %1").arg(table));
    ASSERT_TRUE(st.Step());
    EXPECT_EQ(st.Text(0), "");
    EXPECT_EQ(st.Text(1), "");
    EXPECT_EQ(st.Text(2), "20");
    EXPECT_EQ(st.Text(3), "45");
  }
}

TEST(Upgrade, MissingVisionTablesAreCreated) {
  test::TestApp t;
  BuildOld(t.folder.File("sonivera5.mdb"), {.vision = false});
  ASSERT_TRUE(t.Init());
  EXPECT_TRUE(db::TableExists(t->Db().Conn(), "VisionTest"));
  EXPECT_TRUE(db::TableExists(t->Db().Conn(), "visiondetails"));
  t->Db().Conn().Exec("INSERT INTO VisionTest (PatNo, TestDate) VALUES ('P1', '2020-01-01')");
  EXPECT_THROW(t->Db().Conn().Exec("INSERT INTO VisionTest (PatNo) VALUES ('NOBODY')"),
               db::SqliteError);
}

TEST(Upgrade, CurrentLayoutIsLeftUnchanged) {
  test::TestApp t;
  ASSERT_TRUE(t.Init());
  const QString before =
      t->Db().Conn().QueryValue("SELECT group_concat(sql, ';') FROM sqlite_master")->toString();
  ASSERT_FALSE(t->EndProgram(false));
  test::TestApp again;
  again.app = std::make_unique<Application>(ProgramFolder(t.folder.Path()), again.prompter);
  ASSERT_TRUE(again->Initialise());
  EXPECT_EQ(
      again->Db().Conn().QueryValue("SELECT group_concat(sql, ';') FROM sqlite_master")->toString(),
      before);
}

}  // namespace
}  // namespace sonivera
