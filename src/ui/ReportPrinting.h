#pragma once

#include <QString>
#include <functional>
#include <optional>

#include "register/RegisterQuery.h"
#include "report/AudiogramReport.h"
#include "report/BatchPrint.h"
#include "report/ReportOutput.h"

class QDialog;
class QPagedPaintDevice;
class QPrinter;
class QPrintPreviewDialog;
class QWidget;

namespace sonivera {
class ErrorReporter;
class Prompter;
namespace db {
class Connection;
}
}  // namespace sonivera

namespace sonivera::ui {

class FormBatchQueue;

// The main window's printing: the print options window, the audiogram
// report and the database summary printed or previewed, and the batch print
// with its progress window. Everything is read through the core on the
// program's one connection; the register is left as it was.
class ReportPrinting {
 public:
  // What printing reads from the main window.
  struct Sources {
    std::function<db::Connection&()> connection;
    std::function<report::AudiogramReportSetup()> setup;
    // The audiogram on show; nullopt when no record is selected.
    std::function<std::optional<report::PrintItem>()> shown_audiogram;
    std::function<SqlQuery()> register_query;
    std::function<QString()> register_description;  // filter and sort, as the status bar says
    std::function<QString()> print_heading;
    // After a report: the register page is brought to the front.
    std::function<void()> after;
  };

  ReportPrinting(Sources sources, Prompter& prompter, ErrorReporter& reporter, QWidget* parent);

  // The menu commands: Print clears PrintPreviewMode, Print preview sets it;
  // both open the print options window.
  void Print();
  void PrintPreview();
  // The batch print window.
  void OpenBatchPrint(int register_rows);

  // The reports; false when nothing was printed.
  bool PrintAudiogram();
  bool PrintDatabase();
  bool BatchPrint();

  bool PrintPreviewMode() const { return preview_mode_; }
  void SetPrintPreviewMode(bool preview) { preview_mode_ = preview; }

  using Painting = std::function<report::PrintStatus(QPagedPaintDevice&)>;
  // Prints or previews: paint draws the report on the device and says how
  // it went; failures are reported under procedure.
  bool Output(const QString& title, const QString& procedure, int title_message,
              const Painting& paint);

  // How a printer is chosen (Qt's print dialog; false when cancelled), how
  // the preview runs and how the windows run: tests replace them.
  std::function<bool(QPrinter&)> choose_printer;
  std::function<void(QPrintPreviewDialog&)> run_preview;
  std::function<int(QDialog&)> run_dialog;
  // Called with the progress window before each audiogram of a batch.
  std::function<void(FormBatchQueue&, int done)> on_batch_step;

 private:
  void OpenPrintOptions();
  void NothingToPrint();
  // The preview's Export to PDF: the report to a PDF file the user names.
  void ExportPdf(const QString& title, const QString& procedure, int title_message,
                 const Painting& paint);

  Sources sources_;
  Prompter& prompter_;
  ErrorReporter& reporter_;
  QWidget* parent_;
  bool preview_mode_ = false;
};

}  // namespace sonivera::ui
