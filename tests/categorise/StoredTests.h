#pragma once

#include <QString>
#include <QStringList>
#include <vector>

#include "db/Sqlite.h"
#include "support/BaseChecks.h"

namespace sonivera::test {

// Rows written straight into a database for the recategorisation tests.
inline void AddPatient(db::Connection& connection, const QString& pat_no, const QString& dob,
                       const QString& sex) {
  auto insert = connection.Prepare(
      "INSERT INTO PatDetails (PatNo, Surname, DOB, Sex) VALUES (?1, 'Test', ?2, ?3)");
  insert.Bind(1, pat_no).Bind(2, dob).Bind(3, sex).Run();
}

// Thresholds as nine space-separated texts, 250 Hz to 8 kHz; "-" for none.
inline void AddTest(db::Connection& connection, const QString& pat_no, const QString& date,
                    const QString& left, const QString& right,
                    const QString& categorisation = QString(), const QString& recall = QString(),
                    const QString& time = QStringLiteral("10:00:00")) {
  auto header = connection.Prepare(
      "INSERT INTO TestDetails (PatNo, DateofTest, TimeofTest, Categorisation, RecallDate) "
      "VALUES (?1, ?2, ?3, ?4, ?5)");
  header.Bind(1, pat_no).Bind(2, date).Bind(3, time).Bind(4, categorisation).Bind(5, recall).Run();
  for (const auto& [table, values] :
       {std::pair{"TestResultsLeft", left}, std::pair{"TestResultsRight", right}}) {
    const QStringList parts = values.split(u' ', Qt::SkipEmptyParts);
    auto ear = connection.Prepare(
        QStringLiteral("INSERT INTO %1 (PatNo, TestDate, TestTime, \"250Hz\", \"500Hz\", \"1kHz\", "
                       "\"1_5kHz\", \"2kHz\", \"3kHz\", \"4kHz\", \"6kHz\", \"8kHz\") "
                       "VALUES (?1, ?2, ?3, ?4, ?5, ?6, ?7, ?8, ?9, ?10, ?11, ?12)")
            .arg(QLatin1String(table)));
    ear.Bind(1, pat_no).Bind(2, date).Bind(3, time);
    for (int i = 0; i < 9; ++i) {
      const QString value = parts.value(i, QStringLiteral("-"));
      ear.Bind(4 + i, value == QLatin1String("-") ? QString() : value);  // null binds NULL
    }
    ear.Run();
  }
  // Keep the latest-test mirror, as saving does.
  auto mirror = connection.Prepare(
      "UPDATE PatDetails SET DateofTest = ?2, TimeofTest = ?3 WHERE PatNo = ?1 AND "
      "(DateofTest IS NULL OR DateofTest < ?2)");
  mirror.Bind(1, pat_no).Bind(2, date).Bind(3, time).Run();
}

struct StoredResult {
  QString date;
  QString previous;
  QString categorisation;
  double mp42 = 0, pam = 0, ipa = 0;
};

// The patient's tests, newest first.
inline std::vector<StoredResult> ReadResults(db::Connection& connection, const QString& pat_no) {
  auto select = connection.Prepare(
      "SELECT DateofTest, PreviousTest, Categorisation, MP42, PAM, IPA FROM "
      "TestDetails WHERE PatNo = ?1 ORDER BY DateofTest DESC, TimeofTest DESC");
  select.Bind(1, pat_no);
  std::vector<StoredResult> rows;
  while (select.Step()) {
    rows.push_back({select.Text(0), select.Text(1), select.Text(2), select.Double(3),
                    select.Double(4), select.Double(5)});
  }
  return rows;
}

// One text per test, newest first: "date<previous: categorisation", the
// previous date "-" when not linked.
inline QStringList Summaries(db::Connection& connection, const QString& pat_no) {
  QStringList texts;
  for (const auto& row : ReadResults(connection, pat_no)) {
    texts << QStringLiteral("%1<%2: %3")
                 .arg(row.date, row.previous.isNull() ? QStringLiteral("-") : row.previous,
                      row.categorisation);
  }
  return texts;
}

inline QStringList Categorisations(db::Connection& connection, const QString& pat_no) {
  QStringList texts;
  for (const auto& row : ReadResults(connection, pat_no)) texts << row.categorisation;
  return texts;
}

}  // namespace sonivera::test
