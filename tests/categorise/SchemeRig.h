#pragma once

#include <QString>
#include <QStringList>

#include "base/ErrorLog.h"
#include "categorise/Categorise.h"
#include "support/BaseChecks.h"
#include "support/ScriptedPrompter.h"
#include "support/TempFolder.h"

namespace sonivera::test {

// Nine thresholds, 250 Hz to 8 kHz, separated by spaces; "-" for none.
inline void SetGridRow(AudiogramGrid& grid, int row, const QString& values) {
  const QStringList parts = values.split(u' ', Qt::SkipEmptyParts);
  for (int column = 0; column < 9; ++column) {
    const QString value = parts.value(column, QStringLiteral("-"));
    grid.SetCell(row, column, value == QLatin1String("-") ? QString("") : value);
  }
}
inline constexpr const char* kZero = "0 0 0 0 0 0 0 0 0";
inline constexpr const char* kHigh10 = "0 0 0 0 0 10 10 10 0";  // 3, 4 and 6 kHz at 10

// The schemes on their own: a grid, a current-test view, the scheme boxes
// and a scripted prompter, without a program around them.
struct SchemeRig {
  TempFolder folder;
  ScriptedPrompter prompter;
  ErrorLog log{folder.File(QStringLiteral("err.log"))};
  ErrorReporter reporter{prompter, log};
  CategorisationState state;
  SchemeChecks checks;
  bool bulk = false;
  int lcid = 2057;

  SchemeRig() { state.grid.Clear(); }

  void SetRow(int row, const QString& values) { SetGridRow(state.grid, row, values); }
  void Flat(int row, int value) {
    SetRow(row, QStringLiteral("%1 %1 %1 %1 %1 %1 %1 %1 %1").arg(value));
  }

  // The test under categorisation, on 01/06/2020 unless told.
  void View(const QString& dob = QStringLiteral("01/01/1990"), Sex sex = Sex::Male,
            const QString& previous = kEmptyDateMask,
            const QString& test_date = QStringLiteral("01/06/2020"),
            const QString& pat_no = QStringLiteral("1")) {
    state.view = {test_date, QStringLiteral("10:00:00"), previous, dob, sex, pat_no};
  }

  QString Run() {
    CategoriseEnv env{state, checks, bulk, lcid, reporter};
    Categorise(env);
    return state.CategorisationText;
  }
};

}  // namespace sonivera::test
