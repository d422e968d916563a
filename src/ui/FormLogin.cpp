#include "ui/FormLogin.h"

#include "ui/DialogButtons.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QIcon>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "base/Messages.h"

namespace sonivera::ui {

FormLogin::FormLogin(QWidget* parent) : QDialog(parent) {
  setObjectName(QStringLiteral("FormLogin"));
  setWindowTitle(Msg(203));
  auto* picture = new QLabel(this);
  picture->setPixmap(QIcon::fromTheme(QStringLiteral("dialog-password"),
                                      QIcon::fromTheme(QStringLiteral("system-lock-screen")))
                         .pixmap(48, 48));
  password_box_ = new QLineEdit(this);
  password_box_->setObjectName(QStringLiteral("Text1"));
  password_box_->setEchoMode(QLineEdit::Password);
  examiner_box_ = new QLineEdit(this);
  examiner_box_->setObjectName(QStringLiteral("Text2"));
  examiner_box_->setMaxLength(40);
  auto* form = new QFormLayout;
  form->addRow(Msg(202), password_box_);
  form->addRow(Msg(101), examiner_box_);
  const DialogButtons buttons = MakeOkCancelButtons(this);
  connect(buttons.box, &QDialogButtonBox::accepted, this, &QDialog::accept);
  connect(buttons.box, &QDialogButtonBox::rejected, this, &QDialog::reject);
  auto* top = new QHBoxLayout;
  top->addWidget(picture, 0, Qt::AlignTop);
  top->addLayout(form, 1);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(top);
  layout->addWidget(buttons.box);
  setMinimumWidth(360);
  password_box_->setFocus();
}

QString FormLogin::Password() const { return password_box_->text(); }
QString FormLogin::Examiner() const { return examiner_box_->text(); }

}  // namespace sonivera::ui
