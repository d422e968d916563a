#pragma once

#include <QWidget>

#include "chart/AudiogramChart.h"
#include "chart/ColourBands.h"

namespace sonivera {
class ErrorReporter;
struct ChartOptions;
}  // namespace sonivera

namespace sonivera::ui {

// The picture area of one ear's audiogram: the chart core draws it, this
// widget only holds the values last given and repaints.
class PicGraph : public QWidget {
  Q_OBJECT
 public:
  PicGraph(chart::Ear ear, QWidget* parent = nullptr);

  // InitGraph and Plot with the window's current values.
  void Redraw(const chart::EarThresholds& values, const chart::ChartPatient& patient,
              const ChartOptions& options, const chart::ChartFiles& files, ErrorReporter& reporter);
  // Clears both rows (a new patient has no audiogram yet).
  void Clear(const ChartOptions& options, const chart::ChartFiles& files, ErrorReporter& reporter);

  const chart::AudiogramChart& Chart() const { return chart_; }
  // How many times the chart was drawn from new values: lets the window's
  // tests see that an edit reached the chart.
  int RedrawCount() const { return redraw_count_; }

  QSize sizeHint() const override { return {360, 300}; }
  QSize minimumSizeHint() const override { return {200, 170}; }

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  chart::AudiogramChart chart_;
  int redraw_count_ = 0;
};

// The colour key beside the charts (CommandColourKey shows or hides it).
class ColourKeyView : public QWidget {
  Q_OBJECT
 public:
  explicit ColourKeyView(QWidget* parent = nullptr);
  void SetBands(const chart::ColourBands& bands);
  QSize sizeHint() const override { return {150, 160}; }

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  chart::ColourBands bands_;
};

}  // namespace sonivera::ui
