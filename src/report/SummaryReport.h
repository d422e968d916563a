#pragma once

#include <QDate>
#include <QString>
#include <QStringList>
#include <vector>

#include "register/RegisterQuery.h"

namespace sonivera {
namespace db {
class Connection;
}
}  // namespace sonivera

namespace sonivera::report {

class Sheet;

// The database summary: one line per register row, as the register shows it
// (its filter and its sort), in the columns of the summary.
constexpr int kSummaryColumnCount = 11;
struct SummaryReportData {
  std::vector<QStringList> rows;
  QString print_heading;
  // How the register was chosen, e.g. "Filter: On   Sorted: Surname".
  QString description;
  QDate printed = QDate::currentDate();
};

// The column captions (messages 1050 to 1060).
QStringList SummaryHeadings();

// Reads every row of the register query into the summary's columns, dates
// as "dd/mm/yyyy". Engine failures come out as db::SqliteError.
SummaryReportData LoadSummary(db::Connection& connection, const SqlQuery& register_query);

// Lays the summary out from the sheet's current page on (A4 landscape),
// taking as many pages as the rows need; returns the number of pages, or 0
// when the device failed.
int PaintSummary(Sheet& sheet, const SummaryReportData& data);

}  // namespace sonivera::report
