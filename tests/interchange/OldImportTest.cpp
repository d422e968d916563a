#include <gtest/gtest.h>

#include "base/Messages.h"
#include "interchange/ImportSupport.h"
#include "interchange/OldImport.h"
#include "support/Checks.h"

namespace sonivera {
namespace {

using test::Count;
using test::TestApp;

QString Sample(const char* name) { return QStringLiteral(SONIVERA_TEST_DATA "/") + name; }

using Kind = OldReleaseImporter::Kind;

// Reports each imported record to `on_record`, which may stop the import.
struct CountListener : OldImportListener {
  void RecordImported(int imported) override { on_record(imported); }
  std::function<void(int)> on_record;
};

ImportSummary ImportOld(TestApp& t, Kind kind, const QString& path, bool baseline = false,
                        std::vector<int>* counts = nullptr, int stop_at = 0) {
  RecordEditor editor(t->ForEditor(), nullptr);
  OldReleaseImporter importer(t->ForImport(editor, nullptr), t->Schemes());
  importer.SetCreateBaseline(baseline);
  CountListener listener;
  listener.on_record = [&](int n) {
    if (counts) counts->push_back(n);
    if (stop_at > 0 && n == stop_at) importer.RequestStop();
  };
  importer.SetListener(&listener);
  const ImportSummary summary = importer.ImportFile(kind, path);
  EXPECT_FALSE(editor.BulkMode());
  return summary;
}

class OldImportTest : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(t.Init()); }
  ImportSummary Run(Kind kind, const QString& path, bool baseline, int stop_at = 0) {
    return ImportOld(t, kind, path, baseline, &counts, stop_at);
  }
  QString Value(const QString& sql) { return test::Stored(t, sql); }
  QString Patients() { return Value(test::kPatientsAndTestCounts); }
  TestApp t;
  std::vector<int> counts;
};

TEST_F(OldImportTest, BothSampleLayoutsGiveTheSameRegister) {
  for (const auto& [kind, file] :
       {std::pair{Kind::Csv, "old31_sample.csv"}, std::pair{Kind::Dat, "old31_sample.dat"}}) {
    SCOPED_TRACE(file);
    TestApp fresh;
    ASSERT_TRUE(fresh.Init());
    const ImportSummary summary = ImportOld(fresh, kind, Sample(file));
    EXPECT_EQ(test::Counts(summary), "4 added, 0 existing, 0 rejected");
    auto value = [&](const char* sql) { return test::Stored(fresh, sql); };
    // No number: SNV1. A year of birth alone: 1 January. Sex from MALE/FEMALE.
    EXPECT_EQ(value("SELECT Surname || DOB || Sex FROM PatDetails WHERE PatNo = 'SNV1'"),
              "O'Leary1970-01-01Female");
    EXPECT_EQ(value("SELECT Sex FROM PatDetails WHERE PatNo = '1002'"), "Male");
    EXPECT_EQ(value("SELECT COUNT(*) FROM TestDetails WHERE PatNo = '1001'"), "2");
    EXPECT_EQ(value("SELECT \"4kHz\" FROM TestResultsLeft WHERE PatNo = '1001' AND TestDate = "
                    "'1999-03-08'"),
              "50");
  }
}

TEST_F(OldImportTest, PatientNumberRulesAndRepeatedImport) {
  t->Db().Conn().Exec("INSERT INTO PatDetails (PatNo, Surname) VALUES ('1001', 'Jones')");
  t->Db().Conn().Exec("INSERT INTO PatDetails (PatNo, Surname) VALUES ('SNV1', 'Other')");
  const ImportSummary first = Run(Kind::Csv, Sample("old31_sample.csv"), false);
  EXPECT_EQ(first.added, 4);
  // 1001 belongs to Jones: both Hughes records land on one new number.
  EXPECT_EQ(Patients(), "1001:Jones:0 1001_1:Hughes:2 1002:Evans:1 SNV1:Other:0 SNV2:O'Leary:1");
  EXPECT_EQ(counts, (std::vector<int>{1, 2, 3, 4}));

  t.prompter = test::ScriptedPrompter();
  const ImportSummary second = Run(Kind::Csv, Sample("old31_sample.csv"), false);
  EXPECT_EQ(test::Counts(second), "0 added, 4 existing, 0 rejected");
  EXPECT_EQ(Patients(), "1001:Jones:0 1001_1:Hughes:2 1002:Evans:1 SNV1:Other:0 SNV2:O'Leary:1");
}

