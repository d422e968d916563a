#pragma once

#include <QDialog>

#include "instrument/Tx730Transfer.h"

class QButtonGroup;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QRadioButton;

namespace sonivera::ui {

// "TX730 Data Request": the filter of a Series 3 data request. Start hands
// the chosen option and text to `start`; Current fills the text from the
// main window's patient through `current`.
class FormTX730Filter : public QDialog {
  Q_OBJECT
 public:
  std::function<void(RequestFilter, const QString&)> start;
  std::function<QString(RequestFilter)> current;

  explicit FormTX730Filter(QWidget* parent = nullptr);
  RequestFilter Chosen() const;
  void Choose(RequestFilter option);
  QLineEdit* FilterText() const { return filter_text_; }

  void Current();
  void TodaysTests();
  void Start();

 private:
  QButtonGroup* options_;
  QLineEdit* filter_text_;
};

// The view window: the received (or to be sent) lines beside the conversion
// file in use.
class FormViewTX730 : public QDialog {
  Q_OBJECT
 public:
  FormViewTX730(const QString& lines, const QString& conversion_name,
                const QString& conversion_text, QWidget* parent = nullptr);
  QPlainTextEdit* Lines() const { return lines_; }

 private:
  QPlainTextEdit* lines_;
};

// "Enter Details": sex and date of birth of a Series 1 record.
class FormS1PatSex : public QDialog {
  Q_OBJECT
 public:
  // sex "M", "F" or empty; date_of_birth dd/mm/yyyy or empty.
  FormS1PatSex(int record_number, const QString& sex, const QString& date_of_birth,
               QWidget* parent = nullptr);
  QString Sex() const;
  QString DateOfBirth() const;
  QRadioButton* OptionMale() const { return male_; }
  QRadioButton* OptionFemale() const { return female_; }
  QLineEdit* DateBox() const { return dob_; }

 private:
  QRadioButton* male_;
  QRadioButton* female_;
  QLineEdit* dob_;
};

}  // namespace sonivera::ui
