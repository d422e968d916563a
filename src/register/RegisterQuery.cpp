#include "register/RegisterQuery.h"

#include <QDate>
#include <QRegularExpression>
#include <QStringList>

#include "base/DateText.h"
#include "base/Messages.h"
#include "categorise/Schemes.h"

namespace sonivera {

namespace {
struct ColumnDef {
  const char* heading;
  const char* source;
  int width;
  bool date;
};
constexpr ColumnDef kColumns[kRegisterColumnCount] = {
    {"Pat No", "TestDetails.PatNo", 1400, false},
    {"Surname", "PatDetails.Surname", 2000, false},
    {"Forenames", "PatDetails.Forenames", 1500, false},
    {"Last Test", "TestDetails.DateofTest", 1100, true},
    {"Time of Test", "TestDetails.TimeofTest", 1100, false},
    {"Previous Test", "TestDetails.PreviousTest", 1200, true},
    {"Date of Birth", "PatDetails.DOB", 1500, true},
    {"Categorisation", "TestDetails.Categorisation", 2500, false},
    {"Position/Rank", "TestDetails.PositionRank", 0, false},
    {"Dept/Unit", "TestDetails.DeptUnit", 0, false},
    {"Company", "TestDetails.Company", 0, false},
    {"Location", "TestDetails.Location", 0, false},
    {"Sex", "PatDetails.Sex", 0, false},
    {"Examiner", "TestDetails.Examiner", 0, false},
    {"Recall Date", "TestDetails.RecallDate", 1200, true},
    {"Status", "TestDetails.EmploymentStatus", 0, false},
    {"Date Joined", "TestDetails.DateJoined", 1100, true},
    {"Date Left", "TestDetails.DateLeft", 1200, true},
    {"Leaving Reason", "TestDetails.LeavingReason", 0, false},
    {"Length of Service", "TestDetails.ServiceLengthText", 0, false},
    {"F1", "TestDetails.F1", 0, false},
    {"F2", "TestDetails.F2", 0, false},
    {"F3", "TestDetails.F3", 0, false},
};

QString SelectList() {
  QStringList parts;
  for (const auto& c : kColumns) {
    parts << QStringLiteral("%1 AS \"%2\"").arg(QLatin1String(c.source), QLatin1String(c.heading));
  }
  return QStringLiteral("SELECT ") + parts.join(QStringLiteral(", "));
}

const QString kJoin = QStringLiteral(
    " FROM PatDetails INNER JOIN TestDetails ON PatDetails.PatNo = TestDetails.PatNo");
const QString kLatestOnly = QStringLiteral(
    "PatDetails.DateofTest = TestDetails.DateofTest AND PatDetails.TimeofTest = "
    "TestDetails.TimeofTest");

// The text fields of the filter boxes 0 to 9, 14 and 27 to 29.
const char* TextField(int item) {
  static const char* const kFirst[] = {"PatDetails.PatNo",          "PatDetails.Surname",
                                       "PatDetails.Forenames",      "TestDetails.PositionRank",
                                       "TestDetails.DeptUnit",      "TestDetails.Company",
                                       "TestDetails.Location",      "TestDetails.Examiner",
                                       "TestDetails.LeavingReason", "TestDetails.EmploymentStatus"};
  if (item >= 0 && item <= 9) return kFirst[item];
  if (item == 14) return "PatDetails.Sex";
  if (item >= 27 && item <= 29) {
    static const char* const kUser[] = {"TestDetails.F1", "TestDetails.F2", "TestDetails.F3"};
    return kUser[item - 27];
  }
  return nullptr;
}

// The date fields of the boxes 15 to 26, in pairs (on or after, on or before).
const char* DateField(int item) {
  static const char* const kDates[] = {"TestDetails.DateofTest",   "PatDetails.DOB",
                                       "TestDetails.PreviousTest", "TestDetails.DateJoined",
                                       "TestDetails.DateLeft",     "TestDetails.RecallDate"};
  return (item >= 15 && item <= 26) ? kDates[(item - 15) / 2] : nullptr;
}

std::optional<int> WholeNumber(const QString& text) {
  bool ok = false;
  const int value = text.trimmed().toInt(&ok);
  if (!ok || value < 0) return std::nullopt;
  return value;
}

std::optional<double> Decimal(const QString& text) {
  QString value = text.trimmed();
  value.replace(u',', u'.');
  bool ok = false;
  const double number = value.toDouble(&ok);
  return ok ? std::optional<double>(number) : std::nullopt;
}
}  // namespace

QString RegisterHeading(int column) { return QLatin1String(kColumns[column].heading); }
int RegisterColumnWidth(int column) { return kColumns[column].width; }
bool IsRegisterDateColumn(int column) { return kColumns[column].date; }

QString SortFieldSql(SortField field) {
  switch (field) {
    case SortField::None:
      return QString();
    case SortField::PatNo:
      return QStringLiteral("PatDetails.PatNo");
    case SortField::Surname:
      return QStringLiteral("PatDetails.Surname");
    case SortField::DOB:
      return QStringLiteral("PatDetails.DOB");
    case SortField::DateofTest:
      return QStringLiteral("TestDetails.DateofTest");
    case SortField::PreviousTest:
      return QStringLiteral("TestDetails.PreviousTest");
    case SortField::Categorisation:
      return QStringLiteral("TestDetails.Categorisation");
  }
  return QString();
}

QString SortCaption(SortField field) { return Msg(840 + static_cast<int>(field)); }

bool FilterCriteria::IsEmpty() const {
  for (const auto& t : Boxes) {
    if (!t.trimmed().isEmpty()) return false;
  }
  return !(Category1 || Category2 || Category3 || Category4 || CategoryU || Category4NoData ||
           Incomplete || Shift || Nihl || Mp42.ticked || Pam.ticked || Ipa.ticked);
}

QString StoredDateFromText(const QString& text) {
  static const QRegularExpression shape(
      QStringLiteral("^\\s*(\\d{1,2})[/.-](\\d{1,2})[/.-](\\d{2}|\\d{4})\\s*$"));
  const auto m = shape.match(text);
  if (!m.hasMatch()) return QString();
  int year = m.captured(3).toInt();
  if (m.captured(3).size() == 2) year += year < 30 ? 2000 : 1900;
  const QDate date(year, m.captured(2).toInt(), m.captured(1).toInt());
  return StoredDateText(date);
}

FilterBuild BuildFilter(const FilterCriteria& criteria, int lcid) {
  FilterBuild build;
  QStringList conditions;
  FilterCondition condition;
  for (int item = 0; item < 30; ++item) {
    const QString text = criteria.Boxes[item].trimmed();
    if (text.isEmpty()) continue;
    if (const char* field = TextField(item)) {
      conditions << QStringLiteral("%1 = ?").arg(QLatin1String(field));
      condition.params << text;
    } else if (const char* date_field = DateField(item)) {
      const QString date = StoredDateFromText(text);
      if (date.isNull()) return {std::nullopt, 1043, item};
      const bool after = (item - 15) % 2 == 0;
      conditions << QStringLiteral("%1 %2 ?").arg(
          QLatin1String(date_field), after ? QStringLiteral(">=") : QStringLiteral("<="));
      condition.params << date;
      if (item >= 25) condition.mentions_recall = true;
    }
  }
  // Length of service: from (boxes 10, 11) and to (12, 13), in years and months.
  for (int first : {10, 12}) {
    const QString years = criteria.Boxes[first].trimmed();
    const QString months = criteria.Boxes[first + 1].trimmed();
    if (years.isEmpty() && months.isEmpty()) continue;
    const auto y = years.isEmpty() ? std::optional<int>(0) : WholeNumber(years);
    if (!y) return {std::nullopt, 1522, first};
    const auto m = months.isEmpty() ? std::optional<int>(0) : WholeNumber(months);
    if (!m) return {std::nullopt, 1522, first + 1};
    conditions << (first == 10 ? QStringLiteral("TestDetails.LengthofService >= ?")
                               : QStringLiteral("TestDetails.LengthofService < ?"));
    condition.params << (*y * 12 + *m);
  }
  if (condition.mentions_recall) conditions << kLatestOnly;

  auto like = [&](const char* pattern) {
    conditions
        << QStringLiteral("TestDetails.Categorisation LIKE '%1'").arg(QLatin1String(pattern));
  };
  if (!IsFrenchLocale(lcid)) {
    if (criteria.Category1) like("%HSE% 1 %");
    if (criteria.Category2) like("%HSE%2%");
    if (criteria.Category3) like("%HSE%3%");
    if (criteria.Category4) {
      like("%HSE%4%");
      conditions << QStringLiteral("TestDetails.Categorisation NOT LIKE '%no data%'");
    }
    if (criteria.CategoryU) like("%HSE%U%");
    if (criteria.Category4NoData) like("%no data%");
    if (criteria.Shift) like("%STS-%");
    if (criteria.Nihl) like("%NIHL-%");
    if (criteria.Incomplete) like("%data incomplete%");
  } else {
    struct Scheme {
      const FilterCriteria::Range& range;
      const char* pattern;
      const char* field;
    };
    for (const Scheme& s :
         {Scheme{criteria.Mp42, "%MP42=%", "MP42"}, Scheme{criteria.Pam, "%PAM=%", "PAM"},
          Scheme{criteria.Ipa, "%IPA=%", "IPA"}}) {
      if (!s.range.ticked) continue;
      like(s.pattern);
      for (const auto& [text, op] :
           {std::pair{s.range.upper, "<="}, std::pair{s.range.lower, ">="}}) {
        if (text.trimmed().isEmpty()) continue;
        const auto value = Decimal(text);
        if (!value) return {std::nullopt, 1522, -1};
        conditions
            << QStringLiteral("TestDetails.%1 %2 ?").arg(QLatin1String(s.field), QLatin1String(op));
        condition.params << *value;
      }
    }
  }
  if (conditions.isEmpty()) return build;
  condition.where = conditions.join(QStringLiteral(" AND "));
  build.condition = condition;
  return build;
}

SqlQuery RegisterSql() {
  // The join condition makes PatDetails' mirror equal to the test's key, so
  // ordering by the mirror gives the same order and walks its index.
  return {SelectList() + kJoin + QStringLiteral(" AND ") + kLatestOnly +
              QStringLiteral(" ORDER BY PatDetails.DateofTest DESC, PatDetails.TimeofTest DESC"),
          {}};
}

SqlQuery TestKeysFromIndexSql() {
  return {QStringLiteral("SELECT PatNo, DateofTest, TimeofTest FROM TestDetails INDEXED BY "
                         "\"TestDetails_Newest\" ORDER BY PatNo, DateofTest DESC, TimeofTest DESC"),
          {}};
}

// Both walk the latest-test index of PatDetails from the given key on (a
// row-value comparison is one index range), so placing a patient far down a
// large register costs a count of index entries, not a walk of the rows.
SqlQuery RegisterFromSql(const QString& date, const QString& time) {
  return {SelectList() + kJoin + QStringLiteral(" AND ") + kLatestOnly +
              QStringLiteral(" WHERE (PatDetails.DateofTest, PatDetails.TimeofTest) <= (?1, ?2) "
                             "ORDER BY PatDetails.DateofTest DESC, PatDetails.TimeofTest DESC"),
          {date, time}};
}

SqlQuery RegisterRowsBeforeSql(const QString& date, const QString& time) {
  // Every patient with a test has its latest test's key in PatDetails (the
  // save keeps it), so the index alone gives the register's rows before it.
  return {QStringLiteral("SELECT COUNT(*) FROM PatDetails "
                         "WHERE (DateofTest, TimeofTest) > (?1, ?2)"),
          {date, time}};
}

SqlQuery SortedSql(SortField field, const FilterCondition* filter) {
  SqlQuery query{SelectList() + kJoin, {}};
  if (filter != nullptr && !filter->where.isEmpty()) {
    query.sql += QStringLiteral(" WHERE ") + filter->where;
    query.params = filter->params;
  }
  query.sql += QStringLiteral(" ORDER BY ") + SortFieldSql(field) +
               QStringLiteral(
                   ", TestDetails.PatNo, TestDetails.DateofTest DESC, "
                   "TestDetails.TimeofTest DESC");
  return query;
}

SqlQuery FilteredSql(const FilterCondition& filter, SortField field) {
  const QString first = field == SortField::None ? QString() : SortFieldSql(field) + u',';
  return {SelectList() + kJoin + QStringLiteral(" WHERE ") + filter.where +
              QStringLiteral(" ORDER BY ") + first +
              QStringLiteral(" TestDetails.PatNo, TestDetails.DateofTest DESC, "
                             "TestDetails.TimeofTest DESC"),
          filter.params};
}

SqlQuery FilteredPatientCountSql(const FilterCondition& filter) {
  return {QStringLiteral("SELECT COUNT(DISTINCT TestDetails.PatNo), COUNT(*)") + kJoin +
              QStringLiteral(" WHERE ") + filter.where,
          filter.params};
}

}  // namespace sonivera
