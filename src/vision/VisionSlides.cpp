#include "vision/VisionSlides.h"

namespace sonivera::vision {

namespace {

// The step each step borrows its frame texts from (near steps repeat the far ones).
int TextStep(int step) {
  switch (step) {
    case 6:
      return 0;
    case 7:
      return 1;
    case 8:
      return 4;
    case 9:
      return 5;
    case 10:
      return 1;
    default:
      return step;
  }
}

const char* const kAcuityAnswers[3] = {"TRRLTBLRLBRBTR", "TLTTBBLBRTRLBR", "LRLBRTTBRTBRTL"};
const char* const kDepthAnswers = "BLBTTLRLR";
const char* const kSnellen[kAcuityTargets] = {"6/60",   "6/30", "6/21",  "6/15",  "6/12",
                                              "6/10.5", "6/9",  "6/7.5", "6/6.6", "6/6",
                                              "6/5.5",  "6/5",  "6/4.5", "6/4"};
const char* const kNear[kAcuityTargets] = {"N36", "N18", "N14", "N10", "N8", "", "N6",
                                           "N5",  "",    "N4",  "",    "",   "", ""};
const char* const kCircles[kColourCircles] = {"Aa", "Ab", "B", "Ca", "Cb", "D", "Ea", "Eb", "F"};
const char* const kNumerals[kColourCircles] = {"1", "2", "5", "2", "6", "6", "1", "6", "None"};
const int kInches[kTestDistances] = {20, 22, 26, 31, 40};
const int kCm[kTestDistances] = {50, 57, 66, 80, 100};
const char* const kLampNames[kLamps] = {"R85", "R70", "R55", "RN45", "L85", "L70", "L55", "LN45"};

}  // namespace

StepKind KindOfStep(int step) {
  switch (TextStep(step)) {
    case 0:
      return StepKind::Binocular;
    case 1:
      return StepKind::Acuity;
    case 2:
      return StepKind::Depth;
    case 3:
      return StepKind::Colour;
    case 4:
      return StepKind::Vertical;
    case 5:
      return StepKind::Lateral;
    default:
      return StepKind::Peripheral;
  }
}

Distance DistanceOfStep(int step) {
  if (step <= 5) return Distance::Far;
  if (step <= 9) return Distance::Near;
  if (step == 10) return Distance::Intermediate;
  return Distance::Peripheral;
}

bool IsAcuityStep(int step) { return step == 1 || step == 7 || step == 10; }

QString DistanceHeading(int step) {
  switch (DistanceOfStep(step)) {
    case Distance::Far:
      return QStringLiteral("Far Vision");
    case Distance::Near:
      return QStringLiteral("Near Vision");
    case Distance::Intermediate:
      return QStringLiteral("Intermediate Vision");
    case Distance::Peripheral:
      break;
  }
  return QStringLiteral("Peripheral Vision");
}

QString StepTitle(int step, int eye_frame) {
  switch (TextStep(step)) {
    case 0:
      return QStringLiteral("Slide 1 - Binocular Vision");
    case 1:
      if (eye_frame == 2) return QStringLiteral("Slide 3 - Acuity Right Eye");
      if (eye_frame == 3) return QStringLiteral("Slide 4 - Acuity Left Eye");
      return QStringLiteral("Slide 2 - Acuity Both Eyes");
    case 2:
      return QStringLiteral("Slide 5 - Depth Perception");
    case 3:
      return QStringLiteral("Slide 6 - Colour Perception");
    case 4:
      return QStringLiteral("Slide 7 - Vertical Phoria");
    case 5:
      return QStringLiteral("Slide 8 - Lateral Phoria");
    default:
      return QStringLiteral("Peripheral Vision Test");
  }
}

QString StepInstruction(int step) {
  switch (TextStep(step)) {
    case 0:
      return QStringLiteral("How many cubes do you see?");
    case 1:
      return QStringLiteral(
          "Starting with smallest target you can see, what is the postion of the unbroken ring? "
          "Top, Bottom, Left or Right?");
    case 2:
      return QStringLiteral("For each target, identify which ring seems to float out towards you?");
    case 3:
      return QStringLiteral("What numbers do you see in circles A, B, C etc?");
    case 4:
      return QStringLiteral("Through the round part of which musical note does the red line pass?");
    case 5:
      return QStringLiteral("The arrow points to which musical note?");
    default:
      return QStringLiteral("Look ahead at the the test slide. Do you see a light flashing?");
  }
}

QStringList StepCriteria(int step) {
  switch (TextStep(step)) {
    case 0:
      return {QStringLiteral("The two white cubes should fuse together for a patient with good "
                             "binocular vision."),
              QStringLiteral("A PASS response is 'three' or 'four, then three' cubes."),
              QStringLiteral("A FAIL response is 'four' or 'two' cubes.")};
    case 1:
      return {QStringLiteral("A Fail is when the patient misses two consecutive targets, or "
                             "cannot see  the target clearly."),
              QStringLiteral("Then the last acuity correctly seen is recorded.")};
    case 2:
      return {QStringLiteral("Once the Patient misses 2 consecutive targets or cannot see the "
                             "target clearly, the last correct reading is recorded."),
              QStringLiteral("Reading all circles correctly through to 9 is normal depth "
                             "perception."),
              QStringLiteral("Anything below 5 is unacceptable.")};
    case 3:
      return {QStringLiteral("There are a total of 8 numerals, but circle F is blank."),
              QStringLiteral("Normal: Correct reading of ALL 8 numerals"),
              QStringLiteral("Mild Deficiency: Correct reading of at least 5 numerals"),
              QStringLiteral("Fail: Inability to read at least 5 numerals")};
    case 4:
      return {QStringLiteral("Anywhere from 2.5 to 5.5 is the accepted norm."),
              QStringLiteral("Anywhere from 1 to 4 indicates left hyperphoria."),
              QStringLiteral("Anywhere from 4 to 7 indicates right hyperphoria.")};
    case 5:
      return {QStringLiteral("Arrow pointing to 8 is ideal, between 3.5 to 12.5 is the accepted "
                             "norm."),
              QStringLiteral("Arrow between 1 and 8 indicates Esophoria (one eye turns inward "
                             "compared to the other)."),
              QStringLiteral("Arrow between 8 and 15 indicates Exophoria (one eye turns outward "
                             "compared to the other).")};
    default:
      return {QStringLiteral("Select the lamp to be illuminated. Record the answer for each lamp."),
              QStringLiteral("A fail is the patient missing any lamps."),
              QStringLiteral(" Some Restriction: Fail at 85\u00B0"),
              QStringLiteral("Severe Restriction: FAIL at 70\u00B0"),
              QStringLiteral(" or 55\u00B0"),
              QStringLiteral("Nasal Restriction: FAIL at N 45\u00B0")};
  }
}

QString EyeName(int eye_frame) {
  if (eye_frame == 2) return QStringLiteral("Right Eye");
  if (eye_frame == 3) return QStringLiteral("Left Eye");
  return QStringLiteral("Both Eyes");
}

QChar AcuityAnswer(int eye_frame, int target) {
  if (eye_frame < 1 || eye_frame > 3 || target < 0 || target >= kAcuityTargets) return QChar();
  return QLatin1Char(kAcuityAnswers[eye_frame - 1][target]);
}

QChar DepthAnswer(int target) {
  if (target < 0 || target >= kDepthTargets) return QChar();
  return QLatin1Char(kDepthAnswers[target]);
}

QString Snellen(int target) {
  return target >= 0 && target < kAcuityTargets ? QLatin1String(kSnellen[target]) : QString();
}

QString NearEquivalent(int target) {
  return target >= 0 && target < kAcuityTargets ? QLatin1String(kNear[target]) : QString();
}

QString ColourCircle(int index) {
  return index >= 0 && index < kColourCircles ? QLatin1String(kCircles[index]) : QString();
}

QString ColourNumeral(int index) {
  return index >= 0 && index < kColourCircles ? QLatin1String(kNumerals[index]) : QString();
}

QString PhoriaLabel(int box) {
  const int low = box / 2 + 1;
  return box % 2 == 0 ? QString::number(low) : QStringLiteral("%1-%2").arg(low).arg(low + 1);
}

int DistanceInches(int option) {
  return option >= 1 && option <= kTestDistances ? kInches[option - 1] : 0;
}

int DistanceCm(int option) { return option >= 1 && option <= kTestDistances ? kCm[option - 1] : 0; }

QString LampName(int lamp) { return QLatin1String(kLampNames[lamp]); }
QString LampColumn(int lamp) { return QLatin1Char('P') + LampName(lamp); }

int LampAngle(int lamp) {
  static const int kAngles[4] = {85, 70, 55, 45};
  return kAngles[lamp % 4];
}

bool LampIsNasal(int lamp) { return lamp % 4 == 3; }

}  // namespace sonivera::vision
