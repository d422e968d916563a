#include <gtest/gtest.h>

#include "base/AppError.h"
#include "categorise/AgeCorrection.h"
#include "categorise/Arithmetic.h"
#include "categorise/SchemeRig.h"
#include "support/TestApp.h"

namespace sonivera::test {
namespace {

TEST(Dispatch, TextAndBoxFollowTheTickedSchemes) {
  SchemeRig rig;
  rig.Flat(0, 40);
  rig.Flat(2, 40);
  rig.state.Mp42Value = 12.5f;
  rig.state.CategorisationText = "old";
  EXPECT_EQ(rig.Run(), "");
  EXPECT_EQ(rig.state.CategorisationBox, "");
  // A scheme that is not ticked leaves its value as the last test left it.
  EXPECT_EQ(rig.state.Mp42Value, 12.5f);

  // The box shows "Data incomplete" when the text holds "no" in any case.
  const struct {
    const char* text;
    const char* box;
  } cases[] = {{"HSE:  1 4-no data ", "Data incomplete"},
               {"No sex chosen ", "Data incomplete"},
               {"HSE:  1 4B ", "HSE:  1 4B "},
               {"HSE: Data incomplete", "HSE: Data incomplete"},
               {"IPA: données incomplètes  ", "IPA: données incomplètes  "},
               {"MP42: NO", "Data incomplete"},
               {"x nO", "Data incomplete"},
               {"U n", "U n"},
               {"", ""}};
  for (const auto& c : cases) {
    EXPECT_EQ(CategorisationBoxText(QString::fromUtf8(c.text)), QString::fromUtf8(c.box));
  }
  rig.checks.CheckHSE = true;
  rig.Flat(0, 10);
  rig.Flat(2, 10);
  rig.state.view = {"01/06/2020", "10:00:00", "__/__/____", "01/01/1990", Sex::Male, "1"};
  EXPECT_EQ(rig.Run(), "HSE:  1 4-no data ");
  EXPECT_EQ(rig.state.CategorisationBox, "Data incomplete");
}

TEST(Dispatch, ApplySchemeListFollowsTheLocale) {
  const struct {
    const char* list;
    int lcid;
    bool hse, mp42, pam, ipa, french_frame;
  } cases[] = {
      {"HSE2006", 2057, true, false, false, false, false},
      {",MP42,PAM,IPA", 2057, false, false, false, false, false},
      {",MP42,PAM,IPA", 1036, false, true, true, true, true},
      {"HSE2006,mp42,IPA", 2060, false, true, false, true, true},
      {",PAM", 6156, false, false, true, false, true},
      {"hse2006,PAM", 1033, true, false, false, false, false},
      {"", 5132, false, false, false, false, true},
  };
  for (const auto& c : cases) {
    SchemeChecks checks;
    ApplySchemeList(c.list, c.lcid, checks);
    EXPECT_EQ(checks.CheckHSE, c.hse) << c.list << c.lcid;
    EXPECT_EQ(checks.CheckMP42, c.mp42) << c.list << c.lcid;
    EXPECT_EQ(checks.CheckPAM, c.pam) << c.list << c.lcid;
    EXPECT_EQ(checks.CheckIPA, c.ipa) << c.list << c.lcid;
    EXPECT_EQ(checks.FrenchFrameVisible, c.french_frame) << c.list << c.lcid;
  }
}

TEST(Dispatch, ViewDatesAndCellConversions) {
  EXPECT_EQ(ParseViewDate("29/02/2020"), QDate(2020, 2, 29));
  EXPECT_EQ(ParseViewDate("1/2/2020"), QDate(2020, 2, 1));
  for (const char* bad :
       {"29/02/2019", "__/__/____", "", "2020-01-01", "01/13/2020", " 01/01/2020", "00/01/2020"}) {
    EXPECT_FALSE(ParseViewDate(bad).has_value()) << bad;
  }
  EXPECT_EQ(WholeYears(QDate(2000, 1, 1), QDate(1999, 12, 31)), -1);
  EXPECT_EQ(WholeYears(QDate(2002, 6, 1), QDate(2020, 6, 1)), 18);
  EXPECT_EQ(WholeYears(QDate(2002, 6, 2), QDate(2020, 6, 1)), 17);

  EXPECT_EQ(CellToInteger(" 25 "), 25);
  EXPECT_EQ(CellToInteger("-10"), -10);
  EXPECT_EQ(CellToInteger("+007"), 7);
  EXPECT_EQ(CellToInteger("32767"), 32767);
  EXPECT_EQ(CellToInteger("-32768"), -32768);
  for (const char* bad : {"", " ", "abc", "1 2", "12dB", "0x10", "1e2"}) {
    EXPECT_THROW(CellToInteger(bad), AppError) << bad;
  }
  EXPECT_THROW(CellToInteger("32768"), AppError);
  EXPECT_THROW(CellToInteger("99999999999999999999"), AppError);
  EXPECT_THROW(Add16(30000, 2768), AppError);
  EXPECT_EQ(Sub16(-32767, 1), -32768);
  EXPECT_FLOAT_EQ(CellToSingle("12,5"), 12.5f);
  EXPECT_THROW(CellToSingle("inf"), AppError);
}

// Reference values from 29 CFR 1910.95 Appendix F and its worked example.
TEST(AgeCorrectionTables, ShippedTablesLoadAtStartUpAndRefuseBadArguments) {
  TestApp t;
  ASSERT_TRUE(t.Init());
  const auto& tables = t->Categorisation().age_tables;
  ASSERT_TRUE(tables.male.loaded);
  ASSERT_TRUE(tables.female.loaded);
  const struct {
    int age, frequency;
    const char* sex;
    int value;
  } cases[] = {{32, 4000, "M", 10},      {27, 4000, "Male", 7},  {17, 1000, "M", 5},
               {70, 6000, "m", 38},      {60, 6000, "male", 38}, {20, 3000, "F", 3},
               {51, 3000, "Female", 12}, {70, 4000, "f", 17},    {45, 2000, "F", 8}};
  for (const auto& c : cases) {
    EXPECT_EQ(AgeCorrection(tables, c.age, c.frequency, c.sex), c.value)
        << c.age << " " << c.frequency << " " << c.sex;
  }
  // The worked example: 25 dB at 4 kHz at 32 against 5 dB at 27 is a 17 dB shift.
  const int corrected =
      25 - (AgeCorrection(tables, 32, 4000, "M") - AgeCorrection(tables, 27, 4000, "M"));
  EXPECT_EQ(corrected - 5, 17);

  const auto rows = AgeTableRows(tables.male);
  ASSERT_EQ(rows.size(), 42u);
  EXPECT_EQ(rows[0].join(u'|'), "Age in years|1kHz|2kHz|3kHz|4kHz|6kHz");
  EXPECT_EQ(rows[1].join(u'|'), "20 or younger|5|3|4|5|8");
  EXPECT_EQ(rows[41].join(u'|'), "60 or over|11|13|23|33|38");

  // Bad arguments raise error 4000.
  const struct {
    int frequency;
    const char* sex;
    const char* description;
  } bad[] = {{8000, "M", "Invalid freq"},
             {500, "F", "Invalid freq"},
             {1000, "X", "invalid gender"},
             {1000, "", "invalid gender"}};
  for (const auto& c : bad) {
    try {
      AgeCorrection(tables, 40, c.frequency, c.sex);
      ADD_FAILURE() << c.description;
    } catch (const AppError& error) {
      EXPECT_EQ(error.Number(), 4000);
      EXPECT_EQ(error.Description(), c.description);
    }
  }
}

TEST(AgeCorrectionTables, DamagedFileIsReportedAndLeftUnloaded) {
  const struct {
    const char* name;
    QByteArray text;
  } cases[] = {
      {"MissingAge", "Age\t1kHz\t2kHz\t3kHz\t4kHz\t6kHz\r\n20\t5\t3\t4\t5\t8\r\n"},
      {"CutLine", "Age 1kHz\n20 5 3 4\n"},
      {"TextValue", "Age\n20 5 3 x 5 8\n"},
      {"Empty", ""},
  };
  for (const auto& c : cases) {
    TempFolder folder;
    folder.Write("agecorrM.tbl", c.text);
    EXPECT_THROW(ReadAgeCorrectionTable(folder.File("agecorrM.tbl")), AppError) << c.name;
  }
  TestApp t;
  t.folder.Write("agecorrF.tbl", "Age\n20 5 3 x 5 8\n");
  ASSERT_TRUE(t.Init());
  EXPECT_TRUE(t->Categorisation().age_tables.male.loaded);
  EXPECT_FALSE(t->Categorisation().age_tables.female.loaded);
  ASSERT_EQ(t.prompter.Prompts().size(), 1u);
  EXPECT_TRUE(t.prompter.Prompts()[0].text.contains("agecorrF.tbl, line 2"));
  EXPECT_THROW(AgeCorrection(t->Categorisation().age_tables, 30, 1000, "F"), AppError);
}

}  // namespace
}  // namespace sonivera::test
