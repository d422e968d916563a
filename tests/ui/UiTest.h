#pragma once

#include <gtest/gtest.h>

#include <QApplication>
#include <QPushButton>

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
inline void Click(const QObject& parent, const char* name) { Child<QPushButton>(parent, name)->click(); }

// Every prompt shown so far as "title|text".
inline QStringList Shown(const ScriptedPrompter& prompter) {
  QStringList shown;
  for (const auto& prompt : prompter.Prompts()) shown << prompt.title + u'|' + prompt.text;
  return shown;
}
inline QString LastShown(const ScriptedPrompter& prompter) {
  const QStringList shown = Shown(prompter);
  return shown.isEmpty() ? QStringLiteral("<none>") : shown.last();
}

}  // namespace sonivera::test
