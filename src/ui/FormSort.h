#pragma once

#include <QDialog>

#include "register/RegisterQuery.h"

class QButtonGroup;

namespace sonivera::ui {

// The sort window: one option per sort field, None first.
class FormSort : public QDialog {
  Q_OBJECT
 public:
  explicit FormSort(SortField current, QWidget* parent = nullptr);
  SortField Chosen() const;
  void Choose(SortField field);

 private:
  QButtonGroup* options_;
};

}  // namespace sonivera::ui
