#include "vision/VisionCsv.h"

#include <QSaveFile>
#include <utility>

#include "base/AppError.h"
#include "base/LineRefusals.h"
#include "base/Messages.h"
#include "base/TextFiles.h"
#include "db/Database.h"
#include "db/Sqlite.h"
#include "interchange/CsvLayout.h"
#include "register/EntryFields.h"
#include "register/RecordDisplay.h"
#include "vision/VisionEditor.h"

namespace sonivera::vision {

namespace {

const QString kImportLog = QStringLiteral("File Import: ");
const QString kExportProcedure = QStringLiteral("exportregisterascsv");
const QString kImportTag = ErrorTag(QStringLiteral("Vimportfile"), kNoMessage);

// The register columns written as columns 1 to 19 (all but Categorisation),
// and which of them are dates.
constexpr int kRegisterColumnsWritten[] = {0,  1,  2,  3,  4,  5,  6,  8,  9, 10,
                                           11, 12, 13, 14, 15, 16, 17, 18, 19};
bool IsDateColumn(int register_column) {
  switch (register_column) {
    case 3:   // Last Test
    case 5:   // Previous Test
    case 6:   // Date of Birth
    case 14:  // Recall Date
    case 16:  // Date Joined
    case 17:  // Date Left
      return true;
    default:
      return false;
  }
}

// The answers columns after the coded results, in table order.
const char* const kAnswerNames[] = {"Glasses",    "GlassesType", "Contacts",
                                    "ChangeinRX", "LastExam",    "Refer"};
constexpr int kCodedCount = 34;

QString BoolText(bool value) { return value ? QStringLiteral("True") : QStringLiteral("False"); }

// A value as the file can carry it: no comma, no line break.
QString FileValue(const QString& value) {
  QString text = value;
  text.replace(u',', u';');
  text.replace(QLatin1String("\r\n"), QLatin1String(" "));
  text.replace(u'\n', u' ').replace(u'\r', u' ');
  return text;
}

// "True"/"False" in any case, or a number (0 false, any other true).
std::optional<bool> ParseBool(const QString& text) {
  const QString t = text.trimmed();
  if (t.isEmpty() || t.compare(QLatin1String("false"), Qt::CaseInsensitive) == 0) return false;
  if (t.compare(QLatin1String("true"), Qt::CaseInsensitive) == 0) return true;
  bool ok = false;
  const double number = t.toDouble(&ok);
  if (!ok) return std::nullopt;
  return number != 0;
}

// A date field: empty stays empty, a valid date comes as dd/mm/yyyy; nullopt
// for a field that is no date.
std::optional<QString> DateField(const QString& text) {
  const auto date = ParseCsvDate(text);
  if (!date) return kEmptyDateBox;
  if (!date->isValid()) return std::nullopt;
  return date->toString(QStringLiteral("dd/MM/yyyy"));
}

std::optional<QString> TimeField(const QString& text) {
  const auto time = ParseCsvTime(text);
  if (!time) return kEmptyTimeBox;
  if (!time->isValid()) return std::nullopt;
  return time->toString(QStringLiteral("HH:mm:ss"));
}

}  // namespace

const QString& VisionCsvHeader() {
  static const QString header = QStringLiteral("[Vision/5 Format]");
  return header;
}

const QString& VisionCsvHeading() {
  static const QString heading =
      QStringLiteral(
          "Pat No,Surname,Forenames,Last Test,Time of Test,Previous Test,Date of Birth,") +
      QStringLiteral("Position/Rank,Dept/Unit,Company,Location,Sex,Examiner,") +
      QStringLiteral(
          "Recall Data,Status,Date Joined,Date Left,Leaving Reason,Length of "
          "Service,Test Type,Serial No.,") +
      QStringLiteral("F1,F2,F3,Notes,Address1,Address2,Address3,Address4,Address5,Address6,") +
      QStringLiteral(
          "FarBinoc,FarBoth,FarRight,FarLeft,FarDepthTest,FarColourAa,FarColourAb,"
          "FarColourB,FarColourCa,FarColourCb,FarColourD,FarColourEa,FarColourEb,"
          "FarColourF,FarVertical,FarLateral,NearBinoc,") +
      QStringLiteral(
          "NearBoth,NearRight,NearLeft,NearVertical,NearLateral,IntTestDistance,"
          "IntBoth,IntRight,IntLeft,PR85,PR70,PR55,PRN45,PL85,PL70,PL55,PLN45,"
          "Glasses,GlassesType,Contacts,ChangeinRX,LastExam,Refer");
  return heading;
}

std::optional<QStringList> VisionCsvValues(VisionStore& store, const VisionRegisterRow& row) {
  QStringList values;
  for (int column : kRegisterColumnsWritten) {
    const QString value = row.values.value(column);
    values << (IsDateColumn(column) ? CsvDateText(value) : value);
  }
  const QString& pat_no = row.values.value(0);
  const TestKey key{row.values.value(3), row.values.value(4)};
  const auto header = store.ReadHeader(pat_no, key);
  if (!header) return std::nullopt;
  values << header->TestType << header->SerialNo << header->F1 << header->F2 << header->F3
         << header->Notes;
  for (const QString& line : store.AddressAt(pat_no, key)) values << line;
  const auto results = store.ReadResults(pat_no, key);
  const VisionStore::StoredResults stored = results.value_or(VisionStore::StoredResults{});
  for (const ResultColumn& column : ResultColumns()) {
    const int value = ColumnValue(stored.coded, column.name).value_or(0);
    values << (column.boolean ? BoolText(value != 0) : QString::number(value));
  }
  const VisionAnswers& a = stored.answers;
  values << BoolText(a.Glasses) << a.GlassesType << BoolText(a.Contacts) << BoolText(a.ChangeinRX)
         << CsvDateText(a.LastExam) << BoolText(a.Refer);
  return values;
}

QString VisionCsvLine(const QStringList& values) {
  QString line;
  for (const QString& value : values) line += FileValue(value) + u',';
  return line;
}

VisionExportOutcome WriteVisionCsv(db::Connection& connection, Prompter& prompter,
                                   const ErrorLog& log, const QString& path,
                                   const std::vector<VisionRegisterRow>& rows) {
  VisionExportOutcome outcome;
  ErrorReporter reporter(prompter, log);
  try {
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) {
      throw AppError(errnum::kPathNotFound, file.errorString());
    }
    QByteArray text =
        (VisionCsvHeader() + QStringLiteral("\r\n") + VisionCsvHeading() + QStringLiteral("\r\n"))
            .toUtf8();
    if (rows.empty()) {
      prompter.Show(QStringLiteral("No data available to export"), Msg(974));
      file.write(text);
      file.commit();
      return outcome;
    }
    VisionStore store(connection);
    for (const VisionRegisterRow& row : rows) {
      const auto values = VisionCsvValues(store, row);
      if (!values) continue;  // deleted since the register was read
      text += VisionCsvLine(*values).toUtf8() + "\r\n";
      ++outcome.lines;
    }
    if (file.write(text) != text.size() || !file.commit()) {
      throw AppError(errnum::kPermissionDenied, file.errorString());
    }
    outcome.written = true;
  } catch (const AppError& error) {
    reporter.Report(error.Description(), error.Number(), kExportProcedure);
  } catch (const db::SqliteError& error) {
    reporter.Report(QString::fromUtf8(error.what()), errnum::kDatabaseError, kExportProcedure);
  }
  return outcome;
}

