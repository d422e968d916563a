#include "config/Password.h"

#include "base/AppError.h"
#include "base/ErrorLog.h"
#include "base/Messages.h"
#include "config/ConfigContext.h"
#include "db/Database.h"

namespace sonivera {

void ShowPasswordWarning(Prompter& prompter) {
  prompter.Show(Msg(1036), Msg(1037), Prompter::Buttons::Ok, Prompter::Answer::Ok,
                Prompter::Icon::Exclamation);
}

bool ChangePassword(const ConfigContext& context, const QString& current,
                    const QString& new_password, const QString& new_password_again) {
  if (current != context.database_password) {
    context.reporter.prompter().Show(Msg(991), Msg(951), Prompter::Buttons::Ok);
    return false;
  }
  if (new_password != new_password_again) {
    context.reporter.prompter().Show(Msg(990), Msg(951), Prompter::Buttons::Ok);
    return false;
  }
  try {
    context.database.ChangePassword(new_password);
  } catch (const AppError& error) {
    context.reporter.Report(error.Description(), error.Number(), "formpassword command1_click");
    return false;
  }
  context.database_password = new_password;
  return true;
}

}  // namespace sonivera
