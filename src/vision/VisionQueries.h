#pragma once

#include <QString>
#include <QStringList>
#include <array>
#include <map>
#include <memory>
#include <optional>
#include <vector>

#include "db/Sqlite.h"
#include "register/AudiogramStore.h"
#include "register/RegisterQuery.h"
#include "vision/VisionResults.h"

namespace sonivera::vision {

// The yes/no answers of the details page: neither option chosen, or one.
enum class YesNo { Unanswered, Yes, No };

// The header of one vision test in stored form (dates 'yyyy-MM-dd', null
// QStrings no value): the same columns as an audiogram's header.
struct VisionHeader {
  QString TestType, SerialNo, Examiner, DeptUnit, Company, PositionRank, Location, LeavingReason,
      EmploymentStatus, Categorisation, Notes, ServiceLengthText;
  std::optional<qint64> LengthofService;
  QString PreviousTest, Calibrated, RecallDate, DateJoined, DateLeft;
  QString F1, F2, F3;
};

// The results row's columns that the details page answers.
struct VisionAnswers {
  bool Glasses = false;
  QString GlassesType;  // no value when empty
  bool Contacts = false;
  bool ChangeinRX = false;
  QString LastExam;  // 'yyyy-MM-dd' or no value
  bool Refer = false;
};

// One vision test as written.
struct VisionRecord {
  PatientRecord patient;
  TestKey key;
  VisionHeader header;
  std::array<QString, 6> address;
  CodedResults results;
  VisionAnswers answers;
};

// A row of the vision register: the patient and the latest vision test.
struct VisionRegisterRow {
  QStringList values;  // in VisionRegisterColumns() order, as stored
};

// The grid's column captions, in the register query's order.
const QStringList& VisionRegisterColumns();

// The vision register's queries. Their rows have the audiogram register's 23
// columns in its order (RegisterColumn), read from PatDetails and VisionDetails.
//
// Each patient's latest vision test, newest first.
SqlQuery VisionRegisterSql();
// Every vision test (or those the filter keeps) in the order of the field.
SqlQuery VisionSortedSql(SortField field, const FilterCondition* filter);
// The tests the filter keeps, ordered by the sort field (patient number when
// none), then by patient and newest test first.
SqlQuery VisionFilteredSql(const FilterCondition& filter, SortField field);
// The audiogram filter's criteria over the vision tables. A recall-date
// criterion keeps only each patient's latest vision test.
FilterBuild BuildVisionFilter(const FilterCriteria& criteria, int lcid);

// The rows of a vision register query.
std::vector<VisionRegisterRow> VisionRows(db::Connection& connection, const SqlQuery& query);

// Every read and write of the vision tables, with its statements kept for
// reuse. It opens no transaction: the vision record editor wraps each save
// and deletion in one. Engine failures come out as db::SqliteError.
class VisionStore {
 public:
  explicit VisionStore(db::Connection& connection) : connection_(connection) {}

  // The register: one row per patient with a vision test, from the latest one,
  // newest first.
  std::vector<VisionRegisterRow> RegisterRows();
  // The number of patients (PatDetails rows).
  qint64 PatientCount();
  // Every patient number, in order.
  QStringList PatientNumbers();
  // The patient's particulars; nullopt when there is no such patient.
  std::optional<PatientRecord> ReadPatient(const QString& pat_no);

  // The patient's vision tests, newest first.
  std::vector<TestKey> Tests(const QString& pat_no);
  std::optional<TestKey> Mirror(const QString& pat_no);
  bool TestExists(const QString& pat_no, const TestKey& key);
  std::optional<VisionHeader> ReadHeader(const QString& pat_no, const TestKey& key);
  // The results row; nullopt when the test has none.
  struct StoredResults {
    CodedResults coded;
    VisionAnswers answers;
  };
  std::optional<StoredResults> ReadResults(const QString& pat_no, const TestKey& key);
  // The patient's latest address row (its key and lines).
  std::optional<std::pair<TestKey, std::array<QString, 6>>> LatestAddress(const QString& pat_no);
  // The address lines in force at a test: the newest row not later than it.
  std::array<QString, 6> AddressAt(const QString& pat_no, const TestKey& key);
  // The audiogram side's latest test header of the patient.
  std::optional<std::pair<TestKey, VisionHeader>> LatestAudiogram(const QString& pat_no);
  // Whether the patient has an audiogram (its latest-audiogram mirror is set).
  bool HasAudiogram(const QString& pat_no);

  // Writes a new patient row, or the particulars of an existing one.
  void InsertPatient(const PatientRecord& patient);
  void UpdatePatient(const PatientRecord& patient);
  // Adds an address row keyed by the test when the lines differ from the
  // patient's latest ones (always when the patient has none).
  void AddAddressIfChanged(const QString& pat_no, const TestKey& key,
                           const std::array<QString, 6>& lines);
  // Adds a test (header and results) or rewrites the one at `original`.
  void InsertTest(const VisionRecord& record);
  void UpdateTest(const VisionRecord& record, const TestKey& original);
  void DeleteTest(const QString& pat_no, const TestKey& key);
  // Points the patient's vision mirror at its newest vision test, or at none.
  void RefreshMirror(const QString& pat_no);
  // The employment particulars of the vision test written over those of the
  // patient's latest audiogram when that audiogram is not later than the test.
  void CarryEmploymentToAudiogram(const QString& pat_no, const TestKey& saved,
                                  const VisionHeader& header);
  // Removes the patient row and its address rows (a patient with no test).
  void DeletePatientRows(const QString& pat_no);

 private:
  db::Statement& Prepared(const QString& sql);
  void BindHeader(db::Statement& s, const VisionRecord& r);
  void BindResults(db::Statement& s, const VisionRecord& r);

  db::Connection& connection_;
  std::map<QString, std::unique_ptr<db::Statement>> statements_;
};

}  // namespace sonivera::vision
