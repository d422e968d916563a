#pragma once

#include <QString>

#include "base/DetailLists.h"
#include "base/ErrorLog.h"
#include "base/ProgramFolder.h"
#include "base/Prompter.h"
#include "base/Settings.h"
#include "categorise/CategorisationState.h"
#include "categorise/Categorise.h"
#include "categorise/Schemes.h"
#include "chart/ChartFiles.h"
#include "config/ConfigContext.h"
#include "db/Database.h"
#include "interchange/RegisterImport.h"
#include "register/RecordEditor.h"

namespace sonivera {

class Register;

// The composition root of one run: start-up, what the run holds (settings,
// scheme boxes, lists, chart files, categorisation state, the database, the
// error log) and the orderly end. It hands each service what that service
// uses; the windows, the command line and main() build on it, the services
// never see it.
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

  // OpenDatabase: opens the file at DatabasePath with the login's password;
  // after a wrong password asks the login again until it opens or the user
  // cancels. False when the program must end.
  bool OpenDatabase();

  // EndProgram: asks first when an edit is open (edit_open) or a test runs on
  // the PC audiometer. Returns true when the user declined to exit; otherwise
  // writes the settings, closes the database and returns false (the caller
  // ends the program).
  bool EndProgram(bool edit_open);

  // Writes sonivera5.ini from the current settings.
  bool WriteSettings();

  // The port layer that opens the serial link for S4/S5 at start-up and after
  // the configuration window; none by default.
  void SetSerialLink(SerialLinkOpener* link) { serial_link_ = link; }
  // A test is running on the PC audiometer; counts as an open edit at exit.
  void SetTestRunning(bool running) { test_running_ = running; }
  bool TestRunning() const { return test_running_; }

  // What the run holds.
  Settings& settings() { return settings_; }
  SchemeChecks& Schemes() { return schemes_; }
  CategorisationState& Categorisation() { return categorisation_; }
  const DetailLists& Lists() const { return detail_lists_; }
  DetailLists& Lists() { return detail_lists_; }
  // Band colours and age-distribution tables, loaded at start-up.
  const chart::ChartFiles& ChartFiles() const { return chart_files_; }
  chart::ChartFiles& ChartFiles() { return chart_files_; }
  int UserLocale() const { return user_locale_; }
  void SetUserLocale(int lcid) { user_locale_ = lcid; }
  QString& DatabasePassword() { return database_password_; }
  const QString& ExaminerName() const { return examiner_name_; }
  void SetExaminerName(const QString& name) { examiner_name_ = name; }
  db::Database& Db() { return database_; }
  const ProgramFolder& Folder() const { return folder_; }
  ErrorReporter& Reporter() { return reporter_; }
  const ErrorLog& Log() const { return log_; }
  Prompter& Ask() { return prompter_; }
  bool Ended() const { return ended_; }

  // What each service is given.
  CategoriseEnv ForCategorising();
  EditorContext ForEditor();
  ConfigContext ForConfig();
  ImportContext ForImport(RecordEditor& editor, Register* reg);

 private:
  void ReportInitialiseFailure(long number, const QString& description);
  // The login window; false (and the run ended) when it was cancelled.
  bool AskLogin();

  ProgramFolder folder_;
  Prompter& prompter_;
  ErrorLog log_;
  ErrorReporter reporter_;
  int user_locale_ = 1033;
  QString database_password_;
  QString examiner_name_;
  bool test_running_ = false;
  SerialLinkOpener* serial_link_ = nullptr;
  Settings settings_;
  SchemeChecks schemes_;
  // The grid, current-test view, categorisation text and scheme values.
  CategorisationState categorisation_;
  DetailLists detail_lists_;
  chart::ChartFiles chart_files_;
  db::Database database_;
  bool ended_ = false;
};

}  // namespace sonivera
