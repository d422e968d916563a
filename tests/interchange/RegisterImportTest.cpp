#include <gtest/gtest.h>

#include "base/Messages.h"
#include "interchange/ImportSupport.h"

namespace sonivera {
namespace {

using test::Count;
using test::CsvFileText;
using test::ExportFrom;
using test::ImportInto;
using test::TestApp;

CsvRecord Line(const QString& pat_no, const QString& surname, const QString& date,
               const QString& time) {
  CsvRecord r;
  r[kCsvPatNo] = pat_no;
  r[kCsvSurname] = surname;
  r[kCsvForenames] = "Alex";
  r[kCsvLastTest] = date;
  r[kCsvTimeofTest] = time;
  r[kCsvDOB] = "02/02/1970";
  r[kCsvSex] = "M";
  for (int i = 0; i < 9; ++i) {
    r[kCsvLeft250 + i] = QString::number(10 + i);
    r[kCsvRight250 + i] = QString::number(5 + i);
  }
  return r;
}
// The same as a 5.2 file line, with the given values changed.
QString Text(const QString& pat_no, const QString& surname, const QString& date,
             const QString& time, std::initializer_list<std::pair<int, QString>> changes = {}) {
  CsvRecord r = Line(pat_no, surname, date, time);
  for (const auto& [column, value] : changes) r[column] = value;
  return FormatCsvLine(r, CsvLayout::Snv52);
}

QString LogText(TestApp& t) { return QString::fromUtf8(t.folder.Read("err.log")); }

class RegisterImportTest : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(t.Init()); }
  ImportSummary Import(const QByteArray& text) {
    t.folder.Write("in.csv", text);
    return ImportInto(t, t.folder.File("in.csv"));
  }
  TestApp t;
};

