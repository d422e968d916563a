// The print commands of the main window: options window, printer choice,
// preview, batch print with its progress window, and nothing to print. What
// a report holds is tested with the reports.
#include "support/PdfSupport.h"
#include "ui/DemoWindowTest.h"
#include "ui/FormPrint.h"
#include "ui/ReportPrinting.h"

namespace sonivera::ui {
namespace {

using test::Missing;
using test::PdfText;

class PrintWindowTest : public DemoWindowTest {
 protected:
  void SetUp() override {
    DemoWindowTest::SetUp();
    printing().choose_printer = [this](QPrinter& printer) {
      ++printer_choices;
      printer.setOutputFormat(QPrinter::PdfFormat);
      printer.setOutputFileName(pdf);
      return true;
    };
  }
  ReportPrinting& printing() { return window->Printing(); }
  // Answers the print options window with an option and OK.
  void AnswerPrintOptions(FormPrint::Option option) {
    window->run_dialog = Answering<FormPrint>([option](FormPrint& form) {
      EXPECT_EQ(form.windowTitle(), Msg(795));
      form.Choose(option);
      form.Command1()->click();
      EXPECT_FALSE(form.Command1()->isEnabled());
    });
  }
  QStringList Numbers() {  // every register row's patient number
    QStringList numbers;
    auto& model = window->Reg().Model();
    for (int row = 0; row < model.TotalRows() && model.EnsureRow(row); ++row)
      numbers << model.PatNo(row);
    return numbers;
  }

  QString pdf = t.folder.File("print.pdf");
  int printer_choices = 0;
};

TEST_F(PrintWindowTest, PrintAndPreviewTheAudiogramAndTheSummary) {
  window->Pages()->setCurrentIndex(FormMain::Tab(MainPage::Audiograms));
  const QString shown = window->Reg().Cursor().PatNo;
  AnswerPrintOptions(FormPrint::kAudiogram);
  Trigger("Print");
  EXPECT_FALSE(printing().PrintPreviewMode());
  EXPECT_EQ(printer_choices, 1);
  QString text = PdfText(pdf);
  EXPECT_EQ(Missing(text, {Msg(932), shown}), QStringList());
  EXPECT_EQ(text.count(u'\f'), 1);
  // The register page comes to the front afterwards.
  EXPECT_EQ(window->Pages()->currentIndex(), FormMain::Tab(MainPage::Register));

  AnswerPrintOptions(FormPrint::kDatabaseSummary);
  Trigger("Print");
  // The summary names the register's filter as the status bar does.
  EXPECT_EQ(Missing(PdfText(pdf), QStringList{Msg(1062), Msg(493)} + Numbers()), QStringList());

  // Print preview: no printer choice; the preview lays out the one page and
  // exports it to a PDF file the user names.
  int previews = 0;
  printing().run_preview = [&](QPrintPreviewDialog& preview) {
    ++previews;
    EXPECT_EQ(test::PreviewPages(preview), 1);
    EXPECT_EQ(preview.windowTitle(), "Sonivera " + shown);
    t.prompter.QueueFile(t.folder.File("exported.pdf"));
    test::Child<QAction>(preview, "ExportPdf")->trigger();
    const QString exported = PdfText(t.folder.File("exported.pdf"));
    EXPECT_TRUE(exported.contains(shown));
    EXPECT_EQ(exported.count(u'\f'), 1);
    preview.close();
  };
  AnswerPrintOptions(FormPrint::kAudiogram);
  Trigger("PrintPreview");
  EXPECT_TRUE(printing().PrintPreviewMode());
  EXPECT_EQ(previews, 1);
  EXPECT_EQ(printer_choices, 2);
  EXPECT_EQ(test::Shown(t.prompter), QStringList());
}

TEST_F(PrintWindowTest, BatchPrintCountsTheRegisterAndStopsWhenCancelled) {
  const QStringList numbers = Numbers();
  ASSERT_EQ(numbers.size(), 8);
  int steps = 0;
  printing().on_batch_step = [&](FormBatchQueue& queue, int done) {
    ++steps;
    EXPECT_TRUE(queue.isVisible());
    if (done == 2) queue.CommandCancel()->click();
  };
  window->run_dialog = Answering<FormBatchPrint>([&](FormBatchPrint& form) {
    EXPECT_EQ(form.LabelBatchPrintNo()->text(), "8");
    form.Command1()->click();
  });
  Trigger("BatchPrint");
  EXPECT_EQ(printer_choices, 1);
  // Cancelled while the third audiogram was about to start: two pages.
  EXPECT_EQ(steps, 3);
  const QString text = PdfText(pdf);
  EXPECT_EQ(text.count(u'\f'), 2);
  EXPECT_EQ(Missing(text, numbers.mid(0, 3)), QStringList{numbers[2]});
  EXPECT_TRUE(t->Db().Conn().IsOpen());

  // The whole batch: one page per register row.
  printing().on_batch_step = {};
  EXPECT_TRUE(printing().BatchPrint());
  EXPECT_EQ(PdfText(pdf).count(u'\f'), 8);
}

using PrintEmptyRegisterTest = StartedAppTest;

TEST_F(PrintEmptyRegisterTest, NothingSelectedPrintsNothingAndSaysSo) {
  FormMain window(*t);
  int choices = 0;
  window.Printing().choose_printer = [&](QPrinter&) { return ++choices > 0; };
  window.run_dialog = test::Answering<FormPrint>([](FormPrint& form) { form.Command1()->click(); });
  window.Action("Print")->trigger();
  EXPECT_FALSE(window.Printing().BatchPrint());
  EXPECT_FALSE(window.Printing().PrintDatabase());
  EXPECT_EQ(choices, 0);
  EXPECT_EQ(test::Shown(t.prompter), QStringList(3, Msg(1023) + '|' + Msg(1022)));
  // The batch print window offers nothing to start.
  FormBatchPrint batch(0, [] {});
  EXPECT_EQ(batch.LabelBatchPrintNo()->text(), "0");
  EXPECT_FALSE(batch.Command1()->isEnabled());
}

}  // namespace
}  // namespace sonivera::ui
