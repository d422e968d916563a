#include "report/AudiogramReport.h"

#include <QFontMetricsF>
#include <algorithm>
#include <array>

#include "base/DetailLists.h"
#include "base/Messages.h"
#include "base/ProgramFolder.h"
#include "base/Settings.h"
#include "chart/AudiogramChart.h"
#include "questionnaire/Questionnaire.h"
#include "register/RecordDisplay.h"
#include "report/ReportHeader.h"
#include "report/ReportLayout.h"

namespace sonivera::report {

namespace {

QString Box(const QString& text) { return IsEmptyBox(text) ? QString() : text.trimmed(); }

QString Lines(const std::array<QString, kAddressLineCount>& address) {
  QStringList lines;
  for (const QString& line : address) {
    if (!line.trimmed().isEmpty()) lines << line.trimmed();
  }
  return lines.join(u'\n');
}

// The three columns of particulars: the person, the employment, the test.
std::array<std::vector<Field>, 3> Particulars(const AudiogramReportData& data) {
  const EntryFields& e = data.entries;
  std::array<std::vector<Field>, 3> columns;
  columns[0] = {
      {Msg(900), e.PatNo, true},
      {Msg(901), e.Surname, true},
      {Msg(902), e.Forenames, true},
      {Msg(907), Box(e.DOB)},
      {Msg(908), e.SexText()},
      {Msg(911), Lines(e.Address)},
  };
  columns[1] = {
      {Msg(903), e.Details[kComboPositionRank]},
      {Msg(904), e.Details[kComboDeptUnit]},
      {Msg(905), e.Details[kComboCompany]},
      {Msg(906), e.Details[kComboLocation]},
      {Msg(909), e.Details[kComboStatus]},
      {Msg(910), e.Details[kComboLeavingReason]},
      {Msg(912), Box(e.Dates[kBoxDateJoined])},
      {Msg(913), Box(e.Dates[kBoxDateLeft])},
      {Msg(914), e.ServiceLength},
      {QStringLiteral("F1:"), e.Details[kComboF1]},
      {QStringLiteral("F2:"), e.Details[kComboF2]},
      {QStringLiteral("F3:"), e.Details[kComboF3]},
  };
  columns[2] = {
      {Msg(917), Box(e.Dates[kBoxDateofTest]), true},
      {Msg(918), Box(e.Dates[kBoxTimeofTest])},
      {Msg(916), e.TestType},
      {Msg(919), Box(e.Dates[kBoxPreviousTest])},
      {Msg(920), e.Details[kComboExaminer]},
      {Msg(921), e.SerialNo},
      {Msg(922), Box(e.Dates[kBoxCalibrated])},
      {Msg(915), e.Categorisation, true},
      {Msg(923), Box(e.Dates[kBoxRecallDate])},
      {Msg(924), data.baseline},
  };
  return columns;
}

// The threshold boxes of one ear in chart order (125 Hz first).
QStringList EarRow(const std::array<QString, kThresholdBoxCount>& boxes, bool left) {
  QStringList row;
  for (int i = 0; i < chart::kPositionCount; ++i) row << QString();
  for (int item = 0; item < kThresholdBoxCount; ++item) {
    const ThresholdBox& box = ThresholdBoxAt(item);
    if (box.left != left) continue;
    // Grid columns 0-8 are 250 Hz .. 8 kHz without 750 Hz; 9 and 10 are 125
    // and 750 Hz.
    static constexpr std::array<int, 11> kPositionOfColumn = {1, 2, 4, 5, 6, 7, 8, 9, 10, 0, 3};
    row[kPositionOfColumn[box.grid_column]] = boxes[item].trimmed();
  }
  return row;
}

Table ThresholdTable() {
  std::vector<Column> columns = {{QString(), 24, Qt::AlignLeft}, {QString(), 14, Qt::AlignLeft}};
  const auto& labels = chart::FrequencyLabels();
  for (int p = 0; p < chart::kPositionCount; ++p) {
    const QString heading = p == chart::k1_5kHz ? Msg(928) : labels[p];
    columns.push_back({heading, p + 1 < chart::kPositionCount ? 13.4 : 0, Qt::AlignHCenter});
  }
  Table table(std::move(columns), ReportFont(8), ReportFont(7.5, true));
  table.padding_mm = 1.0;
  return table;
}

std::vector<QStringList> ThresholdRows(const EntryFields& e) {
  const QString current = Msg(929), previous = Msg(927);
  return {QStringList{Msg(925), current} + EarRow(e.Thresholds, true),
          QStringList{QString(), previous} + EarRow(e.Previous, true),
          QStringList{Msg(926), current} + EarRow(e.Thresholds, false),
          QStringList{QString(), previous} + EarRow(e.Previous, false)};
}

// One line of the questionnaire block.
struct QuestionLine {
  QString number;
  QString question;
  QString answer;     // "Yes" / "No" in the answer column
  QString free_text;  // a written answer, under the question
};

std::vector<QuestionLine> QuestionLines(const AudiogramReportData& data, const QStringList& texts) {
  std::vector<QuestionLine> lines;
  const EntryFields& e = data.entries;
  const bool answered = std::any_of(e.QuestionCodes.begin(), e.QuestionCodes.end(),
                                    [](int code) { return code != kNoAnswer; });
  if (!answered) return lines;
  for (int i = 0; i < kQuestionCount; ++i) {
    const QString question = i < texts.size() ? texts[i].trimmed() : QString();
    const int code = e.QuestionCodes[i];
    if (question.isEmpty() && code == kNoAnswer) continue;
    QuestionLine line{QString::number(i + 1) + u'.', question, QString(), QString()};
    if (code == kAnswerText) {
      line.free_text = e.AnswerTexts[i].trimmed();
    } else {
      line.answer = AnswerText(code, e.AnswerTexts[i]);
    }
    lines.push_back(line);
  }
  return lines;
}

// How the questionnaire block is set: the font, and whether long questions
// wrap or are shortened to one line (only when nothing else fits).
struct QuestionStyle {
  QFont font;
  QFont bold;
  bool wrap = true;
};

// Where one question line goes in a column: the number, the question, the
// answer beside it (Yes, No or a short written answer) and a longer written
// answer on the lines under the question.
struct QuestionPlacement {
  double number_width = 0;
  double answer_width = 0;
  QString question;  // as drawn (shortened in the last-resort style)
  QString beside;    // the answer drawn beside the question
  QString under;     // the written answer drawn under it
  double question_height = 0;
  double height = 0;
};

QuestionPlacement Place(const Sheet& sheet, const QuestionStyle& style, const QuestionLine& line,
                        double width) {
  QuestionPlacement p;
  p.number_width = TextWidth(sheet, style.font, QStringLiteral("50.")) + sheet.Mm(1.2);
  const double gap = sheet.Mm(2);
  const double yes_no = std::max(TextWidth(sheet, style.bold, AnswerText(kAnswerYes, {})),
                                 TextWidth(sheet, style.bold, AnswerText(kAnswerNo, {})));
  // A written answer sits beside the question when it is short; in the
  // last-resort style always, shortened to fit.
  const double beside_limit = width * (style.wrap ? 0.3 : 0.4);
  const QFontMetricsF bold(style.bold, sheet.Device());
  p.beside = line.answer;
  if (!line.free_text.isEmpty()) {
    if (!style.wrap) {
      p.beside = bold.elidedText(line.free_text, Qt::ElideRight, beside_limit);
    } else if (bold.horizontalAdvance(line.free_text) <= beside_limit) {
      p.beside = line.free_text;
    } else {
      p.under = line.free_text;
    }
  }
  p.answer_width = std::max(yes_no, bold.horizontalAdvance(p.beside)) + gap;
  const double text_width = width - p.number_width - p.answer_width;
  const double line_height = LineHeight(sheet, style.font);
  if (style.wrap) {
    p.question = line.question;
    p.question_height = TextHeight(sheet, style.font, line.question, text_width);
  } else {
    p.question = QFontMetricsF(style.font, sheet.Device())
                     .elidedText(line.question, Qt::ElideRight, text_width);
    p.question_height = line_height;
  }
  p.height = p.question_height;
  if (!p.under.isEmpty()) {
    p.height += TextHeight(sheet, style.bold, p.under, width - p.number_width);
  }
  p.height += sheet.Mm(0.5);
  return p;
}

double ColumnHeight(const Sheet& sheet, const QuestionStyle& style,
                    const std::vector<QuestionLine>& lines, std::size_t from, std::size_t to,
                    double width) {
  double h = 0;
  for (std::size_t i = from; i < to; ++i) h += Place(sheet, style, lines[i], width).height;
  return h;
}

void PaintQuestionColumn(Sheet& sheet, const QuestionStyle& style,
                         const std::vector<QuestionLine>& lines, std::size_t from, std::size_t to,
                         const QRectF& area) {
  double y = area.top();
  const int wrap = style.wrap ? static_cast<int>(Qt::TextWordWrap) : 0;
  for (std::size_t i = from; i < to; ++i) {
    const QuestionPlacement p = Place(sheet, style, lines[i], area.width());
    const double text_width = area.width() - p.number_width - p.answer_width;
    DrawText(sheet, style.font, QRectF(area.left(), y, p.number_width - sheet.Mm(1), p.height),
             lines[i].number, Qt::AlignRight | Qt::AlignTop, kMuted);
    DrawText(sheet, style.font,
             QRectF(area.left() + p.number_width, y, text_width, p.question_height), p.question,
             Qt::AlignLeft | Qt::AlignTop | wrap);
    DrawText(sheet, style.bold,
             QRectF(area.right() - p.answer_width, y, p.answer_width, p.question_height), p.beside,
             Qt::AlignRight | Qt::AlignTop);
    if (!p.under.isEmpty()) {
      DrawText(sheet, style.bold,
               QRectF(area.left() + p.number_width, y + p.question_height,
                      area.width() - p.number_width, p.height - p.question_height),
               p.under, Qt::AlignLeft | Qt::AlignTop | Qt::TextWordWrap);
    }
    y += p.height;
  }
}

// The questionnaire's styles, largest first; the last shortens what does not
// fit on one line, so that every question keeps one line.
std::vector<QuestionStyle> QuestionStyles() {
  std::vector<QuestionStyle> styles;
  for (double points : {7.5, 7.0, 6.5, 6.0}) {
    styles.push_back({ReportFont(points), ReportFont(points, true), true});
  }
  for (double points : {6.5, 6.0, 5.5}) {
    styles.push_back({NarrowFont(points), NarrowFont(points, true), true});
  }
  styles.push_back({NarrowFont(5.5), NarrowFont(5.5, true), false});
  return styles;
}

// The questionnaire in two columns, the first half of the questions down
// the left.
struct QuestionColumns {
  double gutter;
  double column_width;
  std::size_t half;
};
QuestionColumns Columns(const Sheet& sheet, const std::vector<QuestionLine>& lines, double width) {
  const double gutter = sheet.Mm(6);
  return {gutter, (width - gutter) / 2, (lines.size() + 1) / 2};
}

double QuestionnaireHeight(const Sheet& sheet, const QuestionStyle& style,
                           const std::vector<QuestionLine>& lines, double width) {
  const QuestionColumns c = Columns(sheet, lines, width);
  return std::max(ColumnHeight(sheet, style, lines, 0, c.half, c.column_width),
                  ColumnHeight(sheet, style, lines, c.half, lines.size(), c.column_width));
}

// Draws the questionnaire in the largest style that fits the area; returns
// the height used.
double PaintQuestionnaire(Sheet& sheet, const std::vector<QuestionLine>& lines, const QRectF& area) {
  const QuestionColumns c = Columns(sheet, lines, area.width());
  const auto styles = QuestionStyles();
  const QuestionStyle* chosen = &styles.back();
  for (const QuestionStyle& style : styles) {
    if (QuestionnaireHeight(sheet, style, lines, area.width()) <= area.height()) {
      chosen = &style;
      break;
    }
  }
  PaintQuestionColumn(sheet, *chosen, lines, 0, c.half,
                      QRectF(area.left(), area.top(), c.column_width, area.height()));
  PaintQuestionColumn(sheet, *chosen, lines, c.half, lines.size(),
                      QRectF(area.left() + c.column_width + c.gutter, area.top(), c.column_width,
                             area.height()));
  QPen pen(QColor(200, 200, 200));
  pen.setWidthF(sheet.Mm(0.2));
  sheet.Painter().setPen(pen);
  const double x = area.left() + c.column_width + c.gutter / 2;
  const double bottom =
      area.top() + std::min(area.height(), QuestionnaireHeight(sheet, *chosen, lines, area.width()));
  sheet.Painter().drawLine(QPointF(x, area.top()), QPointF(x, bottom));
  return bottom - area.top();
}

// The notes in the largest type that fits the height; a text longer than
// even the smallest type holds is cut at a word and ends with an ellipsis.
struct NotesText {
  QFont font;
  QString text;
  double height;
};
NotesText FitNotes(const Sheet& sheet, const QString& notes, double width, double limit) {
  NotesText fitted{ReportFont(8), notes.trimmed(), 0};
  for (const QFont& font : {ReportFont(8), ReportFont(7), NarrowFont(7), NarrowFont(6)}) {
    fitted.font = font;
    fitted.height = TextHeight(sheet, font, fitted.text, width);
    if (fitted.height <= limit) return fitted;
  }
  QStringList words = fitted.text.split(u' ');
  while (words.size() > 1 && fitted.height > limit) {
    words.removeLast();
    fitted.text = words.join(u' ') + QStringLiteral(" \u2026");
    fitted.height = TextHeight(sheet, fitted.font, fitted.text, width);
  }
  return fitted;
}

QString HeadingText(const QString& caption) {
  QString text = caption.trimmed();
  if (text.endsWith(u':')) text.chop(1);
  return text;
}

QFont ChartTitleFont() { return ReportFont(9, true); }
double ChartTitleHeight(const Sheet& sheet) {
  return LineHeight(sheet, ChartTitleFont()) + sheet.Mm(1);
}

// One ear's chart under its title, in the ear's colour.
void PaintChart(Sheet& sheet, const chart::AudiogramChart& chart, const QString& title,
                const QColor& colour, const QRectF& area) {
  const QFont font = ChartTitleFont();
  const double title_height = ChartTitleHeight(sheet);
  DrawText(sheet, font, QRectF(area.left(), area.top(), area.width(), title_height), title,
           Qt::AlignHCenter | Qt::AlignTop, colour);
  const QRectF target(area.left(), area.top() + title_height, area.width(),
                      area.height() - title_height);
  QPainter& painter = sheet.Painter();
  painter.save();
  chart.Paint(painter, target, chart::ChartMedium::Print);
  painter.restore();
}

}  // namespace

AudiogramReportSetup ReportSetupFor(const ProgramFolder& folder, const DetailLists& lists,
                                    const ChartOptions& chart_options,
                                    const chart::ChartFiles& chart_files, ErrorReporter& reporter) {
  AudiogramReportSetup setup;
  setup.questions = ReadQuestionFile(folder.File(QStringLiteral("questions.txt"))).texts;
  setup.print_heading = lists.PrintHeading;
  setup.chart_options = &chart_options;
  setup.chart_files = &chart_files;
  setup.reporter = &reporter;
  return setup;
}

QString AnswerText(int code, const QString& text) {
  switch (code) {
    case kAnswerYes:
    case kAnswerNo:
      return ResponseText(code);
    case kAnswerText:
      return text;
    default:
      return QString();
  }
}

QString AudiogramReportTitle(const QString& pat_no) {
  return QStringLiteral("Sonivera ") + pat_no;
}

std::optional<AudiogramReportData> LoadAudiogramReport(db::Connection& connection,
                                                        const QString& pat_no, const TestKey& key,
                                                        const std::optional<TestKey>& previous) {
  AudiogramReportData data;
  data.pat_no = pat_no;
  data.key = key;
  if (!LoadPatientEntries(connection, pat_no, data.entries)) return std::nullopt;
  AudiogramStore store(connection);
  if (!store.TestExists(pat_no, key)) return std::nullopt;
  LoadTestEntries(connection, pat_no, key, data.entries);
  // The report goes to where the employee lives now: the latest address.
  data.entries.Address = LatestAddress(connection, pat_no);
  if (previous) data.entries.Previous = LoadThresholds(connection, pat_no, *previous);
  data.baseline = BaselineText(connection, pat_no);
  return data;
}

namespace {

// The details: three columns of particulars from top; returns their height.
double PaintDetails(Sheet& sheet, const AudiogramReportData& data, double top) {
  const QRectF body = sheet.Body();
  const FieldStyle fields{ReportFont(7), ReportFont(7.5), ReportFont(7.5, true)};
  const double gutter = sheet.Mm(5);
  const double column_width = (body.width() - 2 * gutter) / 3;
  double height = 0;
  const auto particulars = Particulars(data);
  for (int c = 0; c < 3; ++c) {
    const QRectF area(body.left() + c * (column_width + gutter), top, column_width,
                      body.bottom() - top);
    height = std::max(height, PaintFieldList(sheet, fields, particulars[c], area));
  }
  return height;
}

// The two charts side by side, each under its title, drawn by the chart
// painter for print (CheckBandPrint decides the bands).
void PaintCharts(Sheet& sheet, const AudiogramReportData& data, const AudiogramReportSetup& setup,
                 const QRectF& area) {
  AudiogramGrid grid;
  LoadGrid(data.entries, grid);
  CurrentTestView view;
  view.DOB = data.entries.DOB;
  view.DateofTest = data.entries.Dates[kBoxDateofTest];
  view.sex = data.entries.OptionMale     ? Sex::Male
             : data.entries.OptionFemale ? Sex::Female
                                         : Sex::None;
  const chart::ChartPatient patient = chart::PatientFromView(view);
  const double gap = sheet.Mm(6);
  const double width = (area.width() - gap) / 2;
  for (chart::Ear ear : {chart::Ear::Left, chart::Ear::Right}) {
    chart::AudiogramChart chart(ear);
    if (setup.chart_options != nullptr && setup.chart_files != nullptr &&
        setup.reporter != nullptr) {
      chart.InitGraph(chart::EarFromGrid(grid, ear), patient, *setup.chart_options,
                      *setup.chart_files, *setup.reporter);
    }
    const bool left = ear == chart::Ear::Left;
    PaintChart(sheet, chart, Msg(left ? 925 : 926),
               chart::AudiogramChart::PenColour(left ? 0 : 2),
               QRectF(area.left() + (left ? 0 : width + gap), area.top(), width, area.height()));
  }
}

}  // namespace

void PaintAudiogramPage(Sheet& sheet, const AudiogramReportData& data,
                        const AudiogramReportSetup& setup) {
  const QRectF body = sheet.Body();
  const double gap = sheet.Mm(3);
  const double after_heading = sheet.Mm(1.5);
  const double heading = SectionHeadingHeight(sheet) + after_heading;
  const auto section = [&](double top, const QString& title) {
    SectionHeading(sheet, QRectF(body.left(), top, body.width(), 0), title);
    return heading;
  };
  double y = PaintReportHeader(sheet, {Msg(932), setup.print_heading, QStringLiteral("Veltrona")});
  y += section(y, Msg(130));
  y += PaintDetails(sheet, data, y) + gap;

  // From the foot up: the footer, the notes above it. What is left holds the
  // charts, the thresholds and the questionnaire; the charts give up height
  // (down to a floor) when the questionnaire needs it.
  const QString who = QStringLiteral("%1 %2  \u00b7  %3")
                          .arg(data.entries.Surname.trimmed(), data.entries.Forenames.trimmed(),
                               data.pat_no);
  const double footer_top = PaintReportFooter(sheet, setup.printed, who);
  const double notes_width = body.width() - sheet.Mm(3);
  const NotesText notes = FitNotes(sheet, data.entries.Notes, notes_width, sheet.Mm(30));
  const double notes_top = footer_top - gap - notes.height - heading;

  const Table thresholds = ThresholdTable();
  const auto rows = ThresholdRows(data.entries);
  double table_height = thresholds.HeadingHeight(sheet, body.width());
  for (const auto& row : rows) table_height += thresholds.RowHeight(sheet, row, body.width());
  const auto questions = QuestionLines(data, setup.questions);
  const double chart_title = ChartTitleHeight(sheet);
  const double fixed = heading + chart_title + after_heading + table_height + gap +
                       (questions.empty() ? 0.0 : heading + gap);
  // The height the questionnaire wants in its largest type, and the least it
  // can do with in its last-resort type; the charts go down to 46 mm for the
  // first and, on a crowded page, to 36 mm for the second.
  const auto styles = QuestionStyles();
  const auto questionnaire = [&](const QuestionStyle& style) {
    return questions.empty() ? 0.0 : QuestionnaireHeight(sheet, style, questions, body.width());
  };
  const double room = notes_top - y - fixed;
  const double floor = std::clamp(room - questionnaire(styles.back()), sheet.Mm(36), sheet.Mm(46));
  const double chart_height = std::clamp(room - questionnaire(styles.front()), floor, sheet.Mm(64));

  // Audiograms: the two charts, the four threshold rows under them.
  y += section(y, Msg(131));
  PaintCharts(sheet, data, setup, QRectF(body.left(), y, body.width(), chart_title + chart_height));
  y += chart_title + chart_height + after_heading;
  y += thresholds.PaintHeading(sheet, body.left(), y, body.width());
  for (std::size_t r = 0; r < rows.size(); ++r) {
    y += thresholds.PaintRow(sheet, rows[r], body.left(), y, body.width(), r >= 2, {0});
  }
  y += gap;

  if (!questions.empty()) {
    y += section(y, Msg(132));
    y += PaintQuestionnaire(sheet, questions,
                            QRectF(body.left(), y, body.width(), notes_top - gap - y)) +
         gap;
  }
  // The notes follow what is above them; they never pass the footer.
  const double notes_y = std::min(y, notes_top);
  section(notes_y, HeadingText(Msg(930)));
  DrawText(sheet, notes.font,
           QRectF(body.left() + sheet.Mm(1.5), notes_y + heading, notes_width, notes.height),
           notes.text);
}

}  // namespace sonivera::report
