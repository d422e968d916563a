#include "ui/FormFilter.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "base/Messages.h"
#include "categorise/Schemes.h"

namespace sonivera::ui {

namespace {
QLineEdit* CriteriaBox(QWidget* parent, int item, int limit) {
  auto* box = new QLineEdit(parent);
  box->setObjectName(QStringLiteral("Text1_%1").arg(item));
  box->setMaxLength(limit);
  box->setClearButtonEnabled(true);
  return box;
}
}  // namespace

FormFilter::FormFilter(int lcid, const FilterCriteria& shown, Actions actions, QWidget* parent)
    : QDialog(parent), french_(IsFrenchLocale(lcid)), actions_(std::move(actions)) {
  setObjectName(QStringLiteral("FormFilter"));
  setWindowTitle(Msg(729));
  auto* note = new QLabel(Msg(725), this);
  note->setWordWrap(true);
  auto* columns = new QHBoxLayout;
  columns->addWidget(BuildDetails());
  auto* right = new QVBoxLayout;
  right->addWidget(BuildDates());
  right->addWidget(BuildCategories());
  right->addStretch();
  columns->addLayout(right);

  auto* buttons = new QDialogButtonBox(this);
  auto* apply = buttons->addButton(Msg(3152), QDialogButtonBox::ActionRole);
  apply->setObjectName(QStringLiteral("CommandApply"));
  apply->setDefault(true);
  auto* current = buttons->addButton(Msg(721), QDialogButtonBox::ActionRole);
  current->setObjectName(QStringLiteral("CommandCurrent"));
  auto* clear = buttons->addButton(Msg(722), QDialogButtonBox::ActionRole);
  clear->setObjectName(QStringLiteral("CommandClear"));
  buttons->addButton(Msg(724), QDialogButtonBox::RejectRole)
      ->setObjectName(QStringLiteral("CommandClose"));
  connect(apply, &QPushButton::clicked, this, &FormFilter::CommandApply);
  connect(current, &QPushButton::clicked, this, &FormFilter::CommandCurrent);
  connect(clear, &QPushButton::clicked, this, &FormFilter::CommandClear);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

  auto* layout = new QVBoxLayout(this);
  layout->addWidget(note);
  layout->addLayout(columns);
  layout->addWidget(buttons);
  ShowCriteria(shown);
}

QWidget* FormFilter::BuildDetails() {
  auto* frame = new QGroupBox(Msg(3156), this);
  auto* form = new QFormLayout(frame);
  const std::pair<int, int> rows[] = {{0, 900}, {1, 901}, {2, 902}, {3, 903}, {4, 904}, {5, 905},
                                      {6, 906}, {7, 920}, {8, 910}, {9, 909}, {14, 908}};
  for (const auto& [item, label] : rows) {
    criteria_boxes_[item] = CriteriaBox(frame, item, item == 0 ? 16 : 40);
    form->addRow(Msg(label), criteria_boxes_[item]);
  }
  for (int item = 27; item <= 29; ++item) {
    criteria_boxes_[item] = CriteriaBox(frame, item, 20);
    form->addRow(QStringLiteral("F%1").arg(item - 26), criteria_boxes_[item]);
  }
  // Length of service, from and to, in years and months.
  for (int first : {10, 12}) {
    auto* row = new QHBoxLayout;
    for (int item = first; item < first + 2; ++item) {
      criteria_boxes_[item] = CriteriaBox(frame, item, 3);
      criteria_boxes_[item]->setMaximumWidth(60);
      row->addWidget(criteria_boxes_[item]);
      row->addWidget(new QLabel(Msg(item == first ? 3142 : 3143), frame));
    }
    row->addStretch();
    form->addRow(Msg(3153) + QStringLiteral(" ") + Msg(first == 10 ? 3140 : 3141), row);
  }
  return frame;
}

QWidget* FormFilter::BuildDates() {
  auto* frame = new QGroupBox(Msg(3157), this);
  auto* grid = new QGridLayout(frame);
  grid->addWidget(new QLabel(Msg(3138), frame), 0, 1);
  grid->addWidget(new QLabel(Msg(3139), frame), 0, 2);
  const std::pair<int, int> rows[] = {{15, 917}, {17, 907}, {19, 919},
                                      {21, 912}, {23, 913}, {25, 923}};
  int line = 1;
  for (const auto& [first, label] : rows) {
    grid->addWidget(new QLabel(Msg(label), frame), line, 0);
    for (int item = first; item < first + 2; ++item) {
      criteria_boxes_[item] = CriteriaBox(frame, item, 10);
      criteria_boxes_[item]->setPlaceholderText(QStringLiteral("dd/mm/yyyy"));
      grid->addWidget(criteria_boxes_[item], line, 1 + item - first);
    }
    ++line;
  }
  return frame;
}

QWidget* FormFilter::BuildCategories() {
  auto* frame = new QGroupBox(Msg(3144), this);
  auto* grid = new QGridLayout(frame);
  if (!french_) {
    for (int i = 0; i < 7; ++i) {
      categories_[i] = new QCheckBox(Msg(3145 + i), frame);
      categories_[i]->setObjectName(QStringLiteral("CheckCategory%1").arg(i));
      grid->addWidget(categories_[i], i % 4, i / 4);
    }
    return frame;
  }
  const QString names[3] = {QStringLiteral("MP42"), QStringLiteral("PAM"), QStringLiteral("IPA")};
  grid->addWidget(new QLabel(Msg(3154), frame), 0, 1);
  grid->addWidget(new QLabel(Msg(3155), frame), 0, 2);
  for (int i = 0; i < 3; ++i) {
    scheme_ticks_[i] = new QCheckBox(names[i], frame);
    scheme_ticks_[i]->setObjectName(QStringLiteral("Check") + names[i]);
    upper_[i] = new QLineEdit(frame);
    upper_[i]->setObjectName(QStringLiteral("Text2_%1").arg(i));
    lower_[i] = new QLineEdit(frame);
    lower_[i]->setObjectName(QStringLiteral("Text3_%1").arg(i));
    grid->addWidget(scheme_ticks_[i], i + 1, 0);
    grid->addWidget(upper_[i], i + 1, 1);
    grid->addWidget(lower_[i], i + 1, 2);
  }
  return frame;
}

FilterCriteria FormFilter::Criteria() const {
  FilterCriteria criteria;
  for (int item = 0; item < 30; ++item) criteria.Boxes[item] = criteria_boxes_[item]->text();
  if (!french_) {
    bool* flags[7] = {&criteria.Category1, &criteria.Category2, &criteria.Category3,
                      &criteria.Category4, &criteria.CategoryU, &criteria.Category4NoData,
                      &criteria.Incomplete};
    for (int i = 0; i < 7; ++i) *flags[i] = categories_[i]->isChecked();
  } else {
    FilterCriteria::Range* ranges[3] = {&criteria.Mp42, &criteria.Pam, &criteria.Ipa};
    for (int i = 0; i < 3; ++i) {
      ranges[i]->ticked = scheme_ticks_[i]->isChecked();
      ranges[i]->upper = upper_[i]->text();
      ranges[i]->lower = lower_[i]->text();
    }
  }
  return criteria;
}

void FormFilter::ShowCriteria(const FilterCriteria& criteria) {
  for (int item = 0; item < 30; ++item) criteria_boxes_[item]->setText(criteria.Boxes[item]);
  if (!french_) {
    const bool flags[7] = {criteria.Category1, criteria.Category2, criteria.Category3,
                           criteria.Category4, criteria.CategoryU, criteria.Category4NoData,
                           criteria.Incomplete};
    for (int i = 0; i < 7; ++i) categories_[i]->setChecked(flags[i]);
  } else {
    const FilterCriteria::Range* ranges[3] = {&criteria.Mp42, &criteria.Pam, &criteria.Ipa};
    for (int i = 0; i < 3; ++i) {
      scheme_ticks_[i]->setChecked(ranges[i]->ticked);
      upper_[i]->setText(ranges[i]->upper);
      lower_[i]->setText(ranges[i]->lower);
    }
  }
}

void FormFilter::CommandApply() {
  if (actions_.apply(Criteria())) accept();
}

void FormFilter::CommandClear() {
  ShowCriteria(FilterCriteria());
  actions_.clear();
}

void FormFilter::CommandCurrent() { ShowCriteria(actions_.current()); }

}  // namespace sonivera::ui