TEST_F(RegisterImportTest, MixedFileStoresExactlyTheGoodLinesAndReportsEachBadOne) {
  QString unclosed = Text("B5", "Bad", "01/01/2020", "09:00:00");
  unclosed.replace(",\"\",", ",\"Category 1,");
  const QString cut = Text("B6", "Cut", "01/03/2024", "09:15:00");
  const QStringList lines{
      Text("G1", "O'Neill", "01/03/2024", "09:15:00"),
      Text("", "Nobody", "01/03/2024", "09:15:00"),
      Text("G1", "Smith", "02/03/2024", "09:15:00"),    // wrong surname
      Text("G1", "O'NEILL", "01/03/2024", "09:15:00"),  // stored just above
      Text("G1", "o'neill", "01/03/2025", "10:00:00"),  // a second test
      Text("B1", "Bad", "01/01/2020", "09:00:00", {{kCsvLeft250 + 3, "abc"}}),
      Text("B2", "Bad", "01/01/2020", "09:00:00", {{kCsvRight250, "999"}}),
      unclosed,
      Text("B3", "Bad", "31/02/2020", "09:00:00"),
      Text("B4", "Bad", "01/01/2020", "quarter past"),
      Text("G3", "Long", "05/05/2021", "11:00:00", {{kCsvNotes, QString(100000, u'n')}}),
      "",
      Text("G2", "Smith, Jr", "04/04/2023", "08:00:00"),
  };
  const QString journal = t->Db().Conn().QueryValue("PRAGMA journal_mode")->toString();
  QByteArray text =
      CsvFileText(CsvLayout::Snv52, lines, "[SNV/5.2 Format] exported by another clinic");
  text += cut.left(cut.size() / 2).toUtf8();  // a file cut short
  const ImportSummary summary = Import(text);
  EXPECT_EQ(test::Counts(summary), "4 added, 1 existing, 8 rejected");
  EXPECT_EQ(test::Stored(t, test::kPatientsAndTestCounts), "G1:o'neill:2 G2:Smith, Jr:1 G3:Long:1");
  EXPECT_EQ(Count(t, "SELECT length(Notes) FROM TestDetails WHERE PatNo = 'G3'"), 100000);

  const QStringList shown = t.prompter.Texts();
  const QStringList expected_shown{
      Msg(1400),
      Msg(1404) + "G1",
      "This record already exists in the database. Pat No:G1 Date of Test: 01/03/2024 Time of "
      "Test: 09:15:00",
      "File format error. Pat No: B1",
      "File format error. Pat No: B2",
      "Categorisation data has wrong format.",
      "File format error. Pat No: B6",
  };
  for (const auto& text : expected_shown) EXPECT_TRUE(shown.contains(text)) << text.toStdString();
  const QString log = LogText(t);
  for (const char* logged :
       {"File Import: No pat no specified", "Wrong Surname for this Pat. No: G1 :1404",
        "Time of Test: 09:15:00 :1401", "File format error. Pat No: B1 (threshold \"abc\") :1405",
        "File format error. Pat No: B2 (threshold \"999\") :1405",
        "File Import: Categorisation data has wrong format. Pat No: B5",
        "File Import: Date Error Pat No: B3", "File Import: Date Error Pat No: B4"}) {
    EXPECT_TRUE(log.contains(logged)) << logged;
  }
  EXPECT_TRUE(log.contains(QRegularExpression("File Import: Date Error Pat No: B3[^\\n]* :958")));
  // Every refused line is logged with the file, its line and its patient.
  for (const char* place :
       {"(file in.csv, line 4)", "(file in.csv, line 5, Pat No: G1)",
        "(file in.csv, line 6, Pat No: G1)", "(file in.csv, line 8, Pat No: B1)",
        "(file in.csv, line 9, Pat No: B2)", "(file in.csv, line 10, Pat No: B5)",
        "(file in.csv, line 11, Pat No: B3)", "(file in.csv, line 12, Pat No: B4)",
        "(file in.csv, line 16, Pat No: B6)"}) {
    EXPECT_TRUE(log.contains(place)) << place;
  }
  EXPECT_TRUE(log.contains(Msg(1014) + " (file in.csv, line 11, Pat No: B3)"));
  // The save judged the invalid date and time of test.
  EXPECT_TRUE(shown.contains(Msg(1014)));
  EXPECT_TRUE(shown.contains(Msg(1013)));
  EXPECT_EQ(t->Db().Conn().QueryValue("PRAGMA journal_mode")->toString(), journal);
}

// A line refused half-way through its save (the answers, written after the
// patient, the test and both ears, hold a text longer than its field) leaves
// nothing of itself: no patient, no test, no ear row. The lines around it,
// saved in the same commit group, stay whole.
TEST_F(RegisterImportTest, LineRefusedHalfWayLeavesNothingOfItself) {
  const CsvLayout l52 = CsvLayout::Snv52;
  CsvRecord before = Line("H1", "Half", "01/03/2024", "09:00:00");
  CsvRecord refused_new = Line("H2", "Half", "01/03/2024", "09:30:00");
  CsvRecord refused_next = Line("H1", "Half", "02/03/2024", "09:00:00");
  CsvRecord after = Line("H3", "Half", "01/03/2024", "10:00:00");
  for (CsvRecord* r : {&before, &refused_new, &refused_next, &after}) {
    r->has_answers = true;
    r->codes.fill("0");
  }
  refused_new.texts[49] = QString(101, u'a');
  refused_next.texts[49] = QString(101, u'b');
  const ImportSummary summary =
      Import(CsvFileText(l52, {FormatCsvLine(before, l52), FormatCsvLine(refused_new, l52),
                               FormatCsvLine(refused_next, l52), FormatCsvLine(after, l52)}));
  EXPECT_EQ(test::Counts(summary), "2 added, 0 existing, 2 rejected");
  EXPECT_EQ(Count(t, "SELECT COUNT(*) FROM PatDetails WHERE PatNo = 'H2'"), 0);
  // Each table holds the rows of H1's first test and of H3 only.
  for (const char* table :
       {"TestResultsLeft", "TestResultsRight", "TestQuestions", "TestDetails", "AddressDetails"}) {
    EXPECT_EQ(test::Stored(t, QStringLiteral("SELECT group_concat(PatNo, ' ') FROM (SELECT PatNo "
                                             "FROM %1 ORDER BY PatNo)")
                                  .arg(table)),
              "H1 H3")
        << table;
  }
  // H1's test keeps its links: the refused later test changed nothing of it.
  EXPECT_EQ(
      Count(t, "SELECT COUNT(*) FROM TestDetails WHERE PatNo = 'H1' AND PreviousTest IS NULL"), 1);
  EXPECT_EQ(Count(t,
                  "SELECT COUNT(*) FROM PatDetails WHERE PatNo = 'H1' AND "
                  "DateofTest = '2024-03-01'"),
            1);
}

