#include "report/SummaryReport.h"

#include "base/Messages.h"
#include "register/RegisterModel.h"
#include "report/ReportHeader.h"
#include "report/ReportLayout.h"

namespace sonivera::report {

namespace {
// The register column of each summary column, and its width in millimetres
// on a landscape page (the last takes what is left).
struct SummaryColumn {
  int register_column;
  double width_mm;
};
constexpr SummaryColumn kColumns[kSummaryColumnCount] = {
    {kColPatNo, 18},    {kColSurname, 29},         {kColForenames, 28}, {kColPositionRank, 27},
    {kColDeptUnit, 26}, {kColCompany, 29},         {kColLastTest, 19},  {kColPreviousTest, 19},
    {kColDOB, 19},      {kColCategorisation, 33},  {kColExaminer, 0},
};

Table SummaryTable() {
  std::vector<Column> columns;
  const QStringList headings = SummaryHeadings();
  for (int c = 0; c < kSummaryColumnCount; ++c) {
    columns.push_back({headings[c], kColumns[c].width_mm, Qt::AlignLeft});
  }
  return Table(std::move(columns), ReportFont(7.5), ReportFont(7.5, true));
}
}  // namespace

QStringList SummaryHeadings() {
  QStringList headings;
  for (int n = 1050; n <= 1060; ++n) headings << Msg(n);
  return headings;
}

SummaryReportData LoadSummary(db::Connection& connection, const SqlQuery& register_query) {
  SummaryReportData data;
  for (const RegisterRow& row : ReadRegisterRows(connection, register_query)) {
    QStringList cells;
    for (const SummaryColumn& column : kColumns) {
      cells << RegisterCellText(column.register_column, row[column.register_column]).trimmed();
    }
    data.rows.push_back(cells);
  }
  return data;
}

int PaintSummary(Sheet& sheet, const SummaryReportData& data) {
  const Table table = SummaryTable();
  const ReportHeading heading{Msg(1062), data.print_heading, Msg(1064)};
  const QRectF body = sheet.Body();
  const double top = body.top() + ReportHeaderHeight(sheet) + sheet.Mm(1.5);
  const double bottom = body.bottom() - ReportFooterHeight(sheet) - sheet.Mm(2);
  const QRectF area(body.left(), top, body.width(), bottom - top);
  QString middle = Msg(491) + QString::number(data.rows.size());
  if (!data.description.isEmpty()) middle = data.description + QStringLiteral("  \u00b7  ") + middle;
  return PrintPagedTable(
      sheet, table, data.rows,
      [&](Sheet& s, int page, int pages) {
        PaintReportHeader(s, heading);
        PaintReportFooter(s, data.printed, middle, page, pages);
      },
      area, area);
}

}  // namespace sonivera::report
