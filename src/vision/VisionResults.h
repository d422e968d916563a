#pragma once

#include <QString>
#include <array>
#include <optional>
#include <vector>

#include "vision/VisionSlides.h"

namespace sonivera::vision {

// The coded answers of one vision test while it is open: one value per
// results column that the test steps fill. Acuity and depth hold the highest
// target passed (0 none), binocular 0 none / 1 "Four" / 2 "Two" / 3 "Three",
// phoria the scale position 1.. (0 none), the test distance 0 none / 1..5.
struct WorkingResults {
  std::array<int, 2> binocular{};              // [far, near]
  std::array<std::array<int, 3>, 3> acuity{};  // [far, near, intermediate][both, right, left]
  int depth = 0;
  std::array<bool, kColourCircles> colour{};
  std::array<int, 2> vertical{};  // [far, near]
  std::array<int, 2> lateral{};   // [far, near]
  int test_distance = 0;

  bool operator==(const WorkingResults&) const = default;
};

// The coded part of a results row: the working results and the peripheral
// lamps seen (in LampColumn order).
struct CodedResults {
  WorkingResults working;
  std::array<bool, kLamps> lamps{};

  bool operator==(const CodedResults&) const = default;
};

// The coded results columns by name, in table order: "FarBinoc", "FarBoth",
// ..., "PLN45". Each is a number or a yes/no value.
struct ResultColumn {
  QString name;
  bool boolean = false;
  int maximum = 0;  // largest value a number column takes; 1 for yes/no
};
const std::vector<ResultColumn>& ResultColumns();

// Reads or writes a column of `results` by name; nullopt / false for a name
// that is not a coded results column or a value outside its range.
std::optional<int> ColumnValue(const CodedResults& results, const QString& name);
bool SetColumnValue(CodedResults& results, const QString& name, int value);

// The peripheral total of one eye from its four lamps (85, 70, 55, nasal 45):
// the widest temporal lamp seen plus 45 for the nasal lamp, 0 to 130.
int PeripheralTotal(bool temporal85, bool temporal70, bool temporal55, bool nasal45);

}  // namespace sonivera::vision
