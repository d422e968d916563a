#include <gtest/gtest.h>

#include "categorise/SchemeRig.h"

namespace sonivera::test {
namespace {

// Thresholds, 250 500 1k 1.5k 2k 3k 4k 6k 8k.
constexpr const char* kFlat10 = "10 10 10 10 10 10 10 10 10";
constexpr const char* kFlat20 = "20 20 20 20 20 20 20 20 20";
constexpr const char* kFlat44 = "44 44 44 44 44 44 44 44 44";
constexpr const char* kFlatMinus10 = "-10 -10 -10 -10 -10 -10 -10 -10 -10";
// Female, age band 0: warning at a 1-6 kHz sum of 46, referral at 78.
constexpr const char* kSum45 = "0 0 9 0 9 9 9 9 0";
constexpr const char* kSum46 = "0 0 10 0 9 9 9 9 0";
constexpr const char* kSum78 = "0 0 18 0 15 15 15 15 0";
constexpr const char* kHigh20 = "0 0 0 0 0 20 20 20 0";
constexpr const char* k1to4At10 = "0 0 10 0 10 10 10 0 0";  // 1 to 4 kHz sum 40
constexpr const char* k1to4At41 = "0 0 11 0 10 10 10 0 0";
constexpr const char* k90 = "01/01/1990";
constexpr const char* kFemale00 = "01/01/2000";
constexpr Sex M = Sex::Male, F = Sex::Female;

TEST(Hse, StoredTextIsExact) {
  const struct {
    Sex sex;
    const char* dob;  // tested on 01/06/2020
    const char* left;
    const char* right;
    const char* expected;
    const char* previous = "__/__/____";  // the previous test's date
    const char* left_before = "";         // "" leaves the previous rows empty
    const char* right_before = "";
  } cases[] = {
      {M, k90, kFlat10, kFlat10, "HSE:  1 4-no data "},
      {M, k90, kFlat20, kFlat10, "HSE:  2L 4-no data "},  // one ear's 2 stands alone
      // Right 2 goes in front of left 3.
      {M, k90, "0 0 31 0 30 30 30 30 0", "0 0 20 0 20 20 20 20 0", "HSE:  2R 3L 4L U ",
       "01/06/2018", kHigh20, kHigh20},
      {M, "01/01/2005", kFlat20, kFlat20, "HSE:  3B  Age under 18 ", "01/06/2019", kFlat20,
       kFlat20},
      {M, "01/06/2002", kFlat20, kFlat20, "HSE:  3B ", "01/06/2019", kFlat20, kFlat20},  // 18
      {M, "02/06/2002", kFlat10, kFlat10, "HSE:  1  Age under 18 ", "01/06/2019", kFlat10, kFlat10},
      {M, "01/01/1956", kFlat44, kFlat44, "HSE:  2B 4-no data "},  // 64: band 8
      {M, "01/01/1955", kFlat44, kFlat44, "HSE:  1 4-no data "},   // 65: band 9
      {M, "01/01/1920", kFlat44, kFlat44, "HSE:  1 4-no data "},   // over 65 stays in 9
      {F, kFemale00, kSum46, kSum45, "HSE:  2L 4-no data "},
      {F, kFemale00, kSum78, kSum45, "HSE:  3L 4-no data "},
      {F, kFemale00, kSum46, kSum78, "HSE:  2L 3R 4-no data "},
      {F, kFemale00, kSum45, kSum78, "HSE:  3R 4-no data "},
      {F, kFemale00, kSum45, kSum46, "HSE:  2R 4-no data "},
      // Rapid loss: a 3 + 4 + 6 kHz rise of 30 within three years counts, 29 does not.
      {M, k90, kHigh10, kHigh10, "HSE:  1 4B ", "01/06/2019", kZero, kZero},
      {M, k90, "0 0 0 0 0 10 10 9 0", kHigh10, "HSE:  1 4R ", "01/06/2019", kZero, kZero},
      {M, k90, kHigh10, kHigh10, "HSE:  1 ", "01/06/2017", kZero, kZero},
      {M, k90, kHigh10, kHigh10, "HSE:  1 4B ", "02/06/2017", kZero, kZero},
      {M, k90, kHigh10, kHigh10, "HSE:  1 4-no data ", "01/06/2019", "0 0 0 0 0 0 0 - 0", kZero},
      // Unilateral: a difference of 40 in the 1 to 4 kHz sums is not enough.
      {M, k90, k1to4At10, kZero, "HSE:  1 4-no data "},
      {M, k90, k1to4At41, kZero, "HSE:  1 4-no data U "},
      {M, k90, kZero, k1to4At41, "HSE:  1 4-no data U "},
      {F, k90, kFlatMinus10, kFlatMinus10, "HSE:  1 4-no data "},
      {M, k90, "10 10 10 10 - 10 10 10 10", kFlat10, "HSE: Data incomplete"},
      {M, k90, kFlat10, "10 10 10 10 10 10 10 - 10", "HSE: Data incomplete"},
      {M, k90, "- - 10 - 10 10 10 10 -", "- - 10 - 10 10 10 10 -", "HSE:  1 4-no data "},
      {Sex::None, k90, kFlat10, kFlat10, "No sex chosen "},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(
        QStringLiteral("%1 %2 | %3 | %4").arg(c.dob, c.left, c.right, c.previous).toStdString());
    SchemeRig rig;
    rig.checks.CheckHSE = true;
    rig.SetRow(0, c.left);
    rig.SetRow(2, c.right);
    rig.SetRow(1, c.left_before);
    rig.SetRow(3, c.right_before);
    rig.View(c.dob, c.sex, c.previous);
    EXPECT_EQ(rig.Run(), QString::fromUtf8(c.expected));
    EXPECT_TRUE(rig.prompter.Prompts().empty());
  }
}

// Every date message ends in "HSE: Data incomplete".
TEST(Hse, DateMessages) {
  const QString ask_birth_date =
      "Date of Birth Required for Categorisation|Please return to Patient details page, Press Edit "
      "and enter Date of Birth. Patient: P'7";
  const QString bad_test_date =
      "Date Error|The date of test entry is missing or invalid. Please edit and try again. "
      "Patient: P'7";
  const struct {
    const char* dob;
    const char* test_date;
    bool bulk;
    QString shown;  // "" when no message is shown
  } cases[] = {
      {"__/__/____", "01/06/2020", false, ask_birth_date},
      {"__/__/____", "01/06/2020", true, ""},
      {"31/02/1980", "xx", false, ask_birth_date},  // wins over the test date
      {"01/01/1980", "32/01/2020", false, bad_test_date},
      {"01/01/1980", "__/__/____", true, ""},
      // Shown even in bulk mode (every case has earlier rows but no previous date).
      {"02/06/2020", "01/06/2020", true,
       "Date Error|One of the dates is invalid (eg 'Age'). Please re-type and then try again. "
       "Patient: P'7"},
      {"01/01/1980", "01/06/2020", true,
       "Date Error|The previous date entry is missing or invalid. Please edit and try again"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(QStringLiteral("%1 %2 %3").arg(c.dob, c.test_date).arg(c.bulk).toStdString());
    SchemeRig rig;
    rig.checks.CheckHSE = true;
    rig.bulk = c.bulk;
    for (int row = 0; row < 4; ++row) rig.Flat(row, 10);
    rig.View(c.dob, F, kEmptyDateMask, c.test_date, "P'7");
    EXPECT_EQ(rig.Run(), "HSE: Data incomplete");
    EXPECT_EQ(Shown(rig.prompter), c.shown.isEmpty() ? QStringList() : QStringList{c.shown});
    for (const auto& prompt : rig.prompter.Prompts()) {
      EXPECT_EQ(prompt.buttons, Prompter::Buttons::Ok);
    }
  }
}

TEST(Hse, PreviousDataMissing) {
  AudiogramGrid grid;
  grid.Clear();
  EXPECT_TRUE(PreviousDataMissing(grid));
  SetGridRow(grid, 1, "- - - - - 5 5 5 -");  // only 3, 4 and 6 kHz are needed
  SetGridRow(grid, 3, "- - - - - 5 5 5 -");
  EXPECT_FALSE(PreviousDataMissing(grid));
  grid.SetCell(3, 7, "");
  EXPECT_TRUE(PreviousDataMissing(grid));
}

// Text that is not a whole number, or a sum beyond 16 bits, ends the
// categorisation with an error for the caller to report; the schemes after
// HSE do not run.
TEST(Hse, ArithmeticErrorsEndCategorisation) {
  for (const auto& [left, error] : {std::pair{"10 10 1O 10 10 10 10 10 10", "13 Type mismatch"},
                                    {"10 10 12.5 10 10 10 10 10 10", "13 Type mismatch"},
                                    {"10 10 10000 10 10000 10000 10000 10 10", "6 Overflow"},
                                    {"10 10 40000 10 10 10 10 10 10", "6 Overflow"}}) {
    SchemeRig rig;
    rig.checks.CheckHSE = rig.checks.CheckPAM = true;
    rig.SetRow(0, left);
    rig.Flat(2, 10);
    rig.View();
    EXPECT_EQ(ErrorOf([&] { rig.Run(); }), error) << left;
    EXPECT_EQ(rig.state.PamValue, 0.0f);
  }
}

}  // namespace
}  // namespace sonivera::test
