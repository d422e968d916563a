#include "ui/FormRecall.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "app/Application.h"
#include "base/Messages.h"
#include "categorise/ShiftCheck.h"
#include "ui/DialogButtons.h"

namespace sonivera::ui {

FormRecall::FormRecall(Application& app, const QString& categorisation, QWidget* parent)
    : QDialog(parent), app_(app), categorisation_(categorisation) {
  setObjectName(QStringLiteral("FormRecall"));
  setWindowTitle(Msg(800));
  FitTitle(*this);
  const sonivera::FormRecall logic(categorisation, app_.State().UserLocale);
  text1_ = new QLineEdit(logic.Text1(), this);
  text1_->setObjectName(QStringLiteral("Text1"));
  text1_->setReadOnly(true);
  text1_->setCursorPosition(0);
  text1_->setMinimumWidth(text1_->fontMetrics().horizontalAdvance(QString(40, u'M')));
  combo1_ = new QComboBox(this);
  combo1_->setObjectName(QStringLiteral("Combo1"));
  combo1_->setEditable(true);
  combo1_->setInsertPolicy(QComboBox::NoInsert);
  combo1_->addItems(logic.Periods());
  combo1_->setCurrentText(logic.PresetPeriod());

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
  form->addRow(Msg(915), text1_);
  form->addRow(Msg(807), combo1_);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(form);
  layout->addWidget(buttons);
  combo1_->setFocus();
}

void FormRecall::accept() {
  const sonivera::FormRecall logic(categorisation_, app_.State().UserLocale);
  const auto date = logic.Accept(combo1_->currentText(), QDate::currentDate(), app_);
  if (!date) return;  // "Incorrect Recall" was shown; the window stays open
  recall_date_ = date;
  QDialog::accept();
}

}  // namespace sonivera::ui
