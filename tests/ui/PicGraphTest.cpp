#include <cmath>

#include "base/ErrorLog.h"
#include "chart/ChartGeometry.h"
#include "support/ImageChecks.h"
#include "support/TempFolder.h"
#include "ui/PicGraph.h"
#include "ui/UiTest.h"

namespace sonivera::ui {
namespace {

using test::HasColourNear;

// The widget shows what the chart painter draws (whose rules are tested with
// the chart) for the values it was given, scaled to its own size, with the
// file's band colours.
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
  values.current[chart::k4kHz] = "70";

  PicGraph graph(chart::Ear::Left);
  graph.resize(424, 444);
  graph.Redraw(values, {}, options, files, reporter);
  EXPECT_EQ(graph.RedrawCount(), 1);
  const QImage image = graph.grab().toImage();
  const chart::ChartMapping mapping{QRectF(graph.rect())};
  auto pixel = [&](int position, double db) {
    const QPointF p = mapping.Map(chart::PositionX(position), db);
    return QPoint(static_cast<int>(std::floor(p.x())), static_cast<int>(std::floor(p.y())));
  };
  EXPECT_TRUE(HasColourNear(image, pixel(chart::k250Hz, 10.0), QColor(0, 0, 255)));
  EXPECT_TRUE(HasColourNear(image, pixel(chart::k4kHz, 70.0), QColor(0, 0, 255)));
  // The moderate band (40 to 60 dB), away from the lines.
  EXPECT_EQ(image.pixelColor(pixel(chart::k6kHz, 50.0) + QPoint(-10, 0)), QColor(10, 200, 30));
  EXPECT_TRUE(prompter.Prompts().empty());
}

}  // namespace
}  // namespace sonivera::ui
