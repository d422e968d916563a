#include "ui/FormTx730Small.h"

#include <QButtonGroup>
#include <QDate>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include "ui/DialogButtons.h"

namespace sonivera::ui {

FormTX730Filter::FormTX730Filter(QWidget* parent) : QDialog(parent) {
  setObjectName(QStringLiteral("FormTX730Filter"));
  setWindowTitle(QStringLiteral("TX730 Data Request"));
  auto* layout = new QVBoxLayout(this);
  auto* frame = new QGroupBox(this);
  auto* grid = new QGridLayout(frame);
  options_ = new QButtonGroup(this);
  const char* const kTexts[] = {
      "None",    "Patient No.",         "Surname",           "Forenames", "Position", "Department",
      "Company", "Test Date or Before", "Test Date or After"};
  for (int i = 0; i < 9; ++i) {
    auto* option = new QRadioButton(QString::fromLatin1(kTexts[i]), frame);
    option->setObjectName(QStringLiteral("Option1_%1").arg(i));
    options_->addButton(option, i);
    grid->addWidget(option, i % 5, i / 5);
  }
  layout->addWidget(frame);
  auto* form = new QFormLayout;
  filter_text_ = new QLineEdit(this);
  filter_text_->setObjectName(QStringLiteral("TextFilter"));
  form->addRow(QStringLiteral("Filter Text"), filter_text_);
  layout->addLayout(form);
  auto* buttons = new QHBoxLayout;
  auto* current =
      MakeNamedButton(this, QStringLiteral("CommandCurrent"), QStringLiteral("Current"));
  auto* today =
      MakeNamedButton(this, QStringLiteral("CommandToday"), QStringLiteral("Today's tests"));
  auto* start_button =
      MakeNamedButton(this, QStringLiteral("CommandStart"), QStringLiteral("&Start"));
  auto* cancel = MakeNamedButton(this, QStringLiteral("CommandCancel"), QStringLiteral("&Cancel"));
  for (auto* b : {current, today, start_button, cancel}) buttons->addWidget(b);
  start_button->setDefault(true);
  layout->addLayout(buttons);
  connect(current, &QPushButton::clicked, this, &FormTX730Filter::Current);
  connect(today, &QPushButton::clicked, this, &FormTX730Filter::TodaysTests);
  connect(start_button, &QPushButton::clicked, this, &FormTX730Filter::Start);
  connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
}

RequestFilter FormTX730Filter::Chosen() const {
  const int id = options_->checkedId();
  return id < 0 ? RequestFilter::NotChosen : static_cast<RequestFilter>(id);
}

void FormTX730Filter::Choose(RequestFilter option) {
  if (auto* button = options_->button(static_cast<int>(option))) button->setChecked(true);
}

void FormTX730Filter::Current() {
  const RequestFilter option = Chosen();
  if (option == RequestFilter::None || option == RequestFilter::NotChosen) {
    filter_text_->setText(QStringLiteral("Error"));
    return;
  }
  if (current) filter_text_->setText(current(option));
}

void FormTX730Filter::TodaysTests() {
  Choose(RequestFilter::DateOrAfter);
  filter_text_->setText(QDate::currentDate().toString(QStringLiteral("dd/MM/yyyy")));
}

void FormTX730Filter::Start() {
  // The request hides this window while it runs.
  hide();
  if (start) start(Chosen(), filter_text_->text());
  accept();
}

FormViewTX730::FormViewTX730(const QString& lines, const QString& conversion_name,
                             const QString& conversion_text, QWidget* parent)
    : QDialog(parent) {
  setObjectName(QStringLiteral("FormViewTX730"));
  setWindowTitle(QStringLiteral("TX730"));
  auto* layout = new QHBoxLayout(this);
  lines_ = new QPlainTextEdit(lines, this);
  lines_->setObjectName(QStringLiteral("TextLines"));
  lines_->setReadOnly(true);
  lines_->setLineWrapMode(QPlainTextEdit::NoWrap);
  auto* side = new QVBoxLayout;
  auto* name = new QLabel(conversion_name, this);
  name->setObjectName(QStringLiteral("LabelConversionFile"));
  auto* conversion = new QPlainTextEdit(conversion_text, this);
  conversion->setObjectName(QStringLiteral("TextConversionFile"));
  conversion->setReadOnly(true);
  side->addWidget(name);
  side->addWidget(conversion);
  auto* close = MakeNamedButton(this, QStringLiteral("CommandClose"), QStringLiteral("&Close"));
  connect(close, &QPushButton::clicked, this, &QDialog::accept);
  side->addWidget(close);
  layout->addWidget(lines_, 3);
  layout->addLayout(side, 1);
  resize(900, 500);
}

FormS1PatSex::FormS1PatSex(int record_number, const QString& sex, const QString& date_of_birth,
                           QWidget* parent)
    : QDialog(parent) {
  setObjectName(QStringLiteral("FormS1PatSex"));
  setWindowTitle(QStringLiteral("Enter Details"));
  auto* form = new QFormLayout(this);
  auto* number = new QLabel(QString::number(record_number), this);
  number->setObjectName(QStringLiteral("LabelRecord"));
  form->addRow(QStringLiteral("Record"), number);
  auto* sex_box = new QWidget(this);
  auto* sex_layout = new QHBoxLayout(sex_box);
  sex_layout->setContentsMargins(0, 0, 0, 0);
  male_ = new QRadioButton(QStringLiteral("Male"), sex_box);
  male_->setObjectName(QStringLiteral("OptionMale"));
  female_ = new QRadioButton(QStringLiteral("Female"), sex_box);
  female_->setObjectName(QStringLiteral("OptionFemale"));
  sex_layout->addWidget(male_);
  sex_layout->addWidget(female_);
  male_->setChecked(sex == QLatin1String("M"));
  female_->setChecked(sex == QLatin1String("F"));
  form->addRow(QStringLiteral("Sex"), sex_box);
  dob_ = new QLineEdit(this);
  dob_->setObjectName(QStringLiteral("MBoxDOB"));
  dob_->setInputMask(QStringLiteral("99/99/9999;_"));
  dob_->setText(date_of_birth);
  form->addRow(QStringLiteral("Date of Birth"), dob_);
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok, this);
  buttons->button(QDialogButtonBox::Ok)->setObjectName(QStringLiteral("CommandOK"));
  connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
  form->addRow(buttons);
}

QString FormS1PatSex::Sex() const {
  if (male_->isChecked()) return QStringLiteral("M");
  if (female_->isChecked()) return QStringLiteral("F");
  return {};
}

QString FormS1PatSex::DateOfBirth() const { return dob_->text(); }

}  // namespace sonivera::ui
