// The vision window's File and Database menus: the record form printed and
// previewed, export and import, find, filter and sort with the status bar.
// What the form and the file hold is tested with the vision reports and files.
#include "support/PdfSupport.h"
#include "ui/DemoWindowTest.h"
#include "ui/FormVisionSearch.h"
#include "ui/ReportPrinting.h"

namespace sonivera::ui {
namespace {

class VisionFilesWindowTest : public DemoWindowTest {
 protected:
  static QStringList Column(FormVision& vision, int column) {
    QStringList values;
    auto* model = vision.DBGrid1()->model();
    for (int row = 0; row < model->rowCount(); ++row)
      values << model->index(row, column).data().toString();
    return values;
  }
  // The status bar's patients, filter and sort panels.
  static QString Status(FormVision& vision) {
    return QStringList{vision.StatusPanel(0)->text(), vision.StatusPanel(2)->text(),
                       vision.StatusPanel(3)->text()}
        .join('|');
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
  Trigger(vision, "Print");
  EXPECT_EQ(test::Missing(test::PdfText(pdf), {"Vision Tester Occupational Record Form", pat_no,
                                               vision.Editor().Details().Surname}),
            QStringList());
  int previews = 0;
  vision.Printing().run_preview = [&](QPrintPreviewDialog& preview) {
    ++previews;
    EXPECT_EQ(test::PreviewPages(preview), 1);
    preview.close();
  };
  Trigger(vision, "PrintPreview");
  EXPECT_EQ(previews, 1);
  EXPECT_EQ(test::Shown(t.prompter), QStringList());

  // Exported, then imported into the same register: every line is refused.
  const int rows = vision.DBGrid1()->model()->rowCount();
  ASSERT_GT(rows, 0);
  const QString path = t.folder.File("ExportVisionData.csv");
  t.prompter.QueueFile(path);
  Trigger(vision, "Export");
  EXPECT_EQ(t.folder.Read("ExportVisionData.csv").count('\n'), rows + 2);
  EXPECT_EQ(t.prompter.file_dialogs.back().initial_name, "ExportVisionData.csv");
  t.prompter.QueueFile(path);
  Trigger(vision, "Import");
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
  Trigger(vision, "Find");
  EXPECT_EQ(vision.Editor().CurrentPatNo(), numbers.last());
  EXPECT_EQ(vision.DBGrid1()->currentIndex().row(), numbers.size() - 1);

  // Sort by surname: every vision test, one row each.
  vision.run_dialog = Answering<FormVisionSort>([](FormVisionSort& sort) {
    sort.Choose(SortField::Surname);
    sort.accept();
  });
  Trigger(vision, "Sort");
  EXPECT_EQ(vision.DBGrid1()->model()->rowCount(),
            Scalar("SELECT count(*) FROM VisionDetails").toInt());
  const QStringList surnames = Column(vision, 1);
  EXPECT_TRUE(std::is_sorted(surnames.begin(), surnames.end()));
  const QString sorted = "Sorted: " + SortCaption(SortField::Surname);
  EXPECT_EQ(Status(vision), "Patients: 8|Filter: Off|" + sorted);

  // Filter on the first patient's number: the status bar counts one patient.
  vision.run_dialog = Answering<FormVisionFilter>([&](FormVisionFilter& filter) {
    filter.CriterionBox(0)->setText(numbers.first());
    filter.CommandApply();
  });
  Trigger(vision, "Filter");
  EXPECT_EQ(Status(vision), "Patients: 1|Filter: On|" + sorted);
  QStringList filtered = Column(vision, 0);
  filtered.removeDuplicates();
  EXPECT_EQ(filtered, QStringList{numbers.first()});
  EXPECT_EQ(vision.Editor().CurrentPatNo(), numbers.first());

  vision.run_dialog =
      Answering<FormVisionFilter>([](FormVisionFilter& filter) { filter.CommandClear(); });
  Trigger(vision, "Filter");
  EXPECT_EQ(Status(vision).section('|', 1, 1), "Filter: Off");
  EXPECT_EQ(Column(vision, 0), numbers);
}

}  // namespace
}  // namespace sonivera::ui
