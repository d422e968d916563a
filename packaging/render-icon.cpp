// Renders the scalable icon into the fixed sizes of the hicolor theme:
// render-icon SVG OUT_DIR SIZE... writes OUT_DIR/NxN/apps/sonivera.png.
#include <QDir>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QSvgRenderer>
#include <cstdio>

int main(int argc, char** argv) {
  qputenv("QT_QPA_PLATFORM", "offscreen");
  QGuiApplication app(argc, argv);
  const QStringList args = QGuiApplication::arguments();
  if (args.size() < 4) {
    std::fprintf(stderr, "usage: render-icon SVG OUT_DIR SIZE...\n");
    return 2;
  }
  QSvgRenderer renderer(args[1]);
  if (!renderer.isValid()) {
    std::fprintf(stderr, "render-icon: cannot read %s\n", qPrintable(args[1]));
    return 1;
  }
  for (const QString& text : args.mid(3)) {
    bool ok = false;
    const int size = text.toInt(&ok);
    if (!ok || size <= 0) {
      std::fprintf(stderr, "render-icon: not a size: %s\n", qPrintable(text));
      return 2;
    }
    QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    renderer.render(&painter);
    painter.end();
    const QString folder = QStringLiteral("%1/%2x%2/apps").arg(args[2]).arg(size);
    const QString file = folder + QStringLiteral("/sonivera.png");
    if (!QDir().mkpath(folder) || !image.save(file, "PNG")) {
      std::fprintf(stderr, "render-icon: cannot write %s\n", qPrintable(file));
      return 1;
    }
  }
  return 0;
}