TEST_F(RegisterImportTest, WrongHeadersStoreNothing) {
  const QString good = Text("G1", "Hale", "01/03/2024", "09:15:00");
  for (const char* header : {"[SNV/3.1 Format]", "Pat No,Surname", "[SNV/5.1 Format]", " "}) {
    t.prompter = test::ScriptedPrompter();
    const ImportSummary summary = Import(CsvFileText(CsvLayout::Snv52, {good}, header));
    EXPECT_TRUE(summary.refused) << header;
    EXPECT_EQ(t.prompter.Texts(), QStringList{Msg(1406)}) << header;
  }
  EXPECT_EQ(Count(t, "SELECT COUNT(*) FROM TestDetails"), 0);
  EXPECT_EQ(LogText(t).count("File Import: Wrong file format - missing or incorrect header"), 4);
  // An empty file ends the import silently.
  t.prompter = test::ScriptedPrompter();
  EXPECT_FALSE(Import("").refused);
  EXPECT_TRUE(t.prompter.Texts().isEmpty());
}

TEST_F(RegisterImportTest, AnswersAndExtraFrequenciesFollowTheLayout) {
  CsvRecord r = Line("Q1", "Ames", "01/03/2024", "09:15:00");
  r.has_answers = true;
  r.codes.fill("0");
  r.codes[0] = "1";
  r.codes[1] = "2";
  r.texts[1] = "Ten years, on presses";
  r.has_extra = true;
  r.extra = {"15", "20", "25", "30"};
  r[kCsvSex] = "Female";
  CsvRecord second = r;
  second[kCsvLastTest] = "01/03/2025";
  ASSERT_EQ(Import(CsvFileText(CsvLayout::Snv52, {FormatCsvLine(r, CsvLayout::Snv52)})).added, 1);
  // The same answers in a 5.0 file: the questionnaire is read, 125/750 Hz are not.
  ASSERT_EQ(Import(CsvFileText(CsvLayout::Snv5, {FormatCsvLine(second, CsvLayout::Snv52)})).added,
            1);
  CsvRecord third = r;
  third[kCsvLastTest] = "01/03/2026";
  ASSERT_EQ(Import(CsvFileText(CsvLayout::Snv5, {FormatCsvLine(third, CsvLayout::Snv5)})).added, 1);

  EXPECT_EQ(test::Stored(t, "SELECT Sex FROM PatDetails WHERE PatNo = 'Q1'"), "Female");
  // Per test: the first code and second answer, left 125 Hz and right 125/750 Hz.
  EXPECT_EQ(test::Stored(t,
                         "SELECT group_concat(q.Q1 || '|' || ifnull(q.Ans2, 'none') || '|' || "
                         "ifnull(l.\"125Hz\", '') || '|' || ifnull(r.\"125Hz\", '') || '|' || "
                         "ifnull(r.\"750Hz\", ''), ' / ') FROM TestQuestions q "
                         "JOIN TestResultsLeft l USING (PatNo, TestDate, TestTime) "
                         "JOIN TestResultsRight r USING (PatNo, TestDate, TestTime)"),
            "1|Ten years, on presses|15|25|30 / 1|Ten years, on presses||| / 0|none|||");
}

