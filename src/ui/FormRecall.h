#pragma once

#include <QDate>
#include <QDialog>
#include <optional>

#include "categorise/ShiftCheck.h"

class QComboBox;
class QLineEdit;

namespace sonivera {
class Prompter;
}

namespace sonivera::ui {

// The recall window: shows the new test's categorisation and asks for the
// recall period; the core turns the period into a date.
class FormRecall : public QDialog {
  Q_OBJECT
 public:
  // An invalid period is told through the prompter.
  FormRecall(const QString& categorisation, int lcid, Prompter& prompter,
             QWidget* parent = nullptr);

  // The recall date chosen, once the window was closed with OK.
  std::optional<QDate> RecallDate() const { return recall_date_; }

  void accept() override;

 private:
  RecallPeriod period_;
  Prompter& prompter_;
  QLineEdit* categorisation_box_;
  QComboBox* period_box_;
  std::optional<QDate> recall_date_;
};

}  // namespace sonivera::ui
