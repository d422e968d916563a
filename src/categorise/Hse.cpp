// The HSE scheme: warning and referral levels of the 1 to 6 kHz sum by age
// band and sex, rapid loss against the previous test, unilateral loss.
#include <algorithm>
#include <string_view>

#include "base/Messages.h"
#include "base/Prompter.h"
#include "categorise/Arithmetic.h"
#include "categorise/Categorise.h"

namespace sonivera {

namespace {
constexpr int kBands = 10;
constexpr int kMaleWarning[kBands] = {51, 67, 82, 100, 121, 142, 165, 190, 217, 235};
constexpr int kMaleReferral[kBands] = {95, 113, 132, 154, 183, 211, 240, 269, 296, 311};
constexpr int kFemaleWarning[kBands] = {46, 55, 63, 71, 80, 93, 111, 131, 157, 175};
constexpr int kFemaleReferral[kBands] = {78, 91, 105, 119, 134, 153, 176, 204, 235, 255};
// The lower and upper ages of bands 0 to 8; band 9 is 65 and over.
constexpr int kBandFrom[kBands - 1] = {18, 25, 30, 35, 40, 45, 50, 55, 60};
constexpr int kBandTo[kBands - 1] = {24, 29, 34, 39, 44, 49, 54, 59, 64};

const QString kIncomplete = QStringLiteral("HSE: Data incomplete");

// 1, 2, 3, 4 and 6 kHz; the rapid-loss sum takes 3, 4 and 6 kHz.
constexpr int kLeft = 0, kLeftBefore = 1, kRight = 2, kRightBefore = 3;

bool AnyEmpty(const AudiogramGrid& grid, int row, std::initializer_list<int> columns) {
  for (int column : columns) {
    if (grid.Empty(row, column)) return true;
  }
  return false;
}

void ShowDateMessage(CategoriseEnv& env, const QString& text, const QString& title) {
  env.Ask().Show(text + env.state.view.PatNo, title, Prompter::Buttons::Ok, Prompter::Answer::Ok,
                 Prompter::Icon::Exclamation);
}

int AgeBand(int age) {
  for (int band = 0; band < kBands - 1; ++band) {
    if (kBandFrom[band] <= age && age <= kBandTo[band]) return band;
  }
  if (age >= 65) return kBands - 1;
  return 0;  // under 18
}

// The categorisation text, built in place: the longest is under 64 characters.
class HseText {
 public:
  void Add(std::u16string_view part) {
    std::copy(part.begin(), part.end(), buffer_ + length_);
    length_ += part.size();
  }
  QString Text() const { return QString(reinterpret_cast<const QChar*>(buffer_), length_); }

