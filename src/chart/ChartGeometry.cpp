#include "chart/ChartGeometry.h"

#include <cmath>

#include "base/AppError.h"

#include <QPaintDevice>
#include <algorithm>

namespace sonivera::chart {

const std::array<QString, kPositionCount>& FrequencyLabels() {
  static const std::array<QString, kPositionCount> labels = {
      QStringLiteral("125"), QStringLiteral("250"),  QStringLiteral("500"), QStringLiteral("750"),
      QStringLiteral("1k"),  QStringLiteral("1.5k"), QStringLiteral("2k"),  QStringLiteral("3k"),
      QStringLiteral("4k"),  QStringLiteral("6k"),   QStringLiteral("8k")};
  return labels;
}

const std::array<QString, kPositionCount>& FrequencyNames() {
  static const std::array<QString, kPositionCount> names = {
      QStringLiteral("125"),  QStringLiteral("250"),  QStringLiteral("500"),
      QStringLiteral("750"),  QStringLiteral("1000"), QStringLiteral("1500"),
      QStringLiteral("2000"), QStringLiteral("3000"), QStringLiteral("4000"),
      QStringLiteral("6000"), QStringLiteral("8000")};
  return names;
}

const std::array<QString, 14>& LevelLabels() {
  static const std::array<QString, 14> labels = [] {
    std::array<QString, 14> texts;
    for (int i = 0; i < 14; ++i) texts[i] = QString::number(-10 + 10 * i);
    return texts;
  }();
  return labels;
}

double DeviceScale(const QPaintDevice* device) {
  if (device == nullptr) return 1.0;
  const int dpi = std::max(device->logicalDpiX(), device->logicalDpiY());
  return std::max(1.0, dpi / 96.0);
}

std::optional<double> ParseChartNumber(const QString& text) {
  const QString trimmed = text.trimmed();
  if (trimmed.isEmpty()) return std::nullopt;
  bool ok = false;
  const double value = trimmed.toDouble(&ok);
  if (!ok || !std::isfinite(value)) {
    throw AppError(errnum::kTypeMismatch, QStringLiteral("Type mismatch"));
  }
  return value;
}

}  // namespace sonivera::chart
