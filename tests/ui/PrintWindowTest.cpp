// The print commands of the main window: options window, printer choice,
// preview, batch print with its progress window, and nothing to print.
#include <gtest/gtest.h>

#include <QLabel>
#include <QPrintPreviewDialog>
#include <QPrintPreviewWidget>
#include <QPrinter>
#include <QPushButton>
#include <QTabWidget>

#include "base/Messages.h"
#include "register/Register.h"
#include "register/RegisterModel.h"
#include "support/PdfSupport.h"
#include "ui/DemoWindowTest.h"
#include "ui/FormPrint.h"
#include "ui/ReportPrinting.h"

namespace sonivera::ui {
namespace {

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

  QString pdf = t.folder.File("print.pdf");
  int printer_choices = 0;
};

TEST_F(PrintWindowTest, PrintAndPreviewTheAudiogramAndTheSummary) {
  window->Pages()->setCurrentIndex(FormMain::Tab(MainPage::Audiograms));
  const QString shown = window->Reg().Cursor().PatNo;
  AnswerPrintOptions(FormPrint::kAudiogram);
  Trigger(*window, "Print");
  EXPECT_FALSE(printing().PrintPreviewMode());
  EXPECT_EQ(printer_choices, 1);
  QString text = PdfText(pdf);
  EXPECT_TRUE(text.contains(Msg(932)));
  EXPECT_TRUE(text.contains(shown));
  EXPECT_EQ(text.count(u'\f'), 1);
  // The register page comes to the front afterwards.
  EXPECT_EQ(window->Pages()->currentIndex(), FormMain::Tab(MainPage::Register));

  AnswerPrintOptions(FormPrint::kDatabaseSummary);
  Trigger(*window, "Print");
  text = PdfText(pdf);
  EXPECT_TRUE(text.contains(Msg(1062)));
  EXPECT_TRUE(text.contains(Msg(493)));  // the register's filter, as the status bar says
  auto& model = window->Reg().Model();
  for (int row = 0; row < model.TotalRows(); ++row) {
    ASSERT_TRUE(model.EnsureRow(row));
    EXPECT_TRUE(text.contains(model.PatNo(row))) << row;
  }

  // Print preview: no printer choice; the preview lays out the one page.
  int previews = 0;
  printing().run_preview = [&](QPrintPreviewDialog& preview) {
    ++previews;
    preview.show();
    QApplication::processEvents();
    auto* widget = preview.findChild<QPrintPreviewWidget*>();
    ASSERT_NE(widget, nullptr);
    EXPECT_EQ(widget->pageCount(), 1);
    EXPECT_EQ(preview.windowTitle(), "Sonivera " + shown);
    // Export to PDF from the preview, to a file the user names.
    auto* export_pdf = preview.findChild<QAction*>("ExportPdf");
    ASSERT_NE(export_pdf, nullptr);
    t.prompter.QueueFile(t.folder.File("exported.pdf"));
    export_pdf->trigger();
    const QString exported = PdfText(t.folder.File("exported.pdf"));
    EXPECT_TRUE(exported.contains(shown));
    EXPECT_EQ(exported.count(u'\f'), 1);
    preview.close();
  };
  AnswerPrintOptions(FormPrint::kAudiogram);
  Trigger(*window, "PrintPreview");
  EXPECT_TRUE(printing().PrintPreviewMode());
  EXPECT_EQ(previews, 1);
  EXPECT_EQ(printer_choices, 2);
  EXPECT_TRUE(t.prompter.Prompts().empty()) << t.prompter.Texts().join("|").toStdString();
}

TEST_F(PrintWindowTest, BatchPrintCountsTheRegisterAndStopsWhenCancelled) {
  const int rows = window->Reg().Model().TotalRows();
  ASSERT_EQ(rows, 8);
  int steps = 0;
  printing().on_batch_step = [&](FormBatchQueue& queue, int done) {
    ++steps;
    EXPECT_TRUE(queue.isVisible());
    if (done == 2) queue.CommandCancel()->click();
  };
  window->run_dialog = Answering<FormBatchPrint>([&](FormBatchPrint& form) {
    EXPECT_EQ(form.LabelBatchPrintNo()->text(), QString::number(rows));
    form.Command1()->click();
  });
  Trigger(*window, "BatchPrint");
  EXPECT_EQ(printer_choices, 1);
  // Cancelled while the third audiogram was about to start: two pages.
  EXPECT_EQ(steps, 3);
  const QString text = PdfText(pdf);
  EXPECT_EQ(text.count(u'\f'), 2);
  auto& model = window->Reg().Model();
  EXPECT_TRUE(text.contains(model.PatNo(0)));
  EXPECT_TRUE(text.contains(model.PatNo(1)));
  EXPECT_FALSE(text.contains(model.PatNo(2)));
  EXPECT_TRUE(t->Db().Conn().IsOpen());

  // The whole batch: one page per register row.
  printing().on_batch_step = {};
  EXPECT_TRUE(printing().BatchPrint());
  EXPECT_EQ(PdfText(pdf).count(u'\f'), rows);
}

TEST(PrintEmptyRegisterTest, NothingSelectedPrintsNothingAndSaysSo) {
  test::EnsureQApplication();
  test::TestApp t;
  ASSERT_TRUE(t.Init());
  FormMain window(*t);
  int choices = 0;
  window.Printing().choose_printer = [&](QPrinter&) { return ++choices > 0; };
  window.run_dialog = [](QDialog& dialog) {
    auto* form = qobject_cast<FormPrint*>(&dialog);
    if (form != nullptr) form->Command1()->click();
    return dialog.result();
  };
  window.Action("Print")->trigger();
  EXPECT_FALSE(window.Printing().BatchPrint());
  EXPECT_FALSE(window.Printing().PrintDatabase());
  EXPECT_EQ(choices, 0);
  ASSERT_EQ(t.prompter.Prompts().size(), 3u);
  for (const auto& prompt : t.prompter.Prompts()) {
    EXPECT_EQ(prompt.text, Msg(1022));
    EXPECT_EQ(prompt.title, Msg(1023));
  }
  // The batch print window offers nothing to start.
  FormBatchPrint batch(0, [] {});
  EXPECT_EQ(batch.LabelBatchPrintNo()->text(), "0");
  EXPECT_FALSE(batch.Command1()->isEnabled());
}

}  // namespace
}  // namespace sonivera::ui
