#include "categorise/ShiftCheck.h"

#include "base/AppError.h"
#include "base/Messages.h"
#include "base/Prompter.h"
#include "categorise/Arithmetic.h"
#include "categorise/Schemes.h"

namespace sonivera {

namespace {
const QString kDataIncomplete = QStringLiteral("data incomplete");

// Appends the codes of one ear, or "data incomplete " when a value is missing.
bool EarShift(CategorisationState& state, int row, int before_row, QChar ear) {
  const AudiogramGrid& grid = state.grid;
  for (int column : {5, 6, 7}) {
    if (grid.Empty(row, column) || grid.Empty(before_row, column)) return false;
  }
  const char* frequencies[] = {"3k", "4k", "6k"};
  for (int i = 0; i < 3; ++i) {
    const int column = 5 + i;
    const std::int16_t rise =
        Sub16(CellNumber(grid, row, column), CellNumber(grid, before_row, column));
    if (rise >= 10) {
      state.CategorisationText +=
          QStringLiteral("+10:") + QLatin1String(frequencies[i]) + ear + u' ';
    }
  }
  return true;
}

}  // namespace

void ShiftCheck(CategorisationState& state) {
  QString& text = state.CategorisationText;
  if (!text.isEmpty()) text += QStringLiteral("   ");
  if (text.contains(kDataIncomplete, Qt::CaseInsensitive) ||
      text.contains(QLatin1String("no"), Qt::CaseInsensitive) ||
      text.contains(QLatin1String("1,5-N/A"), Qt::CaseInsensitive)) {
    return;
  }
  if (!EarShift(state, 0, 1, u'L')) text += kDataIncomplete + u' ';
  if (!EarShift(state, 2, 3, u'R') && !text.contains(kDataIncomplete, Qt::CaseInsensitive)) {
    text += kDataIncomplete + u' ';
  }
}

RecallPeriod::RecallPeriod(const QString& categorisation, int lcid)
    : categorisation_(categorisation),
      preset_(categorisation.contains(QLatin1String("+10")) ? Msg(801) : Msg(805)),
      lcid_(lcid) {}

QStringList RecallPeriod::Periods() const {
  QStringList periods;
  for (int message = 801; message <= 806; ++message) periods << Msg(message);
  return periods;
}

std::optional<QDate> RecallPeriod::Accept(const QString& combo_text, const QDate& today,
                                          Prompter& prompter) const {
  const long long months = RecallPeriodMonths(combo_text, lcid_);
  if (months > 0) {
    // A period that runs beyond the last date there is counts as invalid.
    const QDate recall =
        months <= 12LL * 10000 ? today.addMonths(static_cast<int>(months)) : QDate();
    if (recall.isValid() && recall.year() <= 9999) return recall;
  }
  prompter.Show(QStringLiteral("Invalid recall period. Please try again."),
                QStringLiteral("Incorrect Recall"), Prompter::Buttons::Ok, Prompter::Answer::Ok,
                Prompter::Icon::Exclamation);
  return std::nullopt;
}

long long RecallPeriodMonths(const QString& text, int lcid) {
  long long number = 0;
  for (const QChar c : text) {
    if (c < u'0' || c > u'9') break;
    number = std::min(number * 10 + (c.unicode() - u'0'), 1000000000LL);
  }
  const QChar year_letter = IsFrenchLocale(lcid) ? u'a' : u'y';
  if (text.toLower().contains(year_letter)) number *= 12;
  return number;
}

int MonthsBetween(const QDate& from, const QDate& to) {
  return (to.year() - from.year()) * 12 + (to.month() - from.month());
}

bool OneMonthRecallDue(const QString& previous_test_date, const QString& previous_recall_date) {
  const auto test = ParseViewDate(StoredDateToView(previous_test_date));
  const auto recall = ParseViewDate(StoredDateToView(previous_recall_date));
  return test && recall && MonthsBetween(*test, *recall) <= 1;
}

}  // namespace sonivera
