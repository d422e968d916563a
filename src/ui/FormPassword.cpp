#include "ui/FormPassword.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "app/Application.h"
#include "base/Messages.h"
#include "config/Password.h"
#include "ui/DialogButtons.h"

namespace sonivera::ui {

FormPassword::FormPassword(Application& app, QWidget* parent) : QDialog(parent), app_(app) {
  setObjectName(QStringLiteral("FormPassword"));
  setWindowTitle(Msg(793));
  FitTitle(*this);
  auto* form = new QFormLayout;
  for (int i = 0; i < 3; ++i) {
    password_boxes_[i] = new QLineEdit(this);
    password_boxes_[i]->setObjectName(QStringLiteral("Text1_%1").arg(i));
    password_boxes_[i]->setEchoMode(QLineEdit::Password);
    form->addRow(Msg(790 + i), password_boxes_[i]);
  }
  const DialogButtons buttons = MakeOkCancelButtons(this);
  connect(buttons.command1, &QPushButton::clicked, this, &FormPassword::Command1Click);
  connect(buttons.command2, &QPushButton::clicked, this, &QDialog::reject);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(form);
  layout->addWidget(buttons.box);
  setMinimumWidth(360);
  password_boxes_[0]->setFocus();
}

void FormPassword::Command1Click() {
  if (ChangePassword(app_.ForConfig(), password_boxes_[0]->text(), password_boxes_[1]->text(),
                     password_boxes_[2]->text()))
    accept();
}

bool FormPassword::Open(Application& app, QWidget* parent) {
  ShowPasswordWarning(app.Ask());
  FormPassword window(app, parent);
  return window.exec() == QDialog::Accepted;
}

}  // namespace sonivera::ui
