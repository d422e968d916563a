#pragma once
// Compact views of what a test was shown, so that one comparison checks a
// whole prompt or row.
#include <QStringList>
#include <string>

#include "support/ScriptedPrompter.h"

namespace sonivera::test {

// Each prompt as "text|title".
inline QStringList PromptLines(const ScriptedPrompter& prompter) {
  QStringList lines;
  for (const auto& p : prompter.Prompts()) lines << p.text + u'|' + p.title;
  return lines;
}

// The text of the one prompt, for gmock's string matchers; "<n prompts>"
// (which no text check matches) when there was not exactly one.
inline std::string OnlyPrompt(const ScriptedPrompter& prompter) {
  const QStringList texts = prompter.Texts();
  return texts.size() == 1 ? texts[0].toStdString()
                           : "<" + std::to_string(texts.size()) + " prompts>";
}

// The texts, joined with '|', for comparing a row of values at once.
inline QString Joined(std::initializer_list<QString> values) {
  return QStringList(values).join(u'|');
}

}  // namespace sonivera::test
