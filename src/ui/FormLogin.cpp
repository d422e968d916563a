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
  text1_ = new QLineEdit(this);
  text1_->setObjectName(QStringLiteral("Text1"));
  text1_->setEchoMode(QLineEdit::Password);
  text2_ = new QLineEdit(this);
  text2_->setObjectName(QStringLiteral("Text2"));
  text2_->setMaxLength(40);
  auto* form = new QFormLayout;
  form->addRow(Msg(202), text1_);
  form->addRow(Msg(101), text2_);
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
  text1_->setFocus();
}

QString FormLogin::Password() const { return text1_->text(); }
QString FormLogin::Examiner() const { return text2_->text(); }

}  // namespace sonivera::ui
