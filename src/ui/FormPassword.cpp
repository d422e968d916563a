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
    text1_[i] = new QLineEdit(this);
    text1_[i]->setObjectName(QStringLiteral("Text1_%1").arg(i));
    text1_[i]->setEchoMode(QLineEdit::Password);
    form->addRow(Msg(790 + i), text1_[i]);
  }
  const DialogButtons buttons = MakeOkCancelButtons(this);
  connect(buttons.command1, &QPushButton::clicked, this, &FormPassword::Command1Click);
  connect(buttons.command2, &QPushButton::clicked, this, &QDialog::reject);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(form);
  layout->addWidget(buttons.box);
  setMinimumWidth(360);
  text1_[0]->setFocus();
}

void FormPassword::Command1Click() {
  if (ChangePassword(app_, text1_[0]->text(), text1_[1]->text(), text1_[2]->text())) accept();
}

bool FormPassword::Open(Application& app, QWidget* parent) {
  ShowPasswordWarning(app.Ask());
  FormPassword window(app, parent);
  return window.exec() == QDialog::Accepted;
}

}  // namespace sonivera::ui
