#include "ui/VisionAnswersBox.h"

#include <QAbstractButton>
#include <QButtonGroup>
#include <QComboBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QRadioButton>

namespace sonivera::ui {

using vision::YesNo;

namespace {
YesNo Chosen(const QButtonGroup* group) {
  switch (group->checkedId()) {
    case 1:
      return YesNo::Yes;
    case 2:
      return YesNo::No;
    default:
      return YesNo::Unanswered;
  }
}

void Choose(QButtonGroup* group, YesNo answer) {
  group->setExclusive(false);
  group->button(1)->setChecked(answer == YesNo::Yes);
  group->button(2)->setChecked(answer == YesNo::No);
  group->setExclusive(true);
}
}  // namespace

VisionAnswersBox::VisionAnswersBox(QWidget* parent) : QGroupBox(QStringLiteral("Vision"), parent) {
  setObjectName(QStringLiteral("FrameVisionAnswers"));
  auto* form = new QFormLayout(this);
  glasses_ = AddPair(QStringLiteral("OptionGlasses"), QStringLiteral("Glasses"), form);
  glasses_type_ = new QComboBox(this);
  glasses_type_->setObjectName(QStringLiteral("ComboGlassesType"));
  glasses_type_->setEditable(true);
  glasses_type_->addItems({QStringLiteral("Bifocal"), QStringLiteral("Trifocal"),
                           QStringLiteral("Multifocal"), QStringLiteral("Special")});
  glasses_type_->lineEdit()->setMaxLength(32);
  form->addRow(QStringLiteral("T&ype"), glasses_type_);
  contacts_ = AddPair(QStringLiteral("OptionContacts"), QStringLiteral("Contact Lenses"), form);
  rx_ = AddPair(QStringLiteral("OptionRX"), QStringLiteral("Change in RX"), form);
  last_exam_ = new QLineEdit(this);
  last_exam_->setObjectName(QStringLiteral("MBoxDateVExam"));
  last_exam_->setInputMask(QStringLiteral("99/99/9999;_"));
  form->addRow(QStringLiteral("&Last Exam by Doctor"), last_exam_);
  referred_ = AddPair(QStringLiteral("OptionRefered"), QStringLiteral("Referred"), form);
  SetEditing(false);
}

QButtonGroup* VisionAnswersBox::AddPair(const QString& name, const QString& caption,
                                        QFormLayout* form) {
  auto* row = new QWidget(this);
  auto* layout = new QHBoxLayout(row);
  layout->setContentsMargins(0, 0, 0, 0);
  auto* group = new QButtonGroup(this);
  for (int id = 1; id <= 2; ++id) {
    auto* option = new QRadioButton(id == 1 ? QStringLiteral("Yes") : QStringLiteral("No"), row);
    option->setObjectName(QStringLiteral("%1_%2").arg(name).arg(id - 1));
    group->addButton(option, id);
    layout->addWidget(option);
  }
  layout->addStretch(1);
  form->addRow(caption, row);
  return group;
}

void VisionAnswersBox::ShowValues(const vision::VisionAnswerFields& a) {
  Choose(glasses_, a.glasses);
  Choose(contacts_, a.contacts);
  Choose(rx_, a.change_in_rx);
  Choose(referred_, a.referred);
  glasses_type_->setEditText(a.glasses_type);
  const bool empty = a.last_exam.isEmpty() || a.last_exam == kEmptyDateBox;
  last_exam_->setText(empty ? QString() : a.last_exam);
}

void VisionAnswersBox::ReadValues(vision::VisionAnswerFields& a) const {
  a.glasses = Chosen(glasses_);
  a.contacts = Chosen(contacts_);
  a.change_in_rx = Chosen(rx_);
  a.referred = Chosen(referred_);
  a.glasses_type = glasses_type_->currentText();
  a.last_exam = last_exam_->displayText();
}

void VisionAnswersBox::SetEditing(bool editing) {
  for (QButtonGroup* group : {glasses_, contacts_, rx_, referred_}) {
    for (QAbstractButton* button : group->buttons()) button->setEnabled(editing);
  }
  glasses_type_->setEnabled(editing);
  last_exam_->setReadOnly(!editing);
}

}  // namespace sonivera::ui
