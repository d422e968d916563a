// The vision window on a demonstration register: its pages, the step frames,
// the controls reaching the test model, saving, and the hand-over with the
// audiogram window.
#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QTabWidget>
#include <QTableView>

#include "base/Messages.h"
#include "register/Register.h"
#include "ui/DemoWindowTest.h"
#include "ui/DetailsPage.h"
#include "ui/FormVision.h"
#include "ui/VisionStepPage.h"

namespace sonivera::ui {
namespace {

class FormVisionTest : public DemoWindowTest {
 protected:
  template <typename T>
  static T* Control(FormVision& vision, int step, const QString& name) {
    T* control = vision.Steps()->Frame(step)->findChild<T*>(name);
    EXPECT_NE(control, nullptr) << name.toStdString();
    return control;
  }
};

TEST_F(FormVisionTest, TypeVisionShowsTheVisionRegisterOnTheSamePatient) {
  FormVision& vision = Vision();
  EXPECT_TRUE(vision.isVisible());
  EXPECT_FALSE(window->isVisible());
  const int rows = vision.DBGrid1()->model()->rowCount();
  EXPECT_EQ(rows, Scalar("SELECT count(*) FROM PatDetails WHERE VDateofTest IS NOT NULL").toInt());
  ASSERT_GT(rows, 0);
  EXPECT_EQ(vision.StatusPanel(0)->text(), "Patients: 8");
  EXPECT_EQ(vision.StatusPanel(1)->text(), QStringLiteral("Records: %1").arg(rows));
  EXPECT_EQ(vision.StatusPanel(2)->text(), "Filter: Off");

  // Choosing a row shows that patient's latest vision test.
  vision.DBGrid1()->selectRow(rows - 1);
  const QString pat_no = vision.DBGrid1()->model()->index(rows - 1, 0).data().toString();
  EXPECT_EQ(vision.Editor().CurrentPatNo(), pat_no);
  const vision::VisionEditor& editor = vision.Editor();
  EXPECT_EQ(vision.windowTitle(), "Vision Test [ " + pat_no + ", " + editor.Details().Forenames +
                                      " " + editor.Details().Surname + ", on " +
                                      DateBoxText(editor.LatestTest().date) + " ]");
  EXPECT_EQ(vision.Steps()->TestNumber()->text(),
            QStringLiteral("Test No: 1 of %1").arg(editor.TestCount()));
  EXPECT_EQ(vision.Details()->PatNoBox()->text(), pat_no);

  // Back to the audiogram window on the same patient.
  Run(vision, "Vision");
  EXPECT_FALSE(vision.isVisible());
  EXPECT_TRUE(window->isVisible());
  EXPECT_EQ(window->Reg().Cursor().PatNo, pat_no);
}

TEST_F(FormVisionTest, NextWalksTheTwelveFramesWithTheirTexts) {
  FormVision& vision = Vision();
  VisionStepPage* steps = vision.Steps();
  const char* titles[] = {
      "Slide 1 - Binocular Vision", "Slide 2 - Acuity Both Eyes", "Slide 3 - Acuity Right Eye",
      "Slide 4 - Acuity Left Eye",  "Slide 5 - Depth Perception", "Slide 6 - Colour Perception",
      "Slide 7 - Vertical Phoria",  "Slide 8 - Lateral Phoria",   "Slide 1 - Binocular Vision",
      "Slide 2 - Acuity Both Eyes", "Slide 3 - Acuity Right Eye", "Slide 4 - Acuity Left Eye",
      "Slide 7 - Vertical Phoria",  "Slide 8 - Lateral Phoria",   "Slide 2 - Acuity Both Eyes",
      "Slide 3 - Acuity Right Eye", "Slide 4 - Acuity Left Eye",  "Peripheral Vision Test"};
  const char* headings[] = {"Far Vision",          "Far Vision",          "Far Vision",
                            "Far Vision",          "Far Vision",          "Far Vision",
                            "Far Vision",          "Far Vision",          "Near Vision",
                            "Near Vision",         "Near Vision",         "Near Vision",
                            "Near Vision",         "Near Vision",         "Intermediate Vision",
                            "Intermediate Vision", "Intermediate Vision", "Peripheral Vision"};
  for (int i = 0; i < 18; ++i) {
    const int step = vision.Editor().Entry().Step();
    EXPECT_EQ(steps->Frame(step)->title(), titles[i]) << i;
    EXPECT_TRUE(steps->Frame(step)->isVisibleTo(steps));
    EXPECT_EQ(steps->Heading()->text(), headings[i]) << i;
    steps->NextButton()->click();
  }
  EXPECT_EQ(vision.Editor().Entry().Step(), 11);
  EXPECT_EQ(Control<QLabel>(vision, 11, "LabelInstruction11")->text(),
            "Look ahead at the the test slide. Do you see a light flashing?");
  EXPECT_TRUE(Control<QLabel>(vision, 11, "LabelCriteria11")
                  ->text()
                  .endsWith(QStringLiteral("Nasal Restriction: FAIL at N 45\u00B0")));
  EXPECT_TRUE(Control<QGroupBox>(vision, 10, "FrameTestDistance") != nullptr);
  // Browsing: the result controls are locked.
  EXPECT_FALSE(Control<QCheckBox>(vision, 11, "CheckPR_1")->isEnabled());
}

TEST_F(FormVisionTest, ControlsReachTheModelAndSaveStoresTheTest) {
  FormVision& vision = Vision();
  const QString pat_no = vision.Editor().CurrentPatNo();
  const int tests = vision.Editor().TestCount();
  Run(vision, "Insert Record");
  ASSERT_EQ(vision.Editor().EditMode(), vision::VisionEditor::Mode::InsertingTest);
  EXPECT_EQ(vision.TabStrip1()->currentIndex(), FormVision::kDetailsPage);
  vision.Details()->DateBox(kBoxDateofTest)->setText("02/02/2020");
  vision.Details()->DateBox(kBoxTimeofTest)->setText("08:30:00");
  VisionStepPage* steps = vision.Steps();
  Control<QRadioButton>(vision, 0, "Option1_3")->click();  // "Three"
  steps->NextButton()->click();
  for (const char* command : {"CommandPass", "CommandFail", "CommandPass"}) {
    Control<QPushButton>(vision, 1, command)->click();
  }
  // Judged answer letters turn red and bold; the rest stay black.
  QLabel* missed = steps->AcuityLetter(1, 1);
  EXPECT_TRUE(missed->property("marked").toBool());
  EXPECT_TRUE(missed->styleSheet().contains("rgb(255, 0, 0)"));
  EXPECT_TRUE(missed->styleSheet().contains("bold"));
  EXPECT_FALSE(steps->AcuityLetter(1, 5)->property("marked").toBool());
  EXPECT_TRUE(Control<QCheckBox>(vision, 1, "CheckAcuity1_3")->isChecked());
  EXPECT_FALSE(Control<QCheckBox>(vision, 1, "CheckAcuity1_2")->isChecked());
  while (vision.Editor().Entry().Step() < 4) steps->NextButton()->click();
  Control<QCheckBox>(vision, 4, "CheckSvp_3")->click();
  Control<QCheckBox>(vision, 4, "CheckSvp_5")->click();
  EXPECT_FALSE(Control<QCheckBox>(vision, 4, "CheckSvp_3")->isChecked());
  while (vision.Editor().Entry().Step() < 11) steps->NextButton()->click();
  Control<QCheckBox>(vision, 11, "CheckPR_1")->click();
  Control<QCheckBox>(vision, 11, "CheckPR_4")->click();
  EXPECT_EQ(Control<QLineEdit>(vision, 11, "TextTotalR")->text(), "130");
  EXPECT_EQ(Control<QLineEdit>(vision, 11, "TextBoth")->text(), "130");
  EXPECT_EQ(Control<QLineEdit>(vision, 11, "TextTotalL")->text(), "");

  Run(vision, "Post");
  EXPECT_FALSE(vision.Editor().Editing()) << t.prompter.Texts().join("|").toStdString();
  EXPECT_EQ(vision.Editor().TestCount(), tests + 1);
  EXPECT_EQ(Scalar("SELECT CAST(FarBinoc AS INTEGER) || CAST(FarBoth AS INTEGER) || "
                   "CAST(FarVertical AS INTEGER) || PR85 || PRN45 || PL85 FROM VisionTest "
                   "WHERE PatNo = '" +
                   pat_no + "' AND TestDate = '2020-02-02'"),
            "335110");

  // The older test is shown by the scroll bar; Insert Audiogram then refuses.
  const int index = vision.Editor().TestCount() - 1;
  steps->TestScrollBar()->setValue(index);
  EXPECT_EQ(vision.Editor().TestIndex(), index);
  Run(vision, "InsertAudiogram");
  EXPECT_EQ(t.prompter.Prompts().back().title, "Warning - Historic Data");
  EXPECT_TRUE(vision.isVisible());
}

TEST_F(FormVisionTest, InsertVisionAndInsertAudiogramHandThePatientOver) {
  const QString pat_no = window->Reg().Cursor().PatNo;
  Trigger(*window, "InsertVision");
  FormVision& vision = *window->VisionWindow();
  EXPECT_TRUE(vision.isVisible());
  EXPECT_EQ(vision.Editor().CurrentPatNo(), pat_no);
  EXPECT_EQ(vision.Editor().EditMode(), vision::VisionEditor::Mode::InsertingTest);

  // Closing while a test is open asks first; No keeps it open.
  t.prompter.QueueAnswer(Prompter::Answer::No);
  EXPECT_FALSE(vision.close());
  EXPECT_EQ(t.prompter.Prompts().back().text, Msg(2000));
  Run(vision, "CancelEdit");
  EXPECT_FALSE(vision.Editor().Editing());

  // Insert Audiogram on the latest vision test starts an audiogram there.
  vision.ShowPatient(pat_no);
  Run(vision, "InsertAudiogram");
  EXPECT_FALSE(vision.isVisible());
  EXPECT_TRUE(window->isVisible());
  EXPECT_EQ(window->Editor().Mode(), EditMode::InsertingTest);
  EXPECT_EQ(window->Reg().Cursor().PatNo, pat_no);
  window->Editor().Cancel();
}

}  // namespace
}  // namespace sonivera::ui
