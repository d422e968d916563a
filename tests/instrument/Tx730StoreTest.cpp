// Storing a received transfer through the record editor.
#include <gtest/gtest.h>

#include "instrument/CompanionSupport.h"
#include "instrument/Tx730Framing.h"
#include "instrument/Tx730Parser.h"
#include "instrument/Tx730Store.h"
#include "instrument/Tx730Wire.h"
#include "register/RegisterFixture.h"

namespace sonivera {
namespace {
using test::Series1Block;
using test::Series3Line;

class Tx730StoreTest : public test::RegisterFixture {
 protected:
  ImportBuffer Parse(const QString& wire, bool series1 = false) {
    ConversionFile conversion =
        test::ShippedConversion(series1 ? kSeries1ConversionFile : kSeries3ConversionFile);
    const Tx730Framing framing =
        FrameWireText(wire, series1 ? FramingMode::Series1Blocks : FramingMode::Series3Lines, 16);
    return BuildImportBuffer(framing.Lines(), conversion, series1);
  }
  Tx730StoreOutcome Store(const ImportBuffer& buffer, const QString& series = "S3") {
    t.prompter.QueueAnswer(Prompter::Answer::Yes);
    Tx730Store store(t->Db(), t->Reporter(), *editor, t.prompter);
    return store.Store(buffer, series, QString::number(buffer.size()));
  }
};

// New patients (numbered SNV after the highest when the audiometer sent no
// number), duplicates, and known patients: a new audiogram unless the surname
// differs.
TEST_F(Tx730StoreTest, NewKnownAndUnnumberedPatientsAndDuplicates) {
  AddPatient("SNV1", "FIRST", "01/01/2020");
  AddPatient("SNV2", "SECOND", "01/01/2020");
  AddPatient("1001", "SMITH", "01/01/2020");
  AddPatient("1002", "OTHER", "01/01/2020");
  const QString wire = Series3Line("2001", "NEW", "14/03/2025", "10:30:00") + "\r\n" +
                       Series3Line("2001", "NEW", "14/03/2025", "10:30:00") + "\r\n" +
                       Series3Line("", "NONUMBER", "14/03/2025", "11:00:00") + "\r\n" +
                       Series3Line("1001", "smith", "14/03/2025", "10:30:00") + "\r\n" +
                       Series3Line("1002", "JONES", "14/03/2025", "10:30:00") + "\r\n";
  const Tx730StoreOutcome outcome = Store(Parse(wire));
  EXPECT_EQ(outcome.processed, 5);
  EXPECT_EQ(outcome.added, 3);
  EXPECT_EQ(outcome.message,
            "3 record(s) added to database. Some of the records already existed in the "
            "database, or were duplicates.");
  const QStringList prompts = test::Shown(t.prompter);
  EXPECT_EQ(prompts.front(),
            "Are you sure?|Are you sure you want to save 5 record(s) into the database?");
  EXPECT_TRUE(prompts.back().startsWith("Stored|"));
  EXPECT_TRUE(t.prompter.Texts().contains(
      "Patient No 1002 already in use. Please use: 'change to another patient number'."));
  // Patients with their number of tests; the known patient's boxes take the
  // audiometer's values, as if typed.
  EXPECT_EQ(Scalar("SELECT group_concat(PatNo || ':' || Surname || ':' || Forenames || ':' || "
                   "(SELECT COUNT(*) FROM TestDetails d WHERE d.PatNo = p.PatNo), ' ') "
                   "FROM (SELECT * FROM PatDetails ORDER BY PatNo) p"),
            "1001:smith:John:2 1002:OTHER:Ann:1 2001:NEW:John:1 SNV1:FIRST:Ann:1 "
            "SNV2:SECOND:Ann:1 SNV3:NONUMBER:John:1");
  EXPECT_EQ(Scalar("SELECT p.DOB || ' ' || p.Sex || '|' || d.DeptUnit || '|' || d.SerialNo || "
                   "'|' || a.Address1 || '|' || a.Address2 || '|' || l.\"500Hz\" || '/' || "
                   "l.\"8kHz\" || '/' || r.\"8kHz\" FROM PatDetails p "
                   "JOIN TestDetails d USING (PatNo) JOIN AddressDetails a USING (PatNo) "
                   "JOIN TestResultsLeft l USING (PatNo) JOIN TestResultsRight r USING (PatNo) "
                   "WHERE PatNo = '2001'"),
            "1970-02-01 Male|Works|SN42|1 High St|-|10/45/46");
}

TEST_F(Tx730StoreTest, CutRecordsAndEmptyBuffers) {
  // A record cut short is never stored in part.
  const QString good = Series3Line("1001", "SMITH", "14/03/2025", "10:30:00");
  const QString cut = Series3Line("1002", "JONES", "14/03/2025", "10:30:00").left(120);
  const Tx730StoreOutcome outcome = Store(Parse(good + "\r\n" + cut));
  EXPECT_EQ(outcome.processed, 2);
  EXPECT_EQ(outcome.added, 1);
  EXPECT_EQ(Scalar("SELECT COUNT(*) FROM PatDetails WHERE PatNo = '1002'"), "0");

  Tx730Store store(t->Db(), t->Reporter(), *editor, t.prompter);
  EXPECT_FALSE(store.Store({}, "S3", "0").stored);
  EXPECT_EQ(t.prompter.Texts().last(), "The import buffer is empty. Click on 'import' first.");
  EXPECT_FALSE(store.Store({}, "S5", "0").stored);
  EXPECT_EQ(t.prompter.Texts().last(),
            "The import buffer is empty, export record(s) from your audiometer first");
  // No to the question stores nothing.
  t.prompter.QueueAnswer(Prompter::Answer::No);
  EXPECT_FALSE(store.Store(Parse(good + "\r\n"), "S3", "1").stored);
}

TEST_F(Tx730StoreTest, Series1AsksDetailsAndNeedsAPatientNumber) {
  const QString wire = Series1Block("2001", "JONES", "15/03/2025");
  t.prompter.QueueAnswer(Prompter::Answer::Yes);
  Tx730Store store(t->Db(), t->Reporter(), *editor, t.prompter);
  int asked = 0;
  store.ask_series1_details = [&](int number, EntryFields& e) {
    ++asked;
    EXPECT_EQ(number, 1);
    e.OptionMale = false;
    e.OptionFemale = true;
    e.DOB = "03/04/1980";
  };
  const auto outcome = store.Store(Parse(wire, true), "S1", "1");
  EXPECT_EQ(outcome.added, 1) << t.prompter.Texts().join("|").toStdString();
  EXPECT_EQ(asked, 1);
  EXPECT_EQ(Scalar("SELECT DOB || ' ' || Sex FROM PatDetails WHERE PatNo = '2001'"),
            "1980-04-03 Female");
  EXPECT_EQ(Scalar("SELECT \"1_5kHz\" FROM TestResultsRight WHERE PatNo = '2001'"), "");

  // A known patient: the window starts from the register's details.
  store.ask_series1_details = [&](int, EntryFields& e) {
    EXPECT_TRUE(e.OptionFemale);
    EXPECT_EQ(e.DOB, "03/04/1980");
  };
  t.prompter.QueueAnswer(Prompter::Answer::Yes);
  EXPECT_EQ(store.Store(Parse(Series1Block("2001", "JONES", "16/03/2025"), true), "S1", "1").added,
            1);

  bool closed = false;
  store.close_window = [&] { closed = true; };
  t.prompter.QueueAnswer(Prompter::Answer::Yes);
  EXPECT_FALSE(store.Store(Parse(Series1Block("", "NONUM", "15/03/2025"), true), "S1", "1").stored);
  EXPECT_EQ(t.prompter.Texts().last(), "There must be a Patient Number");
  EXPECT_TRUE(closed);
}

}  // namespace
}  // namespace sonivera
