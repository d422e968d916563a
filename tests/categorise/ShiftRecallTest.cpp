#include <gtest/gtest.h>

#include <array>

#include "categorise/SchemeRig.h"
#include "categorise/ShiftCheck.h"

namespace sonivera::test {
namespace {

TEST(ShiftCheck, CodesByEarAndFrequency) {
  const char* kLeft4k = "0 0 0 0 0 0 10 0 0";
  // The text before the check, left now and earlier, right now and earlier, the text after.
  using Case = std::array<const char*, 6>;
  const Case cases[] = {
      {"", kLeft4k, kZero, kZero, kZero, "+10:4kL "},
      {"", "0 0 0 0 0 0 9 0 0", kZero, kZero, kZero, ""},
      {"", "0 0 0 0 0 25 25 25 0", "0 0 0 0 0 15 15 15 0", kHigh10, "0 0 0 0 0 -5 0 -10 0",
       "+10:3kL +10:4kL +10:6kL +10:3kR +10:4kR +10:6kR "},
      {"", kZero, "0 0 0 0 0 0 0 - 0", kZero, "- - - - - - - - -", "data incomplete "},
      {"", kZero, kZero, "0 0 0 0 0 - 0 0 0", kZero, "data incomplete "},
      {"", "0 0 0 0 0 - 20 0 0", kZero, "0 0 0 0 0 20 0 0 0", kZero, "data incomplete +10:3kR "},
      {"HSE:  1 4-no data ", kLeft4k, kZero, kZero, kZero, "HSE:  1 4-no data    "},
      {"HSE: Data incomplete", kLeft4k, kZero, kZero, kZero, "HSE: Data incomplete   "},
      {"HSE:  1 4B ", kLeft4k, kZero, kZero, kZero, "HSE:  1 4B    +10:4kL "},
  };
  for (const auto& [before, left, left_earlier, right, right_earlier, expected] : cases) {
    CategorisationState state;
    state.grid.Clear();
    for (int row = 0; const char* values : {left, left_earlier, right, right_earlier}) {
      SetGridRow(state.grid, row++, values);
    }
    state.CategorisationText = before;
    ShiftCheck(state);
    EXPECT_EQ(state.CategorisationText, expected) << before << "| " << left << " / " << right;
  }
}

TEST(Recall, PeriodTexts) {
  for (const auto& [text, lcid, months] : {std::tuple{"1 month", 2057, 1LL},
                                           {"18 months", 2057, 18},
                                           {"2 years", 2057, 24},
                                           {"3 Years", 1033, 36},
                                           {"abc", 2057, 0},
                                           {"1 an", 1036, 12},
                                           {"6 mois", 2060, 6},
                                           {"1 an", 2057, 1},
                                           {" 2 years", 2057, 0},
                                           {"", 2057, 0},
                                           {"2y", 2057, 24},
                                           {"0 months", 2057, 0}}) {
    EXPECT_EQ(RecallPeriodMonths(text, lcid), months) << text << " " << lcid;
  }
}

TEST(Recall, PeriodPresetAndAccept) {
  test::ScriptedPrompter prompter;
  const RecallPeriod plain("HSE:  1 ", 2057);
  EXPECT_EQ(plain.PresetPeriod(), "2 years");
  EXPECT_EQ(plain.Periods(),
            (QStringList{"1 month", "3 months", "6 months", "1 year", "2 years", "3 years"}));
  EXPECT_EQ(RecallPeriod("HSE:  1    +10:4kL ", 2057).PresetPeriod(), "1 month");

  const QDate today(2021, 1, 31);
  EXPECT_EQ(plain.Accept("1 month", today, prompter), QDate(2021, 2, 28));
  EXPECT_EQ(plain.Accept("2 years", today, prompter), QDate(2023, 1, 31));
  EXPECT_TRUE(prompter.Prompts().empty());
  for (const char* bad : {"abc", "0 months", "99999999 years"}) {
    EXPECT_FALSE(plain.Accept(bad, today, prompter).has_value()) << bad;
  }
  EXPECT_EQ(Shown(prompter),
            QStringList(3, "Incorrect Recall|Invalid recall period. Please try again."));
  EXPECT_EQ(RecallPeriod("", 1036).Accept("1 an", today, prompter), QDate(2022, 1, 31));
}

TEST(Recall, OneMonthNoticeUsesCalendarMonths) {
  EXPECT_TRUE(OneMonthRecallDue("2020-01-10", "2020-02-29"));
  EXPECT_TRUE(OneMonthRecallDue("2020-01-31", "2020-01-31"));
  EXPECT_FALSE(OneMonthRecallDue("2020-01-31", "2020-03-01"));
  EXPECT_FALSE(OneMonthRecallDue("2020-01-10", QString()));
  EXPECT_FALSE(OneMonthRecallDue(QString(), "2020-01-10"));
  EXPECT_EQ(MonthsBetween(QDate(2019, 12, 31), QDate(2020, 1, 1)), 1);
}

}  // namespace
}  // namespace sonivera::test
