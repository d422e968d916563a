#include "interchange/RegisterImport.h"

#include "base/AppError.h"
#include "base/DateText.h"
#include "base/ErrorLog.h"
#include "base/Messages.h"
#include "base/ProgramFolder.h"
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
const QString kImportTag = ErrorTag(QStringLiteral("importfile"), kNoMessage);

QString DateBox(const QString& text) {
  const auto date = ParseCsvDate(text);
  if (!date) return kEmptyDateBox;
  return date->isValid() ? DayMonthYearText(*date) : text;
}

QString TimeBox(const QString& text) {
  const auto time = ParseCsvTime(text);
  if (!time) return kEmptyTimeBox;
  return time->isValid() ? StoredTimeText(*time) : text;
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
  e.PatNo = r[kCsvPatNo];
  e.Surname = r[kCsvSurname];
  e.Forenames = r[kCsvForenames];
  e.Dates[kBoxDateofTest] = DateBox(r[kCsvLastTest]);
  e.Dates[kBoxTimeofTest] = TimeBox(r[kCsvTimeofTest]);
  e.Dates[kBoxPreviousTest] = DateBox(r[kCsvPreviousTest]);
  e.DOB = DateBox(r[kCsvDOB]);
  e.Categorisation = r[kCsvCategorisation];
  e.Details[kComboPositionRank] = r[kCsvPositionRank];
  e.Details[kComboDeptUnit] = r[kCsvDeptUnit];
  e.Details[kComboCompany] = r[kCsvCompany];
  e.Details[kComboLocation] = r[kCsvLocation];
  const auto male = ParseSexIsMale(r[kCsvSex]);
  e.OptionMale = male.has_value() && *male;
  e.OptionFemale = male.has_value() && !*male;
  e.Details[kComboExaminer] = r[kCsvExaminer];
  e.Dates[kBoxRecallDate] = DateBox(r[kCsvRecallDate]);
  e.Details[kComboStatus] = r[kCsvStatus];
  e.Dates[kBoxDateJoined] = DateBox(r[kCsvDateJoined]);
  e.Dates[kBoxDateLeft] = DateBox(r[kCsvDateLeft]);
  e.Details[kComboLeavingReason] = r[kCsvLeavingReason];
  e.ServiceLength = r[kCsvServiceLength];
  e.TestType = r[kCsvTestType];
  e.SerialNo = r[kCsvSerialNo];
  e.Dates[kBoxCalibrated] = DateBox(r[kCsvCalibrated]);
  e.Details[kComboF1] = r[kCsvF1];
  e.Details[kComboF2] = r[kCsvF2];
  e.Details[kComboF3] = r[kCsvF3];
  e.Notes = r[kCsvNotes];
  for (int i = 0; i < kAddressLineCount; ++i) e.Address[i] = r[kCsvAddress1 + i];
  for (int i = 0; i < kCsvEarValues; ++i) {
    e.Thresholds[i] = r[kCsvLeft250 + i];
    e.Thresholds[kCsvEarValues + i] = r[kCsvRight250 + i];
  }
  for (int i = 0; i < kCsvQuestions; ++i) {
    e.QuestionCodes[i] = r.has_answers ? r.codes[i].toInt() : 0;
    e.AnswerTexts[i] = r.has_answers ? r.texts[i] : QString();
  }
  const bool extra = layout == CsvLayout::Snv52 && r.has_extra;
  e.Thresholds[18] = extra ? r.extra[kExtraLeft125] : QString();
  e.Thresholds[19] = extra ? r.extra[kExtraLeft750] : QString();
  e.Thresholds[20] = extra ? r.extra[kExtraRight125] : QString();
  e.Thresholds[21] = extra ? r.extra[kExtraRight750] : QString();
}

RegisterImporter::RegisterImporter(ImportContext context) : context_(context) {}

RegisterImporter::~RegisterImporter() = default;

ImportSummary RegisterImporter::ChooseAndImport(const QString& file_name) {
  if (file_name.compare(QLatin1String("veldata.csv"), Qt::CaseInsensitive) == 0) {
    return ImportFile(context_.folder.File(QStringLiteral("veldata.csv")));
  }
  FileDialogSpec spec;
  spec.title = QStringLiteral("Import File");
  spec.filter = QStringLiteral(" Exported file | *.csv");
  spec.initial_dir = context_.folder.Path();
  spec.path_must_exist = true;
  const auto chosen = context_.reporter.prompter().OpenFile(spec);
  if (!chosen) return {};
  return ImportFile(*chosen);
}

