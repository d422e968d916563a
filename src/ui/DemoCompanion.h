#pragma once

#include <QString>

namespace sonivera {
class ProgramFolder;
}

namespace sonivera::ui {

// The stand-in companion program built with Sonivera: $SONIVERA_BRIDGER_STANDIN,
// else bridger-standin found as FindDemoProgram says.
// Empty when none is found.
QString FindCompanionStandIn();

// Installs the stand-in as Bridger.exe in the folder so that Test and Get
// Data can be tried; a Bridger.exe already there is left alone. True when the
// folder has a companion afterwards.
bool InstallDemoCompanion(const ProgramFolder& folder);

}  // namespace sonivera::ui
