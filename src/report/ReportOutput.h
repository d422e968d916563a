#pragma once

#include <QString>
#include <functional>
#include <memory>
#include <vector>

#include "report/BatchPrint.h"

#include <QPdfWriter>

namespace sonivera::report {

struct AudiogramReportData;
struct AudiogramReportSetup;
struct SummaryReportData;

// Each report on any paged device (a printer, a PDF file, the preview's
// printer): the device is set up for A4 first, in the report's orientation.

// One audiogram on one portrait page. False when the device failed.
bool PrintAudiogramReport(QPagedPaintDevice& device, const AudiogramReportData& data,
                          const AudiogramReportSetup& setup);
// The summary on landscape pages; the number of pages, 0 when the device failed.
int PrintSummaryReport(QPagedPaintDevice& device, const SummaryReportData& data);
// The batch, one portrait page per audiogram (see PrintBatch).
BatchOutcome PrintBatchReport(QPagedPaintDevice& device, db::Connection& connection,
                              const std::vector<PrintItem>& queue,
                              const AudiogramReportSetup& setup,
                              const std::function<bool(int done, int total)>& before = {});

// A PDF file for a report, with its title; the file is written when the
// report's painting ends.
std::unique_ptr<QPdfWriter> PdfFile(const QString& path, const QString& title);

}  // namespace sonivera::report
