#pragma once

#include <QString>
#include <QStringList>
#include <ostream>

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

}  // namespace sonivera::test
