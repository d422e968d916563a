#include "register/AudiogramStore.h"

#include <QStringList>
#include <map>

#include "db/Schema.h"

namespace sonivera {

const std::array<const char*, kThresholdFieldCount> kThresholdFields = {
    "125Hz", "250Hz", "500Hz", "1kHz", "1_5kHz", "2kHz", "3kHz", "4kHz", "6kHz", "8kHz", "750Hz"};

namespace {
QStringList EarFields() {
  QStringList fields;
  for (const char* f : kThresholdFields) fields << QString::fromLatin1(f);
  return fields << QStringLiteral("TestDate") << QStringLiteral("TestTime");
}

QStringList AnswerFields() {
  QStringList fields;
  for (int i = 1; i <= 50; ++i) fields << QStringLiteral("Q%1").arg(i);
  for (int i = 1; i <= 50; ++i) fields << QStringLiteral("Ans%1").arg(i);
  return fields << QStringLiteral("TestDate") << QStringLiteral("TestTime");
}

QStringList AddressFields() {
  QStringList fields;
  for (int i = 1; i <= 6; ++i) fields << QStringLiteral("Address%1").arg(i);
  return fields << QStringLiteral("DateofTest") << QStringLiteral("TimeofTest");
}

// The texts of the save's statements, built once: a save runs them for every
// audiogram, and an import saves thousands. For each table: the update of a
// test's row (by the patient and the test's original key) and the insert.
struct TableSql {
  QString update, insert;
};

TableSql UpdateAndInsert(const QString& table, const QStringList& fields, const char* date,
                         const char* time) {
  const int n = static_cast<int>(fields.size());
  return {QStringLiteral("UPDATE %1 SET %2 WHERE PatNo = ?1 AND %3 = ?%4 AND %5 = ?%6")
              .arg(table, db::Assignments(fields, 2), QLatin1String(date))
              .arg(n + 2)
              .arg(QLatin1String(time))
              .arg(n + 3),
          QStringLiteral("INSERT INTO %1 (PatNo, %2) VALUES (%3)")
              .arg(table, db::QuotedList(fields), db::Placeholders(1, n + 1))};
}

const TableSql& Sql(const char* table) {
  static const std::map<QString, TableSql> sql = [] {
    std::map<QString, TableSql> s;
    s["AddressDetails"] = UpdateAndInsert("AddressDetails", AddressFields(), "DateofTest", "TimeofTest");
    s["TestDetails"] =
        UpdateAndInsert("TestDetails", TestHeaderColumns(), "DateofTest", "TimeofTest");
    s["TestQuestions"] = UpdateAndInsert("TestQuestions", AnswerFields(), "TestDate", "TestTime");
    for (const char* ear : {"TestResultsLeft", "TestResultsRight"}) {
      s[ear] = UpdateAndInsert(ear, EarFields(), "TestDate", "TestTime");
    }
    return s;
  }();
  return sql.at(QString::fromLatin1(table));
}
}  // namespace

const QStringList& TestHeaderColumns() {
  static const QStringList columns = {
      "TestType",     "SerialNo",    "Examiner",          "DeptUnit",        "Company",
      "PositionRank", "Location",    "LeavingReason",     "EmploymentStatus", "Categorisation",
      "Notes",        "ServiceLengthText", "LengthofService", "TimeofTest",   "PreviousTest",
      "Calibrated",   "RecallDate",  "DateJoined",        "DateLeft",        "DateofTest",
      "F1",           "F2",          "F3"};
  return columns;
}

db::Statement& AudiogramStore::Prepared(const QString& sql) {
  auto& slot = statements_[sql];
  if (!slot) slot = std::make_unique<db::Statement>(connection_, sql);
  slot->Reset();
  return *slot;
}

bool AudiogramStore::PatientExists(const QString& pat_no) {
  auto& s = Prepared(QStringLiteral("SELECT 1 FROM PatDetails WHERE PatNo = ?1"));
  s.Bind(1, pat_no);
  const bool found = s.Step();
  s.Reset();
  return found;
}

std::optional<QString> AudiogramStore::Surname(const QString& pat_no) {
  auto& s = Prepared(QStringLiteral("SELECT Surname FROM PatDetails WHERE PatNo = ?1"));
  s.Bind(1, pat_no);
  std::optional<QString> surname;
  if (s.Step()) surname = s.Text(0);
  s.Reset();
  return surname;
}

bool AudiogramStore::SamePerson(const QString& pat_no, const QString& surname,
                                const QString& forenames, const QString& stored_dob) {
  auto& s =
      Prepared(QStringLiteral("SELECT 1 FROM PatDetails WHERE PatNo = ?1 AND Surname = ?2 AND "
                              "ifnull(Forenames, '') = ?3 AND ifnull(DOB, '') = ?4"));
  s.Bind(1, pat_no).Bind(2, surname).Bind(3, forenames).Bind(4, stored_dob);
  const bool found = s.Step();
  s.Reset();
  return found;
}

bool AudiogramStore::TestExists(const QString& pat_no, const TestKey& key) {
  auto& s = Prepared(QStringLiteral(
      "SELECT 1 FROM TestDetails WHERE PatNo = ?1 AND DateofTest = ?2 AND TimeofTest = ?3"));
  s.Bind(1, pat_no).Bind(2, key.date).Bind(3, key.time);
  const bool found = s.Step();
  s.Reset();
  return found;
}

std::optional<TestKey> AudiogramStore::NewestTest(const QString& pat_no) {
  auto& s =
      Prepared(QStringLiteral("SELECT DateofTest, TimeofTest FROM TestDetails WHERE PatNo = ?1 "
                              "ORDER BY DateofTest DESC, TimeofTest DESC LIMIT 1"));
  s.Bind(1, pat_no);
  std::optional<TestKey> key;
  if (s.Step()) key = TestKey{s.Text(0), s.Text(1)};
  s.Reset();
  return key;
}

std::optional<AudiogramStore::Mirror> AudiogramStore::ReadMirror(const QString& pat_no) {
  auto& s = Prepared(QStringLiteral(
      "SELECT DateofTest, TimeofTest, VDateofTest FROM PatDetails WHERE PatNo = ?1"));
  s.Bind(1, pat_no);
  std::optional<Mirror> mirror;
  if (s.Step()) mirror = Mirror{s.Text(0), s.Text(1), !s.IsNull(2)};
  s.Reset();
  return mirror;
}

bool AudiogramStore::Write(EditMode mode, const AudiogramRecord& record, const TestKey& original) {
  const bool key_moves = mode != EditMode::Editing || !(record.key == original);
  if (mode != EditMode::AddingPatient && key_moves &&
      TestExists(record.patient.PatNo, record.key)) {
    return false;
  }
  // Patient first: every other row refers to it.
  WritePatient(mode, record.patient);
  WriteAddress(mode, record, original);
  WriteHeader(mode, record, original);
  KeepMirror(mode, record.patient.PatNo, record.key);
  WriteEar("TestResultsLeft", mode, record, record.left, original);
  WriteEar("TestResultsRight", mode, record, record.right, original);
  WriteAnswers(mode, record, original);
  return true;
}

void AudiogramStore::WritePatient(EditMode mode, const PatientRecord& p) {
  if (mode == EditMode::AddingPatient) {
    auto& s =
        Prepared(QStringLiteral("INSERT INTO PatDetails (PatNo, Surname, Forenames, DOB, Sex) "
                                "VALUES (?1, ?2, ?3, ?4, ?5)"));
    s.Bind(1, p.PatNo).Bind(2, TextOrEmpty(p.Surname)).Bind(3, TextOrEmpty(p.Forenames)).Bind(4, p.DOB);
    s.Bind(5, TextOrEmpty(p.Sex)).Run();
    return;
  }
  auto& s = Prepared(QStringLiteral(
      "UPDATE PatDetails SET Surname = ?2, Forenames = ?3, DOB = ?4, Sex = ?5 WHERE PatNo = ?1"));
  s.Bind(1, p.PatNo).Bind(2, TextOrEmpty(p.Surname)).Bind(3, TextOrEmpty(p.Forenames)).Bind(4, p.DOB);
  s.Bind(5, TextOrEmpty(p.Sex)).Run();
}

void AudiogramStore::WriteAddress(EditMode mode, const AudiogramRecord& r,
                                  const TestKey& original) {
  auto bind = [&](db::Statement& s) {
    s.Bind(1, r.patient.PatNo);
    for (int i = 0; i < 6; ++i) s.Bind(2 + i, TextOrEmpty(r.address[i]));
    s.Bind(8, r.key.date).Bind(9, r.key.time);
  };
  if (mode == EditMode::Editing) {
    auto& s = Prepared(Sql("AddressDetails").update);
    bind(s);
    s.Bind(10, original.date).Bind(11, original.time).Run();
    if (connection_.Changes() > 0) return;
  }
  auto& s = Prepared(Sql("AddressDetails").insert);
  bind(s);
  s.Run();
}

void AudiogramStore::WriteHeader(EditMode mode, const AudiogramRecord& r, const TestKey& original) {
  auto bind = [&](db::Statement& s) {
    s.Bind(1, r.patient.PatNo).Bind(2, TextOrEmpty(r.TestType)).Bind(3, TextOrEmpty(r.SerialNo));
    s.Bind(4, TextOrEmpty(r.Examiner)).Bind(5, TextOrEmpty(r.DeptUnit)).Bind(6, TextOrEmpty(r.Company));
    s.Bind(7, TextOrEmpty(r.PositionRank)).Bind(8, TextOrEmpty(r.Location)).Bind(9, TextOrEmpty(r.LeavingReason));
    s.Bind(10, TextOrEmpty(r.EmploymentStatus)).Bind(11, TextOrEmpty(r.Categorisation)).Bind(12, TextOrEmpty(r.Notes));
    s.Bind(13, TextOrEmpty(r.ServiceLengthText));
    if (r.LengthofService) {
      s.Bind(14, *r.LengthofService);
    } else {
      s.BindNull(14);
    }
    s.Bind(15, r.key.time).Bind(16, r.PreviousTest).Bind(17, r.Calibrated);
    s.Bind(18, r.RecallDate).Bind(19, r.DateJoined).Bind(20, r.DateLeft).Bind(21, r.key.date);
    s.Bind(22, TextOrEmpty(r.F1)).Bind(23, TextOrEmpty(r.F2)).Bind(24, TextOrEmpty(r.F3));
  };
  if (mode == EditMode::Editing) {
    auto& s = Prepared(Sql("TestDetails").update);
    bind(s);
    s.Bind(25, original.date).Bind(26, original.time).Run();
    if (connection_.Changes() > 0) return;
  }
  auto& s = Prepared(Sql("TestDetails").insert);
  bind(s);
  s.Run();
}

void AudiogramStore::WriteEar(const char* table, EditMode mode, const AudiogramRecord& r,
                              const std::array<QString, kThresholdFieldCount>& values,
                              const TestKey& original) {
  auto bind = [&](db::Statement& s) {
    s.Bind(1, r.patient.PatNo);
    for (int i = 0; i < kThresholdFieldCount; ++i) s.Bind(2 + i, TextOrEmpty(values[i]));
    s.Bind(13, r.key.date).Bind(14, r.key.time);
  };
  const TableSql& sql = Sql(table);
  if (mode == EditMode::Editing) {
    auto& s = Prepared(sql.update);
    bind(s);
    s.Bind(15, original.date).Bind(16, original.time).Run();
    if (connection_.Changes() > 0) return;
  }
  auto& s = Prepared(sql.insert);
  bind(s);
  s.Run();
}

void AudiogramStore::WriteAnswers(EditMode mode, const AudiogramRecord& r,
                                  const TestKey& original) {
  auto bind = [&](db::Statement& s) {
    s.Bind(1, r.patient.PatNo);
    for (int i = 0; i < 50; ++i) s.Bind(2 + i, r.codes[i]);
    // Answer texts refuse the empty text: no answer is no value.
    for (int i = 0; i < 50; ++i) s.BindTextOrNull(52 + i, r.texts[i]);
    s.Bind(102, r.key.date).Bind(103, r.key.time);
  };
  if (mode == EditMode::Editing) {
    auto& s = Prepared(Sql("TestQuestions").update);
    bind(s);
    s.Bind(104, original.date).Bind(105, original.time).Run();
    if (connection_.Changes() > 0) return;
  }
  auto& s = Prepared(Sql("TestQuestions").insert);
  bind(s);
  s.Run();
}

void AudiogramStore::SetMirror(const QString& pat_no, const QString& date, const QString& time) {
  auto& s = Prepared(
      QStringLiteral("UPDATE PatDetails SET DateofTest = ?2, TimeofTest = ?3 WHERE PatNo = ?1"));
  s.Bind(1, pat_no).Bind(2, date).Bind(3, time).Run();
}

void AudiogramStore::KeepMirror(EditMode mode, const QString& pat_no, const TestKey& saved) {
  const auto mirror = ReadMirror(pat_no);
  if (!mirror) return;
  const TestKey stored{mirror->date, mirror->time};
  if (mode == EditMode::AddingPatient || mirror->date.isNull() || saved.LaterThan(stored)) {
    SetMirror(pat_no, saved.date, saved.time);
    return;
  }
  // An edit that moved the latest test back in time must not leave the
  // mirror naming a test that no longer exists.
  if (!TestExists(pat_no, stored)) {
    if (const auto newest = NewestTest(pat_no)) SetMirror(pat_no, newest->date, newest->time);
  }
}

bool AudiogramStore::DeleteTest(const QString& pat_no, const TestKey& key) {
  struct Target {
    const char* table;
    const char* date;
    const char* time;
  };
  for (const Target& t : {Target{"TestDetails", "DateofTest", "TimeofTest"},
                          Target{"TestResultsLeft", "TestDate", "TestTime"},
                          Target{"TestResultsRight", "TestDate", "TestTime"},
                          Target{"TestQuestions", "TestDate", "TestTime"}}) {
    auto& s =
        Prepared(QStringLiteral("DELETE FROM %1 WHERE PatNo = ?1 AND %2 = ?2 AND %3 = ?3")
                     .arg(QLatin1String(t.table), QLatin1String(t.date), QLatin1String(t.time)));
    s.Bind(1, pat_no).Bind(2, key.date).Bind(3, key.time).Run();
  }
  if (const auto newest = NewestTest(pat_no)) {
    SetMirror(pat_no, newest->date, newest->time);
    return false;
  }
  const auto mirror = ReadMirror(pat_no);
  if (!mirror) return false;
  if (mirror->has_vision) {
    SetMirror(pat_no, QString(), QString());
    return false;
  }
  auto& a = Prepared(QStringLiteral("DELETE FROM AddressDetails WHERE PatNo = ?1"));
  a.Bind(1, pat_no).Run();
  auto& p = Prepared(QStringLiteral("DELETE FROM PatDetails WHERE PatNo = ?1"));
  p.Bind(1, pat_no).Run();
  return true;
}

bool AudiogramStore::DeletePatient(const QString& pat_no) {
  for (const char* table :
       {"TestDetails", "TestResultsLeft", "TestResultsRight", "TestQuestions", "AddressDetails"}) {
    auto& s = Prepared(QStringLiteral("DELETE FROM %1 WHERE PatNo = ?1").arg(QLatin1String(table)));
    s.Bind(1, pat_no).Run();
  }
  const auto mirror = ReadMirror(pat_no);
  if (!mirror) return false;
  if (mirror->has_vision) {
    SetMirror(pat_no, QString(), QString());
    return false;
  }
  auto& p = Prepared(QStringLiteral("DELETE FROM PatDetails WHERE PatNo = ?1"));
  p.Bind(1, pat_no).Run();
  return true;
}

bool AudiogramStore::ChangePatientNo(const QString& old_no, const QString& new_no) {
  if (PatientExists(new_no) || !PatientExists(old_no)) return false;
  // The new patient row first, the dependants moved onto it, the old row
  // last: no row is ever without its patient.
  QStringList others = db::FieldNames(connection_, QStringLiteral("PatDetails"));
  others.removeAll(QStringLiteral("PatNo"));
  auto& insert =
      Prepared(QStringLiteral("INSERT INTO PatDetails (PatNo, %1) SELECT ?2, %1 FROM PatDetails "
                              "WHERE PatNo = ?1")
                   .arg(db::QuotedList(others)));
  insert.Bind(1, old_no).Bind(2, new_no).Run();
  for (const char* table : {"TestDetails", "TestResultsLeft", "TestResultsRight", "TestQuestions",
                            "AddressDetails", "VisionDetails", "VisionTest"}) {
    if (!db::TableExists(connection_, QLatin1String(table))) continue;
    auto& s = Prepared(
        QStringLiteral("UPDATE %1 SET PatNo = ?2 WHERE PatNo = ?1").arg(QLatin1String(table)));
    s.Bind(1, old_no).Bind(2, new_no).Run();
  }
  auto& remove = Prepared(QStringLiteral("DELETE FROM PatDetails WHERE PatNo = ?1"));
  remove.Bind(1, old_no).Run();
  return true;
}

void AudiogramStore::SetRecallDate(qint64 rowid, const QString& stored_date) {
  Prepared(QStringLiteral("UPDATE TestDetails SET RecallDate = ?1 WHERE rowid = ?2"))
      .Bind(1, stored_date)
      .Bind(2, rowid)
      .Run();
}

}  // namespace sonivera
