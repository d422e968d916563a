#pragma once

#include <QWidget>
#include <array>

#include "register/EntryFields.h"

class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QScrollBar;

namespace sonivera::ui {

class ColourKeyView;
class PicGraph;

// The Audiograms page: the "Cur." and "Prev." thresholds of both ears, the
// categorisation box, the test scroll bar and the two charts.
class ResultsPage : public QWidget {
  Q_OBJECT
 public:
  explicit ResultsPage(QWidget* parent = nullptr);

  // The threshold boxes Text1, items 0 to 21.
  QLineEdit* ThresholdBox(int item) const { return threshold_boxes_[item]; }
  QScrollBar* VScrollResults() const { return scroll_; }
  PicGraph* LeftGraph() const { return left_graph_; }
  PicGraph* RightGraph() const { return right_graph_; }
  ColourKeyView* ColourKey() const { return colour_key_; }
  QLineEdit* CategorisationBox() const { return categorisation_; }

  // Fills the boxes as the program does (no entry rule runs).
  void ShowValues(const EntryFields& fields);
  // The date and time of test boxes, shown as the details page shows them.
  void ShowTestKey(const EntryFields& fields);
  QLineEdit* DateOfTestBox() const { return date_of_test_; }
  QLineEdit* TimeOfTestBox() const { return time_of_test_; }
  void SetThresholdBox(int item, const QString& text);
  void ReadThresholds(EntryFields& fields) const;
  void SetCategorisation(const QString& text);
  // The record-number labels: tests are numbered 1 (oldest) to count.
  void SetRecordLabels(int test_index, int test_count);
  // "Latest Data" in the window-text colour, or "Historic Data" in bold blue.
  void SetHistoric(bool historic);
  // Threshold boxes accept typing only while a record is being edited.
  void SetEditable(bool editable);

 signals:
  // A threshold box was changed by the user (not by the program).
  void ThresholdEdited(int item, const QString& text);
  void ColourKeyToggled();
  void RecheckRequested();

 private:
  QGroupBox* frame_;
  std::array<QLineEdit*, kThresholdBoxCount> threshold_boxes_{};
  std::array<QLineEdit*, kThresholdBoxCount> previous_{};
  QLineEdit* categorisation_;
  QLineEdit* date_of_test_;
  QLineEdit* time_of_test_;
  QScrollBar* scroll_;
  QLabel* record_number_;
  QLabel* record_count_;
  PicGraph* left_graph_;
  PicGraph* right_graph_;
  ColourKeyView* colour_key_;
  QPushButton* colour_key_button_;
};

// Frequency positions (125 Hz first) to the Text1 item of each ear.
extern const std::array<int, 11> kLeftItemAt;
extern const std::array<int, 11> kRightItemAt;

}  // namespace sonivera::ui
