#include "ui/FormRecat.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>

#include "app/Application.h"
#include "base/Messages.h"
#include "ui/GuiPrompter.h"

namespace sonivera::ui {

namespace {
// The run's progress as the categorisation sees it: this window's Stop.
class WindowProgress : public Progress {
 public:
  explicit WindowProgress(const bool& stop) : stop_(stop) {}
  void SetValue(int) override {}
  void SetLabel(const QString&) override {}
  bool StopRequested() const override { return stop_; }

 private:
  const bool& stop_;
};
}  // namespace

FormRecat::FormRecat(Application& app, QWidget* parent) : QDialog(parent), app_(app) {
  setObjectName(QStringLiteral("FormRecat"));
  setWindowTitle(Msg(820));
  label_ = new QLabel(Msg(821), this);
  label_->setObjectName(QStringLiteral("Label1"));
  bar_ = new QProgressBar(this);
  bar_->setObjectName(QStringLiteral("ProgressBar1"));
  bar_->setRange(0, 1);
  bar_->setValue(0);
  stop_close_button_ = new QPushButton(Msg(1117), this);
  stop_close_button_->setObjectName(QStringLiteral("Command1"));
  connect(stop_close_button_, &QPushButton::clicked, this, &FormRecat::StopOrClose);
  auto* buttons = new QHBoxLayout;
  buttons->addStretch();
  buttons->addWidget(stop_close_button_);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(label_);
  layout->addWidget(bar_);
  layout->addLayout(buttons);
  setMinimumWidth(360);
  setWindowModality(Qt::ApplicationModal);
}

RecategoriseOutcome FormRecat::Run() {
  running_ = true;
  stop_pressed_ = false;
  emit InterferingMenusEnabled(false);
  auto* gui = dynamic_cast<GuiPrompter*>(&app_.Ask());
  if (gui) {
    // The window shows once the question has been answered with OK.
    gui->SetProgressFactory([this](const QString&, int maximum) {
      bar_->setRange(0, std::max(maximum, 1));
      show();
      return std::make_unique<WindowProgress>(stop_pressed_);
    });
  }
  const RecategoriseOutcome outcome =
      RecategoriseAll(app_.Db(), app_.ForCategorising(), [this](int done, int total) {
        if (!isVisible()) show();
        bar_->setRange(0, std::max(total, 1));
        bar_->setValue(done);
        emit ProgressChanged(done, total);
      });
  if (gui) gui->SetProgressFactory(nullptr);
  running_ = false;
  if (!outcome.cancelled) {
    label_->setText(Msg(outcome.stopped ? 1119 : 1118));
    stop_close_button_->setText(Msg(14));
    emit RegisterNeedsRefresh(outcome.first_patient);
  }
  emit InterferingMenusEnabled(true);
  return outcome;
}

RecategoriseOutcome FormRecat::Open(Application& app, QWidget* parent) {
  FormRecat window(app, parent);
  const RecategoriseOutcome outcome = window.Run();
  if (!outcome.cancelled) window.exec();
  return outcome;
}

void FormRecat::StopOrClose() {
  if (running_) {
    stop_pressed_ = true;
    RecategoriseStop(app_.Categorisation());
    return;
  }
  app_.Categorisation().RecategoriseStop = false;
  accept();
}

void FormRecat::reject() {
  // Escape or the close box while the run goes on asks it to stop instead.
  if (running_) {
    StopOrClose();
    return;
  }
  app_.Categorisation().RecategoriseStop = false;
  QDialog::reject();
}

}  // namespace sonivera::ui
