#include "ui/ReportPrinting.h"

#include <QAction>
#include <QApplication>
#include <QIcon>
#include <QPrintDialog>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QToolBar>

#include "base/ErrorLog.h"
#include "base/Messages.h"
#include "report/ReportOutput.h"
#include "report/SummaryReport.h"
#include "ui/FormPrint.h"

namespace sonivera::ui {

ReportPrinting::ReportPrinting(Sources sources, Prompter& prompter, ErrorReporter& reporter,
                               QWidget* parent)
    : sources_(std::move(sources)), prompter_(prompter), reporter_(reporter), parent_(parent) {
  choose_printer = [this](QPrinter& printer) {
    QPrintDialog dialog(&printer, parent_);
    return dialog.exec() == QDialog::Accepted;
  };
  run_preview = [](QPrintPreviewDialog& dialog) { dialog.exec(); };
  run_dialog = [](QDialog& dialog) { return dialog.exec(); };
}

void ReportPrinting::Print() {
  preview_mode_ = false;
  OpenPrintOptions();
}

void ReportPrinting::PrintPreview() {
  preview_mode_ = true;
  OpenPrintOptions();
}

void ReportPrinting::OpenPrintOptions() {
  FormPrint options(
      [this](FormPrint::Option option) {
        if (option == FormPrint::kAudiogram) {
          PrintAudiogram();
        } else {
          PrintDatabase();
        }
      },
      parent_);
  run_dialog(options);
}

void ReportPrinting::NothingToPrint() {
  prompter_.Show(Msg(1022), Msg(1023), Prompter::Buttons::Ok, Prompter::Answer::Ok,
                 Prompter::Icon::Information);
}

void ReportPrinting::ExportPdf(const QString& title, const QString& procedure, int title_message,
                               const Painting& paint) {
  FileDialogSpec spec;
  spec.title = Msg(3789).remove(u'&').remove(QStringLiteral("..."));
  spec.filter = Msg(3790);
  spec.default_suffix = QStringLiteral(".pdf");
  spec.initial_name = title + QStringLiteral(".pdf");
  spec.overwrite_prompt = true;
  const auto path = prompter_.SaveFile(spec);
  if (!path) return;
  auto pdf = report::PdfFile(*path, title);
  report::ReportPrintFailure(reporter_, paint(*pdf), procedure, title_message);
}

bool ReportPrinting::Output(const QString& title, const QString& procedure, int title_message,
                            const Painting& paint) {
  QPrinter printer(QPrinter::HighResolution);
  printer.setDocName(title);
  printer.setPageSize(QPageSize(QPageSize::A4));
  bool printed = false;
  if (preview_mode_) {
    QPrintPreviewDialog preview(&printer, parent_);
    preview.setWindowTitle(title);
    if (auto* toolbar = preview.findChild<QToolBar*>()) {
      toolbar->addSeparator();
      QAction* export_pdf = toolbar->addAction(
          QIcon::fromTheme(QStringLiteral("document-export")), Msg(3789).remove(u'&'));
      export_pdf->setObjectName(QStringLiteral("ExportPdf"));
      QObject::connect(export_pdf, &QAction::triggered, &preview,
                       [&] { ExportPdf(title, procedure, title_message, paint); });
    }
    QObject::connect(&preview, &QPrintPreviewDialog::paintRequested, &preview,
                     [&](QPrinter* target) {
                       const auto status = paint(*target);
                       report::ReportPrintFailure(reporter_, status, procedure, title_message);
                       printed = status == report::PrintStatus::Printed;
                     });
    run_preview(preview);
  } else if (choose_printer(printer)) {
    const auto status = paint(printer);
    report::ReportPrintFailure(reporter_, status, procedure, title_message);
    printed = status == report::PrintStatus::Printed;
  }
  if (sources_.after) sources_.after();
  return printed;
}

bool ReportPrinting::PrintAudiogram() {
  const auto item = sources_.shown_audiogram();
  if (!item) {
    NothingToPrint();
    return false;
  }
  std::optional<report::AudiogramReportData> data;
  try {
    data = report::LoadAudiogramReport(sources_.connection(), item->pat_no, item->key,
                                       item->previous);
  } catch (const std::exception& error) {
    reporter_.ShowAndLog(StandardErrorText(QString::fromUtf8(error.what()), 0,
                                           ErrorTag(QStringLiteral("printaudiogram"))),
                         1025);
    return false;
  }
  if (!data) {
    NothingToPrint();
    return false;
  }
  const report::AudiogramReportSetup setup = sources_.setup();
  return Output(report::AudiogramReportTitle(item->pat_no), QStringLiteral("printaudiogram"), 1025,
                [&](QPagedPaintDevice& device) {
                  return report::PrintAudiogramReport(device, *data, setup);
                });
}

bool ReportPrinting::PrintDatabase() {
  report::SummaryReportData data;
  try {
    data = report::LoadSummary(sources_.connection(), sources_.register_query());
  } catch (const std::exception& error) {
    reporter_.Report(QString::fromUtf8(error.what()), 0, QStringLiteral("printdatabase"));
    return false;
  }
  if (data.rows.empty()) {
    NothingToPrint();
    return false;
  }
  data.print_heading = sources_.print_heading();
  data.description = sources_.register_description();
  return Output(Msg(1062), QStringLiteral("printdatabase"), 974,
                [&](QPagedPaintDevice& device) { return report::PrintSummaryReport(device, data); });
}

void ReportPrinting::OpenBatchPrint(int register_rows) {
  FormBatchPrint window(register_rows, [this] { BatchPrint(); }, parent_);
  run_dialog(window);
}

bool ReportPrinting::BatchPrint() {
  std::vector<report::PrintItem> queue;
  try {
    queue = report::QueueBatch(sources_.connection(), sources_.register_query());
  } catch (const std::exception& error) {
    reporter_.Report(QString::fromUtf8(error.what()), 0, QStringLiteral("batchprint"));
    return false;
  }
  if (queue.empty()) {
    NothingToPrint();
    return false;
  }
  // One printer choice for the whole batch, then no dialog per page.
  QPrinter printer(QPrinter::HighResolution);
  printer.setDocName(Msg(3783));
  printer.setPageSize(QPageSize(QPageSize::A4));
  if (!choose_printer(printer)) return false;
  const report::AudiogramReportSetup setup = sources_.setup();
  FormBatchQueue progress(static_cast<int>(queue.size()), parent_);
  progress.setModal(true);
  progress.show();
  report::BatchPrintResult result;
  try {
    result = report::PrintBatchReport(printer, sources_.connection(), queue, setup,
                                      [&](int done, int) {
                                        progress.SetDone(done);
                                        QApplication::processEvents();
                                        if (on_batch_step) on_batch_step(progress, done);
                                        return !progress.BatchCancelled();
                                      });
  } catch (const std::exception& error) {
    reporter_.Report(QString::fromUtf8(error.what()), 0, QStringLiteral("batchprint"));
  }
  progress.hide();
  report::ReportPrintFailure(reporter_, result.status, QStringLiteral("batchprint"), 1025);
  if (sources_.after) sources_.after();
  return result.status == report::PrintStatus::Printed && result.outcome.printed > 0;
}

}  // namespace sonivera::ui
