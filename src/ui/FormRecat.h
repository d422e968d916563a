#pragma once

#include <QDialog>

#include "register/Recategorise.h"

class QLabel;
class QProgressBar;
class QPushButton;

namespace sonivera {
class Application;
}

namespace sonivera::ui {

// The progress window of recategorising the whole database. Command1 reads
// "Stop" while the run goes on and "&Close" once it has ended.
class FormRecat : public QDialog {
  Q_OBJECT
 public:
  explicit FormRecat(Application& app, QWidget* parent = nullptr);

  // cmdRecategorise: asks first, shows this window and runs the whole
  // database through it; the window stays open until Close is pressed.
  // Returns the run's outcome (cancelled when the question was declined).
  static RecategoriseOutcome Open(Application& app, QWidget* parent);

  // Runs the recategorisation with this window as its progress.
  RecategoriseOutcome Run();
  bool Running() const { return running_; }

 signals:
  // The main window disables its interfering menus while false.
  void InterferingMenusEnabled(bool enabled);
  // After each patient: patients done and their total.
  void ProgressChanged(int done, int total);
  // The run has ended: the register is rebuilt on its first patient.
  void RegisterNeedsRefresh(const QString& pat_no);

 protected:
  void reject() override;

 private:
  void StopOrClose();

  Application& app_;
  QLabel* label_;
  QProgressBar* bar_;
  QPushButton* stop_close_button_;
  bool running_ = false;
  bool stop_pressed_ = false;
};

}  // namespace sonivera::ui
