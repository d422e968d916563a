#pragma once

#include <QWidget>
#include <array>
#include <vector>

class QAbstractButton;
class QButtonGroup;
class QGridLayout;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QScrollBar;
class QStackedWidget;

namespace sonivera::vision {
class VisionEntry;
}

namespace sonivera::ui {

class VisionSlideView;

// The vision window's test page: one frame per test step with its title,
// instruction, criteria, controls and a picture of the slide. It draws a
// VisionEntry and reports the operator's clicks as the entry's action words
// ("pass", "colour:3", ...); it holds no rule of its own.
class VisionStepPage : public QWidget {
  Q_OBJECT
 public:
  explicit VisionStepPage(QWidget* parent = nullptr);

  // Redraws the step on screen; test_no counts from 1 (0 when no test).
  void Render(const vision::VisionEntry& entry, int test_no, int test_count,
              const QString& test_date);

  QGroupBox* Frame(int step) const { return frames_[step].box; }
  QScrollBar* TestScrollBar() const { return scroll_; }
  QLabel* TestNumber() const { return test_no_; }
  QLabel* Heading() const { return heading_; }
  // The answer letter of acuity target t (0-based) on the step's frame.
  QLabel* AcuityLetter(int step, int target) const;
  QPushButton* NextButton() const { return next_; }
  QPushButton* PreviousButton() const { return previous_; }

 signals:
  void Event(const QString& event);
  void TestScrolled(int index);

 private:
  struct StepFrame {
    QGroupBox* box = nullptr;
    VisionSlideView* picture = nullptr;
    std::vector<QAbstractButton*> buttons;    // boxes or options of the step, in order
    std::vector<QLabel*> letters;             // answer letters (acuity, depth)
    std::vector<QAbstractButton*> distances;  // step 10's test distance options
    std::vector<QWidget*> editable;           // enabled only while editing
    std::array<QLineEdit*, 3> totals{};       // step 11
    QLabel* instruction = nullptr;
  };
  void BuildFrame(int step);
  void AddAcuity(StepFrame& frame, int step, QGridLayout* grid);
  void AddChecks(StepFrame& frame, const QString& name, const QString& event, int count,
                 int per_row, QGridLayout* grid, const std::vector<QString>& labels,
                 const std::vector<QString>& hints = {});
  QPushButton* AddCommand(StepFrame& frame, const QString& name, const QString& text,
                          const QString& event);

  QLabel* heading_;
  QLabel* test_no_;
  QLabel* test_date_;
  QScrollBar* scroll_;
  QStackedWidget* stack_;
  QPushButton* previous_;
  QPushButton* next_;
  std::array<StepFrame, 12> frames_;
};

}  // namespace sonivera::ui
