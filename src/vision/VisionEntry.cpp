#include "vision/VisionEntry.h"

#include <algorithm>

namespace sonivera::vision {

namespace {

// The number of the highest ticked box (1-based), 0 when none is ticked.
template <std::size_t N>
int HighestTicked(const std::array<bool, N>& boxes) {
  for (int i = int(N) - 1; i >= 0; --i) {
    if (boxes[i]) return i + 1;
  }
  return 0;
}

// The position of the first ticked box (1-based), 0 when none is ticked.
template <std::size_t N>
int FirstTicked(const std::array<bool, N>& boxes) {
  for (int i = 0; i < int(N); ++i) {
    if (boxes[i]) return i + 1;
  }
  return 0;
}

// Boxes 1 to k ticked, the rest clear.
template <std::size_t N>
void TickUpTo(std::array<bool, N>& boxes, int k) {
  for (int i = 0; i < int(N); ++i) boxes[i] = i < k;
}

// At most box k (1-based) ticked.
template <std::size_t N>
void TickOnly(std::array<bool, N>& boxes, int k) {
  for (int i = 0; i < int(N); ++i) boxes[i] = i + 1 == k;
}

// A click on a phoria box toggles it and clears every other box of its
// scale. The boxes are cleared here directly, not by clicks, so clearing them
// cannot start another round of clearing.
template <std::size_t N>
bool ClickExclusive(std::array<bool, N>& boxes, int box) {
  if (box < 1 || box > int(N)) return false;
  const bool ticked = !boxes[box - 1];
  boxes.fill(false);
  boxes[box - 1] = ticked;
  return true;
}

// The step an acuity step hands over to, forwards and backwards.
int StepAfterAcuity(int step) { return step == 1 ? 2 : step == 7 ? 8 : 11; }
int StepBeforeAcuity(int step) { return step == 1 ? 0 : step == 7 ? 6 : 9; }

}  // namespace

VisionEntry::VisionEntry() { ClearEntryState(); }

void VisionEntry::ClearEntryState() {
  step_ = 0;
  eye_frame_ = 1;
  slide_counter_.fill(0);
  current_target_.fill(0);
  miss_count_ = 0;
  depth_run_ = true;
  depth_target_ = 0;
  depth_miss_ = 0;
  for (auto& slide : acuity_box_) slide.fill(false);
  for (auto& slide : acuity_marked_) slide.fill(false);
  depth_box_.fill(false);
  depth_marked_.fill(false);
  binocular_option_ = 0;
  colour_box_.fill(false);
  vertical_box_.fill(false);
  lateral_box_.fill(false);
  distance_option_ = 0;
  lamps_.fill(false);
  total_right_.clear();
  total_left_.clear();
  total_both_.clear();
}

void VisionEntry::ClearWorkingResults() {
  const int distance = working_.test_distance;
  working_ = WorkingResults{};
  working_.test_distance = distance;
}

void VisionEntry::BeginNewTest() {
  ClearEntryState();
  ClearWorkingResults();
  working_.test_distance = 0;
  stored_ = CodedResults{};
  edit_mode_ = true;
  ShowStep();
}

void VisionEntry::BeginEdit(const CodedResults& stored) {
  stored_ = stored;
  working_ = stored.working;
  ClearEntryState();
  SetLamps(stored.lamps);
  edit_mode_ = true;
  ShowStep();
}

void VisionEntry::CancelEdit() {
  edit_mode_ = false;
  ClearEntryState();
  ClearWorkingResults();
  SetLamps(stored_.lamps);
  ShowStep();
}

void VisionEntry::ShowStored(const CodedResults& stored) {
  edit_mode_ = false;
  stored_ = stored;
  SetLamps(stored.lamps);
  ShowStep();
}

void VisionEntry::ReturnToStart() {
  step_ = 0;
  slide_counter_.fill(0);
  ShowStep();
}

CodedResults VisionEntry::ResultsForSave() {
  StoreStep();
  return CodedResults{working_, lamps_};
}

int VisionEntry::StoredAcuity(Distance distance, int eye_frame) const {
  return std::clamp(Source().acuity.at(Index(distance)).at(eye_frame - 1), 0, kAcuityTargets);
}

void VisionEntry::StoreStep() {
  if (!edit_mode_ || step_ >= kLastStep) return;
  const int distance = Index(DistanceOfStep(step_));
  switch (KindOfStep(step_)) {
    case StepKind::Binocular:
      working_.binocular.at(distance) = binocular_option_;
      break;
    case StepKind::Acuity:
      for (int slide = 0; slide < 3; ++slide) {
        working_.acuity.at(distance).at(slide) = HighestTicked(acuity_box_[slide]);
      }
      break;
    case StepKind::Depth:
      working_.depth = HighestTicked(depth_box_);
      break;
    case StepKind::Colour:
      working_.colour = colour_box_;
      break;
    case StepKind::Vertical:
      working_.vertical.at(distance) = FirstTicked(vertical_box_);
      break;
    case StepKind::Lateral:
      working_.lateral.at(distance) = FirstTicked(lateral_box_);
      break;
    case StepKind::Peripheral:
      break;
  }
}

void VisionEntry::ShowStep() {
  if (step_ == 0 || step_ == 6 || step_ == 9) {
    ResetAcuityLetters();
    eye_frame_ = 1;
  }
  if (IsAcuityStep(step_)) {
    // The eye frame always names the slide on screen, also when Previous
    // comes back into an acuity step after a binocular step reset it.
    const Distance distance = DistanceOfStep(step_);
    eye_frame_ = slide_counter_.at(Index(distance)) + 1;
    current_target_.at(eye_frame_ - 1) = StoredAcuity(distance, eye_frame_);
  }
  if (step_ == 2) {
    depth_run_ = true;
    depth_target_ = std::clamp(Source().depth, 0, kDepthTargets);
  }
  Redraw();
}

void VisionEntry::Redraw() {
  const WorkingResults& source = Source();
  const int distance = Index(DistanceOfStep(step_));
  switch (KindOfStep(step_)) {
    case StepKind::Binocular:
      binocular_option_ = source.binocular.at(distance);
      break;
    case StepKind::Acuity:
      for (int slide = 0; slide < 3; ++slide) {
        TickUpTo(acuity_box_[slide], source.acuity.at(distance).at(slide));
      }
      if (step_ == 10) distance_option_ = source.test_distance;
      break;
    case StepKind::Depth:
      TickUpTo(depth_box_, source.depth);
      break;
    case StepKind::Colour:
      colour_box_ = source.colour;
      break;
    case StepKind::Vertical:
      TickOnly(vertical_box_, source.vertical.at(distance));
      break;
    case StepKind::Lateral:
      TickOnly(lateral_box_, source.lateral.at(distance));
      break;
    case StepKind::Peripheral:
      break;  // the lamps live in their boxes only
  }
}

void VisionEntry::ResetAcuityLetters() {
  for (auto& slide : acuity_marked_) slide.fill(false);
}

void VisionEntry::Next() {
  StoreStep();
  if (IsAcuityStep(step_)) {
    int& counter = slide_counter_.at(Index(DistanceOfStep(step_)));
    if (counter < 2) {
      ++counter;
      eye_frame_ = counter + 1;
      miss_count_ = 0;
    } else {
      step_ = StepAfterAcuity(step_);
    }
  } else if (step_ < kLastStep) {
    ++step_;
    current_target_.fill(0);
  }
  ShowStep();
}

void VisionEntry::Previous() {
  StoreStep();
  if (step_ == 0) {
    // stays
  } else if (IsAcuityStep(step_)) {
    int& counter = slide_counter_.at(Index(DistanceOfStep(step_)));
    if (counter == 0) {
      step_ = StepBeforeAcuity(step_);
    } else {
      --counter;
      eye_frame_ = counter + 1;
      miss_count_ = 0;
    }
  } else {
    --step_;
    current_target_.fill(0);
  }
  ShowStep();
}

void VisionEntry::FinishAcuitySlide() {
  const Distance distance = DistanceOfStep(step_);
  if (eye_frame_ < 3) ++eye_frame_;
  int& counter = slide_counter_.at(Index(distance));
  if (counter < 2) {
    ++counter;
  } else {
    Next();
  }
  current_target_.at(eye_frame_ - 1) = StoredAcuity(distance, eye_frame_);
}

bool VisionEntry::AcuityPass() {
  if (!IsAcuityStep(step_)) return false;
  if (!edit_mode_) return true;
  const int slide = eye_frame_ - 1;
  const int target = current_target_.at(slide);
  if (target < kAcuityTargets) {
    acuity_box_.at(slide).at(target) = true;
    acuity_marked_.at(slide).at(target) = true;
  }
  if (target < kAcuityTargets - 1) {
    ++current_target_.at(slide);
  } else {
    FinishAcuitySlide();
  }
  miss_count_ = 0;
  return true;
}

bool VisionEntry::AcuityFail() {
  if (!IsAcuityStep(step_)) return false;
  if (!edit_mode_) return true;
  const int slide = eye_frame_ - 1;
  const int target = current_target_.at(slide);
  if (target < kAcuityTargets) {
    acuity_box_.at(slide).at(target) = false;
    acuity_marked_.at(slide).at(target) = true;
  }
  if (target < kAcuityTargets - 1) ++current_target_.at(slide);
  ++miss_count_;
  if (miss_count_ >= 2) {
    FinishAcuitySlide();
    miss_count_ = 0;
  }
  return true;
}

void VisionEntry::EndDepthRun() {
  depth_run_ = false;
  Next();
  depth_miss_ = 0;
}

bool VisionEntry::DepthPass() {
  if (step_ != 2) return false;
  if (!edit_mode_) return true;
  if (depth_run_) {
    if (depth_target_ < kDepthTargets) {
      depth_box_.at(depth_target_) = true;
      depth_marked_.at(depth_target_) = true;
    }
    if (depth_target_ >= kDepthTargets - 1) {
      EndDepthRun();
    } else {
      ++depth_target_;
    }
  }
  depth_miss_ = 0;
  return true;
}

bool VisionEntry::DepthFail() {
  if (step_ != 2) return false;
  if (!edit_mode_) return true;
  if (depth_run_) {
    if (depth_target_ < kDepthTargets) {
      depth_box_.at(depth_target_) = false;
      depth_marked_.at(depth_target_) = true;
    }
    if (depth_target_ >= kDepthTargets - 1) {
      EndDepthRun();
    } else {
      ++depth_target_;
    }
  }
  depth_miss_ = std::min(depth_miss_ + 1, 2);
  if (depth_miss_ == 2 && depth_run_) EndDepthRun();
  return true;
}

bool VisionEntry::ClearAcuity() {
  if (!IsAcuityStep(step_)) return false;
  if (!edit_mode_) return true;
  const int slide = eye_frame_ - 1;
  current_target_.at(slide) = 0;
  acuity_box_.at(slide).fill(false);
  acuity_marked_.at(slide).fill(false);
  working_.acuity.at(Index(DistanceOfStep(step_))).at(slide) = 0;
  return true;
}

bool VisionEntry::ClearDepth() {
  if (step_ != 2) return false;
  if (!edit_mode_) return true;
  depth_box_.fill(false);
  depth_marked_.fill(false);
  depth_target_ = 0;
  return true;
}

bool VisionEntry::ChooseBinocular(int option) {
  if (KindOfStep(step_) != StepKind::Binocular || option < 1 || option > 3) return false;
  if (edit_mode_) binocular_option_ = option;
  return true;
}

bool VisionEntry::ClickColour(int box) {
  if (step_ != 3 || box < 1 || box > kColourCircles) return false;
  if (edit_mode_) colour_box_.at(box - 1) = !colour_box_.at(box - 1);
  return true;
}

bool VisionEntry::ClickVertical(int box) {
  if (KindOfStep(step_) != StepKind::Vertical || box < 1 || box > kVerticalBoxes) return false;
  if (edit_mode_) ClickExclusive(vertical_box_, box);
  return true;
}

bool VisionEntry::ClickLateral(int box) {
  if (KindOfStep(step_) != StepKind::Lateral || box < 1 || box > kLateralBoxes) return false;
  if (edit_mode_) ClickExclusive(lateral_box_, box);
  return true;
}

bool VisionEntry::ChooseTestDistance(int option) {
  if (step_ != 10 || option < 1 || option > kTestDistances) return false;
  if (edit_mode_) {
    distance_option_ = option;
    working_.test_distance = option;
  }
  return true;
}

bool VisionEntry::ClickLamp(int lamp) {
  if (step_ != kLastStep || lamp < 0 || lamp >= kLamps) return false;
  if (!edit_mode_) return true;
  lamps_.at(lamp) = !lamps_.at(lamp);
  const bool right = lamp < 4;
  RecomputeTotals(right, !right);
  return true;
}

void VisionEntry::SetLamps(const std::array<bool, kLamps>& lamps) {
  lamps_ = lamps;
  total_right_.clear();
  total_left_.clear();
  total_both_.clear();
  // A side with a lamp seen shows its total, as it did when it was entered.
  const bool any_right = std::any_of(lamps.begin(), lamps.begin() + 4, [](bool b) { return b; });
  const bool any_left = std::any_of(lamps.begin() + 4, lamps.end(), [](bool b) { return b; });
  if (any_right || any_left) RecomputeTotals(any_right, any_left);
}

void VisionEntry::RecomputeTotals(bool right_side, bool left_side) {
  if (right_side) {
    total_right_ =
        QString::number(PeripheralTotal(lamps_[R85], lamps_[R70], lamps_[R55], lamps_[RN45]));
  }
  if (left_side) {
    total_left_ =
        QString::number(PeripheralTotal(lamps_[L85], lamps_[L70], lamps_[L55], lamps_[LN45]));
  }
  total_both_ = QString::number(total_right_.toInt() + total_left_.toInt());
}

}  // namespace sonivera::vision
