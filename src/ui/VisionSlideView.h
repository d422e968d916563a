#pragma once

#include <QWidget>

namespace sonivera::vision {
class VisionEntry;
}

namespace sonivera::ui {

// A picture of the tester's slide for one step, so that the operator sees
// what the patient is looking at: the cubes, the broken rings of the acuity
// slides (the one being judged framed), the depth rings, the colour circles,
// the phoria scales and the peripheral lamps (lit when seen).
class VisionSlideView : public QWidget {
  Q_OBJECT
 public:
  VisionSlideView(int step, QWidget* parent = nullptr);

  // The entry whose state the picture follows (current target, lamps, ...).
  void SetEntry(const vision::VisionEntry* entry) { entry_ = entry; }
  QSize sizeHint() const override { return {360, 240}; }
  QSize minimumSizeHint() const override { return {220, 150}; }

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  void PaintCubes(QPainter& p, const QRectF& area);
  void PaintAcuity(QPainter& p, const QRectF& area);
  void PaintDepth(QPainter& p, const QRectF& area);
  void PaintColour(QPainter& p, const QRectF& area);
  void PaintPhoria(QPainter& p, const QRectF& area, bool vertical);
  void PaintLamps(QPainter& p, const QRectF& area);

  int step_;
  const vision::VisionEntry* entry_ = nullptr;
};

// A ring with a gap at 'T', 'B', 'L' or 'R', centred at `centre`.
void DrawBrokenRing(QPainter& painter, const QPointF& centre, double radius, QChar gap);

}  // namespace sonivera::ui
