#include "ui/DetailsPage.h"

#include <QButtonGroup>
#include <QComboBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QRadioButton>
#include <QVBoxLayout>
#include <QWheelEvent>

#include "base/DetailLists.h"
#include "base/Messages.h"

namespace sonivera::ui {

// An editable drop-down list that can be made read-only like a text box:
// disabling it instead would grey the shown record out.
class DetailCombo : public QComboBox {
 public:
  using QComboBox::QComboBox;
  void SetReadOnly(bool read_only) {
    read_only_ = read_only;
    lineEdit()->setReadOnly(read_only);
  }
  void showPopup() override {
    if (!read_only_) QComboBox::showPopup();
  }

 protected:
  void keyPressEvent(QKeyEvent* event) override {
    if (read_only_ && (event->key() == Qt::Key_Up || event->key() == Qt::Key_Down ||
                       event->key() == Qt::Key_PageUp || event->key() == Qt::Key_PageDown ||
                       event->key() == Qt::Key_F4)) {
      return;
    }
    QComboBox::keyPressEvent(event);
  }
  void wheelEvent(QWheelEvent* event) override {
    if (!read_only_) QComboBox::wheelEvent(event);
  }

 private:
  bool read_only_ = false;
};

namespace {
const QString kDateMask = QStringLiteral("99/99/9999;_");
const QString kTimeMask = QStringLiteral("99:99:99;_");

QLineEdit* Box(QWidget* parent, const QString& name, int limit) {
  auto* box = new QLineEdit(parent);
  box->setObjectName(name);
  if (limit > 0) box->setMaxLength(limit);
  return box;
}

QLineEdit* MaskedBox(QWidget* parent, const QString& name, const QString& mask) {
  auto* box = new QLineEdit(parent);
  box->setObjectName(name);
  box->setInputMask(mask);
  const int width = box->fontMetrics().horizontalAdvance(QStringLiteral("00/00/00000")) + 16;
  box->setMaximumWidth(width);
  box->setMinimumWidth(width);
  return box;
}

// A masked box holds "__/__/____" when empty; setText of the mask itself
// would leave the blanks anyway, but clear() keeps the cursor at the start.
void SetMasked(QLineEdit* box, const QString& text) {
  if (IsEmptyBox(text)) {
    box->clear();
  } else {
    box->setText(text);
  }
}
}  // namespace

DetailsPage::DetailsPage(QWidget* parent) : QWidget(parent) {
  setObjectName(QStringLiteral("PageDetails"));
  frame_ = new QGroupBox(Msg(932), this);
  frame_->setObjectName(QStringLiteral("FrameDetails"));

  pat_no_ = Box(frame_, QStringLiteral("TextField0"), 16);
  surname_ = Box(frame_, QStringLiteral("TextField1"), 40);
  forenames_ = Box(frame_, QStringLiteral("TextField2"), 40);
  service_length_ = Box(frame_, QStringLiteral("TextField3"), 40);
  service_length_->setReadOnly(true);
  service_length_->setFocusPolicy(Qt::ClickFocus);
  serial_no_ = Box(frame_, QStringLiteral("TextSerialNo"), 40);
  baseline_ = Box(frame_, QStringLiteral("TextBaseline"), 0);
  baseline_->setReadOnly(true);
  baseline_->setFocusPolicy(Qt::ClickFocus);
  dob_ = MaskedBox(frame_, QStringLiteral("MBoxDOB"), kDateMask);
  for (int item = 0; item < 7; ++item) {
    dates_[item] = MaskedBox(frame_, QStringLiteral("MBoxDate%1").arg(item),
                             item == kBoxTimeofTest ? kTimeMask : kDateMask);
  }
  for (int item = 0; item < DetailLists::kListCount; ++item) {
    combos_[item] = new DetailCombo(frame_);
    combos_[item]->setObjectName(QStringLiteral("ComboDetails%1").arg(item));
    combos_[item]->setEditable(true);
    combos_[item]->setInsertPolicy(QComboBox::NoInsert);
    combos_[item]->lineEdit()->setMaxLength(DetailLists::TextLimit(item));
    combos_[item]->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    combos_[item]->setMinimumContentsLength(14);
  }
  test_type_ = new DetailCombo(frame_);
  test_type_->setObjectName(QStringLiteral("Combo1"));
  test_type_->setEditable(true);
  test_type_->setInsertPolicy(QComboBox::NoInsert);
  test_type_->lineEdit()->setMaxLength(DetailLists::kTestTypeLimit);
  notes_ = new QPlainTextEdit(frame_);
  notes_->setObjectName(QStringLiteral("TextNotes"));
  notes_->setTabChangesFocus(true);
  for (int line = 0; line < kAddressLineCount; ++line) {
    address_[line] = Box(frame_, QStringLiteral("TextAddress%1").arg(line), 40);
  }
  male_ = new QRadioButton(QStringLiteral("Male"), frame_);
  male_->setObjectName(QStringLiteral("OptionMale"));
  female_ = new QRadioButton(QStringLiteral("Female"), frame_);
  female_->setObjectName(QStringLiteral("OptionFemale"));
  sex_ = new QButtonGroup(this);
  sex_->addButton(male_);
  sex_->addButton(female_);
  auto* sex_row = new QHBoxLayout;
  sex_row->addWidget(male_);
  sex_row->addWidget(female_);
  sex_row->addStretch();

  auto* patient = new QFormLayout;
  patient->addRow(Msg(900), pat_no_);
  patient->addRow(Msg(901), surname_);
  patient->addRow(Msg(902), forenames_);
  patient->addRow(Msg(907), dob_);
  patient->addRow(Msg(908), sex_row);
  patient->addRow(Msg(911), address_[0]);
  for (int line = 1; line < kAddressLineCount; ++line) patient->addRow(QString(), address_[line]);
  patient->addRow(Msg(924), baseline_);

  auto* test = new QFormLayout;
  test->addRow(Msg(917), dates_[kBoxDateofTest]);
  test->addRow(Msg(918), dates_[kBoxTimeofTest]);
  test->addRow(Msg(919), dates_[kBoxPreviousTest]);
  test->addRow(Msg(916), test_type_);
  test->addRow(Msg(920), combos_[kComboExaminer]);
  test->addRow(Msg(921), serial_no_);
  test->addRow(Msg(922), dates_[kBoxCalibrated]);
  test->addRow(Msg(923), dates_[kBoxRecallDate]);
  test->addRow(Msg(930), notes_);

  auto* employment = new QFormLayout;
  employment->addRow(Msg(903), combos_[kComboPositionRank]);
  employment->addRow(Msg(904), combos_[kComboDeptUnit]);
  employment->addRow(Msg(905), combos_[kComboCompany]);
  employment->addRow(Msg(906), combos_[kComboLocation]);
  employment->addRow(Msg(909), combos_[kComboStatus]);
  employment->addRow(Msg(912), dates_[kBoxDateJoined]);
  employment->addRow(Msg(913), dates_[kBoxDateLeft]);
  employment->addRow(Msg(914), service_length_);
  employment->addRow(Msg(910), combos_[kComboLeavingReason]);
  employment->addRow(QStringLiteral("F1"), combos_[kComboF1]);
  employment->addRow(QStringLiteral("F2"), combos_[kComboF2]);
  employment->addRow(QStringLiteral("F3"), combos_[kComboF3]);

  auto* columns = new QHBoxLayout(frame_);
  columns->setSpacing(18);
  columns->addLayout(patient, 1);
  columns->addLayout(test, 1);
  columns->addLayout(employment, 1);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(frame_);
  layout->addStretch();

  // Tab order: down each column, left to right.
  QList<QWidget*> order = {pat_no_, surname_, forenames_, dob_, male_, female_};
  for (auto* line : address_) order << line;
  order << dates_[kBoxDateofTest] << dates_[kBoxTimeofTest] << dates_[kBoxPreviousTest]
        << test_type_ << combos_[kComboExaminer] << serial_no_ << dates_[kBoxCalibrated]
        << dates_[kBoxRecallDate] << notes_ << combos_[kComboPositionRank]
        << combos_[kComboDeptUnit] << combos_[kComboCompany] << combos_[kComboLocation]
        << combos_[kComboStatus] << dates_[kBoxDateJoined] << dates_[kBoxDateLeft]
        << combos_[kComboLeavingReason] << combos_[kComboF1] << combos_[kComboF2]
        << combos_[kComboF3];
  for (int i = 0; i + 1 < order.size(); ++i) setTabOrder(order[i], order[i + 1]);
  SetEditing(false);
}

void DetailsPage::SetLists(const DetailLists& lists) {
  for (int item = 0; item < DetailLists::kListCount; ++item) {
    const QString text = combos_[item]->currentText();
    combos_[item]->clear();
    combos_[item]->addItems(lists.lists[item]);
    combos_[item]->setEditText(text);
  }
}

QString DetailsPage::Baseline() const { return baseline_->text(); }

void DetailsPage::ShowValues(const EntryFields& fields, const QString& baseline) {
  pat_no_->setText(fields.PatNo);
  surname_->setText(fields.Surname);
  forenames_->setText(fields.Forenames);
  service_length_->setText(fields.ServiceLength);
  serial_no_->setText(fields.SerialNo);
  test_type_->setEditText(fields.TestType);
  notes_->setPlainText(fields.Notes);
  for (int item = 0; item < 10; ++item) combos_[item]->setEditText(fields.Details[item]);
  for (int item = 0; item < 7; ++item) SetMasked(dates_[item], fields.Dates[item]);
  SetMasked(dob_, fields.DOB);
  for (int line = 0; line < kAddressLineCount; ++line)
    address_[line]->setText(fields.Address[line]);
  sex_->setExclusive(false);
  male_->setChecked(fields.OptionMale);
  female_->setChecked(fields.OptionFemale);
  sex_->setExclusive(true);
  baseline_->setText(baseline);
}

void DetailsPage::ReadValues(EntryFields& fields) const {
  fields.PatNo = pat_no_->text();
  fields.Surname = surname_->text();
  fields.Forenames = forenames_->text();
  fields.ServiceLength = service_length_->text();
  fields.SerialNo = serial_no_->text();
  fields.TestType = test_type_->currentText();
  fields.Notes = notes_->toPlainText();
  for (int item = 0; item < 10; ++item) fields.Details[item] = combos_[item]->currentText();
  for (int item = 0; item < 7; ++item) fields.Dates[item] = dates_[item]->displayText();
  fields.DOB = dob_->displayText();
  for (int line = 0; line < kAddressLineCount; ++line)
    fields.Address[line] = address_[line]->text();
  fields.OptionMale = male_->isChecked();
  fields.OptionFemale = female_->isChecked();
}

void DetailsPage::SetEditing(bool editing, bool new_patient) {
  frame_->setTitle(editing ? Msg(1130) : Msg(932));
  frame_->setStyleSheet(editing ? QStringLiteral("QGroupBox#FrameDetails { font-weight: bold; }")
                                : QString());
  pat_no_->setReadOnly(!(editing && new_patient));
  for (auto* box : {surname_, forenames_, serial_no_, dob_}) box->setReadOnly(!editing);
  for (auto* box : dates_) box->setReadOnly(!editing);
  for (auto* box : address_) box->setReadOnly(!editing);
  for (auto* combo : combos_) static_cast<DetailCombo*>(combo)->SetReadOnly(!editing);
  static_cast<DetailCombo*>(test_type_)->SetReadOnly(!editing);
  notes_->setReadOnly(!editing);
  male_->setEnabled(editing);
  female_->setEnabled(editing);
}

}  // namespace sonivera::ui
