#pragma once

#include <QColor>
#include <QFont>
#include <QPageLayout>
#include <QPagedPaintDevice>
#include <QPainter>
#include <QRectF>
#include <QString>
#include <QStringList>
#include <functional>
#include <vector>

namespace sonivera::report {

// The building blocks every printed report is made of: an A4 sheet measured
// in millimetres, fonts, wrapped text, section headings, caption/value lists
// and tables that run over as many pages as their rows need. Everything is
// drawn in device units, so the same code serves a printer, a PDF file and
// the preview.

// The page set-up of our reports: A4 in the given orientation, with even
// margins. Both report forms are laid out for A4. False when the device
// (a printer) does not take A4 paper.
constexpr double kMarginMm = 12.0;
bool SetUpA4(QPagedPaintDevice& device, QPageLayout::Orientation orientation);

// The report typeface at a size in points.
QFont ReportFont(double points, bool bold = false);
// A narrower face for dense blocks (questions, table cells).
QFont NarrowFont(double points, bool bold = false);

// Shades used by every report.
inline const QColor kInk{0, 0, 0};
inline const QColor kMuted{90, 90, 90};
inline const QColor kRuleColour{120, 120, 120};
inline const QColor kBandColour{228, 232, 238};
inline const QColor kStripeColour{244, 246, 249};

// One painter over the pages of a paged device. The origin is the top left
// of the area inside the margins; Body() is that area in device units.
class Sheet {
 public:
  explicit Sheet(QPagedPaintDevice& device);
  ~Sheet();
  Sheet(const Sheet&) = delete;
  Sheet& operator=(const Sheet&) = delete;

  // False when the device could not be painted on (a printer that failed to
  // start, a PDF file that cannot be written).
  bool IsActive() const { return painter_.isActive(); }
  QPainter& Painter() { return painter_; }
  QPaintDevice* Device() const { return device_; }
  double Mm(double mm) const { return mm * dots_per_mm_; }
  QRectF Body() const { return body_; }
  // Starts the next page; false when the device refused it.
  bool NextPage();
  int PageNumber() const { return page_; }
  // Ends the painting (writes the file); false when the device failed.
  bool Finish();

 private:
  QPagedPaintDevice* device_;
  QPainter painter_;
  double dots_per_mm_ = 1.0;
  QRectF body_;
  int page_ = 1;
};

// Text: height of a text wrapped to width, and drawing it wrapped.
double TextHeight(const Sheet& sheet, const QFont& font, const QString& text, double width);
double LineHeight(const Sheet& sheet, const QFont& font);
double TextWidth(const Sheet& sheet, const QFont& font, const QString& text);
void DrawText(Sheet& sheet, const QFont& font, const QRectF& rect, const QString& text,
              int flags = Qt::AlignLeft | Qt::AlignTop | Qt::TextWordWrap,
              const QColor& colour = kInk);

// A horizontal rule across the body at y, thickness in millimetres.
void Rule(Sheet& sheet, double y, double thickness_mm = 0.3, const QColor& colour = kRuleColour);

// A section heading: the title in bold on a shaded band across width.
// Returns the height taken.
double SectionHeading(Sheet& sheet, const QRectF& where, const QString& title);
double SectionHeadingHeight(const Sheet& sheet);

// A list of captions and values, the captions in a column of their own width
// and each value wrapped beside its caption.
struct Field {
  QString caption;
  QString value;
  bool emphasised = false;  // the value in bold (names, the result)
};
struct FieldStyle {
  QFont caption;
  QFont value;
  QFont emphasis;
  double gap_mm = 1.5;   // between caption and value
  double leading_mm = 0.4;  // between rows
};
double CaptionWidth(const Sheet& sheet, const FieldStyle& style, const std::vector<Field>& fields);
double FieldListHeight(const Sheet& sheet, const FieldStyle& style,
                       const std::vector<Field>& fields, double width);
// Draws the list from the top of area; returns the height used.
double PaintFieldList(Sheet& sheet, const FieldStyle& style, const std::vector<Field>& fields,
                      const QRectF& area);

// A table: fixed column widths in millimetres (the last may be 0 to take
// what is left), a heading row, and rows whose cells wrap within their
// column so that no text is cut.
struct Column {
  QString heading;
  double width_mm = 0;
  Qt::Alignment align = Qt::AlignLeft;
};
class Table {
 public:
  Table(std::vector<Column> columns, QFont cell_font, QFont heading_font);

  // Column widths in device units for a table of the given width.
  std::vector<double> Widths(const Sheet& sheet, double width) const;
  double HeadingHeight(const Sheet& sheet, double width) const;
  double RowHeight(const Sheet& sheet, const QStringList& row, double width) const;
  // Draws the heading row or a row at top; returns its height.
  double PaintHeading(Sheet& sheet, double left, double top, double width) const;
  double PaintRow(Sheet& sheet, const QStringList& row, double left, double top, double width,
                  bool striped = false, const QList<int>& bold_columns = {}) const;

  double padding_mm = 1.0;
  bool ruled = true;  // thin lines between rows

 private:
  double CellHeight(const Sheet& sheet, const QFont& font, const QString& text, double width) const;
  double PaintCells(Sheet& sheet, const QStringList& cells, const QFont& font, double left,
                    double top, double width, double height, const QList<int>& bold_columns) const;

  std::vector<Column> columns_;
  QFont cell_font_;
  QFont heading_font_;
};

// A table printed over as many pages as its rows need. Pages are worked out
// first, so each page knows how many there are. decorate(sheet, page, pages)
// draws a page's header and footer around the table's area (page from 1).
using PageDecoration = std::function<void(Sheet&, int page, int pages)>;
// Splits rows into pages: the rows of each page, given the table's height on
// the first and on later pages. Each page holds at least one row.
std::vector<std::pair<int, int>> PaginateRows(const Sheet& sheet, const Table& table,
                                              const std::vector<QStringList>& rows, double width,
                                              double first_height, double later_height);
// Prints the table, its heading row on every page, in body_first on the
// first page and body_later on the others; returns the number of pages, or 0
// when the device failed.
int PrintPagedTable(Sheet& sheet, const Table& table, const std::vector<QStringList>& rows,
                    const PageDecoration& decorate, const QRectF& body_first,
                    const QRectF& body_later);

}  // namespace sonivera::report