 private:
  char16_t buffer_[64];
  std::size_t length_ = 0;
};

// Current minus previous 3 + 4 + 6 kHz sum of one ear, in 16-bit arithmetic.
std::int16_t RapidRise(const AudiogramGrid& grid, int row, int before_row) {
  const std::int16_t now = SumCells(grid, row, {5, 6, 7});
  const std::int16_t then = SumCells(grid, before_row, {5, 6, 7});
  return Sub16(now, then);
}
}  // namespace

bool PreviousDataMissing(const AudiogramGrid& grid) {
  return AnyEmpty(grid, kLeftBefore, {5, 6, 7}) || AnyEmpty(grid, kRightBefore, {5, 6, 7});
}

void CategoriseHse(CategoriseEnv& env) {
  const AudiogramGrid& grid = env.state.grid;
  const CurrentTestView& view = env.state.view;
  QString& text = env.state.CategorisationText;

  if (AnyEmpty(grid, kLeft, {2, 4, 5, 6, 7})) {
    text = kIncomplete;
    return;
  }
  const std::int16_t sum_left = SumCells(grid, kLeft, {2, 4, 5, 6, 7});
  if (AnyEmpty(grid, kRight, {2, 4, 5, 6, 7})) {
    text = kIncomplete;
    return;
  }
  const std::int16_t sum_right = SumCells(grid, kRight, {2, 4, 5, 6, 7});

  const auto test_date = ParseViewDate(view.DateofTest);
  const auto birth_date = ParseViewDate(view.DOB);
  if (!test_date || !birth_date) {
    if (!env.bulk_mode) {
      if (!birth_date) {
        ShowDateMessage(env,
                        QStringLiteral("Please return to Patient details page, Press Edit and "
                                       "enter Date of Birth. Patient: "),
                        QStringLiteral("Date of Birth Required for Categorisation"));
      } else {
        ShowDateMessage(env,
                        QStringLiteral("The date of test entry is missing or invalid. Please "
                                       "edit and try again. Patient: "),
                        Msg(958));
      }
    }
    text = kIncomplete;
    return;
  }

  const int age = WholeYears(*birth_date, *test_date);
  if (age < 0) {
    ShowDateMessage(env,
                    QStringLiteral("One of the dates is invalid (eg 'Age'). Please re-type and "
                                   "then try again. Patient: "),
                    Msg(958));
    text = kIncomplete;
    return;
  }
  const int band = AgeBand(age);

  const int* warning = nullptr;
  const int* referral = nullptr;
  if (view.sex == Sex::Male) {
    warning = kMaleWarning;
    referral = kMaleReferral;
  } else if (view.sex == Sex::Female) {
    warning = kFemaleWarning;
    referral = kFemaleReferral;
  } else {
    text = QStringLiteral("No sex chosen ");
    return;
  }

  // The codes of each ear: 1 under the warning level, 2 from it, 3 from
  // the referral level; "B" stands for both ears with the same code. The
  // text is written into one buffer (this runs for every audiogram of a
  // recategorisation).
  const int left_level = sum_left >= referral[band] ? 3 : sum_left >= warning[band] ? 2 : 1;
  const int right_level = sum_right >= referral[band] ? 3 : sum_right >= warning[band] ? 2 : 1;

  bool rapid_no_data = false;
  bool rapid_left = false;
  bool rapid_right = false;
  if (PreviousDataMissing(grid)) {
    rapid_no_data = true;
  } else {
    const auto previous_date = ParseViewDate(view.PreviousTest);
    if (!previous_date || !test_date) {
      env.Ask().Show(!previous_date ? QStringLiteral("The previous date entry is missing or "
                                                     "invalid. Please edit and try again")
                                    : QStringLiteral("The date of test entry is missing or "
                                                     "invalid. Please edit and try again"),
                     Msg(958), Prompter::Buttons::Ok, Prompter::Answer::Ok,
                     Prompter::Icon::Exclamation);
      text = kIncomplete;
      return;
    }
    if (WholeYears(*previous_date, *test_date) < 3) {
      rapid_left = RapidRise(grid, kLeft, kLeftBefore) >= 30;
      rapid_right = RapidRise(grid, kRight, kRightBefore) >= 30;
    }
  }

  const std::int16_t s4_left = SumCells(grid, kLeft, {2, 4, 5, 6});
  const std::int16_t s4_right = SumCells(grid, kRight, {2, 4, 5, 6});
  // Both differences are worked out, as either may overflow.
  const std::int16_t left_minus_right = Sub16(s4_left, s4_right);
  const std::int16_t right_minus_left = Sub16(s4_right, s4_left);
  const bool unilateral = left_minus_right > 40 || right_minus_left > 40;

  HseText out;
  out.Add(u"HSE:  ");
  if (left_level == 1 && right_level == 1) out.Add(u"1 ");
  if (left_level == right_level && left_level > 1) {
    out.Add(left_level == 2 ? u"2B " : u"3B ");
  } else {
    // A right ear at 2 goes in front of the left ear's code.
    if (right_level == 2) out.Add(u"2R ");
    if (left_level > 1) out.Add(left_level == 2 ? u"2L " : u"3L ");
    if (right_level == 3) out.Add(u"3R ");
  }
  if (rapid_no_data) {
    out.Add(u"4-no data ");
  } else if (rapid_left && rapid_right) {
    out.Add(u"4B ");
  } else if (rapid_left || rapid_right) {
    out.Add(rapid_left ? u"4L " : u"4R ");
  }
  if (unilateral) out.Add(u"U ");
  if (age < 18) out.Add(u" Age under 18 ");
  text = out.Text();
}

}  // namespace sonivera
