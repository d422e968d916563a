#pragma once

#include <QDate>
#include <QString>
#include <array>
#include <optional>

#include "categorise/CategorisationState.h"
#include "chart/ChartGeometry.h"

namespace sonivera {
class ErrorReporter;
class ProgramFolder;
class Prompter;
struct ChartOptions;
}  // namespace sonivera

namespace sonivera::chart {

// Ages of the table rows: 20, 25, ... 80.
constexpr int kAgeRowCount = 13;
constexpr int kValueCount = 3;

// One age-distribution table: for each frequency position and age row, three
// values as texts (a number of dB, or empty for no value).
class PredictiveTable {
 public:
  using Values = std::array<QString, kValueCount>;

  const Values& At(int position, int age_row) const { return cells_[position][age_row]; }
  Values& At(int position, int age_row) { return cells_[position][age_row]; }
  void Clear() { *this = PredictiveTable(); }
  bool IsEmpty() const;

 private:
  std::array<std::array<Values, kAgeRowCount>, kPositionCount> cells_{};
};

struct PredictiveTables {
  PredictiveTable male;
  PredictiveTable female;
};

// The age texts of the rows, "20" to "80".
const std::array<QString, kAgeRowCount>& AgeNames();

// Reads one table file into table (cleared first). Messages for bad lines go
// to the prompter under the given title and the reading goes on with the next
// line. False when the file does not exist.
bool ReadPredictiveTable(const QString& path, PredictiveTable& table, Prompter& prompter,
                         const QString& title);

// LoadPredictiveTables: reads agedistM.tbl and agedistF.tbl from the program
// folder. A missing file is told ("Missing male age file" / "Missing female
// age file", title "Missing File") and clears the predictive-line switch.
void LoadPredictiveTables(const ProgramFolder& folder, PredictiveTables& tables,
                          ChartOptions& options, ErrorReporter& reporter, const QString& title);

// Whole years from birth to the test (days / 365.25); nullopt when a date is
// not valid.
std::optional<int> AgeAtTest(const QDate& date_of_birth, const QDate& date_of_test);

// The table row for an age: up to 24 the row of 20, 25 to 29 the row of 25,
// ..., 80 and over the row of 80.
int AgeRow(int age);

// The positions the predictive line is drawn at: 250, 500 Hz, 1, 2, 3, 4, 6,
// 8 kHz.
constexpr std::array<int, 8> kPredictivePositions = {k250Hz, k500Hz, k1kHz, k2kHz,
                                                     k3kHz,  k4kHz,  k6kHz, k8kHz};

// The predictive line of one person: the three value series at the eight
// positions; a missing value is nullopt.
struct PredictiveLine {
  using Series = std::array<std::optional<double>, kPredictivePositions.size()>;
  // The better-hearing edge of the band (first value of each row).
  Series lower;
  // The middle line drawn in white over the band (second value).
  Series middle;
  // The worse-hearing edge of the band (third value).
  Series upper;
};

// The line for a sex and age at test, from the table of that sex; nullopt
// when no sex is chosen or the age is unknown. Throws AppError (type
// mismatch) for a table value that is not a number.
std::optional<PredictiveLine> PredictiveLineFor(const PredictiveTables& tables, Sex sex,
                                                std::optional<int> age);

}  // namespace sonivera::chart
