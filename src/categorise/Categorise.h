#pragma once

#include <QString>

#include "categorise/CategorisationState.h"
#include "categorise/Schemes.h"

namespace sonivera {

class ErrorReporter;
class Prompter;

// Everything a scheme reads and writes besides the grid: the shared state,
// the live scheme boxes, the run's flags and where messages go.
struct CategoriseEnv {
  CategorisationState& state;
  const SchemeChecks& checks;
  bool bulk_mode;
  int lcid;
  ErrorReporter& reporter;

  Prompter& Ask() const;
};

// Runs the enabled schemes on the grid and the current-test view and leaves
// CategorisationText, the three scheme values and the categorisation box.
// A run-time error inside HSE ends the categorisation and comes out as
// AppError for the caller to report.
void Categorise(CategoriseEnv& env);

// The HSE scheme, the three French schemes and their helpers.
void CategoriseHse(CategoriseEnv& env);
bool PreviousDataMissing(const AudiogramGrid& grid);
void CategoriseMp42(CategoriseEnv& env);
void CategorisePam(CategoriseEnv& env);
void CategoriseIpa(CategoriseEnv& env);

// The text the categorisation box shows for a categorisation.
QString CategorisationBoxText(const QString& categorisation);

}  // namespace sonivera
