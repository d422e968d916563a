#include "ui/ResultsPage.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QSplitter>
#include <QVBoxLayout>

#include "base/Messages.h"
#include "chart/ChartGeometry.h"
#include "ui/PicGraph.h"

namespace sonivera::ui {

const std::array<int, 11> kLeftItemAt = {18, 0, 1, 19, 2, 3, 4, 5, 6, 7, 8};
const std::array<int, 11> kRightItemAt = {20, 9, 10, 21, 11, 12, 13, 14, 15, 16, 17};

namespace {
QLineEdit* MakeThresholdBox(QWidget* parent, const QString& name, bool editable) {
  auto* box = new QLineEdit(parent);
  box->setObjectName(name);
  box->setMaxLength(kThresholdBoxLimit);
  box->setAlignment(Qt::AlignCenter);
  box->setReadOnly(!editable);
  const int width = box->fontMetrics().horizontalAdvance(QStringLiteral("-100")) + 14;
  box->setMinimumWidth(width);
  box->setMaximumWidth(width * 2);
  if (!editable) {
    // The previous test is shown, never typed into: drawn like a label.
    box->setFocusPolicy(Qt::NoFocus);
    QPalette palette = box->palette();
    palette.setColor(QPalette::Base, palette.color(QPalette::Window));
    palette.setColor(QPalette::Text, palette.color(QPalette::PlaceholderText));
    box->setPalette(palette);
  }
  return box;
}

QLabel* RowLabel(const QString& text, QWidget* parent, const QColor& colour = QColor()) {
  auto* label = new QLabel(text, parent);
  if (colour.isValid()) {
    label->setStyleSheet(QStringLiteral("color: %1; font-weight: bold;").arg(colour.name()));
  }
  return label;
}
}  // namespace

ResultsPage::ResultsPage(QWidget* parent) : QWidget(parent) {
  setObjectName(QStringLiteral("PageAudiograms"));
  frame_ = new QGroupBox(Msg(1116), this);
  frame_->setObjectName(QStringLiteral("FrameResults"));

  auto* grid = new QGridLayout;
  grid->setHorizontalSpacing(4);
  const auto& labels = chart::FrequencyLabels();
  for (int i = 0; i < chart::kPositionCount; ++i) {
    auto* heading = new QLabel(labels[i], frame_);
    heading->setAlignment(Qt::AlignCenter);
    grid->addWidget(heading, 0, i + 2);
  }
  struct EarRows {
    int first_row;
    QString caption;
    QColor colour;
    const std::array<int, 11>& items;
  };
  const EarRows ears[] = {{1, Msg(925), QColor(0, 0, 255), kLeftItemAt},
                          {3, Msg(926), QColor(255, 0, 0), kRightItemAt}};
  for (const auto& ear : ears) {
    grid->addWidget(RowLabel(ear.caption, frame_, ear.colour), ear.first_row, 0, 2, 1);
    grid->addWidget(RowLabel(Msg(929), frame_), ear.first_row, 1);
    grid->addWidget(RowLabel(Msg(927), frame_), ear.first_row + 1, 1);
    for (int i = 0; i < chart::kPositionCount; ++i) {
      const int item = ear.items[i];
      threshold_boxes_[item] = MakeThresholdBox(frame_, QStringLiteral("Text1_%1").arg(item), true);
      previous_[item] =
          MakeThresholdBox(frame_, QStringLiteral("TextPrevious_%1").arg(item), false);
      grid->addWidget(threshold_boxes_[item], ear.first_row, i + 2);
      grid->addWidget(previous_[item], ear.first_row + 1, i + 2);
      connect(threshold_boxes_[item], &QLineEdit::textEdited, this,
              [this, item](const QString& text) { emit ThresholdEdited(item, text); });
    }
  }

  date_of_test_ = new QLineEdit(frame_);
  date_of_test_->setObjectName(QStringLiteral("TextResultsDate"));
  time_of_test_ = new QLineEdit(frame_);
  time_of_test_->setObjectName(QStringLiteral("TextResultsTime"));
  categorisation_ = new QLineEdit(frame_);
  categorisation_->setObjectName(QStringLiteral("TextField10"));
  for (auto* box : {date_of_test_, time_of_test_, categorisation_}) {
    box->setReadOnly(true);
    box->setFocusPolicy(Qt::ClickFocus);
  }
  auto* header = new QHBoxLayout;
  header->addWidget(new QLabel(Msg(917), frame_));
  header->addWidget(date_of_test_);
  header->addWidget(new QLabel(Msg(918), frame_));
  header->addWidget(time_of_test_);
  header->addWidget(new QLabel(Msg(915), frame_));
  header->addWidget(categorisation_, 1);

  scroll_ = new QScrollBar(Qt::Vertical, frame_);
  scroll_->setObjectName(QStringLiteral("VScrollResults"));
  scroll_->setRange(0, 0);
  scroll_->setPageStep(1);
  record_number_ = new QLabel(frame_);
  record_number_->setObjectName(QStringLiteral("LabelRecordNo"));
  record_count_ = new QLabel(frame_);
  record_count_->setObjectName(QStringLiteral("LabelRecordCount"));
  for (auto* label : {record_number_, record_count_}) {
    label->setAlignment(Qt::AlignCenter);
    label->setFrameShape(QFrame::StyledPanel);
    label->setMinimumWidth(label->fontMetrics().horizontalAdvance(QStringLiteral("0000")));
  }
  auto* navigator = new QVBoxLayout;
  navigator->addWidget(record_number_);
  navigator->addWidget(scroll_, 1, Qt::AlignHCenter);
  navigator->addWidget(record_count_);

  auto* values = new QVBoxLayout;
  values->addLayout(grid);
  values->addLayout(header);
  auto* frame_layout = new QHBoxLayout(frame_);
  frame_layout->addLayout(values, 1);
  frame_layout->addLayout(navigator);

  right_graph_ = new PicGraph(chart::Ear::Right, this);
  left_graph_ = new PicGraph(chart::Ear::Left, this);
  colour_key_ = new ColourKeyView(this);
  colour_key_->hide();
  colour_key_button_ = new QPushButton(Msg(3120), this);
  colour_key_button_->setObjectName(QStringLiteral("CommandColourKey"));
  colour_key_button_->setCheckable(true);
  connect(colour_key_button_, &QPushButton::clicked, this, [this] { emit ColourKeyToggled(); });
  auto* recheck = new QPushButton(Msg(3121), this);
  recheck->setObjectName(QStringLiteral("CommandRecheck"));
  recheck->setToolTip(Msg(3122));
  connect(recheck, &QPushButton::clicked, this, [this] { emit RecheckRequested(); });

  auto* charts = new QHBoxLayout;
  auto* right_box = new QVBoxLayout;
  right_box->addWidget(RowLabel(Msg(926), this, QColor(255, 0, 0)), 0, Qt::AlignHCenter);
  right_box->addWidget(right_graph_, 1);
  auto* left_box = new QVBoxLayout;
  left_box->addWidget(RowLabel(Msg(925), this, QColor(0, 0, 255)), 0, Qt::AlignHCenter);
  left_box->addWidget(left_graph_, 1);
  auto* side = new QVBoxLayout;
  side->addWidget(colour_key_button_);
  side->addWidget(recheck);
  side->addWidget(colour_key_, 1);
  side->addStretch();
  charts->addLayout(right_box, 1);
  charts->addLayout(left_box, 1);
  charts->addLayout(side);

  auto* layout = new QVBoxLayout(this);
  layout->addWidget(frame_);
  layout->addLayout(charts, 1);

  // Tab order follows the eye: left ear, then right ear, low to high.
  QWidget* previous = nullptr;
  for (const auto* items : {&kLeftItemAt, &kRightItemAt}) {
    for (int item : *items) {
      if (previous) setTabOrder(previous, threshold_boxes_[item]);
      previous = threshold_boxes_[item];
    }
  }
  SetEditable(false);
}

void ResultsPage::ShowValues(const EntryFields& fields) {
  for (int item = 0; item < kThresholdBoxCount; ++item) {
    threshold_boxes_[item]->setText(fields.Thresholds[item]);
    previous_[item]->setText(fields.Previous[item]);
  }
  ShowTestKey(fields);
  SetCategorisation(fields.Categorisation);
}

void ResultsPage::ShowTestKey(const EntryFields& fields) {
  date_of_test_->setText(fields.Dates[kBoxDateofTest]);
  time_of_test_->setText(fields.Dates[kBoxTimeofTest]);
}

void ResultsPage::SetThresholdBox(int item, const QString& text) {
  if (threshold_boxes_[item]->text() != text) threshold_boxes_[item]->setText(text);
}

void ResultsPage::ReadThresholds(EntryFields& fields) const {
  for (int item = 0; item < kThresholdBoxCount; ++item)
    fields.Thresholds[item] = threshold_boxes_[item]->text();
}

void ResultsPage::SetCategorisation(const QString& text) {
  categorisation_->setText(text);
  categorisation_->setCursorPosition(0);
  categorisation_->setToolTip(text);
}

void ResultsPage::SetRecordLabels(int test_index, int test_count) {
  record_number_->setText(test_count > 0 ? QString::number(test_count - test_index) : QString());
  record_count_->setText(test_count > 0 ? QString::number(test_count) : QString());
}

void ResultsPage::SetHistoric(bool historic) {
  frame_->setTitle(historic ? Msg(1115) : Msg(1116));
  frame_->setStyleSheet(historic ? QStringLiteral("QGroupBox#FrameResults { font-weight: bold; "
                                                  "color: rgb(0, 0, 255); }")
                                 : QStringLiteral("QGroupBox#FrameResults { font-weight: bold; }"));
}

void ResultsPage::SetEditable(bool editable) {
  for (auto* box : threshold_boxes_) {
    box->setReadOnly(!editable);
    box->setFocusPolicy(editable ? Qt::StrongFocus : Qt::ClickFocus);
  }
}

}  // namespace sonivera::ui
