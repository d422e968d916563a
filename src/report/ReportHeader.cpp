#include "report/ReportHeader.h"

#include "base/Messages.h"
#include "report/ReportLayout.h"

namespace sonivera::report {

namespace {
const QFont TitleFont() { return ReportFont(15, true); }
const QFont SmallFont() { return ReportFont(7.5); }
const QFont ReportTitleFont() { return ReportFont(12, true); }
const QFont FooterFont() { return ReportFont(7); }
}  // namespace

double ReportHeaderHeight(const Sheet& sheet) {
  return LineHeight(sheet, TitleFont()) + LineHeight(sheet, SmallFont()) + sheet.Mm(2.5);
}

double PaintReportHeader(Sheet& sheet, const ReportHeading& heading) {
  const QRectF body = sheet.Body();
  const double title_height = LineHeight(sheet, TitleFont());
  const double small_height = LineHeight(sheet, SmallFont());
  DrawText(sheet, TitleFont(), QRectF(body.left(), body.top(), body.width() / 2, title_height),
           kProductTitle, Qt::AlignLeft | Qt::AlignBottom);
  DrawText(sheet, SmallFont(),
           QRectF(body.left(), body.top() + title_height, body.width() / 2, small_height),
           heading.maker, Qt::AlignLeft | Qt::AlignTop, kMuted);
  DrawText(sheet, ReportTitleFont(),
           QRectF(body.center().x(), body.top(), body.width() / 2, title_height), heading.title,
           Qt::AlignRight | Qt::AlignBottom);
  DrawText(sheet, SmallFont(),
           QRectF(body.center().x(), body.top() + title_height, body.width() / 2, small_height),
           heading.subtitle, Qt::AlignRight | Qt::AlignTop, kMuted);
  const double rule = body.top() + title_height + small_height + sheet.Mm(1);
  Rule(sheet, rule, 0.5, kInk);
  return body.top() + ReportHeaderHeight(sheet) + sheet.Mm(1.5);
}

double ReportFooterHeight(const Sheet& sheet) {
  return LineHeight(sheet, FooterFont()) + sheet.Mm(1.5);
}

double PaintReportFooter(Sheet& sheet, const QDate& printed, const QString& middle, int page,
                         int pages) {
  const QRectF body = sheet.Body();
  const double top = body.bottom() - ReportFooterHeight(sheet);
  Rule(sheet, top, 0.2);
  const QRectF line(body.left(), top + sheet.Mm(1.2), body.width(), LineHeight(sheet, FooterFont()));
  const int flags = Qt::AlignVCenter;
  DrawText(sheet, FooterFont(), line,
           Msg(1061) + u' ' + printed.toString(QStringLiteral("dd/MM/yyyy")),
           flags | Qt::AlignLeft, kMuted);
  DrawText(sheet, FooterFont(), line, middle, flags | Qt::AlignHCenter, kMuted);
  if (pages > 0) {
    DrawText(sheet, FooterFont(), line, QStringLiteral("%1 / %2").arg(page).arg(pages),
             flags | Qt::AlignRight, kMuted);
  }
  return top;
}

}  // namespace sonivera::report