VisionExportOutcome ExportVisionRegister(db::Connection& connection, Prompter& prompter,
                                         const ErrorLog& log, const QString& initial_dir,
                                         const std::vector<VisionRegisterRow>& rows) {
  FileDialogSpec spec;
  spec.title = QStringLiteral("Export");
  spec.filter = QStringLiteral(" Exported file | *.csv");
  spec.default_suffix = QStringLiteral(".csv");
  spec.initial_name = QStringLiteral("ExportVisionData.csv");
  spec.initial_dir = initial_dir;
  spec.overwrite_prompt = true;
  const auto chosen = prompter.SaveFile(spec);
  if (!chosen || chosen->isEmpty()) return {};
  return WriteVisionCsv(connection, prompter, log, *chosen, rows);
}

QString VisionImportSummary::SummaryText() const {
  return QStringLiteral("%1 vision test(s) added, %2 already stored, %3 refused")
      .arg(added)
      .arg(existing)
      .arg(rejected);
}

VisionImporter::VisionImporter(VisionEditor& editor, Prompter& prompter, ErrorLog log)
    : editor_(editor), prompter_(prompter), log_(std::move(log)) {}

VisionImportSummary VisionImporter::ChooseAndImport(const QString& initial_dir) {
  FileDialogSpec spec;
  spec.title = QStringLiteral("Import File");
  spec.filter = QStringLiteral(" Exported file | *.csv");
  spec.initial_dir = initial_dir;
  spec.path_must_exist = true;
  const auto chosen = prompter_.OpenFile(spec);
  if (!chosen || chosen->isEmpty()) return {};
  return ImportFile(*chosen);
}

