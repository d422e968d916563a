// The TX730 windows on the main window, against the simulated audiometer.

#include "instrument/SerialLink.h"
#include "instrument/Tx730Sim.h"
#include "instrument/Tx730Wire.h"
#include "ui/DemoWindowTest.h"
#include "ui/FormTx730Small.h"
#include "ui/FormTx730Transfer.h"

namespace sonivera::ui {
namespace {
using Answer = Prompter::Answer;

class Tx730WindowTest : public StartedAppTest {
 protected:
  // The main window on demonstration patients, the audiometer on COM 3.
  void Open(const QString& series, const QStringList& sim_options = {}) {
    ASSERT_EQ(SeedDemoRegister(*t, 4), 4);
    test::UseSeries(t->settings(), series);
    ASSERT_TRUE(sim.Start(t.folder.Path(),
                          {test::Series3Line("1001", "SMITH", "14/03/2025", "10:30:00"),
                           test::Series3Line("1002", "JONES", "14/03/2025", "11:30:00")},
                          sim_options));
    window = std::make_unique<FormMain>(*t);
    window->run_dialog = [this](QDialog& dialog) {
      dialogs << dialog.objectName();
      if (auto* request = qobject_cast<FormTX730Filter*>(&dialog)) {
        request->Choose(RequestFilter::None);
        request->Start();
        return int(QDialog::Accepted);
      }
      return int(QDialog::Rejected);
    };
    window->show();
  }
  void TearDown() override {
    if (window && window->Editor().Editing()) window->Editor().Cancel();
  }
  int Tests() { return Scalar("SELECT COUNT(*) FROM TestDetails").toInt(); }
  // The import window as "title|count|Import on|instruction".
  FormImportTx730& Import() { return *window->ImportTx730Window(); }
  QString Shown() {
    FormImportTx730& w = Import();
    return QStringList{w.windowTitle(), w.CountBox()->text(),
                       w.ImportButton()->isEnabled() ? "import" : "-",
                       w.Instruction()->isVisibleTo(&w) ? w.Instruction()->text() : "-"}
        .join('|');
  }

