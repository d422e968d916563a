// The configuration window's pages: schemes, chart options, connection and
// the two user files.
#include <gtest/gtest.h>

#include <QCheckBox>
#include <QComboBox>
#include <QFocusEvent>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalSpy>
#include <QSlider>

#include "base/Messages.h"
#include "base/TextFiles.h"
#include "config/UserFiles.h"
#include "support/TestApp.h"
#include "ui/FormConfig.h"
#include "ui/UiTest.h"

namespace sonivera::ui {
namespace {

using Answer = Prompter::Answer;

class ConfigWindowTest : public ::testing::Test {
 protected:
  void SetUp() override { test::EnsureQApplication(); }
  template <typename T>
  static T* Child(FormConfig& form, const char* name) {
    auto* child = form.findChild<T*>(QLatin1String(name));
    EXPECT_NE(child, nullptr) << name;
    return child;
  }
  static void Click(FormConfig& form, const char* name) { Child<QPushButton>(form, name)->click(); }
  test::TestApp t;
};

// OK builds the scheme list from the boxes; the boxes are live switches
// until Cancel sets them back from the list.
TEST_F(ConfigWindowTest, SchemeListBuiltOnOkAndCancelSetsTheBoxesBack) {
  ASSERT_TRUE(t.Init());
  struct Case {
    std::vector<const char*> ticked;
    const char* list;
  };
  const Case cases[] = {{{"CheckHSE", "CheckMP42"}, "HSE2006,MP42"},
                        {{"CheckMP42"}, ",MP42"},
                        {{"CheckPAM", "CheckIPA", "CheckBA"}, ",PAM,IPABA"},
                        {{}, ""},
                        {{"CheckHSE", "CheckBA"}, "HSE2006BA"}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.list);
    FormConfig form(*t);
    for (const char* name : {"CheckHSE", "CheckMP42", "CheckPAM", "CheckIPA", "CheckBA"}) {
      Child<QCheckBox>(form, name)->setChecked(false);
    }
    for (const char* name : c.ticked) Child<QCheckBox>(form, name)->setChecked(true);
    Click(form, "CommandOK");
    EXPECT_EQ(form.result(), QDialog::Accepted);
    EXPECT_EQ(t->settings().SchemeList, c.list);
  }
  {
    FormConfig form(*t);
    EXPECT_TRUE(Child<QCheckBox>(form, "CheckHSE")->isChecked());
    Child<QCheckBox>(form, "CheckHSE")->setChecked(false);
    EXPECT_FALSE(t->Schemes().CheckHSE);
    Click(form, "CommandCanel");
    EXPECT_EQ(form.result(), QDialog::Rejected);
  }
  EXPECT_TRUE(t->Schemes().CheckHSE);
  EXPECT_EQ(t->settings().SchemeList, "HSE2006BA");
  FormConfig again(*t);
  EXPECT_TRUE(Child<QCheckBox>(again, "CheckHSE")->isChecked());
}

TEST_F(ConfigWindowTest, FramesFollowLocaleAndHiddenBoxesStayHidden) {
  for (const int lcid : {2057, 1036}) {
    test::TestApp app;
    ASSERT_TRUE(app.Init(lcid));
    FormConfig form(*app);
    const bool french = lcid == 1036;
    EXPECT_EQ(Child<QWidget>(form, "FrameHSE")->isHidden(), french);
    EXPECT_EQ(Child<QWidget>(form, "FrameFrench")->isHidden(), !french);
    for (const char* name : {"CheckNIHL", "CheckSTS", "CheckIA"}) {
      EXPECT_TRUE(Child<QCheckBox>(form, name)->isHidden()) << name;
    }
  }
}

TEST_F(ConfigWindowTest, ChartOptionsRedrawAtOnce) {
  ASSERT_TRUE(t.Init());
  FormConfig form(*t);
  QSignalSpy redraw(&form, &FormConfig::ChartsNeedRedraw);
  auto* band = Child<QCheckBox>(form, "CheckBand");
  auto* band_print = Child<QCheckBox>(form, "CheckBandPrint");
  band->setChecked(true);
  band->setChecked(false);
  EXPECT_FALSE(band_print->isEnabled());
  EXPECT_FALSE(t->settings().chart.CheckBand);
  EXPECT_FALSE(t->settings().chart.CheckBandPrintEnabled);
  const int after_band = redraw.count();
  EXPECT_EQ(after_band, 1);  // ticked by default, so only the clearing redraws
  band_print->setChecked(!band_print->isChecked());
  EXPECT_EQ(redraw.count(), after_band);  // printing only
  Child<QCheckBox>(form, "CheckPredictive")->setChecked(true);
  EXPECT_EQ(redraw.count(), after_band + 1);
  EXPECT_TRUE(t->settings().chart.ShowPredictiveLine);
}

TEST_F(ConfigWindowTest, PortsSeriesAndGap) {
  ASSERT_TRUE(t.Init());
  test::CountingSerialLink link;
  t->SetSerialLink(&link);
  FormConfig form(*t);
  QSignalSpy caption(&form, &FormConfig::ImportCaptionChanged);
  auto* ports = Child<QComboBox>(form, "ComboPorts");
  ASSERT_EQ(ports->count(), 17);
  EXPECT_EQ(ports->itemText(0), "COM -");
  EXPECT_TRUE(ports->itemText(16).startsWith("COM 16  ("));
  ports->setCurrentIndex(12);
  emit ports->activated(12);
  EXPECT_EQ(t->settings().SerialPortNumber, 12);
  ports->setCurrentIndex(0);
  emit ports->activated(0);
  EXPECT_EQ(t->settings().SerialPortNumber, 0);

  Child<QRadioButton>(form, "OptionTX730Model_1")->setChecked(true);
  EXPECT_EQ(t->settings().AudiometerSeries, "S1");
  EXPECT_EQ(t->settings().ConversionFile, "tx730_1.cvt");
  ASSERT_FALSE(caption.isEmpty());
  EXPECT_EQ(caption.last().at(0).toString(), Msg(780) + " S1");

  // Leaving the box: a typed port outside 1 to 16 is refused; with S4 a
  // good one reopens the link.
  Child<QRadioButton>(form, "OptionTX730Model_2")->setChecked(true);
  ports->setEditText("COM 40");
  QFocusEvent leave(QEvent::FocusOut);
  QApplication::sendEvent(ports, &leave);
  EXPECT_EQ(t.prompter.Texts().last(), "Invalid port number. Please try again.");
  EXPECT_EQ(t.prompter.Prompts().back().title, "Error");
  EXPECT_EQ(t->settings().SerialPortNumber, 0);
  EXPECT_EQ(link.opened, 0);
  ports->setCurrentIndex(3);
  QApplication::sendEvent(ports, &leave);
  EXPECT_EQ(t->settings().SerialPortNumber, 3);
  EXPECT_EQ(link.opened, 1);

  Child<QSlider>(form, "SliderRS232Gap")->setValue(15);
  EXPECT_DOUBLE_EQ(t->settings().Rs232Gap, 1.5);
  Click(form, "CommandOK");
  EXPECT_EQ(link.opened, 2);  // OK reopens the link for S4
  EXPECT_EQ(t->settings().AudiometerSeries, "S4");
}

TEST_F(ConfigWindowTest, EditedPatientDetailsNeedARestart) {
  ASSERT_TRUE(t.Init());
  FormConfig form(*t);
  auto* box = Child<QPlainTextEdit>(form, "TextPatDetails");
  EXPECT_TRUE(box->isReadOnly());
  EXPECT_EQ(BoxTextLines(box->toPlainText()), PatDetailsBoxLines(t.folder.File("patdetails.txt")));
  t.prompter.QueueAnswer(Answer::Yes);
  t.prompter.QueueFile(t.folder.File("patdetails.bkp"));
  Click(form, "CommandEditPatDetails");
  EXPECT_FALSE(box->isReadOnly());
  EXPECT_EQ(t.prompter.file_dialogs.back().initial_name, "patdetails.bkp");
  EXPECT_EQ(t.folder.Read("patdetails.bkp").size(), t.folder.Read("patdetails.txt").size());
  box->setPlainText("[Company]\nO'Brien Fabrication\n[Location]\nQuay\n");
  Click(form, "CommandOK");
  EXPECT_EQ(form.result(), QDialog::Accepted);
  EXPECT_EQ(t.folder.Read("patdetails.txt"),
            QByteArray("[Company]\r\nO'Brien Fabrication\r\n[Location]\r\nQuay\r\n"));
  EXPECT_EQ(t.prompter.Prompts().back().title, "Patient Details File");
  EXPECT_TRUE(box->isReadOnly());
}

TEST_F(ConfigWindowTest, QuestionnaireEditReloadsAndCancelRestores) {
  t.folder.Write("questions.txt", "Noisy hobbies?\r\nEar infections?\r\n");
  ASSERT_TRUE(t.Init());
  {
    FormConfig form(*t);
    auto* box = Child<QPlainTextEdit>(form, "Text1");
    EXPECT_EQ(box->toPlainText(), "Noisy hobbies?\nEar infections?\n");
    t.prompter.QueueAnswer(Answer::No);
    Click(form, "CommandEdit");
    ASSERT_FALSE(box->isReadOnly());
    box->setPlainText("Changed");
    Click(form, "CommandCanel");
    EXPECT_TRUE(box->isReadOnly());
    EXPECT_EQ(box->toPlainText(), "Noisy hobbies?\nEar infections?\n");
    EXPECT_EQ(t.folder.Read("questions.txt"), QByteArray("Noisy hobbies?\r\nEar infections?\r\n"));
  }
  FormConfig form(*t);
  QSignalSpy reloaded(&form, &FormConfig::QuestionsReloaded);
  t.prompter.QueueAnswer(Answer::No);
  Click(form, "CommandEdit");
  Child<QPlainTextEdit>(form, "Text1")->setPlainText("Firearms use?\n\nMusic?\n");
  Click(form, "CommandOK");
  EXPECT_EQ(t.folder.Read("questions.txt"), QByteArray("Firearms use?\r\n\r\nMusic?\r\n"));
  ASSERT_EQ(reloaded.count(), 1);
  EXPECT_EQ(reloaded.first().at(0).toStringList(), (QStringList{"Firearms use?", "Music?"}));
}

}  // namespace
}  // namespace sonivera::ui
