#pragma once

#include <QString>

namespace sonivera {
class Application;
}

namespace sonivera::ui {

// The folder `sonivera --demo` opens when no --folder is given.
QString DefaultDemoFolder();

// Fills an empty register with a few dozen generated patients and their
// audiograms, categorised as saved ones are, and turns the chart's bands and
// predictive line on (and the locale's schemes when none is chosen), so that
// a first look shows a working register. A
// register that already holds patients is left alone. Returns the number of
// patients added.
int SeedDemoRegister(Application& app, int patients = 36);

}  // namespace sonivera::ui
