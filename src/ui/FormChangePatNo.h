#pragma once

#include <QDialog>
#include <functional>

class QLineEdit;

namespace sonivera::ui {

// The window that renumbers a patient: the old number, the new one, and the
// record editor's renumbering run on "Change".
class FormChangePatNo : public QDialog {
  Q_OBJECT
 public:
  // change(new_number) runs the renumbering; it tells the user why it
  // refused and returns false, and the window then stays open.
  FormChangePatNo(const QString& old_pat_no, std::function<bool(const QString&)> change,
                  QWidget* parent = nullptr);

  void accept() override;

 private:
  std::function<bool(const QString&)> change_;
  QLineEdit* old_;
  QLineEdit* new_;
};

}  // namespace sonivera::ui
