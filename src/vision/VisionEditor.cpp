#include "vision/VisionEditor.h"

#include <QDateTime>

#include "base/AppError.h"
#include "base/Messages.h"
#include "db/Database.h"
#include "register/RecordDisplay.h"
#include "register/RecordEditor.h"

namespace sonivera::vision {

namespace {
using Buttons = Prompter::Buttons;
using Answer = Prompter::Answer;


YesNo AnswerOf(bool stored) { return stored ? YesNo::Yes : YesNo::No; }

// The stored header shown in the details page's boxes.
void ShowHeader(const VisionHeader& h, const TestKey& key, EntryFields& e) {
  e.Dates[kBoxDateofTest] = DateBoxText(key.date);
  e.Dates[kBoxTimeofTest] = TimeBoxText(key.time);
  e.TestType = h.TestType;
  e.SerialNo = h.SerialNo;
  e.Details[kComboExaminer] = h.Examiner;
  e.Categorisation = h.Categorisation;
  e.Notes = h.Notes;
  e.Dates[kBoxPreviousTest] = DateBoxText(h.PreviousTest);
  e.Dates[kBoxCalibrated] = DateBoxText(h.Calibrated);
  e.Dates[kBoxRecallDate] = DateBoxText(h.RecallDate);
  e.Details[kComboF1] = h.F1;
  e.Details[kComboF2] = h.F2;
  e.Details[kComboF3] = h.F3;
}

}  // namespace

void ShowEmployment(const VisionHeader& h, EntryFields& e) {
  e.Details[kComboDeptUnit] = h.DeptUnit;
  e.Details[kComboCompany] = h.Company;
  e.Details[kComboPositionRank] = h.PositionRank;
  e.Details[kComboLocation] = h.Location;
  e.Details[kComboLeavingReason] = h.LeavingReason;
  e.Details[kComboStatus] = h.EmploymentStatus;
  e.ServiceLength = h.ServiceLengthText;
  e.Dates[kBoxDateJoined] = DateBoxText(h.DateJoined);
  e.Dates[kBoxDateLeft] = DateBoxText(h.DateLeft);
}

std::optional<VisionHeader> NewerVisionParticulars(db::Connection& connection,
                                                   const QString& pat_no) {
  VisionStore store(connection);
  const std::vector<TestKey> tests = store.Tests(pat_no);
  if (tests.empty()) return std::nullopt;
  const auto audiogram = store.LatestAudiogram(pat_no);
  if (audiogram && !tests.front().LaterThan(audiogram->first)) return std::nullopt;
  return store.ReadHeader(pat_no, tests.front());
}

namespace {
VisionAnswerFields ShowAnswers(const VisionAnswers& a) {
  VisionAnswerFields fields;
  fields.glasses = AnswerOf(a.Glasses);
  fields.contacts = AnswerOf(a.Contacts);
  fields.change_in_rx = AnswerOf(a.ChangeinRX);
  fields.referred = AnswerOf(a.Refer);
  fields.glasses_type = a.GlassesType;
  fields.last_exam = DateBoxText(a.LastExam);
  return fields;
}
}  // namespace

VisionEditor::VisionEditor(db::Database& database, Prompter& prompter, ErrorLog log)
    : database_(database), prompter_(prompter), log_(std::move(log)) {}

TestKey VisionEditor::ShownTest() const {
  if (test_index_ < 0 || test_index_ >= int(tests_.size())) return {};
  return tests_[test_index_];
}

void VisionEditor::ShowPage(Page page) {
  if (on_show_page) on_show_page(page);
}

void VisionEditor::Changed() {
  if (on_changed) on_changed();
}

void VisionEditor::ReportFailure(const std::exception& error, const QString& tag) {
  const auto failure = db::DescribeFailure(error);
  ErrorReporter(prompter_, log_)
      .ShowAndLog(StandardErrorText(failure.description, failure.number, tag));
}

void VisionEditor::ChoosePatient(const QString& pat_no) {
  if (Editing()) return;
  current_pat_no_ = pat_no;
  test_index_ = 0;
  Reload();
  entry_.ReturnToStart();
  Changed();
}

bool VisionEditor::ScrollToTest(int index) {
  if (Editing() || index < 0 || index >= int(tests_.size())) return false;
  test_index_ = index;
  Reload();
  Changed();
  return true;
}

void VisionEditor::Reload() {
  try {
    tests_ = VisionStore(database_.Conn()).Tests(current_pat_no_);
  } catch (const std::exception& e) {
    tests_.clear();
    ReportFailure(e, QStringLiteral(" (Vmovetotestdetails:954)"));
  }
  test_index_ = std::clamp(test_index_, 0, std::max(0, int(tests_.size()) - 1));
  LoadDetails();
}

// The details page and the test pages for the shown test.
void VisionEditor::LoadDetails() {
  details_ = EntryFields();
  answers_ = VisionAnswerFields();
  CodedResults coded;
  try {
    auto& conn = database_.Conn();
    VisionStore store(conn);
    if (!LoadPatientEntries(conn, current_pat_no_, details_)) details_ = EntryFields();
    const TestKey key = ShownTest();
    details_.Address = LatestAddress(conn, current_pat_no_);
    if (!key.date.isEmpty()) {
      details_.Address = store.AddressAt(current_pat_no_, key);
      if (const auto header = store.ReadHeader(current_pat_no_, key)) {
        ShowHeader(*header, key, details_);
        ShowEmployment(*header, details_);
      }
      if (const auto stored = store.ReadResults(current_pat_no_, key)) {
        coded = stored->coded;
        answers_ = ShowAnswers(stored->answers);
      }
    }
  } catch (const std::exception& e) {
    ReportFailure(e, QStringLiteral(" (Vupdatedetailsdisplay:954)"));
  }
  entry_.ShowStored(coded);
}

bool VisionEditor::InsertVision() {
  if (Editing() || current_pat_no_.isEmpty()) return false;
  ShowPage(Page::Details);
  test_index_ = 0;
  Reload();
  try {
    VisionStore store(database_.Conn());
    const std::optional<TestKey> latest_vision =
        tests_.empty() ? std::nullopt : std::optional(tests_.front());
    // Particulars recorded later on the audiogram side are the newer ones.
    if (const auto audiogram = store.LatestAudiogram(current_pat_no_)) {
      if (!latest_vision || audiogram->first.LaterThan(*latest_vision)) {
        ShowEmployment(audiogram->second, details_);
      }
    }
    if (const auto address = store.LatestAddress(current_pat_no_)) {
      if (!latest_vision || address->first.LaterThan(*latest_vision)) {
        details_.Address = address->second;
      }
    }
  } catch (const std::exception& e) {
    ReportFailure(e, QStringLiteral(" (updatevisiondisplayfromaudio:954)"));
    return false;
  }
  for (int box : {kBoxDateofTest, kBoxPreviousTest, kBoxRecallDate}) {
    details_.Dates[box] = kEmptyDateBox;
  }
  details_.Dates[kBoxTimeofTest] = kEmptyTimeBox;
  details_.Notes.clear();
  details_.Categorisation.clear();
  answers_ = VisionAnswerFields();
  answers_.referred = YesNo::Unanswered;
  edited_test_ = {};
  stored_last_exam_.clear();
  mode_ = Mode::InsertingTest;
  entry_.BeginNewTest();
  Changed();
  return true;
}

bool VisionEditor::AddPatient() {
  if (Editing()) return false;
  ShowPage(Page::Details);
  details_ = EntryFields();
  answers_ = VisionAnswerFields();
  edited_test_ = {};
  stored_last_exam_.clear();
  mode_ = Mode::AddingPatient;
  entry_.BeginNewTest();
  Changed();
  return true;
}

void VisionEditor::PatientNumberLeft() {
  if (mode_ != Mode::AddingPatient) return;
  const QString number = details_.PatNo.trimmed();
  if (number.isEmpty()) return;
  try {
    auto& conn = database_.Conn();
    EntryFields known;
    if (!LoadPatientEntries(conn, number, known)) return;
    if (VisionStore(conn).Mirror(number)) return;  // the save will refuse the number
    prompter_.Show(
        QStringLiteral("That patient number already has a audiogram test. Cancel then go to "
                       "'Type - Audiology' - 'Insert Vision' if this is the same patient. "
                       "Patient name: ") +
            known.Forenames + u' ' + known.Surname + QStringLiteral(" DOB: ") + known.DOB,
        QStringLiteral("Patient No"), Buttons::Ok);
  } catch (const std::exception& e) {
    ReportFailure(e, QStringLiteral(" (Vupdatedetailsdisplay:954)"));
  }
}

bool VisionEditor::Edit() {
  if (Editing() || tests_.empty()) return false;
  Reload();
  const TestKey key = ShownTest();
  CodedResults coded;
  try {
    if (const auto stored = VisionStore(database_.Conn()).ReadResults(current_pat_no_, key)) {
      coded = stored->coded;
      stored_last_exam_ = stored->answers.LastExam;
    }
  } catch (const std::exception& e) {
    ReportFailure(e, QStringLiteral(" (gotoresult:954)"));
    return false;
  }
  edited_test_ = key;
  mode_ = Mode::EditingTest;
  entry_.BeginEdit(coded);
  Changed();
  return true;
}

VisionEditor::SaveResult VisionEditor::Save(bool importing) {
  if (!Editing()) return SaveResult::NotEditing;
  if (!importing) {
    const auto dob = ParseDateBox(details_.DOB);
    if (WantsToFillParticulars(prompter_, !dob || !dob->isValid(),
                               !details_.OptionMale && !details_.OptionFemale)) {
      ShowPage(Page::Details);
      return SaveResult::Stopped;
    }
  }
  if (details_.PatNo.trimmed().isEmpty()) {
    prompter_.Show(Msg(1001), Msg(974), Buttons::Ok);
    return SaveResult::Failed;
  }
  const QString pat_no =
      mode_ == Mode::AddingPatient ? details_.PatNo.trimmed() : current_pat_no_;
  if (mode_ == Mode::AddingPatient) {
    bool exists = false;
    try {
      EntryFields known;
      exists = LoadPatientEntries(database_.Conn(), pat_no, known);
    } catch (const std::exception& e) {
      ReportFailure(e, ErrorTag(QStringLiteral("vsavedatabase")));
      return SaveResult::Failed;
    }
    if (exists) {
      prompter_.Show(Msg(1002), Msg(1003), Buttons::Ok);
      details_.PatNo.clear();
      return SaveResult::Failed;
    }
  }
  VisionRecord record;
  if (!BuildRecord(record, pat_no)) return SaveResult::Failed;
  if (!WriteRecord(record)) return SaveResult::Failed;

  mode_ = Mode::Browsing;
  current_pat_no_ = pat_no;
  test_index_ = 0;
  Reload();
  for (int i = 0; i < int(tests_.size()); ++i) {
    if (tests_[i] == record.key) test_index_ = i;
  }
  LoadDetails();
  entry_.ReturnToStart();
  if (!importing) ShowPage(Page::Details);
  Changed();
  return SaveResult::Saved;
}

bool VisionEditor::BuildRecord(VisionRecord& r, const QString& pat_no) {
  auto date_error = [&](int message) {
    prompter_.Show(Msg(message), Msg(958), Buttons::Ok);
    return false;
  };
  const EntryFields& e = details_;
  const QDateTime moment = QDateTime::currentDateTime();
  r.patient.PatNo = pat_no;
  r.patient.Surname = e.Surname;
  r.patient.Forenames = e.Forenames;
  r.patient.Sex = e.SexText();
  if (!StoredDateOf(e.DOB, r.patient.DOB)) return date_error(1029);
  // An empty date or time of test takes the moment of the save.
  const auto time = ParseTimeBox(e.Dates[kBoxTimeofTest]);
  if (time && !time->isValid()) return date_error(1013);
  const auto date = ParseDateBox(e.Dates[kBoxDateofTest]);
  if (date && !date->isValid()) return date_error(1014);
  r.key.date = StoredDateText(date ? *date : moment.date());
  r.key.time = StoredTimeText(time ? *time : moment.time());
  auto& h = r.header;
  if (const int refused = FillSharedHeader(e, h)) return date_error(refused);
  if (!h.DateJoined.isNull()) {
    // Service counts to the date left, or to the test while still employed.
    const QDate joined = QDate::fromString(h.DateJoined, QStringLiteral("yyyy-MM-dd"));
    const QDate end = h.DateLeft.isNull()
                          ? QDate::fromString(r.key.date, QStringLiteral("yyyy-MM-dd"))
                          : QDate::fromString(h.DateLeft, QStringLiteral("yyyy-MM-dd"));
    const int months = std::max(0, ServiceMonths(joined, end));
    h.LengthofService = months;
    h.ServiceLengthText = ServiceLengthTextFor(months);
  }
  r.address = e.Address;
  r.results = entry_.ResultsForSave();
  r.answers.Glasses = answers_.glasses == YesNo::Yes;
  r.answers.Contacts = answers_.contacts == YesNo::Yes;
  r.answers.ChangeinRX = answers_.change_in_rx == YesNo::Yes;
  r.answers.Refer = answers_.referred == YesNo::Yes;
  r.answers.GlassesType =
      answers_.glasses_type.trimmed().isEmpty() ? QString() : answers_.glasses_type;
  // A last-examination date that is no date is refused; the rest is written.
  r.answers.LastExam = stored_last_exam_;
  const auto last_exam = ParseDateBox(answers_.last_exam);
  if (!last_exam) {
    r.answers.LastExam = QString();
  } else if (last_exam->isValid()) {
    r.answers.LastExam = StoredDateText(*last_exam);
  } else {
    prompter_.Show(Msg(1043), Msg(958), Buttons::Ok);
  }
  return true;
}

bool VisionEditor::WriteRecord(const VisionRecord& record) {
  const QString& pat_no = record.patient.PatNo;
  auto& conn = database_.Conn();
  try {
    db::Transaction transaction(conn);
    VisionStore store(conn);
    const bool new_test = mode_ != Mode::EditingTest;
    if ((new_test || !(record.key == edited_test_)) && store.TestExists(pat_no, record.key)) {
      prompter_.Show(Msg(1401) + u' ' + pat_no + Msg(1402) + DateBoxText(record.key.date) + u' ' +
                         record.key.time,
                     Msg(974), Buttons::Ok);
      return false;
    }
    if (mode_ == Mode::AddingPatient) {
      store.InsertPatient(record.patient);
    } else {
      store.UpdatePatient(record.patient);
    }
    store.AddAddressIfChanged(pat_no, record.key, record.address);
    if (new_test) {
      store.InsertTest(record);
    } else {
      store.UpdateTest(record, edited_test_);
    }
    // The register shows each patient with the newest vision test.
    store.RefreshMirror(pat_no);
    store.CarryEmploymentToAudiogram(pat_no, record.key, record.header);
    transaction.Commit();
  } catch (const db::SqliteError& e) {
    if (db::ErrorNumberFor(e) == errnum::kFieldTooLong) {
      ErrorReporter(prompter_, log_)
          .ShowAndLog(StandardErrorText(Msg(1027), errnum::kFieldTooLong,
                                        QStringLiteral(" (vreadtestdetails:1027)")));
    } else {
      ReportFailure(e, ErrorTag(QStringLiteral("vsavedatabase")));
    }
    return false;
  } catch (const std::exception& e) {
    ReportFailure(e, ErrorTag(QStringLiteral("vsavedatabase")));
    return false;
  }
  return true;
}

void VisionEditor::Cancel() {
  if (!Editing()) return;
  const bool adding = mode_ == Mode::AddingPatient;
  mode_ = Mode::Browsing;
  entry_.CancelEdit();
  if (adding) details_ = EntryFields();
  Reload();
  entry_.ReturnToStart();
  Changed();
}

bool VisionEditor::Delete() {
  if (Editing() || tests_.empty()) return false;
  const TestKey key = ShownTest();
  const QString question = Msg(2993) + current_pat_no_ + u' ' + Msg(1021) + u' ' +
                           DateBoxText(key.date) + u' ' + key.time + QStringLiteral(" ?");
  if (prompter_.Show(question, Msg(994), Buttons::YesNo, Answer::No) != Answer::Yes) return false;
  try {
    auto& conn = database_.Conn();
    db::Transaction transaction(conn);
    VisionStore store(conn);
    store.DeleteTest(current_pat_no_, key);
    store.RefreshMirror(current_pat_no_);
    transaction.Commit();
  } catch (const std::exception& e) {
    ReportFailure(e, QStringLiteral(" (formVision:mnuDelete:954)"));
    return false;
  }
  test_index_ = 0;
  Reload();
  entry_.ReturnToStart();
  Changed();
  return true;
}

bool VisionEditor::DeletePatient() {
  if (Editing() || current_pat_no_.isEmpty()) return false;
  const QString pat_no = current_pat_no_;
  if (prompter_.Show(Msg(1093) + pat_no + Msg(1094), QStringLiteral("Delete Whole Patient"),
                     Buttons::YesNo, Answer::No) != Answer::Yes) {
    return false;
  }
  bool audiograms = false;
  try {
    auto& conn = database_.Conn();
    db::Transaction transaction(conn);
    VisionStore store(conn);
    for (const TestKey& key : store.Tests(pat_no)) store.DeleteTest(pat_no, key);
    audiograms = store.HasAudiogram(pat_no);
    if (audiograms) {
      store.RefreshMirror(pat_no);
    } else {
      store.DeletePatientRows(pat_no);
    }
    transaction.Commit();
  } catch (const std::exception& e) {
    ReportFailure(e, QStringLiteral(" (formVision:mnuDeletePatient:954)"));
    return false;
  }
  if (audiograms) {
    prompter_.Show(QStringLiteral("Audiograms exist for this Patient. These will not be deleted"),
                   QStringLiteral("Delete Patient"), Buttons::Ok);
  }
  current_pat_no_.clear();
  test_index_ = 0;
  Reload();
  entry_.ReturnToStart();
  Changed();
  return true;
}

bool VisionEditor::ChangePatientNo(const QString& old_no, const QString& new_no) {
  ErrorReporter reporter(prompter_, log_);
  if (Editing() || !RenumberPatient(database_.Conn(), reporter, old_no, new_no)) return false;
  current_pat_no_ = new_no.trimmed();
  Reload();
  Changed();
  return true;
}

}  // namespace sonivera::vision
