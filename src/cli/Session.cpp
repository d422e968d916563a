#include "cli/Session.h"

namespace sonivera::cli {

Session StartSession(const CommandContext& context) {
  Session session;
  session.prompter = std::make_unique<CliPrompter>(context.password);
  session.prompter->SetAssumeYes(context.assume_yes);
  session.app = std::make_unique<Application>(ProgramFolder(ProgramFolder::Resolve(context.folder)),
                                              *session.prompter);
  if (!session.app->Start()) session.app.reset();
  return session;
}

void EndSession(Session& session) {
  if (session.app) session.app->EndProgram(false);
}

}  // namespace sonivera::cli
