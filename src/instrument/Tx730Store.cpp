#include "instrument/Tx730Store.h"

#include "base/ErrorLog.h"
#include "db/Database.h"
#include "db/Sqlite.h"
#include "interchange/BulkRun.h"
#include "register/AudiogramStore.h"
#include "register/RecordDisplay.h"
#include "register/RecordEditor.h"

namespace sonivera {

namespace {
using Answer = Prompter::Answer;
using Buttons = Prompter::Buttons;

bool HasValue(const QString& value) { return !value.isEmpty() && value != QLatin1String("-"); }

void Put(QString& box, const QString& value) {
  if (HasValue(value) || box.isEmpty() || IsEmptyBox(box)) box = value;
}

QString DateBox(const QString& value) {
  const auto date = ParseDateBox(value);
  return date && date->isValid() ? date->toString(QStringLiteral("dd/MM/yyyy")) : kEmptyDateBox;
}
}  // namespace

void FillEntriesFromRecord(const ImportRecord& r, bool with_category, EntryFields& e) {
  e.PatNo = r[kFieldPatientNo];
  e.Surname = r[kFieldSurname];
  Put(e.Forenames, r[kFieldForename]);
  Put(e.Details[kComboPositionRank], r[kFieldPosition]);
  Put(e.Details[kComboDeptUnit], r[kFieldDepartment]);
  Put(e.Details[kComboCompany], r[kFieldCompany]);
  const QString sex = r[kFieldSex].trimmed().toUpper();
  if (sex == QLatin1String("M") || sex == QLatin1String("F")) {
    e.OptionMale = sex == QLatin1String("M");
    e.OptionFemale = !e.OptionMale;
  }
  const QString dob = DateBox(r[kFieldDateOfBirth]);
  if (dob != kEmptyDateBox || IsEmptyBox(e.DOB)) e.DOB = dob;
  // The test's own fields; the save judges a date that is no date.
  e.Dates[kBoxDateofTest] = r[kFieldTestDate].isEmpty() ? kEmptyDateBox : r[kFieldTestDate];
  e.Dates[kBoxTimeofTest] = r[kFieldTestTime].isEmpty() ? kEmptyTimeBox : r[kFieldTestTime];
  e.Dates[kBoxCalibrated] = DateBox(r[kFieldCalibrated]);
  Put(e.Details[kComboExaminer], r[kFieldExaminer]);
  e.TestType = r[kFieldTestType];
  e.SerialNo = r[kFieldSerialNo];
  if (with_category) e.Categorisation = r[kFieldCategory];
  for (int i = 0; i < kAddressLineCount; ++i) Put(e.Address[i], r[kFieldAddress1 + i]);
  // Boxes 1-8 and 10-17: 500 Hz to 8 kHz of each ear.
  for (int i = 0; i < kRecordFrequencyCount; ++i) {
    e.Thresholds[1 + i] = r[kFieldCurrentLeft + i];
    e.Thresholds[10 + i] = r[kFieldCurrentRight + i];
  }
}

QString Tx730Store::FreeSnvNumber() {
  AudiogramStore store(database_.Conn());
  for (int n = 1;; ++n) {
    const QString candidate = QStringLiteral("SNV%1").arg(n);
    if (!store.PatientExists(candidate)) return candidate;
  }
}

Tx730Store::Outcome Tx730Store::StoreRecord(const ImportRecord& record, int index, bool series1) {
  auto& conn = database_.Conn();
  const QString pat_no = record[kFieldPatientNo];
  bool started = false;
  bool known = false;
  EntryFields stored;
  if (!pat_no.isEmpty()) {
    known = LoadPatientEntries(conn, pat_no, stored);
    if (!known) {
      started = editor_.AddPatient();
    } else {
      if (!series1 && stored.Surname.compare(record[kFieldSurname], Qt::CaseInsensitive) != 0) {
        ask_.Show(QStringLiteral("Patient No") + u' ' + pat_no +
                      QStringLiteral(" already in use. Please use: 'change to another "
                                     "patient number'."),
                  QStringLiteral("Error"), Buttons::Ok, Answer::Ok, Prompter::Icon::Critical);
        return Outcome::NotAdded;
      }
      started = editor_.InsertAudiogram(pat_no);
    }
  } else {
    const QString snv = FreeSnvNumber();
    started = editor_.AddPatient();
    if (started) editor_.Entries().PatNo = snv;
  }
  if (!started) {
    editor_.Cancel();
    return Outcome::NotAdded;
  }
  EntryFields& entries = editor_.Entries();
  const QString number = entries.PatNo;
  FillEntriesFromRecord(record, !series1, entries);
  if (pat_no.isEmpty()) entries.PatNo = number;
  if (series1 && known) {
    // The details window starts from what the register knows of the patient.
    if (stored.OptionMale || stored.OptionFemale) {
      entries.OptionMale = stored.OptionMale;
      entries.OptionFemale = stored.OptionFemale;
    }
    if (!IsEmptyBox(stored.DOB)) entries.DOB = stored.DOB;
  }
  if (series1 && ask_series1_details) ask_series1_details(index + 1, entries);
  const auto date = ParseDateBox(entries.Dates[kBoxDateofTest]);
  const auto time = ParseTimeBox(entries.Dates[kBoxTimeofTest]);
  if (date && date->isValid() && time && time->isValid() &&
      AudiogramStore(conn).TestExists(entries.PatNo.trimmed(),
                                      {StoredDateText(*date), StoredTimeText(*time)})) {
    editor_.Cancel();
    return Outcome::NotAdded;
  }
  if (editor_.Save() == RecordEditor::SaveResult::Saved) return Outcome::Added;
  editor_.Cancel();
  return Outcome::NotAdded;
}

Tx730StoreOutcome Tx730Store::Store(const ImportBuffer& buffer, const QString& series,
                                    const QString& count_text) {
  Tx730StoreOutcome outcome;
  Prompter& ask = ask_;
  const bool series1 = series.compare(QLatin1String("S1"), Qt::CaseInsensitive) == 0;
  if (buffer.empty()) {
    ask.Show(series.compare(QLatin1String("S3"), Qt::CaseInsensitive) == 0
                 ? QStringLiteral("The import buffer is empty. Click on 'import' first.")
                 : QStringLiteral(
                       "The import buffer is empty, export record(s) from your audiometer first"),
             QStringLiteral("Error"), Buttons::Ok, Answer::Ok, Prompter::Icon::Critical);
    return outcome;
  }
  if (ask.Show(QStringLiteral("Are you sure you want to save ") + count_text +
                   QStringLiteral(" record(s) into the database?"),
               QStringLiteral("Are you sure?"), Buttons::YesNo, Answer::No) != Answer::Yes) {
    return outcome;
  }
  if (series1 && buffer.front()[kFieldPatientNo].isEmpty()) {
    ask.Show(QStringLiteral("There must be a Patient Number"), QStringLiteral("Error"), Buttons::Ok,
             Answer::Ok, Prompter::Icon::Critical);
    if (close_window) close_window();
    return outcome;
  }
  {
    BulkRun bulk(editor_, database_);
    db::CommitGroups groups(database_.Conn());
    try {
      for (size_t i = 0; i < buffer.size(); ++i) {
        const ImportRecord& record = buffer[i];
        ++outcome.processed;
        // A cut or damaged line is never stored in part; the records after
        // it still are.
        if (!record.complete) continue;
        if (record[kFieldPatientNo].isEmpty() && record[kFieldSurname].isEmpty()) continue;
        if (StoreRecord(record, int(i), series1) == Outcome::Added) ++outcome.added;
        groups.LineDone();
      }
    } catch (const std::exception& error) {
      if (editor_.Editing()) editor_.Cancel();
      const auto failure = db::DescribeFailure(error);
      reporter_.ShowAndLog(
          StandardErrorText(failure.description, failure.number,
                            ErrorTag(QStringLiteral("storeimportdataindatabase"))));
    }
    if (editor_.Editing()) editor_.Cancel();
  }
  outcome.stored = true;
  outcome.message =
      QString::number(outcome.added) + QStringLiteral(" record(s) added to database.");
  if (outcome.added != outcome.processed) {
    outcome.message +=
        QStringLiteral(" Some of the records already existed in the database, or were duplicates.");
  }
  ask.Show(outcome.message, QStringLiteral("Stored"), Buttons::Ok, Answer::Ok,
           Prompter::Icon::Information);
  if (close_window) close_window();
  return outcome;
}

}  // namespace sonivera
