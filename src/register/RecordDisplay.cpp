#include "register/RecordDisplay.h"

#include "base/Messages.h"
#include "db/Sqlite.h"

namespace sonivera {

TestMarker MarkerFor(int test_index) {
  return test_index > 0 ? TestMarker{Msg(1115), true} : TestMarker{Msg(1116), false};
}

qint64 PatientCount(db::Connection& connection) {
  return connection.QueryValue(QStringLiteral("SELECT COUNT(*) FROM PatDetails"))
      .value_or(QVariant(0))
      .toLongLong();
}

std::vector<TestKey> PatientTestKeys(db::Connection& connection, const QString& pat_no) {
  auto s = connection.Prepare(
      QStringLiteral("SELECT DateofTest, TimeofTest FROM TestDetails WHERE PatNo = ?1 "
                     "ORDER BY DateofTest DESC, TimeofTest DESC"));
  s.Bind(1, pat_no);
  std::vector<TestKey> keys;
  while (s.Step()) keys.push_back({s.Text(0), s.Text(1)});
  return keys;
}

std::optional<TestKey> LatestTestKey(db::Connection& connection, const QString& pat_no) {
  auto s = connection.Prepare(
      QStringLiteral("SELECT DateofTest, TimeofTest FROM TestDetails WHERE PatNo = ?1 "
                     "ORDER BY DateofTest DESC, TimeofTest DESC LIMIT 1"));
  s.Bind(1, pat_no);
  if (!s.Step()) return std::nullopt;
  return TestKey{s.Text(0), s.Text(1)};
}

bool LoadPatientEntries(db::Connection& connection, const QString& pat_no, EntryFields& entries) {
  auto s = connection.Prepare(QStringLiteral(
      "SELECT PatNo, Surname, Forenames, DOB, Sex FROM PatDetails WHERE PatNo = ?1"));
  s.Bind(1, pat_no);
  if (!s.Step()) return false;
  entries.PatNo = s.Text(0);
  entries.Surname = s.Text(1);
  entries.Forenames = s.Text(2);
  entries.DOB = DateBoxText(s.Text(3));
  entries.SetSex(s.Text(4));
  return true;
}

std::array<QString, kThresholdBoxCount> LoadThresholds(db::Connection& connection,
                                                       const QString& pat_no, const TestKey& key) {
  // The statement names the stored fields in box order; built once.
  static const auto sql = [] {
    std::array<QString, 2> texts;
    for (bool left : {true, false}) {
      QStringList fields;
      for (int box = 0; box < kThresholdBoxCount; ++box) {
        if (ThresholdBoxAt(box).left == left) {
          fields << u'"' + QLatin1String(ThresholdBoxAt(box).field) + u'"';
        }
      }
      texts[left ? 0 : 1] =
          QStringLiteral("SELECT %1 FROM %2 WHERE PatNo = ?1 AND TestDate = ?2 AND TestTime = ?3")
              .arg(fields.join(QStringLiteral(", ")),
                   left ? QStringLiteral("TestResultsLeft") : QStringLiteral("TestResultsRight"));
    }
    return texts;
  }();
  std::array<QString, kThresholdBoxCount> boxes;
  for (bool left : {true, false}) {
    auto s = connection.Prepare(sql[left ? 0 : 1]);
    s.Bind(1, pat_no).Bind(2, key.date).Bind(3, key.time);
    if (!s.Step()) continue;
    int column = 0;
    for (int box = 0; box < kThresholdBoxCount; ++box) {
      if (ThresholdBoxAt(box).left == left) boxes[box] = s.Text(column++);
    }
  }
  return boxes;
}

std::array<QString, kAddressLineCount> LatestAddress(db::Connection& connection,
                                                     const QString& pat_no) {
  std::array<QString, kAddressLineCount> lines;
  auto s = connection.Prepare(QStringLiteral(
      "SELECT Address1, Address2, Address3, Address4, Address5, Address6 FROM AddressDetails "
      "WHERE PatNo = ?1 ORDER BY DateofTest DESC, TimeofTest DESC LIMIT 1"));
  s.Bind(1, pat_no);
  if (s.Step()) {
    for (int i = 0; i < kAddressLineCount; ++i) lines[i] = s.Text(i);
  }
  return lines;
}

void LoadTestHeader(db::Connection& connection, const QString& pat_no, const TestKey& key,
                    EntryFields& e) {
  auto s = connection.Prepare(QStringLiteral(
      "SELECT TestType, SerialNo, Examiner, DeptUnit, Company, PositionRank, Location, "
      "LeavingReason, EmploymentStatus, Categorisation, Notes, ServiceLengthText, PreviousTest, "
      "Calibrated, RecallDate, DateJoined, DateLeft, F1, F2, F3 FROM TestDetails "
      "WHERE PatNo = ?1 AND DateofTest = ?2 AND TimeofTest = ?3"));
  s.Bind(1, pat_no).Bind(2, key.date).Bind(3, key.time);
  e.Dates[kBoxDateofTest] = DateBoxText(key.date);
  e.Dates[kBoxTimeofTest] = TimeBoxText(key.time);
  if (s.Step()) {
    e.TestType = s.Text(0);
    e.SerialNo = s.Text(1);
    e.Details[kComboExaminer] = s.Text(2);
    e.Details[kComboDeptUnit] = s.Text(3);
    e.Details[kComboCompany] = s.Text(4);
    e.Details[kComboPositionRank] = s.Text(5);
    e.Details[kComboLocation] = s.Text(6);
    e.Details[kComboLeavingReason] = s.Text(7);
    e.Details[kComboStatus] = s.Text(8);
    e.Categorisation = s.Text(9);
    e.Notes = s.Text(10);
    e.ServiceLength = s.Text(11);
    e.Dates[kBoxPreviousTest] = DateBoxText(s.Text(12));
    e.Dates[kBoxCalibrated] = DateBoxText(s.Text(13));
    e.Dates[kBoxRecallDate] = DateBoxText(s.Text(14));
    e.Dates[kBoxDateJoined] = DateBoxText(s.Text(15));
    e.Dates[kBoxDateLeft] = DateBoxText(s.Text(16));
    e.Details[kComboF1] = s.Text(17);
    e.Details[kComboF2] = s.Text(18);
    e.Details[kComboF3] = s.Text(19);
  }
}

void LoadTestEntries(db::Connection& connection, const QString& pat_no, const TestKey& key,
                     EntryFields& e) {
  LoadTestHeader(connection, pat_no, key, e);
  auto a = connection.Prepare(QStringLiteral(
      "SELECT Address1, Address2, Address3, Address4, Address5, Address6 FROM AddressDetails "
      "WHERE PatNo = ?1 AND DateofTest = ?2 AND TimeofTest = ?3"));
  a.Bind(1, pat_no).Bind(2, key.date).Bind(3, key.time);
  if (a.Step()) {
    for (int i = 0; i < kAddressLineCount; ++i) e.Address[i] = a.Text(i);
  } else {
    e.Address = {};
  }
  e.Thresholds = LoadThresholds(connection, pat_no, key);
  // The codes Q1 to Q50, then the texts Ans1 to Ans50.
  static const QString questions_sql = [] {
    QStringList fields;
    for (int i = 1; i <= kAnswerCount; ++i) fields << QStringLiteral("Q%1").arg(i);
    for (int i = 1; i <= kAnswerCount; ++i) fields << QStringLiteral("Ans%1").arg(i);
    return QStringLiteral(
               "SELECT %1 FROM TestQuestions WHERE PatNo = ?1 AND TestDate = ?2 AND TestTime = ?3")
        .arg(fields.join(QStringLiteral(", ")));
  }();
  auto q = connection.Prepare(questions_sql);
  q.Bind(1, pat_no).Bind(2, key.date).Bind(3, key.time);
  e.QuestionCodes.fill(0);
  for (auto& t : e.AnswerTexts) t.clear();
  if (q.Step()) {
    for (int i = 0; i < kAnswerCount; ++i) {
      e.QuestionCodes[i] = static_cast<int>(q.Int(i));
      e.AnswerTexts[i] = q.Text(kAnswerCount + i);
    }
  }
}

RecordView LoadRecordView(db::Connection& connection, const QString& pat_no, int test_index) {
  RecordView view;
  if (!LoadPatientEntries(connection, pat_no, view.entries)) return view;
  const auto tests = PatientTestKeys(connection, pat_no);
  view.record_count = static_cast<int>(tests.size());
  if (test_index >= 0 && test_index < view.record_count) {
    LoadTestEntries(connection, pat_no, tests[test_index], view.entries);
    if (test_index + 1 < view.record_count) {
      view.entries.Previous = LoadThresholds(connection, pat_no, tests[test_index + 1]);
    }
    view.record_number = view.record_count - test_index;
  }
  view.marker = MarkerFor(test_index);
  view.baseline = BaselineText(connection, pat_no);
  return view;
}

void LoadGrid(const EntryFields& entries, AudiogramGrid& grid) {
  grid.Clear();
  for (int item = 0; item < kThresholdBoxCount; ++item) {
    const ThresholdBox& box = ThresholdBoxAt(item);
    // A -20 on show means no value (the PC audiometer's empty threshold).
    const QString& shown = entries.Thresholds[item];
    grid.SetCell(box.grid_row, box.grid_column,
                 shown.trimmed() == QLatin1String("-20") ? QString() : shown);
    grid.SetCell(box.grid_row + 1, box.grid_column, entries.Previous[item]);
  }
}

QString BaselineText(db::Connection& connection, const QString& pat_no) {
  auto s = connection.Prepare(
      QStringLiteral("SELECT BaselineDate, BaselineTime FROM PatDetails WHERE PatNo = ?1"));
  s.Bind(1, pat_no);
  if (s.Step() && !s.IsNull(0) && !s.IsNull(1)) return DateBoxText(s.Text(0));
  return Msg(931);
}

std::optional<TestKey> PreviousResultKey(db::Connection& connection, const QString& pat_no,
                                         const TestKey& key) {
  auto s = connection.Prepare(QStringLiteral(
      "SELECT TestDate, TestTime FROM TestResultsLeft WHERE PatNo = ?1 AND "
      "(TestDate < ?2 OR (TestDate = ?2 AND TestTime < ?3)) "
      "ORDER BY TestDate DESC, TestTime DESC LIMIT 1"));
  s.Bind(1, pat_no).Bind(2, key.date).Bind(3, key.time);
  if (!s.Step()) return std::nullopt;
  return TestKey{s.Text(0), s.Text(1)};
}

}  // namespace sonivera
