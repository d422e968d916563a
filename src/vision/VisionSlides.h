#pragma once

#include <QString>
#include <QStringList>
#include <array>

namespace sonivera::vision {

// The tester's slides as the vision window shows them: the twelve test steps
// in the order the operator works through them, their texts, and the
// expected answers printed beside each box.

constexpr int kStepCount = 12;  // steps 0 to 11
constexpr int kLastStep = kStepCount - 1;
constexpr int kAcuityTargets = 14;
constexpr int kDepthTargets = 9;
constexpr int kColourCircles = 9;
constexpr int kVerticalBoxes = 13;
constexpr int kLateralBoxes = 29;
constexpr int kTestDistances = 5;
constexpr int kLamps = 8;

// The distances at which acuity is measured; also the index of a step's
// slide counter.
enum class Distance { Far = 0, Near = 1, Intermediate = 2, Peripheral = 3 };

// What the frame of a step holds.
enum class StepKind { Binocular, Acuity, Depth, Colour, Vertical, Lateral, Peripheral };

StepKind KindOfStep(int step);
Distance DistanceOfStep(int step);
// The acuity steps: 1 (far), 7 (near), 10 (intermediate).
bool IsAcuityStep(int step);

// The heading every frame carries for the step on screen: "Far Vision", ...
QString DistanceHeading(int step);
// The frame title; an acuity step has one per eye frame (1 both, 2 right, 3 left).
QString StepTitle(int step, int eye_frame = 1);
QString StepInstruction(int step);
QStringList StepCriteria(int step);

// The eye frames of an acuity step: 1 both eyes, 2 right, 3 left.
QString EyeName(int eye_frame);

// Expected answer letter ("T", "B", "L", "R") of acuity target 0..13 on the
// slide of eye frame 1..3, and of depth target 0..8.
QChar AcuityAnswer(int eye_frame, int target);
QChar DepthAnswer(int target);
// Snellen equivalent of acuity target 0..13, and its N size ("" for most).
QString Snellen(int target);
QString NearEquivalent(int target);

// The colour circles in box order Aa, Ab, B, Ca, Cb, D, Ea, Eb, F.
QString ColourCircle(int index);
QString ColourNumeral(int index);

// Labels of phoria box k (0-based): "1", "1-2", "2", ...
QString PhoriaLabel(int box);

// Intermediate test distances 1..5 in inches and centimetres.
int DistanceInches(int option);
int DistanceCm(int option);

// The peripheral lamps in column order PR85, PR70, PR55, PRN45, PL85, ...
enum Lamp { R85, R70, R55, RN45, L85, L70, L55, LN45 };
QString LampName(int lamp);    // "R85", ..., "LN45"
QString LampColumn(int lamp);  // "PR85", ..., "PLN45"
int LampAngle(int lamp);       // 85, 70, 55, 45
bool LampIsNasal(int lamp);

}  // namespace sonivera::vision
