#include <gtest/gtest.h>

#include "db/Sqlite.h"
#include "register/AudiogramStore.h"
#include "register/EntryFields.h"
#include "register/RegisterFixture.h"
#include "register/RegisterGenerator.h"

namespace sonivera {
namespace {

TEST(ThresholdEntry, AppliesPatternsRangeAndCut) {
  // Typed text -> the box's text, then the grid's new value or "=" for none.
  const std::pair<const char*, const char*> cases[] = {
      {"-", "-|="},       {"-5", "-5|-5"}, {"-10", "-10|-10"}, {"-15", "|"},     {"125", "12|12"},
      {"120", "120|120"}, {"0", "0|0"},    {"85", "85|85"},    {"999", "99|99"}, {"", "|"},
      {"a", "|"},         {"1a", "|"},     {"--", "|"},        {"-11", "|"},     {"121", "12|12"},
  };
  for (const auto& [typed, expected] : cases) {
    const auto r = ApplyThresholdEntry(QString::fromLatin1(typed));
    EXPECT_EQ(r.box_text + u'|' + (r.grid_changed ? r.grid_value : "="), expected) << typed;
  }
}

TEST(DateBoxes, ParseMasksAndRejectNonDates) {
  EXPECT_FALSE(ParseDateBox(QString()).has_value());
  EXPECT_EQ(*ParseDateBox("29/02/2024"), QDate(2024, 2, 29));
  EXPECT_FALSE(ParseDateBox("29/02/2023")->isValid());
  EXPECT_FALSE(ParseDateBox("12/__/2020")->isValid());
  EXPECT_FALSE(ParseDateBox("tomorrow")->isValid());
  EXPECT_FALSE(ParseTimeBox(kEmptyTimeBox).has_value());
  EXPECT_EQ(*ParseTimeBox("09:05:07"), QTime(9, 5, 7));
  EXPECT_FALSE(ParseTimeBox("25:00:00")->isValid());
  EXPECT_EQ(DateBoxText("2021-03-04"), "04/03/2021");
  EXPECT_EQ(ServiceMonths(QDate(2020, 1, 15), QDate(2021, 3, 14)), 13);
  EXPECT_EQ(ServiceMonths(QDate(2020, 1, 15), QDate(2021, 3, 15)), 14);
}

AudiogramRecord Record(const QString& pat_no, const QString& date, const QString& time) {
  AudiogramRecord r;
  r.patient.PatNo = pat_no;
  r.patient.Surname = "O'Hara";
  r.patient.Sex = "Female";
  r.key = {date, time};
  r.left[1] = "20";
  r.right[1] = "25";
  return r;
}

class Store : public test::RegisterFixture {};

TEST_F(Store, MirrorFollowsNewestTestOnly) {
  AudiogramStore store(Conn());
  ASSERT_TRUE(store.Write(EditMode::AddingPatient, Record("7", "2020-05-01", "10:00:00")));
  ASSERT_TRUE(store.Write(EditMode::InsertingTest, Record("7", "2019-01-01", "10:00:00")));
  EXPECT_EQ(Scalar("SELECT DateofTest FROM PatDetails"), "2020-05-01");
  ASSERT_TRUE(store.Write(EditMode::InsertingTest, Record("7", "2020-05-01", "11:00:00")));
  EXPECT_EQ(Scalar("SELECT TimeofTest FROM PatDetails"), "11:00:00");
  // The same key twice is refused and writes nothing.
  EXPECT_FALSE(store.Write(EditMode::InsertingTest, Record("7", "2019-01-01", "10:00:00")));
  EXPECT_EQ(Scalar("SELECT COUNT(*) FROM TestResultsLeft"), "3");
  // Moving the latest test back in time hands the mirror to the newest.
  ASSERT_TRUE(store.Write(EditMode::Editing, Record("7", "2018-01-01", "09:00:00"),
                          {"2020-05-01", "11:00:00"}));
  EXPECT_EQ(Scalar("SELECT DateofTest || ' ' || TimeofTest FROM PatDetails"),
            "2020-05-01 10:00:00");
  EXPECT_EQ(Scalar("SELECT COUNT(*) FROM TestQuestions WHERE TestDate = '2018-01-01'"), "1");
  EXPECT_EQ(Scalar("SELECT COUNT(*) FROM AddressDetails WHERE DateofTest = '2018-01-01'"), "1");
}

TEST_F(Store, GeneratorGivesTheSameRegisterForASeedWithRealisticValues) {
  GeneratorOptions options;
  options.patients = 40;
  options.seed = 42;
  const auto a = GeneratePatient(options, 7);
  const auto b = GeneratePatient(options, 7);
  ASSERT_EQ(a.size(), 5u);
  for (size_t i = 0; i < a.size(); ++i) {
    EXPECT_EQ(a[i].key, b[i].key);
    EXPECT_EQ(a[i].left, b[i].left);
    if (i > 0) {
      EXPECT_TRUE(a[i].key.LaterThan(a[i - 1].key));
      EXPECT_EQ(a[i].PreviousTest, a[i - 1].key.date);
    }
  }
  const auto outcome = GenerateRegister(Conn(), options);
  EXPECT_EQ(outcome.patients, 40);
  EXPECT_EQ(outcome.tests, 200);
  EXPECT_EQ(Scalar("SELECT COUNT(*) FROM TestResultsRight"), "200");
  EXPECT_EQ(Scalar("SELECT COUNT(*) FROM PatDetails p JOIN TestDetails d ON p.PatNo = "
                   "d.PatNo AND p.DateofTest = d.DateofTest AND p.TimeofTest = d.TimeofTest"),
            "40");
  // Hearing at 4 kHz worsens between a patient's first and last tests on average.
  EXPECT_EQ(Scalar("SELECT AVG(l.\"4kHz\" + 0) > (SELECT AVG(\"4kHz\" + 0) FROM "
                   "TestResultsLeft WHERE TestDate IN (SELECT MIN(DateofTest) FROM "
                   "TestDetails GROUP BY PatNo) AND \"4kHz\" <> '') FROM TestResultsLeft l "
                   "JOIN PatDetails p ON p.PatNo = l.PatNo AND p.DateofTest = l.TestDate "
                   "WHERE l.\"4kHz\" <> ''"),
            "1");
  EXPECT_NE(Scalar("SELECT COUNT(*) FROM PatDetails WHERE Surname LIKE '%''%'"), "0");
}

}  // namespace
}  // namespace sonivera
