#pragma once

#include <QDialog>

class QListWidget;

namespace sonivera::ui {

// "Change Com Port": the PC audiometer's port, COM 1 ... COM 16 or USB. The
// window only chooses; OK's storing (settings and ux730.ini) is the caller's.
class FormCommPort : public QDialog {
  Q_OBJECT
 public:
  // port: 1 to 16, 0 for USB.
  explicit FormCommPort(int port, QWidget* parent = nullptr);

  int Chosen() const;
  QListWidget* PortList() const { return list_; }

 private:
  QListWidget* list_;
};

}  // namespace sonivera::ui
