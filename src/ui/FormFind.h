#pragma once

#include <QDialog>
#include <functional>

class QButtonGroup;
class QLineEdit;
class QPushButton;

namespace sonivera::ui {

// The find window: a search field, the text, and "Find First" that becomes
// "Find Next" once a match was found.
class FormFind : public QDialog {
  Q_OBJECT
 public:
  // The fields offered, in the window's order.
  enum Field { kPatNo, kSurname, kForenames, kPositionRank, kDeptUnit, kCompany, kLastTest };

  // find(field, text, first) moves the register to the next match and
  // returns whether there was one.
  using Finder = std::function<bool(Field, const QString&, bool first)>;
  FormFind(Finder find, QWidget* parent = nullptr);

  QLineEdit* Text() const { return text_; }
  void ChooseField(Field field);
  // The find button: true when a record was found.
  bool FindRecord();

 private:
  void Restart();

  Finder find_;
  QButtonGroup* fields_;
  QLineEdit* text_;
  QPushButton* find_button_;
  bool first_pending_ = true;
};

}  // namespace sonivera::ui
