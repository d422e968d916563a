#pragma once

#include "base/ErrorLog.h"
#include "support/ScriptedPrompter.h"
#include "support/TempFolder.h"

namespace sonivera::chart {

// A reporter writing err.log into a temporary folder.
struct Reporting {
  test::TempFolder folder;
  test::ScriptedPrompter prompter;
  ErrorLog log{folder.File(QStringLiteral("err.log"))};
  ErrorReporter reporter{prompter, log};
};

}  // namespace sonivera::chart
