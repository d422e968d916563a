#include "register/RecordEditor.h"

#include "base/AppError.h"
#include "base/DateText.h"
#include "base/ErrorLog.h"
#include "base/Messages.h"
#include "base/Settings.h"
#include "db/Database.h"
#include "register/Recategorise.h"
#include "register/RecordDisplay.h"
#include "register/Register.h"

namespace sonivera {

namespace {
using Buttons = Prompter::Buttons;
using Answer = Prompter::Answer;

}  // namespace

RecordEditor::RecordEditor(EditorContext context, Register* reg)
    : context_(std::move(context)), register_(reg) {
  if (register_ != nullptr) register_->editor_ = this;
}

struct RecordEditor::SaveStatements {
  explicit SaveStatements(db::Connection& connection)
      : handle(connection.Handle()), store(connection), passes(connection) {}
  sqlite3* handle;  // the open file they were prepared on
  AudiogramStore store;
  Recategoriser passes;
};

RecordEditor::~RecordEditor() {
  if (register_ != nullptr) register_->editor_ = nullptr;
}

void RecordEditor::SetBulkMode(bool bulk) {
  bulk_mode_ = bulk;
  if (!bulk) bulk_statements_.reset();
}

RecordEditor::SaveStatements& RecordEditor::StatementsFor(std::unique_ptr<SaveStatements>& own) {
  auto& conn = context_.database.Conn();
  if (!bulk_mode_) {
    own = std::make_unique<SaveStatements>(conn);
    return *own;
  }
  if (!bulk_statements_ || bulk_statements_->handle != conn.Handle()) {
    bulk_statements_.reset();
    bulk_statements_ = std::make_unique<SaveStatements>(conn);
  }
  return *bulk_statements_;
}

Prompter& RecordEditor::Ask() { return context_.reporter.prompter(); }

QString RecordEditor::EditCaption() const { return Editing() ? Msg(1130) : QString(); }

bool RecordEditor::ConfirmRegisterPage() {
  if (!Editing()) return true;
  if (Ask().Show(Msg(1006), Msg(1007), Buttons::YesNo, Answer::Yes) != Answer::Yes) {
    return false;
  }
  return Save() == SaveResult::Saved;
}

bool RecordEditor::QuestionsEnabled() const { return Editing(); }

void RecordEditor::ShowPage(MainPage page) {
  if (!bulk_mode_ && listener_ != nullptr) listener_->ShowPage(page);
}

void RecordEditor::Redraw() {
  if (listener_ != nullptr) listener_->Redraw();
}

void RecordEditor::ReportFailure(const std::exception& error, const QString& tag) {
  const auto failure = db::DescribeFailure(error);
  refusal_ = StandardErrorText(failure.description, failure.number, tag);
  context_.reporter.ShowAndLog(refusal_);
}

void RecordEditor::Refuse(const QString& text, const QString& title) {
  refusal_ = text;
  Ask().Show(text, title, Buttons::Ok);
}

void RecordEditor::EnterEdit(EditMode mode) {
  mode_ = mode;
  context_.chart.PredictiveLineAllowed = false;
}

void RecordEditor::LeaveEdit() {
  mode_ = EditMode::Browsing;
  context_.chart.PredictiveLineAllowed = true;
  entries_ = EntryFields();
}

bool RecordEditor::AddPatient() {
  if (Editing()) return false;
  ShowPage(MainPage::Details);
  entries_ = EntryFields();
  EnterEdit(EditMode::AddingPatient);
  if (register_ != nullptr) register_->ShowNewTest(true);
  context_.categorise.state.grid.Clear();
  entries_.Details[kComboExaminer] = context_.examiner;
  edited_pat_no_.clear();
  edited_test_ = {};
  Redraw();
  return true;
}

bool RecordEditor::InsertAudiogram(const QString& pat_no, Carry carry) {
  if (Editing()) return false;
  try {
    auto& conn = context_.database.Conn();
    EntryFields fields;
    if (!LoadPatientEntries(conn, pat_no, fields)) return false;
    // The employment details carry over from the latest test; the test's
    // own fields start empty. A caller that fills every box leaves the
    // latest test unread.
    const auto latest =
        carry == Carry::FromLatestTest ? LatestTestKey(conn, pat_no) : std::nullopt;
    if (latest) LoadTestHeader(conn, pat_no, *latest, fields);
    fields.ClearTestFields();
    // Date Joined and Date Left are cleared with the other date boxes; the
    // length of service computed from them goes with them.
    fields.ServiceLength.clear();
    if (carry == Carry::FromLatestTest) fields.Address = LatestAddress(conn, pat_no);
    if (latest) fields.Previous = LoadThresholds(conn, pat_no, *latest);
    fields.Details[kComboExaminer] = context_.examiner;
    entries_ = fields;
    edited_pat_no_ = fields.PatNo;
    edited_test_ = {};
    // The previous test's thresholds fill the grid's "before" rows.
    auto& grid = context_.categorise.state.grid;
    grid.Clear();
    for (int i = 0; i < kThresholdBoxCount; ++i) {
      const auto& box = ThresholdBoxAt(i);
      grid.SetCell(box.grid_row + 1, box.grid_column, entries_.Previous[i]);
    }
  } catch (const std::exception& e) {
    ReportFailure(e, ErrorTag(QStringLiteral("mnuinsertresults")));
    return false;
  }
  EnterEdit(EditMode::InsertingTest);
  if (register_ != nullptr) register_->ShowNewTest(false);
  Redraw();
  return true;
}

bool RecordEditor::EditRecord(const QString& pat_no, int test_index) {
  if (Editing()) return false;
  try {
    auto& conn = context_.database.Conn();
    const auto tests = PatientTestKeys(conn, pat_no);
    if (test_index < 0 || test_index >= static_cast<int>(tests.size())) return false;
    const RecordView view = LoadRecordView(conn, pat_no, test_index);
    entries_ = view.entries;
    edited_pat_no_ = view.entries.PatNo;
    edited_test_ = tests[test_index];
  } catch (const std::exception& e) {
    ReportFailure(e, ErrorTag(QStringLiteral("domnueditrecord")));
    return false;
  }
  EnterEdit(EditMode::Editing);
  return true;
}

void RecordEditor::ThresholdChanged(int item, const QString& typed) {
  if (item < 0 || item >= kThresholdBoxCount) return;
  const auto result = ApplyThresholdEntry(typed.left(kThresholdBoxLimit));
  entries_.Thresholds[item] = result.box_text;
  if (!result.grid_changed) return;
  const auto& box = ThresholdBoxAt(item);
  context_.categorise.state.grid.SetCell(box.grid_row, box.grid_column, result.grid_value);
  if (listener_ != nullptr) listener_->GridChanged(box.grid_row, box.grid_column);
}

bool RecordEditor::ComputeServiceLength() {
  const auto joined = ParseDateBox(entries_.Dates[kBoxDateJoined]);
  if (!joined || !joined->isValid()) return true;  // nothing to compute from
  const auto left = ParseDateBox(entries_.Dates[kBoxDateLeft]);
  QDate end;
  if (left && left->isValid()) {
    if (*left < *joined) {
      Refuse(Msg(1048), Msg(958));
      return false;
    }
    end = *left;
  } else {
    // Still employed: service up to the test.
    const auto tested = ParseDateBox(entries_.Dates[kBoxDateofTest]);
    end = tested && tested->isValid() ? *tested : QDate::currentDate();
  }
  entries_.ServiceLength = ServiceLengthTextFor(std::max(0, ServiceMonths(*joined, end)));
  return true;
}

RecordEditor::SaveResult RecordEditor::Save() {
  if (!Editing()) return SaveResult::NotEditing;
  refusal_.clear();
  auto& ask = Ask();
  if (!bulk_mode_) {
    if (WantsToFillParticulars(ask, IsEmptyBox(entries_.DOB),
                               !entries_.OptionMale && !entries_.OptionFemale)) {
      ShowPage(MainPage::Details);
      return SaveResult::Stopped;
    }
    if (entries_.AllThresholdsEmpty() &&
        ask.Show(Msg(999), Msg(1000), Buttons::YesNo, Answer::Yes) == Answer::No) {
      return SaveResult::Stopped;
    }
  }
  if (entries_.PatNo.trimmed().isEmpty()) {
    Refuse(Msg(1001), Msg(974));
    return SaveResult::Failed;
  }
  const EditMode mode = mode_;
  // Adding takes the typed number; inserting and editing keep the patient's.
  const QString pat_no =
      mode == EditMode::AddingPatient ? entries_.PatNo.trimmed() : edited_pat_no_;
  if (mode == EditMode::AddingPatient) {
    bool exists = false;
    try {
      exists = AudiogramStore(context_.database.Conn()).PatientExists(pat_no);
    } catch (const std::exception& e) {
      ReportFailure(e, ErrorTag(QStringLiteral("mnupost")));
      return SaveResult::Failed;
    }
    if (exists) {
      Refuse(Msg(1002), Msg(1003));
      entries_.PatNo.clear();
      return SaveResult::NumberTaken;
    }
  }
  if (!ComputeServiceLength()) return SaveResult::Failed;
  const SaveResult result = SaveRecord(pat_no, mode);
  if (result != SaveResult::Saved) return result;

  new_test_pending_ = false;
  LeaveEdit();
  // A bulk run rebuilds the register once at its end.
  if (!bulk_mode_ && register_ != nullptr) {
    ShowPage(MainPage::Register);
    register_->ClearFilter();  // clears the filter and sort, rebuilds the register
    if (!pat_no.isEmpty()) register_->MoveToPatient(pat_no);
  }
  Redraw();
  return SaveResult::Saved;
}

bool RecordEditor::BuildRecord(const QString& pat_no, AudiogramRecord& r) {
  auto date_error = [&](int message) {
    Refuse(Msg(message), Msg(958));
    return false;
  };
  const auto& e = entries_;
  r.patient.PatNo = pat_no;
  r.patient.Surname = e.Surname;
  r.patient.Forenames = e.Forenames;
  r.patient.Sex = e.SexText();
  if (!StoredDateOf(e.DOB, r.patient.DOB)) return date_error(1029);
  // The test key: a test needs its date; a time left empty is taken as midnight.
  const auto date = ParseDateBox(e.Dates[kBoxDateofTest]);
  if (!date || !date->isValid()) return date_error(1014);
  const auto time = ParseTimeBox(e.Dates[kBoxTimeofTest]);
  if (time && !time->isValid()) return date_error(1013);
  r.key = {StoredDateText(*date), StoredTimeText(time ? *time : QTime(0, 0))};
  if (const int refused = FillSharedHeader(e, r)) return date_error(refused);
  if (!r.DateJoined.isNull()) {
    const QDate joined = DateFromStored(r.DateJoined);
    const QDate end = r.DateLeft.isNull() ? *date : DateFromStored(r.DateLeft);
    r.LengthofService = std::max(0, ServiceMonths(joined, end));
  }
  for (int i = 0; i < kThresholdBoxCount; ++i) {
    const auto& box = ThresholdBoxAt(i);
    auto& ear = box.left ? r.left : r.right;
    for (int f = 0; f < kThresholdFieldCount; ++f) {
      if (QLatin1String(kThresholdFields[f]) == QLatin1String(box.field))
        ear[f] = e.Thresholds[i].trimmed();
    }
  }
  r.address = e.Address;
  r.codes = e.QuestionCodes;
  r.texts = e.AnswerTexts;
  return true;
}

RecordEditor::SaveResult RecordEditor::SaveRecord(const QString& pat_no, EditMode mode) {
  AudiogramRecord record;
  if (!BuildRecord(pat_no, record)) return SaveResult::Failed;
  NewestTest newest;
  try {
    db::Transaction transaction(context_.database.Conn());
    std::unique_ptr<SaveStatements> own;
    SaveStatements& statements = StatementsFor(own);
    if (!statements.store.Write(mode, record, edited_test_)) {
      const QString text = Msg(1401) + u' ' + record.patient.PatNo + Msg(1402) +
                           DateBoxText(record.key.date) + u' ' + record.key.time;
      if (bulk_mode_) {
        refusal_ = text;  // a bulk run reports it in its own words
        return SaveResult::Duplicate;
      }
      Refuse(text, Msg(974));
      return SaveResult::Duplicate;
    }
    // Linking and categorising belong to the same save: the file never
    // holds a test with stale links.
    statements.passes.RelinkAsUnit(context_.reporter, record.patient.PatNo);
    CategoriseEnv env = context_.categorise;
    env.bulk_mode = bulk_mode_;
    // A new test changes only its own categorisation and that of the test
    // after it; an edit may move a test, so every test is done again.
    std::optional<AddedTest> added;
    if (mode != EditMode::Editing) added = AddedTest{record.key.date, record.key.time};
    newest = statements.passes.PatientAsUnit(env, record.patient.PatNo, added);
    transaction.Commit();
  } catch (const db::SqliteError& e) {
    const long number = db::ErrorNumberFor(e);
    if (number == errnum::kFieldTooLong) {
      Refuse(Msg(1027), Msg(974));
    } else {
      ReportFailure(e, ErrorTag(QStringLiteral("saverecord")));
    }
    return SaveResult::Failed;
  } catch (const std::exception& e) {
    ReportFailure(e, ErrorTag(QStringLiteral("saverecord")));
    return SaveResult::Failed;
  }
  if (new_test_pending_) AskRecall(newest);
  return SaveResult::Saved;
}

void RecordEditor::AskRecall(const NewestTest& newest) {
  if (!newest.found) return;
  if (context_.categorise.checks.CheckSTS && newest.one_month_recall_due) {
    Ask().Show(QStringLiteral("This is a 1 month recall test, so please compare with "
                              "the original test."),
               QStringLiteral("Onr Month Recall"), Buttons::Ok);
  }
  const auto recall = Ask().RecallDate(newest.categorisation, context_.categorise.lcid);
  if (!recall) return;
  try {
    auto& conn = context_.database.Conn();
    db::Transaction transaction(conn);
    AudiogramStore(conn).SetRecallDate(newest.rowid, StoredDateText(*recall));
    transaction.Commit();
  } catch (const std::exception& e) {
    ReportFailure(e, ErrorTag(QStringLiteral("saverecord")));
  }
}

void RecordEditor::Cancel() {
  if (!Editing()) return;
  new_test_pending_ = false;
  LeaveEdit();
  Redraw();
}

void RecordEditor::Rebuild(const QString& pat_no) {
  if (register_ == nullptr) return;
  register_->BuildRegister();
  if (pat_no.isEmpty() || !register_->MoveToPatient(pat_no)) register_->GoToChosenRecord(0);
}

bool RecordEditor::DeleteTest(const QString& pat_no, int test_index) {
  if (Editing()) return false;
  try {
    auto& conn = context_.database.Conn();
    const auto tests = PatientTestKeys(conn, pat_no);
    if (test_index < 0 || test_index >= static_cast<int>(tests.size())) return false;
    const TestKey key = tests[test_index];
    const QString question = Msg(993) + pat_no + u' ' + Msg(1021) + u' ' + DateBoxText(key.date) +
                             u' ' + key.time + QStringLiteral(" ?");
    if (Ask().Show(question, Msg(994), Buttons::YesNo, Answer::No) != Answer::Yes) {
      return false;
    }
    db::Transaction transaction(conn);
    AudiogramStore store(conn);
    if (!store.DeleteTest(pat_no, key)) {
      RelinkPreviousTests(context_.database, context_.reporter, pat_no);
      CategoriseEnv env = context_.categorise;
      env.bulk_mode = bulk_mode_;
      RecategorisePatient(context_.database, env, pat_no);
    }
    transaction.Commit();
  } catch (const std::exception& e) {
    ReportFailure(e, ErrorTag(QStringLiteral("formmain:mnuDelete")));
    return false;
  }
  Rebuild(pat_no);
  Redraw();
  return true;
}

bool RecordEditor::DeletePatient(const QString& pat_no) {
  if (Editing()) return false;
  if (Ask().Show(Msg(1093) + pat_no + Msg(1094), QStringLiteral("Delete Whole Patient"),
                 Buttons::YesNo, Answer::No) != Answer::Yes) {
    return false;
  }
  bool removed = false;
  try {
    auto& conn = context_.database.Conn();
    db::Transaction transaction(conn);
    removed = AudiogramStore(conn).DeletePatient(pat_no);
    transaction.Commit();
  } catch (const std::exception& e) {
    ReportFailure(e, ErrorTag(QStringLiteral("formmain:mnuDeletePatient")));
    return false;
  }
  if (!removed) {
    Ask().Show(QStringLiteral("Vision Tests exist for this Patient. These will not be deleted"),
               QStringLiteral("Delete Patient"), Buttons::Ok);
  }
  Rebuild(QString());
  Redraw();
  return true;
}

bool RenumberPatient(db::Connection& connection, ErrorReporter& reporter, const QString& old_no,
                     const QString& new_no) {
  auto& ask = reporter.prompter();
  const QString number = new_no.trimmed();
  if (number.isEmpty()) {
    ask.Show(Msg(971), Msg(972), Buttons::Ok);
    return false;
  }
  bool changed = false;
  try {
    db::Transaction transaction(connection);
    changed = AudiogramStore(connection).ChangePatientNo(old_no, number);
    if (changed) transaction.Commit();
  } catch (const std::exception& e) {
    const auto failure = db::DescribeFailure(e);
    reporter.ShowAndLog(StandardErrorText(failure.description, failure.number,
                                          ErrorTag(QStringLiteral("changepatientno"))));
    return false;
  }
  if (!changed) ask.Show(Msg(1032), Msg(1033), Buttons::Ok);
  return changed;
}

bool RecordEditor::ChangePatientNo(const QString& old_no, const QString& new_no) {
  if (Editing() ||
      !RenumberPatient(context_.database.Conn(), context_.reporter, old_no, new_no)) {
    return false;
  }
  Rebuild(new_no.trimmed());
  Redraw();
  return true;
}

}  // namespace sonivera
