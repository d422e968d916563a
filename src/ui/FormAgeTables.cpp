#include "ui/FormAgeTables.h"

#include <QActionGroup>
#include <QFormLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>
#include <cmath>

#include "app/Application.h"
#include "base/AppError.h"
#include "base/Messages.h"
#include "categorise/AgeCorrection.h"

namespace sonivera::ui {

namespace {
// A whole number typed into a lookup box; text that is not a number is the
// type mismatch a report names.
int WholeNumber(const QString& text) {
  bool ok = false;
  const double value = text.trimmed().toDouble(&ok);
  if (!ok || !std::isfinite(value) || std::fabs(value) > 32767) {
    throw AppError(errnum::kTypeMismatch, QStringLiteral("Type mismatch"));
  }
  return static_cast<int>(std::nearbyint(value));
}
}  // namespace

FormAgeTables::FormAgeTables(Application& app, QWidget* parent) : QDialog(parent), app_(app) {
  setObjectName(QStringLiteral("FormAgeTables"));
  setWindowTitle(Msg(3627));
  auto* menu_bar = new QMenuBar(this);
  auto* mnu_table_type = menu_bar->addMenu(Msg(3628));
  mnu_table_type->setObjectName(QStringLiteral("mnuTableType"));
  mnu_male_ = mnu_table_type->addAction(Msg(3629));
  mnu_male_->setObjectName(QStringLiteral("mnuMale"));
  mnu_female_ = mnu_table_type->addAction(Msg(3630));
  mnu_female_->setObjectName(QStringLiteral("mnuFemale"));
  auto* group = new QActionGroup(this);
  for (QAction* action : {mnu_male_, mnu_female_}) {
    action->setCheckable(true);
    group->addAction(action);
  }
  connect(mnu_male_, &QAction::triggered, this, [this] { ShowTable(true); });
  connect(mnu_female_, &QAction::triggered, this, [this] { ShowTable(false); });

  label_table_ = new QLabel(this);
  label_table_->setObjectName(QStringLiteral("LabelTable"));
  QFont bold = label_table_->font();
  bold.setBold(true);
  label_table_->setFont(bold);
  grid_ = new QTableWidget(this);
  grid_->setObjectName(QStringLiteral("MSFlexGridMale"));
  grid_->setEditTriggers(QAbstractItemView::NoEditTriggers);
  grid_->verticalHeader()->hide();
  grid_->setSelectionMode(QAbstractItemView::SingleSelection);

  text_age_ = new QLineEdit(this);
  text_age_->setObjectName(QStringLiteral("Text1"));
  text_frequency_ = new QLineEdit(this);
  text_frequency_->setObjectName(QStringLiteral("Text2"));
  text_sex_ = new QLineEdit(this);
  text_sex_->setObjectName(QStringLiteral("Text3"));
  text_result_ = new QLineEdit(this);
  text_result_->setObjectName(QStringLiteral("Text4"));
  text_result_->setReadOnly(true);
  auto* command1 = new QPushButton(Msg(3635), this);
  command1->setObjectName(QStringLiteral("Command1"));
  connect(command1, &QPushButton::clicked, this, &FormAgeTables::Command1Click);
  auto* lookup = new QFormLayout;
  lookup->addRow(Msg(3631), text_age_);
  lookup->addRow(Msg(3632), text_frequency_);
  lookup->addRow(Msg(3633), text_sex_);
  lookup->addRow(command1, text_result_);
  auto* layout = new QVBoxLayout(this);
  layout->setMenuBar(menu_bar);
  layout->addWidget(label_table_);
  layout->addWidget(grid_, 1);
  layout->addLayout(lookup);
  resize(520, 640);
  ShowTable(true);
}

void FormAgeTables::ShowTable(bool male) {
  male_ = male;
  (male ? mnu_male_ : mnu_female_)->setChecked(true);
  label_table_->setText(male ? QStringLiteral("Male") : QStringLiteral("Female"));
  const auto& tables = app_.Categorisation().age_tables;
  const AgeCorrectionTable& table = male ? tables.male : tables.female;
  const std::vector<QStringList> rows = AgeTableRows(table);
  grid_->clear();
  grid_->setColumnCount(static_cast<int>(rows.front().size()));
  grid_->setHorizontalHeaderLabels(rows.front());
  grid_->setRowCount(static_cast<int>(rows.size()) - 1);
  for (int r = 1; r < static_cast<int>(rows.size()); ++r) {
    for (int c = 0; c < rows[r].size(); ++c) {
      // A table that could not be read shows its ages without values.
      const QString text = c == 0 || table.loaded ? rows[r][c] : QString();
      auto* item = new QTableWidgetItem(text);
      if (c > 0) item->setTextAlignment(Qt::AlignCenter);
      grid_->setItem(r - 1, c, item);
    }
  }
  grid_->resizeColumnsToContents();
}

void FormAgeTables::Command1Click() {
  try {
    const int age = WholeNumber(text_age_->text());
    const int frequency = WholeNumber(text_frequency_->text());
    const int correction =
        AgeCorrection(app_.Categorisation().age_tables, age, frequency, text_sex_->text());
    text_result_->setText(QString::number(correction));
  } catch (const AppError& error) {
    text_result_->clear();
    app_.Reporter().Report(error.Description(), error.Number(), "frmagetables command1_click");
  }
}

}  // namespace sonivera::ui
