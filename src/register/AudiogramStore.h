#pragma once

#include <QString>
#include <QStringList>
#include <array>
#include <map>
#include <memory>
#include <optional>

#include "db/Sqlite.h"
#include "register/EditMode.h"

namespace sonivera {

// The threshold fields of TestResultsLeft/Right in column order (the test
// key, which sits between 8kHz and 750Hz, left out).
constexpr int kThresholdFieldCount = 11;
extern const std::array<const char*, kThresholdFieldCount> kThresholdFields;

// A test key in stored form: 'yyyy-MM-dd' and 'HH:mm:ss'.
struct TestKey {
  QString date;
  QString time;
  bool operator==(const TestKey&) const = default;
  // Newer first: compares date, then time.
  bool LaterThan(const TestKey& other) const {
    return date != other.date ? date > other.date : time > other.time;
  }
};

// A patient row. Dates in stored form; a null QString is no value.
struct PatientRecord {
  QString PatNo;
  QString Surname;
  QString Forenames;
  QString DOB;
  QString Sex;
};

// One whole audiogram as written: patient, header, address, both ears and
// the answers. Texts exactly as stored; null QStrings are no value.
struct AudiogramRecord {
  PatientRecord patient;
  TestKey key;
  QString TestType, SerialNo, Examiner, DeptUnit, Company, PositionRank, Location, LeavingReason,
      EmploymentStatus, Categorisation, Notes, ServiceLengthText;
  std::optional<qint64> LengthofService;
  QString PreviousTest, Calibrated, RecallDate, DateJoined, DateLeft;
  QString F1, F2, F3;
  std::array<QString, kThresholdFieldCount> left;
  std::array<QString, kThresholdFieldCount> right;
  std::array<QString, 6> address;
  std::array<int, 50> codes{};
  std::array<QString, 50> texts;
};

// Writes audiograms, patients and deletions on one connection. Holds its
// prepared statements so that bulk writers do not parse SQL per row. It opens
// no transaction: the caller wraps each save (or a whole bulk run) in one, so
// a failure half-way leaves nothing behind. Engine failures come out as
// db::SqliteError.
// The header columns after PatNo, in table order: those of an audiogram's
// TestDetails row and of a vision test's VisionDetails row.
const QStringList& TestHeaderColumns();

// Fields that accept the empty text store it rather than no value, so that
// an emptied box reads back as it was typed.
inline QString TextOrEmpty(const QString& value) {
  return value.isNull() ? QStringLiteral("") : value;
}

class AudiogramStore {
 public:
  explicit AudiogramStore(db::Connection& connection) : connection_(connection) {}

  // Writes the patient row, address, header, both ears and the answers, then
  // keeps the latest-test mirror. mode is how the record was entered
  // (Editing, AddingPatient or InsertingTest); when Editing, `original` is the
  // key of the test being edited. Returns false (writing nothing) when the new
  // key belongs to another test of the patient.
  bool Write(EditMode mode, const AudiogramRecord& record, const TestKey& original = {});

  bool PatientExists(const QString& pat_no);
  // The patient's stored surname; nothing when the number is free.
  std::optional<QString> Surname(const QString& pat_no);
  // Whether the patient row holds these names and date of birth ('yyyy-MM-dd';
  // a field without a value reads as the empty text).
  bool SamePerson(const QString& pat_no, const QString& surname, const QString& forenames,
                  const QString& stored_dob);
  bool TestExists(const QString& pat_no, const TestKey& key);
  // The newest test of the patient, by TestDetails.
  std::optional<TestKey> NewestTest(const QString& pat_no);
  // The mirrored latest test and whether the patient has a vision test.
  struct Mirror {
    QString date, time;
    bool has_vision = false;
  };
  std::optional<Mirror> ReadMirror(const QString& pat_no);

  // Deletes one audiogram (header, both ears, answers); moves the mirror to
  // the newest remaining test, or removes the patient and its addresses when
  // nothing is left and no vision test exists. Returns true when the patient
  // row was removed.
  bool DeleteTest(const QString& pat_no, const TestKey& key);
  // Deletes every audiogram row and address of the patient; the patient row
  // too unless vision tests exist. Returns true when the patient row went.
  bool DeletePatient(const QString& pat_no);
  // Moves every row of the patient to a new number. Returns false, changing
  // nothing, when the new number is in use.
  bool ChangePatientNo(const QString& old_no, const QString& new_no);
  // Stores the recall date ('yyyy-MM-dd') of the audiogram at rowid.
  void SetRecallDate(qint64 rowid, const QString& stored_date);
  // Inserts the patient row (AddingPatient) or updates its particulars.
  void WritePatient(EditMode mode, const PatientRecord& patient);

 private:
  db::Statement& Prepared(const QString& sql);
  void WriteAddress(EditMode mode, const AudiogramRecord& record, const TestKey& original);
  void WriteHeader(EditMode mode, const AudiogramRecord& record, const TestKey& original);
  void WriteEar(const char* table, EditMode mode, const AudiogramRecord& record,
                const std::array<QString, kThresholdFieldCount>& values, const TestKey& original);
  void WriteAnswers(EditMode mode, const AudiogramRecord& record, const TestKey& original);
  void KeepMirror(EditMode mode, const QString& pat_no, const TestKey& saved);
  void SetMirror(const QString& pat_no, const QString& date, const QString& time);

  db::Connection& connection_;
  std::map<QString, std::unique_ptr<db::Statement>> statements_;
};

}  // namespace sonivera
