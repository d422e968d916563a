#include "register/PatientAudiograms.h"

#include <algorithm>
#include <cmath>

#include "categorise/CategorisationState.h"

namespace sonivera {

namespace {
QString BuildResultsSql(const char* table) {
  QString columns;
  for (const char* field : kGridFields) {
    if (!columns.isEmpty()) columns += QStringLiteral(", ");
    columns += u'"' + QString::fromLatin1(field) + u'"';
  }
  return QStringLiteral(
             "SELECT %1 FROM \"%2\" WHERE PatNo = ?1 "
             "ORDER BY TestDate DESC, TestTime DESC, rowid DESC")
      .arg(columns, QString::fromLatin1(table));
}
// Built once: a bulk run reads a patient's tests for every line.
const QString& ResultsSql(bool left) {
  static const QString sql[2] = {BuildResultsSql("TestResultsRight"),
                                 BuildResultsSql("TestResultsLeft")};
  return sql[left ? 1 : 0];
}
}  // namespace

size_t PatientAudiograms::InStep() const {
  return std::min({details.size(), left.size(), right.size()});
}

PatientTestReader::PatientTestReader(db::Connection& connection)
    : details_(connection,
               QStringLiteral("SELECT rowid, DateofTest, TimeofTest, PreviousTest, Categorisation, "
                              "RecallDate, MP42, PAM, IPA FROM TestDetails WHERE PatNo = ?1 "
                              "ORDER BY DateofTest DESC, TimeofTest DESC, rowid DESC")),
      left_(connection, ResultsSql(true)),
      right_(connection, ResultsSql(false)) {}

PatientAudiograms PatientTestReader::Read(const QString& pat_no) {
  PatientAudiograms tests;
  details_.Reset();
  details_.Bind(1, pat_no);
  while (details_.Step()) {
    const auto value = [&](int column) {
      return details_.IsNull(column) ? std::nan("") : details_.Double(column);
    };
    tests.details.push_back({details_.Int(0), details_.Text(1), details_.Text(2), details_.Text(3),
                             details_.Text(4), details_.Text(5), value(6), value(7), value(8)});
  }
  details_.Reset();
  ReadResults(left_, pat_no, tests.left);
  ReadResults(right_, pat_no, tests.right);
  return tests;
}

void PatientTestReader::ReadResults(db::Statement& statement, const QString& pat_no,
                                    std::vector<StoredThresholds>& rows) {
  statement.Reset();
  statement.Bind(1, pat_no);
  while (statement.Step()) {
    StoredThresholds row;
    for (int i = 0; i < 9; ++i) {
      // The database's text passes through unchanged; no value is the empty text.
      row[i] = statement.IsNull(i) ? QStringLiteral("") : statement.Text(i);
    }
    rows.push_back(std::move(row));
  }
  statement.Reset();
}

Savepoint::Savepoint(db::Connection& connection, const char* name)
    : connection_(connection), name_(QString::fromLatin1(name)) {
  connection_.Run(QStringLiteral("SAVEPOINT ") + name_);
}

Savepoint::~Savepoint() {
  if (!open_) return;
  try {
    connection_.Exec(QStringLiteral("ROLLBACK TO ") + name_);
    connection_.Exec(QStringLiteral("RELEASE ") + name_);
  } catch (const db::SqliteError&) {
    // A failed statement may already have ended the transaction.
  }
}

void Savepoint::Release() {
  connection_.Run(QStringLiteral("RELEASE ") + name_);
  open_ = false;
}

}  // namespace sonivera
