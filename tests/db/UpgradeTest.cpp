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

// A program started on a folder whose database has the older layout.
struct Upgraded : test::TestApp {
  explicit Upgraded(const OldLayout& layout) {
    BuildOld(folder.File("sonivera5.mdb"), layout);
    EXPECT_TRUE(Init());
  }
  QStringList Fields(const char* table) { return db::FieldNames(app->Db().Conn(), table); }
  QString Value(const QString& sql) { return app->Db().Conn().QueryValue(sql)->toString(); }
};

TEST(Upgrade, PatDetailsGainTheBaselineAndVisionFieldsInOrder) {
  Upgraded eight({.patdetails = 8});
  EXPECT_EQ(eight.Fields("PatDetails").mid(8),
            (QStringList{"BaselineDate", "BaselineTime", "BaselineDateRight", "BaselineTimeRight",
                         "VDateofTest", "VTimeofTest"}));
  EXPECT_EQ(eight.Value("SELECT Surname FROM PatDetails"), "Old");
  // Twelve fields whose last two are the vision dates get the right-ear baseline after them.
  Upgraded twelve({.patdetails = 12, .vision_dates_first = true});
  EXPECT_EQ(twelve.Fields("PatDetails").mid(10),
            (QStringList{"VDateofTest", "VTimeofTest", "BaselineDateRight", "BaselineTimeRight"}));
}

TEST(Upgrade, TestDetailsGainTheUserFieldsFilledWithDashOrKeepTheirOwn) {
  Upgraded without({.testdetails = 21});
  EXPECT_EQ(without.Fields("TestDetails").mid(21),
            (QStringList{"F1", "F2", "F3", "MP42", "PAM", "IPA"}));
  EXPECT_EQ(without.Value("SELECT group_concat(F1 || F2 || F3 || quote(MP42), ',') FROM "
                          "TestDetails"),
            "---NULL,---NULL");
  Upgraded with({.testdetails = 24});
  EXPECT_EQ(with.Fields("TestDetails").size(), 27);
  EXPECT_EQ(with.Value("SELECT F1 || F2 || F3 FROM TestDetails WHERE DateofTest = '2001-05-06'"),
            "abc");
}

TEST(Upgrade, ResultsWithout750HzLoseTheExtraFrequenciesOnly) {
  Upgraded t({.results = 13});
  for (const char* table : {"TestResultsLeft", "TestResultsRight"}) {
    EXPECT_EQ(t.Fields(table).last(), "750Hz") << table;
    EXPECT_EQ(t.Value(QStringLiteral("SELECT ifnull(\"125Hz\", '') || '/' || ifnull(\"750Hz\", '') "
                                     "|| '/' || \"1kHz\" || '/' || \"4kHz\" FROM %1")
                          .arg(table)),
              "//20/45")
        << table;
  }
}

TEST(Upgrade, MissingVisionTablesAreCreatedAndTheCurrentLayoutIsLeftAlone) {
  {
    Upgraded t({.vision = false});
    EXPECT_TRUE(db::TableExists(t->Db().Conn(), "VisionTest"));
    EXPECT_TRUE(db::TableExists(t->Db().Conn(), "visiondetails"));
    t->Db().Conn().Exec("INSERT INTO VisionTest (PatNo, TestDate) VALUES ('P1', '2020-01-01')");
    EXPECT_THROW(t->Db().Conn().Exec("INSERT INTO VisionTest (PatNo) VALUES ('NOBODY')"),
                 db::SqliteError);
  }
  test::TestApp t;
  ASSERT_TRUE(t.Init());
  const char* layout = "SELECT group_concat(sql, ';') FROM sqlite_master";
  const QString before = t->Db().Conn().QueryValue(layout)->toString();
  ASSERT_FALSE(t->EndProgram(false));
  test::TestApp again;
  again.app = std::make_unique<Application>(ProgramFolder(t.folder.Path()), again.prompter);
  ASSERT_TRUE(again->Initialise());
  EXPECT_EQ(again->Db().Conn().QueryValue(layout)->toString(), before);
}

}  // namespace
}  // namespace sonivera
