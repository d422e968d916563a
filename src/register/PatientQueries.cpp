#include "register/PatientQueries.h"

#include "db/Sqlite.h"

namespace sonivera {

QString PatientSurnameSql() {
  return QStringLiteral("SELECT Surname FROM PatDetails WHERE PatNo = ?");
}

std::optional<QString> StoredSurname(db::Connection& connection, const QString& pat_no) {
  db::Statement query(connection, PatientSurnameSql());
  query.Bind(1, pat_no);
  if (!query.Step()) return std::nullopt;
  return query.Text(0);
}

bool SamePatientStored(db::Connection& connection, const QString& pat_no, const QString& surname,
                       const QString& forenames, const QString& dob) {
  db::Statement query(connection,
                      "SELECT 1 FROM PatDetails WHERE PatNo = ? AND Surname = ? AND "
                      "ifnull(Forenames, '') = ? AND ifnull(DOB, '') = ?");
  query.Bind(1, pat_no).Bind(2, surname).Bind(3, forenames);
  query.Bind(4, dob);
  return query.Step();
}

bool StoredTestExists(db::Connection& connection, const QString& pat_no, const QString& date,
                      const QString& time) {
  db::Statement query(connection,
                      "SELECT 1 FROM TestDetails WHERE PatNo = ? AND DateofTest = ? AND "
                      "TimeofTest = ? LIMIT 1");
  query.Bind(1, pat_no).Bind(2, date).Bind(3, time);
  return query.Step();
}

}  // namespace sonivera
