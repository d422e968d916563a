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

namespace sonivera {

namespace {
const char* const kEarFields[] = {"250Hz", "500Hz", "1kHz", "1_5kHz", "2kHz",
                                  "3kHz",  "4kHz",  "6kHz", "8kHz"};

QString EarQuery(const char* table) {
  QString columns;
  for (const char* f : kEarFields) columns += QStringLiteral("\"%1\", ").arg(QLatin1String(f));
  return QStringLiteral(
             "SELECT %1\"125Hz\", \"750Hz\" FROM %2 WHERE PatNo = ? AND TestDate = ? "
             "AND TestTime = ? LIMIT 1")
      .arg(columns, QLatin1String(table));
}

QString QuestionsQuery() {
  QString columns;
  for (int i = 1; i <= kCsvQuestions; ++i) columns += QStringLiteral("Q%1, ").arg(i);
  for (int i = 1; i <= kCsvQuestions; ++i) {
    columns += QStringLiteral("Ans%1").arg(i) + QLatin1String(i < kCsvQuestions ? ", " : "");
  }
  return QStringLiteral(
             "SELECT %1 FROM TestQuestions WHERE PatNo = ? AND TestDate = ? AND TestTime = ? "
             "LIMIT 1")
      .arg(columns);
}

void BindKey(db::Statement& s, const RegisterRowKey& row) {
  s.Reset();
  s.Bind(1, row.pat_no).Bind(2, row.date).Bind(3, row.time);
}
}  // namespace

struct ExportReader::Statements {
  explicit Statements(db::Connection& c)
      : header(c,
               "SELECT p.PatNo, p.Surname, p.Forenames, t.DateofTest, t.TimeofTest, "
               "t.PreviousTest, p.DOB, t.Categorisation, t.PositionRank, t.DeptUnit, t.Company, "
               "t.Location, p.Sex, t.Examiner, t.RecallDate, t.EmploymentStatus, t.DateJoined, "
               "t.DateLeft, t.LeavingReason, t.ServiceLengthText, t.TestType, t.SerialNo, "
               "t.Calibrated, t.F1, t.F2, t.F3, t.Notes FROM PatDetails p JOIN TestDetails t ON "
               "t.PatNo = p.PatNo WHERE p.PatNo = ? AND t.DateofTest = ? AND t.TimeofTest = ? "
               "LIMIT 1"),
        address(c,
                "SELECT Address1, Address2, Address3, Address4, Address5, Address6 FROM "
                "AddressDetails WHERE PatNo = ?1 ORDER BY (DateofTest = ?2 AND TimeofTest = ?3) "
                "DESC, DateofTest DESC, TimeofTest DESC LIMIT 1"),
        left(c, EarQuery("TestResultsLeft")),
        right(c, EarQuery("TestResultsRight")),
        questions(c, QuestionsQuery()) {}
  db::Statement header, address, left, right, questions;
};

ExportReader::ExportReader(db::Connection& connection)
    : statements_(std::make_unique<Statements>(connection)) {}

ExportReader::~ExportReader() = default;

std::optional<CsvRecord> ExportReader::Read(const RegisterRowKey& row) {
  Statements& s = *statements_;
  CsvRecord record;
  BindKey(s.header, row);
  if (!s.header.Step()) return std::nullopt;
  for (int i = 0; i <= kCsvNotes; ++i) record.values[i] = s.header.Text(i);
  for (int column : {kCsvLastTest, kCsvPreviousTest, kCsvDOB, kCsvRecallDate, kCsvDateJoined,
                     kCsvDateLeft, kCsvCalibrated}) {
    record.values[column] = CsvDateText(record.values[column]);
  }
  BindKey(s.address, row);
  if (s.address.Step()) {
    for (int i = 0; i < 6; ++i) record.values[kCsvAddress1 + i] = s.address.Text(i);
  }
  auto read_ear = [&](db::Statement& ear, int first_column, int extra_125, int extra_750) {
    BindKey(ear, row);
    if (!ear.Step()) return;
    for (int i = 0; i < kCsvEarValues; ++i) record.values[first_column + i] = ear.Text(i);
    record.extra[extra_125] = ear.Text(kCsvEarValues);
    record.extra[extra_750] = ear.Text(kCsvEarValues + 1);
    record.has_extra = true;
  };
  read_ear(s.left, kCsvLeft250, kExtraLeft125, kExtraLeft750);
  read_ear(s.right, kCsvRight250, kExtraRight125, kExtraRight750);
  BindKey(s.questions, row);
  if (s.questions.Step()) {
    record.has_answers = true;
    for (int i = 0; i < kCsvQuestions; ++i) {
      record.codes[i] = s.questions.Text(i);
      record.texts[i] = s.questions.Text(kCsvQuestions + i);
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
