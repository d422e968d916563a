#include "db/Upgrade.h"

#include "db/Schema.h"
#include "db/Sqlite.h"

namespace sonivera::db {

namespace {
const FieldDef& Field(const QString& table, const QString& name) {
  for (const auto& field : Table(table).fields) {
    if (field.name == name) return field;
  }
  throw std::out_of_range("no such field");
}

void AddField(Connection& connection, const QString& table, const FieldDef& field) {
  connection.Exec(
      QStringLiteral("ALTER TABLE %1 ADD COLUMN %2").arg(Quote(table), ColumnSql(field)));
}

void AddFields(Connection& connection, const QString& table,
               std::initializer_list<const char*> names) {
  for (const char* name : names) AddField(connection, table, Field(table, name));
}

int FieldCount(Connection& connection, const QString& table) {
  return static_cast<int>(FieldNames(connection, table).size());
}
}  // namespace

void UpgradeDatabase(Connection& connection) {
  Transaction transaction(connection);
  bool changed = false;

  if (FieldCount(connection, "PatDetails") < 9) {
    AddFields(connection, "PatDetails", {"BaselineDate", "BaselineTime"});
    changed = true;
  }
  if (FieldCount(connection, "PatDetails") < 11) {
    AddFields(connection, "PatDetails",
              {"BaselineDateRight", "BaselineTimeRight", "VDateofTest", "VTimeofTest"});
    changed = true;
  }
  if (const QStringList names = FieldNames(connection, "PatDetails"); names.size() < 13) {
    if (names.size() >= 11 &&
        names[10].compare(QLatin1String("BaselineDateRight"), Qt::CaseInsensitive) == 0) {
      AddFields(connection, "PatDetails", {"VDateofTest", "VTimeofTest"});
    } else {
      AddFields(connection, "PatDetails", {"BaselineDateRight", "BaselineTimeRight"});
    }
    changed = true;
  }

  bool user_fields_added = false;
  if (FieldCount(connection, "TestDetails") < 22) {
    // Added as fields that refuse the empty text; every existing test gets "-".
    for (const char* name : {"F1", "F2", "F3"}) {
      FieldDef field = Field("TestDetails", name);
      field.zero_length = false;
      AddField(connection, "TestDetails", field);
    }
    user_fields_added = true;
    changed = true;
  }
  if (FieldCount(connection, "TestDetails") < 25) {
    AddFields(connection, "TestDetails", {"MP42", "PAM", "IPA"});
    changed = true;
  }
  if (user_fields_added) {
    connection.Exec(
        QStringLiteral("UPDATE \"TestDetails\" SET \"F1\" = '-', \"F2\" = '-', \"F3\" = '-'"));
  }

  if (FieldCount(connection, "TestResultsLeft") < 14) {
    AddField(connection, "TestResultsLeft", Field("TestResultsLeft", "750Hz"));
    AddField(connection, "TestResultsRight", Field("TestResultsRight", "750Hz"));
    for (const char* table : {"TestResultsLeft", "TestResultsRight"}) {
      connection.Exec(
          QStringLiteral("UPDATE %1 SET \"750Hz\" = '', \"125Hz\" = ''").arg(Quote(table)));
    }
    changed = true;
  }

  if (!TableExists(connection, "VisionTest")) {
    CreateVisionTestTable(connection);
    changed = true;
  }
  if (!TableExists(connection, "VisionDetails")) {
    CreateVisionDetailsTable(connection);
    changed = true;
  }
  // The indexes that keep lookups by patient fast; a file from an older
  // release may lack them.
  for (const auto& table : Tables()) {
    if (TableExists(connection, table.name)) {
      const QStringList names = FieldNames(connection, table.name);
      bool has_key = true;
      for (const auto& k : table.key) has_key = has_key && names.contains(k);
      if (has_key &&
          !connection.QueryValue(
              QStringLiteral(
                  "SELECT 1 FROM sqlite_master WHERE type = 'index' AND name = '%1_PatNo'")
                  .arg(table.name))) {
        connection.Exec(IndexSql(table));
        changed = true;
      }
    }
  }
  for (const auto& sql : SpeedIndexSql()) {
    const QString name = sql.section(u'"', 1, 1);
    if (!connection.QueryValue(
            QStringLiteral("SELECT 1 FROM sqlite_master WHERE type = 'index' AND name = '%1'")
                .arg(name))) {
      connection.Exec(sql);
      changed = true;
    }
  }
  if (changed) {
    transaction.Commit();
  }
}

}  // namespace sonivera::db
