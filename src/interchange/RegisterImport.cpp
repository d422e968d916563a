#include "interchange/RegisterImport.h"

#include "base/AppError.h"
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

QString DateBox(const QString& text) {
  const auto date = ParseCsvDate(text);
  if (!date) return kEmptyDateBox;
  return date->isValid() ? date->toString(QStringLiteral("dd/MM/yyyy")) : text;
}

QString TimeBox(const QString& text) {
  const auto time = ParseCsvTime(text);
  if (!time) return kEmptyTimeBox;
  return time->isValid() ? time->toString(QStringLiteral("HH:mm:ss")) : text;
}

}  // namespace

QString ImportSummary::SummaryText() const {
  QString text = QStringLiteral("%1 record(s) added, %2 already stored, %3 rejected")
                     .arg(added)
                     .arg(existing)
                     .arg(rejected);
  if (cp1252_lines > 0) {
    text += QStringLiteral(", %1 line(s) read as Windows-1252").arg(cp1252_lines);
  }
  if (stopped) text += QStringLiteral(" (stopped)");
  return text;
}

void FillEntries(const CsvRecord& r, CsvLayout layout, EntryFields& e) {
  e.TextField0 = r[kCsvPatNo];
  e.Surname = r[kCsvSurname];
  e.Forenames = r[kCsvForenames];
  e.MBoxDate[kBoxDateofTest] = DateBox(r[kCsvLastTest]);
  e.MBoxDate[kBoxTimeofTest] = TimeBox(r[kCsvTimeofTest]);
  e.MBoxDate[kBoxPreviousTest] = DateBox(r[kCsvPreviousTest]);
  e.MBoxDOB = DateBox(r[kCsvDOB]);
  e.Categorisation = r[kCsvCategorisation];
  e.ComboDetails[kComboPositionRank] = r[kCsvPositionRank];
  e.ComboDetails[kComboDeptUnit] = r[kCsvDeptUnit];
  e.ComboDetails[kComboCompany] = r[kCsvCompany];
  e.ComboDetails[kComboLocation] = r[kCsvLocation];
  const auto male = ParseSexIsMale(r[kCsvSex]);
  e.OptionMale = male.has_value() && *male;
  e.OptionFemale = male.has_value() && !*male;
  e.ComboDetails[kComboExaminer] = r[kCsvExaminer];
  e.MBoxDate[kBoxRecallDate] = DateBox(r[kCsvRecallDate]);
  e.ComboDetails[kComboStatus] = r[kCsvStatus];
  e.MBoxDate[kBoxDateJoined] = DateBox(r[kCsvDateJoined]);
  e.MBoxDate[kBoxDateLeft] = DateBox(r[kCsvDateLeft]);
  e.ComboDetails[kComboLeavingReason] = r[kCsvLeavingReason];
  e.ServiceLength = r[kCsvServiceLength];
  e.TestType = r[kCsvTestType];
  e.SerialNo = r[kCsvSerialNo];
  e.MBoxDate[kBoxCalibrated] = DateBox(r[kCsvCalibrated]);
  e.ComboDetails[kComboF1] = r[kCsvF1];
  e.ComboDetails[kComboF2] = r[kCsvF2];
  e.ComboDetails[kComboF3] = r[kCsvF3];
  e.TextNotes = r[kCsvNotes];
  for (int i = 0; i < kAddressLineCount; ++i) e.Address[i] = r[kCsvAddress1 + i];
  for (int i = 0; i < kCsvEarValues; ++i) {
    e.Text1[i] = r[kCsvLeft250 + i];
    e.Text1[kCsvEarValues + i] = r[kCsvRight250 + i];
  }
  for (int i = 0; i < kCsvQuestions; ++i) {
    e.QuestionCodes[i] = r.has_answers ? r.codes[i].toInt() : 0;
    e.AnswerTexts[i] = r.has_answers ? r.texts[i] : QString();
  }
  const bool extra = layout == CsvLayout::Snv52 && r.has_extra;
  e.Text1[18] = extra ? r.extra[kExtraLeft125] : QString();
  e.Text1[19] = extra ? r.extra[kExtraLeft750] : QString();
  e.Text1[20] = extra ? r.extra[kExtraRight125] : QString();
  e.Text1[21] = extra ? r.extra[kExtraRight750] : QString();
}

