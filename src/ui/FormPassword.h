#pragma once

#include <QDialog>
#include <array>

class QLineEdit;
class QPushButton;

namespace sonivera {
class Application;
}

namespace sonivera::ui {

// The change-password window: the current password and the new one twice.
// OK re-keys the open database; the window stays open after a mistake.
class FormPassword : public QDialog {
  Q_OBJECT
 public:
  explicit FormPassword(Application& app, QWidget* parent = nullptr);

  // The warning, then the window, modally. True when the password was changed.
  static bool Open(Application& app, QWidget* parent);

 private:
  void Command1Click();

  Application& app_;
  std::array<QLineEdit*, 3> password_boxes_{};
};

}  // namespace sonivera::ui
