#pragma once

#include <QString>

namespace sonivera {

struct ConfigContext;

// The maintenance commands of the configuration window's first page.

// MakeBackup: asks where to copy the database and copies it while it stays
// open. True when a copy was made.
bool MakeBackup(const ConfigContext& context);

// RepairDatabase: checks the file and compacts it; a damaged file is reported
// and left as it is. True when the check passed.
bool RepairDatabase(const ConfigContext& context);

// BrowseDatabase: lets the user choose the database for the next start and
// writes it to the settings file. True when a new file was chosen and confirmed.
bool BrowseDatabase(const ConfigContext& context);

}  // namespace sonivera
