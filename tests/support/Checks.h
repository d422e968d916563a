#pragma once

#include <QString>
#include <QStringList>
#include <initializer_list>
#include <ostream>
#include <string>

#include "base/AppError.h"
#include "support/ScriptedPrompter.h"

// Readable failure messages for Qt texts.
inline void PrintTo(const QString& text, std::ostream* os) {
  *os << '"' << text.toStdString() << '"';
}
inline void PrintTo(const QStringList& list, std::ostream* os) {
  *os << '[' << list.join(QStringLiteral("|")).toStdString() << ']';
}

namespace sonivera::test {

// Compact views of what a test was shown or raised, so that one comparison
// checks a whole prompt, error or row.

// "number description" of the AppError the call raises; "none" without one.
template <typename Call>
QString ErrorOf(Call&& call) {
  try {
    call();
  } catch (const AppError& error) {
    return QStringLiteral("%1 %2").arg(error.Number()).arg(error.Description());
  }
  return QStringLiteral("none");
}

// "title|text" of every prompt shown, in order.
inline QStringList Shown(const ScriptedPrompter& prompter) {
  QStringList shown;
  for (const auto& prompt : prompter.Prompts()) shown << prompt.title + u'|' + prompt.text;
  return shown;
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
