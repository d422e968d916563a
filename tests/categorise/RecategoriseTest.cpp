#include <gtest/gtest.h>

#include "categorise/StoredTests.h"
#include "register/Recategorise.h"
#include "support/TestApp.h"

namespace sonivera::test {
namespace {

const QString kFlat10 = "10 10 10 10 10 10 10 10 10";
const QString kHigh = "10 10 10 10 10 20 20 20 10";  // 3, 4 and 6 kHz up 10 each

void DeleteTest(db::Connection& connection, const QString& pat_no, const QString& date) {
  for (const char* sql : {"DELETE FROM TestDetails WHERE PatNo = ?1 AND DateofTest = ?2",
                          "DELETE FROM TestResultsLeft WHERE PatNo = ?1 AND TestDate = ?2",
                          "DELETE FROM TestResultsRight WHERE PatNo = ?1 AND TestDate = ?2"}) {
    auto statement = connection.Prepare(sql);
    statement.Bind(1, pat_no).Bind(2, date).Run();
  }
}

QStringList Categorisations(db::Connection& connection, const QString& pat_no) {
  QStringList texts;
  for (const auto& row : ReadResults(connection, pat_no)) texts << row.categorisation;
  return texts;
}

class Recategorise : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(t.Init());
    t->Schemes().CheckHSE = true;
  }
  db::Connection& Conn() { return t->Db().Conn(); }
  // Relinks the patient's tests and categorises them again, as a save does.
  NewestTest Redo(const QString& pat, const std::optional<AddedTest>& added = std::nullopt) {
    RelinkPreviousTests(t->Db(), t->Reporter(), pat);
    return RecategorisePatient(t->Db(), t->ForCategorising(), pat, added);
  }
  TestApp t;
};

TEST_F(Recategorise, EachTestAgainstTheNextOlderAndRelinked) {
  const QString pat = "O'Brien-1";
  AddPatient(Conn(), pat, "1985-01-01", "Male");
  AddTest(Conn(), pat, "2018-06-01", kHigh, kHigh);
  AddTest(Conn(), pat, "2019-06-01", kFlat10, kFlat10);
  AddTest(Conn(), pat, "2020-06-01", kHigh, kHigh);
  Redo(pat);
  auto rows = ReadResults(Conn(), pat);
  ASSERT_EQ(rows.size(), 3u);
  EXPECT_EQ(rows[0].categorisation, "HSE:  1 4B ");
  EXPECT_EQ(rows[1].categorisation, "HSE:  1 ");
  // The oldest: no earlier results, so no rapid-loss check and no date message.
  EXPECT_EQ(rows[2].categorisation, "HSE:  1 4-no data ");
  EXPECT_EQ(rows[0].previous, "2019-06-01");
  EXPECT_EQ(rows[1].previous, "2018-06-01");
  EXPECT_TRUE(rows[2].previous.isNull());
  EXPECT_TRUE(t.prompter.Prompts().empty());
  EXPECT_EQ(t->Categorisation().CategorisationBox, "Data incomplete");

  // With the middle test gone, the newest is compared with the oldest.
  DeleteTest(Conn(), pat, "2019-06-01");
  Redo(pat);
  rows = ReadResults(Conn(), pat);
  ASSERT_EQ(rows.size(), 2u);
  EXPECT_EQ(rows[0].categorisation, "HSE:  1 ");
  EXPECT_EQ(rows[0].previous, "2018-06-01");
}

// A test added in the middle changes its own categorisation and that of the
// newer test it now comes before; an older test is not categorised again
// (its stored text, made stale here by hand, stays as it was).
TEST_F(Recategorise, AddedTestRedoesItselfAndTheNextNewerOnly) {
  const QString pat = "Mid-1";
  AddPatient(Conn(), pat, "1985-01-01", "Male");
  AddTest(Conn(), pat, "2016-06-01", kFlat10, kFlat10);
  AddTest(Conn(), pat, "2018-06-01", kFlat10, kFlat10);
  AddTest(Conn(), pat, "2020-06-01", kHigh, kHigh);
  Redo(pat);
  EXPECT_EQ(Categorisations(Conn(), pat),
            (QStringList{"HSE:  1 4B ", "HSE:  1 ", "HSE:  1 4-no data "}));
  Conn().Exec("UPDATE TestDetails SET Categorisation = 'stale' WHERE DateofTest = '2016-06-01'");

  AddTest(Conn(), pat, "2019-06-01", kHigh, kHigh);
  Redo(pat, AddedTest{"2019-06-01", "10:00:00"});
  // 2020 now follows a test as high as itself: no rapid loss any more.
  EXPECT_EQ(Categorisations(Conn(), pat),
            (QStringList{"HSE:  1 ", "HSE:  1 4B ", "HSE:  1 ", "stale"}));

  // A key that is not stored does the whole patient.
  RecategorisePatient(t->Db(), t->ForCategorising(), pat, AddedTest{"2001-01-01", "10:00:00"});
  EXPECT_EQ(Categorisations(Conn(), pat).last(), "HSE:  1 4-no data ");
}

