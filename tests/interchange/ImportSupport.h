#pragma once

#include <gtest/gtest.h>

#include <QFile>
#include <QString>

#include "db/Sqlite.h"
#include "interchange/RegisterExport.h"
#include "interchange/RegisterImport.h"
#include "register/Recategorise.h"
#include "register/RecordEditor.h"
#include "register/RegisterGenerator.h"
#include "support/TestApp.h"

namespace sonivera::test {

// Imports a file into the program as the menu command does.
inline ImportSummary ImportInto(TestApp& t, const QString& path) {
  RecordEditor editor(t->ForEditor(), nullptr);
  const ImportSummary summary = RegisterImporter(t->ForImport(editor, nullptr)).ImportFile(path);
  // Every import leaves the editor browsing and out of bulk mode.
  EXPECT_FALSE(editor.Editing());
  EXPECT_FALSE(editor.BulkMode());
  return summary;
}

// Exports the unfiltered register and returns the file's bytes.
inline QByteArray ExportFrom(TestApp& t, const QString& name, CsvLayout layout = CsvLayout::Snv52) {
  const QString path = t.folder.File(name);
  WriteRegisterCsv(t->Db(), t->Reporter(), path, layout,
                   RegisterRows(t->Db().Conn(), RegisterSql()));
  QFile file(path);
  if (!file.open(QIODevice::ReadOnly)) return {};
  return file.readAll();
}

// An import's counts as one line.
inline QString Counts(const ImportSummary& s) {
  return QStringLiteral("%1 added, %2 existing, %3 rejected")
      .arg(s.added)
      .arg(s.existing)
      .arg(s.rejected);
}

inline qint64 Count(TestApp& t, const QString& sql) {
  return t->Db().Conn().QueryValue(sql).value_or(QVariant()).toLongLong();
}
inline QString Stored(TestApp& t, const QString& sql) {
  return t->Db().Conn().QueryValue(sql).value_or(QVariant()).toString();
}

// Each patient as "number:surname:tests", in number order.
inline const char* kPatientsAndTestCounts =
    "SELECT group_concat(PatNo || ':' || Surname || ':' || (SELECT COUNT(*) FROM TestDetails d "
    "WHERE d.PatNo = p.PatNo), ' ') FROM (SELECT * FROM PatDetails ORDER BY PatNo) p";

// A file of the header, the heading line and the given lines.
inline QByteArray CsvFileText(CsvLayout layout, const QStringList& lines,
                              const QString& header = QString()) {
  QString text =
      (header.isEmpty() ? HeaderLine(layout) : header) + "\r\n" + HeadingLine(layout) + "\r\n";
  for (const auto& line : lines) text += line + "\r\n";
  return text.toUtf8();
}

// The generated audiograms of patients [first, first + count) as file lines,
// each patient's tests oldest first.
inline QStringList GeneratedLines(int first, int count, int tests, CsvLayout layout) {
  GeneratorOptions options;
  options.patients = first + count;
  options.tests_per_patient = tests;
  QStringList lines;
  for (int p = first; p < first + count; ++p) {
    for (const auto& record : GeneratePatient(options, p)) {
      lines << FormatCsvLine(CsvRecordFrom(record), layout);
    }
  }
  return lines;
}

}  // namespace sonivera::test
