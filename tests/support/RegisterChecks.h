#pragma once
// Compact views of what a test was shown, so that one comparison checks a
// whole prompt or row.
#include <QStringList>

#include "support/ScriptedPrompter.h"

namespace sonivera::test {

// Each prompt as "text|title".
inline QStringList PromptLines(const ScriptedPrompter& prompter) {
  QStringList lines;
  for (const auto& p : prompter.Prompts()) lines << p.text + u'|' + p.title;
  return lines;
}

// The texts, joined with '|', for comparing a row of values at once.
inline QString Joined(std::initializer_list<QString> values) {
  return QStringList(values).join(u'|');
}

}  // namespace sonivera::test
