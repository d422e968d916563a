#pragma once

#include <QDialog>

class QAction;
class QLabel;
class QLineEdit;
class QTableWidget;

namespace sonivera {
class Application;
}

namespace sonivera::ui {

// The age-correction table viewer: the male or the female table, and a
// lookup of one correction by age, frequency and sex.
class FormAgeTables : public QDialog {
  Q_OBJECT
 public:
  explicit FormAgeTables(Application& app, QWidget* parent = nullptr);

  // mnuMale / mnuFemale.
  void ShowTable(bool male);
  bool ShowingMale() const { return male_; }

 private:
  void Command1Click();

  Application& app_;
  bool male_ = true;
  QLabel* label_table_;
  QTableWidget* grid_;
  QLineEdit* text_age_;
  QLineEdit* text_frequency_;
  QLineEdit* text_sex_;
  QLineEdit* text_result_;
  QAction* mnu_male_;
  QAction* mnu_female_;
};

}  // namespace sonivera::ui
