#include "chart/ColourBands.h"

#include <QFile>
#include <QFileInfo>
#include <QFont>
#include <QFontMetricsF>
#include <QPainter>
#include <algorithm>

#include "base/AppError.h"
#include "base/ErrorLog.h"
#include "base/TextFiles.h"
#include "chart/ChartGeometry.h"

namespace sonivera::chart {

namespace {
constexpr int kColourLines = 3 * kBandCount;

// The component of one line: the text after the first "=", trimmed.
int ReadComponent(const QString& line) {
  const qsizetype equals = line.indexOf(u'=');
  const QString text = (equals < 0 ? line : line.mid(equals + 1)).trimmed();
  bool ok = false;
  const int value = text.toInt(&ok);
  if (!ok) throw AppError(errnum::kTypeMismatch, QStringLiteral("Type mismatch"));
  if (value < 0 || value > 255) throw AppError(errnum::kOverflow, QStringLiteral("Overflow"));
  return value;
}

int& Component(ColourBands& bands, int index) {
  Rgb& rgb = bands.colours[index / 3];
  switch (index % 3) {
    case 0:
      return rgb.red;
    case 1:
      return rgb.green;
    default:
      return rgb.blue;
  }
}
}  // namespace

bool LoadColourBands(const QString& path, ColourBands& bands, ErrorReporter& reporter) {
  if (!FileExists(path)) return false;
  const auto lines = ReadTextLines(path);
  if (!lines) {
    reporter.Report(QStringLiteral("Permission denied"), errnum::kPermissionDenied,
                    QStringLiteral("LoadColourBands"));
    return false;
  }
  const int count = std::min<int>(kColourLines, static_cast<int>(lines->size()));
  for (int i = 0; i < count; ++i) {
    try {
      Component(bands, i) = ReadComponent(lines->at(i));
    } catch (const AppError& error) {
      reporter.Report(error.Description(), error.Number(), QStringLiteral("LoadColourBands"),
                      QStringLiteral(" (file %1, line %2)")
                          .arg(QFileInfo(path).fileName())
                          .arg(i + 1));
      break;
    }
  }
  return true;
}

std::vector<ColourKeyEntry> ColourKey::Entries(const ColourBands& bands) {
  return {
      {QStringLiteral("Normal Hearing"), QColor(255, 255, 255), 0, 20},
      {QStringLiteral("Mild Loss"), bands.colours[kMild].ToColor(), 20, 40},
      {QStringLiteral("Moderate Loss"), bands.colours[kModerate].ToColor(), 40, 60},
      {QStringLiteral("Severe Loss"), bands.colours[kSevere].ToColor(), 60, 80},
      {QStringLiteral("Profound Loss"), bands.colours[kProfound].ToColor(), 80, 100},
  };
}

void ColourKey::Paint(QPainter& painter, const QRectF& target, const ColourBands& bands) {
  painter.save();
  painter.setClipRect(target);
  painter.fillRect(target, Qt::white);
  const double scale = DeviceScale(painter.device());
  const double unit = target.height() / 100.0;
  const double box_width = std::min(target.width() * 0.3, target.height() * 0.3);
  QFont font(QStringLiteral("Arial"));
  font.setPixelSize(std::max(1, static_cast<int>(std::min(unit * 7.0, target.width() * 0.07))));
  painter.setFont(font);
  QPen outline(QColor(127, 127, 127));
  outline.setWidthF(scale);
  for (const ColourKeyEntry& entry : Entries(bands)) {
    const QRectF box(target.left(), target.top() + entry.from * unit, box_width,
                     (entry.to - entry.from) * unit);
    painter.fillRect(box, entry.colour);
    painter.setPen(outline);
    painter.drawRect(box.adjusted(0, 0, -scale, -scale));
    painter.setPen(Qt::black);
    const QRectF caption(box.right() + 4 * scale, box.top(),
                         target.right() - box.right() - 4 * scale, box.height());
    painter.drawText(caption, Qt::AlignLeft | Qt::AlignVCenter, entry.caption);
  }
  painter.restore();
}

}  // namespace sonivera::chart
