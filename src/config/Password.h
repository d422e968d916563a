#pragma once

#include <QString>

namespace sonivera {

struct ConfigContext;
class Prompter;

// The warning shown before the change-password window opens.
void ShowPasswordWarning(Prompter& prompter);

// The change-password window's OK: checks the current password and the two
// new ones exactly, then re-keys the open database. True when the password
// was changed and the window closes; false when it stays open (the reason
// has been shown). A failed change leaves the file and the password as they were.
bool ChangePassword(const ConfigContext& context, const QString& current,
                    const QString& new_password, const QString& new_password_again);

}  // namespace sonivera
