#pragma once

#include <QDialog>

class QLineEdit;

namespace sonivera::ui {

// The login window: the database password and the examiner's name.
class FormLogin : public QDialog {
  Q_OBJECT
 public:
  explicit FormLogin(QWidget* parent = nullptr);
  QString Password() const;
  QString Examiner() const;

 private:
  QLineEdit* password_box_;
  QLineEdit* examiner_box_;
};

}  // namespace sonivera::ui
