#include "db/Schema.h"

#include <stdexcept>

#include "db/Sqlite.h"

namespace sonivera::db {

namespace {
FieldDef Text(const QString& name, int size, bool zero_length = true) {
  return {name, FieldType::Text, size, zero_length};
}
FieldDef Of(const QString& name, FieldType type) { return {name, type, 0, true}; }

std::vector<FieldDef> ThresholdFields() {
  std::vector<FieldDef> fields{Text("PatNo", 255, false)};
  for (const char* f :
       {"125Hz", "250Hz", "500Hz", "1kHz", "1_5kHz", "2kHz", "3kHz", "4kHz", "6kHz", "8kHz"}) {
    fields.push_back(Text(f, 7));
  }
  fields.push_back(Of("TestDate", FieldType::Date));
  fields.push_back(Of("TestTime", FieldType::Time));
  fields.push_back(Text("750Hz", 7));
  return fields;
}

std::vector<FieldDef> TestHeaderFields(bool with_scheme_values) {
  std::vector<FieldDef> fields{Text("PatNo", 16),
                               Text("TestType", 16),
                               Text("SerialNo", 40),
                               Text("Examiner", 40),
                               Text("DeptUnit", 40),
                               Text("Company", 40),
                               Text("PositionRank", 40),
                               Text("Location", 40),
                               Text("LeavingReason", 40),
                               Text("EmploymentStatus", 40),
                               Text("Categorisation", 150),
                               {"Notes", FieldType::Memo, 0, true},
                               Text("ServiceLengthText", 20),
                               Of("LengthofService", FieldType::Long),
                               Of("TimeofTest", FieldType::Time),
                               Of("PreviousTest", FieldType::Date),
                               Of("Calibrated", FieldType::Date),
                               Of("RecallDate", FieldType::Date),
                               Of("DateJoined", FieldType::Date),
                               Of("DateLeft", FieldType::Date),
                               Of("DateofTest", FieldType::Date),
                               Text("F1", 20),
                               Text("F2", 20),
                               Text("F3", 20)};
  if (with_scheme_values) {
    for (const char* f : {"MP42", "PAM", "IPA"}) fields.push_back(Of(f, FieldType::Single));
  }
  return fields;
}

std::vector<TableDef> BuildTables() {
  std::vector<TableDef> tables;
  tables.push_back(
      {"PatDetails",
       {Text("PatNo", 16, false), Text("Surname", 40), Text("Forenames", 40),
        Of("DOB", FieldType::Date), Text("Sex", 40), Of("DateofTest", FieldType::Date),
        Of("TimeofTest", FieldType::Time), Text("RecallPeriod", 10),
        Of("BaselineDate", FieldType::Date), Of("BaselineTime", FieldType::Time),
        Of("BaselineDateRight", FieldType::Date), Of("BaselineTimeRight", FieldType::Time),
        Of("VDateofTest", FieldType::Date), Of("VTimeofTest", FieldType::Time)},
       true,
       QString(),
       {"DateofTest", "TimeofTest"}});
  tables.push_back(
      {"TestDetails", TestHeaderFields(true), false, "results_info", {"DateofTest", "TimeofTest"}});
  tables.push_back(
      {"TestResultsLeft", ThresholdFields(), false, "pat_info", {"TestDate", "TestTime"}});
  tables.push_back(
      {"TestResultsRight", ThresholdFields(), false, "testr_info", {"TestDate", "TestTime"}});
  {
    std::vector<FieldDef> fields{Text("PatNo", 255, false)};
    for (int i = 1; i <= 50; ++i)
      fields.push_back(Of(QStringLiteral("Q%1").arg(i), FieldType::Integer));
    for (int i = 1; i <= 50; ++i)
      fields.push_back(Text(QStringLiteral("Ans%1").arg(i), 100, false));
    fields.push_back(Of("TestDate", FieldType::Date));
    fields.push_back(Of("TestTime", FieldType::Time));
    tables.push_back({"TestQuestions", fields, false, "q_info", {"TestDate", "TestTime"}});
  }
  {
    std::vector<FieldDef> fields{Text("PatNo", 16)};
    for (int i = 1; i <= 6; ++i) fields.push_back(Text(QStringLiteral("Address%1").arg(i), 40));
    fields.push_back(Of("DateofTest", FieldType::Date));
    fields.push_back(Of("TimeofTest", FieldType::Time));
    tables.push_back({"AddressDetails", fields, false, QString(), {"DateofTest", "TimeofTest"}});
  }
  {
    std::vector<FieldDef> fields{Text("PatNo", 16, false), Of("TestDate", FieldType::Date),
                                 Of("TestTime", FieldType::Time)};
    const char* singles1[] = {"FarBinoc", "FarBoth", "FarRight", "FarLeft", "FarDepthTest"};
    for (const char* f : singles1) fields.push_back(Of(f, FieldType::Single));
    const char* colours[] = {"FarColourAa", "FarColourAb", "FarColourB",
                             "FarColourCa", "FarColourCb", "FarColourD",
                             "FarColourEa", "FarColourEb", "FarColourF"};
    for (const char* f : colours) fields.push_back(Of(f, FieldType::Boolean));
    const char* singles2[] = {"FarVertical",     "FarLateral", "NearBinoc",    "NearBoth",
                              "NearRight",       "NearLeft",   "NearVertical", "NearLateral",
                              "IntTestDistance", "IntBoth",    "IntRight",     "IntLeft"};
    for (const char* f : singles2) fields.push_back(Of(f, FieldType::Single));
    const char* periphery[] = {"PR85", "PR70", "PR55",  "PRN45",  "PL85",
                               "PL70", "PL55", "PLN45", "Glasses"};
    for (const char* f : periphery) fields.push_back(Of(f, FieldType::Boolean));
    fields.push_back(Text("GlassesType", 32, false));
    fields.push_back(Of("Contacts", FieldType::Boolean));
    fields.push_back(Of("ChangeinRX", FieldType::Boolean));
    fields.push_back(Of("LastExam", FieldType::Date));
    fields.push_back(Of("Refer", FieldType::Boolean));
    tables.push_back({"VisionTest", fields, false, "vis_info", {"TestDate", "TestTime"}});
  }
  tables.push_back(
      {"VisionDetails", TestHeaderFields(false), false, "vis_det", {"DateofTest", "TimeofTest"}});
  return tables;
}

QString Check(const FieldDef& field) {
  const QString col = Quote(field.name);
  QStringList checks;
  switch (field.type) {
    case FieldType::Text:
      checks << QStringLiteral("length(%1) <= %2").arg(col).arg(field.size);
      [[fallthrough]];
    case FieldType::Memo:
      checks << QStringLiteral("typeof(%1) = 'text'").arg(col);
      if (!field.zero_length) checks << QStringLiteral("%1 <> ''").arg(col);
      break;
    case FieldType::Date:
      checks << QStringLiteral("%1 GLOB '[0-9][0-9][0-9][0-9]-[0-1][0-9]-[0-3][0-9]'").arg(col);
      break;
    case FieldType::Time:
      checks << QStringLiteral("%1 GLOB '[0-2][0-9]:[0-5][0-9]:[0-5][0-9]'").arg(col);
      break;
    case FieldType::Long:
      checks << QStringLiteral("typeof(%1) = 'integer' AND %1 BETWEEN -2147483648 AND 2147483647")
                    .arg(col);
      break;
    case FieldType::Integer:
      checks << QStringLiteral("typeof(%1) = 'integer' AND %1 BETWEEN -32768 AND 32767").arg(col);
      break;
    case FieldType::Single:
      checks << QStringLiteral("typeof(%1) IN ('real', 'integer')").arg(col);
      break;
    case FieldType::Boolean:
      checks << QStringLiteral("%1 IN (0, 1)").arg(col);
      break;
  }
  return QStringLiteral("CHECK (%1 IS NULL OR (%2))")
      .arg(col, checks.join(QStringLiteral(" AND ")));
}

QString TypeName(const FieldDef& field) {
  switch (field.type) {
    case FieldType::Text:
      return QStringLiteral("TEXT(%1)").arg(field.size);
    case FieldType::Memo:
      return QStringLiteral("TEXT");
    case FieldType::Date:
      return QStringLiteral("DATE");
    case FieldType::Time:
      return QStringLiteral("TIME");
    case FieldType::Long:
      return QStringLiteral("INTEGER");
    case FieldType::Integer:
      return QStringLiteral("SMALLINT");
    case FieldType::Single:
      return QStringLiteral("REAL");
    case FieldType::Boolean:
      return QStringLiteral("BOOLEAN");
  }
  return QStringLiteral("TEXT");
}

void CreateTable(Connection& connection, const TableDef& table) {
  connection.Exec(CreateTableSql(table));
  connection.Exec(IndexSql(table));
}
}  // namespace

const std::vector<TableDef>& Tables() {
  static const std::vector<TableDef> tables = BuildTables();
  return tables;
}

const TableDef& Table(const QString& name) {
  for (const auto& table : Tables()) {
    if (table.name == name) return table;
  }
  throw std::out_of_range("no such table");
}

QString Quote(const QString& identifier) {
  QString escaped = identifier;
  escaped.replace(u'"', QStringLiteral("\"\""));
  return u'"' + escaped + u'"';
}

QString QuotedList(const QStringList& fields) {
  QStringList quoted;
  for (const auto& f : fields) quoted << Quote(f);
  return quoted.join(QStringLiteral(", "));
}

QString Placeholders(int first, int count) {
  QStringList marks;
  for (int i = 0; i < count; ++i) marks << QStringLiteral("?%1").arg(first + i);
  return marks.join(QStringLiteral(", "));
}

QString Assignments(const QStringList& fields, int first) {
  QStringList parts;
  for (int i = 0; i < fields.size(); ++i) {
    parts << QStringLiteral("%1 = ?%2").arg(Quote(fields[i])).arg(first + i);
  }
  return parts.join(QStringLiteral(", "));
}

QString ColumnSql(const FieldDef& field) {
  QString sql = Quote(field.name) + u' ' + TypeName(field);
  if (field.type == FieldType::Text || field.type == FieldType::Memo) sql += " COLLATE NOCASE";
  return sql + u' ' + Check(field);
}

QString CreateTableSql(const TableDef& table, int field_count, bool with_relation) {
  const int count = field_count < 0 ? static_cast<int>(table.fields.size()) : field_count;
  QStringList parts;
  for (int i = 0; i < count; ++i) {
    QString column = ColumnSql(table.fields[i]);
    if (i == 0 && table.patno_primary) column += QStringLiteral(" PRIMARY KEY");
    parts << column;
  }
  if (with_relation && !table.relation.isEmpty()) {
    parts << QStringLiteral(
                 "CONSTRAINT %1 FOREIGN KEY (\"PatNo\") REFERENCES \"PatDetails\" (\"PatNo\")")
                 .arg(Quote(table.relation));
  }
  return QStringLiteral("CREATE TABLE %1 (\n  %2\n)")
      .arg(Quote(table.name), parts.join(QStringLiteral(",\n  ")));
}

QString IndexSql(const TableDef& table) {
  // The PatNo index leads with PatNo and carries the test key behind it, so
  // that a patient's tests come out in date order straight from the index.
  QStringList columns{Quote("PatNo")};
  for (const auto& k : table.key) columns << Quote(k);
  return QStringLiteral("CREATE INDEX IF NOT EXISTS %1 ON %2 (%3)")
      .arg(Quote(table.name + QStringLiteral("_PatNo")), Quote(table.name),
           columns.join(QStringLiteral(", ")));
}

void CreateDatabase(Connection& connection) {
  for (const auto& table : Tables()) {
    if (table.name.startsWith(QLatin1String("Vision"))) continue;
    CreateTable(connection, table);
  }
  CreateVisionTestTable(connection);
  CreateVisionDetailsTable(connection);
  for (const auto& sql : SpeedIndexSql()) connection.Exec(sql);
}

QStringList SpeedIndexSql() {
  // The register walks patients by their latest test, and sorts tests by date.
  return {QStringLiteral("CREATE INDEX IF NOT EXISTS \"PatDetails_Latest\" ON \"PatDetails\" "
                         "(\"DateofTest\", \"TimeofTest\")"),
          QStringLiteral("CREATE INDEX IF NOT EXISTS \"TestDetails_Date\" ON \"TestDetails\" "
                         "(\"DateofTest\", \"TimeofTest\")"),
          // The filtered register lists each patient's tests newest first.
          QStringLiteral("CREATE INDEX IF NOT EXISTS \"TestDetails_Newest\" ON \"TestDetails\" "
                         "(\"PatNo\", \"DateofTest\" DESC, \"TimeofTest\" DESC)")};
}

void CreateVisionTestTable(Connection& connection) { CreateTable(connection, Table("VisionTest")); }

void CreateVisionDetailsTable(Connection& connection) {
  CreateTable(connection, Table("VisionDetails"));
}

bool TableExists(Connection& connection, const QString& name) {
  auto statement = connection.Prepare(QStringLiteral(
      "SELECT 1 FROM sqlite_master WHERE type = 'table' AND name = ?1 COLLATE NOCASE"));
  statement.Bind(1, name);
  return statement.Step();
}

QStringList FieldNames(Connection& connection, const QString& table) {
  QStringList names;
  auto statement = connection.Prepare(QStringLiteral("PRAGMA table_info(%1)").arg(Quote(table)));
  while (statement.Step()) names << statement.Text(1);
  return names;
}

}  // namespace sonivera::db
