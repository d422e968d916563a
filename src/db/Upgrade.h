#pragma once

namespace sonivera::db {

class Connection;

// Brings a database written by an older release up to the current layout by
// appending the fields and tables it lacks, in one transaction. A database of
// the current layout is left unchanged.
void UpgradeDatabase(Connection& connection);

}  // namespace sonivera::db
