#pragma once

#include <QString>
#include <functional>

#include "register/AudiogramStore.h"
#include "register/EntryFields.h"

namespace sonivera {

class Application;
class Register;

// The only way a patient or an audiogram is written. Owns EditMode (in
// AppState) and the main window's edit commands; the window, the file
// import, the audiometer imports and the companion program all fill
// Entries() and call the same commands, so every audiogram is checked and
// categorised alike. Every question goes through the application's Prompter.
class RecordEditor {
 public:
  // The pages of the main window a command brings to the front.
  enum Page { kRegisterPage = 1, kDetailsPage = 2, kAudiogramsPage = 3, kQuestionnairePage = 4 };
  enum class PostResult {
    NotEditing,  // nothing to save
    Stopped,     // a check or a question ended the save; still editing
    Saved,
    Failed,  // the save was refused or failed; nothing stored, still editing
  };

  // reg may be null (no register to rebuild, e.g. the command line).
  RecordEditor(Application& app, Register* reg);

  EntryFields& Entries() { return entries_; }
  const EntryFields& Entries() const { return entries_; }
  // The key of the test being edited (EditMode 1).
  const TestKey& EditedTest() const { return edited_test_; }

  // The window's hooks: a page to bring to the front; a threshold copied into
  // the audiogram grid (row 0 left or 2 right, column), whose ear's chart must
  // be redrawn; the shown record to redraw after a command.
  std::function<void(Page)> on_show_page;
  std::function<void(int row, int column)> on_grid_changed;
  std::function<void()> on_redraw;

  bool mnuAddPatient();
  // What a new audiogram starts from: the employment details, address and
  // previous thresholds of the latest test, or nothing (an import line
  // holds every box).
  enum class Carry { FromLatestTest, Nothing };
  bool mnuInsertResults(Carry carry = Carry::FromLatestTest);
  bool mnuEditRecord();
  // The threshold entry rule, after the user changed box `item` to `typed`.
  void ThresholdChanged(int item, const QString& typed);
  PostResult mnuPost();
  void mnuCancel();
  bool mnuDelete();
  bool mnuDeletePatient();
  bool ChangePatientNo(const QString& old_no, const QString& new_no);

  // Choosing the register page while editing asks whether to save first
  // (message 1006): Yes saves, No stays on the page. True when the register
  // page may be shown.
  bool ConfirmRegisterPage();

  // While editing: the details frame's caption (message 1130) and the
  // "Questions" button.
  QString EditCaption() const;
  bool QuestionsEnabled() const;

  // The message with which the last mnuPost refused the save ("" after a save).
  const QString& Refusal() const { return refusal_; }

 private:
  bool SaveRecord(int mode);
  // Validates the boxes into a record; false after showing the message.
  bool BuildRecord(AudiogramRecord& record);
  bool ComputeServiceLength();
  void EnterEdit(int mode);
  void LeaveEdit();
  void ShowPage(Page page);
  void Rebuild(const QString& pat_no);
  void ReportFailure(const std::exception& error, const QString& tag);
  // Shows why the save is refused (an OK box) and keeps the text for Refusal().
  void Refuse(const QString& text, const QString& title);

  Application& app_;
  Register* register_;
  EntryFields entries_;
  QString refusal_;
  TestKey edited_test_;
  QString edited_pat_no_;
};

}  // namespace sonivera
