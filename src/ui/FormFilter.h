#pragma once

#include <QDialog>
#include <array>
#include <functional>

#include "register/RegisterQuery.h"

class QCheckBox;
class QLineEdit;

namespace sonivera::ui {

// The filter window: the criteria boxes Text1 0 to 29 and the categorisation
// choices of the user's locale (HSE categories, or MP42/PAM/IPA ranges under
// the French locales).
class FormFilter : public QDialog {
  Q_OBJECT
 public:
  struct Actions {
    // Applies the criteria; false keeps the window open (a box was refused).
    std::function<bool(const FilterCriteria&)> apply;
    // Clears the filter and rebuilds the whole register.
    std::function<void()> clear;
    // The criteria of the register's current patient and test.
    std::function<FilterCriteria()> current;
  };
  FormFilter(int lcid, const FilterCriteria& shown, Actions actions, QWidget* parent = nullptr);

  FilterCriteria Criteria() const;
  void ShowCriteria(const FilterCriteria& criteria);
  QLineEdit* CriterionBox(int item) const { return criteria_boxes_[item]; }
  QCheckBox* Category(int index) const { return categories_[index]; }

  void CommandApply();
  void CommandClear();
  void CommandCurrent();

 private:
  QWidget* BuildDetails();
  QWidget* BuildDates();
  QWidget* BuildCategories();

  bool french_;
  Actions actions_;
  std::array<QLineEdit*, 30> criteria_boxes_{};
  // Category 1, 2, 3, 4, U, 4 No data, data incomplete.
  std::array<QCheckBox*, 7> categories_{};
  // MP42, PAM, IPA: the tick and the upper (Text2) and lower (Text3) bounds.
  std::array<QCheckBox*, 3> scheme_ticks_{};
  std::array<QLineEdit*, 3> upper_{};
  std::array<QLineEdit*, 3> lower_{};
};

}  // namespace sonivera::ui
