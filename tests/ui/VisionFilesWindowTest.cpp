// The vision window's File and Database menus: the record form printed and
// previewed, export and import, find, filter and sort with the status bar.
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPrintPreviewDialog>
#include <QPrintPreviewWidget>
#include <QPrinter>
#include <QTableView>
#include <algorithm>

#include "base/Messages.h"
#include "support/PdfSupport.h"
#include "ui/DemoWindowTest.h"
#include "ui/FormVision.h"
#include "ui/FormVisionSearch.h"
#include "ui/ReportPrinting.h"

namespace sonivera::ui {
namespace {

class VisionFilesWindowTest : public DemoWindowTest {
 protected:
  static QStringList Column(FormVision& vision, int column) {
    QStringList values;
    auto* model = vision.DBGrid1()->model();
    for (int row = 0; row < model->rowCount(); ++row) {
      values << model->index(row, column).data().toString();
    }
    return values;
  }
};

TEST_F(VisionFilesWindowTest, PrintPreviewExportAndImportTheShownRegister) {
  FormVision& vision = Vision();
  const QString pat_no = vision.Editor().CurrentPatNo();
  ASSERT_FALSE(pat_no.isEmpty());
  const QString pdf = t.folder.File("vision.pdf");
  vision.Printing().choose_printer = [&](QPrinter& printer) {
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(pdf);
    return true;
  };
  Run(vision, "Print");
  const QString printed = test::PdfText(pdf);
  EXPECT_TRUE(printed.contains("Vision Tester Occupational Record Form"));
  EXPECT_TRUE(printed.contains(pat_no));
  EXPECT_TRUE(printed.contains(vision.Editor().Details().Surname));

  int previews = 0;
  vision.Printing().run_preview = [&](QPrintPreviewDialog& preview) {
    ++previews;
    preview.show();
    QApplication::processEvents();
    auto* widget = preview.findChild<QPrintPreviewWidget*>();
    ASSERT_NE(widget, nullptr);
    EXPECT_EQ(widget->pageCount(), 1);
    preview.close();
  };
  Run(vision, "PrintPreview");
  EXPECT_EQ(previews, 1);
  EXPECT_TRUE(t.prompter.Texts().isEmpty()) << t.prompter.Texts().join("|").toStdString();

  // Exported, then imported into the same register: every line is refused.
  const int rows = vision.DBGrid1()->model()->rowCount();
  ASSERT_GT(rows, 0);
  const QString path = t.folder.File("ExportVisionData.csv");
  t.prompter.QueueFile(path);
  Run(vision, "Export");
  QFile file(path);
  ASSERT_TRUE(file.open(QIODevice::ReadOnly));
  EXPECT_EQ(file.readAll().count('\n'), rows + 2);
  EXPECT_EQ(t.prompter.file_dialogs.back().initial_name, "ExportVisionData.csv");
  t.prompter.QueueFile(path);
  Run(vision, "Import");
  EXPECT_EQ(t.prompter.Texts().filter(Msg(1401)).size(), rows);
  EXPECT_EQ(vision.DBGrid1()->model()->rowCount(), rows);
}

TEST_F(VisionFilesWindowTest, FindFilterAndSortWindows) {
  FormVision& vision = Vision();
  const QStringList numbers = Column(vision, 0);
  ASSERT_GE(numbers.size(), 3);

  // Find: the last row's patient by number.
  vision.run_dialog = Answering<FormVisionFind>([&](FormVisionFind& find) {
    find.ChooseField(FormFind::kPatNo);
    find.Text()->setText(numbers.last());
    EXPECT_TRUE(find.FindRecord());
  });
  Run(vision, "Find");
  EXPECT_EQ(vision.Editor().CurrentPatNo(), numbers.last());
  EXPECT_EQ(vision.DBGrid1()->currentIndex().row(), numbers.size() - 1);

  // Sort by surname: every vision test, one row each.
  vision.run_dialog = Answering<FormVisionSort>([](FormVisionSort& sort) {
    sort.Choose(SortField::Surname);
    sort.accept();
  });
  Run(vision, "Sort");
  EXPECT_EQ(vision.DBGrid1()->model()->rowCount(),
            Scalar("SELECT count(*) FROM VisionDetails").toInt());
  const QStringList surnames = Column(vision, 1);
  EXPECT_TRUE(std::is_sorted(surnames.begin(), surnames.end()));
  EXPECT_EQ(vision.StatusPanel(3)->text(), "Sorted: " + SortCaption(SortField::Surname));

  // Filter on the current patient's number: the status bar counts one patient.
  vision.run_dialog = Answering<FormVisionFilter>([&](FormVisionFilter& filter) {
    filter.CriterionBox(0)->setText(numbers.first());
    filter.CommandApply();
  });
  Run(vision, "Filter");
  EXPECT_EQ(vision.StatusPanel(2)->text(), "Filter: On");
  EXPECT_EQ(vision.StatusPanel(0)->text(), "Patients: 1");
  for (const QString& number : Column(vision, 0)) EXPECT_EQ(number, numbers.first());
  EXPECT_EQ(vision.Editor().CurrentPatNo(), numbers.first());

  vision.run_dialog =
      Answering<FormVisionFilter>([](FormVisionFilter& filter) { filter.CommandClear(); });
  Run(vision, "Filter");
  EXPECT_EQ(vision.StatusPanel(2)->text(), "Filter: Off");
  EXPECT_EQ(Column(vision, 0), numbers);
}

}  // namespace
}  // namespace sonivera::ui
