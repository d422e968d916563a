#pragma once

#include <QString>
#include <functional>
#include <memory>
#include <vector>

#include "report/BatchPrint.h"

#include <QPdfWriter>

namespace sonivera {
class ErrorReporter;
}

namespace sonivera::report {

struct AudiogramReportData;
struct AudiogramReportSetup;
struct SummaryReportData;

// Each report on any paged device (a printer, a PDF file, the preview's
// printer): the device is set up for A4 first, in the report's orientation.
enum class PrintStatus {
  Printed,
  NotA4,        // the printer does not take A4 paper
  DeviceFailed  // the printer or the file could not be written
};

// One audiogram on one portrait page.
PrintStatus PrintAudiogramReport(QPagedPaintDevice& device, const AudiogramReportData& data,
                                 const AudiogramReportSetup& setup);
// The summary on landscape pages; pages (when given) receives their number.
PrintStatus PrintSummaryReport(QPagedPaintDevice& device, const SummaryReportData& data,
                               int* pages = nullptr);
// The batch, one portrait page per audiogram (see PrintBatch).
struct BatchPrintResult {
  PrintStatus status = PrintStatus::Printed;
  BatchOutcome outcome;
};
BatchPrintResult PrintBatchReport(QPagedPaintDevice& device, db::Connection& connection,
                                  const std::vector<PrintItem>& queue,
                                  const AudiogramReportSetup& setup,
                                  const std::function<bool(int done, int total)>& before = {});

// Shows and logs a print that failed: message 1024 titled 1025 with the tag
// ":1024" when the paper is not A4, otherwise the standard report with the
// tag ":954" titled title_message. procedure names the command
// ("printaudiogram", "printdatabase").
void ReportPrintFailure(ErrorReporter& reporter, PrintStatus status, const QString& procedure,
                        int title_message);

// A PDF file for a report, with its title; the file is written when the
// report's painting ends.
std::unique_ptr<QPdfWriter> PdfFile(const QString& path, const QString& title);

}  // namespace sonivera::report
