#include "report/VisionReport.h"

#include <QPagedPaintDevice>

#include "interchange/CsvLayout.h"
#include "register/EntryFields.h"
#include "register/RecordDisplay.h"
#include "report/ReportHeader.h"
#include "report/ReportLayout.h"
#include "vision/VisionResults.h"
#include "vision/VisionSlides.h"

namespace sonivera::report {

namespace {

QString YesNoText(bool value) { return value ? QStringLiteral("Yes") : QStringLiteral("No"); }

// The label of lamp column PR85 ... PLN45: LabelRT85 ... LabelLN45.
QString LampLabel(int lamp) {
  QString name = vision::LampName(lamp);
  if (!vision::LampIsNasal(lamp)) name.insert(1, u'T');
  return QStringLiteral("Label") + name;
}

// The binocular answers: stored 1 "4 Cubes", 2 "2 Cubes", 3 "3 Cubes".
QString BinocularLabel(const QString& distance, int value) {
  static const char* const cubes[] = {"", "4", "2", "3"};
  return QStringLiteral("Label%1%2Binoc").arg(distance, QLatin1String(cubes[value]));
}

// The acuity label families of each distance: both eyes, right, left.
const QStringList kFarEyes = {"LabelFBE", "LabelFR", "LabelFL"};
const QStringList kNearEyes = {"LabelNBE", "LabelNR", "LabelNL"};
const QStringList kIntEyes = {"LabelINTBE", "LabelINTRE", "LabelINTLE"};

// Drawing in millimetres from the body's top left; each answer position a
// label that is framed, or black with white text when highlighted.
class FormPainter {
 public:
  FormPainter(Sheet& sheet, const VisionReportData& data) : sheet_(sheet), data_(data) {}

  QRectF Rect(double x, double y, double w, double h) const {
    const QRectF body = sheet_.Body();
    return QRectF(body.left() + sheet_.Mm(x), y + sheet_.Mm(0), sheet_.Mm(w), h);
  }

  // An answer position at (x, top) of width w mm and height h device units.
  void Box(const QString& name, const QString& caption, double x, double top, double w, double h,
           const QFont& font) {
    const QRectF r = Rect(x, top, w, h).adjusted(sheet_.Mm(0.25), sheet_.Mm(0.25),
                                                 -sheet_.Mm(0.25), -sheet_.Mm(0.25));
    QPainter& p = sheet_.Painter();
    labels_.drawn.insert(name);
    const bool lit = data_.highlighted.count(name) > 0;
    p.save();
    if (lit) {
      p.fillRect(r, Qt::black);
      labels_.highlighted << name;
    }
    p.setPen(QPen(lit ? Qt::black : kRuleColour, sheet_.Mm(0.15)));
    p.setBrush(Qt::NoBrush);
    p.drawRect(r);
    p.restore();
    DrawText(sheet_, font, r, caption, Qt::AlignCenter, lit ? QColor(Qt::white) : kInk);
  }

  // A printed caption (not a label of the form's values).
  void Caption(const QString& text, double x, double top, double w, double h, bool bold = true,
               int align = Qt::AlignLeft | Qt::AlignVCenter) {
    DrawText(sheet_, ReportFont(7, bold), Rect(x, top, w, h), text, align);
  }

  // A caption label: a value written into it.
  void Value(const QString& name, double x, double top, double w, double h) {
    labels_.drawn.insert(name);
    const auto it = data_.captions.find(name);
    const QString text = it == data_.captions.end() ? QString() : it->second;
    DrawText(sheet_, ReportFont(8.5), Rect(x, top, w, h), text,
             Qt::AlignLeft | Qt::AlignVCenter | Qt::TextWordWrap);
  }

  // A row of numbered boxes 1..count, each `w` mm wide, from x.
  void Numbered(const QString& family, int count, double x, double top, double w, double h,
                const std::function<QString(int)>& caption, const QFont& font) {
    for (int k = 1; k <= count; ++k) {
      Box(family + QString::number(k), caption(k), x + (k - 1) * w, top, w, h, font);
    }
  }

  VisionPageLabels labels_;

