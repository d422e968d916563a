#pragma once
// Reading printed reports back: a GUI application for the fonts, and the text
// of a PDF file by pdftotext.
#include <gtest/gtest.h>

#include <QGuiApplication>
#include <QProcess>
#include <QString>

namespace sonivera::test {

// Laying out text needs the fonts of a GUI application (offscreen unless the
// run asks for another platform).
inline void EnsureGuiApplication() {
  if (QGuiApplication::instance() != nullptr) return;
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  static int argc = 1;
  static char name[] = "sonivera_test";
  static char* argv[] = {name, nullptr};
  static QGuiApplication application(argc, argv);
}

// The text of a PDF file, its layout kept; pages end with a form feed.
inline QString PdfText(const QString& path) {
  QProcess process;
  process.start(QStringLiteral("pdftotext"), {QStringLiteral("-layout"), path, QStringLiteral("-")});
  EXPECT_TRUE(process.waitForFinished(30000));
  EXPECT_EQ(process.exitCode(), 0) << process.readAllStandardError().toStdString();
  return QString::fromUtf8(process.readAllStandardOutput());
}

}  // namespace sonivera::test
