#include "config/Password.h"

#include "base/AppError.h"
#include "app/Application.h"
#include "base/Messages.h"

namespace sonivera {

void ShowPasswordWarning(Prompter& prompter) {
  prompter.Show(Msg(1036), Msg(1037), Prompter::Buttons::Ok, Prompter::Answer::Ok,
                Prompter::Icon::Exclamation);
}

bool ChangePassword(Application& app, const QString& current, const QString& new_password,
                    const QString& new_password_again) {
  AppState& state = app.State();
  if (current != state.DatabasePassword) {
    app.Ask().Show(Msg(991), Msg(951), Prompter::Buttons::Ok);
    return false;
  }
  if (new_password != new_password_again) {
    app.Ask().Show(Msg(990), Msg(951), Prompter::Buttons::Ok);
    return false;
  }
  try {
    app.Db().ChangePassword(new_password);
  } catch (const AppError& error) {
    app.Reporter().Report(error.Description(), error.Number(), "formpassword command1_click");
    return false;
  }
  state.DatabasePassword = new_password;
  return true;
}

}  // namespace sonivera
