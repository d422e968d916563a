#pragma once

#include "ui/FormFilter.h"
#include "ui/FormFind.h"
#include "ui/FormSort.h"

namespace sonivera::ui {

// The vision window's find, sort and filter windows: the audiogram side's
// windows with the same fields and criteria, working on the vision register.
class FormVisionFind : public FormFind {
  Q_OBJECT
 public:
  explicit FormVisionFind(Finder find, QWidget* parent = nullptr);
};

class FormVisionSort : public FormSort {
  Q_OBJECT
 public:
  explicit FormVisionSort(SortField current, QWidget* parent = nullptr);
};

class FormVisionFilter : public FormFilter {
  Q_OBJECT
 public:
  FormVisionFilter(int lcid, const FilterCriteria& shown, Actions actions,
                   QWidget* parent = nullptr);
};

}  // namespace sonivera::ui
