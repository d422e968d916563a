#include <gtest/gtest.h>

#include "base/AppError.h"
#include "categorise/SchemeRig.h"

namespace sonivera::test {
namespace {

// Thresholds, 250 500 1k 1.5k 2k 3k 4k 6k 8k.
constexpr const char* kFlat10 = "10 10 10 10 10 10 10 10 10";
constexpr const char* kFlat20 = "20 20 20 20 20 20 20 20 20";
constexpr const char* kFlat44 = "44 44 44 44 44 44 44 44 44";
// Female, age band 0: warning at a 1-6 kHz sum of 46, referral at 78.
constexpr const char* kSum45 = "0 0 9 0 9 9 9 9 0";
constexpr const char* kSum46 = "0 0 10 0 9 9 9 9 0";
constexpr const char* kSum78 = "0 0 18 0 15 15 15 15 0";
constexpr const char* kNoDate = "__/__/____";
constexpr const char* kBorn1990 = "01/01/1990";

struct HseCase {
  const char* name;
  Sex sex;
  const char* dob;  // tested on 01/06/2020
  const char* left;
  const char* right;
  const char* expected;
  const char* previous = kNoDate;  // the previous test's date
  const char* left_before = "";    // "" leaves the previous rows empty
  const char* right_before = "";
};

const HseCase kHseCases[] = {
    {"FirstTestBothCategoryOne", Sex::Male, kBorn1990, kFlat10, kFlat10, "HSE:  1 4-no data "},
    {"OneEarCategoryTwoStandsAlone", Sex::Male, kBorn1990, kFlat20, kFlat10, "HSE:  2L 4-no data "},
    {"RightTwoGoesInFrontOfLeftThree", Sex::Male, kBorn1990, "0 0 31 0 30 30 30 30 0",
     "0 0 20 0 20 20 20 20 0", "HSE:  2R 3L 4L U ", "01/06/2018", "0 0 0 0 0 20 20 20 0",
     "0 0 0 0 0 20 20 20 0"},
    {"UnderEighteenBothReferral", Sex::Male, "01/01/2005", kFlat20, kFlat20,
     "HSE:  3B  Age under 18 ", "01/06/2019", kFlat20, kFlat20},
    {"ExactlyEighteenHasNoAgeNote", Sex::Male, "01/06/2002", kFlat20, kFlat20, "HSE:  3B ",
     "01/06/2019", kFlat20, kFlat20},
    {"SeventeenHasTheAgeNote", Sex::Male, "02/06/2002", kFlat10, kFlat10, "HSE:  1  Age under 18 ",
     "01/06/2019", kFlat10, kFlat10},
    {"Age64UsesBand8", Sex::Male, "01/01/1956", kFlat44, kFlat44, "HSE:  2B 4-no data "},
    {"Age65UsesBand9", Sex::Male, "01/01/1955", kFlat44, kFlat44, "HSE:  1 4-no data "},
    {"AgeOver65StaysInBand9", Sex::Male, "01/01/1920", kFlat44, kFlat44, "HSE:  1 4-no data "},
    {"SumAtWarningLevelIsTwo", Sex::Female, "01/01/2000", kSum46, kSum45, "HSE:  2L 4-no data "},
    {"SumAtReferralLevelIsThree", Sex::Female, "01/01/2000", kSum78, kSum45, "HSE:  3L 4-no data "},
    {"TwoLeftThreeRight", Sex::Female, "01/01/2000", kSum46, kSum78, "HSE:  2L 3R 4-no data "},
    {"OneLeftThreeRight", Sex::Female, "01/01/2000", kSum45, kSum78, "HSE:  3R 4-no data "},
    {"OneLeftTwoRight", Sex::Female, "01/01/2000", kSum45, kSum46, "HSE:  2R 4-no data "},
    // Rapid loss: 3 + 4 + 6 kHz rise of 30 counts, 29 does not.
    {"RiseOfThirtyBothEars", Sex::Male, kBorn1990, kHigh10, kHigh10, "HSE:  1 4B ", "01/06/2019",
     kZero, kZero},
    {"RiseOfTwentyNine", Sex::Male, kBorn1990, "0 0 0 0 0 10 10 9 0", kHigh10, "HSE:  1 4R ",
     "01/06/2019", kZero, kZero},
    {"PreviousExactlyThreeYearsBack", Sex::Male, kBorn1990, kHigh10, kHigh10, "HSE:  1 ",
     "01/06/2017", kZero, kZero},
    {"PreviousJustUnderThreeYears", Sex::Male, kBorn1990, kHigh10, kHigh10, "HSE:  1 4B ",
     "02/06/2017", kZero, kZero},
    {"OnePreviousCellMissing", Sex::Male, kBorn1990, kHigh10, kHigh10, "HSE:  1 4-no data ",
     "01/06/2019", "0 0 0 0 0 0 0 - 0", kZero},
    // Unilateral: a difference of 40 in the 1 to 4 kHz sums is not enough.
    {"EarDifferenceForty", Sex::Male, kBorn1990, "0 0 10 0 10 10 10 0 0", kZero,
     "HSE:  1 4-no data "},
    {"EarDifferenceFortyOne", Sex::Male, kBorn1990, "0 0 11 0 10 10 10 0 0", kZero,
     "HSE:  1 4-no data U "},
    {"RightWorseByFortyOne", Sex::Male, kBorn1990, kZero, "0 0 11 0 10 10 10 0 0",
     "HSE:  1 4-no data U "},
    {"NegativeThresholds", Sex::Female, kBorn1990, "-10 -10 -10 -10 -10 -10 -10 -10 -10",
     "-10 -10 -10 -10 -10 -10 -10 -10 -10", "HSE:  1 4-no data "},
    {"LeftEarIncomplete", Sex::Male, kBorn1990, "10 10 10 10 - 10 10 10 10", kFlat10,
     "HSE: Data incomplete"},
    {"RightEarIncompleteAt6k", Sex::Male, kBorn1990, kFlat10, "10 10 10 10 10 10 10 - 10",
     "HSE: Data incomplete"},
    {"UnreadColumnsMayBeEmpty", Sex::Male, kBorn1990, "- - 10 - 10 10 10 10 -",
     "- - 10 - 10 10 10 10 -", "HSE:  1 4-no data "},
    {"NoSexChosen", Sex::None, kBorn1990, kFlat10, kFlat10, "No sex chosen "},
};

class HseCases : public ::testing::TestWithParam<HseCase> {};

TEST_P(HseCases, StoredTextIsExact) {
  const HseCase& c = GetParam();
  SchemeRig rig;
  rig.checks.CheckHSE = true;
  rig.SetRow(0, c.left);
  rig.SetRow(2, c.right);
  rig.SetRow(1, c.left_before);
  rig.SetRow(3, c.right_before);
  rig.state.view.DOB = c.dob;
  rig.state.view.DateofTest = "01/06/2020";
  rig.state.view.PreviousTest = c.previous;
  rig.state.view.sex = c.sex;
  EXPECT_EQ(rig.Run(), QString::fromUtf8(c.expected));
  EXPECT_TRUE(rig.prompter.Prompts().empty());
}

INSTANTIATE_TEST_SUITE_P(Hse, HseCases, ::testing::ValuesIn(kHseCases),
                         [](const auto& info) { return std::string(info.param.name); });

struct DateMessageCase {
  const char* name;
  const char* dob;
  const char* test_date;
  const char* previous;
  bool bulk;
  const char* title;  // "" when no message is shown
  const char* text;
};

constexpr const char* kAskBirthDate =
    "Please return to Patient details page, Press Edit and enter Date of Birth. Patient: P'7";
const DateMessageCase kDateMessageCases[] = {
    {"MissingBirthDateAsks", "__/__/____", "01/06/2020", "__/__/____", false,
     "Date of Birth Required for Categorisation", kAskBirthDate},
    {"MissingBirthDateQuietInBulk", "__/__/____", "01/06/2020", "__/__/____", true, "", ""},
    {"BadBirthDateWinsOverBadTestDate", "31/02/1980", "xx", "__/__/____", false,
     "Date of Birth Required for Categorisation", kAskBirthDate},
    {"BadTestDate", "01/01/1980", "32/01/2020", "__/__/____", false, "Date Error",
     "The date of test entry is missing or invalid. Please edit and try again. Patient: P'7"},
    {"BadTestDateQuietInBulk", "01/01/1980", "__/__/____", "__/__/____", true, "", ""},
    {"BirthAfterTestShownEvenInBulk", "02/06/2020", "01/06/2020", "__/__/____", true, "Date Error",
     "One of the dates is invalid (eg 'Age'). Please re-type and then try again. Patient: P'7"},
    {"PreviousDateMissingShownEvenInBulk", "01/01/1980", "01/06/2020", "__/__/____", true,
     "Date Error", "The previous date entry is missing or invalid. Please edit and try again"},
};

class HseDateMessages : public ::testing::TestWithParam<DateMessageCase> {};

TEST_P(HseDateMessages, EndInDataIncomplete) {
  const DateMessageCase& c = GetParam();
  SchemeRig rig;
  rig.checks.CheckHSE = true;
  rig.bulk = c.bulk;
  for (int row = 0; row < 4; ++row) rig.Flat(row, 10);
  rig.state.view = {c.test_date, "10:00:00", c.previous, c.dob, Sex::Female, "P'7"};
  EXPECT_EQ(rig.Run(), "HSE: Data incomplete");
  const auto& prompts = rig.prompter.Prompts();
  if (QString(c.title).isEmpty()) {
    EXPECT_TRUE(prompts.empty());
  } else {
    ASSERT_EQ(prompts.size(), 1u);
    EXPECT_EQ(prompts[0].title, c.title);
    EXPECT_EQ(prompts[0].text, c.text);
    EXPECT_EQ(prompts[0].buttons, Prompter::Buttons::Ok);
  }
}

INSTANTIATE_TEST_SUITE_P(Hse, HseDateMessages, ::testing::ValuesIn(kDateMessageCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(Hse, PreviousDataMissing) {
  AudiogramGrid grid;
  grid.Clear();
  EXPECT_TRUE(PreviousDataMissing(grid));
  for (int row : {1, 3}) {
    for (int column : {5, 6, 7}) grid.SetCell(row, column, "5");
  }
  EXPECT_FALSE(PreviousDataMissing(grid));
  grid.SetCell(3, 7, "");
  EXPECT_TRUE(PreviousDataMissing(grid));
}

// Text that is not a whole number, or a sum beyond 16 bits, ends the
// categorisation with an error for the caller to report.
TEST(Hse, ArithmeticErrorsEndCategorisation) {
  struct Case {
    const char* left;
    long number;
  } cases[] = {{"10 10 1O 10 10 10 10 10 10", 13},
               {"10 10 12.5 10 10 10 10 10 10", 13},
               {"10 10 10000 10 10000 10000 10000 10 10", 6},
               {"10 10 40000 10 10 10 10 10 10", 6}};
  for (const auto& c : cases) {
    SchemeRig rig;
    rig.checks.CheckHSE = true;
    rig.checks.CheckPAM = true;
    rig.SetRow(0, c.left);
    rig.Flat(2, 10);
    rig.state.view = {"01/06/2020", "10:00:00", "__/__/____", "01/01/1990", Sex::Male, "1"};
    try {
      rig.Run();
      ADD_FAILURE() << "no error for " << c.left;
    } catch (const AppError& error) {
      EXPECT_EQ(error.Number(), c.number) << c.left;
    }
    // The schemes after HSE did not run.
    EXPECT_EQ(rig.state.PamValue, 0.0f);
  }
}

}  // namespace
}  // namespace sonivera::test