  test::SimulatedAudiometer sim;
  std::unique_ptr<FormMain> window;
  QStringList dialogs;
};

TEST_F(Tx730WindowTest, Series3ImportRequestsAndStoresAndExportSendsTheRegister) {
  Open("S3");
  EXPECT_FALSE(window->Link().IsOpen());  // nothing is armed for Series 3
  window->Action("ImportTX730")->trigger();
  ASSERT_TRUE(Import().isVisible());
  EXPECT_EQ(Shown(), "Import from TX730 Series 3|0|import|-");
  Import().ImportButton()->click();
  EXPECT_EQ(dialogs, QStringList{"FormTX730Filter"});
  EXPECT_EQ(Shown(), "Import from TX730 Series 3|2|import|-");
  EXPECT_TRUE(Import().StoreButton()->isEnabled());
  Import().View();
  EXPECT_EQ(dialogs.last(), "FormViewTX730");
  const int before = Tests();
  t.prompter.QueueAnswer(Answer::Yes);
  Import().StoreButton()->click();
  EXPECT_EQ(Tests(), before + 2) << t.prompter.Texts().join("|").toStdString();
  EXPECT_EQ(t.prompter.Texts().last(), "2 record(s) added to database.");
  EXPECT_EQ(Import().CountBox()->text(), "0");
  EXPECT_FALSE(Import().isVisible());

  // The export window sends the register.
  t->settings().Rs232Gap = 0;
  window->Action("ExportTX730")->trigger();
  FormExportTX730* export_window = window->ExportTx730Window();
  ASSERT_TRUE(export_window->isVisible());
  EXPECT_EQ(export_window->windowTitle(), "Export to TX730");
  t.prompter.QueueAnswer(Answer::Yes);
  t.prompter.QueueAnswer(Answer::No);
  t.prompter.QueueAnswer(Answer::Yes);
  export_window->ExportButton()->click();
  EXPECT_TRUE(t.prompter.Texts().last().startsWith("Have "));
  EXPECT_EQ(export_window->Progress()->value(), export_window->CountBox()->text().toInt());
  EXPECT_FALSE(export_window->isVisible());
  // The audiometer stores what it took once IMPORT,COMPLETE has arrived.
  for (int i = 0; i < 60 && sim.StoredTests().size() <= 2; ++i) SerialLink::PauseSeconds(0.05);
  EXPECT_TRUE(sim.Bytes("RX").endsWith("IMPORT,COMPLETE\r\n"));
  EXPECT_GT(sim.StoredTests().size(), 2);
}

TEST_F(Tx730WindowTest, Series1ImportAsksTheDetailsOfEachRecord) {
  Open("S1", {"--series", "S1"});
  window->Action("ImportTX730")->trigger();
  Import().ImportButton()->click();
  EXPECT_TRUE(dialogs.isEmpty());  // no data request window for Series 1
  // Two blocks, shown as one transfer.
  EXPECT_EQ(Shown(), "Import from TX730 Series 1|1|import|-");
  const int before = Tests();
  t.prompter.QueueAnswer(Answer::Yes);
  Import().StoreButton()->click();
  EXPECT_EQ(dialogs, QStringList({"FormS1PatSex", "FormS1PatSex"}));
  EXPECT_EQ(Tests(), before + 2) << t.prompter.Texts().join("|").toStdString();
}

TEST_F(Tx730WindowTest, Series5IsArmedAtStartAndShowsPushedLines) {
  Open("S5", {"--push", "0.5"});
  EXPECT_TRUE(window->Link().IsOpen() && window->Link().LinkArmed);
  EXPECT_FALSE(window->Action("ExportTX730")->isEnabled());
  SerialLink::PauseSeconds(1.5);
  EXPECT_TRUE(Import().isVisible());
  EXPECT_EQ(Shown(),
            "Import from TX730 Series 5|2|-|"
            "Choose 'Data Export' from the Series 5 audiometer");
  EXPECT_EQ(window->Link().Buffer().size(), 2u);
}

TEST_F(Tx730WindowTest, BreakFromASeries4AudiometerRearmsTheLink) {
  Open("s4", {"--push", "0.3"});
  SerialLink::PauseSeconds(0.9);
  EXPECT_EQ(Import().Instruction()->text(), "Choose 'RS232 Export' from the Series 4 audiometer");
  ASSERT_EQ(window->Link().Framing().LineCount(), 2);
  // A pseudo-terminal cannot carry a break: the port's break event is given
  // as it would come. It clears every receive state, unstored records too.
  window->Link().BreakReceived();
  SerialLink::PauseSeconds(0.2);
  EXPECT_EQ(window->Link().Framing().LineCount(), 0);
  EXPECT_TRUE(window->Link().Buffer().empty());
  EXPECT_TRUE(window->Link().IsOpen() && window->Link().LinkArmed);
}

TEST(Tx730Dialogs, RequestAndDetailsWindows) {
  test::EnsureQApplication();
  FormTX730Filter request;
  request.Current();
  EXPECT_EQ(request.FilterText()->text(), "Error");  // no option chosen
  request.current = [](RequestFilter option) {
    return option == RequestFilter::Surname ? QStringLiteral("SMITH") : QString();
  };
  request.Choose(RequestFilter::Surname);
  request.Current();
  EXPECT_EQ(request.FilterText()->text(), "SMITH");
  request.TodaysTests();
  EXPECT_EQ(request.Chosen(), RequestFilter::DateOrAfter);
  EXPECT_EQ(request.FilterText()->text(), QDate::currentDate().toString("dd/MM/yyyy"));
  RequestFilter started = RequestFilter::NotChosen;
  request.start = [&](RequestFilter option, const QString&) { started = option; };
  request.Start();
  EXPECT_EQ(started, RequestFilter::DateOrAfter);

  FormS1PatSex details(3, "F", "01/02/1970");
  EXPECT_EQ(details.windowTitle(), "Enter Details");
  EXPECT_TRUE(details.OptionFemale()->isChecked());
  details.OptionMale()->setChecked(true);
  EXPECT_EQ(details.Sex() + '|' + details.DateOfBirth(), "M|01/02/1970");
}

}  // namespace
}  // namespace sonivera::ui
