#pragma once

#include <QString>
#include <array>

#include "vision/VisionResults.h"
#include "vision/VisionSlides.h"

namespace sonivera::vision {

// The vision window's test pages without the widgets: the step on screen,
// the state of every box and option of the steps, the working results, and
// what each control does. The window draws this object and passes the
// operator's clicks to it, so the stopping rules are the same in the window
// and on the command line.
//
// Acuity boxes and answer letters are one set of three slides (both eyes,
// right, left) shared by the far, near and intermediate steps; entering a step
// redraws its boxes from the results, while the red answer letters stay until
// a binocular step or step 9 is entered or the slide is cleared.
//
// A run resumed after a stored result of 14 (acuity) or 9 (depth) has no
// target left: the current target then stands just past the last box and
// Pass or Fail mark nothing; Pass ends the slide (or the depth run) at once,
// Fail counts a miss.
class VisionEntry {
 public:
  VisionEntry();

  // --- Beginning, editing, browsing ---------------------------------------
  // Clears every box, option, answer letter and total of every step and the
  // entry state: step 0, eye frame 1, slide counters, current targets and
  // miss counts 0, depth run on.
  void ClearEntryState();
  // Sets every working result to 0 but the intermediate test distance.
  void ClearWorkingResults();
  // A new test: the entry state and the working results cleared (test
  // distance too), edit mode on, step 0 shown.
  void BeginNewTest();
  // Editing a stored test: its results become the working results, its lamps
  // are ticked, the entry state starts afresh at step 0 in edit mode.
  void BeginEdit(const CodedResults& stored);
  // Leaving edit mode without saving: the entry state and the working results
  // are cleared and step 0 shows the stored results.
  void CancelEdit();
  // Browsing: shows `stored` on the step on screen (edit mode off).
  void ShowStored(const CodedResults& stored);
  // Another patient or test row chosen: step 0, the slide counters 0.
  void ReturnToStart();
  // Saving: the step on screen is stored and the results to write returned
  // (the working results with the lamps as ticked).
  CodedResults ResultsForSave();

  // --- The controls -------------------------------------------------------
  // Each returns false when the control is not on the step on screen or its
  // argument is out of range; result-changing controls do nothing (and return
  // true) outside edit mode.
  void Next();
  void Previous();
  bool AcuityPass();
  bool AcuityFail();
  bool DepthPass();
  bool DepthFail();
  bool ClearAcuity();
  bool ClearDepth();
  bool ChooseBinocular(int option);     // 1 "Four", 2 "Two", 3 "Three"
  bool ClickColour(int box);            // 1..9
  bool ClickVertical(int box);          // 1..13
  bool ClickLateral(int box);           // 1..29
  bool ChooseTestDistance(int option);  // 1..5
  bool ClickLamp(int lamp);             // Lamp

  // --- What the window draws ----------------------------------------------
  bool EditMode() const { return edit_mode_; }
  int Step() const { return step_; }
  int EyeFrame() const { return eye_frame_; }
  // The slide counter of an acuity distance (0 slide 2, 1 slide 3, 2 slide 4).
  int SlideCounter(Distance distance) const { return slide_counter_.at(int(distance)); }
  // The current target (0-based) of eye frame 1..3; 14 when none is left.
  int CurrentTarget(int eye_frame) const { return current_target_.at(eye_frame - 1); }
  int MissCount() const { return miss_count_; }
  bool DepthRun() const { return depth_run_; }
  int DepthTarget() const { return depth_target_; }
  int DepthMissCount() const { return depth_miss_; }

  bool AcuityBox(int eye_frame, int target) const {
    return acuity_box_.at(eye_frame - 1).at(target);
  }
  bool AcuityLetterMarked(int eye_frame, int target) const {
    return acuity_marked_.at(eye_frame - 1).at(target);
  }
  bool DepthBox(int target) const { return depth_box_.at(target); }
  bool DepthLetterMarked(int target) const { return depth_marked_.at(target); }
  int BinocularOption() const { return binocular_option_; }  // 0 none
  bool ColourBox(int index) const { return colour_box_.at(index); }
  bool VerticalBox(int index) const { return vertical_box_.at(index); }
  bool LateralBox(int index) const { return lateral_box_.at(index); }
  int TestDistanceOption() const { return distance_option_; }  // 0 none
  bool LampTicked(int lamp) const { return lamps_.at(lamp); }
  // The texts of the total boxes: "" until a lamp of that side is clicked.
  const QString& TotalRight() const { return total_right_; }
  const QString& TotalLeft() const { return total_left_; }
  const QString& TotalBoth() const { return total_both_; }

  const WorkingResults& Working() const { return working_; }

 private:
  int Index(Distance distance) const { return static_cast<int>(distance); }
  const WorkingResults& Source() const { return edit_mode_ ? working_ : stored_.working; }
  int StoredAcuity(Distance distance, int eye_frame) const;
  // Stores the answers of the step on screen in the working results.
  void StoreStep();
  // The step on screen entered: frame shown, entry state set, boxes redrawn.
  void ShowStep();
  void Redraw();
  void ResetAcuityLetters();
  void FinishAcuitySlide();
  void EndDepthRun();
  void SetLamps(const std::array<bool, kLamps>& lamps);
  void RecomputeTotals(bool right_side, bool left_side);

  bool edit_mode_ = false;
  int step_ = 0;
  int eye_frame_ = 1;
  std::array<int, 3> slide_counter_{};
  std::array<int, 3> current_target_{};
  int miss_count_ = 0;
  bool depth_run_ = true;
  int depth_target_ = 0;
  int depth_miss_ = 0;

  std::array<std::array<bool, kAcuityTargets>, 3> acuity_box_{};
  std::array<std::array<bool, kAcuityTargets>, 3> acuity_marked_{};
  std::array<bool, kDepthTargets> depth_box_{};
  std::array<bool, kDepthTargets> depth_marked_{};
  int binocular_option_ = 0;
  std::array<bool, kColourCircles> colour_box_{};
  std::array<bool, kVerticalBoxes> vertical_box_{};
  std::array<bool, kLateralBoxes> lateral_box_{};
  int distance_option_ = 0;
  std::array<bool, kLamps> lamps_{};
  QString total_right_, total_left_, total_both_;

  WorkingResults working_;
  CodedResults stored_;
};

}  // namespace sonivera::vision
