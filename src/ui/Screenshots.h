#pragma once

#include <QString>

namespace sonivera::ui {

class FormMain;

// Pictures for the documentation, taken by the program itself so that no
// window manager or screen grabber is needed: the login window (answered
// with an empty password and the examiner "Demo" once pictured), then every
// page of the main window, then the program ends through its normal exit.
void AnswerLoginForScreenshot(const QString& folder);
void TakeScreenshots(FormMain& window, const QString& folder);

}  // namespace sonivera::ui
