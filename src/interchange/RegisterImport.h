#pragma once

#include <QString>
#include <memory>

#include "interchange/CsvLayout.h"

namespace sonivera {

namespace db {
class Statement;
}
class Application;
class LineRefusals;
class RecordEditor;
class Register;
struct EntryFields;

// What an import did, for the summary line and the tests.
struct ImportSummary {
  bool read = false;     // the file was opened and its header accepted
  bool refused = false;  // the file could not be read, or its header is wrong
  int lines = 0;         // record lines met
  int added = 0;         // audiograms stored
  int existing = 0;      // lines whose test is stored already (1401)
  int rejected = 0;      // every other line not stored
  bool stopped = false;  // Stop was pressed between lines
  int cp1252_lines = 0;  // lines that were not UTF-8, read as Windows-1252
  QString SummaryText() const;
};

// Puts one record's values into the main window's entry fields: texts,
// lists, dates, sex, thresholds, answers and the 125/750 Hz boxes.
void FillEntries(const CsvRecord& record, CsvLayout layout, EntryFields& entries);

// The register file import: each line goes through the record editor (add a
// patient or insert an audiogram, the entry fields filled, mnuPost in
// BulkMode), so an imported test is checked and categorised like a typed one.
// Every rejected line is shown, logged and skipped.
class RegisterImporter {
 public:
  // reg may be null (no register to rebuild, e.g. the command line).
  RegisterImporter(Application& app, RecordEditor& editor, Register* reg = nullptr);
  ~RegisterImporter();

  // importfile: "veldata.csv" (any case) is that file in the program folder;
  // any other name asks for the file.
  ImportSummary importfile(const QString& file_name);
  // Imports the file at the path; silent for an empty path or an empty file.
  ImportSummary ImportPath(const QString& path);

 private:
  enum class Outcome { Added, Existing, Rejected };
  Outcome ImportLine(const QString& line, CsvLayout layout, bool complete);
  Outcome Reject(const QString& shown, const QString& logged);
  bool PatientSurname(const QString& pat_no, QString& surname);
  bool LeftEarRowExists(const QString& pat_no, const QDate& date, const QTime& time);

  Application& app_;
  RecordEditor& editor_;
  Register* register_;
  // The look-ups every line makes, prepared once per import.
  std::unique_ptr<db::Statement> surname_query_;
  std::unique_ptr<db::Statement> left_query_;
  LineRefusals* refusals_ = nullptr;  // during ImportPath
};

}  // namespace sonivera
