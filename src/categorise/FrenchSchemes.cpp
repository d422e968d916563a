// MP42, PAM and IPA: averages in 32-bit floats. A cell that is not a number
// is reported and the scheme goes on with the next step, the value that
// failed staying 0.
#include "base/AppError.h"
#include "base/ErrorLog.h"
#include "base/UserLocale.h"
#include "categorise/Arithmetic.h"
#include "categorise/Categorise.h"

namespace sonivera {

namespace {
const QString kIncompleteFr = QStringLiteral("données incomplètes  ");
constexpr int kLeft = 0, kRight = 2;

bool AnyEmpty(const AudiogramGrid& grid, std::initializer_list<int> rows,
              std::initializer_list<int> columns) {
  for (int row : rows) {
    for (int column : columns) {
      if (grid.Empty(row, column)) return true;
    }
  }
  return false;
}

// Runs one step; a run-time error is reported under the scheme's tag and
// the scheme resumes behind the step.
template <typename Step>
void Resuming(CategoriseEnv& env, const char* procedure, Step step) {
  try {
    step();
  } catch (const AppError& error) {
    env.reporter.Report(error.Description(), error.Number(), QString::fromLatin1(procedure));
  }
}

float Mp42Mean(const AudiogramGrid& grid, int row) {
  float sum = CellToSingle(grid.Cell(row, 1));
  sum += CellToSingle(grid.Cell(row, 2));
  sum += CellToSingle(grid.Cell(row, 4));
  sum += CellToSingle(grid.Cell(row, 6));
  return sum / 4.0f;
}

// The mean of one ear: a 16-bit sum divided as a real number, held as float.
float EarMean(const AudiogramGrid& grid, int row, std::initializer_list<int> columns) {
  const std::int16_t sum = SumCells(grid, row, columns);
  return static_cast<float>(static_cast<double>(sum) / static_cast<double>(columns.size()));
}

// "PAM=" N(mean) "  [PAM(D)=" N(right) ", PAM(G)=" N(left) "]  "
QString AverageFragment(const QString& label, float mean, float right, float left) {
  return label + u'=' + NumberN(mean) + QStringLiteral("  [") + label + QStringLiteral("(D)=") +
         NumberN(right) + QStringLiteral(", ") + label + QStringLiteral("(G)=") + NumberN(left) +
         QStringLiteral("]  ");
}

// PAM and IPA share their shape: both ears' means and their mean.
void AverageScheme(CategoriseEnv& env, const QString& label, const char* procedure,
                   std::initializer_list<int> columns, float& value) {
  CategorisationState& state = env.state;
  if (AnyEmpty(state.grid, {kLeft, kRight}, columns)) {
    state.CategorisationText += label + QStringLiteral(": ") + kIncompleteFr;
    value = 0.0f;
    return;
  }
  float left = 0.0f;
  float right = 0.0f;
  Resuming(env, procedure, [&] { left = EarMean(state.grid, kLeft, columns); });
  Resuming(env, procedure, [&] { right = EarMean(state.grid, kRight, columns); });
  const float mean = (left + right) / 2.0f;
  state.CategorisationText += AverageFragment(label, mean, right, left);
  value = mean;
}
}  // namespace

void CategoriseMp42(CategoriseEnv& env) {
  CategorisationState& state = env.state;
  const QString incomplete = QStringLiteral("MP42: ") + kIncompleteFr;
  if (AnyEmpty(state.grid, {kLeft}, {1, 2, 4, 6})) {
    state.CategorisationText = incomplete;  // replaces what earlier schemes wrote
    state.Mp42Value = 0.0f;
    return;
  }
  float mean_left = 0.0f;
  Resuming(env, "mp42categorise", [&] { mean_left = Mp42Mean(state.grid, kLeft); });
  if (AnyEmpty(state.grid, {kRight}, {1, 2, 4, 6})) {
    state.CategorisationText = incomplete;
    state.Mp42Value = 0.0f;
    return;
  }
  float mean_right = 0.0f;
  Resuming(env, "mp42categorise", [&] { mean_right = Mp42Mean(state.grid, kRight); });
  const float better = mean_left <= mean_right ? mean_left : mean_right;
  if (better >= 35.0f) {
    state.CategorisationText += QStringLiteral("MP42= ") +
                                FormatPlaces(better, 2, DecimalSeparatorFor(env.lcid)) +
                                QStringLiteral("  ");
    state.Mp42Value = better;
  } else {
    state.Mp42Value = 0.0f;
  }
}

void CategorisePam(CategoriseEnv& env) {
  AverageScheme(env, QStringLiteral("PAM"), "pamcategorise", {4, 6}, env.state.PamValue);
}

void CategoriseIpa(CategoriseEnv& env) {
  AverageScheme(env, QStringLiteral("IPA"), "ipacategorise", {5, 6, 7}, env.state.IpaValue);
}

}  // namespace sonivera
