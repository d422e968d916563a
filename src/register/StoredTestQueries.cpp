#include "register/StoredTestQueries.h"

#include "db/Sqlite.h"

namespace sonivera {

namespace {

QString EarQuery(const char* table) {
  static const char* const kEarFields[] = {"250Hz", "500Hz", "1kHz", "1_5kHz", "2kHz",
                                           "3kHz",  "4kHz",  "6kHz", "8kHz"};
  QString columns;
  for (const char* f : kEarFields) columns += QStringLiteral("\"%1\", ").arg(QLatin1String(f));
  return QStringLiteral(
             "SELECT %1\"125Hz\", \"750Hz\" FROM %2 WHERE PatNo = ? AND TestDate = ? "
             "AND TestTime = ? LIMIT 1")
      .arg(columns, QLatin1String(table));
}

QString AnswersQuery() {
  QString columns;
  for (int i = 1; i <= kQuestionCount; ++i) columns += QStringLiteral("Q%1, ").arg(i);
  for (int i = 1; i <= kQuestionCount; ++i) {
    columns += QStringLiteral("Ans%1").arg(i) + QLatin1String(i < kQuestionCount ? ", " : "");
  }
  return QStringLiteral(
             "SELECT %1 FROM TestQuestions WHERE PatNo = ? AND TestDate = ? AND TestTime = ? "
             "LIMIT 1")
      .arg(columns);
}

void BindKey(db::Statement& s, const StoredTestKey& key) {
  s.Reset();
  s.Bind(1, key.pat_no).Bind(2, key.date).Bind(3, key.time);
}

std::optional<QStringList> Texts(db::Statement& s, const StoredTestKey& key, int columns) {
  BindKey(s, key);
  if (!s.Step()) return std::nullopt;
  QStringList values;
  for (int i = 0; i < columns; ++i) values << s.Text(i);
  return values;
}

std::optional<StoredAnswerRow> AnswerRow(db::Statement& s, const StoredTestKey& key) {
  BindKey(s, key);
  if (!s.Step()) return std::nullopt;
  StoredAnswerRow row;
  for (int i = 0; i < kQuestionCount; ++i) {
    row.code_texts[i] = s.Text(i);
    if (!s.IsNull(i)) row.codes[i] = s.Int(i);
    row.texts[i] = s.Text(kQuestionCount + i);
  }
  return row;
}

}  // namespace

std::optional<StoredAnswerRow> ReadTestAnswers(db::Connection& connection,
                                               const StoredTestKey& key) {
  db::Statement query = connection.Prepare(AnswersQuery());
  return AnswerRow(query, key);
}

struct StoredTestReader::Statements {
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
        answers(c, AnswersQuery()) {}
  db::Statement header, address, left, right, answers;
};

StoredTestReader::StoredTestReader(db::Connection& connection)
    : statements_(std::make_unique<Statements>(connection)) {}

StoredTestReader::~StoredTestReader() = default;

std::optional<QStringList> StoredTestReader::Header(const StoredTestKey& key) {
  return Texts(statements_->header, key, kHeaderColumns);
}

std::optional<std::array<QString, 6>> StoredTestReader::Address(const StoredTestKey& key) {
  const auto values = Texts(statements_->address, key, 6);
  if (!values) return std::nullopt;
  std::array<QString, 6> lines;
  for (int i = 0; i < 6; ++i) lines[i] = values->at(i);
  return lines;
}

std::optional<QStringList> StoredTestReader::LeftEar(const StoredTestKey& key) {
  return Texts(statements_->left, key, kEarColumns);
}

std::optional<QStringList> StoredTestReader::RightEar(const StoredTestKey& key) {
  return Texts(statements_->right, key, kEarColumns);
}

std::optional<StoredAnswerRow> StoredTestReader::Answers(const StoredTestKey& key) {
  return AnswerRow(statements_->answers, key);
}

}  // namespace sonivera
