// The configuration window's pages: schemes, chart options, connection and
// the two user files.

#include "base/TextFiles.h"
#include "config/UserFiles.h"
#include "ui/DemoWindowTest.h"
#include "ui/FormConfig.h"

namespace sonivera::ui {
namespace {

using Answer = Prompter::Answer;

using ConfigWindowTest = StartedAppTest;

// OK builds the scheme list from the boxes; the boxes are live switches
// until Cancel sets them back from the list.
TEST_F(ConfigWindowTest, SchemeListBuiltOnOkAndCancelSetsTheBoxesBack) {
  // The boxes ticked (the others cleared) and the list OK builds.
  for (const auto& [ticked, list] : {std::pair<QString, QString>{"HSE MP42", "HSE2006,MP42"},
                                     {"MP42", ",MP42"},
                                     {"PAM IPA BA", ",PAM,IPABA"},
                                     {"", ""},
                                     {"HSE BA", "HSE2006BA"}}) {
    FormConfig form(*t);
    for (const char* name : {"HSE", "MP42", "PAM", "IPA", "BA"}) {
      Child<QCheckBox>(form, ("Check" + QByteArray(name)).constData())
          ->setChecked(ticked.split(' ').contains(name));
    }
    Click(form, "CommandOK");
    EXPECT_EQ(form.result(), QDialog::Accepted);
    EXPECT_EQ(t->settings().SchemeList, list) << ticked.toStdString();
  }
  {
    FormConfig form(*t);
    auto* hse = Child<QCheckBox>(form, "CheckHSE");
    ASSERT_TRUE(hse->isChecked());
    hse->setChecked(false);
    EXPECT_FALSE(t->Schemes().CheckHSE);
    Click(form, "CommandCanel");
    EXPECT_EQ(form.result(), QDialog::Rejected);
  }
  EXPECT_TRUE(t->Schemes().CheckHSE);
  EXPECT_EQ(t->settings().SchemeList, "HSE2006BA");
  EXPECT_TRUE(Child<QCheckBox>(FormConfig(*t), "CheckHSE")->isChecked());
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
  FormConfig form(*t);
  QSignalSpy redraw(&form, &FormConfig::ChartsNeedRedraw);
  auto* band = Child<QCheckBox>(form, "CheckBand");
  auto* band_print = Child<QCheckBox>(form, "CheckBandPrint");
  band->setChecked(true);
  band->setChecked(false);
  EXPECT_FALSE(band_print->isEnabled());
  const int after_band = redraw.count();
  EXPECT_EQ(after_band, 1);  // ticked by default, so only the clearing redraws
  band_print->setChecked(!band_print->isChecked());
  EXPECT_EQ(redraw.count(), after_band);  // printing only
  Child<QCheckBox>(form, "CheckPredictive")->setChecked(true);
  EXPECT_EQ(redraw.count(), after_band + 1);
  EXPECT_TRUE(t->settings().chart.ShowPredictiveLine);
}

TEST_F(ConfigWindowTest, PortsSeriesAndGap) {
  test::CountingSerialLink link;
  t->SetSerialLink(&link);
  FormConfig form(*t);
  QSignalSpy caption(&form, &FormConfig::ImportCaptionChanged);
  auto* ports = Child<QComboBox>(form, "ComboPorts");
  ASSERT_EQ(ports->count(), 17);
  EXPECT_EQ(ports->itemText(0), "COM -");
  EXPECT_TRUE(ports->itemText(16).startsWith("COM 16  ("));
  for (const int port : {12, 0}) {
    ports->setCurrentIndex(port);
    emit ports->activated(port);
    EXPECT_EQ(t->settings().SerialPortNumber, port);
  }

  Child<QRadioButton>(form, "OptionTX730Model_1")->setChecked(true);
  EXPECT_EQ(t->settings().AudiometerSeries, "S1");
  ASSERT_FALSE(caption.isEmpty());
  EXPECT_EQ(caption.last().at(0).toString(), Msg(780) + " S1");

  // Leaving the box: a typed port outside 1 to 16 is refused; with S4 a
  // good one reopens the link.
  Child<QRadioButton>(form, "OptionTX730Model_2")->setChecked(true);
  ports->setEditText("COM 40");
  QFocusEvent leave(QEvent::FocusOut);
  QApplication::sendEvent(ports, &leave);
  EXPECT_EQ(test::LastShown(t.prompter), "Error|Invalid port number. Please try again.");
  EXPECT_EQ(QStringLiteral("%1|%2").arg(t->settings().SerialPortNumber).arg(link.opened), "0|0");
  ports->setCurrentIndex(3);
  QApplication::sendEvent(ports, &leave);
  EXPECT_EQ(QStringLiteral("%1|%2").arg(t->settings().SerialPortNumber).arg(link.opened), "3|1");

  Child<QSlider>(form, "SliderRS232Gap")->setValue(15);
  EXPECT_DOUBLE_EQ(t->settings().Rs232Gap, 1.5);
  Click(form, "CommandOK");
  EXPECT_EQ(link.opened, 2);  // OK reopens the link for S4
  EXPECT_EQ(t->settings().AudiometerSeries, "S4");
}

TEST_F(ConfigWindowTest, EditedPatientDetailsNeedARestart) {
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
  EXPECT_TRUE(box->isReadOnly());
}

TEST_F(ConfigWindowTest, QuestionnaireEditReloadsAndCancelRestores) {
  // The window reads the file as it opens.
  const QByteArray kQuestions = "Noisy hobbies?\r\nEar infections?\r\n";
  t.folder.Write("questions.txt", kQuestions);
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
    EXPECT_EQ(t.folder.Read("questions.txt"), kQuestions);
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
