#include "ui/FormFind.h"

#include <QButtonGroup>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include "base/Messages.h"
#include "ui/DialogButtons.h"

namespace sonivera::ui {

FormFind::FormFind(Finder find, QWidget* parent) : QDialog(parent), find_(std::move(find)) {
  setObjectName(QStringLiteral("FormFind"));
  setWindowTitle(Msg(753));
  FitTitle(*this);
  text_ = new QLineEdit(this);
  text_->setObjectName(QStringLiteral("TextFind"));
  text_->setMaxLength(40);
  auto* frame = new QGroupBox(Msg(3135), this);
  auto* options = new QGridLayout(frame);
  fields_ = new QButtonGroup(this);
  for (int field = kPatNo; field <= kLastTest; ++field) {
    auto* button = new QRadioButton(Msg(1050 + field), frame);
    button->setObjectName(QStringLiteral("OptionField%1").arg(field));
    fields_->addButton(button, field);
    options->addWidget(button, field % 4, field / 4);
  }
  fields_->button(kSurname)->setChecked(true);
  connect(fields_, &QButtonGroup::idClicked, this, [this] { Restart(); });
  connect(text_, &QLineEdit::textEdited, this, [this] { Restart(); });

  auto* buttons = new QDialogButtonBox(this);
  find_button_ = buttons->addButton(Msg(750), QDialogButtonBox::ActionRole);
  find_button_->setObjectName(QStringLiteral("CommandOK"));
  find_button_->setDefault(true);
  connect(find_button_, &QPushButton::clicked, this, [this] { FindRecord(); });
  buttons->addButton(Msg(724), QDialogButtonBox::RejectRole);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

  auto* form = new QFormLayout;
  form->addRow(Msg(3134), text_);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(form);
  layout->addWidget(frame);
  layout->addWidget(buttons);
  text_->setFocus();
}

void FormFind::ChooseField(Field field) {
  fields_->button(field)->setChecked(true);
  Restart();
}

void FormFind::Restart() {
  first_pending_ = true;
  find_button_->setText(Msg(750));
}

bool FormFind::FindRecord() {
  // An empty search text would match every row: nothing to look for.
  if (text_->text().trimmed().isEmpty()) {
    text_->setFocus();
    return false;
  }
  const bool found = find_(static_cast<Field>(fields_->checkedId()), text_->text(), first_pending_);
  if (found) {
    first_pending_ = false;
    find_button_->setText(Msg(3167));
  } else {
    Restart();
  }
  return found;
}

}  // namespace sonivera::ui