 private:
  Sheet& sheet_;
  const VisionReportData& data_;
};

constexpr double kCaptionMm = 30;  // the row captions' column
constexpr double kBoxesMm = 186 - kCaptionMm;

}  // namespace

QString VisionReportTitle() { return QStringLiteral("Vision Tester Occupational Record Form"); }

VisionReportData VisionReportLabels(const QString& pat_no, const TestKey& key,
                                    const EntryFields& patient,
                                    const vision::VisionHeader& header,
                                    const vision::VisionStore::StoredResults& results) {
  VisionReportData data;
  data.pat_no = pat_no;
  data.key = key;
  auto& c = data.captions;
  c["LabelName"] = patient.Forenames + u' ' + patient.Surname;
  c["LabelPatNo"] = pat_no;
  c["LabelSex"] = patient.SexText();
  c["LabelDept"] = header.DeptUnit;
  c["LabelNotes"] = header.Notes;
  c["LabelTestDate"] = CsvDateText(key.date);
  c["LabelDOB"] = patient.DOB == kEmptyDateBox ? QString() : patient.DOB;
  const vision::VisionAnswers& a = results.answers;
  c["LabelGlasses"] = YesNoText(a.Glasses);
  c["LabelRX"] = YesNoText(a.ChangeinRX);
  c["LabelContacts"] = YesNoText(a.Contacts);
  c["LabelGlassesType"] = a.GlassesType;
  c["LabelLastExam"] = CsvDateText(a.LastExam);

  const vision::CodedResults& coded = results.coded;
  const auto& lamps = coded.lamps;
  using vision::PeripheralTotal;
  const bool right_seen = lamps[0] || lamps[1] || lamps[2] || lamps[3];
  const bool left_seen = lamps[4] || lamps[5] || lamps[6] || lamps[7];
  const int right = PeripheralTotal(lamps[0], lamps[1], lamps[2], lamps[3]);
  const int left = PeripheralTotal(lamps[4], lamps[5], lamps[6], lamps[7]);
  c["LabelRTotal"] = right_seen ? QString::number(right) : QString();
  c["LabelLTotal"] = left_seen ? QString::number(left) : QString();
  c["LabelBTotal"] = right_seen || left_seen ? QString::number(right + left) : QString();

  auto& lit = data.highlighted;
  auto family = [&lit](const QString& name, int value) {
    if (value > 0) lit.insert(name + QString::number(value));
  };
  const vision::WorkingResults& w = coded.working;
  if (w.binocular[0] > 0) lit.insert(BinocularLabel(QStringLiteral("Far"), w.binocular[0]));
  if (w.binocular[1] > 0) lit.insert(BinocularLabel(QStringLiteral("Near"), w.binocular[1]));
  for (int eye = 0; eye < 3; ++eye) {
    family(kFarEyes[eye], w.acuity[0][eye]);
    family(kNearEyes[eye], w.acuity[1][eye]);
    family(kIntEyes[eye], w.acuity[2][eye]);
  }
  family(QStringLiteral("LabelSD"), w.depth);
  for (int i = 0; i < vision::kColourCircles; ++i) {
    if (w.colour[i]) lit.insert(QStringLiteral("Label") + vision::ColourCircle(i));
  }
  family(QStringLiteral("LabelFV"), w.vertical[0]);
  family(QStringLiteral("LabelFLA"), w.lateral[0]);
  family(QStringLiteral("LabelNV"), w.vertical[1]);
  family(QStringLiteral("LabelNLA"), w.lateral[1]);
  family(QStringLiteral("LabelTDI"), w.test_distance);
  family(QStringLiteral("LabelTDC"), w.test_distance);
  for (int lamp = 0; lamp < vision::kLamps; ++lamp) {
    if (lamps[lamp]) lit.insert(LampLabel(lamp));
  }
  lit.insert(a.Refer ? QStringLiteral("LabelRefYes") : QStringLiteral("LabelRefNo"));
  return data;
}

std::optional<VisionReportData> LoadVisionReport(db::Connection& connection,
                                                 const QString& pat_no, const TestKey& key) {
  EntryFields patient;
  if (!LoadPatientEntries(connection, pat_no, patient)) return std::nullopt;
  vision::VisionStore store(connection);
  const auto header = store.ReadHeader(pat_no, key);
  if (!header) return std::nullopt;
  const auto results = store.ReadResults(pat_no, key);
  return VisionReportLabels(pat_no, key, patient, *header,
                            results.value_or(vision::VisionStore::StoredResults{}));
}

VisionPageLabels PaintVisionPage(Sheet& sheet, const VisionReportData& data, const QDate& printed) {
  FormPainter form(sheet, data);
  const double row = sheet.Mm(4.8);
  const double gap = sheet.Mm(2);
  const QFont box_font = ReportFont(7);
  const QFont small_font = NarrowFont(5.5);
  const QRectF body = sheet.Body();
  double y = PaintReportHeader(sheet, {VisionReportTitle(), data.print_heading, QString()});

  // The particulars: two columns of caption and value, the comments under them.
  const std::pair<const char*, const char*> left_column[] = {
      {"NAME", "LabelName"},       {"DEPT", "LabelDept"},
      {"DOB", "LabelDOB"},         {"GLASSES", "LabelGlasses"},
      {"TYPE", "LabelGlassesType"}, {"LAST EXAM BY DOCTOR", "LabelLastExam"}};
  const std::pair<const char*, const char*> right_column[] = {
      {"DATE", "LabelTestDate"}, {"PAT NO", "LabelPatNo"}, {"SEX", "LabelSex"},
      {"CONTACT LENSES", "LabelContacts"}, {"CHANGE IN RX", "LabelRX"}};
  for (int i = 0; i < 6; ++i) {
    const double top = y + i * row;
    form.Caption(QLatin1String(left_column[i].first), 0, top, 36, row);
    form.Value(QLatin1String(left_column[i].second), 37, top, 64, row);
    if (i == 5) break;
    form.Caption(QLatin1String(right_column[i].first), 104, top, 30, row);
    form.Value(QLatin1String(right_column[i].second), 135, top, 51, row);
  }
  form.Caption(QStringLiteral("COMMENTS"), 0, y + 6 * row, 36, row);
  form.Value(QStringLiteral("LabelNotes"), 37, y + 6 * row, 149, row * 1.6);
  y += 7.6 * row + gap;

  auto heading = [&](const QString& title) {
    y += SectionHeading(sheet, QRectF(body.left(), y, body.width(), 0), title) + sheet.Mm(1);
  };
  const double target_mm = kBoxesMm / vision::kAcuityTargets;
  auto number = [](int k) { return QString::number(k); };
  auto acuity_rows = [&](const QStringList& families, bool near) {
    form.Caption(QStringLiteral("Target"), 0, y, kCaptionMm, row);
    for (int k = 1; k <= vision::kAcuityTargets; ++k) {
      form.Caption(QString::number(k), kCaptionMm + (k - 1) * target_mm, y, target_mm, row, true,
                   Qt::AlignCenter);
    }
    y += row;
    const char* const eyes[] = {"Both Eyes", "Right", "Left"};
    for (int eye = 0; eye < 3; ++eye) {
      form.Caption(QLatin1String(eyes[eye]), 0, y, kCaptionMm, row);
      form.Numbered(families[eye], vision::kAcuityTargets, kCaptionMm, y, target_mm, row, number,
                    box_font);
      y += row;
    }
    form.Caption(QStringLiteral("Snellen Equivalents"), 0, y, kCaptionMm, row);
    for (int k = 1; k <= vision::kAcuityTargets; ++k) {
      QString text = vision::Snellen(k - 1);
      if (near && !vision::NearEquivalent(k - 1).isEmpty()) {
        text += u'\n' + vision::NearEquivalent(k - 1);
      }
      DrawText(sheet, small_font, form.Rect(kCaptionMm + (k - 1) * target_mm, y, target_mm, row),
               text, Qt::AlignCenter);
    }
    y += row;
  };
  auto binocular = [&](const QString& distance) {
    form.Caption(QStringLiteral("Binoc. Vision"), 0, y, kCaptionMm, row);
    const std::pair<int, const char*> answers[] = {{1, "4 Cubes"}, {3, "3 Cubes"}, {2, "2 Cubes"}};
    for (int i = 0; i < 3; ++i) {
      form.Box(BinocularLabel(distance, answers[i].first), QLatin1String(answers[i].second),
               kCaptionMm + i * 22, y, 22, row, box_font);
    }
    y += row;
  };
  auto phoria = [&](const QString& caption, const QString& family, int count) {
    form.Caption(caption, 0, y, kCaptionMm, row);
    form.Numbered(family, count, kCaptionMm, y, kBoxesMm / count, row,
                  [](int k) { return vision::PhoriaLabel(k - 1); },
                  count > 20 ? small_font : box_font);
    y += row;
  };

  heading(QStringLiteral("Far"));
  binocular(QStringLiteral("Far"));
  acuity_rows(kFarEyes, false);
  form.Caption(QStringLiteral("Stereo  Depth"), 0, y, kCaptionMm, row);
  form.Numbered(QStringLiteral("LabelSD"), vision::kDepthTargets, kCaptionMm, y, target_mm, row,
                number, box_font);
  y += row;
  form.Caption(QStringLiteral("Colour"), 0, y, kCaptionMm, row);
  for (int i = 0; i < vision::kColourCircles; ++i) {
    form.Box(QStringLiteral("Label") + vision::ColourCircle(i), vision::ColourCircle(i),
             kCaptionMm + i * target_mm, y, target_mm, row, box_font);
  }
  y += row;
  phoria(QStringLiteral("Vertical"), QStringLiteral("LabelFV"), vision::kVerticalBoxes);
  phoria(QStringLiteral("Lateral"), QStringLiteral("LabelFLA"), vision::kLateralBoxes);
  y += gap;

  heading(QStringLiteral("Near"));
  binocular(QStringLiteral("Near"));
  acuity_rows(kNearEyes, true);
  phoria(QStringLiteral("Vertical"), QStringLiteral("LabelNV"), vision::kVerticalBoxes);
  phoria(QStringLiteral("Lateral"), QStringLiteral("LabelNLA"), vision::kLateralBoxes);
  y += gap;

  heading(QStringLiteral("Intermediate"));
  form.Caption(QStringLiteral("TEST DISTANCE"), 0, y, kCaptionMm, row);
  form.Caption(QStringLiteral("INCHES"), kCaptionMm, y, 14, row);
  form.Numbered(QStringLiteral("LabelTDI"), vision::kTestDistances, kCaptionMm + 14, y, 11, row,
                [](int k) { return QString::number(vision::DistanceInches(k)); }, box_font);
  form.Caption(QStringLiteral("CM"), kCaptionMm + 78, y, 10, row);
  form.Numbered(QStringLiteral("LabelTDC"), vision::kTestDistances, kCaptionMm + 88, y, 11, row,
                [](int k) { return QString::number(vision::DistanceCm(k)); }, box_font);
  y += row;
  form.Caption(QStringLiteral("CORRECT TEST LENS MUST BE USED FOR THESE TESTS"), 0, y, 186, row,
               true, Qt::AlignHCenter | Qt::AlignVCenter);
  y += row;
  acuity_rows(kIntEyes, false);
  y += gap;

  heading(QStringLiteral("Peripheral"));
  form.Caption(QStringLiteral("Perimeter"), 0, y, kCaptionMm, row);
  form.Caption(QStringLiteral("Score"), 150, y, 36, row, true, Qt::AlignCenter);
  y += row;
  for (int side = 0; side < 2; ++side) {
    form.Caption(side == 0 ? QStringLiteral("Right Temporal") : QStringLiteral("Left Temporal"), 0,
                 y, kCaptionMm, row);
    for (int i = 0; i < 3; ++i) {
      const int lamp = side * 4 + i;
      form.Box(LampLabel(lamp), QString::number(vision::LampAngle(lamp)), kCaptionMm + i * 14, y,
               14, row, box_font);
    }
    form.Caption(QStringLiteral("Nasal"), kCaptionMm + 46, y, 16, row);
    form.Box(LampLabel(side * 4 + 3), QStringLiteral("45"), kCaptionMm + 62, y, 14, row, box_font);
    form.Caption(QStringLiteral("Total"), 130, y, 20, row);
    form.Value(side == 0 ? QStringLiteral("LabelRTotal") : QStringLiteral("LabelLTotal"), 160, y,
               26, row);
    y += row;
  }
  form.Caption(QStringLiteral("Both Eyes"), 0, y, kCaptionMm, row);
  form.Caption(QStringLiteral("Total"), 130, y, 20, row);
  form.Value(QStringLiteral("LabelBTotal"), 160, y, 26, row);
  y += row + gap;

  heading(QStringLiteral("Referral"));
  form.Caption(QStringLiteral("Referred"), 0, y, kCaptionMm, row);
  form.Box(QStringLiteral("LabelRefYes"), QStringLiteral("Yes"), kCaptionMm, y, 16, row, box_font);
  form.Box(QStringLiteral("LabelRefNo"), QStringLiteral("No"), kCaptionMm + 16, y, 16, row,
           box_font);
  y += row * 1.6;
  form.Caption(QStringLiteral("Signed"), 0, y, kCaptionMm, row);
  form.Caption(QStringLiteral("Employee"), kCaptionMm, y, 20, row, false);
  form.Caption(QStringLiteral("Test Administrator"), 108, y, 30, row, false);
  sheet.Painter().setPen(QPen(kInk, sheet.Mm(0.2)));
  sheet.Painter().drawLine(form.Rect(kCaptionMm + 20, y, 50, row).bottomLeft(),
                           form.Rect(kCaptionMm + 20, y, 50, row).bottomRight());
  sheet.Painter().drawLine(form.Rect(138, y, 48, row).bottomLeft(),
                           form.Rect(138, y, 48, row).bottomRight());

  const auto name = data.captions.find(QStringLiteral("LabelName"));
  PaintReportFooter(sheet, printed,
                    (name == data.captions.end() ? QString() : name->second) +
                        QStringLiteral("  \u00b7  ") + data.pat_no);
  return form.labels_;
}

PrintStatus PrintVisionReport(QPagedPaintDevice& device, const VisionReportData& data,
                              VisionPageLabels* labels) {
  if (!SetUpA4(device, QPageLayout::Portrait)) return PrintStatus::NotA4;
  Sheet sheet(device);
  if (!sheet.IsActive()) return PrintStatus::DeviceFailed;
  const VisionPageLabels painted = PaintVisionPage(sheet, data);
  if (labels != nullptr) *labels = painted;
  return sheet.Finish() ? PrintStatus::Printed : PrintStatus::DeviceFailed;
}

}  // namespace sonivera::report
