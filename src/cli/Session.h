#pragma once

#include <memory>

#include "app/Application.h"
#include "cli/CliPrompter.h"
#include "cli/Command.h"

namespace sonivera::cli {

// A started program on the folder of the command line: settings read,
// database open. Empty when the start-up failed (its message is on stderr).
struct Session {
  std::unique_ptr<CliPrompter> prompter;
  std::unique_ptr<Application> app;
};

Session StartSession(const CommandContext& context);

// Ends the run as the desktop program does (settings written, database closed).
void EndSession(Session& session);

}  // namespace sonivera::cli
