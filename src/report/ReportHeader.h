#pragma once

#include <QDate>
#include <QString>

namespace sonivera::report {

class Sheet;

// The product title every report carries at its head.
inline const QString kProductTitle = QStringLiteral("Sonivera 5.5");

// The head of a report page: the product title with the maker line under it
// on the left, the report's title with the print heading under it on the
// right, and a rule across.
struct ReportHeading {
  QString title;
  QString subtitle;
  QString maker;
};
double ReportHeaderHeight(const Sheet& sheet);
// Draws the head at the top of the body; returns where the page goes on.
double PaintReportHeader(Sheet& sheet, const ReportHeading& heading);

// The foot of a report page: "Printed" and the date on the left, a text in
// the middle and, when pages is not 0, "page / pages" on the right.
double ReportFooterHeight(const Sheet& sheet);
// Draws the foot at the bottom of the body; returns its top.
double PaintReportFooter(Sheet& sheet, const QDate& printed, const QString& middle, int page = 0,
                         int pages = 0);

}  // namespace sonivera::report
