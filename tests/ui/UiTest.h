#pragma once

// What every window test needs: the widgets, QTest and the application.
#include <gtest/gtest.h>

#include <QSignalSpy>
#include <QTest>
#include <QtPrintSupport>
#include <QtWidgets>
#include <functional>

#include "base/Messages.h"
#include "support/Checks.h"
#include "support/ScriptedPrompter.h"

namespace sonivera::test {

// The one QApplication of the window tests (offscreen under CTest). It is
// never destroyed: at exit the platform plugin may already be gone, and
// tearing the application down then crashes.
inline void EnsureQApplication() {
  if (QApplication::instance()) return;
  static int argc = 1;
  static char name[] = "test_ui";
  static char* argv[] = {name, nullptr};
  new QApplication(argc, argv);
}

// A window's child by object name; a missing one fails the test.
template <typename T = QWidget>
T* Child(const QObject& parent, const char* name) {
  T* child = parent.findChild<T*>(QLatin1String(name));
  EXPECT_NE(child, nullptr) << name;
  return child;
}
inline void Click(const QObject& parent, const char* name) {
  Child<QPushButton>(parent, name)->click();
}

// A stand-in for a modal window's exec(): the window must be a T; `answer`
// fills and closes it, and the window's result is returned.
template <typename T>
std::function<int(QDialog&)> Answering(std::function<void(T&)> answer) {
  return [answer](QDialog& dialog) {
    auto* form = qobject_cast<T*>(&dialog);
    EXPECT_NE(form, nullptr) << dialog.objectName().toStdString();
    if (form != nullptr) answer(*form);
    return dialog.result();
  };
}

// Shows a print preview as the user sees it and gives its number of pages
// (-1 without a preview widget).
inline int PreviewPages(QPrintPreviewDialog& preview) {
  preview.show();
  QApplication::processEvents();
  auto* widget = preview.findChild<QPrintPreviewWidget*>();
  return widget != nullptr ? widget->pageCount() : -1;
}

// The last prompt as "title|text".
inline QString LastShown(const ScriptedPrompter& prompter) {
  const QStringList shown = Shown(prompter);
  return shown.isEmpty() ? QStringLiteral("<none>") : shown.last();
}

// Those of the wanted texts that the text lacks.
inline QStringList Missing(const QString& text, const QStringList& wanted) {
  QStringList missing;
  for (const QString& one : wanted) {
    if (!text.contains(one)) missing << one;
  }
  return missing;
}

}  // namespace sonivera::test
