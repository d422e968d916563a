#pragma once

#include <QString>
#include <functional>
#include <vector>

#include "base/ErrorLog.h"
#include "base/Prompter.h"
#include "register/EntryFields.h"
#include "vision/VisionEntry.h"
#include "vision/VisionQueries.h"

namespace sonivera {
namespace db {
class Connection;
class Database;
}  // namespace db
}  // namespace sonivera

namespace sonivera::vision {

// The details page's vision answers as the window holds them.
struct VisionAnswerFields {
  YesNo glasses = YesNo::Unanswered;
  YesNo contacts = YesNo::Unanswered;
  YesNo change_in_rx = YesNo::Unanswered;
  YesNo referred = YesNo::Unanswered;
  QString glasses_type = QStringLiteral("Normal");
  QString last_exam = kEmptyDateBox;
  bool operator==(const VisionAnswerFields&) const = default;
};

// The employment particulars of a stored header shown in the details boxes.
void ShowEmployment(const VisionHeader& header, EntryFields& entries);
// The header of the patient's latest vision test when it is later than the
// latest audiogram (or the patient has none): its particulars are the newer.
std::optional<VisionHeader> NewerVisionParticulars(db::Connection& connection,
                                                   const QString& pat_no);

// The only way a vision test is written. Owns the vision window's edit mode,
// the shown patient and test, the details page's texts and the test pages
// (VisionEntry); every save, deletion and renumbering is one transaction.
class VisionEditor {
 public:
  enum class Mode { Browsing, EditingTest, AddingPatient, InsertingTest };
  enum class SaveResult {
    NotEditing,
    Stopped,  // a question sent the operator back to the details page
    Saved,
    Failed,  // refused or failed: nothing written, still editing
  };
  enum class Page { Details, Tests };

  VisionEditor(db::Database& database, Prompter& prompter, ErrorLog log);

  db::Database& Database() { return database_; }
  const ErrorLog& Log() const { return log_; }
  Mode EditMode() const { return mode_; }
  bool Editing() const { return mode_ != Mode::Browsing; }
  const QString& CurrentPatNo() const { return current_pat_no_; }
  // The shown test's position among the patient's tests, newest first.
  int TestIndex() const { return test_index_; }
  int TestCount() const { return int(tests_.size()); }
  // The key of the shown test (empty when the patient has none).
  TestKey ShownTest() const;
  bool ShownTestIsLatest() const { return test_index_ == 0; }
  // The patient's newest vision test (empty when none).
  TestKey LatestTest() const { return tests_.empty() ? TestKey{} : tests_.front(); }

  EntryFields& Details() { return details_; }
  const EntryFields& Details() const { return details_; }
  VisionAnswerFields& Answers() { return answers_; }
  const VisionAnswerFields& Answers() const { return answers_; }
  VisionEntry& Entry() { return entry_; }
  const VisionEntry& Entry() const { return entry_; }

  // A page the window should bring forward; the display changed.
  std::function<void(Page)> on_show_page;
  std::function<void()> on_changed;

  // Browsing: shows the patient's latest vision test from step 0. An unknown
  // number shows nothing.
  void ChoosePatient(const QString& pat_no);
  // Browsing: shows the patient's test at `index` (newest first) on the step on screen.
  bool ScrollToTest(int index);

  bool InsertVision();
  bool AddPatient();
  // The patient number box left while adding: a patient with audiograms
  // only is pointed to the audiogram side.
  void PatientNumberLeft();
  bool Edit();
  // importing: a vision file import fills the working results itself and
  // skips the particulars' questions.
  SaveResult Save(bool importing = false);
  void Cancel();
  bool Delete();
  bool DeletePatient();
  bool ChangePatientNo(const QString& old_no, const QString& new_no);

 private:
  void Reload();
  void LoadDetails();
  bool BuildRecord(VisionRecord& record, const QString& pat_no);
  bool WriteRecord(const VisionRecord& record);
  void ReportFailure(const std::exception& error, const QString& tag);
  void ShowPage(Page page);
  void Changed();

  db::Database& database_;
  Prompter& prompter_;
  ErrorLog log_;
  Mode mode_ = Mode::Browsing;
  QString current_pat_no_;
  std::vector<TestKey> tests_;
  int test_index_ = 0;
  TestKey edited_test_;
  QString stored_last_exam_;
  EntryFields details_;
  VisionAnswerFields answers_;
  VisionEntry entry_;
};

}  // namespace sonivera::vision
