#include "interchange/RegisterExport.h"

#include <QSaveFile>
#include <algorithm>
#include <tuple>

#include "base/AppError.h"
#include "base/ErrorLog.h"
#include "base/Messages.h"
#include "base/ProgramFolder.h"
#include "db/Database.h"
#include "db/Sqlite.h"
#include "register/AudiogramStore.h"
#include "register/Register.h"
#include "register/StoredTestQueries.h"

namespace sonivera {

static_assert(kCsvNotes + 1 == StoredTestReader::kHeaderColumns);
static_assert(kCsvEarValues + 2 == StoredTestReader::kEarColumns);
static_assert(kCsvQuestions == kQuestionCount);

ExportReader::ExportReader(db::Connection& connection)
    : reader_(std::make_unique<StoredTestReader>(connection)) {}

ExportReader::~ExportReader() = default;

std::optional<CsvRecord> ExportReader::Read(const RegisterRowKey& row) {
  const StoredTestKey key{row.pat_no, row.date, row.time};
  const auto header = reader_->Header(key);
  if (!header) return std::nullopt;
  CsvRecord record;
  for (int i = 0; i <= kCsvNotes; ++i) record.values[i] = header->at(i);
  for (int column : {kCsvLastTest, kCsvPreviousTest, kCsvDOB, kCsvRecallDate, kCsvDateJoined,
                     kCsvDateLeft, kCsvCalibrated}) {
    record.values[column] = CsvDateText(record.values[column]);
  }
  if (const auto address = reader_->Address(key)) {
    for (int i = 0; i < 6; ++i) record.values[kCsvAddress1 + i] = (*address)[i];
  }
  auto read_ear = [&](const std::optional<QStringList>& ear, int first_column, int extra_125,
                      int extra_750) {
    if (!ear) return;
    for (int i = 0; i < kCsvEarValues; ++i) record.values[first_column + i] = ear->at(i);
    record.extra[extra_125] = ear->at(kCsvEarValues);
    record.extra[extra_750] = ear->at(kCsvEarValues + 1);
    record.has_extra = true;
  };
  read_ear(reader_->LeftEar(key), kCsvLeft250, kExtraLeft125, kExtraLeft750);
  read_ear(reader_->RightEar(key), kCsvRight250, kExtraRight125, kExtraRight750);
  if (const auto answers = reader_->Answers(key)) {
    record.has_answers = true;
    for (int i = 0; i < kCsvQuestions; ++i) {
      record.codes[i] = answers->code_texts[i];
      record.texts[i] = answers->texts[i];
    }
  }
  return record;
}

CsvRecord CsvRecordFrom(const AudiogramRecord& a) {
  CsvRecord r;
  r[kCsvPatNo] = a.patient.PatNo;
  r[kCsvSurname] = a.patient.Surname;
  r[kCsvForenames] = a.patient.Forenames;
  r[kCsvLastTest] = CsvDateText(a.key.date);
  r[kCsvTimeofTest] = a.key.time;
  r[kCsvPreviousTest] = CsvDateText(a.PreviousTest);
  r[kCsvDOB] = CsvDateText(a.patient.DOB);
  r[kCsvCategorisation] = a.Categorisation;
  r[kCsvPositionRank] = a.PositionRank;
  r[kCsvDeptUnit] = a.DeptUnit;
  r[kCsvCompany] = a.Company;
  r[kCsvLocation] = a.Location;
  r[kCsvSex] = a.patient.Sex;
  r[kCsvExaminer] = a.Examiner;
  r[kCsvRecallDate] = CsvDateText(a.RecallDate);
  r[kCsvStatus] = a.EmploymentStatus;
  r[kCsvDateJoined] = CsvDateText(a.DateJoined);
  r[kCsvDateLeft] = CsvDateText(a.DateLeft);
  r[kCsvLeavingReason] = a.LeavingReason;
  r[kCsvServiceLength] = a.ServiceLengthText;
  r[kCsvTestType] = a.TestType;
  r[kCsvSerialNo] = a.SerialNo;
  r[kCsvCalibrated] = CsvDateText(a.Calibrated);
  r[kCsvF1] = a.F1;
  r[kCsvF2] = a.F2;
  r[kCsvF3] = a.F3;
  r[kCsvNotes] = a.Notes;
  for (int i = 0; i < 6; ++i) r[kCsvAddress1 + i] = a.address[i];
  // kThresholdFields: 125, 250, 500, 1k, 1.5k, 2k, 3k, 4k, 6k, 8k, 750.
  for (int i = 0; i < kCsvEarValues; ++i) {
    r[kCsvLeft250 + i] = a.left[i + 1];
    r[kCsvRight250 + i] = a.right[i + 1];
  }
  r.has_extra = true;
  r.extra = {a.left[0], a.left[10], a.right[0], a.right[10]};
  r.has_answers = true;
  for (int i = 0; i < kCsvQuestions; ++i) {
    r.codes[i] = QString::number(a.codes[i]);
    r.texts[i] = a.texts[i];
  }
  return r;
}

namespace {
// Appends the query's rows to `rows`; a database error ends it with a throw.
void AppendRows(db::Connection& connection, const SqlQuery& query,
                std::vector<RegisterRowKey>& rows) {
  db::Statement statement(connection, query.sql);
  for (int i = 0; i < query.params.size(); ++i) statement.Bind(i + 1, query.params[i]);
  while (statement.Step()) {
    rows.push_back(
        {statement.Text(kColPatNo), statement.Text(kColLastTest), statement.Text(kColTimeofTest)});
  }
}
}  // namespace

std::vector<RegisterRowKey> RegisterRows(db::Connection& connection, const SqlQuery& query) {
  std::vector<RegisterRowKey> rows;
  AppendRows(connection, query, rows);
  return rows;
}

RowList ListRegisterRows(db::Connection& connection, const SqlQuery& query) {
  RowList list;
  try {
    AppendRows(connection, query, list.keys);
    return list;
  } catch (const db::SqliteError& error) {
    list.failure = QString::fromUtf8(error.what());
  }
  // A damaged page stopped the listing: every patient's newest test from the
  // index instead, newest first, so that every row that can be read is.
  try {
    db::Statement keys(connection, TestKeysFromIndexSql().sql);
    std::vector<RegisterRowKey> latest;
    while (keys.Step()) {
      const QString pat_no = keys.Text(0);
      if (!latest.empty() && latest.back().pat_no == pat_no) continue;
      latest.push_back({pat_no, keys.Text(1), keys.Text(2)});
    }
    std::stable_sort(latest.begin(), latest.end(), [](const auto& a, const auto& b) {
      return std::tie(a.date, a.time) > std::tie(b.date, b.time);
    });
    list.keys = std::move(latest);
  } catch (const db::SqliteError&) {
    // The index is damaged too: what the listing gave is all there is.
  }
  return list;
}

RowList ShownRegisterRows(db::Connection& connection, Register& reg) {
  return ListRegisterRows(connection, reg.Model().Query());
}

ExportOutcome WriteRegisterCsv(db::Database& database, ErrorReporter& reporter, const QString& path,
                               CsvLayout layout, const RowList& list) {
  ExportOutcome outcome;
  const std::vector<RegisterRowKey>& rows = list.keys;
  QString read_failure = list.failure;
  const QString procedure = QStringLiteral("exportregisterascsv");
  try {
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) {
      throw AppError(errnum::kPathNotFound, file.errorString());
    }
    auto progress =
        reporter.prompter().StartProgress(QStringLiteral("Exporting"), int(rows.size()));
    ExportReader reader(database.Conn());
    QByteArray block =
        (HeaderLine(layout) + QStringLiteral("\r\n") + HeadingLine(layout) + QStringLiteral("\r\n"))
            .toUtf8();
    int done = 0;
    for (const auto& row : rows) {
      if (progress && progress->StopRequested()) {
        file.cancelWriting();
        outcome.stopped = true;
        return outcome;
      }
      try {
        if (auto record = reader.Read(row)) {
          block += FormatCsvLine(*record, layout).toUtf8();
          block += "\r\n";
          ++outcome.lines;
        }
      } catch (const db::SqliteError& error) {
        ++outcome.unreadable;
        read_failure = QString::fromUtf8(error.what());
      }
      if (++done % 256 == 0 || done == int(rows.size())) {
        if (file.write(block) != block.size())
          throw AppError(errnum::kPermissionDenied, file.errorString());
        block.clear();
        if (progress) progress->SetValue(done);
      }
    }
    if (file.write(block) != block.size() || !file.commit()) {
      throw AppError(errnum::kPermissionDenied, file.errorString());
    }
    outcome.written = true;
    if (!read_failure.isEmpty()) {
      reporter.Report(
          QStringLiteral("%1 record(s) exported; %2 could not be read: %3")
              .arg(outcome.lines)
              .arg(outcome.unreadable)
              .arg(read_failure),
          errnum::kDatabaseError, procedure);
    }
  } catch (const AppError& error) {
    reporter.Report(error.Description(), error.Number(), procedure);
  } catch (const db::SqliteError& error) {
    reporter.Report(QString::fromUtf8(error.what()), errnum::kDatabaseError, procedure);
  }
  return outcome;
}

ExportOutcome ExportRegisterCsv(const ProgramFolder& folder, db::Database& database,
                                ErrorReporter& reporter, const QString& file_name,
                                const RowList& rows) {
  QString path;
  CsvLayout layout = CsvLayout::Snv5;
  if (file_name.isEmpty()) {
    FileDialogSpec spec;
    spec.title = QStringLiteral("Export");
    spec.filter = QStringLiteral(" Exported file | *.csv");
    spec.default_suffix = QStringLiteral(".csv");
    spec.initial_name = QStringLiteral("Exportdata.csv");
    spec.initial_dir = folder.Path();
    spec.overwrite_prompt = true;
    const auto chosen = reporter.prompter().SaveFile(spec);
    if (!chosen || chosen->isEmpty()) return {};
    path = *chosen;
    layout = CsvLayout::Snv52;
  } else {
    path = folder.File(file_name);
  }
  if (rows.keys.empty() && rows.failure.isEmpty()) {
    reporter.prompter().Show(QStringLiteral("No data available to export"), Msg(974));
    return {};
  }
  return WriteRegisterCsv(database, reporter, path, layout, rows);
}

}  // namespace sonivera
