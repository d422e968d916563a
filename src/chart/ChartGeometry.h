#pragma once

#include <QPointF>
#include <QRectF>
#include <QString>
#include <algorithm>
#include <array>
#include <optional>

class QPaintDevice;

namespace sonivera::chart {

// The chart's frequency positions, in this order: 125, 250, 500, 750 Hz,
// 1, 1.5, 2, 3, 4, 6, 8 kHz.
constexpr int kPositionCount = 11;

// Position indexes that have a name of their own in the code.
enum Position {
  k125Hz = 0,
  k250Hz = 1,
  k500Hz = 2,
  k750Hz = 3,
  k1kHz = 4,
  k1_5kHz = 5,
  k2kHz = 6,
  k3kHz = 7,
  k4kHz = 8,
  k6kHz = 9,
  k8kHz = 10
};

// Chart units: position i lies at x = 6 + 9 i; levels run from -10 dB at the
// top to 120 dB at the bottom.
constexpr double PositionX(int position) { return 6.0 + 9.0 * position; }
constexpr double kTopDb = -10.0;
constexpr double kBottomDb = 120.0;
constexpr double kAxisX = PositionX(0);
constexpr double kLastX = PositionX(kPositionCount - 1);

// The picture's whole window in chart units, with room for the level texts on
// the left and the frequency texts above the grid.
constexpr double kWindowLeft = -6.0;
constexpr double kWindowRight = 100.0;
constexpr double kWindowTop = -24.0;
constexpr double kWindowBottom = 124.0;

// The frequency texts under which printing also shows the threshold columns.
const std::array<QString, kPositionCount>& FrequencyLabels();
// The frequencies in Hz, as the age-distribution tables name them.
const std::array<QString, kPositionCount>& FrequencyNames();
// The level texts of the vertical axis, -10 to 120 in steps of 10.
const std::array<QString, 14>& LevelLabels();

// Band limits in dB: normal below 20, then mild, moderate, severe, profound.
constexpr std::array<double, 5> kBandLimits = {20.0, 40.0, 60.0, 90.0, 120.0};

// Maps chart units onto a target rectangle of a paint device.
class ChartMapping {
 public:
  explicit ChartMapping(const QRectF& target) : target_(target) {}

  QPointF Map(double x, double db) const { return {MapX(x), MapY(db)}; }
  double MapX(double x) const {
    return target_.left() + (x - kWindowLeft) * target_.width() / (kWindowRight - kWindowLeft);
  }
  // Absurd levels are held far outside the picture, where the rasteriser
  // still copes with them.
  double MapY(double db) const {
    const double held = std::clamp(db, -1000.0, 1000.0);
    return target_.top() + (held - kWindowTop) * target_.height() / (kWindowBottom - kWindowTop);
  }
  const QRectF& Target() const { return target_; }

 private:
  QRectF target_;
};

// Device pixels per screen pixel: pen widths, marks and gaps are given for a
// 96 dpi screen and grow with the device's resolution (printer, PDF).
double DeviceScale(const QPaintDevice* device);

// A level from a threshold box or a table cell: no value when empty; text
// that is not a number throws AppError (type mismatch).
std::optional<double> ParseChartNumber(const QString& text);

}  // namespace sonivera::chart
