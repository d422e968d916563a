#pragma once

#include <QColor>
#include <QImage>
#include <QPoint>

namespace sonivera::test {

// True when a pixel within `reach` of p has exactly the colour.
inline bool HasColourNear(const QImage& image, QPoint p, const QColor& colour, int reach = 1) {
  for (int dy = -reach; dy <= reach; ++dy) {
    for (int dx = -reach; dx <= reach; ++dx) {
      const QPoint q = p + QPoint(dx, dy);
      if (image.rect().contains(q) && image.pixelColor(q) == colour) return true;
    }
  }
  return false;
}

}  // namespace sonivera::test
