#include "ui/PicGraph.h"

#include <QPainter>

#include "base/Settings.h"

namespace sonivera::ui {

PicGraph::PicGraph(chart::Ear ear, QWidget* parent) : QWidget(parent), chart_(ear) {
  setObjectName(ear == chart::Ear::Left ? QStringLiteral("PicGraphLeft")
                                        : QStringLiteral("PicGraphRight"));
  setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
  setFocusPolicy(Qt::ClickFocus);
  setAttribute(Qt::WA_OpaquePaintEvent);
}

void PicGraph::Redraw(const chart::EarThresholds& values, const chart::ChartPatient& patient,
                      const ChartOptions& options, const chart::ChartFiles& files,
                      ErrorReporter& reporter) {
  chart_.InitGraph(values, patient, options, files, reporter);
  ++redraw_count_;
  update();
}

void PicGraph::Clear(const ChartOptions& options, const chart::ChartFiles& files,
                     ErrorReporter& reporter) {
  Redraw({}, {}, options, files, reporter);
}

void PicGraph::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  chart_.Paint(painter, QRectF(rect()), chart::ChartMedium::Screen);
}

ColourKeyView::ColourKeyView(QWidget* parent) : QWidget(parent) {
  setObjectName(QStringLiteral("PicColourKey"));
  setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Expanding);
}

void ColourKeyView::SetBands(const chart::ColourBands& bands) {
  bands_ = bands;
  update();
}

void ColourKeyView::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  painter.fillRect(rect(), palette().window());
  chart::ColourKey::Paint(painter, QRectF(rect()).adjusted(4, 4, -4, -4), bands_);
}

}  // namespace sonivera::ui
