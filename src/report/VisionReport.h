#pragma once

#include <QDate>
#include <QString>
#include <QStringList>
#include <map>
#include <optional>
#include <set>

#include "register/AudiogramStore.h"
#include "report/ReportOutput.h"
#include "vision/VisionQueries.h"

class QPagedPaintDevice;

namespace sonivera {
struct EntryFields;
namespace db {
class Connection;
}
}  // namespace sonivera

namespace sonivera::report {

class Sheet;

// One vision test as the record form prints it: the labels whose caption
// carries a value (LabelName, LabelPatNo, LabelRTotal, ...) and the labels
// highlighted because they stand for a stored value (LabelFBE5, LabelAa,
// LabelRT85, LabelRefYes, ...). A value of 0 highlights nothing.
struct VisionReportData {
  QString pat_no;
  TestKey key;
  std::map<QString, QString> captions;
  std::set<QString> highlighted;
  QString print_heading;
};

// The labels of a stored test.
VisionReportData VisionReportLabels(const QString& pat_no, const TestKey& key,
                                    const EntryFields& patient,
                                    const vision::VisionHeader& header,
                                    const vision::VisionStore::StoredResults& results);
// Reads the test for printing; nullopt when the patient or the test is gone.
// Engine failures come out as db::SqliteError.
std::optional<VisionReportData> LoadVisionReport(db::Connection& connection,
                                                 const QString& pat_no, const TestKey& key);

// What a painted page showed: every label drawn and, in drawing order, the
// labels drawn highlighted (black background, white text).
struct VisionPageLabels {
  std::set<QString> drawn;
  QStringList highlighted;
};
// Lays the record form out on the sheet's current page (A4 portrait).
VisionPageLabels PaintVisionPage(Sheet& sheet, const VisionReportData& data,
                                 const QDate& printed = QDate::currentDate());
// The record form on its own page of a device set up for A4.
PrintStatus PrintVisionReport(QPagedPaintDevice& device, const VisionReportData& data,
                              VisionPageLabels* labels = nullptr);

// "Vision Tester Occupational Record Form", the report's title.
QString VisionReportTitle();

}  // namespace sonivera::report
