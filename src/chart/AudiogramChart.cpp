#include "chart/AudiogramChart.h"

#include <QFont>
#include <QPainter>
#include <QPainterPath>
#include <QPolygonF>
#include <cmath>

#include "base/AppError.h"
#include "base/ErrorLog.h"

namespace sonivera::chart {

namespace {
const QColor kGridGrey(196, 196, 196);
const QColor kAxisGrey(127, 127, 127);
const QColor kBandGrey(230, 230, 230);

// The extra frequencies, often not measured: an empty one does not break the
// line between its neighbours.
bool MayBePassedOver(int position) {
  return position == k125Hz || position == k750Hz || position == k1_5kHz;
}

// The vertices of one predictive series; a missing table value is passed over.
QPolygonF SeriesPolygon(const ChartMapping& mapping, const PredictiveLine::Series& series) {
  QPolygonF polygon;
  for (std::size_t i = 0; i < series.size(); ++i) {
    if (series[i]) polygon << mapping.Map(PositionX(kPredictivePositions[i]), *series[i]);
  }
  return polygon;
}

QPen ChartPen(const QColor& colour, double width, Qt::PenStyle style = Qt::SolidLine) {
  QPen pen(colour);
  pen.setWidthF(width);
  pen.setStyle(style);
  pen.setCapStyle(Qt::FlatCap);
  pen.setJoinStyle(Qt::MiterJoin);
  return pen;
}
}  // namespace

ThresholdRow ChartRowFromGrid(const std::array<QString, 12>& grid_row) {
  ThresholdRow row;
  row[k125Hz] = grid_row[9];
  row[k250Hz] = grid_row[0];
  row[k500Hz] = grid_row[1];
  row[k750Hz] = grid_row[10];
  for (int i = k1kHz; i < kPositionCount; ++i) row[i] = grid_row[i - 2];
  return row;
}

EarThresholds EarFromGrid(const AudiogramGrid& grid, Ear ear) {
  const int first_row = ear == Ear::Left ? 0 : 2;
  const auto row = [&grid](int r) {
    std::array<QString, AudiogramGrid::kColumns> cells;
    for (int c = 0; c < AudiogramGrid::kColumns; ++c) cells[c] = grid.Cell(r, c);
    return ChartRowFromGrid(cells);
  };
  return {row(first_row), row(first_row + 1)};
}

ChartPatient PatientFromView(const CurrentTestView& view) {
  const auto date = [](const QString& text) {
    return QDate::fromString(text.trimmed(), QStringLiteral("dd/MM/yyyy"));
  };
  return {date(view.DOB), date(view.DateofTest), view.sex};
}

QColor AudiogramChart::PenColour(int grid_row) {
  switch (grid_row) {
    case 0:
      return QColor(0, 0, 255);
    case 1:
      return QColor(0, 180, 255);
    case 2:
      return QColor(255, 0, 0);
    default:
      return QColor(255, 0, 255);
  }
}

std::vector<std::pair<int, int>> AudiogramChart::Segments(const Points& points) {
  std::vector<std::pair<int, int>> segments;
  int last = -1;
  for (int i = 0; i < kPositionCount; ++i) {
    if (points[i]) {
      if (last >= 0) segments.emplace_back(last, i);
      last = i;
    } else if (!MayBePassedOver(i)) {
      last = -1;
    }
  }
  return segments;
}

void AudiogramChart::InitGraph(const EarThresholds& values, const ChartPatient& patient,
                               const ChartOptions& options, const ChartFiles& files,
                               ErrorReporter& reporter) {
  bands_ = files.bands;
  show_bands_ = options.CheckBand;
  print_bands_ = options.CheckBand && options.CheckBandPrint;
  current_ = {};
  previous_ = {};
  predictive_.reset();

  std::optional<AppError> failure;
  const auto parse_row = [&failure](const ThresholdRow& row, Points& points) {
    for (int i = 0; i < kPositionCount; ++i) {
      try {
        points[i] = ParseChartNumber(row[i]);
      } catch (const AppError& error) {
        if (!failure) failure = error;
      }
    }
  };
  parse_row(values.current, current_);
  parse_row(values.previous, previous_);
  if (failure) {
    reporter.ShowAndLog(StandardErrorText(failure->Description(), failure->Number(),
                                          ErrorTag(QStringLiteral("InitGraph"))));
  }

  if (options.ShowPredictiveLine && options.PredictiveLineAllowed) {
    try {
      predictive_ = PredictiveLineFor(files.predictive, patient.sex,
                                      AgeAtTest(patient.date_of_birth, patient.date_of_test));
    } catch (const AppError& error) {
      reporter.ShowAndLog(StandardErrorText(error.Description(), error.Number(),
                                            ErrorTag(QStringLiteral("plotpredictiveLine"))));
    }
  }
}

bool AudiogramChart::BandsShown(ChartMedium medium) const {
  return medium == ChartMedium::Screen ? show_bands_ : print_bands_;
}

void AudiogramChart::Paint(QPainter& painter, const QRectF& target, ChartMedium medium) const {
  painter.save();
  painter.setClipRect(target);
  painter.setRenderHint(QPainter::Antialiasing, false);
  painter.setRenderHint(QPainter::TextAntialiasing, true);
  painter.fillRect(target, Qt::white);
  const ChartMapping mapping(target);
  const double scale = DeviceScale(painter.device());

  if (BandsShown(medium)) PaintBands(painter, mapping);
  PaintPredictiveBand(painter, mapping, scale);
  painter.setPen(ChartPen(kGridGrey, scale));
  for (int i = 0; i < kPositionCount; ++i) {
    painter.drawLine(mapping.Map(PositionX(i), kTopDb), mapping.Map(PositionX(i), kBottomDb));
  }
  PaintPredictiveMiddle(painter, mapping, scale);
  PaintFrame(painter, mapping, scale);
  const int current_row = ear_ == Ear::Left ? 0 : 2;
  PaintRow(painter, mapping, scale, previous_, current_row + 1);
  PaintRow(painter, mapping, scale, current_, current_row);
  painter.restore();
}

void AudiogramChart::PaintBands(QPainter& painter, const ChartMapping& mapping) const {
  for (int band = 0; band < kBandCount; ++band) {
    const QRectF box(mapping.Map(kAxisX, kBandLimits[band]),
                     mapping.Map(kLastX, kBandLimits[band + 1]));
    painter.fillRect(box, bands_.colours[band].ToColor());
  }
}

void AudiogramChart::PaintPredictiveBand(QPainter& painter, const ChartMapping& mapping,
                                         double scale) const {
  if (!predictive_) return;
  // The edge out along one series and back along the other closes the band.
  const QPolygonF out = SeriesPolygon(mapping, predictive_->lower);
  const QPolygonF back = SeriesPolygon(mapping, predictive_->upper);
  if (out.size() < 2 || back.size() < 2) return;
  QPolygonF band = out;
  for (auto it = back.rbegin(); it != back.rend(); ++it) band << *it;
  painter.setPen(ChartPen(kBandGrey, scale));
  painter.setBrush(kBandGrey);
  painter.drawPolygon(band);
  painter.setBrush(Qt::NoBrush);
}

void AudiogramChart::PaintPredictiveMiddle(QPainter& painter, const ChartMapping& mapping,
                                           double scale) const {
  if (!predictive_) return;
  const QPolygonF middle = SeriesPolygon(mapping, predictive_->middle);
  if (middle.size() < 2) return;
  painter.setPen(ChartPen(Qt::white, 3 * scale));
  painter.drawPolyline(middle);
}

void AudiogramChart::PaintFrame(QPainter& painter, const ChartMapping& mapping,
                                double scale) const {
  painter.setPen(ChartPen(kAxisGrey, scale));
  painter.drawLine(mapping.Map(kAxisX, kBottomDb), mapping.Map(kAxisX, kTopDb));

  const QRectF& target = mapping.Target();
  QFont font(QStringLiteral("Arial"));
  const double size = std::min(target.height() * 0.035, target.width() * 0.032);
  font.setPixelSize(std::max(1, static_cast<int>(std::lround(size))));
  painter.setFont(font);
  painter.setPen(Qt::black);
  const int no_clip = Qt::TextDontClip;
  const double row_half = 5.0;  // dB either side of a level text's line
  for (std::size_t i = 0; i < LevelLabels().size(); ++i) {
    const double db = kTopDb + 10.0 * static_cast<double>(i);
    const QRectF box(mapping.Map(kWindowLeft, db - row_half),
                     mapping.Map(kAxisX - 1.0, db + row_half));
    painter.drawText(box, Qt::AlignRight | Qt::AlignVCenter | no_clip, LevelLabels()[i]);
  }
  for (int i = 0; i < kPositionCount; ++i) {
    const QRectF box(mapping.Map(PositionX(i) - 4.5, -22.0),
                     mapping.Map(PositionX(i) + 4.5, -12.0));
    painter.drawText(box, Qt::AlignHCenter | Qt::AlignBottom | no_clip, FrequencyLabels()[i]);
  }
  const QRectF title(mapping.Map(kWindowLeft, kWindowTop), mapping.Map(kAxisX - 1.0, -12.0));
  painter.drawText(title, Qt::AlignLeft | Qt::AlignBottom | no_clip, QStringLiteral("dB"));
}

void AudiogramChart::PaintRow(QPainter& painter, const ChartMapping& mapping, double scale,
                              const Points& points, int grid_row) const {
  const QColor colour = PenColour(grid_row);
  const bool previous = grid_row % 2 == 1;
  painter.setPen(ChartPen(colour, scale, previous ? Qt::DotLine : Qt::SolidLine));
  for (const auto& [from, to] : Segments(points)) {
    painter.drawLine(mapping.Map(PositionX(from), *points[from]),
                     mapping.Map(PositionX(to), *points[to]));
  }
  // Left-ear marks are crosses, right-ear marks circles, solid for both tests.
  painter.setPen(ChartPen(colour, scale));
  const double r = kMarkRadius * scale;
  for (int i = 0; i < kPositionCount; ++i) {
    if (!points[i]) continue;
    const QPointF centre = mapping.Map(PositionX(i), *points[i]);
    if (ear_ == Ear::Left) {
      painter.drawLine(centre + QPointF(-r, -r), centre + QPointF(r, r));
      painter.drawLine(centre + QPointF(-r, r), centre + QPointF(r, -r));
    } else {
      painter.drawEllipse(centre, r, r);
    }
  }
}

QImage AudiogramChart::Picture(const QSize& size, ChartMedium medium) const {
  QImage image(size, QImage::Format_RGB32);
  image.fill(Qt::white);
  QPainter painter(&image);
  Paint(painter, QRectF(QPointF(0, 0), QSizeF(size)), medium);
  painter.end();
  return image;
}

}  // namespace sonivera::chart
