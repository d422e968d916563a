#pragma once

#include <QDialog>
#include <functional>

#include "instrument/Tx730Transfer.h"

class QLabel;
class QLineEdit;
class QProgressBar;
class QPushButton;

namespace sonivera {
class Application;
class RecordEditor;
class Register;
class SerialLink;
}  // namespace sonivera

namespace sonivera::ui {

class FormTX730Filter;

// What the transfer windows ask of the main window.
struct Tx730WindowActions {
  std::function<void()> configure;         // the configuration window
  std::function<void()> refresh_register;  // after a store or an export
  std::function<void(bool)> grid_enabled;
  // The current patient's value for a data request filter option.
  std::function<QString(RequestFilter)> current_value;
  // Runs a modal window (exec() unless a test answers it).
  std::function<int(QDialog&)> run_dialog;
};

// "Import from TX730": requests (Series 1, 3) or receives (Series 4, 5) the
// audiometer's tests, shows how many lines arrived, views and stores them.
class FormImportTx730 : public QDialog {
  Q_OBJECT
 public:
  FormImportTx730(Application& app, SerialLink& link, RecordEditor& editor,
                  Tx730WindowActions actions, QWidget* parent = nullptr);

  // Shows the window for the configured series; Series 1 and 3 start on an
  // empty buffer. Opening arms the link.
  void Open();
  // A Series 4/5 line was framed: the buffer is rebuilt and the window shown.
  void LineReceived();
  void SetCount(int count);

  void Import();
  void Store();
  void View();
  void Cancel();

  QLineEdit* CountBox() const { return count_; }
  QPushButton* ImportButton() const { return import_; }
  QPushButton* StoreButton() const { return store_; }
  QLabel* Instruction() const { return instruction_; }
  // The data request window while it is open (null otherwise).
  FormTX730Filter* RequestWindow() const { return request_; }

 protected:
  void reject() override { Cancel(); }

 private:
  TransferHooks Hooks();
  void StartRequest(RequestFilter option, const QString& text);

  Application& app_;
  SerialLink& link_;
  RecordEditor& editor_;
  Tx730WindowActions actions_;
  QLineEdit* count_;
  QLabel* instruction_;
  QPushButton* import_;
  QPushButton* store_;
  QPushButton* view_;
  QPushButton* configure_;
  FormTX730Filter* request_ = nullptr;
};

// "Export to TX730": sends the register view to the audiometer.
class FormExportTX730 : public QDialog {
  Q_OBJECT
 public:
  FormExportTX730(Application& app, SerialLink& link, Register& reg, Tx730WindowActions actions,
                  QWidget* parent = nullptr);

  void Open();
  void Export();
  void View();
  void Cancel();

  QLineEdit* CountBox() const { return count_; }
  QProgressBar* Progress() const { return progress_; }
  QPushButton* ExportButton() const { return export_; }

 protected:
  void reject() override { Cancel(); }

 private:
  Application& app_;
  SerialLink& link_;
  Register& register_;
  Tx730WindowActions actions_;
  QLineEdit* count_;
  QProgressBar* progress_;
  QPushButton* export_;
  QPushButton* view_;
  QPushButton* configure_;
};

}  // namespace sonivera::ui
