#include <gtest/gtest.h>

#include "RegisterFixture.h"
#include "register/AudiogramStore.h"
#include "register/StoredTestQueries.h"

namespace sonivera::test {
namespace {

class StoredQueries : public RegisterFixture {};

TEST_F(StoredQueries, PatientLookUpsMatchTheStoredRows) {
  AddPatient("P1", "Smith", "03/04/2020", "10:15:00");
  AudiogramStore store(Conn());
  EXPECT_EQ(store.Surname("P1"), std::optional<QString>("Smith"));
  EXPECT_EQ(store.Surname("P9"), std::nullopt);

  EXPECT_TRUE(store.SamePerson("P1", "Smith", "Ann", "1970-02-01"));
  EXPECT_FALSE(store.SamePerson("P1", "Smith", "Anne", "1970-02-01"));
  EXPECT_FALSE(store.SamePerson("P1", "Smith", "Ann", "1970-02-02"));
  // A stored no value matches the empty text, and only it.
  Conn().Exec("UPDATE PatDetails SET Forenames = NULL, DOB = NULL WHERE PatNo = 'P1'");
  EXPECT_TRUE(store.SamePerson("P1", "Smith", "", ""));
  EXPECT_FALSE(store.SamePerson("P1", "Smith", "Ann", ""));

  EXPECT_TRUE(store.TestExists("P1", TestKey{"2020-04-03", "10:15:00"}));
  EXPECT_FALSE(store.TestExists("P1", TestKey{"2020-04-03", "10:16:00"}));
  EXPECT_FALSE(store.TestExists("P2", TestKey{"2020-04-03", "10:15:00"}));
}

TEST_F(StoredQueries, ReaderReadsTheWholeTestAndAnswersByKey) {
  AddPatient("P1", "Smith", "03/04/2020", "10:15:00");
  InsertTest("05/06/2021", "09:00:00", 40);
  const StoredTestKey first{"P1", "2020-04-03", "10:15:00"};
  const StoredTestKey second{"P1", "2021-06-05", "09:00:00"};
  StoredTestReader reader(Conn());

  const auto header = reader.Header(first);
  ASSERT_TRUE(header);
  ASSERT_EQ(header->size(), StoredTestReader::kHeaderColumns);
  EXPECT_EQ(Joined({header->at(0), header->at(1), header->at(3), header->at(4)}),
            "P1|Smith|2020-04-03|10:15:00");
  EXPECT_EQ(reader.Header({"P1", "2020-04-03", "10:16:00"}), std::nullopt);

  // The statements are reused: a second key reads its own rows.
  const auto left = reader.LeftEar(second);
  ASSERT_TRUE(left);
  ASSERT_EQ(left->size(), StoredTestReader::kEarColumns);
  EXPECT_EQ(left->at(0), "40");
  EXPECT_EQ(reader.LeftEar(first)->at(0), "20");
  EXPECT_TRUE(reader.RightEar(first));
  EXPECT_EQ(reader.Address(second)->at(0), "1 Smith Street");

  Conn().Exec("DELETE FROM TestQuestions");
  EXPECT_EQ(reader.Answers(first), std::nullopt);
  EXPECT_EQ(ReadTestAnswers(Conn(), first), std::nullopt);
  Conn().Exec(
      "INSERT INTO TestQuestions (PatNo, TestDate, TestTime, Q1, Q2, Ans1) "
      "VALUES ('P1', '2020-04-03', '10:15:00', 1, -1, 'loud')");
  for (const auto& row : {reader.Answers(first), ReadTestAnswers(Conn(), first)}) {
    ASSERT_TRUE(row);
    EXPECT_EQ((std::vector{row->codes[0], row->codes[1], row->codes[2]}),
              (std::vector<std::optional<qint64>>{1, -1, std::nullopt}));
    EXPECT_EQ(row->code_texts[1], "-1");
    EXPECT_TRUE(row->code_texts[2].isNull());
    EXPECT_EQ(row->texts[0], "loud");
    EXPECT_TRUE(row->texts[1].isNull());
  }
  EXPECT_EQ(reader.Answers(second), std::nullopt);
}

}  // namespace
}  // namespace sonivera::test
