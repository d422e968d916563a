#include "register/RecordEditor.h"

#include "base/AppError.h"
#include "app/Application.h"
#include "base/Messages.h"
#include "categorise/Recategorise.h"
#include "db/Database.h"
#include "register/RecordDisplay.h"
#include "register/Register.h"

namespace sonivera {

namespace {
using Buttons = Prompter::Buttons;
using Answer = Prompter::Answer;

// A date box in stored form; false when it holds something that is no date.
bool StoredDateOf(const QString& box, QString& stored) {
  const auto date = ParseDateBox(box);
  if (!date) {
    stored = QString();
    return true;
  }
  if (!date->isValid()) return false;
  stored = StoredDate(*date);
  return true;
}
}  // namespace

RecordEditor::RecordEditor(Application& app, Register* reg) : app_(app), register_(reg) {}

QString RecordEditor::EditCaption() const {
  return app_.State().EditMode != kBrowsing ? Msg(1130) : QString();
}

bool RecordEditor::ConfirmRegisterPage() {
  if (app_.State().EditMode == kBrowsing) return true;
  if (app_.Ask().Show(Msg(1006), Msg(1007), Buttons::YesNo, Answer::Yes) != Answer::Yes) {
    return false;
  }
  return mnuPost() == PostResult::Saved;
}

bool RecordEditor::QuestionsEnabled() const { return app_.State().EditMode != kBrowsing; }

void RecordEditor::ShowPage(Page page) {
  if (!app_.State().BulkMode && on_show_page) on_show_page(page);
}

void RecordEditor::ReportFailure(const std::exception& error, const QString& tag) {
  const auto failure = db::DescribeFailure(error);
  refusal_ = StandardErrorText(failure.description, failure.number, tag);
  app_.Reporter().ShowAndLog(refusal_);
}

void RecordEditor::Refuse(const QString& text, const QString& title) {
  refusal_ = text;
  app_.Ask().Show(text, title, Buttons::Ok);
}

void RecordEditor::EnterEdit(int mode) {
  app_.State().EditMode = mode;
  app_.Config().chart.PredictiveLineAllowed = false;
}

void RecordEditor::LeaveEdit() {
  app_.State().EditMode = kBrowsing;
  app_.Config().chart.PredictiveLineAllowed = true;
  entries_ = EntryFields();
}

bool RecordEditor::mnuAddPatient() {
  auto& state = app_.State();
  if (state.EditMode != kBrowsing) return false;
  ShowPage(kDetailsPage);
  entries_ = EntryFields();
  EnterEdit(kAddingPatient);
  state.TestIndex = 0;
  state.TestCount = 1;
  state.categorisation.grid.Clear();
  entries_.ComboDetails[kComboExaminer] = state.ExaminerName;
  edited_pat_no_.clear();
  edited_test_ = {};
  if (on_redraw) on_redraw();
  return true;
}

bool RecordEditor::mnuInsertResults(Carry carry) {
  auto& state = app_.State();
  if (state.EditMode != kBrowsing) return false;
  try {
    auto& conn = app_.Db().Conn();
    EntryFields fields;
    if (!LoadPatientEntries(conn, state.CurrentPatNo, fields)) return false;
    // The employment details carry over from the latest test; the test's
    // own fields start empty. A caller that fills every box leaves the
    // latest test unread.
    const auto tests = carry == Carry::FromLatestTest ? PatientTests(conn, state.CurrentPatNo)
                                                      : std::vector<TestKey>{};
    if (!tests.empty()) LoadTestEntries(conn, state.CurrentPatNo, tests.front(), fields);
    fields.ClearTestFields();
    // Date Joined and Date Left are cleared with the other date boxes; the
    // length of service computed from them goes with them.
    fields.ServiceLength.clear();
    if (carry == Carry::FromLatestTest) fields.Address = LatestAddress(conn, state.CurrentPatNo);
    if (!tests.empty()) fields.Previous = LoadThresholds(conn, state.CurrentPatNo, tests.front());
    fields.ComboDetails[kComboExaminer] = state.ExaminerName;
    entries_ = fields;
    edited_pat_no_ = fields.TextField0;
    edited_test_ = {};
    // The previous test's thresholds fill the grid's "before" rows.
    auto& grid = state.categorisation.grid;
    grid.Clear();
    for (int i = 0; i < kThresholdBoxCount; ++i) {
      const auto& box = ThresholdBoxAt(i);
      grid.SetCell(box.grid_row + 1, box.grid_column, entries_.Previous[i]);
    }
  } catch (const std::exception& e) {
    ReportFailure(e, ErrorTag(QStringLiteral("mnuinsertresults")));
    return false;
  }
  EnterEdit(kInsertingTest);
  state.TestIndex = 0;
  if (on_redraw) on_redraw();
  return true;
}

bool RecordEditor::mnuEditRecord() {
  auto& state = app_.State();
  if (state.EditMode != kBrowsing) return false;
  try {
    auto& conn = app_.Db().Conn();
    const auto tests = PatientTests(conn, state.CurrentPatNo);
    if (state.TestIndex < 0 || state.TestIndex >= static_cast<int>(tests.size())) return false;
    const RecordView view = LoadRecordView(conn, state.CurrentPatNo, state.TestIndex);
    entries_ = view.entries;
    edited_pat_no_ = view.entries.TextField0;
    edited_test_ = tests[state.TestIndex];
  } catch (const std::exception& e) {
    ReportFailure(e, ErrorTag(QStringLiteral("domnueditrecord")));
    return false;
  }
  EnterEdit(kEditing);
  return true;
}

void RecordEditor::ThresholdChanged(int item, const QString& typed) {
  if (item < 0 || item >= kThresholdBoxCount) return;
  const auto result = ApplyThresholdEntry(typed.left(kThresholdBoxLimit));
  entries_.Text1[item] = result.box_text;
  if (!result.grid_changed) return;
  const auto& box = ThresholdBoxAt(item);
  app_.State().categorisation.grid.SetCell(box.grid_row, box.grid_column, result.grid_value);
  if (on_grid_changed) on_grid_changed(box.grid_row, box.grid_column);
}

bool RecordEditor::ComputeServiceLength() {
  const auto joined = ParseDateBox(entries_.MBoxDate[kBoxDateJoined]);
  if (!joined || !joined->isValid()) return true;  // nothing to compute from
  const auto left = ParseDateBox(entries_.MBoxDate[kBoxDateLeft]);
  QDate end;
  if (left && left->isValid()) {
    if (*left < *joined) {
      Refuse(Msg(1048), Msg(958));
      return false;
    }
    end = *left;
  } else {
    // Still employed: service up to the test.
    const auto tested = ParseDateBox(entries_.MBoxDate[kBoxDateofTest]);
    end = tested && tested->isValid() ? *tested : QDate::currentDate();
  }
  entries_.ServiceLength = ServiceLengthTextFor(std::max(0, ServiceMonths(*joined, end)));
  return true;
}

RecordEditor::PostResult RecordEditor::mnuPost() {
  auto& state = app_.State();
  if (state.EditMode == kBrowsing) return PostResult::NotEditing;
  refusal_.clear();
  auto& ask = app_.Ask();
  if (!state.BulkMode) {
    if (IsEmptyBox(entries_.MBoxDOB) &&
        ask.Show(Msg(1600), Msg(1601), Buttons::YesNo, Answer::Yes) == Answer::Yes) {
      ShowPage(kDetailsPage);
      return PostResult::Stopped;
    }
    if (!entries_.OptionMale && !entries_.OptionFemale &&
        ask.Show(Msg(1602), Msg(1601), Buttons::YesNo, Answer::Yes) == Answer::Yes) {
      ShowPage(kDetailsPage);
      return PostResult::Stopped;
    }
    if (entries_.AllThresholdsEmpty() &&
        ask.Show(Msg(999), Msg(1000), Buttons::YesNo, Answer::Yes) == Answer::No) {
      return PostResult::Stopped;
    }
  }
  if (entries_.TextField0.trimmed().isEmpty()) {
    Refuse(Msg(1001), Msg(974));
    return PostResult::Failed;
  }
  const int mode = state.EditMode;
  // Adding takes the typed number; inserting and editing keep the patient's.
  state.CurrentPatNo = mode == kAddingPatient ? entries_.TextField0.trimmed() : edited_pat_no_;
  if (mode == kAddingPatient) {
    bool exists = false;
    try {
      exists = AudiogramStore(app_.Db().Conn()).PatientExists(state.CurrentPatNo);
    } catch (const std::exception& e) {
      ReportFailure(e, ErrorTag(QStringLiteral("mnupost")));
      return PostResult::Failed;
    }
    if (exists) {
      Refuse(Msg(1002), Msg(1003));
      entries_.TextField0.clear();
      return PostResult::Failed;
    }
  }
  if (!ComputeServiceLength()) return PostResult::Failed;
  if (!SaveRecord(mode)) return PostResult::Failed;

  const QString saved = state.CurrentPatNo;
  state.NewTestPending = false;
  LeaveEdit();
  // A bulk run rebuilds the register once at its end.
  if (!state.BulkMode && register_ != nullptr) {
    ShowPage(kRegisterPage);
    register_->ClearFilter();  // clears the filter and sort, rebuilds the register
    if (!saved.isEmpty()) register_->MoveToPatient(saved);
  }
  if (on_redraw) on_redraw();
  return PostResult::Saved;
}

bool RecordEditor::BuildRecord(AudiogramRecord& r) {
  auto date_error = [&](int message) {
    Refuse(Msg(message), Msg(958));
    return false;
  };
  const auto& e = entries_;
  r.patient.PatNo = app_.State().CurrentPatNo;
  r.patient.Surname = e.Surname;
  r.patient.Forenames = e.Forenames;
  r.patient.Sex = e.SexText();
  if (!StoredDateOf(e.MBoxDOB, r.patient.DOB)) return date_error(1029);
  // The test key: a test needs its date; a time left empty is taken as midnight.
  const auto date = ParseDateBox(e.MBoxDate[kBoxDateofTest]);
  if (!date || !date->isValid()) return date_error(1014);
  const auto time = ParseTimeBox(e.MBoxDate[kBoxTimeofTest]);
  if (time && !time->isValid()) return date_error(1013);
  r.key = {StoredDate(*date), StoredTime(time ? *time : QTime(0, 0))};
  const std::pair<int, QString*> dates[] = {{kBoxPreviousTest, &r.PreviousTest},
                                            {kBoxCalibrated, &r.Calibrated},
                                            {kBoxRecallDate, &r.RecallDate},
                                            {kBoxDateJoined, &r.DateJoined},
                                            {kBoxDateLeft, &r.DateLeft}};
  const int messages[] = {1015, 1016, 1017, 1018, 1019};
  for (int i = 0; i < 5; ++i) {
    if (!StoredDateOf(e.MBoxDate[dates[i].first], *dates[i].second)) return date_error(messages[i]);
  }
  r.TestType = e.TestType;
  r.SerialNo = e.SerialNo;
  r.Examiner = e.ComboDetails[kComboExaminer];
  r.DeptUnit = e.ComboDetails[kComboDeptUnit];
  r.Company = e.ComboDetails[kComboCompany];
  r.PositionRank = e.ComboDetails[kComboPositionRank];
  r.Location = e.ComboDetails[kComboLocation];
  r.LeavingReason = e.ComboDetails[kComboLeavingReason];
  r.EmploymentStatus = e.ComboDetails[kComboStatus];
  r.F1 = e.ComboDetails[kComboF1];
  r.F2 = e.ComboDetails[kComboF2];
  r.F3 = e.ComboDetails[kComboF3];
  r.Categorisation = e.Categorisation;
  r.Notes = e.TextNotes;
  r.ServiceLengthText = e.ServiceLength;
  if (!r.DateJoined.isNull()) {
    const QDate joined = QDate::fromString(r.DateJoined, QStringLiteral("yyyy-MM-dd"));
    const QDate end =
        r.DateLeft.isNull() ? *date : QDate::fromString(r.DateLeft, QStringLiteral("yyyy-MM-dd"));
    r.LengthofService = std::max(0, ServiceMonths(joined, end));
  }
  for (int i = 0; i < kThresholdBoxCount; ++i) {
    const auto& box = ThresholdBoxAt(i);
    auto& ear = box.left ? r.left : r.right;
    for (int f = 0; f < kThresholdFieldCount; ++f) {
      if (QLatin1String(kThresholdFields[f]) == QLatin1String(box.field))
        ear[f] = e.Text1[i].trimmed();
    }
  }
  r.address = e.Address;
  r.codes = e.QuestionCodes;
  r.texts = e.AnswerTexts;
  return true;
}

bool RecordEditor::SaveRecord(int mode) {
  AudiogramRecord record;
  if (!BuildRecord(record)) return false;
  auto& conn = app_.Db().Conn();
  try {
    db::Transaction transaction(conn);
    AudiogramStore store(conn);
    if (!store.Write(static_cast<SaveMode>(mode), record, edited_test_)) {
      Refuse(Msg(1401) + u' ' + record.patient.PatNo + Msg(1402) +
                 DateBoxText(record.key.date) + u' ' + record.key.time,
             Msg(974));
      return false;
    }
    // Linking and categorising belong to the same save: the file never
    // holds a test with stale links.
    RelinkPreviousTests(app_, record.patient.PatNo);
    // A new test changes only its own categorisation and that of the test
    // after it; an edit may move a test, so every test is done again.
    std::optional<AddedTest> added;
    if (mode != kEditing) added = AddedTest{record.key.date, record.key.time};
    RecategorisePatient(app_, record.patient.PatNo, added);
    transaction.Commit();
  } catch (const db::SqliteError& e) {
    const long number = db::ErrorNumberFor(e);
    if (number == errnum::kFieldTooLong) {
      Refuse(Msg(1027), Msg(974));
    } else {
      ReportFailure(e, ErrorTag(QStringLiteral("saverecord")));
    }
    return false;
  } catch (const std::exception& e) {
    ReportFailure(e, ErrorTag(QStringLiteral("saverecord")));
    return false;
  }
  return true;
}

void RecordEditor::mnuCancel() {
  if (app_.State().EditMode == kBrowsing) return;
  app_.State().NewTestPending = false;
  LeaveEdit();
  if (on_redraw) on_redraw();
}

void RecordEditor::Rebuild(const QString& pat_no) {
  if (register_ == nullptr) return;
  register_->BuildRegister();
  if (pat_no.isEmpty() || !register_->MoveToPatient(pat_no)) register_->GoToChosenRecord(0);
}

bool RecordEditor::mnuDelete() {
  auto& state = app_.State();
  if (state.EditMode != kBrowsing) return false;
  const QString pat_no = state.CurrentPatNo;
  try {
    auto& conn = app_.Db().Conn();
    const auto tests = PatientTests(conn, pat_no);
    if (state.TestIndex < 0 || state.TestIndex >= static_cast<int>(tests.size())) return false;
    const TestKey key = tests[state.TestIndex];
    const QString question = Msg(993) + pat_no + u' ' + Msg(1021) + u' ' + DateBoxText(key.date) +
                             u' ' + key.time + QStringLiteral(" ?");
    if (app_.Ask().Show(question, Msg(994), Buttons::YesNo, Answer::No) != Answer::Yes) {
      return false;
    }
    db::Transaction transaction(conn);
    AudiogramStore store(conn);
    if (!store.DeleteTest(pat_no, key)) {
      RelinkPreviousTests(app_, pat_no);
      RecategorisePatient(app_, pat_no);
    }
    transaction.Commit();
  } catch (const std::exception& e) {
    ReportFailure(e, QStringLiteral(" (formmain:mnuDelete:954)"));
    return false;
  }
  state.TestIndex = 0;
  Rebuild(pat_no);
  if (on_redraw) on_redraw();
  return true;
}

bool RecordEditor::mnuDeletePatient() {
  auto& state = app_.State();
  if (state.EditMode != kBrowsing) return false;
  const QString pat_no = state.CurrentPatNo;
  if (app_.Ask().Show(Msg(1093) + pat_no + Msg(1094), QStringLiteral("Delete Whole Patient"),
                      Buttons::YesNo, Answer::No) != Answer::Yes) {
    return false;
  }
  bool removed = false;
  try {
    auto& conn = app_.Db().Conn();
    db::Transaction transaction(conn);
    removed = AudiogramStore(conn).DeletePatient(pat_no);
    transaction.Commit();
  } catch (const std::exception& e) {
    ReportFailure(e, QStringLiteral(" (formmain:mnuDeletePatient:954)"));
    return false;
  }
  if (!removed) {
    app_.Ask().Show(
        QStringLiteral("Vision Tests exist for this Patient. These will not be deleted"),
        QStringLiteral("Delete Patient"), Buttons::Ok);
  }
  state.TestIndex = 0;
  Rebuild(QString());
  if (on_redraw) on_redraw();
  return true;
}

bool RecordEditor::ChangePatientNo(const QString& old_no, const QString& new_no) {
  auto& state = app_.State();
  if (state.EditMode != kBrowsing) return false;
  const QString number = new_no.trimmed();
  if (number.isEmpty()) {
    app_.Ask().Show(Msg(971), Msg(972), Buttons::Ok);
    return false;
  }
  const bool was_bulk = state.BulkMode;
  state.BulkMode = true;
  bool changed = false;
  try {
    auto& conn = app_.Db().Conn();
    db::Transaction transaction(conn);
    changed = AudiogramStore(conn).ChangePatientNo(old_no, number);
    if (changed) transaction.Commit();
  } catch (const std::exception& e) {
    state.BulkMode = was_bulk;
    ReportFailure(e, ErrorTag(QStringLiteral("changepatientno")));
    return false;
  }
  state.BulkMode = was_bulk;
  if (!changed) {
    app_.Ask().Show(Msg(1032), Msg(1033), Buttons::Ok);
    return false;
  }
  state.CurrentPatNo = number;
  Rebuild(number);
  if (on_redraw) on_redraw();
  return true;
}

}  // namespace sonivera