VisionImportSummary VisionImporter::ImportFile(const QString& path) {
  VisionImportSummary summary;
  const auto file = ReadTextFile(path);
  if (!file) {
    summary.refused = true;
    ErrorReporter(prompter_, log_)
        .ShowAndLog(UnnumberedErrorText(QStringLiteral("Could not read the file '%1'.").arg(path),
                                        kImportTag));
    return summary;
  }
  if (file->lines.isEmpty() || !file->lines.first().startsWith(VisionCsvHeader())) {
    summary.refused = true;
    prompter_.Show(Msg(1406), Msg(974), Prompter::Buttons::Ok, Prompter::Answer::Ok,
                   Prompter::Icon::Critical);
    log_.Append(kImportLog +
                QStringLiteral("Wrong file format - not Vision data or missing/incorrect header"));
    return summary;
  }
  summary.read = true;
  // The window is redrawn once, when the register is rebuilt after the run.
  const auto on_changed = std::exchange(editor_.on_changed, nullptr);
  const auto on_show_page = std::exchange(editor_.on_show_page, nullptr);
  LineRefusals refusals(prompter_, log_, path);
  auto progress = prompter_.StartProgress(QStringLiteral("Importing"), int(file->lines.size()));
  // Each line is a savepoint inside groups of lines committed together.
  db::CommitGroups groups(editor_.Database().Conn());
  // Line 2 holds the column names.
  for (qsizetype i = 2; i < file->lines.size(); ++i) {
    const QString& line = file->lines[i];
    if (line.trimmed().isEmpty()) continue;
    ++summary.lines;
    refusals.StartLine(i + 1);
    summary.Count(ImportLine(line, refusals));
    groups.LineDone();
    if (progress && i % 64 == 0) progress->SetValue(int(i));
  }
  groups.Finish();
  editor_.on_changed = on_changed;
  editor_.on_show_page = on_show_page;
  return summary;
}

VisionImporter::Outcome VisionImporter::Refuse(const QString& shown, const QString& logged,
                                               LineRefusals& refusals) {
  prompter_.Show(shown, Msg(974), Prompter::Buttons::Ok, Prompter::Answer::Ok,
                 Prompter::Icon::Critical);
  refusals.Log(logged);
  return Outcome::Rejected;
}

