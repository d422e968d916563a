#pragma once

#include <QDate>
#include <QString>
#include <QStringList>
#include <optional>

#include "categorise/CategorisationState.h"

namespace sonivera {

class Application;

// Appends the +10 dB shift codes at 3, 4 and 6 kHz (rows 0/2 against rows
// 1/3) to CategorisationText. Throws AppError for a cell that is not a number.
void ShiftCheck(CategorisationState& state);

enum class RecheckOutcome {
  Stored,          // the shift result is now the shown test's categorisation
  NotFlagged,      // the test before it has no "+10" categorisation
  NoPreviousTest,  // the older tests needed do not exist
  Failed,          // reported with the error convention
};

// The +10 dB recheck of the current patient's shown test (CurrentPatNo,
// TestIndex): compares it with the test before the flagged one and stores
// only the shift codes as its categorisation.
RecheckOutcome RecheckShift(Application& app);

// The recall window's logic.
class FormRecall {
 public:
  // Text1 shows the categorisation; a "+10" in it presets "1 month".
  FormRecall(const QString& categorisation, int lcid);

  const QString& Text1() const { return text1_; }
  // The periods offered (messages 801 to 806) and the one preset.
  QStringList Periods() const;
  const QString& PresetPeriod() const { return preset_; }

  // OK with the period combo's text: the recall date, today plus the period,
  // or nothing after showing "Incorrect Recall" (the window stays open).
  std::optional<QDate> Accept(const QString& combo_text, const QDate& today,
                              Application& app) const;

 private:
  QString text1_;
  QString preset_;
  int lcid_;
};

// The months a recall period text stands for: its leading digits, times 12
// when the text holds "y" ("a" under the French locales). 0 when it does
// not start with a digit.
long long RecallPeriodMonths(const QString& text, int lcid);

// The calendar-month difference from one date to another.
int MonthsBetween(const QDate& from, const QDate& to);

// The one-month recall notice for the newest test: shown when the test
// before it was given a recall date at most one month after its test date.
bool OneMonthRecallDue(const QString& previous_test_date, const QString& previous_recall_date);

}  // namespace sonivera
