#pragma once

#include <QByteArray>
#include <QJsonObject>
#include <QString>
#include <optional>

#include "vision/VisionEntry.h"

namespace sonivera::vision {

// The operator's actions on the test pages named as words, so that a run of
// the test steps can be written down and replayed without the window:
// "next", "prev", "pass", "fail", "pass2", "fail2", "clearAcuity",
// "clearDepth", "binoc:Four|Two|Three", "colour:N" (1-9), "vertical:K"
// (1-13), "lateral:K" (1-29), "distance:K" (1-5), "periph:R85" ... "periph:LN45".
// Returns an error text when the event is unknown or its control is not on
// the step on screen.
std::optional<QString> ApplyEvent(VisionEntry& entry, const QString& event);

// One line of `sonivera-cli vision-steps`: {"events": [...], "stored": {...}}
// run on a new test (or an edited stored one) and the state after the last
// event, with the step on screen stored as a save stores it; {"error": ...}
// when the line or one of its events cannot be used.
QJsonObject RunStepsLine(const QByteArray& line);

// The state and results after a run, as RunStepsLine reports them.
QJsonObject DescribeEntry(VisionEntry& entry);

}  // namespace sonivera::vision
