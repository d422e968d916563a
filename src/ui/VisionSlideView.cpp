#include "ui/VisionSlideView.h"

#include <QPainter>
#include <QPainterPath>
#include <cmath>

#include "vision/VisionEntry.h"
#include "vision/VisionSlides.h"

namespace sonivera::ui {

using namespace sonivera::vision;

namespace {
const QColor kInk(40, 40, 40);
const QColor kFrame(200, 30, 30);

// Unit offset of an answer position: T, B, L, R.
QPointF Direction(QChar position) {
  switch (position.unicode()) {
    case 'T':
      return {0, -1};
    case 'B':
      return {0, 1};
    case 'L':
      return {-1, 0};
    default:
      return {1, 0};
  }
}

// One cube in a simple three-face view.
void DrawCube(QPainter& p, const QPointF& at, double size, const QColor& colour) {
  const double d = size * 0.35;
  const QPolygonF front(
      {at, at + QPointF(size, 0), at + QPointF(size, size), at + QPointF(0, size)});
  const QPolygonF top({at, at + QPointF(d, -d), at + QPointF(size + d, -d), at + QPointF(size, 0)});
  const QPolygonF side({at + QPointF(size, 0), at + QPointF(size + d, -d),
                        at + QPointF(size + d, size - d), at + QPointF(size, size)});
  p.setPen(QPen(kInk, 1.2));
  p.setBrush(colour);
  p.drawPolygon(front);
  p.setBrush(colour.lighter(115));
  p.drawPolygon(top);
  p.setBrush(colour.darker(125));
  p.drawPolygon(side);
}
}  // namespace

void DrawBrokenRing(QPainter& painter, const QPointF& centre, double radius, QChar gap) {
  const QRectF box(centre.x() - radius, centre.y() - radius, 2 * radius, 2 * radius);
  // Angles in 1/16 degree, counter-clockwise from three o'clock.
  int gap_angle = 0;
  switch (gap.unicode()) {
    case 'T':
      gap_angle = 90;
      break;
    case 'L':
      gap_angle = 180;
      break;
    case 'B':
      gap_angle = 270;
      break;
    default:
      gap_angle = 0;
      break;
  }
  const int gap_width = 40;
  painter.drawArc(box, (gap_angle + gap_width / 2) * 16, (360 - gap_width) * 16);
}

VisionSlideView::VisionSlideView(int step, QWidget* parent) : QWidget(parent), step_(step) {
  setObjectName(QStringLiteral("SlidePicture%1").arg(step));
  setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
}

void VisionSlideView::paintEvent(QPaintEvent*) {
  QPainter p(this);
  p.setRenderHint(QPainter::Antialiasing);
  const QRectF area = QRectF(rect()).adjusted(6, 6, -6, -6);
  // The tester's slides are seen against a lit, slightly grey field.
  p.setPen(QPen(QColor(150, 150, 150), 1));
  p.setBrush(QColor(246, 246, 240));
  p.drawRoundedRect(area, 8, 8);
  const QRectF inner = area.adjusted(10, 10, -10, -10);
  switch (KindOfStep(step_)) {
    case StepKind::Binocular:
      PaintCubes(p, inner);
      break;
    case StepKind::Acuity:
      PaintAcuity(p, inner);
      break;
    case StepKind::Depth:
      PaintDepth(p, inner);
      break;
    case StepKind::Colour:
      PaintColour(p, inner);
      break;
    case StepKind::Vertical:
      PaintPhoria(p, inner, true);
      break;
    case StepKind::Lateral:
      PaintPhoria(p, inner, false);
      break;
    case StepKind::Peripheral:
      PaintLamps(p, inner);
      break;
  }
}

void VisionSlideView::PaintCubes(QPainter& p, const QRectF& area) {
  // Each eye sees two cubes; with good fusion the two white ones merge.
  const double size = std::min(area.width() / 9, area.height() / 3);
  const double y = area.center().y() - size / 2;
  const QColor colours[4] = {QColor(200, 40, 40), Qt::white, Qt::white, QColor(40, 150, 60)};
  const double gap = size * 0.9;
  const double width = 4 * size + 3 * gap;
  double x = area.center().x() - width / 2;
  for (const QColor& colour : colours) {
    DrawCube(p, QPointF(x, y), size, colour);
    x += size + gap;
  }
  p.setPen(kInk);
  p.drawText(QRectF(area.left(), y + size * 1.3, area.width(), size),
             Qt::AlignHCenter | Qt::AlignTop,
             QStringLiteral("Right eye: red + white   Left eye: white + green"));
}

void VisionSlideView::PaintAcuity(QPainter& p, const QRectF& area) {
  const int eye = entry_ ? entry_->EyeFrame() : 1;
  const int current = entry_ ? entry_->CurrentTarget(eye) : -1;
  const bool judging = entry_ && entry_->EditMode() && entry_->Step() == step_;
  const int per_row = 7;
  const double cell_w = area.width() / per_row;
  const double cell_h = area.height() / 2;
  const double largest = std::min(cell_w, cell_h) * 0.28;
  QFont small = font();
  small.setPointSizeF(std::max(6.0, font().pointSizeF() * 0.8));
  for (int t = 0; t < kAcuityTargets; ++t) {
    const QRectF cell(area.left() + (t % per_row) * cell_w, area.top() + (t / per_row) * cell_h,
                      cell_w, cell_h);
    const QPointF centre(cell.center().x(), cell.top() + cell_h * 0.45);
    // Ring size falls with the Snellen fraction, 6/60 down to 6/4 (on a log
    // scale, so that the smallest rings stay visible on a screen).
    const double denominator = Snellen(t).mid(2).toDouble();
    const double radius = largest * (0.18 + 0.82 * std::log(denominator / 4) / std::log(15.0));
    p.setPen(QPen(Qt::black, std::max(1.2, radius * 0.3), Qt::SolidLine, Qt::FlatCap));
    p.setBrush(Qt::NoBrush);
    DrawBrokenRing(p, centre, radius, AcuityAnswer(eye, t));
    p.setFont(small);
    p.setPen(kInk);
    p.drawText(QRectF(cell.left(), cell.top(), cell_w, cell_h * 0.18), Qt::AlignCenter,
               QString::number(t + 1));
    p.drawText(QRectF(cell.left(), cell.top() + cell_h * 0.72, cell_w, cell_h * 0.14),
               Qt::AlignCenter, Snellen(t));
    if (!NearEquivalent(t).isEmpty()) {
      p.drawText(QRectF(cell.left(), cell.top() + cell_h * 0.85, cell_w, cell_h * 0.14),
                 Qt::AlignCenter, NearEquivalent(t));
    }
    if (judging && t == current) {
      p.setPen(QPen(kFrame, 2));
      p.drawRoundedRect(cell.adjusted(3, cell_h * 0.17, -3, -cell_h * 0.3), 4, 4);
    }
  }
  p.setFont(font());
}

void VisionSlideView::PaintDepth(QPainter& p, const QRectF& area) {
  const int current = entry_ ? entry_->DepthTarget() : -1;
  const bool judging =
      entry_ && entry_->EditMode() && entry_->Step() == step_ && entry_->DepthRun();
  const int per_row = 5;
  const double cell_w = area.width() / per_row;
  const double cell_h = area.height() / 2;
  const double ring = std::min(cell_w, cell_h) * 0.1;
  for (int t = 0; t < kDepthTargets; ++t) {
    const QRectF cell(area.left() + (t % per_row) * cell_w, area.top() + (t / per_row) * cell_h,
                      cell_w, cell_h);
    const QPointF centre(cell.center().x(), cell.top() + cell_h * 0.45);
    const QChar floating = DepthAnswer(t);
    for (QChar position : {u'T', u'B', u'L', u'R'}) {
      const QPointF at = centre + Direction(position) * ring * 2.4;
      if (position == floating) {
        // The ring that floats out: drawn doubled, as the eyes see it apart.
        p.setPen(QPen(QColor(90, 90, 200, 150), 2));
        p.setBrush(Qt::NoBrush);
        p.drawEllipse(at + QPointF(ring * 0.35 * (9 - t) / 9 + 1, 0), ring, ring);
      }
      p.setPen(QPen(Qt::black, 2));
      p.setBrush(Qt::NoBrush);
      p.drawEllipse(at, ring, ring);
    }
    p.setPen(kInk);
    p.drawText(QRectF(cell.left(), cell.bottom() - cell_h * 0.22, cell_w, cell_h * 0.2),
               Qt::AlignCenter, QString::number(t + 1));
    if (judging && t == current) {
      p.setPen(QPen(kFrame, 2));
      p.drawRoundedRect(cell.adjusted(4, 4, -4, -4), 4, 4);
    }
  }
}

void VisionSlideView::PaintColour(QPainter& p, const QRectF& area) {
  // Rows A to F; A, C and E hold two circles.
  const int rows[6][2] = {{0, 1}, {2, -1}, {3, 4}, {5, -1}, {6, 7}, {8, -1}};
  const double cell_w = area.width() / 6;
  const double radius = std::min(cell_w * 0.42, area.height() * 0.22);
  const QColor background[3] = {QColor(120, 160, 90), QColor(150, 180, 100), QColor(100, 140, 80)};
  const QColor numeral[3] = {QColor(220, 120, 70), QColor(235, 145, 80), QColor(205, 100, 60)};
  for (int r = 0; r < 6; ++r) {
    for (int k = 0; k < 2; ++k) {
      const int index = rows[r][k];
      if (index < 0) continue;
      const bool pair = rows[r][1] >= 0;
      const double cx = area.left() + cell_w * (r + 0.5);
      const double cy = pair ? area.top() + area.height() * (k == 0 ? 0.3 : 0.72)
                             : area.top() + area.height() * 0.51;
      const QPointF centre(cx, cy);
      QPainterPath clip;
      clip.addEllipse(centre, radius, radius);
      p.save();
      p.setClipPath(clip);
      p.fillPath(clip, QColor(235, 230, 210));
      // Dots of near-equal brightness; the numeral's dots differ only in hue.
      QPainterPath figure;
      if (ColourNumeral(index) != QLatin1String("None")) {
        QFont big = font();
        big.setBold(true);
        big.setPixelSize(int(radius * 1.3));
        figure.addText(0, 0, big, ColourNumeral(index));
        const QRectF b = figure.boundingRect();
        figure.translate(centre - b.center());
      }
      const double dot = std::max(1.5, radius / 7);
      int n = 0;
      for (double y = cy - radius; y <= cy + radius; y += dot * 1.7) {
        for (double x = cx - radius + (n % 2) * dot * 0.8; x <= cx + radius; x += dot * 1.7) {
          const QPointF at(x, y);
          const int shade = (n * 7 + int(x * 3) + int(y)) % 3;
          p.setPen(Qt::NoPen);
          p.setBrush(figure.contains(at) ? numeral[shade] : background[shade]);
          p.drawEllipse(at, dot * 0.75, dot * 0.75);
          ++n;
        }
      }
      p.restore();
      p.setPen(kInk);
      p.setBrush(Qt::NoBrush);
      p.drawEllipse(centre, radius, radius);
      p.drawText(QRectF(cx - radius, cy + radius, 2 * radius, 16), Qt::AlignCenter,
                 ColourCircle(index));
    }
  }
}

void VisionSlideView::PaintPhoria(QPainter& p, const QRectF& area, bool vertical) {
  const int notes = vertical ? 7 : 15;
  // The answer shown: the ticked box's scale position, if any.
  int ticked = 0;
  if (entry_) {
    const int boxes = vertical ? kVerticalBoxes : kLateralBoxes;
    for (int i = 0; i < boxes; ++i) {
      if (vertical ? entry_->VerticalBox(i) : entry_->LateralBox(i)) ticked = i + 1;
    }
  }
  const double position = ticked > 0 ? (ticked + 1) / 2.0 : 0;
  const double step = area.width() / (notes + 1);
  const double head = std::min(step * 0.32, area.height() * 0.06);
  QFont small = font();
  small.setPointSizeF(std::max(6.0, font().pointSizeF() * 0.85));
  p.setFont(small);
  for (int n = 1; n <= notes; ++n) {
    const double x = area.left() + step * n;
    // Vertical phoria: the notes climb; lateral: they stand in one row.
    const double y = vertical ? area.bottom() - area.height() * (0.15 + 0.7 * (n - 1) / (notes - 1))
                              : area.center().y() - area.height() * 0.05;
    p.setPen(QPen(Qt::black, 1.5));
    p.setBrush(Qt::black);
    p.drawEllipse(QPointF(x, y), head * 1.25, head);
    p.drawLine(QPointF(x + head * 1.2, y), QPointF(x + head * 1.2, y - head * 5));
    p.setPen(kInk);
    p.drawText(QRectF(x - step / 2, y + head * 1.4, step, 14), Qt::AlignCenter, QString::number(n));
  }
  p.setFont(font());
  if (position <= 0) return;
  const double x = area.left() + step * position;
  p.setPen(QPen(kFrame, 2.5));
  if (vertical) {
    const double y = area.bottom() - area.height() * (0.15 + 0.7 * (position - 1) / (notes - 1));
    p.drawLine(QPointF(area.left(), y), QPointF(area.right(), y));
  } else {
    const double tip = area.center().y() + area.height() * 0.14;
    p.drawLine(QPointF(x, area.bottom() - 4), QPointF(x, tip));
    p.setBrush(kFrame);
    p.drawPolygon(
        QPolygonF({QPointF(x, tip - 2), QPointF(x - 7, tip + 12), QPointF(x + 7, tip + 12)}));
  }
}

void VisionSlideView::PaintLamps(QPainter& p, const QRectF& area) {
  for (int side = 0; side < 2; ++side) {
    const bool right = side == 0;
    const QRectF half(area.left() + side * area.width() / 2, area.top(), area.width() / 2,
                      area.height());
    const QPointF eye(half.center().x(), half.bottom() - 18);
    const double radius = std::min(half.width() * 0.42, half.height() * 0.72);
    p.setPen(QPen(QColor(120, 120, 120), 1, Qt::DashLine));
    p.setBrush(Qt::NoBrush);
    p.drawArc(QRectF(eye.x() - radius, eye.y() - radius, 2 * radius, 2 * radius), 0, 180 * 16);
    p.setPen(kInk);
    p.drawText(QRectF(half.left(), half.bottom() - 16, half.width(), 16), Qt::AlignCenter,
               right ? QStringLiteral("Right Eye") : QStringLiteral("Left Eye"));
    p.setBrush(kInk);
    p.drawEllipse(eye, 3, 3);
    for (int k = 0; k < 4; ++k) {
      const int lamp = side * 4 + k;
      // Temporal lamps lie on the eye's outer side, the nasal one inwards.
      const bool outer_right = right != LampIsNasal(lamp);
      const double angle = qDegreesToRadians(double(LampAngle(lamp)));
      const double dx = std::sin(angle) * radius * (outer_right ? 1 : -1);
      const QPointF at(eye.x() + dx, eye.y() - std::cos(angle) * radius);
      const bool seen = entry_ && entry_->LampTicked(lamp);
      p.setPen(QPen(kInk, 1.2));
      p.setBrush(seen ? QColor(255, 210, 40) : QColor(90, 90, 90));
      p.drawEllipse(at, 7, 7);
      p.drawText(QRectF(at.x() - 24, at.y() - 24, 48, 14), Qt::AlignCenter,
                 (LampIsNasal(lamp) ? QStringLiteral("N ") : QString()) +
                     QString::number(LampAngle(lamp)) + QChar(0x00B0));
    }
  }
}

}  // namespace sonivera::ui
