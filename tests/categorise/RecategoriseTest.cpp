#include <gtest/gtest.h>

#include "categorise/SchemeRig.h"
#include "categorise/StoredTests.h"
#include "register/Recategorise.h"
#include "support/TestApp.h"

namespace sonivera::test {
namespace {

const QString kFlat10 = "10 10 10 10 10 10 10 10 10";
const QString kHigh = "10 10 10 10 10 20 20 20 10";  // 3, 4 and 6 kHz up 10 each

class Recategorise : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(t.Init());
    t->Schemes().CheckHSE = true;
  }
  db::Connection& Conn() { return t->Db().Conn(); }
  // A patient born 1980 with a test at every threshold 10 on each date.
  void Patient(const QString& pat, const QStringList& dates, const QString& sex = "Male") {
    AddPatient(Conn(), pat, "1980-01-01", sex);
    for (const QString& date : dates) AddTest(Conn(), pat, date, kFlat10, kFlat10);
  }
  void DeleteTest(const QString& pat_no, const QString& date) {
    for (const char* sql : {"DELETE FROM TestDetails WHERE PatNo = ?1 AND DateofTest = ?2",
                            "DELETE FROM TestResultsLeft WHERE PatNo = ?1 AND TestDate = ?2",
                            "DELETE FROM TestResultsRight WHERE PatNo = ?1 AND TestDate = ?2"}) {
      Conn().Prepare(sql).Bind(1, pat_no).Bind(2, date).Run();
    }
  }
  // Relinks the patient's tests and categorises them again, as a save does.
  NewestTest Redo(const QString& pat, const std::optional<AddedTest>& added = std::nullopt) {
    RelinkPreviousTests(t->Db(), t->Reporter(), pat);
    return RecategorisePatient(t->Db(), t->ForCategorising(), pat, added);
  }
  NewestTest Once(const QString& pat, const std::optional<AddedTest>& added = std::nullopt) {
    return RecategorisePatient(t->Db(), t->ForCategorising(), pat, added);
  }
  RecheckOutcome RecheckShown(const QString& pat, int test_index) {
    return RecheckShift(t->Db(), t->Categorisation(), t->Reporter(), pat, test_index);
  }
  void FrenchSchemes(bool mp42, bool pam, bool ipa) {
    t->SetUserLocale(1036);
    t->Schemes() = {};
    t->Schemes().CheckMP42 = mp42;
    t->Schemes().CheckPAM = pam;
    t->Schemes().CheckIPA = ipa;
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
  // The oldest: no earlier results, so no rapid-loss check and no date message.
  EXPECT_EQ(Summaries(Conn(), pat),
            (QStringList{"2020-06-01<2019-06-01: HSE:  1 4B ", "2019-06-01<2018-06-01: HSE:  1 ",
                         "2018-06-01<-: HSE:  1 4-no data "}));
  EXPECT_TRUE(t.prompter.Prompts().empty());
  EXPECT_EQ(t->Categorisation().CategorisationBox, "Data incomplete");

  // With the middle test gone, the newest is compared with the oldest.
  DeleteTest(pat, "2019-06-01");
  Redo(pat);
  EXPECT_EQ(Summaries(Conn(), pat),
            (QStringList{"2020-06-01<2018-06-01: HSE:  1 ", "2018-06-01<-: HSE:  1 4-no data "}));
}

// A test added in the middle changes its own categorisation and that of the
// newer test it now comes before; an older test is not categorised again
// (its stored text, made stale here by hand, stays as it was).
TEST_F(Recategorise, AddedTestRedoesItselfAndTheNextNewerOnly) {
  const QString pat = "Mid-1";
  Patient(pat, {"2016-06-01", "2018-06-01"});
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
  Once(pat, AddedTest{"2001-01-01", "10:00:00"});
  EXPECT_EQ(Categorisations(Conn(), pat).last(), "HSE:  1 4-no data ");
}

TEST_F(Recategorise, MissingBirthDateAsksOutsideBulkModeOnly) {
  AddPatient(Conn(), "7", QString(), "Female");
  AddTest(Conn(), "7", "2020-06-01", kFlat10, kFlat10);
  Once("7");
  const QStringList asked{
      "Date of Birth Required for Categorisation|Please return to Patient details page, Press "
      "Edit and enter Date of Birth. Patient: 7"};
  EXPECT_EQ(Shown(t.prompter), asked);
  EXPECT_EQ(Categorisations(Conn(), "7"), QStringList{"HSE: Data incomplete"});
  CategoriseEnv bulk = t->ForCategorising();
  bulk.bulk_mode = true;
  RecategorisePatient(t->Db(), bulk, "7");
  EXPECT_EQ(Shown(t.prompter), asked);
}

TEST_F(Recategorise, FrenchValuesAreStored) {
  FrenchSchemes(true, true, true);
  AddPatient(Conn(), "F1", "1970-01-01", "Female");
  AddTest(Conn(), "F1", "2020-06-01", "0 30 40 0 40 10 40 5 0", "0 80 80 0 80 7 80 0 0");
  Once("F1");
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
  Patient("A", {"2018-01-01", "2020-01-01"});
  AddTest(Conn(), "A", "2019-01-01", "10 10 10 10 abc 10 10 10 10", kFlat10, "old");
  Patient("B", {"2017-01-01"}, "Female");
  const auto outcome = RecategoriseAll(t->Db(), t->ForCategorising());
  EXPECT_EQ(outcome.patients_done, 2);
  EXPECT_FALSE(outcome.stopped);
  EXPECT_EQ(Categorisations(Conn(), "A"), (QStringList{"HSE:  1 ", "old", "HSE:  1 4-no data "}));
  EXPECT_EQ(Categorisations(Conn(), "B"), QStringList{"HSE:  1 4-no data "});
  EXPECT_EQ(t.prompter.Texts(),
            (QStringList{"Recategorise the whole database?",
                         "An error has occurred: Type mismatch Error No: 13 (recategorise)"}));

  // Under the French schemes the same cell is reported by PAM, which goes on.
  FrenchSchemes(false, true, false);
  Once("A");
  EXPECT_EQ(Categorisations(Conn(), "A"),
            (QStringList{"PAM= 10  [PAM(D)= 10, PAM(G)= 10]  ", "PAM= 5  [PAM(D)= 10, PAM(G)= 0]  ",
                         "PAM= 10  [PAM(D)= 10, PAM(G)= 10]  "}));
  EXPECT_EQ(t.prompter.Texts().last(),
            "An error has occurred: Type mismatch Error No: 13 (pamcategorise:954)");
}

TEST_F(Recategorise, AllAsksFirstAndStopsAfterTheCurrentPatient) {
  Patient("P1", {"2020-03-01"});
  Patient("P2", {"2020-02-01"});
  Patient("P3", {"2020-01-01"});
  // Whether each patient's one test has been categorised.
  const auto done = [&] {
    QString marks;
    for (const char* pat : {"P1", "P2", "P3"}) {
      marks += Categorisations(Conn(), pat) == QStringList{"HSE:  1 4-no data "} ? '+' : '-';
    }
    return marks;
  };
  const auto counts = [](const RecategoriseOutcome& o) {
    return QString::number(o.patients_done) + "/" + QString::number(o.patients_total) +
           (o.stopped ? " stopped" : "") + (o.cancelled ? " cancelled" : "");
  };

  t.prompter.QueueAnswer(Prompter::Answer::Cancel);
  EXPECT_EQ(counts(RecategoriseAll(t->Db(), t->ForCategorising())), "0/0 cancelled");
  EXPECT_EQ(done(), "---");

  t.prompter.StopProgressAt(1);
  auto outcome = RecategoriseAll(t->Db(), t->ForCategorising());
  EXPECT_EQ(counts(outcome), "1/3 stopped");
  // The register's order: the newest test first.
  EXPECT_EQ(done(), "+--");
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
  EXPECT_EQ(done(), "++-");

  EXPECT_EQ(counts(RecategoriseAll(t->Db(), t->ForCategorising())), "3/3");
  EXPECT_EQ(done(), "+++");
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
  EXPECT_FALSE(Once("nobody").found);
  EXPECT_EQ(t->Categorisation().CategorisationText, "");
}

// The record editor relinks and recategorises inside its own save
// transaction; the passes nest in it and roll back with it.
TEST_F(Recategorise, NestsInTheCallersTransaction) {
  Patient("S", {"2019-01-01"});
  for (const bool commit : {false, true}) {
    {
      db::Transaction save(Conn());
      AddTest(Conn(), "S", "2020-01-01", kFlat10, kFlat10);
      Redo("S");
      if (commit) save.Commit();
    }
    if (!commit) {
      EXPECT_EQ(Summaries(Conn(), "S"), QStringList{"2019-01-01<-: "});
    }
  }
  EXPECT_EQ(Summaries(Conn(), "S"),
            (QStringList{"2020-01-01<2019-01-01: HSE:  1 ", "2019-01-01<-: HSE:  1 4-no data "}));
  EXPECT_TRUE(t.prompter.Prompts().empty());
}

// K'1 has a test before its flagged one, K'2 none.
TEST_F(Recategorise, RecheckComparesWithTheTestBeforeTheFlaggedOne) {
  auto& conn = Conn();
  for (const QString pat : {"K'1", "K'2"}) {
    AddPatient(conn, pat, "1980-01-01", "Male");
    AddTest(conn, pat, "2020-01-01", "0 0 0 0 0 10 30 10 0", "0 0 0 0 0 10 10 10 0",
            pat == "K'1" ? "HSE:  1    +10:4kL " : "+10:4kL ");
    AddTest(conn, pat, "2020-02-01", "0 0 0 0 0 10 25 10 0", "0 0 0 0 0 10 10 25 0", "HSE:  1 ");
  }
  AddTest(conn, "K'1", "2019-01-01", "0 0 0 0 0 10 10 10 0", "0 0 0 0 0 10 10 10 0", "HSE:  1 ");
  EXPECT_EQ(RecheckShown("K'1", 0), RecheckOutcome::Stored);
  const QStringList stored{"+10:4kL +10:6kR ", "HSE:  1    +10:4kL ", "HSE:  1 "};
  EXPECT_EQ(Categorisations(conn, "K'1"), stored);
  EXPECT_TRUE(t.prompter.Prompts().empty());

  // Shown test 1: the test before it is not flagged.
  EXPECT_EQ(RecheckShown("K'1", 1), RecheckOutcome::NotFlagged);
  EXPECT_EQ(Categorisations(conn, "K'1"), stored);
  EXPECT_EQ(RecheckShown("K'2", 0), RecheckOutcome::NoPreviousTest);
  EXPECT_EQ(Categorisations(conn, "K'2"), (QStringList{"HSE:  1 ", "+10:4kL "}));
  EXPECT_EQ(t.prompter.Texts(),
            (QStringList{"The previous test does not have +10dB categorisation.",
                         "No previous test result available."}));
}

}  // namespace
}  // namespace sonivera::test
