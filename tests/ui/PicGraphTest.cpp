#include <gtest/gtest.h>

#include <QImage>
#include <cmath>

#include "base/ErrorLog.h"
#include "chart/ChartGeometry.h"
#include "support/ImageChecks.h"
#include "support/TestApp.h"
#include "ui/PicGraph.h"
#include "ui/UiTest.h"

namespace sonivera::ui {
namespace {

using test::HasColourNear;

QPoint PixelOf(const QRect& rect, int position, double db) {
  const chart::ChartMapping mapping{QRectF(rect)};
  const QPointF p = mapping.Map(chart::PositionX(position), db);
  return {static_cast<int>(std::floor(p.x())), static_cast<int>(std::floor(p.y()))};
}

// The widget shows what the chart painter draws for the values it was given:
// marks where the coordinate rules put them, and the file's band colours.
TEST(PicGraphTest, WidgetDrawsPointsAndBandsWhereTheRulesPutThem) {
  test::EnsureQApplication();
  test::TempFolder folder;
  test::ScriptedPrompter prompter;
  ErrorLog log(folder.Path() + "/err.log");
  ErrorReporter reporter(prompter, log);

  chart::ChartFiles files;
  files.bands.colours[chart::kModerate] = {10, 200, 30};
  ChartOptions options;
  options.CheckBand = true;
  chart::EarThresholds values;
  values.current[chart::k250Hz] = "10";
  values.current[chart::k1kHz] = "45";
  values.current[chart::k4kHz] = "70";
  values.current[chart::k8kHz] = "";  // not measured: no mark

  PicGraph graph(chart::Ear::Left);
  graph.resize(424, 444);
  graph.Redraw(values, {}, options, files, reporter);
  EXPECT_EQ(graph.RedrawCount(), 1);
  const QImage image = graph.grab().toImage();
  const QColor blue(0, 0, 255);
  for (const auto& [position, db] :
       {std::pair{chart::k250Hz, 10.0}, {chart::k1kHz, 45.0}, {chart::k4kHz, 70.0}}) {
    SCOPED_TRACE(position);
    EXPECT_TRUE(HasColourNear(image, PixelOf(graph.rect(), position, db), blue));
  }
  // The line is broken at the missing 8 kHz value: nothing blue around 100 dB
  // there, and the moderate band (40 to 60 dB) keeps the file's colour away
  // from the lines.
  EXPECT_FALSE(HasColourNear(image, PixelOf(graph.rect(), chart::k8kHz, 100.0), blue, 3));
  const QPoint in_band = PixelOf(graph.rect(), chart::k6kHz, 50.0) + QPoint(0, 0);
  EXPECT_EQ(image.pixelColor(in_band + QPoint(-10, 0)), QColor(10, 200, 30));
  EXPECT_TRUE(prompter.Prompts().empty());
}

}  // namespace
}  // namespace sonivera::ui
