#include "report/ReportOutput.h"

#include <QPdfWriter>

#include "base/ErrorLog.h"
#include "base/Messages.h"

#include "report/AudiogramReport.h"
#include "report/ReportHeader.h"
#include "report/ReportLayout.h"
#include "report/SummaryReport.h"

namespace sonivera::report {

PrintStatus PrintAudiogramReport(QPagedPaintDevice& device, const AudiogramReportData& data,
                                 const AudiogramReportSetup& setup) {
  if (!SetUpA4(device, QPageLayout::Portrait)) return PrintStatus::NotA4;
  Sheet sheet(device);
  if (!sheet.IsActive()) return PrintStatus::DeviceFailed;
  PaintAudiogramPage(sheet, data, setup);
  return sheet.Finish() ? PrintStatus::Printed : PrintStatus::DeviceFailed;
}

PrintStatus PrintSummaryReport(QPagedPaintDevice& device, const SummaryReportData& data,
                               int* pages) {
  if (!SetUpA4(device, QPageLayout::Landscape)) return PrintStatus::NotA4;
  Sheet sheet(device);
  if (!sheet.IsActive()) return PrintStatus::DeviceFailed;
  const int count = PaintSummary(sheet, data);
  if (pages != nullptr) *pages = count;
  return sheet.Finish() && count > 0 ? PrintStatus::Printed : PrintStatus::DeviceFailed;
}

BatchPrintResult PrintBatchReport(QPagedPaintDevice& device, db::Connection& connection,
                                  const std::vector<PrintItem>& queue,
                                  const AudiogramReportSetup& setup,
                                  const std::function<bool(int, int)>& before) {
  BatchPrintResult result;
  if (!SetUpA4(device, QPageLayout::Portrait)) {
    result.status = PrintStatus::NotA4;
    return result;
  }
  Sheet sheet(device);
  if (!sheet.IsActive()) {
    result.status = PrintStatus::DeviceFailed;
    return result;
  }
  result.outcome = PrintBatch(sheet, connection, queue, setup, before);
  if (!sheet.Finish() || result.outcome.failed) result.status = PrintStatus::DeviceFailed;
  return result;
}

void ReportPrintFailure(ErrorReporter& reporter, PrintStatus status, const QString& procedure,
                        int title_message) {
  if (status == PrintStatus::Printed) return;
  if (status == PrintStatus::NotA4) {
    reporter.ShowAndLog(Msg(1024) + ErrorTag(procedure, 1024), 1025);
    return;
  }
  const QString text =
      StandardErrorText(QStringLiteral("The printer or the file could not be written."), 0,
                        ErrorTag(procedure));
  reporter.ShowAndLog(text, title_message);
}

std::unique_ptr<QPdfWriter> PdfFile(const QString& path, const QString& title) {
  auto writer = std::make_unique<QPdfWriter>(path);
  writer->setTitle(title);
  writer->setCreator(kProductTitle);
  return writer;
}

}  // namespace sonivera::report
