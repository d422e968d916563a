#pragma once
// What a database holds, as text for comparing in tests.
#include <QString>
#include <initializer_list>

#include "db/Sqlite.h"

namespace sonivera::test {

// The first value of the query's first row as text; "<none>" without a row.
inline QString ScalarText(db::Connection& conn, const QString& sql) {
  const auto v = conn.QueryValue(sql);
  return v ? v->toString() : QStringLiteral("<none>");
}

// Every row of the tables, one line each in a fixed order, to show that an
// action wrote nothing.
inline QString DumpTables(db::Connection& conn, std::initializer_list<const char*> tables) {
  QString out;
  for (const char* table : tables) {
    auto s = conn.Prepare(QStringLiteral("SELECT * FROM %1 ORDER BY 1, 2, 3, 4").arg(table));
    while (s.Step()) {
      out += table;
      for (int c = 0; c < s.ColumnCount(); ++c) out += u'|' + s.Value(c).toString();
      out += u'\n';
    }
  }
  return out;
}

}  // namespace sonivera::test