TEST_F(Recategorise, MissingBirthDateAsksOutsideBulkModeOnly) {
  AddPatient(Conn(), "7", QString(), "Female");
  AddTest(Conn(), "7", "2020-06-01", kFlat10, kFlat10);
  RecategorisePatient(t->Db(), t->ForCategorising(), "7");
  ASSERT_EQ(t.prompter.Prompts().size(), 1u);
  EXPECT_EQ(t.prompter.Prompts()[0].title, "Date of Birth Required for Categorisation");
  EXPECT_TRUE(t.prompter.Prompts()[0].text.endsWith("Patient: 7"));
  EXPECT_EQ(Categorisations(Conn(), "7"), QStringList{"HSE: Data incomplete"});
  CategoriseEnv bulk = t->ForCategorising();
  bulk.bulk_mode = true;
  RecategorisePatient(t->Db(), bulk, "7");
  EXPECT_EQ(t.prompter.Prompts().size(), 1u);
}

TEST_F(Recategorise, FrenchValuesAreStored) {
  t->SetUserLocale(1036);
  t->Schemes() = {};
  t->Schemes().CheckMP42 = t->Schemes().CheckPAM = t->Schemes().CheckIPA = true;
  AddPatient(Conn(), "F1", "1970-01-01", "Female");
  AddTest(Conn(), "F1", "2020-06-01", "0 30 40 0 40 10 40 5 0", "0 80 80 0 80 7 80 0 0");
  RecategorisePatient(t->Db(), t->ForCategorising(), "F1");
  const auto rows = ReadResults(Conn(), "F1");
  ASSERT_EQ(rows.size(), 1u);
  EXPECT_EQ(rows[0].categorisation,
            "MP42= 37,50  PAM= 60  [PAM(D)= 80, PAM(G)= 40]  "
            "IPA= 23.7  [IPA(D)= 29, IPA(G)= 18.3]  ");
  EXPECT_DOUBLE_EQ(rows[0].mp42, 37.5);
  EXPECT_DOUBLE_EQ(rows[0].pam, 60.0);
  EXPECT_DOUBLE_EQ(rows[0].ipa, static_cast<double>((55.0f / 3.0f + 29.0f) / 2.0f));
}

// A stored threshold that is not a number: that test is reported and keeps
// what it had; every other test is categorised.
TEST_F(Recategorise, TextInAStoredThresholdIsReportedAndTheRestGoesOn) {
  AddPatient(Conn(), "A", "1980-01-01", "Male");
  AddTest(Conn(), "A", "2018-01-01", kFlat10, kFlat10);
  AddTest(Conn(), "A", "2019-01-01", "10 10 10 10 abc 10 10 10 10", kFlat10, "old");
  AddTest(Conn(), "A", "2020-01-01", kFlat10, kFlat10);
  AddPatient(Conn(), "B", "1980-01-01", "Female");
  AddTest(Conn(), "B", "2017-01-01", kFlat10, kFlat10);
  const auto outcome = RecategoriseAll(t->Db(), t->ForCategorising());
  EXPECT_EQ(outcome.patients_done, 2);
  EXPECT_FALSE(outcome.stopped);
  EXPECT_EQ(Categorisations(Conn(), "A"), (QStringList{"HSE:  1 ", "old", "HSE:  1 4-no data "}));
  EXPECT_EQ(Categorisations(Conn(), "B"), QStringList{"HSE:  1 4-no data "});
  const QStringList texts = t.prompter.Texts();
  ASSERT_EQ(texts.size(), 2);  // the question, then the one report
  EXPECT_EQ(texts[0], "Recategorise the whole database?");
  EXPECT_EQ(texts[1], "An error has occurred: Type mismatch Error No: 13 (recategorise)");

  // Under the French schemes the same cell is reported by PAM, which goes on.
  t->SetUserLocale(1036);
  t->Schemes() = {};
  t->Schemes().CheckPAM = true;
  RecategorisePatient(t->Db(), t->ForCategorising(), "A");
  EXPECT_EQ(Categorisations(Conn(), "A"),
            (QStringList{"PAM= 10  [PAM(D)= 10, PAM(G)= 10]  ", "PAM= 5  [PAM(D)= 10, PAM(G)= 0]  ",
                         "PAM= 10  [PAM(D)= 10, PAM(G)= 10]  "}));
  EXPECT_EQ(t.prompter.Texts().last(),
            "An error has occurred: Type mismatch Error No: 13 (pamcategorise:954)");
}