VisionImporter::Outcome VisionImporter::ImportLine(const QString& line, LineRefusals& refusals) {
  const QStringList fields = line.split(u',');
  const QString pat_no = fields.value(kVcPatNo).trimmed();
  // A damaged line may hold thousands of characters before its first comma:
  // messages and the log show the start of it.
  const QString shown_no = pat_no.size() > 40 ? pat_no.left(40) + QStringLiteral("...") : pat_no;
  refusals.SetPatient(shown_no);
  if (pat_no.isEmpty()) {
    return Refuse(Msg(1400), QStringLiteral("VImport: No pat no specified"), refusals);
  }
  auto format_error = [&](const QString& detail) {
    const QString text = Msg(1405) + shown_no;
    return Refuse(text,
                  kImportLog + text + QStringLiteral(" (") + detail + QStringLiteral(") :1405"),
                  refusals);
  };
  if (fields.size() < kVisionCsvColumns) {
    return format_error(
        QStringLiteral("%1 of %2 fields").arg(fields.size()).arg(kVisionCsvColumns));
  }
  auto date_error = [&](int column) {
    const QString text = Msg(958);
    return Refuse(text,
                  QStringLiteral("VFile Import: ") + text + QStringLiteral(" Pat No: ") + shown_no +
                      QStringLiteral(", ") + VisionCsvHeading().section(u',', column, column) +
                      QStringLiteral(" '") + fields[column].left(40) + QStringLiteral("' :958"),
                  refusals);
  };
  try {
    VisionStore store(editor_.Database().Conn());
    EntryFields known;
    const bool found = LoadPatientEntries(editor_.Database().Conn(), pat_no, known);
    if (found && known.Surname != fields[kVcSurname]) {
      const QString text = Msg(1404) + shown_no;
      return Refuse(text, kImportLog + text + QStringLiteral(" :1404"), refusals);
    }
    const auto date = DateField(fields[kVcLastTest]);
    const auto time = TimeField(fields[kVcTimeofTest]);
    if (!date) return date_error(kVcLastTest);
    if (!time) return date_error(kVcTimeofTest);
    const auto test_date = ParseCsvDate(fields[kVcLastTest]);
    const auto test_time = ParseCsvTime(fields[kVcTimeofTest]);
    if (found && test_date && test_time &&
        store.TestExists(pat_no, {StoredDateText(*test_date), StoredTimeText(*test_time)})) {
      const QString text = Msg(1401) + shown_no + Msg(1402) + fields[kVcLastTest];
      Refuse(text, kImportLog + text + QStringLiteral(" :1401"), refusals);
      return Outcome::Existing;
    }

    // The fields as the window's entries take them.
    EntryFields e;
    e.PatNo = pat_no;
    e.Surname = fields[1];
    e.Forenames = fields[2];
    const std::pair<int, int> date_boxes[] = {
        {5, kBoxPreviousTest}, {13, kBoxRecallDate}, {15, kBoxDateJoined}, {16, kBoxDateLeft}};
    e.Dates[kBoxDateofTest] = *date;
    e.Dates[kBoxTimeofTest] = *time;
    for (const auto& [column, box] : date_boxes) {
      const auto value = DateField(fields[column]);
      if (!value) return date_error(column);
      e.Dates[box] = *value;
    }
    const auto dob = DateField(fields[6]);
    if (!dob) return date_error(6);
    e.DOB = *dob;
    e.Details[kComboPositionRank] = fields[7];
    e.Details[kComboDeptUnit] = fields[8];
    e.Details[kComboCompany] = fields[9];
    e.Details[kComboLocation] = fields[10];
    const QString sex = fields[11].trimmed().toUpper();
    e.OptionMale = sex.startsWith(u'M');
    e.OptionFemale = sex.startsWith(u'F');
    e.Details[kComboExaminer] = fields[12];
    e.Details[kComboStatus] = fields[14];
    e.Details[kComboLeavingReason] = fields[17];
    e.ServiceLength = fields[18];
    e.TestType = fields[kVcTestType];
    e.SerialNo = fields[kVcTestType + 1];
    e.Details[kComboF1] = fields[kVcTestType + 2];
    e.Details[kComboF2] = fields[kVcTestType + 3];
    e.Details[kComboF3] = fields[kVcTestType + 4];
    e.Notes = fields[kVcTestType + 5];
    for (int i = 0; i < kAddressLineCount; ++i) e.Address[i] = fields[kVcAddress1 + i];

    CodedResults coded;
    const auto& columns = ResultColumns();
    for (int i = 0; i < int(columns.size()); ++i) {
      const QString& text = fields[kVcResults + i];
      const ResultColumn& column = columns[i];
      int value = 0;
      if (column.name.startsWith(QLatin1String("PR")) ||
          column.name.startsWith(QLatin1String("PL"))) {
        value = text.trimmed().toUpper() == QLatin1String("TRUE") ? 1 : 0;
      } else if (column.boolean) {
        const auto flag = ParseBool(text);
        if (!flag) return format_error(column.name + QStringLiteral(" '") + text.left(40) + u'\'');
        value = *flag ? 1 : 0;
      } else {
        bool ok = text.trimmed().isEmpty();
        if (!ok) value = text.trimmed().toInt(&ok);
        if (!ok || !SetColumnValue(coded, column.name, value)) {
          return format_error(column.name + QStringLiteral(" '") + text.left(40) + u'\'');
        }
      }
      SetColumnValue(coded, column.name, value);
    }
    const int a = kVcResults + kCodedCount;
    VisionAnswerFields answers;
    std::optional<bool> flags[4];
    const int flag_columns[4] = {a, a + 2, a + 3, a + 5};
    for (int i = 0; i < 4; ++i) {
      flags[i] = ParseBool(fields[flag_columns[i]]);
      if (!flags[i]) {
        const int column = flag_columns[i] - a;
        return format_error(QLatin1String(kAnswerNames[column]) + QStringLiteral(" '") +
                            fields[flag_columns[i]].left(40) + u'\'');
      }
    }
    auto yes_no = [](bool value) { return value ? YesNo::Yes : YesNo::No; };
    answers.glasses = yes_no(*flags[0]);
    answers.contacts = yes_no(*flags[1]);
    answers.change_in_rx = yes_no(*flags[2]);
    answers.referred = yes_no(*flags[3]);
    answers.glasses_type = fields[a + 1];
    const auto last_exam = DateField(fields[a + 4]);
    if (!last_exam) return date_error(a + 4);
    answers.last_exam = *last_exam;

    // Begin the test as Insert Vision or Add a Patient does, then save it.
    bool started = false;
    if (found) {
      editor_.ChoosePatient(pat_no);
      started = editor_.InsertVision();
    } else {
      started = editor_.AddPatient();
    }
    if (!started) {
      if (editor_.Editing()) editor_.Cancel();
      refusals.Log(kImportLog + QStringLiteral("The vision test could not be started."));
      return Outcome::Rejected;
    }
    e.Dates[kBoxCalibrated] = kEmptyDateBox;
    editor_.Details() = e;
    editor_.Answers() = answers;
    editor_.Entry().BeginEdit(coded);
    if (editor_.Save(true) == VisionEditor::SaveResult::Saved) return Outcome::Added;
    // The save showed why; leave the edit so that the next line starts clean.
    editor_.Cancel();
    refusals.Log(kImportLog + QStringLiteral("The vision test was not saved."));
    return Outcome::Rejected;
  } catch (const std::exception& error) {
    if (editor_.Editing()) editor_.Cancel();
    const QString text = UnnumberedErrorText(QString::fromUtf8(error.what()), kImportTag);
    return Refuse(text, text, refusals);
  }
}

}  // namespace sonivera::vision