// A generated register with names holding apostrophes and commas goes out
// and comes back whole.
TEST(RegisterRoundTripTest, ExportImportExportGivesTheSameFile) {
  TestApp a;
  ASSERT_TRUE(a.Init());
  GeneratorOptions options;
  options.patients = 300;
  options.tests_per_patient = 3;
  options.seed = 7;
  const CategoriseEnv categorise = a->ForCategorising();
  GenerateRegister(a->Db().Conn(), options, &categorise);
  auto& conn = a->Db().Conn();
  conn.Exec("UPDATE PatDetails SET Surname = Surname || ', Jr' WHERE rowid % 7 = 0");
  conn.Exec("UPDATE TestDetails SET Notes = 'Said \"loud\", twice' WHERE rowid % 5 = 0");
  ASSERT_GT(Count(a, "SELECT COUNT(*) FROM PatDetails WHERE Surname LIKE '%''%'"), 0);
  const QByteArray first = ExportFrom(a, "a.csv");
  ASSERT_EQ(first.count("\r\n"), 302);

  TestApp b;
  ASSERT_TRUE(b.Init());
  const ImportSummary imported = ImportInto(b, a.folder.File("a.csv"));
  EXPECT_EQ(test::Counts(imported), "300 added, 0 existing, 0 rejected");
  const QByteArray second = ExportFrom(b, "b.csv");
  EXPECT_EQ(second, first);

  // The same file again adds nothing and names every line as stored.
  b.prompter = test::ScriptedPrompter();
  const ImportSummary again = ImportInto(b, a.folder.File("a.csv"));
  EXPECT_EQ(test::Counts(again), "0 added, 300 existing, 0 rejected");
  EXPECT_EQ(b.prompter.Texts().filter("This record already exists in the database.").size(), 300);
  EXPECT_EQ(Count(b, "SELECT COUNT(*) FROM TestDetails"), 300);
  EXPECT_EQ(ExportFrom(b, "c.csv"), first);
}

TEST(RegisterExportTest, EmptyRegisterAndLayouts) {
  TestApp t;
  ASSERT_TRUE(t.Init());
  t.prompter.QueueFile(t.folder.File("Exportdata.csv"));
  EXPECT_FALSE(ExportRegisterCsv(t->Folder(), t->Db(), t->Reporter(), QString(), {}).written);
  EXPECT_EQ(t.prompter.Texts(), QStringList{"No data available to export"});
  ASSERT_EQ(t.prompter.file_dialogs.size(), 1u);
  EXPECT_EQ(t.prompter.file_dialogs[0].initial_name, "Exportdata.csv");
  EXPECT_TRUE(t.prompter.file_dialogs[0].overwrite_prompt);

  t.folder.Write("in.csv",
                 CsvFileText(CsvLayout::Snv52, {Text("P1", "Lee", "01/03/2024", "09:15:00")}));
  ASSERT_EQ(ImportInto(t, t.folder.File("in.csv")).added, 1);
  const auto rows = RegisterRows(t->Db().Conn(), RegisterSql());
  // A given name: the 5.0 layout in the program folder, no dialog.
  EXPECT_TRUE(ExportRegisterCsv(t->Folder(), t->Db(), t->Reporter(), "veldata.csv", rows).written);
  const QStringList lines = QString::fromUtf8(t.folder.Read("veldata.csv")).split("\r\n");
  ASSERT_EQ(lines.size(), 4);  // three lines and the ending of the last
  EXPECT_EQ(lines[0], "[SNV/5 Format]");
  EXPECT_EQ(lines[2].count(u','), 51);
  EXPECT_TRUE(lines[2].startsWith("P1,Lee,Alex,01/03/2024,09:15:00,,02/02/1970,\""));
  EXPECT_EQ(t.prompter.file_dialogs.size(), 1u);
  // A cancelled dialog writes nothing.
  EXPECT_FALSE(ExportRegisterCsv(t->Folder(), t->Db(), t->Reporter(), QString(), rows).written);
}

}  // namespace
}  // namespace sonivera
