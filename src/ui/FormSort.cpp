#include "ui/FormSort.h"

#include <QButtonGroup>
#include <QDialogButtonBox>
#include <QGroupBox>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include "base/Messages.h"
#include "ui/DialogButtons.h"

namespace sonivera::ui {

FormSort::FormSort(SortField current, QWidget* parent) : QDialog(parent) {
  setObjectName(QStringLiteral("FormSort"));
  setWindowTitle(Msg(3136));
  FitTitle(*this);
  auto* frame = new QGroupBox(Msg(3137), this);
  auto* column = new QVBoxLayout(frame);
  options_ = new QButtonGroup(this);
  for (int option = 0; option <= static_cast<int>(SortField::Categorisation); ++option) {
    auto* button = new QRadioButton(SortCaption(static_cast<SortField>(option)), frame);
    button->setObjectName(QStringLiteral("OptionSort%1").arg(option));
    options_->addButton(button, option);
    column->addWidget(button);
  }
  Choose(current);
  auto* buttons = new QDialogButtonBox(this);
  buttons->addButton(Msg(11), QDialogButtonBox::AcceptRole)->setDefault(true);
  buttons->addButton(Msg(12), QDialogButtonBox::RejectRole);
  connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(frame);
  layout->addWidget(buttons);
}

SortField FormSort::Chosen() const { return static_cast<SortField>(options_->checkedId()); }

void FormSort::Choose(SortField field) {
  options_->button(static_cast<int>(field))->setChecked(true);
}

}  // namespace sonivera::ui