TEST_F(Recategorise, AllAsksFirstAndStopsAfterTheCurrentPatient) {
  AddPatient(Conn(), "P1", "1980-01-01", "Male");
  AddTest(Conn(), "P1", "2020-03-01", kFlat10, kFlat10);
  AddPatient(Conn(), "P2", "1980-01-01", "Male");
  AddTest(Conn(), "P2", "2020-02-01", kFlat10, kFlat10);
  AddPatient(Conn(), "P3", "1980-01-01", "Male");
  AddTest(Conn(), "P3", "2020-01-01", kFlat10, kFlat10);

  t.prompter.QueueAnswer(Prompter::Answer::Cancel);
  auto outcome = RecategoriseAll(t->Db(), t->ForCategorising());
  EXPECT_TRUE(outcome.cancelled);
  EXPECT_EQ(outcome.patients_done, 0);
  EXPECT_EQ(Categorisations(Conn(), "P1"), QStringList{QString()});

  t.prompter.StopProgressAt(1);
  outcome = RecategoriseAll(t->Db(), t->ForCategorising());
  EXPECT_TRUE(outcome.stopped);
  EXPECT_EQ(outcome.patients_done, 1);
  EXPECT_EQ(outcome.patients_total, 3);
  // The register's order: the newest test first.
  EXPECT_EQ(Categorisations(Conn(), "P1"), QStringList{"HSE:  1 4-no data "});
  EXPECT_EQ(Categorisations(Conn(), "P2"), QStringList{QString()});
  EXPECT_EQ(outcome.first_patient, "P1");

  // A stop asked from the progress callback (the window's Stop button).
  t.prompter.StopProgressAt(100);
  std::vector<int> seen;
  outcome = RecategoriseAll(t->Db(), t->ForCategorising(), [&](int done, int total) {
    seen.push_back(done);
    EXPECT_EQ(total, 3);
    if (done == 2) RecategoriseStop(t->Categorisation());
  });
  EXPECT_TRUE(outcome.stopped);
  EXPECT_EQ(seen, (std::vector<int>{1, 2}));
  EXPECT_EQ(Categorisations(Conn(), "P2"), QStringList{"HSE:  1 4-no data "});
  EXPECT_EQ(Categorisations(Conn(), "P3"), QStringList{QString()});

  outcome = RecategoriseAll(t->Db(), t->ForCategorising());
  EXPECT_FALSE(outcome.stopped);
  EXPECT_EQ(outcome.patients_done, 3);
  EXPECT_EQ(Categorisations(Conn(), "P3"), QStringList{"HSE:  1 4-no data "});
}

TEST_F(Recategorise, NewestTestIsReportedForTheRecallQuestions) {
  AddPatient(Conn(), "R", "1980-01-01", "Male");
  AddTest(Conn(), "R", "2020-01-10", kFlat10, kFlat10, "HSE:  1 ", "2020-02-29");
  AddTest(Conn(), "R", "2020-02-12", kFlat10, kFlat10);
  NewestTest newest = Redo("R");
  ASSERT_TRUE(newest.found);
  EXPECT_EQ(newest.categorisation, "HSE:  1 ");
  EXPECT_TRUE(newest.one_month_recall_due);  // the test before was recalled within a month
  EXPECT_EQ(Conn()
                .QueryValue(QStringLiteral("SELECT DateofTest FROM TestDetails WHERE rowid = %1")
                                .arg(newest.rowid))
                ->toString(),
            "2020-02-12");
  // Recategorising asks nothing itself: the save asks once committed.
  EXPECT_TRUE(t.prompter.Prompts().empty());
  // An unknown patient: nothing found and the text emptied.
  t->Categorisation().CategorisationText = "left over";
  EXPECT_FALSE(RecategorisePatient(t->Db(), t->ForCategorising(), "nobody").found);
  EXPECT_EQ(t->Categorisation().CategorisationText, "");
}

// The record editor relinks and recategorises inside its own save
// transaction; the passes nest in it and roll back with it.
TEST_F(Recategorise, NestsInTheCallersTransaction) {
  AddPatient(Conn(), "S", "1980-01-01", "Male");
  AddTest(Conn(), "S", "2019-01-01", kFlat10, kFlat10);
  {
    db::Transaction save(Conn());
    AddTest(Conn(), "S", "2020-01-01", kFlat10, kFlat10);
    Redo("S");  // not committed: everything goes back
  }
  auto rows = ReadResults(Conn(), "S");
  ASSERT_EQ(rows.size(), 1u);
  EXPECT_TRUE(rows[0].categorisation.isNull());
  {
    db::Transaction save(Conn());
    AddTest(Conn(), "S", "2020-01-01", kFlat10, kFlat10);
    Redo("S");
    save.Commit();
  }
  rows = ReadResults(Conn(), "S");
  ASSERT_EQ(rows.size(), 2u);
  EXPECT_EQ(rows[0].categorisation, "HSE:  1 ");
  EXPECT_EQ(rows[0].previous, "2019-01-01");
  EXPECT_EQ(rows[1].categorisation, "HSE:  1 4-no data ");
  EXPECT_TRUE(t.prompter.Prompts().empty());
}

}  // namespace
}  // namespace sonivera::test
