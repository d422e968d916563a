#pragma once

#include <QWidget>
#include <array>

#include "register/EntryFields.h"

class QButtonGroup;
class QComboBox;
class QGroupBox;
class QLineEdit;
class QPlainTextEdit;
class QRadioButton;

namespace sonivera {
struct DetailLists;
}

namespace sonivera::ui {

// The Details page: the patient's and the shown test's fields, with the
// controls named as the record editor knows them.
class DetailsPage : public QWidget {
  Q_OBJECT
 public:
  explicit DetailsPage(QWidget* parent = nullptr);

  // Fills the ten drop-down lists and sets their length limits.
  void SetLists(const DetailLists& lists);
  // Shows the fields as the program fills them; baseline is the baseline
  // box's text ("First Audiogram" or a date).
  void ShowValues(const EntryFields& fields, const QString& baseline);
  // Copies every box but the thresholds into fields.
  void ReadValues(EntryFields& fields) const;
  // "Edit Mode" caption and editable boxes while editing. The patient number
  // is typed only for a new patient: renumbering has its own window.
  void SetEditing(bool editing, bool new_patient = false);

  QLineEdit* PatNoBox() const { return pat_no_; }
  QLineEdit* DobBox() const { return dob_; }
  QLineEdit* DateBox(int item) const { return dates_[item]; }
  QComboBox* DetailBox(int item) const { return combos_[item]; }

 private:
  QGroupBox* frame_;
  QLineEdit* pat_no_;
  QLineEdit* surname_;
  QLineEdit* forenames_;
  QLineEdit* service_length_;
  QLineEdit* serial_no_;
  QLineEdit* baseline_;

 public:
  QString Baseline() const;
  QComboBox* test_type_;
  QPlainTextEdit* notes_;
  QLineEdit* dob_;
  std::array<QLineEdit*, 7> dates_{};
  std::array<QComboBox*, 10> combos_{};
  std::array<QLineEdit*, kAddressLineCount> address_{};
  QRadioButton* male_;
  QRadioButton* female_;
  QButtonGroup* sex_;
};

}  // namespace sonivera::ui
