#pragma once

#include <QString>

#include "base/DetailLists.h"
#include "base/Settings.h"
#include "categorise/CategorisationState.h"
#include "categorise/Schemes.h"
#include "chart/ChartFiles.h"

namespace sonivera {

// The main window's edit states.
enum EditModes { kBrowsing = 0, kEditing = 1, kAddingPatient = 2, kInsertingTest = 3 };

// The state of one run of the program, owned by the application and passed
// by reference to the services that need it.
struct AppState {
  int UserLocale = 1033;
  QString DatabasePassword;
  QString ExaminerName;

  int EditMode = kBrowsing;
  bool BulkMode = false;
  bool StopRequested = false;
  bool TransferRequested = false;
  bool NewTestPending = false;
  // A test is running on the PC audiometer; counts as an open edit at exit.
  bool TestRunning = false;

  QString CurrentPatNo;
  int TestIndex = 0;
  int TestCount = 0;

  SchemeChecks schemes;
  // The grid, current-test view, categorisation text and scheme values.
  CategorisationState categorisation;
  Settings settings;
  DetailLists detail_lists;
  // Band colours and age-distribution tables, loaded at start-up.
  chart::ChartFiles chart_files;
  QString ApplicationTitle = QStringLiteral("Sonivera 5.5");
};

}  // namespace sonivera
