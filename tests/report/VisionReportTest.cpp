// The vision record form: labels written and highlighted, the PDF read back.
#include <gtest/gtest.h>

#include <QRegularExpression>

#include "report/ReportLayout.h"
#include "report/VisionReport.h"
#include "support/PdfSupport.h"
#include "vision/VisionFixture.h"

namespace sonivera::report {
namespace {

using vision::test::VisionPlace;
using vision::test::VisionSample;

using sonivera::test::EnsureGuiApplication;
using sonivera::test::PdfText;

VisionPageLabels Painted(const VisionReportData& data, const QString& path) {
  EnsureGuiApplication();
  VisionPageLabels labels;
  auto pdf = PdfFile(path, VisionReportTitle());
  EXPECT_EQ(PrintVisionReport(*pdf, data, &labels), PrintStatus::Printed);
  return labels;
}

TEST(VisionReportTest, HighlightsOnlyTheLabelsOfStoredValues) {
  VisionPlace place;
  VisionSample zero{"Z1", "O'Brien", "Kate", "04/05/2026", "10:11:12", {}, {}};
  zero.answers.referred = vision::YesNo::No;
  vision::test::StoreVision(*place.editor, zero, true);

  VisionSample full{"F1", "Tate", "Joe", "05/05/2026", "09:00:00", {}, {}};
  auto& w = full.coded.working;
  w.binocular = {1, 3};
  w.acuity = {{{14, 5, 1}, {2, 0, 7}, {3, 9, 0}}};
  w.depth = 9;
  w.colour[0] = w.colour[8] = true;  // Aa, F
  w.vertical = {13, 1};
  w.lateral = {29, 15};
  w.test_distance = 5;
  full.coded.lamps = {true, false, false, true, false, false, true, false};  // R85, RN45, L55
  full.answers.referred = vision::YesNo::Yes;
  full.answers.glasses = vision::YesNo::Yes;
  full.answers.glasses_type = QStringLiteral("Varifocal");
  vision::test::StoreVision(*place.editor, full, true);
  ASSERT_FALSE(::testing::Test::HasFatalFailure());

  db::Connection& conn = place.database.Conn();
  const auto zero_data = LoadVisionReport(conn, "Z1", {"2026-05-04", "10:11:12"});
  ASSERT_TRUE(zero_data.has_value());
  const auto zero_page = Painted(*zero_data, place.folder.File("zero.pdf"));
  EXPECT_EQ(zero_page.highlighted, QStringList{"LabelRefNo"});
  EXPECT_EQ(zero_data->captions.at("LabelRTotal"), "");

  const auto data = LoadVisionReport(conn, "F1", {"2026-05-05", "09:00:00"});
  ASSERT_TRUE(data.has_value());
  const auto page = Painted(*data, place.folder.File("full.pdf"));
  const std::set<QString> expected = {
      "LabelFar4Binoc", "LabelNear3Binoc", "LabelFBE14", "LabelFR5",    "LabelFL1",
      "LabelNBE2",      "LabelNL7",        "LabelINTBE3", "LabelINTRE9", "LabelSD9",
      "LabelAa",        "LabelF",          "LabelFV13",  "LabelFLA29",  "LabelNV1",
      "LabelNLA15",     "LabelTDI5",       "LabelTDC5",  "LabelRT85",   "LabelRN45",
      "LabelLT55",      "LabelRefYes"};
  EXPECT_EQ(data->highlighted, expected);
  EXPECT_EQ(std::set<QString>(page.highlighted.begin(), page.highlighted.end()), expected);
  QStringList captions;
  for (const char* name :
       {"LabelRTotal", "LabelLTotal", "LabelBTotal", "LabelGlasses", "LabelGlassesType"}) {
    captions << data->captions.at(name);
  }
  EXPECT_EQ(captions.join(u'|'), "130|55|185|Yes|Varifocal");  // right: 85 + nasal 45

  // Every answer position of the form is on the page.
  for (const char* name :
       {"LabelFBE1", "LabelFR14", "LabelFL14", "LabelSD1", "LabelAb", "LabelEb", "LabelFV1",
        "LabelFLA1", "LabelNear2Binoc", "LabelNR14", "LabelNLA29", "LabelTDI1", "LabelTDC1",
        "LabelINTLE14", "LabelRT70", "LabelLN45", "LabelRefNo", "LabelName", "LabelLastExam",
        "LabelBTotal", "LabelContacts", "LabelRX"}) {
    EXPECT_TRUE(page.drawn.count(name)) << name;
  }
}

TEST(VisionReportTest, CommandLinePdfHoldsTheParticularsAndValues) {
  VisionPlace place;
  vision::test::GenerateVisionRegister(*place.editor, 2, 21);
  ASSERT_FALSE(::testing::Test::HasFatalFailure());
  place.database.Close();
  const QString pdf = place.folder.File("vision.pdf");
  const auto result = sonivera::test::RunCli(
      {"--folder", place.folder.Path(), "print", "vision", "V100", "--pdf", pdf});
  ASSERT_EQ(result.exit_code, 0) << result.err.toStdString();
  const QString text = PdfText(pdf);
  for (const char* expected :
       {"Vision Tester Occupational Record Form", "Ann Marie O'Neill", "V100", "14/03/1971",
        "Male", "Press shop", "Wears safety glasses; seen by O'Hara", "Snellen Equivalents",
        "CORRECT TEST LENS MUST BE USED FOR THESE TESTS", "Test Administrator"}) {
    EXPECT_TRUE(text.contains(QLatin1String(expected))) << expected;
  }
  EXPECT_TRUE(text.contains(QRegularExpression("Stereo +Depth")));
  EXPECT_EQ(text.count(u'\f'), 1);

  const auto missing = sonivera::test::RunCli(
      {"--folder", place.folder.Path(), "print", "vision", "V100", "--test", "01/01/2001",
       "10:00:00", "--pdf", pdf});
  EXPECT_EQ(missing.exit_code, 1);
  EXPECT_EQ(sonivera::test::RunCli({"--folder", place.folder.Path(), "print", "vision", "NOBODY",
                                    "--pdf", pdf})
                .exit_code,
            1);
}

}  // namespace
}  // namespace sonivera::report
