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
  for (const char* text : {"HSE:  1 4-no data ", "No sex chosen ", "MP42: NO", "x nO"}) {
    EXPECT_EQ(CategorisationBoxText(text), "Data incomplete") << text;
  }
  for (const char* text :
       {"HSE:  1 4B ", "HSE: Data incomplete", "IPA: données incomplètes  ", "U n", ""}) {
    EXPECT_EQ(CategorisationBoxText(QString::fromUtf8(text)), QString::fromUtf8(text));
  }
  rig.checks.CheckHSE = true;
  rig.Flat(0, 10);
  rig.Flat(2, 10);
  rig.View();
  EXPECT_EQ(rig.Run(), "HSE:  1 4-no data ");
  EXPECT_EQ(rig.state.CategorisationBox, "Data incomplete");
}

TEST(Dispatch, ApplySchemeListFollowsTheLocale) {
  // H, M, P and I for the ticked schemes, F for the French frame shown.
  using Case = std::tuple<const char*, int, const char*>;
  const Case cases[] = {{"HSE2006", 2057, "H----"},
                        {",MP42,PAM,IPA", 2057, "-----"},
                        {",MP42,PAM,IPA", 1036, "-MPIF"},
                        {"HSE2006,mp42,IPA", 2060, "-M-IF"},
                        {",PAM", 6156, "--P-F"},
                        {"hse2006,PAM", 1033, "H----"},
                        {"", 5132, "----F"}};
  for (const auto& [list, lcid, ticked] : cases) {
    SchemeChecks checks;
    ApplySchemeList(list, lcid, checks);
    const QString shown = QString(checks.CheckHSE ? 'H' : '-') + (checks.CheckMP42 ? 'M' : '-') +
                          (checks.CheckPAM ? 'P' : '-') + (checks.CheckIPA ? 'I' : '-') +
                          (checks.FrenchFrameVisible ? 'F' : '-');
    EXPECT_EQ(shown, ticked) << list << " " << lcid;
  }
}

TEST(Dispatch, ViewDatesAndCellConversions) {
  EXPECT_EQ(ParseViewDate("29/02/2020"), QDate(2020, 2, 29));
  EXPECT_EQ(ParseViewDate("1/2/2020"), QDate(2020, 2, 1));
  for (const char* bad :
       {"29/02/2019", "__/__/____", "", "2020-01-01", "01/13/2020", " 01/01/2020", "00/01/2020"}) {
    EXPECT_FALSE(ParseViewDate(bad).has_value()) << bad;
  }

  for (const auto& [cell, value] :
       {std::pair{" 25 ", 25}, {"-10", -10}, {"+007", 7}, {"32767", 32767}, {"-32768", -32768}}) {
    EXPECT_EQ(CellToInteger(cell), value) << cell;
  }
  for (const char* bad :
       {"", " ", "abc", "1 2", "12dB", "0x10", "1e2", "32768", "99999999999999999999"}) {
    EXPECT_THROW(CellToInteger(bad), AppError) << bad;
  }
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
  const auto rows = AgeTableRows(tables.male);
  ASSERT_EQ(rows.size(), 42u);
  EXPECT_EQ(rows[0].join(u'|'), "Age in years|1kHz|2kHz|3kHz|4kHz|6kHz");
  EXPECT_EQ(rows[1].join(u'|'), "20 or younger|5|3|4|5|8");
  EXPECT_EQ(rows[41].join(u'|'), "60 or over|11|13|23|33|38");

  // Bad arguments raise error 4000.
  for (const auto& [frequency, sex, error] : {std::tuple{8000, "M", "4000 Invalid freq"},
                                              {500, "F", "4000 Invalid freq"},
                                              {1000, "X", "4000 invalid gender"},
                                              {1000, "", "4000 invalid gender"}}) {
    EXPECT_EQ(ErrorOf([&] { AgeCorrection(tables, 40, frequency, sex); }), error);
  }
}

TEST(AgeCorrectionTables, DamagedFileIsReportedAndLeftUnloaded) {
  // A missing age column, a cut line, a text value, nothing at all.
  for (const char* text : {"Age\t1kHz\t2kHz\t3kHz\t4kHz\t6kHz\r\n20\t5\t3\t4\t5\t8\r\n",
                           "Age 1kHz\n20 5 3 4\n", "Age\n20 5 3 x 5 8\n", ""}) {
    TempFolder folder;
    folder.Write("agecorrM.tbl", text);
    EXPECT_THROW(ReadAgeCorrectionTable(folder.File("agecorrM.tbl")), AppError) << text;
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
