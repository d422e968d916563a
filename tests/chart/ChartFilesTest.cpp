#include <gtest/gtest.h>

#include <QDir>

#include "base/ProgramFolder.h"
#include "chart/ChartFiles.h"
#include "chart/ChartTest.h"
#include "support/RegisterChecks.h"
#include "support/TestApp.h"

namespace sonivera::chart {
namespace {

using test::ScriptedPrompter;
using test::TempFolder;

using Colours = decltype(ColourBands::colours);

QByteArray Lines(std::initializer_list<const char*> lines) {
  QByteArray bytes;
  for (const char* line : lines) bytes += QByteArray(line) + "\r\n";
  return bytes;
}

TEST(ColourBandsTest, MissingTwelveLineAndShortFiles) {
  Reporting r;
  const QString path = r.folder.File("colourbands.txt");
  ColourBands bands;
  // No file: the defaults, silently.
  EXPECT_FALSE(LoadColourBands(path, bands, r.reporter));
  EXPECT_EQ(bands, ColourBands());
  EXPECT_EQ(bands.colours[kMild], (Rgb{255, 255, 185}));
  EXPECT_EQ(bands.colours[kProfound], (Rgb{255, 205, 45}));

  // Twelve components in band order, spaces around a value allowed.
  r.folder.Write(
      "colourbands.txt",
      Lines({"Mild red=1", "Mild green=2", "Mild blue=3", "Moderate red=4", "Moderate green=5",
             "Moderate blue=6", "Severe red = 7 ", "Severe green=8", "Severe blue=9",
             "Profound red=10", "Profound green=11", "Profound blue=12"}));
  EXPECT_TRUE(LoadColourBands(path, bands, r.reporter));
  EXPECT_EQ(bands.colours, (Colours{Rgb{1, 2, 3}, Rgb{4, 5, 6}, Rgb{7, 8, 9}, Rgb{10, 11, 12}}));

  // Six lines, the last without a line end: the later bands stay as they were.
  r.folder.Write("colourbands.txt", "a=21\r\nb=22\r\nc=23\nd=24\r\ne=25\r\nf=26");
  bands = ColourBands();
  bands.colours[kSevere] = {9, 9, 9};
  LoadColourBands(path, bands, r.reporter);
  EXPECT_EQ(bands.colours,
            (Colours{Rgb{21, 22, 23}, Rgb{24, 25, 26}, Rgb{9, 9, 9}, Rgb{255, 205, 45}}));
  EXPECT_TRUE(r.prompter.Prompts().empty());
}

TEST(ColourBandsTest, DamagedValueIsReportedAndKeepsWhatWasReadBeforeIt) {
  struct Case {
    const char* bad_line;
    QString message;
  };
  const Case cases[] = {
      {"Moderate green=lots",
       "An error has occurred: Type mismatch Error No: 13 (loadcolourbands:954)"},
      {"Moderate green=",
       "An error has occurred: Type mismatch Error No: 13 (loadcolourbands:954)"},
      {"Moderate green=256", "An error has occurred: Overflow Error No: 6 (loadcolourbands:954)"},
      {"Moderate green=-1", "An error has occurred: Overflow Error No: 6 (loadcolourbands:954)"},
  };
  for (const Case& c : cases) {
    Reporting r;
    r.folder.Write("colourbands.txt", Lines({"r=10", "g=20", "b=30", "r=40", c.bad_line, "b=60",
                                             "r=70", "g=80", "b=90", "r=1", "g=2", "b=3"}));
    ColourBands bands;
    LoadColourBands(r.folder.File("colourbands.txt"), bands, r.reporter);
    SCOPED_TRACE(c.bad_line);
    // Moderate's red read, the rest default.
    Colours expected = ColourBands().colours;
    expected[kMild] = {10, 20, 30};
    expected[kModerate].red = 40;
    EXPECT_EQ(bands.colours, expected);
    EXPECT_EQ(test::PromptLines(r.prompter), QStringList{c.message + "|Error"});
    // The log names the file and the line after the message's own text.
    EXPECT_TRUE(r.folder.Read("err.log").startsWith(c.message.toUtf8() +
                                                    " (file colourbands.txt, line 5) "));
  }
}

TEST(ColourKeyTest, ListsNormalHearingThenTheFourBandsOnAHundredScale) {
  ColourBands bands;
  bands.colours[kSevere] = {1, 2, 3};
  QStringList shown;
  for (const auto& e : ColourKey::Entries(bands)) {
    shown << QString("%1 %2-%3 %4").arg(e.caption).arg(e.from).arg(e.to).arg(e.colour.name());
  }
  EXPECT_EQ(shown, (QStringList{"Normal Hearing 0-20 #ffffff", "Mild Loss 20-40 #ffffb9",
                                "Moderate Loss 40-60 #ffff73", "Severe Loss 60-80 #010203",
                                "Profound Loss 80-100 #ffcd2d"}));
}

// Reads one table from the given text; returns the prompts' texts.
QStringList ReadTable(const QByteArray& text, PredictiveTable& table) {
  TempFolder folder;
  folder.Write("agedistM.tbl", text);
  ScriptedPrompter prompter;
  EXPECT_TRUE(ReadPredictiveTable(folder.File("agedistM.tbl"), table, prompter, "Sonivera 5.5"));
  for (const auto& prompt : prompter.Prompts()) EXPECT_EQ(prompt.title, "Sonivera 5.5");
  return prompter.Texts();
}

TEST(PredictiveTableTest, BadLinesAreToldAndTheReadingGoesOn) {
  const QString freq = "PredictiveFile Freq Error", age = "Predictive File Age Error";
  struct Case {
    const char* lines;  // separated by '|', each ended by CR LF
    QStringList prompts;
    int position;  // where "[30],1,2,3" must have landed, or -1 for nowhere
  };
  const Case cases[] = {
      {"{1k}|[30],1,2,3", {freq}, -1},
      {"{}|[30],1,2,3", {freq}, -1},
      {"{900}|[30],9,9,9|{8000}|[30],1,2,3", {freq}, k8kHz},
      {"{500}|[22],7,7,7|[30],1,2,3", {age}, k500Hz},
      {"{500}|[85],7,7,7|[30],1,2,3", {age}, k500Hz},
      {"{750}|[30],1,2,3,4|[35],5,6,7", {"Tableindex Error"}, k750Hz},
      {"[30],1,2,3", {}, -1},             // an age line before any frequency
      {"{125}\n[30],1,2,3", {}, k125Hz},  // LF and CR LF mixed
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.lines);
    PredictiveTable table;
    EXPECT_EQ(ReadTable(QByteArray(c.lines).replace("|", "\r\n") + "\r\n", table), c.prompts);
    for (int p = 0; p < kPositionCount; ++p) {
      const auto expected =
          p == c.position ? PredictiveTable::Values{"1", "2", "3"} : PredictiveTable::Values{};
      EXPECT_EQ(table.At(p, 2), expected) << "position " << p;
    }
  }
}

// Each frequency heading selects its position; an age line holds up to three
// values, spaces allowed, "-" and a missing value stored empty.
TEST(PredictiveTableTest, EveryFrequencyNameSelectsItsPositionAndAgeLinesTheirRow) {
  const char* names[] = {"125",  "250",  "500",  "750",  "1000", "1500",
                         "2000", "3000", "4000", "6000", "8000"};
  for (int p = 0; p < kPositionCount; ++p) {
    PredictiveTable table;
    const QByteArray text = Lines(
        {"comment", "{" + QByteArray(names[p]) + "}", "[80],1,2,3", "[20],-5,-,10", "[25], 1 ,2"});
    EXPECT_TRUE(ReadTable(text, table).isEmpty());
    EXPECT_EQ(table.At(p, 12), (PredictiveTable::Values{"1", "2", "3"})) << names[p];
    EXPECT_EQ(table.At(p, 0), (PredictiveTable::Values{"-5", "", "10"})) << names[p];
    EXPECT_EQ(table.At(p, 1), (PredictiveTable::Values{"1", "2", ""})) << names[p];
    EXPECT_EQ(table.At((p + 1) % kPositionCount, 0), (PredictiveTable::Values{})) << names[p];
  }
}

TEST(PredictiveTableTest, MissingFilesAreToldAndClearTheSwitch) {
  struct Case {
    bool male_there;
    bool female_there;
    QStringList prompts;
  };
  const Case cases[] = {
      {true, true, {}},
      {false, true, {"Missing male age file"}},
      {true, false, {"Missing female age file"}},
      {false, false, {"Missing male age file", "Missing female age file"}},
  };
  for (Case c : cases) {
    Reporting r;
    if (c.male_there) r.folder.Write("agedistM.tbl", Lines({"{250}", "[40],1,2,3"}));
    // A bad line in the female table: the message keeps its text, the log names the place.
    if (c.female_there) {
      r.folder.Write("agedistF.tbl", Lines({"{250}", "[40],4,5,6", "[40],4,5,6,7"}));
      c.prompts.append("Tableindex Error");
    }
    ChartOptions options;
    options.ShowPredictiveLine = true;
    PredictiveTables tables;
    LoadPredictiveTables(ProgramFolder(r.folder.Path()), tables, options, r.reporter, "T");
    EXPECT_EQ(r.prompter.Texts(), c.prompts);
    EXPECT_EQ(r.folder.Read("err.log").contains("Tableindex Error (file agedistF.tbl, line 3) "),
              c.female_there);
    EXPECT_EQ(options.ShowPredictiveLine, c.male_there && c.female_there);
    EXPECT_EQ(tables.male.IsEmpty(), !c.male_there);
    EXPECT_EQ(tables.female.At(k250Hz, 4)[2], c.female_there ? "6" : "");
  }
}

TEST(PredictiveLineTest, AgeAtTestIsWholeYearsOfDaysOverThreeSixtyFivePointTwoFiveAndSelectsARow) {
  struct Case {
    QDate birth;
    QDate test;
    std::optional<int> age;
  };
  const Case cases[] = {
      {{1970, 1, 1}, {2022, 6, 1}, 52},      {{2000, 6, 2}, {2020, 6, 1}, 19},
      {{2000, 6, 1}, {2020, 6, 1}, 20},      {{2000, 1, 1}, {2000, 1, 1}, 0},
      {{2001, 1, 1}, {2000, 1, 1}, -2},      {QDate(), {2020, 6, 1}, std::nullopt},
      {{1970, 1, 1}, QDate(), std::nullopt},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(AgeAtTest(c.birth, c.test), c.age) << c.birth.toString().toStdString();
  }
  // The age selects the row of its five-year band.
  const std::pair<int, int> rows[] = {{-1, 0}, {16, 0},  {24, 0},  {25, 1},  {29, 1},  {30, 2},
                                      {52, 6}, {74, 10}, {75, 11}, {79, 11}, {80, 12}, {97, 12}};
  for (const auto& [age, row] : rows) EXPECT_EQ(AgeRow(age), row) << age;
}

TEST(PredictiveLineTest, ShippedTablesGiveTheDistributionOfTheSexAndAge) {
  // The default files as a new program folder receives them.
  test::TestApp t;
  ASSERT_TRUE(t.Init());
  const PredictiveTables& tables = t->ChartFiles().predictive;
  // Men of 52 (row 50) at 4 kHz: 10th percentile 0, median 16, 90th 36 dB.
  const auto at = [&](Sex sex, int age, int p) {
    const auto line = PredictiveLineFor(tables, sex, age);
    return line
               ? QString("%1 %2 %3").arg(*line->lower[p]).arg(*line->middle[p]).arg(*line->upper[p])
               : QString("none");
  };
  EXPECT_EQ(at(Sex::Male, 52, 5), "0 16 36");
  // Women of 83 (row 80) at 8 kHz: 21, 58, 104; at 250 Hz: 0, 12, 26.
  EXPECT_EQ(at(Sex::Female, 83, 7), "21 58 104");
  EXPECT_EQ(at(Sex::Female, 83, 0), "0 12 26");
  // Every cell of both tables holds a number.
  for (int p = 0; p < kPositionCount; ++p) {
    for (int row = 0; row < kAgeRowCount; ++row) {
      for (const PredictiveTable* table : {&tables.male, &tables.female}) {
        for (const QString& value : table->At(p, row)) {
          bool ok = false;
          value.toInt(&ok);
          EXPECT_TRUE(ok) << p << " " << row;
        }
      }
    }
  }
  EXPECT_FALSE(PredictiveLineFor(tables, Sex::None, 40));
  EXPECT_FALSE(PredictiveLineFor(tables, Sex::Male, std::nullopt));
  EXPECT_TRUE(t.prompter.Prompts().empty());
}

TEST(PredictiveLineTest, StartUpWithoutTheFemaleTableTellsItAndClearsTheSwitch) {
  test::TestApp t;
  // A folder in the file's place: the file cannot be seeded and stays missing.
  ASSERT_TRUE(QDir(t.folder.Path()).mkdir("agedistF.tbl"));
  t.folder.Write("sonivera5.ini", Lines({"sonivera5.mdb", "HSE2006", "-", "S3", "UX730,USB",
                                         "BANDON", "PRINTBANDON", "PREDICTIVEON"}));
  ASSERT_TRUE(t.Init());
  EXPECT_EQ(t.prompter.Texts(), QStringList{"Missing female age file"});
  EXPECT_FALSE(t->settings().chart.ShowPredictiveLine);
  EXPECT_FALSE(t->ChartFiles().predictive.male.IsEmpty());
  EXPECT_TRUE(t->ChartFiles().predictive.female.IsEmpty());
}

}  // namespace
}  // namespace sonivera::chart
