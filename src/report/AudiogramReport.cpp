#include "report/AudiogramReport.h"

#include <QFontMetricsF>
#include <algorithm>
#include <array>

#include "base/Messages.h"
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
      {Msg(900), e.TextField0, true},
      {Msg(901), e.Surname, true},
      {Msg(902), e.Forenames, true},
      {Msg(907), Box(e.MBoxDOB)},
      {Msg(908), e.SexText()},
      {Msg(911), Lines(e.Address)},
  };
  columns[1] = {
      {Msg(903), e.ComboDetails[kComboPositionRank]},
      {Msg(904), e.ComboDetails[kComboDeptUnit]},
      {Msg(905), e.ComboDetails[kComboCompany]},
      {Msg(906), e.ComboDetails[kComboLocation]},
      {Msg(909), e.ComboDetails[kComboStatus]},
      {Msg(910), e.ComboDetails[kComboLeavingReason]},
      {Msg(912), Box(e.MBoxDate[kBoxDateJoined])},
      {Msg(913), Box(e.MBoxDate[kBoxDateLeft])},
      {Msg(914), e.ServiceLength},
      {QStringLiteral("F1:"), e.ComboDetails[kComboF1]},
      {QStringLiteral("F2:"), e.ComboDetails[kComboF2]},
      {QStringLiteral("F3:"), e.ComboDetails[kComboF3]},
  };
  columns[2] = {
      {Msg(917), Box(e.MBoxDate[kBoxDateofTest]), true},
      {Msg(918), Box(e.MBoxDate[kBoxTimeofTest])},
      {Msg(916), e.TestType},
      {Msg(919), Box(e.MBoxDate[kBoxPreviousTest])},
      {Msg(920), e.ComboDetails[kComboExaminer]},
      {Msg(921), e.SerialNo},
      {Msg(922), Box(e.MBoxDate[kBoxCalibrated])},
      {Msg(915), e.Categorisation, true},
      {Msg(923), Box(e.MBoxDate[kBoxRecallDate])},
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
  return {QStringList{Msg(925), current} + EarRow(e.Text1, true),
          QStringList{QString(), previous} + EarRow(e.Previous, true),
          QStringList{Msg(926), current} + EarRow(e.Text1, false),
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

struct QuestionGeometry {
  double number_width;
  double answer_width;
};

QuestionGeometry Geometry(const Sheet& sheet, const QuestionStyle& style) {
  return {TextWidth(sheet, style.font, QStringLiteral("50.")) + sheet.Mm(1.2),
          std::max(TextWidth(sheet, style.bold, AnswerText(kAnswerYes, {})),
                   TextWidth(sheet, style.bold, AnswerText(kAnswerNo, {}))) +
              sheet.Mm(2)};
}

double QuestionHeight(const Sheet& sheet, const QuestionStyle& style, const QuestionLine& line,
                      double width) {
  const QuestionGeometry g = Geometry(sheet, style);
  const double text_width = width - g.number_width - g.answer_width;
  const double line_height = LineHeight(sheet, style.font);
  double h = style.wrap ? TextHeight(sheet, style.font, line.question, text_width) : line_height;
  if (!line.free_text.isEmpty()) {
    h += style.wrap ? TextHeight(sheet, style.bold, line.free_text, width - g.number_width)
                    : line_height;
  }
  return h + sheet.Mm(0.5);
}

double ColumnHeight(const Sheet& sheet, const QuestionStyle& style,
                    const std::vector<QuestionLine>& lines, std::size_t from, std::size_t to,
                    double width) {
  double h = 0;
  for (std::size_t i = from; i < to; ++i) h += QuestionHeight(sheet, style, lines[i], width);
  return h;
}

void PaintQuestionColumn(Sheet& sheet, const QuestionStyle& style,
                         const std::vector<QuestionLine>& lines, std::size_t from, std::size_t to,
                         const QRectF& area) {
  const QuestionGeometry g = Geometry(sheet, style);
  const double text_width = area.width() - g.number_width - g.answer_width;
  const QFontMetricsF metrics(style.font, sheet.Device());
  const QFontMetricsF bold_metrics(style.bold, sheet.Device());
  double y = area.top();
  for (std::size_t i = from; i < to; ++i) {
    const QuestionLine& line = lines[i];
    const double h = QuestionHeight(sheet, style, line, area.width());
    const int wrap = style.wrap ? static_cast<int>(Qt::TextWordWrap) : 0;
    DrawText(sheet, style.font, QRectF(area.left(), y, g.number_width - sheet.Mm(1), h),
             line.number, Qt::AlignRight | Qt::AlignTop, kMuted);
    const QString question =
        style.wrap ? line.question : metrics.elidedText(line.question, Qt::ElideRight, text_width);
    const double question_height =
        style.wrap ? TextHeight(sheet, style.font, line.question, text_width)
                   : LineHeight(sheet, style.font);
    DrawText(sheet, style.font,
             QRectF(area.left() + g.number_width, y, text_width, question_height), question,
             Qt::AlignLeft | Qt::AlignTop | wrap);
    DrawText(sheet, style.bold,
             QRectF(area.right() - g.answer_width, y, g.answer_width, question_height),
             line.answer, Qt::AlignRight | Qt::AlignTop);
    if (!line.free_text.isEmpty()) {
      const double free_width = area.width() - g.number_width;
      const QString text = style.wrap
                               ? line.free_text
                               : bold_metrics.elidedText(line.free_text, Qt::ElideRight, free_width);
      DrawText(sheet, style.bold,
               QRectF(area.left() + g.number_width, y + question_height, free_width,
                      h - question_height),
               text, Qt::AlignLeft | Qt::AlignTop | wrap);
    }
    y += h;
  }
}

// The questionnaire in two columns, in the largest type that fits height.
void PaintQuestionnaire(Sheet& sheet, const std::vector<QuestionLine>& lines, const QRectF& area) {
  const double gutter = sheet.Mm(6);
  const double column_width = (area.width() - gutter) / 2;
  const std::size_t half = (lines.size() + 1) / 2;
  std::vector<QuestionStyle> styles;
  for (double points : {7.5, 7.0, 6.5, 6.0}) {
    styles.push_back({ReportFont(points), ReportFont(points, true), true});
  }
  for (double points : {6.5, 6.0, 5.5}) {
    styles.push_back({NarrowFont(points), NarrowFont(points, true), true});
  }
  styles.push_back({NarrowFont(5.5), NarrowFont(5.5, true), false});
  const QuestionStyle* chosen = &styles.back();
  for (const QuestionStyle& style : styles) {
    const double h = std::max(ColumnHeight(sheet, style, lines, 0, half, column_width),
                              ColumnHeight(sheet, style, lines, half, lines.size(), column_width));
    if (h <= area.height()) {
      chosen = &style;
      break;
    }
  }
  PaintQuestionColumn(sheet, *chosen, lines, 0, half,
                      QRectF(area.left(), area.top(), column_width, area.height()));
  PaintQuestionColumn(sheet, *chosen, lines, half, lines.size(),
                      QRectF(area.left() + column_width + gutter, area.top(), column_width,
                             area.height()));
  QPen pen(QColor(200, 200, 200));
  pen.setWidthF(sheet.Mm(0.2));
  sheet.Painter().setPen(pen);
  const double x = area.left() + column_width + gutter / 2;
  sheet.Painter().drawLine(QPointF(x, area.top()), QPointF(x, area.bottom()));
}

QString HeadingText(const QString& caption) {
  QString text = caption.trimmed();
  if (text.endsWith(u':')) text.chop(1);
  return text;
}

void PaintChart(Sheet& sheet, const chart::AudiogramChart& chart, const QString& title,
                const QColor& colour, const QRectF& area) {
  const QFont font = ReportFont(9, true);
  const double title_height = LineHeight(sheet, font) + sheet.Mm(1);
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

void PaintAudiogramPage(Sheet& sheet, const AudiogramReportData& data,
                        const AudiogramReportSetup& setup) {
  const QRectF body = sheet.Body();
  const double gap = sheet.Mm(3);
  double y = PaintReportHeader(sheet, {Msg(932), setup.print_heading, QStringLiteral("Veltrona")});

  // Details: three columns of particulars.
  y += SectionHeading(sheet, QRectF(body.left(), y, body.width(), 0), Msg(130)) + sheet.Mm(1.5);
  const FieldStyle fields{ReportFont(7), ReportFont(7.5), ReportFont(7.5, true)};
  const double gutter = sheet.Mm(5);
  const double column_width = (body.width() - 2 * gutter) / 3;
  double details_height = 0;
  const auto particulars = Particulars(data);
  for (int c = 0; c < 3; ++c) {
    const QRectF area(body.left() + c * (column_width + gutter), y, column_width,
                      body.bottom() - y);
    details_height = std::max(details_height, PaintFieldList(sheet, fields, particulars[c], area));
  }
  y += details_height + gap;

  // Audiograms: the two charts side by side, the thresholds under them.
  y += SectionHeading(sheet, QRectF(body.left(), y, body.width(), 0), Msg(131)) + sheet.Mm(1.5);
  AudiogramGrid grid;
  LoadGrid(data.entries, grid);
  CurrentTestView view;
  view.DOB = data.entries.MBoxDOB;
  view.DateofTest = data.entries.MBoxDate[kBoxDateofTest];
  view.sex = data.entries.OptionMale     ? Sex::Male
             : data.entries.OptionFemale ? Sex::Female
                                         : Sex::None;
  const chart::ChartPatient patient = chart::PatientFromView(view);
  const double chart_gap = sheet.Mm(6);
  const double chart_width = (body.width() - chart_gap) / 2;
  const double chart_height = sheet.Mm(64);
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
               QRectF(body.left() + (left ? 0 : chart_width + chart_gap), y, chart_width,
                      chart_height));
  }
  y += chart_height + sheet.Mm(1.5);
  const Table thresholds = ThresholdTable();
  y += thresholds.PaintHeading(sheet, body.left(), y, body.width());
  const auto rows = ThresholdRows(data.entries);
  for (std::size_t r = 0; r < rows.size(); ++r) {
    y += thresholds.PaintRow(sheet, rows[r], body.left(), y, body.width(), r >= 2, {0});
  }
  y += gap;

  // The footer, then the notes above it, then the questionnaire in between.
  const QString who = QStringLiteral("%1 %2  \u00b7  %3")
                          .arg(data.entries.Surname.trimmed(), data.entries.Forenames.trimmed(),
                               data.pat_no);
  const double footer_top = PaintReportFooter(sheet, setup.printed, who);
  const QFont notes_font = ReportFont(8);
  const double heading = SectionHeadingHeight(sheet);
  const double notes_text = std::min(TextHeight(sheet, notes_font, data.entries.TextNotes.trimmed(),
                                                body.width() - sheet.Mm(3)),
                                     sheet.Mm(50));
  const double notes_top = footer_top - gap - notes_text - heading - sheet.Mm(1.5);

  const auto questions = QuestionLines(data, setup.questions);
  if (!questions.empty()) {
    y += SectionHeading(sheet, QRectF(body.left(), y, body.width(), 0), Msg(132)) + sheet.Mm(1.5);
    PaintQuestionnaire(sheet, questions, QRectF(body.left(), y, body.width(), notes_top - gap - y));
  }
  double ny = notes_top;
  ny += SectionHeading(sheet, QRectF(body.left(), ny, body.width(), 0), HeadingText(Msg(930))) +
        sheet.Mm(1.5);
  DrawText(sheet, notes_font,
           QRectF(body.left() + sheet.Mm(1.5), ny, body.width() - sheet.Mm(3), notes_text),
           data.entries.TextNotes.trimmed());
}

}  // namespace sonivera::report
