#pragma once

#include "chart/ColourBands.h"
#include "chart/PredictiveTables.h"

namespace sonivera::chart {

// What the chart reads from the program folder at start-up: the band colours
// (colourbands.txt) and the two age-distribution tables (agedistM.tbl,
// agedistF.tbl).
struct ChartFiles {
  ColourBands bands;
  PredictiveTables predictive;
};

}  // namespace sonivera::chart
