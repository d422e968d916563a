#pragma once

#include <sys/resource.h>

#include <cstdio>

namespace sonivera::bench {

// One row of the benchmark table that bench/run-all gathers from every
// benchmark's output: the measure, its figure, the figure of the reference
// measured in the same run (a negative reference: none) and the goal. The
// ratio is figure / reference.
inline void TableRow(const char* measure, double figure, const char* unit, double reference,
                     const char* reference_name, const char* goal) {
  char ratio[32] = "";
  if (reference > 0) std::snprintf(ratio, sizeof ratio, "%.1f x", figure / reference);
  char reference_text[160] = "";
  if (reference > 0) {
    std::snprintf(reference_text, sizeof reference_text, "%.3g %s (%s)", reference, unit,
                  reference_name);
  }
  std::printf("ROW\t%s\t%.3g %s\t%s\t%s\t%s\n", measure, figure, unit, reference_text, ratio,
              goal);
  std::fflush(stdout);
}

// The peak resident memory of this process so far, in megabytes.
inline double PeakRssMb() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  return usage.ru_maxrss / 1024.0;
}

}  // namespace sonivera::bench
