#pragma once

#include <QColor>
#include <QRectF>
#include <QString>
#include <array>
#include <vector>

class QPainter;

namespace sonivera {
class ErrorReporter;
}

namespace sonivera::chart {

// One band colour as the colour file gives it.
struct Rgb {
  int red = 0;
  int green = 0;
  int blue = 0;
  QColor ToColor() const { return QColor(red, green, blue); }
  friend bool operator==(const Rgb&, const Rgb&) = default;
};

enum Band { kMild = 0, kModerate = 1, kSevere = 2, kProfound = 3 };
constexpr int kBandCount = 4;

// The colours of the hearing-loss bands, mild to profound.
struct ColourBands {
  std::array<Rgb, kBandCount> colours = {Rgb{255, 255, 185}, Rgb{255, 255, 115}, Rgb{255, 255, 65},
                                         Rgb{255, 205, 45}};
  friend bool operator==(const ColourBands&, const ColourBands&) = default;
};

// LoadColourBands: reads colourbands.txt, twelve "name=value" lines giving the
// red, green and blue of each band in turn. A missing file leaves the colours
// as they are, silently; a file that ends early leaves the later components as
// they are. A value that is not a whole number from 0 to 255 is reported with
// the tag " (loadcolourbands:954)" and ends the reading there, keeping what was
// read before it. Returns false when the file is missing or unreadable.
bool LoadColourBands(const QString& path, ColourBands& bands, ErrorReporter& reporter);

// One box of the colour key: its caption, fill and span on the key's 0 to 100
// scale.
struct ColourKeyEntry {
  QString caption;
  QColor colour;
  int from = 0;
  int to = 0;
};

// The colour key beside the chart (CommandColourKey shows or hides it).
class ColourKey {
 public:
  // The five boxes: normal hearing in white, then the four bands.
  static std::vector<ColourKeyEntry> Entries(const ColourBands& bands);

  // Draws the key into target: boxes down the left, captions beside them.
  static void Paint(QPainter& painter, const QRectF& target, const ColourBands& bands);

  // CommandColourKey: shows the key when hidden, hides it when shown.
  void CommandColourKey() { visible_ = !visible_; }
  bool Visible() const { return visible_; }

 private:
  bool visible_ = false;
};

}  // namespace sonivera::chart
