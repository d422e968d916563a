#include "ui/FormPrint.h"

#include <QCoreApplication>
#include <QGroupBox>
#include <QLabel>
#include <QProgressBar>
#include <QRadioButton>
#include <QVBoxLayout>

#include "base/Messages.h"
#include "ui/DialogButtons.h"

namespace sonivera::ui {

FormPrint::FormPrint(std::function<void(Option)> print, QWidget* parent)
    : QDialog(parent), print_(std::move(print)) {
  setObjectName(QStringLiteral("FormPrint"));
  setWindowTitle(Msg(795));
  auto* frame = new QGroupBox(Msg(796), this);
  frame->setObjectName(QStringLiteral("Frame1"));
  audiogram_ = new QRadioButton(Msg(797), frame);
  audiogram_->setObjectName(QStringLiteral("Option1_0"));
  summary_ = new QRadioButton(Msg(798), frame);
  summary_->setObjectName(QStringLiteral("Option1_1"));
  auto* options = new QVBoxLayout(frame);
  options->addWidget(audiogram_);
  options->addWidget(summary_);
  Choose(kAudiogram);
  const DialogButtons buttons = MakeOkCancelButtons(this);
  ok_ = buttons.command1;
  connect(ok_, &QPushButton::clicked, this, &FormPrint::Ok);
  connect(buttons.command2, &QPushButton::clicked, this, &QDialog::reject);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(frame);
  layout->addWidget(buttons.box);
}

void FormPrint::Choose(Option option) {
  (option == kAudiogram ? audiogram_ : summary_)->setChecked(true);
}

void FormPrint::Ok() {
  ok_->setEnabled(false);
  print_(audiogram_->isChecked() ? kAudiogram : kDatabaseSummary);
  accept();
}

FormBatchPrint::FormBatchPrint(int rows, std::function<void()> start, QWidget* parent)
    : QDialog(parent) {
  setObjectName(QStringLiteral("FormBatchPrint"));
  setWindowTitle(Msg(3783));
  auto* explanation = new QLabel(Msg(3788), this);
  explanation->setWordWrap(true);
  // One line when it is not too long, wrapped otherwise.
  const QFontMetrics metrics = explanation->fontMetrics();
  explanation->setMinimumWidth(
      std::min(metrics.horizontalAdvance(explanation->text()) + 8, metrics.averageCharWidth() * 70));
  auto* caption = new QLabel(Msg(3784), this);
  count_ = new QLabel(QString::number(rows), this);
  count_->setObjectName(QStringLiteral("LabelBatchPrintNo"));
  QFont bold = count_->font();
  bold.setBold(true);
  count_->setFont(bold);
  auto* line = new QHBoxLayout;
  line->addWidget(caption);
  line->addWidget(count_);
  line->addStretch();
  const DialogButtons buttons = MakeOkCancelButtons(this);
  ok_ = buttons.command1;
  ok_->setEnabled(rows > 0);
  connect(ok_, &QPushButton::clicked, this, [this, start = std::move(start)] {
    accept();
    start();
  });
  connect(buttons.command2, &QPushButton::clicked, this, &QDialog::reject);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(explanation);
  layout->addLayout(line);
  layout->addWidget(buttons.box);
}

FormBatchQueue::FormBatchQueue(int total, QWidget* parent) : QDialog(parent), total_(total) {
  setObjectName(QStringLiteral("FormBatchQueue"));
  setWindowTitle(Msg(3787));
  label_ = new QLabel(this);
  label_->setObjectName(QStringLiteral("Label1"));
  bar_ = new QProgressBar(this);
  bar_->setRange(0, std::max(1, total));
  bar_->setMinimumWidth(320);
  cancel_ = new QPushButton(Msg(12), this);
  cancel_->setObjectName(QStringLiteral("CommandCancel"));
  cancel_->setDefault(true);
  connect(cancel_, &QPushButton::clicked, this, &FormBatchQueue::reject);
  auto* buttons = new QHBoxLayout;
  buttons->addStretch();
  buttons->addWidget(cancel_);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(label_);
  layout->addWidget(bar_);
  layout->addLayout(buttons);
  SetDone(0);
}

void FormBatchQueue::reject() {
  cancelled_ = true;
  QDialog::reject();
}

void FormBatchQueue::SetDone(int done) {
  label_->setText(Msg(3785) + QString::number(done + 1) + Msg(3786) + QString::number(total_));
  bar_->setValue(done);
}

void TakePrintScreenshots(int register_rows,
                          const std::function<void(QWidget*, const QString&)>& save) {
  const auto picture = [&save](QDialog& dialog, const QString& name) {
    dialog.show();
    for (int i = 0; i < 5; ++i) QCoreApplication::processEvents();
    save(&dialog, name);
    dialog.hide();
  };
  FormPrint options([](FormPrint::Option) {});
  picture(options, QStringLiteral("print-options"));
  FormBatchPrint batch(register_rows, [] {});
  picture(batch, QStringLiteral("print-batch"));
  FormBatchQueue queue(register_rows);
  queue.SetDone(register_rows / 3);
  picture(queue, QStringLiteral("print-queue"));
}

}  // namespace sonivera::ui
