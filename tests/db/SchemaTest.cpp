// The layout of a new database and the rules the database itself enforces.
#include <gtest/gtest.h>

#include "db/Schema.h"
#include "db/Sqlite.h"
#include "support/RegisterChecks.h"
#include "support/TestApp.h"

namespace sonivera {
namespace {

using db::SqliteError;

TEST(Schema, NewDatabaseHasEveryTableAndFieldInOrder) {
  test::TestApp t;
  ASSERT_TRUE(t.Init());
  auto& conn = t->Db().Conn();
  QStringList counts;
  auto tables = conn.Prepare("SELECT name FROM sqlite_master WHERE type = 'table' ORDER BY name");
  while (tables.Step()) {
    const QString table = tables.Value(0).toString();
    counts << table + "=" + QString::number(db::FieldNames(conn, table).size());
  }
  EXPECT_EQ(counts.join(' '),
            "AddressDetails=9 PatDetails=14 TestDetails=27 TestQuestions=103 TestResultsLeft=14 "
            "TestResultsRight=14 VisionDetails=24 VisionTest=43");
  EXPECT_EQ(db::FieldNames(conn, "PatDetails"),
            (QStringList{"PatNo", "Surname", "Forenames", "DOB", "Sex", "DateofTest", "TimeofTest",
                         "RecallPeriod", "BaselineDate", "BaselineTime", "BaselineDateRight",
                         "BaselineTimeRight", "VDateofTest", "VTimeofTest"}));
  const QStringList details = db::FieldNames(conn, "TestDetails");
  EXPECT_EQ(details.mid(20), (QStringList{"DateofTest", "F1", "F2", "F3", "MP42", "PAM", "IPA"}));
  const QStringList left = db::FieldNames(conn, "TestResultsLeft");
  EXPECT_EQ(QStringList(left.first()) + left.mid(10),
            (QStringList{"PatNo", "8kHz", "TestDate", "TestTime", "750Hz"}));
  const QStringList questions = db::FieldNames(conn, "TestQuestions");
  EXPECT_EQ(test::Joined({questions[1], questions[51], questions[102],
                          db::FieldNames(conn, "VisionTest")[38]}),
            "Q1|Ans1|TestTime|GlassesType");
  EXPECT_EQ(db::FieldNames(conn, "VisionDetails"), details.mid(0, 24));
}

TEST(Schema, RelationsAndFieldRulesAreEnforced) {
  test::TestApp t;
  ASSERT_TRUE(t.Init());
  auto& conn = t->Db().Conn();
  const QString layout = conn.QueryValue("SELECT group_concat(sql) FROM sqlite_master")->toString();
  for (const char* relation :
       {"results_info", "pat_info", "testr_info", "q_info", "vis_info", "vis_det"}) {
    EXPECT_EQ(layout.count(QStringLiteral("CONSTRAINT \"%1\" FOREIGN KEY").arg(relation)), 1)
        << relation;
  }
  conn.Exec("INSERT INTO PatDetails (PatNo) VALUES ('P1')");
  struct Case {
    const char* sql;
    bool accepted;
  };
  const Case cases[] = {
      // A test without its patient is refused; the address table has no relation.
      {"INSERT INTO TestDetails (PatNo, DateofTest) VALUES ('NOBODY', '2024-01-02')", false},
      {"INSERT INTO TestResultsLeft (PatNo, \"1kHz\") VALUES ('NOBODY', '10')", false},
      {"INSERT INTO AddressDetails (PatNo, Address1) VALUES ('NOBODY', '1 High St')", true},
      {"INSERT INTO TestQuestions (PatNo, Ans1) VALUES ('P1', '')", false},
      {"INSERT INTO TestQuestions (PatNo, Ans1) VALUES ('P1', NULL)", true},
      {"INSERT INTO VisionTest (PatNo, GlassesType) VALUES ('P1', '')", false},
      {"INSERT INTO PatDetails (PatNo) VALUES ('')", false},
      {"INSERT INTO PatDetails (PatNo) VALUES ('12345678901234567')", false},
      {"INSERT INTO PatDetails (PatNo) VALUES ('1234567890123456')", true},
      {"INSERT INTO PatDetails (PatNo, Surname) VALUES ('P2', '')", true},
      {"INSERT INTO TestDetails (PatNo, Categorisation) VALUES ('P1', printf('%.151c', 'x'))",
       false},
      {"INSERT INTO TestDetails (PatNo, Notes) VALUES ('P1', printf('%.5000c', 'x'))", true},
      {"INSERT INTO TestDetails (PatNo, DateofTest) VALUES ('P1', '31/12/2024')", false},
      {"INSERT INTO TestDetails (PatNo, TimeofTest) VALUES ('P1', '9:00')", false},
      {"INSERT INTO TestDetails (PatNo, LengthofService) VALUES ('P1', 3000000000)", false},
      {"INSERT INTO TestQuestions (PatNo, Q1) VALUES ('P1', 40000)", false},
      {"INSERT INTO VisionTest (PatNo, Refer) VALUES ('P1', 2)", false},
      {"INSERT INTO TestResultsLeft (PatNo, \"4kHz\") VALUES ('P1', '12345678')", false},
      {"INSERT INTO TestResultsLeft (PatNo, \"4kHz\") VALUES ('P1', '')", true},
      // A patient with tests cannot be deleted or renumbered; patient numbers are unique.
      {"DELETE FROM PatDetails WHERE PatNo = 'P1'", false},
      {"UPDATE PatDetails SET PatNo = 'P3' WHERE PatNo = 'P1'", false},
      {"INSERT INTO PatDetails (PatNo) VALUES ('P1')", false},
  };
  for (const auto& c : cases) {
    bool accepted = true;
    try {
      conn.Exec(c.sql);
    } catch (const SqliteError&) {
      accepted = false;
    }
    EXPECT_EQ(accepted, c.accepted) << c.sql;
  }
  EXPECT_EQ(conn.QueryValue("SELECT count(*) FROM TestDetails")->toInt(), 1);
}

}  // namespace
}  // namespace sonivera