RegisterImporter::RegisterImporter(Application& app, RecordEditor& editor, Register* reg)
    : app_(app), editor_(editor), register_(reg) {}

RegisterImporter::~RegisterImporter() = default;

ImportSummary RegisterImporter::importfile(const QString& file_name) {
  if (file_name.compare(QLatin1String("veldata.csv"), Qt::CaseInsensitive) == 0) {
    return ImportPath(app_.Folder().File(QStringLiteral("veldata.csv")));
  }
  FileDialogSpec spec;
  spec.title = QStringLiteral("Import File");
  spec.filter = QStringLiteral(" Exported file | *.csv");
  spec.initial_dir = app_.Folder().Path();
  spec.path_must_exist = true;
  const auto chosen = app_.Ask().OpenFile(spec);
  if (!chosen) return {};
  return ImportPath(*chosen);
}

ImportSummary RegisterImporter::ImportPath(const QString& path) {
  ImportSummary summary;
  if (path.isEmpty()) return summary;
  // The file stays bytes; each line is decoded as its turn comes.
  const auto file = ReadTextFileSpans(path);
  if (!file) {
    summary.refused = true;
    app_.Reporter().ShowAndLog(Msg(954) +
                               QStringLiteral("Could not read the file '%1'.").arg(path) +
                               QStringLiteral(" (importfile)"));
    return summary;
  }
  if (file->isEmpty()) return summary;
  const auto layout = DetectHeader(file->Line(0));
  if (!layout) {
    summary.refused = true;
    app_.Ask().Show(Msg(1406), Msg(974), Prompter::Buttons::Ok, Prompter::Answer::Ok,
                    Prompter::Icon::Critical);
    app_.Reporter().log().Append(kLogPrefix +
                                 QStringLiteral("Wrong file format - missing or incorrect header"));
    return summary;
  }
  summary.read = true;
  LineRefusals refusals(app_.Ask(), app_.Reporter().log(), path);
  refusals_ = &refusals;
  BulkRun bulk(app_);
  db::CommitGroups groups(app_.Db().Conn());
  const qsizetype count = file->size();
  auto progress = app_.Ask().StartProgress(QStringLiteral("Importing"), int(count));
  // Line 2 holds the column headings.
  for (qsizetype i = 2; i < count; ++i) {
    if (progress && progress->StopRequested()) app_.State().StopRequested = true;
    if (app_.State().StopRequested) {
      summary.stopped = true;
      break;
    }
    bool cp1252 = false;
    const QString line = file->Line(i, &cp1252);
    if (cp1252) ++summary.cp1252_lines;
    if (line.trimmed().isEmpty()) continue;
    ++summary.lines;
    refusals.StartLine(i + 1);
    const bool complete = i + 1 < count || file->LastLineEnded();
    switch (ImportLine(line, *layout, complete)) {
      case Outcome::Added:
        ++summary.added;
        break;
      case Outcome::Existing:
        ++summary.existing;
        break;
      case Outcome::Rejected:
        ++summary.rejected;
        break;
    }
    groups.LineDone();
    if (progress && (i % 64 == 0 || i + 1 == count)) progress->SetValue(int(i + 1));
  }
  groups.Finish();
  // Statements must not outlive the import: the database may be closed later.
  surname_query_.reset();
  left_query_.reset();
  refusals_ = nullptr;
  if (register_ != nullptr) {
    app_.State().BulkMode = false;
    register_->BuildRegister();
  }
  return summary;
}

RegisterImporter::Outcome RegisterImporter::Reject(const QString& shown, const QString& logged) {
  app_.Ask().Show(shown, Msg(974), Prompter::Buttons::Ok, Prompter::Answer::Ok,
                  Prompter::Icon::Critical);
  refusals_->Log(logged);
  return Outcome::Rejected;
}