ImportSummary RegisterImporter::ImportFile(const QString& path) {
  ImportSummary summary;
  if (path.isEmpty()) return summary;
  // The file stays bytes; each line is decoded as its turn comes.
  const auto file = ReadTextFileSpans(path);
  if (!file) {
    summary.refused = true;
    context_.reporter.ShowAndLog(
        UnnumberedErrorText(QStringLiteral("Could not read the file '%1'.").arg(path), kImportTag));
    return summary;
  }
  if (file->isEmpty()) return summary;
  const auto layout = DetectHeader(file->Line(0));
  if (!layout) {
    summary.refused = true;
    context_.reporter.prompter().Show(Msg(1406), Msg(974), Prompter::Buttons::Ok,
                                      Prompter::Answer::Ok, Prompter::Icon::Critical);
    context_.reporter.log().Append(
        kLogPrefix + QStringLiteral("Wrong file format - missing or incorrect header"));
    return summary;
  }
  summary.read = true;
  LineRefusals refusals(context_.reporter.prompter(), context_.reporter.log(), path);
  refusals_ = &refusals;
  BulkRun bulk(context_.editor, context_.database);
  db::CommitGroups groups(context_.database.Conn());
  stop_requested_ = false;
  const qsizetype count = file->size();
  auto progress =
      context_.reporter.prompter().StartProgress(QStringLiteral("Importing"), int(count));
  // Line 2 holds the column headings.
  for (qsizetype i = 2; i < count; ++i) {
    if (progress && progress->StopRequested()) stop_requested_ = true;
    if (stop_requested_) {
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
    summary.Count(ImportLine(line, *layout, complete));
    groups.LineDone();
    if (progress && (i % 64 == 0 || i + 1 == count)) progress->SetValue(int(i + 1));
  }
  groups.Finish();
  // Statements must not outlive the import: the database may be closed later.
  lookups_.reset();
  refusals_ = nullptr;
  stop_requested_ = false;
  bulk.EndAndShow(context_.reg);
  return summary;
}

RegisterImporter::Outcome RegisterImporter::Reject(const QString& shown, const QString& logged) {
  context_.reporter.prompter().Show(shown, Msg(974), Prompter::Buttons::Ok, Prompter::Answer::Ok,
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
    }
    if (!key_valid) {
      // The save judges the date; the log keeps what the file held.
      refusals_->Log(kLogPrefix + Msg(958) + QStringLiteral(" Pat No: ") + pat_no + Msg(1402) +
                     r[kCsvLastTest] + Msg(1403) + r[kCsvTimeofTest] + QStringLiteral(" :958"));
    }
    RecordEditor& editor = context_.editor;
    // The line holds the whole record: nothing carries over from the latest test.
    const bool started = found ? editor.InsertAudiogram(pat_no, RecordEditor::Carry::Nothing)
                               : editor.AddPatient();
    if (!started) {
      editor.Cancel();
      refusals_->Log(kLogPrefix + QStringLiteral("The record could not be started."));
      return Outcome::Rejected;
    }
    FillEntries(r, layout, editor.Entries());
    const RecordEditor::SaveResult result = editor.Save();
    if (result == RecordEditor::SaveResult::Saved) return Outcome::Added;
    const QString refusal = editor.Refusal();
    // Leave the edit so that the next line starts clean.
    editor.Cancel();
    if (result == RecordEditor::SaveResult::Duplicate) {
      // The save found the test stored already; the file's own texts tell which.
      const QString text =
          Msg(1401) + pat_no + Msg(1402) + r[kCsvLastTest] + Msg(1403) + r[kCsvTimeofTest];
      Reject(text, kLogPrefix + text + QStringLiteral(" :1401"));
      return Outcome::Existing;
    }
    // The save showed why.
    refusals_->Log(kLogPrefix + refusal);
    return Outcome::Rejected;
  } catch (const std::exception& error) {
    if (context_.editor.Editing()) context_.editor.Cancel();
    const QString text = UnnumberedErrorText(QString::fromUtf8(error.what()), kImportTag);
    return Reject(text, text);
  }
}

bool RegisterImporter::PatientSurname(const QString& pat_no, QString& surname) {
  if (!lookups_) lookups_ = std::make_unique<AudiogramStore>(context_.database.Conn());
  const auto stored = lookups_->Surname(pat_no);
  if (stored) surname = *stored;
  return stored.has_value();
}

}  // namespace sonivera
