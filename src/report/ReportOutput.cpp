#include "report/ReportOutput.h"

#include <QPdfWriter>

#include "report/AudiogramReport.h"
#include "report/ReportHeader.h"
#include "report/ReportLayout.h"
#include "report/SummaryReport.h"

namespace sonivera::report {

bool PrintAudiogramReport(QPagedPaintDevice& device, const AudiogramReportData& data,
                          const AudiogramReportSetup& setup) {
  SetUpA4(device, QPageLayout::Portrait);
  Sheet sheet(device);
  if (!sheet.IsActive()) return false;
  PaintAudiogramPage(sheet, data, setup);
  return sheet.Finish();
}

int PrintSummaryReport(QPagedPaintDevice& device, const SummaryReportData& data) {
  SetUpA4(device, QPageLayout::Landscape);
  Sheet sheet(device);
  if (!sheet.IsActive()) return 0;
  const int pages = PaintSummary(sheet, data);
  return sheet.Finish() ? pages : 0;
}

BatchOutcome PrintBatchReport(QPagedPaintDevice& device, db::Connection& connection,
                              const std::vector<PrintItem>& queue,
                              const AudiogramReportSetup& setup,
                              const std::function<bool(int, int)>& before) {
  SetUpA4(device, QPageLayout::Portrait);
  Sheet sheet(device);
  if (!sheet.IsActive()) return {0, false, true};
  BatchOutcome outcome = PrintBatch(sheet, connection, queue, setup, before);
  if (!sheet.Finish()) outcome.failed = true;
  return outcome;
}

std::unique_ptr<QPdfWriter> PdfFile(const QString& path, const QString& title) {
  auto writer = std::make_unique<QPdfWriter>(path);
  writer->setTitle(title);
  writer->setCreator(kProductTitle);
  return writer;
}

}  // namespace sonivera::report
