// The vision window's File menu (print, print preview, export, import) and
// Database menu (find, filter, sort).
#include <QAction>
#include <QApplication>
#include <QFileInfo>
#include <QMenuBar>
#include <QStandardItemModel>
#include <QTableView>

#include "base/Messages.h"
#include "db/Database.h"
#include "report/VisionReport.h"
#include "ui/FormVision.h"
#include "ui/FormVisionSearch.h"
#include "ui/ReportPrinting.h"
#include "vision/VisionCsv.h"

namespace sonivera::ui {

void FormVision::BuildFileMenu() {
  using K = QKeySequence;
  AddAction("Print", QStringLiteral("&Print"), "document-print", K::Print, &FormVision::Print);
  AddAction("PrintPreview", QStringLiteral("&Print Preview"), "document-print-preview",
            K(Qt::CTRL | Qt::SHIFT | Qt::Key_P), &FormVision::PrintPreview);
  AddAction("Export", QStringLiteral("&Export"), "document-export", K(), &FormVision::ExportVision);
  AddAction("Import", QStringLiteral("&Import"), "document-import", K(), &FormVision::ImportVision);
  auto* file = menuBar()->addMenu(QStringLiteral("&File"));
  file->addAction(Action("Print"));
  file->addAction(Action("PrintPreview"));
  file->addSeparator();
  file->addAction(Action("Export"));
  file->addAction(Action("Import"));
}

void FormVision::BuildDatabaseMenu() {
  using K = QKeySequence;
  AddAction("Find", QStringLiteral("&Find"), "edit-find", K::Find, &FormVision::FindVision);
  AddAction("Filter", QStringLiteral("Filter &Criteria"), "view-filter", K(),
            &FormVision::FilterVision);
  AddAction("Sort", QStringLiteral("&Sort"), "view-sort-ascending", K(), &FormVision::SortVision);
  auto* database = menuBar()->addMenu(QStringLiteral("&Database"));
  for (const char* key : {"Find", "Filter", "Sort"}) database->addAction(Action(key));
}

ReportPrinting& FormVision::Printing() {
  if (!printing_) {
    reporter_ = std::make_unique<ErrorReporter>(prompter_, editor_.Log());
    ReportPrinting::Sources sources;
    sources.connection = [this]() -> db::Connection& { return editor_.Database().Conn(); };
    printing_ = std::make_unique<ReportPrinting>(sources, prompter_, *reporter_, this);
  }
  return *printing_;
}

void FormVision::Print() { PrintShownTest(false); }
void FormVision::PrintPreview() { PrintShownTest(true); }

void FormVision::PrintShownTest(bool preview) {
  if (editor_.Editing()) return;
  const TestKey key = editor_.ShownTest();
  if (editor_.CurrentPatNo().isEmpty() || key.date.isEmpty()) {
    prompter_.Show(Msg(1022), Msg(974));
    return;
  }
  std::optional<report::VisionReportData> data;
  try {
    data = report::LoadVisionReport(editor_.Database().Conn(), editor_.CurrentPatNo(), key);
  } catch (const std::exception& error) {
    ErrorReporter(prompter_, editor_.Log())
        .ShowAndLog(StandardErrorText(QString::fromUtf8(error.what()), 0,
                                      QStringLiteral(" (print (vision):954)")));
    return;
  }
  if (!data) {
    prompter_.Show(Msg(1022), Msg(974));
    return;
  }
  data->print_heading = print_heading_;
  ReportPrinting& printing = Printing();
  printing.SetPrintPreviewMode(preview);
  printing.Output(report::VisionReportTitle(), QStringLiteral("vision print - vupdatereport"),
                  974, [&](QPagedPaintDevice& device) {
                    return report::PrintVisionReport(device, *data);
                  });
}

void FormVision::ExportVision() {
  if (editor_.Editing()) return;
  const QString folder = QFileInfo(editor_.Log().Path()).absolutePath();
  vision::ExportVisionRegister(editor_.Database().Conn(), prompter_, editor_.Log(), folder,
                               register_.Rows());
}

void FormVision::ImportVision() {
  if (editor_.Editing()) return;
  const QString folder = QFileInfo(editor_.Log().Path()).absolutePath();
  QApplication::setOverrideCursor(Qt::WaitCursor);
  const auto summary = vision::VisionImporter(editor_, prompter_, editor_.Log()).ChooseAndImport(folder);
  QApplication::restoreOverrideCursor();
  if (!summary.read) return;
  // The register is rebuilt once, at the end of the run.
  register_.Build();
  ShowPatient(editor_.CurrentPatNo());
}

void FormVision::ShowRow(int row) {
  RebuildRegister();
  if (row >= 0 && row < model_->rowCount()) {
    editor_.ChoosePatient(model_->item(row, 0)->text());
    const QSignalBlocker block(grid_->selectionModel());
    grid_->selectRow(row);
    grid_->setCurrentIndex(model_->index(row, 0));
  }
  Refresh();
}

void FormVision::FindVision() {
  if (editor_.Editing()) return;
  FormVisionFind find(
      [this](FormFind::Field field, const QString& text, bool first) {
        const int start = first ? 0 : grid_->currentIndex().row() + 1;
        std::optional<int> row;
        try {
          row = register_.Find(static_cast<vision::VisionRegister::FindField>(field), text, start);
        } catch (const std::exception& error) {
          ErrorReporter(prompter_, editor_.Log())
              .ShowAndLog(StandardErrorText(QString::fromUtf8(error.what()), 0,
                                            QStringLiteral(" (findrecord vision:954)")));
          return false;
        }
        if (!row) {
          prompter_.Show(Msg(989), windowTitle());
          return false;
        }
        editor_.ChoosePatient(model_->item(*row, 0)->text());
        const QSignalBlocker block(grid_->selectionModel());
        grid_->selectRow(*row);
        grid_->setCurrentIndex(model_->index(*row, 0));
        Refresh();
        return true;
      },
      this);
  run_dialog(find);
}

void FormVision::FilterVision() {
  if (editor_.Editing()) return;
  FormFilter::Actions actions;
  actions.apply = [this](const FilterCriteria& criteria) {
    const bool applied = register_.ApplyFilter(criteria, user_locale);
    if (applied) ShowRow(0);
    return applied;
  };
  actions.clear = [this] {
    register_.ClearFilter();
    ShowRow(0);
  };
  actions.current = [this] { return register_.CriteriaOfRow(grid_->currentIndex().row()); };
  FormVisionFilter filter(user_locale, FilterCriteria(), actions, this);
  run_dialog(filter);
}

void FormVision::SortVision() {
  if (editor_.Editing()) return;
  FormVisionSort sort(register_.Sort(), this);
  if (run_dialog(sort) != QDialog::Accepted) return;
  register_.ApplySort(sort.Chosen());
  ShowRow(0);
}

}  // namespace sonivera::ui
