#pragma once

#include <QString>
#include <functional>

#include "app/AppState.h"
#include "base/ErrorLog.h"
#include "base/ProgramFolder.h"
#include "base/Prompter.h"
#include "db/Database.h"

namespace sonivera {

// The frame of one run: start-up, the database of the run and the orderly end.
class Application {
 public:
  Application(ProgramFolder folder, Prompter& prompter);

  // The whole start-up: locale, login, Initialise, the operating-system line.
  // False when the program must end (login cancelled, or Initialise failed;
  // the failure has been shown and logged).
  bool Start();

  // Reads the settings and lists, opens or creates the database. False after
  // a fatal failure, which has been shown and logged.
  bool Initialise();

  // OpenDatabase: opens the file at DatabasePath with DatabasePassword; after a
  // wrong password asks the login again until it opens or the user cancels.
  // False when the program must end.
  bool OpenDatabase();

  // EndProgram: asks first when an edit is open. Returns true when the user
  // declined to exit; otherwise writes the settings, closes the database and
  // returns false (the caller ends the program).
  bool EndProgram();

  // Writes sonivera5.ini from the current settings.
  bool WriteSettings();

  // Called once the serial link should be (re)opened for S4/S5; the desktop
  // program connects its port layer here.
  std::function<void()> on_open_serial_link;

  AppState& State() { return state_; }
  Settings& Config() { return state_.settings; }
  db::Database& Db() { return database_; }
  const ProgramFolder& Folder() const { return folder_; }
  ErrorReporter& Reporter() { return reporter_; }
  const ErrorLog& Log() const { return log_; }
  Prompter& Ask() { return prompter_; }
  bool Ended() const { return ended_; }

 private:
  void ReportInitialiseFailure(long number, const QString& description);
  // The login window; false (and the run ended) when it was cancelled.
  bool AskLogin();

  ProgramFolder folder_;
  Prompter& prompter_;
  ErrorLog log_;
  ErrorReporter reporter_;
  AppState state_;
  db::Database database_;
  bool ended_ = false;
};

}  // namespace sonivera
