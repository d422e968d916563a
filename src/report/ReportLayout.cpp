#include "report/ReportLayout.h"

#include <QFontMetricsF>
#include <QPageSize>
#include <QPagedPaintDevice>
#include <algorithm>

namespace sonivera::report {

namespace {
constexpr double kMmPerInch = 25.4;
// Room so that wrapping measured here never wraps one word later when drawn.
constexpr double kWrapSlack = 1.0;

QFontMetricsF Metrics(const Sheet& sheet, const QFont& font) {
  return QFontMetricsF(font, sheet.Device());
}
}  // namespace

bool SetUpA4(QPagedPaintDevice& device, QPageLayout::Orientation orientation) {
  const QMarginsF margins(kMarginMm, kMarginMm, kMarginMm, kMarginMm);
  const bool taken = device.setPageLayout(
      QPageLayout(QPageSize(QPageSize::A4), orientation, margins, QPageLayout::Millimeter));
  return taken && device.pageLayout().pageSize().id() == QPageSize::A4;
}

namespace {
// Ligatures would print "fi" as one glyph, which a PDF reader then cannot
// find or copy as the two letters; the reports' text needs no shaping.
QFont PlainFont(const QString& family) {
  QFont font(family);
  font.setStyleHint(QFont::SansSerif);
  font.setStyleStrategy(QFont::PreferNoShaping);
  return font;
}
}  // namespace

QFont ReportFont(double points, bool bold) {
  QFont font = PlainFont(QStringLiteral("DejaVu Sans"));
  font.setPointSizeF(points);
  font.setBold(bold);
  return font;
}

QFont NarrowFont(double points, bool bold) {
  QFont font = PlainFont(QStringLiteral("Liberation Sans Narrow"));
  font.setPointSizeF(points);
  font.setBold(bold);
  return font;
}

Sheet::Sheet(QPagedPaintDevice& device) : device_(&device) {
  if (!painter_.begin(&device)) return;
  painter_.setRenderHint(QPainter::Antialiasing);
  painter_.setRenderHint(QPainter::TextAntialiasing);
  dots_per_mm_ = device.logicalDpiX() / kMmPerInch;
  body_ = QRectF(0, 0, device.width(), device.height());
}

Sheet::~Sheet() {
  if (painter_.isActive()) painter_.end();
}

bool Sheet::NextPage() {
  if (!device_->newPage()) return false;
  ++page_;
  return true;
}

bool Sheet::Finish() { return painter_.isActive() ? painter_.end() : false; }

double TextHeight(const Sheet& sheet, const QFont& font, const QString& text, double width) {
  const QFontMetricsF metrics = Metrics(sheet, font);
  if (text.isEmpty()) return metrics.height();
  const QRectF bound = metrics.boundingRect(QRectF(0, 0, std::max(1.0, width - kWrapSlack), 1e9),
                                            Qt::AlignLeft | Qt::TextWordWrap, text);
  return std::max(bound.height(), metrics.height());
}

double LineHeight(const Sheet& sheet, const QFont& font) { return Metrics(sheet, font).height(); }

double TextWidth(const Sheet& sheet, const QFont& font, const QString& text) {
  return Metrics(sheet, font).horizontalAdvance(text);
}

void DrawText(Sheet& sheet, const QFont& font, const QRectF& rect, const QString& text, int flags,
              const QColor& colour) {
  if (text.isEmpty()) return;
  QPainter& painter = sheet.Painter();
  painter.setFont(font);
  painter.setPen(colour);
  // The rectangle is one slack wider than what was measured, so the wrap
  // points match; text never needs clipping.
  QRectF box = rect;
  if ((flags & Qt::TextWordWrap) != 0) box.setRight(box.right() - kWrapSlack);
  painter.drawText(box, flags | Qt::TextDontClip, text);
}

void Rule(Sheet& sheet, double y, double thickness_mm, const QColor& colour) {
  QPainter& painter = sheet.Painter();
  painter.setPen(Qt::NoPen);
  painter.setBrush(colour);
  const QRectF body = sheet.Body();
  painter.drawRect(QRectF(body.left(), y, body.width(), sheet.Mm(thickness_mm)));
  painter.setBrush(Qt::NoBrush);
}

double SectionHeadingHeight(const Sheet& sheet) {
  return LineHeight(sheet, ReportFont(9, true)) + sheet.Mm(1.6);
}

double SectionHeading(Sheet& sheet, const QRectF& where, const QString& title) {
  const double height = SectionHeadingHeight(sheet);
  QPainter& painter = sheet.Painter();
  const QRectF band(where.left(), where.top(), where.width(), height);
  painter.setPen(Qt::NoPen);
  painter.setBrush(kBandColour);
  painter.drawRect(band);
  painter.setBrush(Qt::NoBrush);
  DrawText(sheet, ReportFont(9, true), band.adjusted(sheet.Mm(1.5), 0, 0, 0), title,
           Qt::AlignLeft | Qt::AlignVCenter);
  return height;
}

double CaptionWidth(const Sheet& sheet, const FieldStyle& style, const std::vector<Field>& fields) {
  double width = 0;
  for (const Field& field : fields) {
    width = std::max(width, TextWidth(sheet, style.caption, field.caption));
  }
  return width + sheet.Mm(style.gap_mm);
}

namespace {
// Each row's height: the wrapped value beside its caption.
std::vector<double> FieldHeights(const Sheet& sheet, const FieldStyle& style,
                                 const std::vector<Field>& fields, double width) {
  const double value_width = std::max(1.0, width - CaptionWidth(sheet, style, fields));
  std::vector<double> heights;
  for (const Field& field : fields) {
    const QFont& font = field.emphasised ? style.emphasis : style.value;
    const double h = std::max(TextHeight(sheet, font, field.value, value_width),
                              LineHeight(sheet, style.caption));
    heights.push_back(h + sheet.Mm(style.leading_mm));
  }
  return heights;
}
}  // namespace

double FieldListHeight(const Sheet& sheet, const FieldStyle& style,
                       const std::vector<Field>& fields, double width) {
  double total = 0;
  for (double h : FieldHeights(sheet, style, fields, width)) total += h;
  return total;
}

double PaintFieldList(Sheet& sheet, const FieldStyle& style, const std::vector<Field>& fields,
                      const QRectF& area) {
  const double caption_width = CaptionWidth(sheet, style, fields);
  const auto heights = FieldHeights(sheet, style, fields, area.width());
  double y = area.top();
  for (std::size_t i = 0; i < fields.size(); ++i) {
    const Field& field = fields[i];
    DrawText(sheet, style.caption, QRectF(area.left(), y, caption_width, heights[i]),
             field.caption, Qt::AlignLeft | Qt::AlignTop, kMuted);
    DrawText(sheet, field.emphasised ? style.emphasis : style.value,
             QRectF(area.left() + caption_width, y, area.width() - caption_width, heights[i]),
             field.value);
    y += heights[i];
  }
  return y - area.top();
}

Table::Table(std::vector<Column> columns, QFont cell_font, QFont heading_font)
    : columns_(std::move(columns)),
      cell_font_(std::move(cell_font)),
      heading_font_(std::move(heading_font)) {}

std::vector<double> Table::Widths(const Sheet& sheet, double width) const {
  std::vector<double> widths;
  double used = 0;
  for (const Column& column : columns_) {
    widths.push_back(sheet.Mm(column.width_mm));
    used += widths.back();
  }
  if (!widths.empty() && columns_.back().width_mm <= 0) {
    widths.back() = std::max(sheet.Mm(5), width - used);
  }
  return widths;
}

double Table::CellHeight(const Sheet& sheet, const QFont& font, const QString& text,
                         double width) const {
  return TextHeight(sheet, font, text, width - 2 * sheet.Mm(padding_mm));
}

double Table::HeadingHeight(const Sheet& sheet, double width) const {
  QStringList headings;
  for (const Column& column : columns_) headings << column.heading;
  const auto widths = Widths(sheet, width);
  double height = 0;
  for (std::size_t c = 0; c < columns_.size(); ++c) {
    height = std::max(height, CellHeight(sheet, heading_font_, headings[c], widths[c]));
  }
  return height + 2 * sheet.Mm(padding_mm * 0.8);
}

double Table::RowHeight(const Sheet& sheet, const QStringList& row, double width) const {
  const auto widths = Widths(sheet, width);
  double height = LineHeight(sheet, cell_font_);
  for (std::size_t c = 0; c < columns_.size() && c < static_cast<std::size_t>(row.size()); ++c) {
    height = std::max(height, CellHeight(sheet, cell_font_, row[static_cast<int>(c)], widths[c]));
  }
  return height + 2 * sheet.Mm(padding_mm * 0.5);
}

double Table::PaintCells(Sheet& sheet, const QStringList& cells, const QFont& font, double left,
                         double top, double width, double height,
                         const QList<int>& bold_columns) const {
  const auto widths = Widths(sheet, width);
  const double pad = sheet.Mm(padding_mm);
  QFont bold = font;
  bold.setBold(true);
  double x = left;
  for (std::size_t c = 0; c < columns_.size(); ++c) {
    const int index = static_cast<int>(c);
    if (index < cells.size()) {
      const QRectF cell(x + pad, top, widths[c] - 2 * pad, height);
      DrawText(sheet, bold_columns.contains(index) ? bold : font, cell, cells[index],
               static_cast<int>(columns_[c].align) | Qt::AlignVCenter | Qt::TextWordWrap);
    }
    x += widths[c];
  }
  return height;
}

double Table::PaintHeading(Sheet& sheet, double left, double top, double width) const {
  QStringList headings;
  for (const Column& column : columns_) headings << column.heading;
  const double height = HeadingHeight(sheet, width);
  QPainter& painter = sheet.Painter();
  painter.setPen(Qt::NoPen);
  painter.setBrush(kBandColour);
  painter.drawRect(QRectF(left, top, width, height));
  painter.setBrush(Qt::NoBrush);
  PaintCells(sheet, headings, heading_font_, left, top, width, height, {});
  QPen pen(kRuleColour);
  pen.setWidthF(sheet.Mm(0.25));
  painter.setPen(pen);
  painter.drawLine(QPointF(left, top + height), QPointF(left + width, top + height));
  return height;
}

double Table::PaintRow(Sheet& sheet, const QStringList& row, double left, double top, double width,
                       bool striped, const QList<int>& bold_columns) const {
  const double height = RowHeight(sheet, row, width);
  QPainter& painter = sheet.Painter();
  if (striped) {
    painter.setPen(Qt::NoPen);
    painter.setBrush(kStripeColour);
    painter.drawRect(QRectF(left, top, width, height));
    painter.setBrush(Qt::NoBrush);
  }
  PaintCells(sheet, row, cell_font_, left, top, width, height, bold_columns);
  if (ruled) {
    QPen pen(QColor(200, 200, 200));
    pen.setWidthF(sheet.Mm(0.1));
    painter.setPen(pen);
    painter.drawLine(QPointF(left, top + height), QPointF(left + width, top + height));
  }
  return height;
}

std::vector<std::pair<int, int>> PaginateRows(const Sheet& sheet, const Table& table,
                                              const std::vector<QStringList>& rows, double width,
                                              double first_height, double later_height) {
  std::vector<std::pair<int, int>> pages;
  const double heading = table.HeadingHeight(sheet, width);
  int start = 0;
  const int count = static_cast<int>(rows.size());
  do {
    const double room = (pages.empty() ? first_height : later_height) - heading;
    double used = 0;
    int end = start;
    while (end < count) {
      const double h = table.RowHeight(sheet, rows[end], width);
      if (end > start && used + h > room) break;
      used += h;
      ++end;
    }
    pages.emplace_back(start, end);
    start = end;
  } while (start < count);
  return pages;
}

int PrintPagedTable(Sheet& sheet, const Table& table, const std::vector<QStringList>& rows,
                    const PageDecoration& decorate, const QRectF& body_first,
                    const QRectF& body_later) {
  if (!sheet.IsActive()) return 0;
  const auto pages = PaginateRows(sheet, table, rows, body_first.width(), body_first.height(),
                                  body_later.height());
  const int page_count = static_cast<int>(pages.size());
  for (int p = 0; p < page_count; ++p) {
    if (p > 0 && !sheet.NextPage()) return 0;
    decorate(sheet, p + 1, page_count);
    const QRectF& body = p == 0 ? body_first : body_later;
    double y = body.top() + table.PaintHeading(sheet, body.left(), body.top(), body.width());
    for (int r = pages[p].first; r < pages[p].second; ++r) {
      y += table.PaintRow(sheet, rows[r], body.left(), y, body.width(), (r - pages[p].first) % 2 == 1);
    }
  }
  return page_count;
}

}  // namespace sonivera::report
