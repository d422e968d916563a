#pragma once

#include <QString>
#include <memory>

#include "categorise/Categorise.h"
#include "register/AudiogramStore.h"
#include "register/EditMode.h"
#include "register/EntryFields.h"

namespace sonivera {

namespace db {
class Connection;
class Database;
}
struct ChartOptions;
struct NewestTest;
class Register;

// Change Patient Number, for the audiogram and the vision windows: a blank
// number (971) and a number in use (1032) are told, a database failure is
// reported. True when every row of the patient moved to the new number.
bool RenumberPatient(db::Connection& connection, ErrorReporter& reporter, const QString& old_no,
                     const QString& new_no);

// What the record editor works with besides its own state.
struct EditorContext {
  db::Database& database;
  ErrorReporter& reporter;
  // The predictive line is off while an edit is open.
  ChartOptions& chart;
  // What a save's recategorisation reads and leaves; its bulk_mode is the editor's.
  CategoriseEnv categorise;
  // The examiner who logged in: a new test's examiner.
  QString examiner;
};

// What the main window shows of the editor's work.
class RecordEditorListener {
 public:
  virtual ~RecordEditorListener() = default;
  // A command brings a page to the front (never during a bulk run).
  virtual void ShowPage(MainPage page) = 0;
  // A threshold was copied into the audiogram grid (row 0 left or 2 right);
  // that ear's chart must be redrawn.
  virtual void GridChanged(int row, int column) = 0;
  // The shown record must be redrawn after a command.
  virtual void Redraw() = 0;
};

// The only way a patient or an audiogram is written. Owns the edit mode and
// the main window's edit commands; the window, the file imports, the
// audiometer imports and the companion program all fill Entries() and call
// the same commands, so every audiogram is checked and categorised alike.
// Every question goes through the context's Prompter.
class RecordEditor {
 public:
  enum class SaveResult {
    NotEditing,  // nothing to save
    Stopped,     // a check or a question ended the save; still editing
    Saved,
    Failed,  // the save was refused or failed; nothing stored, still editing
    // The patient number to add is taken; nothing stored, the number box emptied.
    NumberTaken,
    // The patient has a test at that date and time already; nothing stored,
    // still editing. Outside a bulk run the save has said so (message 1401);
    // in a bulk run the caller reports it in its own words.
    Duplicate,
  };

  // reg may be null (no register to move, e.g. the command line); the editor
  // attaches itself to it.
  RecordEditor(EditorContext context, Register* reg);
  ~RecordEditor();
  RecordEditor(const RecordEditor&) = delete;
  RecordEditor& operator=(const RecordEditor&) = delete;

  void SetListener(RecordEditorListener* listener) { listener_ = listener; }

  EditMode Mode() const { return mode_; }
  bool Editing() const { return mode_ != EditMode::Browsing; }
  // A bulk run (an import, a renumbering) saves without questions, pages or
  // register moves; BulkRun sets it for its lifetime.
  bool BulkMode() const { return bulk_mode_; }
  void SetBulkMode(bool bulk);
  // A test that arrived from an audiometer waits to be saved: its save asks
  // for the recall date once stored.
  bool NewTestPending() const { return new_test_pending_; }
  void SetNewTestPending(bool pending) { new_test_pending_ = pending; }

  EntryFields& Entries() { return entries_; }
  const EntryFields& Entries() const { return entries_; }
  // The key of the test being edited (EditMode::Editing).
  const TestKey& EditedTest() const { return edited_test_; }

  bool AddPatient();
  // What a new audiogram starts from: the employment details, address and
  // previous thresholds of the latest test, or nothing (an import line
  // holds every box).
  enum class Carry { FromLatestTest, Nothing };
  // A new audiogram for the patient.
  bool InsertAudiogram(const QString& pat_no, Carry carry = Carry::FromLatestTest);
  // Opens the patient's test at test_index (0 = latest) for editing.
  bool EditRecord(const QString& pat_no, int test_index);
  // The threshold entry rule, after the user changed box `item` to `typed`.
  void ThresholdChanged(int item, const QString& typed);
  SaveResult Save();
  void Cancel();
  bool DeleteTest(const QString& pat_no, int test_index);
  bool DeletePatient(const QString& pat_no);
  bool ChangePatientNo(const QString& old_no, const QString& new_no);

  // Choosing the register page while editing asks whether to save first
  // (message 1006): Yes saves, No stays on the page. True when the register
  // page may be shown.
  bool ConfirmRegisterPage();

  // While editing: the details frame's caption (message 1130) and the
  // "Questions" button.
  QString EditCaption() const;
  bool QuestionsEnabled() const;

  // The message with which the last Save refused the save ("" after a save).
  const QString& Refusal() const { return refusal_; }

  // Tells the listener the shown record must be redrawn (after the boxes were
  // filled from outside, e.g. a test from the companion program).
  void Redraw();

 private:
  friend class Register;
  Prompter& Ask();
  SaveResult SaveRecord(const QString& pat_no, EditMode mode);
  // The statements of a save. A bulk run keeps one set for all its lines;
  // otherwise each save has its own (`own`).
  struct SaveStatements;
  SaveStatements& StatementsFor(std::unique_ptr<SaveStatements>& own);
  // After the save's commit: the one-month notice and the recall date of a
  // test that arrived from an audiometer, stored in a transaction of its own.
  void AskRecall(const NewestTest& newest);
  // Validates the boxes into a record; false after showing the message.
  bool BuildRecord(const QString& pat_no, AudiogramRecord& record);
  bool ComputeServiceLength();
  void EnterEdit(EditMode mode);
  void LeaveEdit();
  void ShowPage(MainPage page);
  void Rebuild(const QString& pat_no);
  void ReportFailure(const std::exception& error, const QString& tag);
  // Shows why the save is refused (an OK box) and keeps the text for Refusal().
  void Refuse(const QString& text, const QString& title);

  EditorContext context_;
  Register* register_;
  RecordEditorListener* listener_ = nullptr;
  EditMode mode_ = EditMode::Browsing;
  bool bulk_mode_ = false;
  std::unique_ptr<SaveStatements> bulk_statements_;
  bool new_test_pending_ = false;
  EntryFields entries_;
  QString refusal_;
  TestKey edited_test_;
  QString edited_pat_no_;
};

}  // namespace sonivera
