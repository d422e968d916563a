#include "vision/VisionQueries.h"

#include <cmath>

#include "db/Schema.h"

namespace sonivera::vision {

namespace {

// The header columns of VisionDetails after PatNo, in table order: those of
// an audiogram's header.
const QStringList& kHeaderColumns = TestHeaderColumns();

// The employment particulars that a vision save carries to the audiogram side.
const QStringList kEmploymentColumns = {
    "PositionRank",    "DeptUnit",      "Company",          "Location",   "ServiceLengthText",
    "LengthofService", "LeavingReason", "EmploymentStatus", "DateJoined", "DateLeft"};

// The answers columns of VisionTest after the coded ones.
const QStringList kAnswerColumns = {"Glasses",    "GlassesType", "Contacts",
                                    "ChangeinRX", "LastExam",    "Refer"};

QStringList CodedColumns() {
  QStringList names;
  for (const ResultColumn& column : ResultColumns()) names << column.name;
  return names;
}

// The header fields in kHeaderColumns order, the test key's two left as they are.
std::array<QString*, 23> HeaderTexts(VisionHeader& h, QString& time, QString& date) {
  return {&h.TestType,
          &h.SerialNo,
          &h.Examiner,
          &h.DeptUnit,
          &h.Company,
          &h.PositionRank,
          &h.Location,
          &h.LeavingReason,
          &h.EmploymentStatus,
          &h.Categorisation,
          &h.Notes,
          &h.ServiceLengthText,
          nullptr,
          &time,
          &h.PreviousTest,
          &h.Calibrated,
          &h.RecallDate,
          &h.DateJoined,
          &h.DateLeft,
          &date,
          &h.F1,
          &h.F2,
          &h.F3};
}

VisionHeader ReadHeaderColumns(db::Statement& s, int first) {
  VisionHeader header;
  QString time, date;
  const auto texts = HeaderTexts(header, time, date);
  for (int i = 0; i < int(texts.size()); ++i) {
    if (texts[i]) {
      *texts[i] = s.Text(first + i);
    } else if (!s.IsNull(first + i)) {
      header.LengthofService = s.Int(first + i);
    }
  }
  return header;
}

}  // namespace

const QStringList& VisionRegisterColumns() {
  static const QStringList columns = {"Pat No",
                                      "Surname",
                                      "Forenames",
                                      "Last Test",
                                      "Time of Test",
                                      "Previous Test",
                                      "Date of Birth",
                                      "Categorisation",
                                      "Position/Rank",
                                      "Dept/Unit",
                                      "Company",
                                      "Location",
                                      "Sex",
                                      "Examiner",
                                      "Recall Date",
                                      "Status",
                                      "Date Joined",
                                      "Date Left",
                                      "Leaving Reason",
                                      "Length of Service",
                                      "F1",
                                      "F2",
                                      "F3"};
  return columns;
}

db::Statement& VisionStore::Prepared(const QString& sql) {
  auto& slot = statements_[sql];
  if (!slot) slot = std::make_unique<db::Statement>(connection_, sql);
  slot->Reset();
  return *slot;
}

std::vector<VisionRegisterRow> VisionStore::RegisterRows() {
  auto& s = Prepared(VisionRegisterSql().sql);
  std::vector<VisionRegisterRow> rows;
  const int columns = int(VisionRegisterColumns().size());
  while (s.Step()) {
    VisionRegisterRow row;
    for (int c = 0; c < columns; ++c) row.values << s.Text(c);
    rows.push_back(std::move(row));
  }
  s.Reset();
  return rows;
}

qint64 VisionStore::PatientCount() {
  return connection_.QueryValue(QStringLiteral("SELECT count(*) FROM PatDetails"))
      .value_or(QVariant(0))
      .toLongLong();
}

std::vector<TestKey> VisionStore::Tests(const QString& pat_no) {
  auto& s =
      Prepared(QStringLiteral("SELECT DateofTest, TimeofTest FROM VisionDetails WHERE "
                              "PatNo = ?1 ORDER BY DateofTest DESC, TimeofTest DESC"));
  s.Bind(1, pat_no);
  std::vector<TestKey> keys;
  while (s.Step()) keys.push_back({s.Text(0), s.Text(1)});
  s.Reset();
  return keys;
}

std::optional<TestKey> VisionStore::Mirror(const QString& pat_no) {
  auto& s =
      Prepared(QStringLiteral("SELECT VDateofTest, VTimeofTest FROM PatDetails WHERE PatNo = ?1"));
  s.Bind(1, pat_no);
  std::optional<TestKey> key;
  if (s.Step() && !s.IsNull(0)) key = TestKey{s.Text(0), s.Text(1)};
  s.Reset();
  return key;
}

bool VisionStore::TestExists(const QString& pat_no, const TestKey& key) {
  auto& s = Prepared(QStringLiteral(
      "SELECT 1 FROM VisionDetails WHERE PatNo = ?1 AND DateofTest = ?2 AND TimeofTest = ?3"));
  s.Bind(1, pat_no).Bind(2, key.date).Bind(3, key.time);
  const bool found = s.Step();
  s.Reset();
  return found;
}

std::optional<VisionHeader> VisionStore::ReadHeader(const QString& pat_no, const TestKey& key) {
  auto& s = Prepared(QStringLiteral("SELECT %1 FROM VisionDetails WHERE PatNo = ?1 AND "
                                    "DateofTest = ?2 AND TimeofTest = ?3")
                         .arg(db::QuotedList(kHeaderColumns)));
  s.Bind(1, pat_no).Bind(2, key.date).Bind(3, key.time);
  std::optional<VisionHeader> header;
  if (s.Step()) header = ReadHeaderColumns(s, 0);
  s.Reset();
  return header;
}

std::optional<VisionStore::StoredResults> VisionStore::ReadResults(const QString& pat_no,
                                                                   const TestKey& key) {
  const QStringList coded = CodedColumns();
  auto& s = Prepared(QStringLiteral("SELECT %1 FROM VisionTest WHERE PatNo = ?1 AND "
                                    "TestDate = ?2 AND TestTime = ?3")
                         .arg(db::QuotedList(coded + kAnswerColumns)));
  s.Bind(1, pat_no).Bind(2, key.date).Bind(3, key.time);
  std::optional<StoredResults> stored;
  if (s.Step()) {
    StoredResults r;
    for (int i = 0; i < coded.size(); ++i) {
      // A value outside its column's coding (a damaged or foreign row) reads as none.
      const double value = s.IsNull(i) ? 0 : s.Double(i);
      if (!SetColumnValue(r.coded, coded[i], int(std::lround(value)))) {
        SetColumnValue(r.coded, coded[i], 0);
      }
    }
    const int a = int(coded.size());
    r.answers.Glasses = s.Int(a) != 0;
    r.answers.GlassesType = s.Text(a + 1);
    r.answers.Contacts = s.Int(a + 2) != 0;
    r.answers.ChangeinRX = s.Int(a + 3) != 0;
    r.answers.LastExam = s.Text(a + 4);
    r.answers.Refer = s.Int(a + 5) != 0;
    stored = r;
  }
  s.Reset();
  return stored;
}

std::optional<std::pair<TestKey, std::array<QString, 6>>> VisionStore::LatestAddress(
    const QString& pat_no) {
  auto& s = Prepared(QStringLiteral(
      "SELECT DateofTest, TimeofTest, Address1, Address2, Address3, Address4, Address5, Address6 "
      "FROM AddressDetails WHERE PatNo = ?1 ORDER BY DateofTest DESC, TimeofTest DESC LIMIT 1"));
  s.Bind(1, pat_no);
  std::optional<std::pair<TestKey, std::array<QString, 6>>> latest;
  if (s.Step()) {
    std::array<QString, 6> lines;
    for (int i = 0; i < 6; ++i) lines[i] = s.Text(2 + i);
    latest = std::make_pair(TestKey{s.Text(0), s.Text(1)}, lines);
  }
  s.Reset();
  return latest;
}

std::array<QString, 6> VisionStore::AddressAt(const QString& pat_no, const TestKey& key) {
  auto& s = Prepared(QStringLiteral(
      "SELECT Address1, Address2, Address3, Address4, Address5, Address6 FROM AddressDetails "
      "WHERE PatNo = ?1 AND (DateofTest < ?2 OR (DateofTest = ?2 AND TimeofTest <= ?3)) "
      "ORDER BY DateofTest DESC, TimeofTest DESC LIMIT 1"));
  s.Bind(1, pat_no).Bind(2, key.date).Bind(3, key.time);
  std::array<QString, 6> lines;
  if (s.Step()) {
    for (int i = 0; i < 6; ++i) lines[i] = s.Text(i);
  }
  s.Reset();
  return lines;
}

QStringList VisionStore::PatientNumbers() {
  QStringList patients;
  db::Statement s(connection_, QStringLiteral("SELECT PatNo FROM PatDetails ORDER BY PatNo"));
  while (s.Step()) patients << s.Text(0);
  return patients;
}

std::optional<PatientRecord> VisionStore::ReadPatient(const QString& pat_no) {
  db::Statement p(
      connection_,
      QStringLiteral("SELECT Surname, Forenames, DOB, Sex FROM PatDetails WHERE PatNo = ?1"));
  p.Bind(1, pat_no);
  if (!p.Step()) return std::nullopt;
  return PatientRecord{pat_no, p.Text(0), p.Text(1), p.Text(2), p.Text(3)};
}

std::optional<std::pair<TestKey, VisionHeader>> VisionStore::LatestAudiogram(
    const QString& pat_no) {
  auto& s = Prepared(QStringLiteral("SELECT %1 FROM TestDetails WHERE PatNo = ?1 "
                                    "ORDER BY DateofTest DESC, TimeofTest DESC LIMIT 1")
                         .arg(db::QuotedList(kHeaderColumns)));
  s.Bind(1, pat_no);
  std::optional<std::pair<TestKey, VisionHeader>> latest;
  if (s.Step()) {
    const int time = int(kHeaderColumns.indexOf("TimeofTest"));
    const int date = int(kHeaderColumns.indexOf("DateofTest"));
    latest = std::make_pair(TestKey{s.Text(date), s.Text(time)}, ReadHeaderColumns(s, 0));
  }
  s.Reset();
  return latest;
}

bool VisionStore::HasAudiogram(const QString& pat_no) {
  auto& s = Prepared(
      QStringLiteral("SELECT 1 FROM PatDetails WHERE PatNo = ?1 AND DateofTest IS NOT NULL"));
  s.Bind(1, pat_no);
  const bool found = s.Step();
  s.Reset();
  return found;
}

void VisionStore::InsertPatient(const PatientRecord& p) {
  AudiogramStore(connection_).WritePatient(EditMode::AddingPatient, p);
}

void VisionStore::UpdatePatient(const PatientRecord& p) {
  AudiogramStore(connection_).WritePatient(EditMode::Editing, p);
}

void VisionStore::AddAddressIfChanged(const QString& pat_no, const TestKey& key,
                                      const std::array<QString, 6>& lines) {
  if (const auto latest = LatestAddress(pat_no)) {
    bool same = true;
    for (int i = 0; i < 6; ++i) same = same && TextOrEmpty(latest->second[i]) == TextOrEmpty(lines[i]);
    if (same) return;
  }
  // A row already keyed by this test (an edit) is replaced.
  auto& old = Prepared(QStringLiteral(
      "DELETE FROM AddressDetails WHERE PatNo = ?1 AND DateofTest = ?2 AND TimeofTest = ?3"));
  old.Bind(1, pat_no).Bind(2, key.date).Bind(3, key.time).Run();
  auto& s = Prepared(QStringLiteral(
      "INSERT INTO AddressDetails (PatNo, Address1, Address2, Address3, Address4, "
      "Address5, Address6, DateofTest, TimeofTest) VALUES (?1, ?2, ?3, ?4, ?5, ?6, ?7, ?8, ?9)"));
  s.Bind(1, pat_no);
  for (int i = 0; i < 6; ++i) s.Bind(2 + i, TextOrEmpty(lines[i]));
  s.Bind(8, key.date).Bind(9, key.time).Run();
}

void VisionStore::BindHeader(db::Statement& s, const VisionRecord& r) {
  VisionHeader header = r.header;
  QString time = r.key.time, date = r.key.date;
  const auto texts = HeaderTexts(header, time, date);
  s.Bind(1, r.patient.PatNo);
  for (int i = 0; i < int(texts.size()); ++i) {
    const int index = 2 + i;
    if (!texts[i]) {
      if (header.LengthofService) {
        s.Bind(index, *header.LengthofService);
      } else {
        s.BindNull(index);
      }
    } else if (kHeaderColumns[i].contains(QLatin1String("Date")) ||
               kHeaderColumns[i] == QLatin1String("TimeofTest") ||
               kHeaderColumns[i] == QLatin1String("PreviousTest") ||
               kHeaderColumns[i] == QLatin1String("Calibrated")) {
      s.Bind(index, *texts[i]);  // dates: no value stays no value
    } else {
      s.Bind(index, TextOrEmpty(*texts[i]));
    }
  }
}

void VisionStore::BindResults(db::Statement& s, const VisionRecord& r) {
  const QStringList coded = CodedColumns();
  s.Bind(1, r.patient.PatNo).Bind(2, r.key.date).Bind(3, r.key.time);
  for (int i = 0; i < coded.size(); ++i) s.Bind(4 + i, *ColumnValue(r.results, coded[i]));
  const int a = 4 + int(coded.size());
  s.Bind(a, r.answers.Glasses ? 1 : 0);
  s.BindTextOrNull(a + 1, r.answers.GlassesType);  // refuses the empty text
  s.Bind(a + 2, r.answers.Contacts ? 1 : 0);
  s.Bind(a + 3, r.answers.ChangeinRX ? 1 : 0);
  s.Bind(a + 4, r.answers.LastExam);
  s.Bind(a + 5, r.answers.Refer ? 1 : 0);
}

void VisionStore::InsertTest(const VisionRecord& record) {
  auto& header = Prepared(QStringLiteral("INSERT INTO VisionDetails (PatNo, %1) VALUES (%2)")
                              .arg(db::QuotedList(kHeaderColumns), db::Placeholders(1, 24)));
  BindHeader(header, record);
  header.Run();
  const QStringList columns = CodedColumns() + kAnswerColumns;
  auto& results =
      Prepared(QStringLiteral("INSERT INTO VisionTest (PatNo, TestDate, TestTime, %1) VALUES (%2)")
                   .arg(db::QuotedList(columns), db::Placeholders(1, 3 + int(columns.size()))));
  BindResults(results, record);
  results.Run();
}

void VisionStore::UpdateTest(const VisionRecord& record, const TestKey& original) {
  auto& header = Prepared(QStringLiteral("UPDATE VisionDetails SET %1 WHERE PatNo = ?1 AND "
                                         "DateofTest = ?25 AND TimeofTest = ?26")
                              .arg(db::Assignments(kHeaderColumns, 2)));
  BindHeader(header, record);
  header.Bind(25, original.date).Bind(26, original.time).Run();

  const QStringList columns = CodedColumns() + kAnswerColumns;
  const int where = 4 + int(columns.size());
  auto& results = Prepared(QStringLiteral("UPDATE VisionTest SET TestDate = ?2, TestTime = ?3, %1 "
                                          "WHERE PatNo = ?1 AND TestDate = ?%2 AND TestTime = ?%3")
                               .arg(db::Assignments(columns, 4))
                               .arg(where)
                               .arg(where + 1));
  BindResults(results, record);
  results.Bind(where, original.date).Bind(where + 1, original.time).Run();
  if (connection_.Changes() == 0) {
    // A header without its results row gets one.
    auto& insert = Prepared(
        QStringLiteral("INSERT INTO VisionTest (PatNo, TestDate, TestTime, %1) VALUES (%2)")
            .arg(db::QuotedList(columns), db::Placeholders(1, 3 + int(columns.size()))));
    BindResults(insert, record);
    insert.Run();
  }
}

void VisionStore::DeleteTest(const QString& pat_no, const TestKey& key) {
  auto& details = Prepared(QStringLiteral(
      "DELETE FROM VisionDetails WHERE PatNo = ?1 AND DateofTest = ?2 AND TimeofTest = ?3"));
  details.Bind(1, pat_no).Bind(2, key.date).Bind(3, key.time).Run();
  auto& results = Prepared(QStringLiteral(
      "DELETE FROM VisionTest WHERE PatNo = ?1 AND TestDate = ?2 AND TestTime = ?3"));
  results.Bind(1, pat_no).Bind(2, key.date).Bind(3, key.time).Run();
}

void VisionStore::RefreshMirror(const QString& pat_no) {
  const std::vector<TestKey> tests = Tests(pat_no);
  auto& s = Prepared(
      QStringLiteral("UPDATE PatDetails SET VDateofTest = ?2, VTimeofTest = ?3 WHERE PatNo = ?1"));
  s.Bind(1, pat_no);
  if (tests.empty()) {
    s.BindNull(2).BindNull(3);
  } else {
    s.Bind(2, tests.front().date).Bind(3, tests.front().time);
  }
  s.Run();
}

void VisionStore::CarryEmploymentToAudiogram(const QString& pat_no, const TestKey& saved,
                                             const VisionHeader& header) {
  const auto latest = LatestAudiogram(pat_no);
  if (!latest || latest->first.LaterThan(saved)) return;
  auto& s = Prepared(QStringLiteral("UPDATE TestDetails SET %1 WHERE PatNo = ?1 AND "
                                    "DateofTest = ?12 AND TimeofTest = ?13")
                         .arg(db::Assignments(kEmploymentColumns, 2)));
  s.Bind(1, pat_no).Bind(2, TextOrEmpty(header.PositionRank)).Bind(3, TextOrEmpty(header.DeptUnit));
  s.Bind(4, TextOrEmpty(header.Company)).Bind(5, TextOrEmpty(header.Location));
  s.Bind(6, TextOrEmpty(header.ServiceLengthText));
  if (header.LengthofService) {
    s.Bind(7, *header.LengthofService);
  } else {
    s.BindNull(7);
  }
  s.Bind(8, TextOrEmpty(header.LeavingReason)).Bind(9, TextOrEmpty(header.EmploymentStatus));
  s.Bind(10, header.DateJoined).Bind(11, header.DateLeft);
  s.Bind(12, latest->first.date).Bind(13, latest->first.time).Run();
}

void VisionStore::DeletePatientRows(const QString& pat_no) {
  for (const char* table : {"AddressDetails", "PatDetails"}) {
    auto& s = Prepared(QStringLiteral("DELETE FROM %1 WHERE PatNo = ?1").arg(table));
    s.Bind(1, pat_no).Run();
  }
}

namespace {

// The vision register's rows: the audiogram register's columns over the
// vision header.
const QString kSelect = QStringLiteral(
    "SELECT PatDetails.PatNo, Surname, Forenames, VisionDetails.DateofTest, "
    "VisionDetails.TimeofTest, PreviousTest, DOB, Categorisation, PositionRank, DeptUnit, "
    "Company, Location, Sex, Examiner, RecallDate, EmploymentStatus, DateJoined, DateLeft, "
    "LeavingReason, ServiceLengthText, F1, F2, F3 "
    "FROM PatDetails INNER JOIN VisionDetails ON PatDetails.PatNo = VisionDetails.PatNo");
const QString kLatestVision = QStringLiteral(
    "PatDetails.VDateofTest = VisionDetails.DateofTest AND PatDetails.VTimeofTest = "
    "VisionDetails.TimeofTest");
const QString kNewestFirst =
    QStringLiteral("VisionDetails.PatNo, VisionDetails.DateofTest DESC, VisionDetails.TimeofTest DESC");

QString VisionSortFieldSql(SortField field) {
  // The sort fields of the test header are the vision header's own.
  QString sql = SortFieldSql(field);
  sql.replace(QLatin1String("TestDetails."), QLatin1String("VisionDetails."));
  return sql;
}

}  // namespace

SqlQuery VisionRegisterSql() {
  return {kSelect + QStringLiteral(" WHERE ") + kLatestVision +
              QStringLiteral(" ORDER BY VisionDetails.DateofTest DESC, VisionDetails.TimeofTest DESC"),
          {}};
}

SqlQuery VisionSortedSql(SortField field, const FilterCondition* filter) {
  SqlQuery query{kSelect, {}};
  if (filter != nullptr && !filter->where.isEmpty()) {
    query.sql += QStringLiteral(" WHERE ") + filter->where;
    query.params = filter->params;
  }
  query.sql += QStringLiteral(" ORDER BY ") + VisionSortFieldSql(field) + QStringLiteral(", ") +
               kNewestFirst;
  return query;
}

SqlQuery VisionFilteredSql(const FilterCondition& filter, SortField field) {
  const QString first =
      field == SortField::None ? QString() : VisionSortFieldSql(field) + QStringLiteral(", ");
  return {kSelect + QStringLiteral(" WHERE ") + filter.where + QStringLiteral(" ORDER BY ") +
              first + kNewestFirst,
          filter.params};
}

FilterBuild BuildVisionFilter(const FilterCriteria& criteria, int lcid) {
  // The audiogram filter's conditions, moved from the audiogram header to the
  // vision header and from the latest audiogram to the latest vision test.
  FilterBuild build = BuildFilter(criteria, lcid);
  if (!build.condition) return build;
  QString& where = build.condition->where;
  where.replace(QLatin1String("PatDetails.DateofTest = TestDetails.DateofTest"),
                QLatin1String("PatDetails.VDateofTest = TestDetails.DateofTest"));
  where.replace(QLatin1String("PatDetails.TimeofTest = TestDetails.TimeofTest"),
                QLatin1String("PatDetails.VTimeofTest = TestDetails.TimeofTest"));
  where.replace(QLatin1String("TestDetails."), QLatin1String("VisionDetails."));
  return build;
}

std::vector<VisionRegisterRow> VisionRows(db::Connection& connection, const SqlQuery& query) {
  auto statement = connection.Prepare(query.sql);
  for (int i = 0; i < query.params.size(); ++i) statement.Bind(i + 1, query.params[i]);
  std::vector<VisionRegisterRow> rows;
  while (statement.Step()) {
    VisionRegisterRow row;
    for (int c = 0; c < kRegisterColumnCount; ++c) row.values << statement.Text(c);
    rows.push_back(std::move(row));
  }
  return rows;
}

}  // namespace sonivera::vision
