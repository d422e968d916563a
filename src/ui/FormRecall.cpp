#include "ui/FormRecall.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "base/Messages.h"
#include "base/Prompter.h"
#include "ui/DialogButtons.h"

namespace sonivera::ui {

FormRecall::FormRecall(const QString& categorisation, int lcid, Prompter& prompter, QWidget* parent)
    : QDialog(parent), period_(categorisation, lcid), prompter_(prompter) {
  setObjectName(QStringLiteral("FormRecall"));
  setWindowTitle(Msg(800));
  FitTitle(*this);
  categorisation_box_ = new QLineEdit(period_.Categorisation(), this);
  categorisation_box_->setObjectName(QStringLiteral("Text1"));
  categorisation_box_->setReadOnly(true);
  categorisation_box_->setCursorPosition(0);
  categorisation_box_->setMinimumWidth(
      categorisation_box_->fontMetrics().horizontalAdvance(QString(40, u'M')));
  period_box_ = new QComboBox(this);
  period_box_->setObjectName(QStringLiteral("Combo1"));
  period_box_->setEditable(true);
  period_box_->setInsertPolicy(QComboBox::NoInsert);
  period_box_->addItems(period_.Periods());
  period_box_->setCurrentText(period_.PresetPeriod());

  auto* command3 = new QPushButton(Msg(11), this);
  command3->setObjectName(QStringLiteral("Command3"));
  command3->setDefault(true);
  auto* command1 = new QPushButton(Msg(12), this);
  command1->setObjectName(QStringLiteral("Command1"));
  auto* buttons = new QDialogButtonBox(this);
  buttons->addButton(command3, QDialogButtonBox::AcceptRole);
  buttons->addButton(command1, QDialogButtonBox::RejectRole);
  connect(buttons, &QDialogButtonBox::accepted, this, &FormRecall::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

  auto* form = new QFormLayout;
  form->addRow(Msg(915), categorisation_box_);
  form->addRow(Msg(807), period_box_);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(form);
  layout->addWidget(buttons);
  period_box_->setFocus();
}

void FormRecall::accept() {
  const auto date = period_.Accept(period_box_->currentText(), QDate::currentDate(), prompter_);
  if (!date) return;  // "Incorrect Recall" was shown; the window stays open
  recall_date_ = date;
  QDialog::accept();
}

}  // namespace sonivera::ui
