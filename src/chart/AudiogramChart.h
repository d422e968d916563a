#pragma once

#include <QColor>
#include <QDate>
#include <QImage>
#include <QRectF>
#include <QString>
#include <array>
#include <optional>

#include "base/Settings.h"
#include "chart/ChartFiles.h"
#include "chart/ChartGeometry.h"
#include "chart/PredictiveTables.h"

class QPainter;

namespace sonivera {
class ErrorReporter;
}

namespace sonivera::chart {

enum class Ear { Left, Right };

// Where a chart goes: the bands follow CheckBand on screen and also
// CheckBandPrint on paper and in PDF files.
enum class ChartMedium { Screen, Print };

// One row of thresholds in frequency-position order (125 Hz first), as texts:
// a whole number of dB HL, or empty for no value.
using ThresholdRow = std::array<QString, kPositionCount>;

// The same row taken from a 12-column audiogram grid row, where 125 Hz and
// 750 Hz sit in columns 9 and 10 behind the other frequencies.
ThresholdRow ChartRowFromGrid(const std::array<QString, 12>& grid_row);

// The thresholds one ear's chart shows.
struct EarThresholds {
  ThresholdRow current;
  ThresholdRow previous;
};

// One ear's thresholds from the audiogram grid: rows 0 and 1 for the left
// ear, 2 and 3 for the right.
EarThresholds EarFromGrid(const AudiogramGrid& grid, Ear ear);

// The person the predictive line is drawn for.
struct ChartPatient {
  QDate date_of_birth;
  QDate date_of_test;
  Sex sex = Sex::None;
};

// The person of the current-test view, whose dates are "dd/mm/yyyy" texts; an
// empty mask or a date that does not exist gives no date.
ChartPatient PatientFromView(const CurrentTestView& view);

// The audiogram of one ear. InitGraph takes the values to show and checks
// them (reporting any failure); Paint then draws the chart on any painter:
// the main window's picture, a printed page or a PDF file.
class AudiogramChart {
 public:
  using Points = std::array<std::optional<double>, kPositionCount>;

  explicit AudiogramChart(Ear ear) : ear_(ear) {}

  // InitGraph and Plot: takes the thresholds, bands, predictive line and
  // options for the next Paint. A threshold that is not a number is left out
  // and reported with the tag " (InitGraph:954)"; a table value that is not a
  // number drops the predictive line and is reported with the tag
  // " (plotpredictiveLine:954)".
  void InitGraph(const EarThresholds& values, const ChartPatient& patient,
                 const ChartOptions& options, const ChartFiles& files, ErrorReporter& reporter);

  // Draws the chart to fill target (device coordinates of the painter).
  void Paint(QPainter& painter, const QRectF& target,
             ChartMedium medium = ChartMedium::Screen) const;

  // The chart as a picture of the given size, as printing places it.
  QImage Picture(const QSize& size, ChartMedium medium = ChartMedium::Print) const;

  Ear ear() const { return ear_; }
  const Points& Current() const { return current_; }
  const Points& Previous() const { return previous_; }
  const std::optional<PredictiveLine>& Predictive() const { return predictive_; }
  bool BandsShown(ChartMedium medium) const;

  // The pen of each audiogram-grid row: 0 left current, 1 left previous,
  // 2 right current, 3 right previous.
  static QColor PenColour(int grid_row);
  // Half the size of a mark, in screen pixels (grown with the device scale).
  static constexpr double kMarkRadius = 4.0;

  // The stretches of a row that are joined by lines: consecutive values, where
  // an empty 125 Hz, 750 Hz or 1.5 kHz is passed over and any other empty
  // value breaks the line. Each pair is the positions of one segment.
  static std::vector<std::pair<int, int>> Segments(const Points& points);

 private:
  void PaintBands(QPainter& painter, const ChartMapping& mapping) const;
  void PaintPredictiveBand(QPainter& painter, const ChartMapping& mapping, double scale) const;
  void PaintPredictiveMiddle(QPainter& painter, const ChartMapping& mapping, double scale) const;
  void PaintFrame(QPainter& painter, const ChartMapping& mapping, double scale) const;
  void PaintRow(QPainter& painter, const ChartMapping& mapping, double scale, const Points& points,
                int grid_row) const;

  Ear ear_;
  Points current_{};
  Points previous_{};
  std::optional<PredictiveLine> predictive_;
  ColourBands bands_;
  bool show_bands_ = true;
  bool print_bands_ = true;
};

}  // namespace sonivera::chart
