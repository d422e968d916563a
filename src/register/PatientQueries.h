#pragma once

#include <QString>
#include <optional>

namespace sonivera {

namespace db {
class Connection;
}

// Looks up of a patient and its tests by the imports, outside the record
// editor. Engine failures come out as db::SqliteError.

// The query for a patient's surname by number (one parameter, PatNo), for a
// caller that keeps the statement for a run over many records.
QString PatientSurnameSql();
// The patient's surname; nullopt when there is no such patient.
std::optional<QString> StoredSurname(db::Connection& connection, const QString& pat_no);
// Whether the stored patient has this surname, forenames and date of birth
// ('yyyy-MM-dd'); a stored no value matches the empty text.
bool SamePatientStored(db::Connection& connection, const QString& pat_no, const QString& surname,
                       const QString& forenames, const QString& dob);
// Whether the patient has an audiogram at this date and time.
bool StoredTestExists(db::Connection& connection, const QString& pat_no, const QString& date,
                      const QString& time);

}  // namespace sonivera
