#pragma once

#include <QString>
#include <QStringList>
#include <vector>

namespace sonivera::db {

class Connection;

// The field types of the database. Dates are stored as 'yyyy-MM-dd' text and
// times as 'HH:mm:ss' text; "no value" is NULL.
enum class FieldType { Text, Memo, Date, Time, Long, Integer, Single, Boolean };

struct FieldDef {
  QString name;
  FieldType type;
  int size = 0;             // Text: the most characters
  bool zero_length = true;  // Text and Memo: whether the empty text is accepted
};

struct TableDef {
  QString name;
  std::vector<FieldDef> fields;
  bool patno_primary = false;
  QString relation;  // the named relation to PatDetails, empty for none
  QStringList key;   // the date and time fields of the test key, for the index
};

// The tables in creation order, with their fields in order.
const std::vector<TableDef>& Tables();
const TableDef& Table(const QString& name);

// SQL that creates a table holding its first field_count fields (all when
// field_count is negative), with its checks and relation.
QString CreateTableSql(const TableDef& table, int field_count = -1, bool with_relation = true);
QString IndexSql(const TableDef& table);
// Indexes that keep the register's orders and filters fast on a large file.
QStringList SpeedIndexSql();
// The column definition for ALTER TABLE ... ADD COLUMN.
QString ColumnSql(const FieldDef& field);
QString Quote(const QString& identifier);
// Pieces of statements over a list of fields: the fields quoted and joined
// ("a", "b"); numbered parameters from `first` (?1, ?2); assignments of the
// fields from numbered parameters ("a" = ?2, "b" = ?3).
QString QuotedList(const QStringList& fields);
QString Placeholders(int first, int count);
QString Assignments(const QStringList& fields, int first);

// Creates every table, index and relation of a new database.
void CreateDatabase(Connection& connection);
void CreateVisionTestTable(Connection& connection);
void CreateVisionDetailsTable(Connection& connection);

bool TableExists(Connection& connection, const QString& name);
// The names of a table's fields in order.
QStringList FieldNames(Connection& connection, const QString& table);

}  // namespace sonivera::db
