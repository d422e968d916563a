#include "ui/FormChangePatNo.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "base/Messages.h"
#include "ui/DialogButtons.h"

namespace sonivera::ui {

FormChangePatNo::FormChangePatNo(const QString& old_pat_no,
                                 std::function<bool(const QString&)> change, QWidget* parent)
    : QDialog(parent), change_(std::move(change)) {
  setObjectName(QStringLiteral("FormChangePatNo"));
  setWindowTitle(Msg(500));
  FitTitle(*this);
  old_ = new QLineEdit(old_pat_no, this);
  old_->setObjectName(QStringLiteral("TextOldPatNo"));
  old_->setReadOnly(true);
  old_->setFocusPolicy(Qt::ClickFocus);
  new_ = new QLineEdit(this);
  new_->setObjectName(QStringLiteral("TextNewPatNo"));
  new_->setMaxLength(16);
  auto* form = new QFormLayout;
  form->addRow(Msg(501), old_);
  form->addRow(Msg(502), new_);
  auto* buttons = new QDialogButtonBox(this);
  auto* change_button = buttons->addButton(Msg(503), QDialogButtonBox::AcceptRole);
  change_button->setObjectName(QStringLiteral("CommandChange"));
  change_button->setDefault(true);
  buttons->addButton(Msg(12), QDialogButtonBox::RejectRole)
      ->setObjectName(QStringLiteral("CommandCancel"));
  connect(buttons, &QDialogButtonBox::accepted, this, &FormChangePatNo::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(form);
  layout->addWidget(buttons);
  new_->setFocus();
}

void FormChangePatNo::accept() {
  if (change_(new_->text())) QDialog::accept();
}

}  // namespace sonivera::ui
