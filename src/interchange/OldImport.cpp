#include "interchange/OldImport.h"

#include <QDir>

#include "base/DateText.h"
#include "base/ErrorLog.h"
#include "base/Messages.h"
#include "categorise/Schemes.h"
#include "db/Database.h"
#include "db/Sqlite.h"
#include "interchange/BulkRun.h"
#include "interchange/CsvFile.h"
#include "base/LineRefusals.h"
#include "register/AudiogramStore.h"
#include "register/EntryFields.h"
#include "register/RecordEditor.h"
#include "register/Register.h"

namespace sonivera {

namespace {
const QString kLogPrefix = QStringLiteral("File Import: ");
const QString kImportTag = ErrorTag(QStringLiteral("mnuimporta3_1"), kNoMessage);
// Old records without a time of test are stored at midnight.
const QString kNoTime = QStringLiteral("00:00:00");

QString StoredDate(const QString& text) {
  const auto date = ParseCsvDate(text);
  return date ? StoredDateText(*date) : QString();
}

QString StoredTime(const QString& text) {
  const auto time = ParseCsvTime(text);
  if (!time) return kNoTime;
  return StoredTimeText(*time);
}

QString BoxDate(const QString& stored) {
  return DayMonthYearText(DateFromStored(stored));
}
}  // namespace

bool OldReleaseImporter::AskBeforeImport() {
  create_baseline_ =
      context_.reporter.prompter().Show(
          QStringLiteral("Create baseline audiogram from previous results contained in oldest "
                         "record?"),
          QStringLiteral("Create Baseline"), Prompter::Buttons::YesNo, Prompter::Answer::No,
          Prompter::Icon::Question) == Prompter::Answer::Yes;
  context_.reporter.prompter().Show(
      QStringLiteral("Make sure the import file is sorted in test date order."),
      QStringLiteral("Sort Import"), Prompter::Buttons::Ok, Prompter::Answer::Ok,
      Prompter::Icon::Information);
  return create_baseline_;
}

ImportSummary OldReleaseImporter::Start(Kind kind) {
  FileDialogSpec spec;
  spec.title = QStringLiteral("Import Sonivera 3.1 Data");
  spec.filter = kind == Kind::Csv ? QStringLiteral(" Sonivera3.1 CSV file | *.csv")
                                  : QStringLiteral(" Sonivera3.1 CSV file | *.dat");
  spec.initial_dir = QDir::rootPath();
  spec.path_must_exist = true;
  const auto chosen = context_.reporter.prompter().OpenFile(spec);
  if (!chosen || chosen->isEmpty()) return {};
  return ImportFile(kind, *chosen);
}

ImportSummary OldReleaseImporter::ImportFile(Kind kind, const QString& path) {
  ImportSummary summary;
  const auto file = ReadFileLines(path);
  if (!file) {
    summary.refused = true;
    context_.reporter.ShowAndLog(
        UnnumberedErrorText(QStringLiteral("Could not read the file '%1'.").arg(path), kImportTag));
    return summary;
  }
  qsizetype first = 0;
  if (kind == Kind::Csv) {
    if (file->lines.isEmpty() || file->lines.first().trimmed() != kOldCsvHeader) {
      summary.refused = true;
      context_.reporter.prompter().Show(QStringLiteral("This is not an Sonivera 3.1 file type."),
                                        QStringLiteral("Incompatible File Type"),
                                        Prompter::Buttons::Ok, Prompter::Answer::Ok,
                                        Prompter::Icon::Exclamation);
      return summary;
    }
    first = 1;
  }
  summary.read = true;
  summary.cp1252_lines = file->cp1252_lines;
  LineRefusals refusals(context_.reporter.prompter(), context_.reporter.log(), path);
  refusals_ = &refusals;
  const SchemeChecks schemes = schemes_;
  BulkRun bulk(context_.editor, context_.database);
  db::CommitGroups groups(context_.database.Conn());
  stop_requested_ = false;
  if (kind == Kind::Dat) {
    // The old fixed records were categorised by HSE alone.
    schemes_.CheckHSE = true;
    schemes_.CheckMP42 = schemes_.CheckPAM = schemes_.CheckIPA = false;
  }
  for (qsizetype i = first; i < file->lines.size(); ++i) {
    if (stop_requested_) {
      summary.stopped = true;
      break;
    }
    const QString& line = file->lines[i];
    if (line.trimmed().isEmpty()) continue;
    ++summary.lines;
    refusals.StartLine(i + 1);
    const OldParse parse = kind == Kind::Csv ? ParseOldCsvLine(line) : ParseOldDatRecord(line);
    Outcome outcome = Outcome::Rejected;
    if (!parse.record) {
      const QString number = line.section(u',', 0, 0).left(16).trimmed();
      const QString text = Msg(1405) + number;
      refusals.SetPatient(number);
      context_.reporter.prompter().Show(text, Msg(974));
      refusals.Log(kLogPrefix + text + QStringLiteral(" (") + parse.problem +
                   QStringLiteral(") :1405"));
    } else {
      try {
        outcome = ImportRecord(*parse.record);
      } catch (const std::exception& error) {
        if (context_.editor.Editing()) context_.editor.Cancel();
        const QString text = UnnumberedErrorText(QString::fromUtf8(error.what()), kImportTag);
        context_.reporter.prompter().Show(text, Msg(974), Prompter::Buttons::Ok,
                                          Prompter::Answer::Ok, Prompter::Icon::Critical);
        refusals.Log(text);
      }
    }
    summary.Count(outcome);
    groups.LineDone();
    if (listener_ != nullptr) listener_->RecordImported(summary.added);
  }
  schemes_ = schemes;
  refusals_ = nullptr;
  stop_requested_ = false;
  bulk.EndAndShow(context_.reg);
  return summary;
}

QString OldReleaseImporter::PatientNumberFor(const OldRecord& record, bool& is_new) {
  if (record.pat_no.isEmpty()) {
    // A number is made up; the same person met again keeps the one given before.
    for (int n = 1;; ++n) {
      const QString candidate = QStringLiteral("SNV%1").arg(n);
      const auto surname = StoredSurname(candidate);
      if (!surname) {
        is_new = true;
        return candidate;
      }
      if (SamePerson(candidate, record)) {
        is_new = false;
        return candidate;
      }
    }
  }
  for (int n = 0;; ++n) {
    const QString candidate = n == 0 ? record.pat_no : record.pat_no + QStringLiteral("_%1").arg(n);
    const auto surname = StoredSurname(candidate);
    if (!surname) {
      is_new = true;
      return candidate;
    }
    if (surname->compare(record.surname, Qt::CaseInsensitive) == 0) {
      is_new = false;
      return candidate;
    }
  }
}

OldReleaseImporter::Outcome OldReleaseImporter::ImportRecord(const OldRecord& record) {
  bool is_new = false;
  const QString pat_no = PatientNumberFor(record, is_new);
  refusals_->SetPatient(pat_no);
  const QString date = StoredDate(record.date_of_test);
  const QString time = StoredTime(record.time_of_test);
  if (!is_new && TestExists(pat_no, date, time)) {
    const QString text = Msg(1401) + pat_no + Msg(1402) + record.date_of_test + Msg(1403) + time;
    context_.reporter.prompter().Show(text, Msg(974));
    refusals_->Log(kLogPrefix + text + QStringLiteral(" :1401"));
    return Outcome::Existing;
  }
  if (is_new && create_baseline_ && !record.previous.IsEmpty()) {
    const QString baseline_date = StoredDate(record.previous_date);
    if (baseline_date < date) {
      if (!SaveAudiogram(pat_no, true, record, baseline_date, kNoTime, record.previous)) {
        return Outcome::Rejected;
      }
      is_new = false;
    }
  }
  return SaveAudiogram(pat_no, is_new, record, date, time, record.results) ? Outcome::Added
                                                                           : Outcome::Rejected;
}

bool OldReleaseImporter::SaveAudiogram(const QString& pat_no, bool is_new, const OldRecord& record,
                                       const QString& date, const QString& time,
                                       const OldThresholds& results) {
  RecordEditor& editor = context_.editor;
  if (!(is_new ? editor.AddPatient() : editor.InsertAudiogram(pat_no))) {
    editor.Cancel();
    refusals_->Log(kLogPrefix + QStringLiteral("The record could not be started."));
    return false;
  }
  EntryFields& e = editor.Entries();
  e.PatNo = pat_no;
  e.Surname = record.surname;
  e.Forenames = record.forenames;
  const auto dob = ParseCsvDate(record.dob);
  e.DOB = !dob             ? kEmptyDateBox
          : dob->isValid() ? DayMonthYearText(*dob)
                           : record.dob;
  e.OptionMale = record.sex == QLatin1String("MALE");
  e.OptionFemale = record.sex == QLatin1String("FEMALE");
  e.Dates[kBoxDateofTest] = BoxDate(date);
  e.Dates[kBoxTimeofTest] = time;
  e.Details[kComboExaminer] = record.examiner;
  e.Details[kComboCompany] = record.company;
  e.Details[kComboDeptUnit] = record.dept_unit;
  e.Details[kComboPositionRank] = record.position_rank;
  for (int i = 0; i < 9; ++i) {
    e.Thresholds[i] = results.left[i];
    e.Thresholds[9 + i] = results.right[i];
  }
  for (int i = 18; i < kThresholdBoxCount; ++i) e.Thresholds[i].clear();
  e.QuestionCodes.fill(0);
  for (auto& text : e.AnswerTexts) text.clear();
  if (editor.Save() == RecordEditor::SaveResult::Saved) return true;
  refusals_->Log(kLogPrefix + editor.Refusal());
  editor.Cancel();
  return false;
}

std::optional<QString> OldReleaseImporter::StoredSurname(const QString& pat_no) {
  return AudiogramStore(context_.database.Conn()).Surname(pat_no);
}

bool OldReleaseImporter::SamePerson(const QString& pat_no, const OldRecord& record) {
  return AudiogramStore(context_.database.Conn())
      .SamePerson(pat_no, record.surname, record.forenames, StoredDate(record.dob));
}

bool OldReleaseImporter::TestExists(const QString& pat_no, const QString& date,
                                    const QString& time) {
  return AudiogramStore(context_.database.Conn()).TestExists(pat_no, TestKey{date, time});
}

}  // namespace sonivera