TEST_F(OldImportTest, BaselineComesFromThePreviousResultsOfTheOldestRecord) {
  ASSERT_EQ(Run(Kind::Dat, Sample("old31_sample.dat"), true).added, 4);
  // 1001's first record carries a 1995 test: stored first, then both records.
  EXPECT_EQ(Value("SELECT COUNT(*) FROM TestDetails WHERE PatNo = '1001'"), "3");
  EXPECT_EQ(Value("SELECT MIN(DateofTest) FROM TestDetails WHERE PatNo = '1001'"), "1995-01-11");
  EXPECT_EQ(Value("SELECT \"8kHz\" FROM TestResultsRight WHERE PatNo = '1001' AND TestDate = "
                  "'1995-01-11'"),
            "20");
  // Records without previous results get no baseline.
  EXPECT_EQ(Value("SELECT COUNT(*) FROM TestDetails WHERE PatNo = '1002'"), "1");
}

TEST_F(OldImportTest, QuestionsFirstAndBadFilesAreRefused) {
  t.prompter.QueueAnswer(Prompter::Answer::Yes);
  RecordEditor editor(t->ForEditor(), nullptr);
  OldReleaseImporter importer(t->ForImport(editor, nullptr), t->Schemes());
  EXPECT_TRUE(importer.AskBeforeImport());
  EXPECT_EQ(test::Shown(t.prompter),
            (QStringList{"Create Baseline|Create baseline audiogram from previous results "
                         "contained in oldest record?",
                         "Sort Import|Make sure the import file is sorted in test date order."}));
  EXPECT_EQ(t.prompter.Prompts()[0].buttons, Prompter::Buttons::YesNo);

  t.prompter = test::ScriptedPrompter();
  const ImportSummary wrong = Run(Kind::Csv, Sample("old31_sample.dat"), false);
  EXPECT_TRUE(wrong.refused);
  EXPECT_EQ(test::Shown(t.prompter),
            QStringList{"Incompatible File Type|This is not an Sonivera 3.1 file type."});

  // Bad records are reported and skipped; the good one is stored.
  t.prompter = test::ScriptedPrompter();
  t.folder.Write("bad.csv",
                 "[SNV/3.1 Format]\r\n"
                 "77,Short,Line,\r\n"
                 "78,Abbot,Ann,01/01/1980,FEMALE,32/01/1999,09:00:00,,,,," +
                     QByteArray("5,").repeated(18) + "\r\n" +
                     "79,Baker,Bo,01/01/1980,MALE,01/01/1999,09:00:00,,,,," +
                     QByteArray("abc,").repeated(18) + "\r\n" +
                     "80,Cole,Cy,01/01/1980,MALE,01/01/1999,09:00:00,,,,," +
                     QByteArray("5,").repeated(18) + "\r\n");
  const ImportSummary mixed = Run(Kind::Csv, t.folder.File("bad.csv"), false);
  EXPECT_EQ(test::Counts(mixed), "1 added, 0 existing, 3 rejected");
  EXPECT_EQ(t.prompter.Texts().filter("File format error. Pat No: ").size(), 3);
  EXPECT_EQ(Count(t, "SELECT COUNT(*) FROM PatDetails"), 1);
}

TEST_F(OldImportTest, StopEndsTheImportBetweenRecords) {
  const ImportSummary summary = Run(Kind::Csv, Sample("old31_sample.csv"), false, 2);
  EXPECT_TRUE(summary.stopped);
  EXPECT_EQ(summary.added, 2);
}

}  // namespace
}  // namespace sonivera
