#include "ui/VisionStepPage.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QSignalBlocker>
#include <QStackedWidget>
#include <QVBoxLayout>

#include "ui/VisionSlideView.h"
#include "vision/VisionEntry.h"
#include "vision/VisionSlides.h"

namespace sonivera::ui {

using namespace sonivera::vision;

namespace {
// Answer letters: red and bold once judged, black otherwise.
void ShowLetter(QLabel* label, QChar letter, bool marked) {
  label->setText(QString(letter));
  label->setStyleSheet(marked ? QStringLiteral("color: rgb(255, 0, 0); font-weight: bold;")
                              : QStringLiteral("color: black; font-weight: normal;"));
  label->setProperty("marked", marked);
}

void SetChecked(QAbstractButton* button, bool checked) {
  const QSignalBlocker block(button);
  button->setChecked(checked);
}
}  // namespace

VisionStepPage::VisionStepPage(QWidget* parent) : QWidget(parent) {
  setObjectName(QStringLiteral("VisionTestPage"));
  auto* layout = new QVBoxLayout(this);
  auto* top = new QHBoxLayout;
  heading_ = new QLabel(this);
  heading_->setObjectName(QStringLiteral("LabelHeading"));
  QFont big = heading_->font();
  big.setPointSizeF(big.pointSizeF() * 1.4);
  big.setBold(true);
  heading_->setFont(big);
  test_no_ = new QLabel(this);
  test_no_->setObjectName(QStringLiteral("LabelTestNo"));
  test_date_ = new QLabel(this);
  test_date_->setObjectName(QStringLiteral("LabelTestDate"));
  scroll_ = new QScrollBar(Qt::Horizontal, this);
  scroll_->setObjectName(QStringLiteral("VScrollVTest"));
  scroll_->setMinimumWidth(160);
  scroll_->setToolTip(QStringLiteral("Newer tests to the left, older to the right"));
  top->addWidget(heading_, 1);
  top->addWidget(test_no_);
  top->addSpacing(12);
  top->addWidget(test_date_);
  top->addSpacing(12);
  top->addWidget(scroll_);
  layout->addLayout(top);

  stack_ = new QStackedWidget(this);
  for (int step = 0; step < kStepCount; ++step) BuildFrame(step);
  layout->addWidget(stack_, 1);

  auto* bottom = new QHBoxLayout;
  previous_ = new QPushButton(QStringLiteral("&Previous"), this);
  previous_->setObjectName(QStringLiteral("cmdPrevTest"));
  next_ = new QPushButton(QStringLiteral("&Next"), this);
  next_->setObjectName(QStringLiteral("cmdNextTest"));
  next_->setDefault(true);
  bottom->addStretch(1);
  bottom->addWidget(previous_);
  bottom->addWidget(next_);
  layout->addLayout(bottom);
  connect(previous_, &QPushButton::clicked, this, [this] { emit Event(QStringLiteral("prev")); });
  connect(next_, &QPushButton::clicked, this, [this] { emit Event(QStringLiteral("next")); });
  connect(scroll_, &QScrollBar::valueChanged, this, &VisionStepPage::TestScrolled);
}

QLabel* VisionStepPage::AcuityLetter(int step, int target) const {
  const auto& letters = frames_.at(step).letters;
  return target >= 0 && target < int(letters.size()) ? letters[target] : nullptr;
}

QPushButton* VisionStepPage::AddCommand(StepFrame& frame, const QString& name, const QString& text,
                                        const QString& event) {
  auto* button = new QPushButton(text, frame.box);
  button->setObjectName(name);
  connect(button, &QPushButton::clicked, this, [this, event] { emit Event(event); });
  frame.editable.push_back(button);
  return button;
}

void VisionStepPage::AddChecks(StepFrame& frame, const QString& name, const QString& event,
                               int count, int per_row, QGridLayout* grid,
                               const std::vector<QString>& labels,
                               const std::vector<QString>& hints) {
  for (int i = 0; i < count; ++i) {
    auto* box = new QCheckBox(labels[i], frame.box);
    box->setObjectName(QStringLiteral("%1_%2").arg(name).arg(i + 1));
    // With a hint (the expected answer) beside it, each box takes two columns.
    const int row = i / per_row;
    const int column = (i % per_row) * (hints.empty() ? 1 : 2);
    grid->addWidget(box, row, column);
    if (!hints.empty()) {
      auto* hint = new QLabel(hints[i], frame.box);
      hint->setStyleSheet(QStringLiteral("color: rgb(0, 0, 160);"));
      grid->addWidget(hint, row, column + 1);
    }
    const QString word = QStringLiteral("%1:%2").arg(event).arg(i + 1);
    connect(box, &QCheckBox::clicked, this, [this, word] { emit Event(word); });
    frame.buttons.push_back(box);
    frame.editable.push_back(box);
  }
}

void VisionStepPage::AddAcuity(StepFrame& frame, int step, QGridLayout* grid) {
  const QStringList rows = {QStringLiteral("Target"), QString(), QStringLiteral("Answer"),
                            QStringLiteral("Snellen"), QStringLiteral("N")};
  for (int r = 0; r < rows.size(); ++r) grid->addWidget(new QLabel(rows[r], frame.box), r, 0);
  for (int t = 0; t < kAcuityTargets; ++t) {
    auto* number = new QLabel(QString::number(t + 1), frame.box);
    number->setAlignment(Qt::AlignCenter);
    auto* box = new QCheckBox(frame.box);
    box->setObjectName(QStringLiteral("CheckAcuity%1_%2").arg(step).arg(t + 1));
    // Ticked by Pass and Fail only.
    box->setAttribute(Qt::WA_TransparentForMouseEvents);
    box->setFocusPolicy(Qt::NoFocus);
    auto* letter = new QLabel(frame.box);
    letter->setObjectName(QStringLiteral("LabelAnswer%1_%2").arg(step).arg(t + 1));
    letter->setAlignment(Qt::AlignCenter);
    auto* snellen = new QLabel(Snellen(t), frame.box);
    auto* near = new QLabel(NearEquivalent(t), frame.box);
    grid->addWidget(number, 0, t + 1, Qt::AlignCenter);
    grid->addWidget(box, 1, t + 1, Qt::AlignCenter);
    grid->addWidget(letter, 2, t + 1, Qt::AlignCenter);
    grid->addWidget(snellen, 3, t + 1, Qt::AlignCenter);
    grid->addWidget(near, 4, t + 1, Qt::AlignCenter);
    frame.buttons.push_back(box);
    frame.letters.push_back(letter);
  }
}

void VisionStepPage::BuildFrame(int step) {
  StepFrame& frame = frames_[step];
  frame.box = new QGroupBox(StepTitle(step), stack_);
  frame.box->setObjectName(QStringLiteral("FrameStep%1").arg(step));
  auto* layout = new QVBoxLayout(frame.box);
  frame.instruction = new QLabel(StepInstruction(step), frame.box);
  frame.instruction->setObjectName(QStringLiteral("LabelInstruction%1").arg(step));
  frame.instruction->setWordWrap(true);
  QFont bold = frame.instruction->font();
  bold.setBold(true);
  frame.instruction->setFont(bold);
  auto* criteria = new QLabel(StepCriteria(step).join(u'\n'), frame.box);
  criteria->setObjectName(QStringLiteral("LabelCriteria%1").arg(step));
  criteria->setWordWrap(true);
  layout->addWidget(frame.instruction);
  layout->addWidget(criteria);

  auto* body = new QHBoxLayout;
  auto* controls = new QWidget(frame.box);
  auto* grid = new QGridLayout(controls);
  grid->setContentsMargins(0, 0, 0, 0);
  auto* commands = new QHBoxLayout;
  const StepKind kind = KindOfStep(step);
  switch (kind) {
    case StepKind::Binocular: {
      auto* group = new QButtonGroup(frame.box);
      const QString options[3] = {QStringLiteral("Four"), QStringLiteral("Two"),
                                  QStringLiteral("Three")};
      for (int i = 0; i < 3; ++i) {
        auto* option = new QRadioButton(options[i], frame.box);
        option->setObjectName(QStringLiteral("Option1_%1").arg(i + 1));
        group->addButton(option, i + 1);
        grid->addWidget(option, i, 0);
        const QString word = QStringLiteral("binoc:") + options[i];
        connect(option, &QRadioButton::clicked, this, [this, word] { emit Event(word); });
        frame.buttons.push_back(option);
        frame.editable.push_back(option);
      }
      grid->setRowStretch(3, 1);
      break;
    }
    case StepKind::Acuity:
      AddAcuity(frame, step, grid);
      commands->addWidget(AddCommand(frame, QStringLiteral("CommandPass"), QStringLiteral("&Pass"),
                                     QStringLiteral("pass")));
      commands->addWidget(AddCommand(frame, QStringLiteral("CommandFail"), QStringLiteral("&Fail"),
                                     QStringLiteral("fail")));
      commands->addWidget(AddCommand(frame, QStringLiteral("CommandAcuityClear"),
                                     QStringLiteral("&Clear Test"), QStringLiteral("clearAcuity")));
      if (step == 10) {
        auto* distance = new QGroupBox(QStringLiteral("Test Distance"), frame.box);
        distance->setObjectName(QStringLiteral("FrameTestDistance"));
        auto* dg = new QGridLayout(distance);
        dg->addWidget(new QLabel(QStringLiteral("Inches"), distance), 0, 0);
        dg->addWidget(new QLabel(QStringLiteral("CM"), distance), 1, 0);
        for (int option = 1; option <= kTestDistances; ++option) {
          auto* button = new QRadioButton(QString::number(DistanceInches(option)), distance);
          button->setObjectName(QStringLiteral("OptionTD_%1").arg(option));
          dg->addWidget(button, 0, option);
          dg->addWidget(new QLabel(QString::number(DistanceCm(option)), distance), 1, option);
          const QString word = QStringLiteral("distance:%1").arg(option);
          connect(button, &QRadioButton::clicked, this, [this, word] { emit Event(word); });
          frame.distances.push_back(button);
          frame.editable.push_back(button);
        }
        grid->addWidget(distance, 5, 0, 1, kAcuityTargets + 1);
      }
      break;
    case StepKind::Depth: {
      grid->addWidget(new QLabel(QStringLiteral("Target"), frame.box), 0, 0);
      grid->addWidget(new QLabel(QStringLiteral("Answer"), frame.box), 2, 0);
      for (int t = 0; t < kDepthTargets; ++t) {
        grid->addWidget(new QLabel(QString::number(t + 1), frame.box), 0, t + 1, Qt::AlignCenter);
        auto* box = new QCheckBox(frame.box);
        box->setObjectName(QStringLiteral("CheckDepth_%1").arg(t + 1));
        box->setAttribute(Qt::WA_TransparentForMouseEvents);
        box->setFocusPolicy(Qt::NoFocus);
        auto* letter = new QLabel(frame.box);
        letter->setObjectName(QStringLiteral("LabelDepth_%1").arg(t + 1));
        grid->addWidget(box, 1, t + 1, Qt::AlignCenter);
        grid->addWidget(letter, 2, t + 1, Qt::AlignCenter);
        frame.buttons.push_back(box);
        frame.letters.push_back(letter);
      }
      commands->addWidget(AddCommand(frame, QStringLiteral("CommandPass2"), QStringLiteral("&Pass"),
                                     QStringLiteral("pass2")));
      commands->addWidget(AddCommand(frame, QStringLiteral("CommandFail2"), QStringLiteral("&Fail"),
                                     QStringLiteral("fail2")));
      commands->addWidget(AddCommand(frame, QStringLiteral("CommandDPClear"),
                                     QStringLiteral("&Clear Test"), QStringLiteral("clearDepth")));
      break;
    }
    case StepKind::Colour: {
      std::vector<QString> labels, hints;
      for (int i = 0; i < kColourCircles; ++i) {
        labels.push_back(ColourCircle(i));
        hints.push_back(ColourNumeral(i));
      }
      AddChecks(frame, QStringLiteral("CheckSCD"), QStringLiteral("colour"), kColourCircles, 1,
                grid, labels, hints);
      break;
    }
    case StepKind::Vertical:
    case StepKind::Lateral: {
      const bool vertical = kind == StepKind::Vertical;
      const int count = vertical ? kVerticalBoxes : kLateralBoxes;
      std::vector<QString> labels;
      for (int i = 0; i < count; ++i) labels.push_back(PhoriaLabel(i));
      AddChecks(frame, vertical ? QStringLiteral("CheckSvp") : QStringLiteral("CheckSLP"),
                vertical ? QStringLiteral("vertical") : QStringLiteral("lateral"), count,
                vertical ? 7 : 10, grid, labels);
      break;
    }
    case StepKind::Peripheral: {
      for (int side = 0; side < 2; ++side) {
        auto* title = new QLabel(
            side == 0 ? QStringLiteral("Right Eye") : QStringLiteral("Left Eye"), frame.box);
        title->setFont(bold);
        grid->addWidget(title, 0, side);
        for (int k = 0; k < 4; ++k) {
          const int lamp = side * 4 + k;
          const QString text =
              (LampIsNasal(lamp) ? QStringLiteral("Nasal 45")
                                 : QStringLiteral("Temporal %1").arg(LampAngle(lamp))) +
              QChar(0x00B0);
          auto* box = new QCheckBox(text, frame.box);
          box->setObjectName(
              QStringLiteral("%1_%2").arg(side == 0 ? "CheckPR" : "CheckPL").arg(k + 1));
          grid->addWidget(box, k + 1, side);
          const QString word = QStringLiteral("periph:") + LampName(lamp);
          connect(box, &QCheckBox::clicked, this, [this, word] { emit Event(word); });
          frame.buttons.push_back(box);
          frame.editable.push_back(box);
        }
      }
      const QString names[3] = {QStringLiteral("TextTotalR"), QStringLiteral("TextTotalL"),
                                QStringLiteral("TextBoth")};
      const QString captions[3] = {QStringLiteral("Total Right"), QStringLiteral("Total Left"),
                                   QStringLiteral("Both Eyes")};
      for (int i = 0; i < 3; ++i) {
        frame.totals[i] = new QLineEdit(frame.box);
        frame.totals[i]->setObjectName(names[i]);
        frame.totals[i]->setReadOnly(true);
        frame.totals[i]->setMaximumWidth(80);
        grid->addWidget(new QLabel(captions[i], frame.box), 5 + i, 0);
        grid->addWidget(frame.totals[i], 5 + i, 1);
      }
      break;
    }
  }
  grid->setRowStretch(grid->rowCount(), 1);
  body->addWidget(controls, 0);
  frame.picture = new VisionSlideView(step, frame.box);
  body->addWidget(frame.picture, 1);
  layout->addLayout(body, 1);
  commands->addStretch(1);
  layout->addLayout(commands);
  stack_->addWidget(frame.box);
}

void VisionStepPage::Render(const VisionEntry& entry, int test_no, int test_count,
                            const QString& test_date) {
  const int step = entry.Step();
  StepFrame& frame = frames_[step];
  heading_->setText(DistanceHeading(step));
  test_no_->setText(QStringLiteral("Test No: %1 of %2").arg(test_no).arg(test_count));
  test_date_->setText(test_date);
  {
    const QSignalBlocker block(scroll_);
    scroll_->setRange(0, std::max(0, test_count - 1));
    scroll_->setValue(std::max(0, test_no - 1));
  }
  scroll_->setEnabled(!entry.EditMode() && test_count > 1);
  stack_->setCurrentIndex(step);
  const int eye = entry.EyeFrame();
  frame.box->setTitle(StepTitle(step, eye));
  for (QWidget* widget : frame.editable) widget->setEnabled(entry.EditMode());

  switch (KindOfStep(step)) {
    case StepKind::Binocular:
      for (int i = 0; i < 3; ++i) {
        auto* option = frame.buttons[i];
        const QSignalBlocker block(option);
        // A radio button cannot be cleared alone: turn exclusivity off for it.
        option->setAutoExclusive(false);
        option->setChecked(entry.BinocularOption() == i + 1);
        option->setAutoExclusive(true);
      }
      break;
    case StepKind::Acuity:
      for (int t = 0; t < kAcuityTargets; ++t) {
        SetChecked(frame.buttons[t], entry.AcuityBox(eye, t));
        ShowLetter(frame.letters[t], AcuityAnswer(eye, t), entry.AcuityLetterMarked(eye, t));
      }
      for (int i = 0; i < int(frame.distances.size()); ++i) {
        auto* option = frame.distances[i];
        const QSignalBlocker block(option);
        option->setAutoExclusive(false);
        option->setChecked(entry.TestDistanceOption() == i + 1);
        option->setAutoExclusive(true);
      }
      break;
    case StepKind::Depth:
      for (int t = 0; t < kDepthTargets; ++t) {
        SetChecked(frame.buttons[t], entry.DepthBox(t));
        ShowLetter(frame.letters[t], DepthAnswer(t), entry.DepthLetterMarked(t));
      }
      break;
    case StepKind::Colour:
      for (int i = 0; i < kColourCircles; ++i) SetChecked(frame.buttons[i], entry.ColourBox(i));
      break;
    case StepKind::Vertical:
      for (int i = 0; i < kVerticalBoxes; ++i) SetChecked(frame.buttons[i], entry.VerticalBox(i));
      break;
    case StepKind::Lateral:
      for (int i = 0; i < kLateralBoxes; ++i) SetChecked(frame.buttons[i], entry.LateralBox(i));
      break;
    case StepKind::Peripheral:
      for (int lamp = 0; lamp < kLamps; ++lamp)
        SetChecked(frame.buttons[lamp], entry.LampTicked(lamp));
      frame.totals[0]->setText(entry.TotalRight());
      frame.totals[1]->setText(entry.TotalLeft());
      frame.totals[2]->setText(entry.TotalBoth());
      break;
  }
  frame.picture->SetEntry(&entry);
  frame.picture->update();
}

}  // namespace sonivera::ui