RegisterImporter::Outcome RegisterImporter::ImportLine(const QString& line, CsvLayout layout,
                                                       bool complete) {
  ParsedLine parsed = ParseCsvLine(line, layout, complete);
  // Blanks around a patient number are not part of it.
  parsed.record[kCsvPatNo] = parsed.record[kCsvPatNo].trimmed();
  const CsvRecord& r = parsed.record;
  const QString& pat_no = r[kCsvPatNo];
  refusals_->SetPatient(pat_no);
  switch (parsed.problem) {
    case LineProblem::None:
      break;
    case LineProblem::NoPatNo:
      return Reject(Msg(1400), kLogPrefix + QStringLiteral("No pat no specified"));
    case LineProblem::UnclosedQuote: {
      const QString text = QStringLiteral("Categorisation data has wrong format.");
      return Reject(text, kLogPrefix + text + QStringLiteral(" Pat No: ") + pat_no);
    }
    case LineProblem::FieldPositions: {
      const QString text = Msg(1405) + pat_no;
      return Reject(text, kLogPrefix + text + QStringLiteral(" (") + parsed.detail +
                              QStringLiteral(") :1405"));
    }
  }
  try {
    const auto date = ParseCsvDate(r[kCsvLastTest]);
    const auto time = ParseCsvTime(r[kCsvTimeofTest]);
    const bool key_valid = date && date->isValid() && time && time->isValid();
    QString stored_surname;
    const bool found = PatientSurname(pat_no, stored_surname);
    if (found) {
      if (stored_surname.compare(r[kCsvSurname], Qt::CaseInsensitive) != 0) {
        const QString text = Msg(1404) + pat_no;
        return Reject(text, kLogPrefix + text + QStringLiteral(" :1404"));
      }
      if (key_valid && LeftEarRowExists(pat_no, *date, *time)) {
        const QString text =
            Msg(1401) + pat_no + Msg(1402) + r[kCsvLastTest] + Msg(1403) + r[kCsvTimeofTest];
        Reject(text, kLogPrefix + text + QStringLiteral(" :1401"));
        return Outcome::Existing;
      }
    }
    if (!key_valid) {
      // The save judges the date; the log keeps what the file held.
      refusals_->Log(kLogPrefix + Msg(958) + QStringLiteral(" Pat No: ") + pat_no + Msg(1402) +
                     r[kCsvLastTest] + Msg(1403) + r[kCsvTimeofTest] + QStringLiteral(" :958"));
    }
    app_.State().CurrentPatNo = pat_no;
    // The line holds the whole record: nothing carries over from the latest test.
    const bool started = found ? editor_.mnuInsertResults(RecordEditor::Carry::Nothing)
                               : editor_.mnuAddPatient();
    if (!started) {
      editor_.mnuCancel();
      refusals_->Log(kLogPrefix + QStringLiteral("The record could not be started."));
      return Outcome::Rejected;
    }
    FillEntries(r, layout, editor_.Entries());
    if (editor_.mnuPost() == RecordEditor::PostResult::Saved) return Outcome::Added;
    // The save showed why; leave the edit so the next line starts clean.
    refusals_->Log(kLogPrefix + editor_.Refusal());
    editor_.mnuCancel();
    return Outcome::Rejected;
  } catch (const std::exception& error) {
    if (app_.State().EditMode != kBrowsing) editor_.mnuCancel();
    const QString text =
        Msg(954) + QString::fromUtf8(error.what()) + QStringLiteral(" (importfile)");
    return Reject(text, text);
  }
}

bool RegisterImporter::PatientSurname(const QString& pat_no, QString& surname) {
  if (!surname_query_) {
    surname_query_ = std::make_unique<db::Statement>(
        app_.Db().Conn(), QStringLiteral("SELECT Surname FROM PatDetails WHERE PatNo = ?"));
  }
  db::Statement& query = *surname_query_;
  query.Reset();
  query.Bind(1, pat_no);
  const bool found = query.Step();
  if (found) surname = query.Text(0);
  query.Reset();
  return found;
}

bool RegisterImporter::LeftEarRowExists(const QString& pat_no, const QDate& date,
                                        const QTime& time) {
  if (!left_query_) {
    left_query_ = std::make_unique<db::Statement>(
        app_.Db().Conn(), QStringLiteral("SELECT 1 FROM TestResultsLeft WHERE PatNo = ? AND "
                                         "TestDate = ? AND TestTime = ? LIMIT 1"));
  }
  db::Statement& query = *left_query_;
  query.Reset();
  query.Bind(1, pat_no)
      .Bind(2, date.toString(QStringLiteral("yyyy-MM-dd")))
      .Bind(3, time.toString(QStringLiteral("HH:mm:ss")));
  const bool found = query.Step();
  query.Reset();
  return found;
}

}  // namespace sonivera
