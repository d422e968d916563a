#pragma once

#include <QGroupBox>

#include "vision/VisionEditor.h"

class QButtonGroup;
class QComboBox;
class QFormLayout;
class QLineEdit;

namespace sonivera::ui {

// The vision answers of the details page: glasses, their type, contact
// lenses, change in prescription, the last examination by a doctor and
// whether the patient was referred.
class VisionAnswersBox : public QGroupBox {
  Q_OBJECT
 public:
  explicit VisionAnswersBox(QWidget* parent = nullptr);

  void ShowValues(const vision::VisionAnswerFields& answers);
  void ReadValues(vision::VisionAnswerFields& answers) const;
  void SetEditing(bool editing);

  QComboBox* GlassesType() const { return glasses_type_; }
  QLineEdit* LastExam() const { return last_exam_; }

 private:
  // A "Yes"/"No" pair; option 0 (id 1) is "Yes".
  QButtonGroup* AddPair(const QString& name, const QString& caption, QFormLayout* form);

  QButtonGroup* glasses_;
  QButtonGroup* contacts_;
  QButtonGroup* rx_;
  QButtonGroup* referred_;
  QComboBox* glasses_type_;
  QLineEdit* last_exam_;
};

}  // namespace sonivera::ui
