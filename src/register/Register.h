#pragma once

#include <QString>
#include <array>
#include <functional>
#include <memory>
#include <optional>

#include "register/RegisterModel.h"
#include "register/RegisterQuery.h"

namespace sonivera {

class ErrorReporter;
class RecordEditor;
namespace db {
class Database;
class Statement;
}  // namespace db

// Where the register stands: the chosen patient (CurrentPatNo) and its test
// on show (TestIndex, 0 = latest, of TestCount). The register is its one
// writer; everyone else reads it.
struct RegisterCursor {
  // Before the register first moves, the patient numbered "1".
  QString PatNo = QStringLiteral("1");
  int TestIndex = 0;
  int TestCount = 0;
};

// The register of the main window and where it stands: the query in force
// (RegisterQuery, FilterWhere, FilterOn, SortDescription), the current row
// and the cursor. The grid shows Model(); the window and the record editor
// drive the commands here.
class Register {
 public:
  Register(db::Database& database, ErrorReporter& reporter, int lcid);
  ~Register();

  RegisterModel& Model() { return *model_; }
  const RegisterCursor& Cursor() const { return cursor_; }
  int CurrentRow() const { return current_row_; }
  bool FilterOn() const { return filter_on_; }
  const FilterCondition& FilterWhere() const { return filter_; }
  const QString& SortDescription() const { return sort_description_; }
  // The filter's criteria and the sort in force, for the windows to reopen on.
  const FilterCriteria& CriteriaInForce() const { return criteria_; }
  SortField SortInForce() const { return sort_; }

  // BuildRegister: the unfiltered register (not during a bulk run), sort cleared.
  void BuildRegister();
  // UpdateStatusBar: "Patients: ", "Records: ", "Filter: On/Off", "Sorted: ".
  std::array<QString, 4> StatusTexts();
  // UpdateTitleBar: "Sonivera 5.5" and the current row's patient part; makes
  // that row's patient CurrentPatNo.
  QString TitleText();

  // GoToChosenRecord: the row becomes the current one, its patient the
  // chosen one and its test the shown one. False for a row that is not there.
  bool GoToChosenRecord(int row);
  // The toolbar's "down" and "up"; refused while editing.
  bool MoveDown();
  bool MoveUp();
  // Moves the register to the first row of the patient (after a save).
  bool MoveToPatient(const QString& pat_no);
  // Moving between the chosen patient's tests (0 = latest); refused while
  // editing or outside 0 .. TestCount - 1.
  bool ShowTest(int test_index);
  // The editor began a new test: it is the latest, and a new patient's only one.
  void ShowNewTest(bool new_patient);

  // Sort: None leaves the register as it is.
  void ApplySort(SortField field);
  // Filter: false (with the message shown) when a box cannot be used; empty
  // criteria clear the filter.
  bool ApplyFilter(const FilterCriteria& criteria);
  void ClearFilter();
  // "Current Record": the criteria boxes filled from the current row.
  FilterCriteria CurrentRecordCriteria();

  // Find: prefix match on the text fields, the exact date on Last Test. The
  // first search starts at the top, later ones after the current row. Moves
  // the register to the row found; shows message 989 when there is none.
  enum class FindField { PatNo, Surname, Forenames, PositionRank, DeptUnit, Company, LastTest };
  bool Find(FindField field, const QString& text, bool first);

 private:
  friend class RecordEditor;
  // Moves are refused while the attached editor edits.
  bool Editing() const;
  bool AddingPatient() const;
  void Report(const std::exception& error, const QString& procedure);
  void SetQuery(const SqlQuery& query);
  // Places the patient's row of the unfiltered register by its latest test.
  std::optional<int> PlacePatient(const QString& pat_no);
  // The first row from start on whose values match.
  std::optional<int> FindRow(const std::function<bool(const db::Statement&)>& matches, int start,
                             bool numbers_only = false);

  db::Database& database_;
  ErrorReporter& reporter_;
  int lcid_;
  // The record editor working on this register, set by the editor itself.
  RecordEditor* editor_ = nullptr;
  RegisterCursor cursor_;
  std::unique_ptr<RegisterModel> model_;
  int current_row_ = -1;
  bool filter_on_ = false;
  FilterCondition filter_;
  FilterCriteria criteria_;
  SortField sort_ = SortField::None;
  bool default_register_ = false;  // the unfiltered, unsorted register is shown
  QString sort_description_;
};

}  // namespace sonivera
