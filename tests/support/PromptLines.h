#pragma once

#include <QStringList>

#include "support/ScriptedPrompter.h"

namespace sonivera::test {

// The prompts from the index on, each as "text|title".
inline QStringList PromptLines(const ScriptedPrompter& prompter, size_t from = 0) {
  QStringList out;
  for (size_t i = from; i < prompter.Prompts().size(); ++i) {
    out << prompter.Prompts()[i].text + u'|' + prompter.Prompts()[i].title;
  }
  return out;
}

}  // namespace sonivera::test
