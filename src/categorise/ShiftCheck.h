#pragma once

#include <QDate>
#include <QString>
#include <QStringList>
#include <optional>

#include "categorise/CategorisationState.h"

namespace sonivera {

class Prompter;

// Appends the +10 dB shift codes at 3, 4 and 6 kHz (rows 0/2 against rows
// 1/3) to CategorisationText. Throws AppError for a cell that is not a number.
void ShiftCheck(CategorisationState& state);

// The recall period the recall window asks for, turned into a date.
class RecallPeriod {
 public:
  // The categorisation shown; a "+10" in it presets "1 month".
  RecallPeriod(const QString& categorisation, int lcid);

  const QString& Categorisation() const { return categorisation_; }
  // The periods offered (messages 801 to 806) and the one preset.
  QStringList Periods() const;
  const QString& PresetPeriod() const { return preset_; }

  // OK with the period combo's text: the recall date, today plus the period,
  // or nothing after showing "Incorrect Recall" (the window stays open).
  std::optional<QDate> Accept(const QString& combo_text, const QDate& today,
                              Prompter& prompter) const;

 private:
  QString categorisation_;
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
