#pragma once

#include <QDialog>
#include <QString>
#include <functional>

class QLabel;
class QProgressBar;
class QPushButton;
class QRadioButton;

namespace sonivera::ui {

// The print options window: the audiogram of the selected record or the
// database summary. OK disables itself, runs the chosen report and closes.
class FormPrint : public QDialog {
  Q_OBJECT
 public:
  enum Option { kAudiogram = 0, kDatabaseSummary = 1 };
  FormPrint(std::function<void(Option)> print, QWidget* parent = nullptr);

  void Choose(Option option);
  QPushButton* Command1() const { return ok_; }

 private:
  void Ok();

  std::function<void(Option)> print_;
  QRadioButton* audiogram_;
  QRadioButton* summary_;
  QPushButton* ok_;
};

// The batch print window: how many audiograms the register lists; OK starts
// the batch.
class FormBatchPrint : public QDialog {
  Q_OBJECT
 public:
  FormBatchPrint(int rows, std::function<void()> start, QWidget* parent = nullptr);
  QLabel* LabelBatchPrintNo() const { return count_; }
  QPushButton* Command1() const { return ok_; }

 private:
  QLabel* count_;
  QPushButton* ok_;
};

// The batch progress window, shown while a batch prints. Cancel stops the
// batch before its next audiogram.
class FormBatchQueue : public QDialog {
  Q_OBJECT
 public:
  explicit FormBatchQueue(int total, QWidget* parent = nullptr);
  // Shows the audiogram about to print (0-based).
  void SetDone(int done);
  bool BatchCancelled() const { return cancelled_; }
  QPushButton* CommandCancel() const { return cancel_; }
  // Escape and the window's close box cancel as well.
  void reject() override;

 private:
  QLabel* label_;
  QProgressBar* bar_;
  QPushButton* cancel_;
  int total_;
  bool cancelled_ = false;
};

// Pictures of the three printing windows for the screenshots: the options,
// the batch print window on a register of register_rows rows and the
// progress window part-way through.
void TakePrintScreenshots(int register_rows,
                          const std::function<void(QWidget*, const QString&)>& save);

}  // namespace sonivera::ui
