#pragma once

#include <QString>

namespace sonivera {

namespace db {
class Database;
}
class ErrorReporter;
class ProgramFolder;
class SerialLinkOpener;
struct SchemeChecks;
struct Settings;

// What the configuration window's rules and the maintenance commands work with.
struct ConfigContext {
  const ProgramFolder& folder;
  Settings& settings;
  // The live scheme boxes.
  SchemeChecks& schemes;
  int lcid;
  db::Database& database;
  // The password the database was opened with; a change of password updates it.
  QString& database_password;
  ErrorReporter& reporter;
  // The port layer that reopens the serial link; null when the program has none.
  SerialLinkOpener* serial_link = nullptr;
};

}  // namespace sonivera
