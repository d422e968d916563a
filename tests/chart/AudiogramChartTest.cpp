#include <gtest/gtest.h>

#include <QPainter>
#include <QPdfWriter>
#include <cmath>

#include "chart/AudiogramChart.h"
#include "chart/ChartTest.h"
#include "support/ImageChecks.h"
#include "support/PdfSupport.h"
#include "support/RegisterChecks.h"

namespace sonivera::chart {
namespace {

using test::HasColourNear;

// 4 pixels per frequency unit and 3 pixels per dB.
const QSize kSize(static_cast<int>((kWindowRight - kWindowLeft) * 4),
                  static_cast<int>((kWindowBottom - kWindowTop) * 3));

// The pixel of a chart point by the coordinate rules: x = 6 + 9 i across,
// levels downwards, in a picture of kSize.
QPoint Pixel(double x, double db) {
  return {static_cast<int>(std::floor((x - kWindowLeft) * 4)),
          static_cast<int>(std::floor((db - kWindowTop) * 3))};
}
QPoint Pixel(int position, double db, int dx, int dy) {
  return Pixel(PositionX(position), db) + QPoint(dx, dy);
}

// True when the pixel at x, y or the one above or below has exactly the colour.
bool HasColourAround(const QImage& image, int x, int y, const QColor& colour) {
  for (int dy = -1; dy <= 1; ++dy) {
    if (image.pixelColor(x, y + dy) == colour) return true;
  }
  return false;
}

bool ColumnHasColour(const QImage& image, int x, const QColor& colour) {
  for (int y = 0; y < image.height(); ++y) {
    if (image.pixelColor(x, y) == colour) return true;
  }
  return false;
}

ThresholdRow Row(std::initializer_list<const char*> values) {
  ThresholdRow row;
  int i = 0;
  for (const char* value : values) row[i++] = QString::fromUtf8(value);
  return row;
}

// Charts drawn with a GUI application's fonts.
struct Fixture : Reporting {
  ChartOptions options;
  ChartFiles files;
  ChartPatient patient;

