#include <gtest/gtest.h>

#include "interchange/CsvFile.h"
#include "interchange/CsvLayout.h"
#include "support/TempFolder.h"

namespace sonivera {
namespace {

CsvRecord SampleRecord() {
  CsvRecord r;
  r[kCsvPatNo] = "P1";
  r[kCsvSurname] = "O'Neill";
  r[kCsvForenames] = "Mary Ann";
  r[kCsvLastTest] = "01/03/2024";
  r[kCsvTimeofTest] = "09:15:00";
  r[kCsvCategorisation] = "Category 1, Warning";
  r[kCsvSex] = "Female";
  r[kCsvNotes] = "left ear wax";
  for (int i = 0; i < 9; ++i) r[kCsvLeft250 + i] = QString::number(5 * i);
  for (int i = 0; i < 9; ++i) r[kCsvRight250 + i] = QString::number(5 * i - 10 + (i > 1 ? 5 : 0));
  return r;
}

TEST(CsvHeaderTest, AcceptsBothHeadersByTheirFirstCharactersOnly) {
  const struct {
    const char* line;
    std::optional<CsvLayout> layout;
  } cases[] = {
      {"[SNV/5.2 Format]", CsvLayout::Snv52},
      {"[snv/5.2 format],,,extra", CsvLayout::Snv52},
      {"[SNV/5 Format]", CsvLayout::Snv5},
      {"[SNV/5 Format] from the companion", CsvLayout::Snv5},
      {"[SNV/3.1 Format]", std::nullopt},
      {"[SNV/5.1 Format]", std::nullopt},
      {"Pat No,Surname", std::nullopt},
      {"", std::nullopt},
      {" [SNV/5.2 Format]", std::nullopt},
  };
  for (const auto& c : cases) EXPECT_EQ(DetectHeader(c.line), c.layout) << c.line;
}

TEST(CsvHeaderTest, HeadingLinesHaveTheirColumnCounts) {
  const QString h5 = HeadingLine(CsvLayout::Snv5);
  const QString h52 = HeadingLine(CsvLayout::Snv52);
  EXPECT_EQ(h5.count(u',') + 1, 51);
  EXPECT_EQ(h52.count(u',') + 1, 155);
  EXPECT_TRUE(h52.startsWith(h5 + ",Q 1,Q 2,"));
  EXPECT_TRUE(h52.contains(",Q 50,Ans 1,"));
  EXPECT_TRUE(h52.endsWith(",Ans 50,125HzL,750HzL,125HzR,750HzR"));
  EXPECT_TRUE(h5.contains("Examiner,Recall Data,Status,"));
  EXPECT_TRUE(
      h5.endsWith(",Address6,250Hz,500Hz,1KHz,1.5kHz,2kHz,3kHz,4kHz,6kHz,8kHz,250Hz,500Hz,"
                  "1KHz,1.5kHz,2kHz,3kHz,4kHz,6kHz,8kHz"));
}

TEST(CsvLineTest, WrittenLinesReadBackWholeInBothLayouts) {
  // Without answers or extra frequencies those groups are written empty and
  // keep the columns aligned.
  const SplitLine plain = SplitCsvLine(FormatCsvLine(SampleRecord(), CsvLayout::Snv52));
  ASSERT_EQ(plain.fields.size(), 155);
  EXPECT_TRUE(plain.ends_with_comma);
  for (int i = kMainValueCount; i < 155; ++i) EXPECT_TRUE(plain.fields[i].isEmpty()) << i;

  CsvRecord r = SampleRecord();
  r[kCsvSurname] = "Smith, Jr";
  r[kCsvNotes] = "said \"loud\", then left";
  r[kCsvAddress1] = "\"The Maltings\"";
  r[kCsvCompany] = "Line one\r\nline two";
  r.has_answers = true;
  r.codes.fill("0");
  r.codes[0] = "1";
  r.codes[3] = "2";
  r.texts[3] = "Since 1999";
  r.has_extra = true;
  r.extra = {"5", "10", "", "-5"};
  CsvRecord expected = r;
  expected[kCsvCompany] = "Line one line two";  // a line break inside a value is a space
  const QString line52 = FormatCsvLine(r, CsvLayout::Snv52);
  EXPECT_TRUE(line52.endsWith(u','));
  EXPECT_EQ(SplitCsvLine(line52).fields.size(), 155);
  EXPECT_TRUE(line52.contains(",\"Category 1, Warning\","));
  const ParsedLine back = ParseCsvLine(line52, CsvLayout::Snv52);
  ASSERT_EQ(back.problem, LineProblem::None) << back.detail.toStdString();
  EXPECT_EQ(back.record.values, expected.values);
  EXPECT_EQ(back.record.codes, r.codes);
  EXPECT_EQ(back.record.texts, r.texts);
  EXPECT_EQ(back.record.extra, r.extra);

  const QString line5 = FormatCsvLine(r, CsvLayout::Snv5);
  EXPECT_EQ(SplitCsvLine(line5).fields.size(), 51);
  const ParsedLine back5 = ParseCsvLine(line5, CsvLayout::Snv5);
  ASSERT_EQ(back5.problem, LineProblem::None);
  EXPECT_FALSE(back5.record.has_answers);
  EXPECT_FALSE(back5.record.has_extra);
  EXPECT_EQ(back5.record.values, expected.values);
}

TEST(CsvLineTest, ExtractFileDataFollowsQuotes) {
  const QString line = "A,\"x, y\",B,\"open";
  qsizetype end = line.indexOf(u',', 2);
  EXPECT_EQ(extractfiledata(line, 1, end), QString("x, y"));
  EXPECT_EQ(end, line.indexOf(",B"));
  qsizetype end2 = line.lastIndexOf(u',') + 1;
  EXPECT_EQ(extractfiledata(line, line.lastIndexOf(u','), end2), std::nullopt);
}

struct BadLineCase {
  const char* name;
  QString line;
  bool complete;
  LineProblem problem;
};

TEST(CsvLineTest, BadLinesAreRecognised) {
  const QString good = FormatCsvLine(SampleRecord(), CsvLayout::Snv52);
  auto with = [&](int column, const QString& value) {
    CsvRecord r = SampleRecord();
    r[column] = value;
    return FormatCsvLine(r, CsvLayout::Snv52);
  };
  QString unclosed = good;
  unclosed.replace("Category 1, Warning\"", "Category 1, Warning");
  const BadLineCase cases[] = {
      {"good", good, true, LineProblem::None},
      {"good without final comma", FormatCsvLine(SampleRecord(), CsvLayout::Snv5).chopped(1), true,
       LineProblem::None},
      {"one value too many", good + "x,", true, LineProblem::FieldPositions},
      {"5.2 line with only 51 values", FormatCsvLine(SampleRecord(), CsvLayout::Snv5), true,
       LineProblem::None},
      {"no patient number", with(kCsvPatNo, ""), true, LineProblem::NoPatNo},
      {"empty line", "", true, LineProblem::NoPatNo},
      {"unclosed quote", unclosed, true, LineProblem::UnclosedQuote},
      {"cut in the thresholds", good.left(good.indexOf("Female") + 20), true,
       LineProblem::FieldPositions},
      {"cut in the last value", good.chopped(1) + "1", false, LineProblem::FieldPositions},
      {"cut in the questionnaire", good.left(good.size() - 60), true, LineProblem::FieldPositions},
      {"threshold abc", with(kCsvLeft250 + 2, "abc"), true, LineProblem::FieldPositions},
      {"threshold 999", with(kCsvRight250, "999"), true, LineProblem::FieldPositions},
      {"threshold -15", with(kCsvRight250, "-15"), true, LineProblem::FieldPositions},
      {"threshold 120", with(kCsvRight250, "120"), true, LineProblem::None},
      {"threshold -10", with(kCsvRight250, "-10"), true, LineProblem::None},
      {"100,000 characters", with(kCsvNotes, QString(100000, u'n')), true, LineProblem::None},
      {"100,000 characters of commas", QString("P9,") + QString(100000, u','), true,
       LineProblem::FieldPositions},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(ParseCsvLine(c.line, CsvLayout::Snv52, c.complete).problem, c.problem) << c.name;
  }
}

TEST(CsvValueTest, DatesTimesAndSexAreReadAsWritten) {
  EXPECT_EQ(ParseCsvDate("01/03/2024"), QDate(2024, 3, 1));
  EXPECT_EQ(ParseCsvDate("1/3/2024"), QDate(2024, 3, 1));
  EXPECT_EQ(ParseCsvDate(""), std::nullopt);
  for (const char* bad : {"31/02/2024", "2024-03-01", "aa/bb/cccc", "01/13/2024", "1/3/24"}) {
    ASSERT_TRUE(ParseCsvDate(bad).has_value()) << bad;
    EXPECT_FALSE(ParseCsvDate(bad)->isValid()) << bad;
  }
  EXPECT_EQ(ParseCsvTime("09:15:30"), QTime(9, 15, 30));
  EXPECT_EQ(ParseCsvTime("9:15"), QTime(9, 15));
  EXPECT_FALSE(ParseCsvTime("25:00:00")->isValid());
  EXPECT_FALSE(ParseCsvTime("noon")->isValid());
  EXPECT_EQ(CsvDateText("2024-03-01"), "01/03/2024");
  const std::pair<const char*, std::optional<bool>> sexes[] = {
      {"M", true}, {"male", true}, {"F", false}, {"Female", false}, {"Not specified", {}}};
  for (const auto& [text, male] : sexes) EXPECT_EQ(ParseSexIsMale(text), male) << text;
}

TEST(CsvFileTest, ReadsWindowsAndUnixFilesAndNoticesACutLastLine) {
  test::TempFolder folder;
  folder.Write("crlf.csv", "one\r\ntwo,\xe9\r\n");
  folder.Write("lf.csv", "one\ntwo,\xc3\xa9");
  const auto crlf = ReadFileLines(folder.File("crlf.csv"));
  const auto lf = ReadFileLines(folder.File("lf.csv"));
  ASSERT_TRUE(crlf && lf);
  EXPECT_EQ(crlf->lines, QStringList({"one", QString::fromUtf8("two,\xc3\xa9")}));
  EXPECT_EQ(lf->lines, crlf->lines);
  EXPECT_TRUE(crlf->last_line_ended);
  EXPECT_FALSE(lf->last_line_ended);
  EXPECT_FALSE(ReadFileLines(folder.File("absent.csv")).has_value());
}

}  // namespace
}  // namespace sonivera
