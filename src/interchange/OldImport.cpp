#include "interchange/OldImport.h"

#include <QDir>

#include "app/Application.h"
#include "base/Messages.h"
#include "db/Sqlite.h"
#include "interchange/BulkRun.h"
#include "interchange/CsvFile.h"
#include "interchange/LineRefusals.h"
#include "register/EntryFields.h"
#include "register/RecordEditor.h"
#include "register/Register.h"

namespace sonivera {

namespace {
const QString kLogPrefix = QStringLiteral("File Import: ");
// Old records without a time of test are stored at midnight.
const QString kNoTime = QStringLiteral("00:00:00");

QString StoredDate(const QString& text) {
  const auto date = ParseCsvDate(text);
  return date && date->isValid() ? date->toString(QStringLiteral("yyyy-MM-dd")) : QString();
}

QString StoredTime(const QString& text) {
  const auto time = ParseCsvTime(text);
  if (!time) return kNoTime;
  return time->isValid() ? time->toString(QStringLiteral("HH:mm:ss")) : QString();
}

QString BoxDate(const QString& stored) {
  return QDate::fromString(stored, QStringLiteral("yyyy-MM-dd"))
      .toString(QStringLiteral("dd/MM/yyyy"));
}
}  // namespace

bool OldReleaseImporter::AskBeforeImport() {
  create_baseline_ =
      app_.Ask().Show(
          QStringLiteral("Create baseline audiogram from previous results contained in oldest "
                         "record?"),
          QStringLiteral("Create Baseline"), Prompter::Buttons::YesNo, Prompter::Answer::No,
          Prompter::Icon::Question) == Prompter::Answer::Yes;
  app_.Ask().Show(QStringLiteral("Make sure the import file is sorted in test date order."),
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
  const auto chosen = app_.Ask().OpenFile(spec);
  if (!chosen || chosen->isEmpty()) return {};
  return ImportPath(kind, *chosen);
}

ImportSummary OldReleaseImporter::ImportPath(Kind kind, const QString& path) {
  ImportSummary summary;
  const auto file = ReadFileLines(path);
  if (!file) {
    summary.refused = true;
    app_.Reporter().ShowAndLog(Msg(954) +
                               QStringLiteral("Could not read the file '%1'.").arg(path) +
                               QStringLiteral(" (mnuimporta3_1)"));
    return summary;
  }
  qsizetype first = 0;
  if (kind == Kind::Csv) {
    if (file->lines.isEmpty() || file->lines.first().trimmed() != kOldCsvHeader) {
      summary.refused = true;
      app_.Ask().Show(QStringLiteral("This is not an Sonivera 3.1 file type."),
                      QStringLiteral("Incompatible File Type"), Prompter::Buttons::Ok,
                      Prompter::Answer::Ok, Prompter::Icon::Exclamation);
      return summary;
    }
    first = 1;
  }
  summary.read = true;
  summary.cp1252_lines = file->cp1252_lines;
  LineRefusals refusals(app_.Ask(), app_.Reporter().log(), path);
  refusals_ = &refusals;
  AppState& state = app_.State();
  const SchemeChecks schemes = state.schemes;
  BulkRun bulk(app_);
  db::CommitGroups groups(app_.Db().Conn());
  if (kind == Kind::Dat) {
    // The old fixed records were categorised by HSE alone.
    state.schemes.CheckHSE = true;
    state.schemes.CheckMP42 = state.schemes.CheckPAM = state.schemes.CheckIPA = false;
  }
  for (qsizetype i = first; i < file->lines.size(); ++i) {
    if (state.StopRequested) {
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
      app_.Ask().Show(text, Msg(974));
      refusals.Log(kLogPrefix + text + QStringLiteral(" (") + parse.problem +
                   QStringLiteral(") :1405"));
    } else {
      try {
        outcome = ImportRecord(*parse.record);
      } catch (const std::exception& error) {
        if (state.EditMode != kBrowsing) editor_.mnuCancel();
        const QString text =
            Msg(954) + QString::fromUtf8(error.what()) + QStringLiteral(" (mnuimporta3_1)");
        app_.Ask().Show(text, Msg(974), Prompter::Buttons::Ok, Prompter::Answer::Ok,
                        Prompter::Icon::Critical);
        refusals.Log(text);
      }
    }
    if (outcome == Outcome::Added) ++summary.added;
    if (outcome == Outcome::Existing) ++summary.existing;
    if (outcome == Outcome::Rejected) ++summary.rejected;
    groups.LineDone();
    if (on_count) on_count(summary.added);
  }
  state.schemes = schemes;
  refusals_ = nullptr;
  if (register_ != nullptr) {
    state.BulkMode = false;
    register_->BuildRegister();
  }
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
    app_.Ask().Show(text, Msg(974));
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
  app_.State().CurrentPatNo = pat_no;
  if (!(is_new ? editor_.mnuAddPatient() : editor_.mnuInsertResults())) {
    editor_.mnuCancel();
    refusals_->Log(kLogPrefix + QStringLiteral("The record could not be started."));
    return false;
  }
  EntryFields& e = editor_.Entries();
  e.TextField0 = pat_no;
  e.Surname = record.surname;
  e.Forenames = record.forenames;
  const auto dob = ParseCsvDate(record.dob);
  e.MBoxDOB = !dob             ? kEmptyDateBox
              : dob->isValid() ? dob->toString(QStringLiteral("dd/MM/yyyy"))
                               : record.dob;
  e.OptionMale = record.sex == QLatin1String("MALE");
  e.OptionFemale = record.sex == QLatin1String("FEMALE");
  e.MBoxDate[kBoxDateofTest] = BoxDate(date);
  e.MBoxDate[kBoxTimeofTest] = time;
  e.ComboDetails[kComboExaminer] = record.examiner;
  e.ComboDetails[kComboCompany] = record.company;
  e.ComboDetails[kComboDeptUnit] = record.dept_unit;
  e.ComboDetails[kComboPositionRank] = record.position_rank;
  for (int i = 0; i < 9; ++i) {
    e.Text1[i] = results.left[i];
    e.Text1[9 + i] = results.right[i];
  }
  for (int i = 18; i < kThresholdBoxCount; ++i) e.Text1[i].clear();
  e.QuestionCodes.fill(0);
  for (auto& text : e.AnswerTexts) text.clear();
  if (editor_.mnuPost() == RecordEditor::PostResult::Saved) return true;
  refusals_->Log(kLogPrefix + editor_.Refusal());
  editor_.mnuCancel();
  return false;
}

std::optional<QString> OldReleaseImporter::StoredSurname(const QString& pat_no) {
  db::Statement query(app_.Db().Conn(), "SELECT Surname FROM PatDetails WHERE PatNo = ?");
  query.Bind(1, pat_no);
  if (!query.Step()) return std::nullopt;
  return query.Text(0);
}

bool OldReleaseImporter::SamePerson(const QString& pat_no, const OldRecord& record) {
  db::Statement query(app_.Db().Conn(),
                      "SELECT 1 FROM PatDetails WHERE PatNo = ? AND Surname = ? AND "
                      "ifnull(Forenames, '') = ? AND ifnull(DOB, '') = ?");
  query.Bind(1, pat_no).Bind(2, record.surname).Bind(3, record.forenames);
  query.Bind(4, StoredDate(record.dob));
  return query.Step();
}

bool OldReleaseImporter::TestExists(const QString& pat_no, const QString& date,
                                    const QString& time) {
  db::Statement query(app_.Db().Conn(),
                      "SELECT 1 FROM TestDetails WHERE PatNo = ? AND DateofTest = ? AND "
                      "TimeofTest = ? LIMIT 1");
  query.Bind(1, pat_no).Bind(2, date).Bind(3, time);
  return query.Step();
}

}  // namespace sonivera