  Fixture() {
    test::EnsureGuiApplication();
    // Band colours that nothing else on the chart uses.
    files.bands.colours = {Rgb{250, 250, 10}, Rgb{10, 250, 10}, Rgb{250, 10, 250},
                           Rgb{10, 10, 120}};
    options.CheckBand = true;
  }
  AudiogramChart Chart(Ear ear, const EarThresholds& values) {
    AudiogramChart chart(ear);
    chart.InitGraph(values, patient, options, files, reporter);
    return chart;
  }
};

const QColor kBlue(0, 0, 255), kLightBlue(0, 180, 255), kRed(255, 0, 0), kMagenta(255, 0, 255);
const QColor kWhite(255, 255, 255), kBandGrey(230, 230, 230);

TEST(AudiogramChartTest, GridRowsAndColumnsGoToTheirEarsAndFrequencyPositions) {
  AudiogramGrid grid;
  for (int r = 0; r < AudiogramGrid::kRows; ++r) {
    for (int c = 0; c < 11; ++c) grid.SetCell(r, c, QString::number(100 * r + c));
  }
  const auto expected = [](int r) {
    ThresholdRow row;
    const int columns[] = {9, 0, 1, 10, 2, 3, 4, 5, 6, 7, 8};
    for (int i = 0; i < kPositionCount; ++i) row[i] = QString::number(100 * r + columns[i]);
    return row;
  };
  const EarThresholds left = EarFromGrid(grid, Ear::Left), right = EarFromGrid(grid, Ear::Right);
  EXPECT_EQ((std::array{left.current, left.previous, right.current, right.previous}),
            (std::array{expected(0), expected(1), expected(2), expected(3)}));
}

TEST(AudiogramChartTest, PatientDatesComeFromTheViewTexts) {
  const std::tuple<const char*, const char*, QDate, QDate> cases[] = {
      {"14/03/1962", "30/09/2021", {1962, 3, 14}, {2021, 9, 30}},
      {"__/__/____", "01/02/2020", QDate(), {2020, 2, 1}},
      {"31/02/1970", "", QDate(), QDate()},
  };
  for (const auto& [dob, tested, birth_date, test_date] : cases) {
    CurrentTestView view;
    view.DOB = dob;
    view.DateofTest = tested;
    view.sex = Sex::Female;
    const ChartPatient patient = PatientFromView(view);
    EXPECT_EQ(patient.date_of_birth, birth_date) << dob;
    EXPECT_EQ(patient.date_of_test, test_date) << tested;
    EXPECT_EQ(patient.sex, Sex::Female);
  }
}

TEST(AudiogramChartTest, LeftEarCrossesAndRightEarCirclesInTheirOwnColours) {
  Fixture f;
  const EarThresholds left_values{Row({"10", "", "", "", "35", "", "", "70", "", "", "120"}),
                                  Row({"", "", "", "", "", "", "", "", "", "", "-10"})};
  const QImage left = f.Chart(Ear::Left, left_values).Picture(kSize, ChartMedium::Screen);
  for (const auto& [position, db] :
       {std::pair{k125Hz, 10.0}, {k1kHz, 35.0}, {k3kHz, 70.0}, {k8kHz, 120.0}}) {
    SCOPED_TRACE(position);
    EXPECT_TRUE(HasColourNear(left, Pixel(position, db, 0, 0), kBlue));
    // The four arms of the cross, and nothing straight above the point.
    for (int sx : {-3, 3}) {
      for (int sy : {-3, 3}) EXPECT_TRUE(HasColourNear(left, Pixel(position, db, sx, sy), kBlue));
    }
    EXPECT_FALSE(HasColourNear(left, Pixel(position, db, 0, -4), kBlue, 0));
  }
  EXPECT_TRUE(HasColourNear(left, Pixel(k8kHz, -10, 0, 0), kLightBlue));
  EXPECT_FALSE(ColumnHasColour(left, Pixel(k250Hz, 0, 0, 0).x(), kRed));

  const EarThresholds right_values{Row({"", "20", "", "", "", "", "", "", "", "55", ""}),
                                   Row({"", "", "", "", "", "", "", "", "90", "", ""})};
  const QImage right = f.Chart(Ear::Right, right_values).Picture(kSize, ChartMedium::Screen);
  for (const auto& [position, db, colour] :
       {std::tuple{k250Hz, 20.0, kRed}, {k6kHz, 55.0, kRed}, {k4kHz, 90.0, kMagenta}}) {
    SCOPED_TRACE(position);
    for (const QPoint& edge : {QPoint(4, 0), QPoint(-4, 0), QPoint(0, 4), QPoint(0, -4)}) {
      EXPECT_TRUE(HasColourNear(right, Pixel(position, db, edge.x(), edge.y()), colour));
    }
    // A lone point has no line through it: the middle of the circle is empty.
    EXPECT_FALSE(HasColourNear(right, Pixel(position, db, 0, 0), colour));
  }
  EXPECT_FALSE(ColumnHasColour(right, Pixel(k250Hz, 0, 0, 0).x(), kBlue));
}

TEST(AudiogramChartTest, LinesBreakAtMissingValuesAndThePreviousTestIsDotted) {
  Fixture f;
  f.options.CheckBand = false;
  // 750 Hz and 1.5 kHz empty (passed over), 6 kHz empty (a gap).
  const EarThresholds values{Row({"", "10", "10", "", "30", "", "30", "40", "60", "", "80"}), {}};
  const QImage image = f.Chart(Ear::Left, values).Picture(kSize, ChartMedium::Screen);
  // 500 Hz to 1 kHz goes on through the empty 750 Hz: halfway at 20 dB.
  EXPECT_TRUE(HasColourNear(image, Pixel((PositionX(k500Hz) + PositionX(k1kHz)) / 2, 20), kBlue));
  // 1 kHz to 2 kHz over the empty 1.5 kHz stays at 30 dB.
  EXPECT_TRUE(HasColourNear(image, Pixel(PositionX(k1_5kHz) - 2, 30), kBlue));
  // 3 kHz to 4 kHz: an ordinary segment, halfway at 50 dB.
  EXPECT_TRUE(HasColourNear(image, Pixel((PositionX(k3kHz) + PositionX(k4kHz)) / 2, 50), kBlue));
  // Nothing at all between 4 kHz and 8 kHz beyond the marks.
  for (double x = PositionX(k4kHz) + 2.5; x < PositionX(k8kHz) - 2.5; x += 0.25) {
    EXPECT_FALSE(ColumnHasColour(image, Pixel(x, 0).x(), kBlue)) << x;
  }
  // Before the first value there is no line either.
  EXPECT_FALSE(
      ColumnHasColour(image, Pixel((PositionX(k125Hz) + PositionX(k250Hz)) / 2, 0).x(), kBlue));

  // The current test's line is solid, the previous test's dotted.
  const EarThresholds lines{Row({"", "", "", "", "", "", "", "20", "20", "", ""}),
                            Row({"", "", "", "", "", "", "", "50", "50", "", ""})};
  const QImage right = f.Chart(Ear::Right, lines).Picture(kSize, ChartMedium::Screen);
  int solid = 0, dotted = 0, columns = 0;
  for (int x = Pixel(PositionX(k3kHz), 0).x() + 6; x < Pixel(PositionX(k4kHz), 0).x() - 6; ++x) {
    ++columns;
    solid += HasColourAround(right, x, Pixel(0, 20).y(), kRed) ? 1 : 0;
    dotted += HasColourAround(right, x, Pixel(0, 50).y(), kMagenta) ? 1 : 0;
  }
  ASSERT_GT(columns, 15);
  EXPECT_EQ(solid, columns);
  EXPECT_GT(dotted, columns / 5);
  EXPECT_LT(dotted, columns * 2 / 3);
}

TEST(AudiogramChartTest, BandsFillTheirLevelsOnScreenAndOnPaperOnlyWhenAsked) {
  struct Case {
    bool band;
    bool band_print;
    ChartMedium medium;
    bool shown;
  };
  const Case cases[] = {
      {true, true, ChartMedium::Screen, true},   {true, false, ChartMedium::Screen, true},
      {true, true, ChartMedium::Print, true},    {true, false, ChartMedium::Print, false},
      {false, true, ChartMedium::Screen, false}, {false, true, ChartMedium::Print, false},
  };
  for (const Case& c : cases) {
    Fixture f;
    f.options.CheckBand = c.band;
    f.options.CheckBandPrint = c.band_print;
    const QImage image = f.Chart(Ear::Left, {}).Picture(kSize, c.medium);
    SCOPED_TRACE(testing::Message() << c.band << c.band_print << static_cast<int>(c.medium));
    const double x = PositionX(k1_5kHz) + 4;  // between grid lines
    const std::pair<double, int> levels[] = {{25, kMild},     {39, kMild},   {45, kModerate},
                                             {61, kSevere},   {89, kSevere}, {95, kProfound},
                                             {119, kProfound}};
    for (const auto& [db, band] : levels) {
      const QColor expected = c.shown ? f.files.bands.colours[band].ToColor() : kWhite;
      EXPECT_EQ(image.pixelColor(Pixel(x, db)), expected) << db;
    }
    // Normal hearing, and outside the grid, stay white.
    EXPECT_EQ(image.pixelColor(Pixel(x, 10)), kWhite);
    EXPECT_EQ(image.pixelColor(Pixel(PositionX(k8kHz) + 2, 50)), kWhite);
    EXPECT_EQ(image.pixelColor(Pixel(PositionX(k125Hz) - 2, 55)), kWhite);
  }
}

TEST(AudiogramChartTest, GridAndAxisRunFromMinusTenToOneHundredTwentyInPensOfTheDevice) {
  Fixture f;
  f.options.CheckBand = false;
  const QImage image = f.Chart(Ear::Left, {}).Picture(kSize, ChartMedium::Screen);
  for (int i = 1; i < kPositionCount; ++i) {
    EXPECT_TRUE(HasColourNear(image, Pixel(PositionX(i), 50), QColor(196, 196, 196))) << i;
    EXPECT_TRUE(HasColourNear(image, Pixel(PositionX(i), -9.5), QColor(196, 196, 196))) << i;
    EXPECT_FALSE(HasColourNear(image, Pixel(PositionX(i), -11), QColor(196, 196, 196), 0)) << i;
  }
  EXPECT_TRUE(HasColourNear(image, Pixel(kAxisX, 119.5), QColor(127, 127, 127)));
  EXPECT_EQ(image.pixelColor(Pixel(kAxisX, 122)), kWhite);

  // Pens grow with the device's resolution.
  const AudiogramChart chart = f.Chart(Ear::Left, {});
  for (const int dpi : {96, 288}) {
    QImage page(kSize * (dpi / 96), QImage::Format_RGB32);
    page.setDotsPerMeterX(static_cast<int>(std::lround(dpi / 0.0254)));
    page.setDotsPerMeterY(static_cast<int>(std::lround(dpi / 0.0254)));
    page.fill(Qt::white);
    QPainter painter(&page);
    chart.Paint(painter, QRectF(page.rect()));
    painter.end();
    // Width of the axis line halfway down.
    const int y = static_cast<int>((55 - kWindowTop) * 3 * (dpi / 96));
    int width = 0;
    for (int x = 0; x < page.width() / 4; ++x) {
      width += page.pixelColor(x, y) == QColor(127, 127, 127) ? 1 : 0;
    }
    EXPECT_EQ(width, dpi / 96) << dpi;
  }
}

TEST(AudiogramChartTest, PredictiveBandIsGreyWithAWhiteMiddleLine) {
  Fixture f;
  f.options.ShowPredictiveLine = true;
  f.options.PredictiveLineAllowed = true;
  f.patient = {QDate(1970, 1, 1), QDate(2022, 6, 1), Sex::Male};  // 52: row 50
  for (int p : kPredictivePositions) {
    f.files.predictive.male.At(p, AgeRow(50)) = {"0", "20", "40"};
    f.files.predictive.female.At(p, AgeRow(50)) = {"60", "70", "80"};
  }
  const QImage image = f.Chart(Ear::Left, {}).Picture(kSize, ChartMedium::Screen);
  const double x = PositionX(k3kHz) + 4;
  EXPECT_EQ(image.pixelColor(Pixel(x, 30)), kBandGrey);  // over the mild band
  EXPECT_EQ(image.pixelColor(Pixel(x, 10)), kBandGrey);
  EXPECT_EQ(image.pixelColor(Pixel(x, 20)), kWhite);  // the middle line
  EXPECT_EQ(image.pixelColor(Pixel(x, -5)), kWhite);
  EXPECT_EQ(image.pixelColor(Pixel(x, 45)), f.files.bands.colours[kModerate].ToColor());
  // The line is drawn at 250 Hz to 8 kHz only: nothing left of 250 Hz.
  EXPECT_EQ(image.pixelColor(Pixel(PositionX(k250Hz) - 3, 10)), kWhite);

  // The female table for a woman; no line without a sex, a date, or the switches.
  f.patient.sex = Sex::Female;
  const QImage female = f.Chart(Ear::Left, {}).Picture(kSize, ChartMedium::Screen);
  EXPECT_EQ(female.pixelColor(Pixel(x, 65)), kBandGrey);
  EXPECT_EQ(female.pixelColor(Pixel(x, 30)), f.files.bands.colours[kMild].ToColor());
  for (int off = 0; off < 4; ++off) {  // each of the four missing in turn
    f.patient.sex = off == 0 ? Sex::None : Sex::Male;
    f.patient.date_of_birth = off == 1 ? QDate() : QDate(1970, 1, 1);
    f.options.ShowPredictiveLine = off != 2;
    f.options.PredictiveLineAllowed = off != 3;
    const AudiogramChart chart = f.Chart(Ear::Left, {});
    EXPECT_FALSE(chart.Predictive()) << off;
    EXPECT_EQ(chart.Picture(kSize, ChartMedium::Screen).pixelColor(Pixel(x, 30)),
              f.files.bands.colours[kMild].ToColor());
  }
  EXPECT_TRUE(f.prompter.Prompts().empty());
}

TEST(AudiogramChartTest, ValuesThatAreNotNumbersAreReportedWithTheirTags) {
  Fixture f;
  f.options.ShowPredictiveLine = true;
  f.options.PredictiveLineAllowed = true;
  f.patient = {QDate(1980, 1, 1), QDate(2020, 1, 1), Sex::Male};
  f.files.predictive.male.At(k4kHz, AgeRow(40)) = {"0", "ten", "30"};
  const EarThresholds values{Row({"", "20", "x", "", "30", "", "1e300"}),
                             Row({"", "", "", "", "4O"})};
  const AudiogramChart chart = f.Chart(Ear::Left, values);
  const QString expected[] = {
      "An error has occurred: Type mismatch Error No: 13 (InitGraph:954)",
      "An error has occurred: Type mismatch Error No: 13 (plotpredictiveLine:954)"};
  EXPECT_EQ(test::PromptLines(f.prompter),
            (QStringList{expected[0] + "|Error", expected[1] + "|Error"}));
  const QString log = QString::fromUtf8(f.folder.Read("err.log"));
  EXPECT_TRUE(log.contains(expected[0]) && log.contains(expected[1]));
  // The good values are still drawn; the bad ones and the line are left out.
  EXPECT_EQ(chart.Current()[k250Hz], 20.0);
  EXPECT_EQ(chart.Current()[k1kHz], 30.0);
  EXPECT_FALSE(chart.Current()[k500Hz]);
  EXPECT_FALSE(chart.Previous()[k1kHz]);
  EXPECT_FALSE(chart.Predictive());
  // An absurd level is drawn as a line off the bottom of the chart.
  const QImage image = chart.Picture(kSize, ChartMedium::Screen);
  EXPECT_TRUE(HasColourNear(image, Pixel(PositionX(k1kHz) + 1, 100), kBlue, 2));
}

// Both ears and the colour key on a PDF page: the axis texts are real text.
TEST(AudiogramChartTest, SampleChartPrintsToPdfWithItsAxisTexts) {
  Fixture f;
  f.options.ShowPredictiveLine = true;
  f.options.PredictiveLineAllowed = true;
  f.patient = {QDate(1962, 3, 14), QDate(2021, 9, 30), Sex::Male};
  for (int i = 0; i < static_cast<int>(kPredictivePositions.size()); ++i) {
    f.files.predictive.male.At(kPredictivePositions[i], AgeRow(59)) = {
        QString::number(-5 + i), QString::number(5 + 4 * i), QString::number(15 + 8 * i)};
  }
  const EarThresholds left{Row({"10", "15", "15", "", "20", "", "25", "40", "55", "50", "45"}),
                           Row({"5", "10", "10", "", "15", "", "20", "30", "45", "45", "40"})};
  const EarThresholds right{Row({"", "10", "15", "15", "15", "20", "20", "35", "60", "", "70"}),
                            Row({"", "10", "10", "", "10", "", "15", "30", "50", "55", "60"})};
  const QString pdf = f.folder.File("sample-chart.pdf");
  {
    QPdfWriter writer(pdf);
    writer.setResolution(1200);
    EXPECT_DOUBLE_EQ(DeviceScale(&writer), 12.5);
    QPainter painter(&writer);
    f.Chart(Ear::Right, right).Paint(painter, QRectF(0, 0, 4000, 4400), ChartMedium::Print);
    f.Chart(Ear::Left, left).Paint(painter, QRectF(4200, 0, 4000, 4400), ChartMedium::Print);
    ColourKey::Paint(painter, QRectF(8400, 0, 1400, 2000), f.files.bands);
  }
  const QString text = test::PdfText(pdf);
  QStringList labels{"dB", "Moderate Loss"};
  labels << QStringList(FrequencyLabels().begin(), FrequencyLabels().end())
         << QStringList(LevelLabels().begin(), LevelLabels().end());
  for (const QString& label : labels) EXPECT_TRUE(text.contains(label)) << label.toStdString();
  EXPECT_TRUE(f.prompter.Prompts().empty());
}

}  // namespace
}  // namespace sonivera::chart
