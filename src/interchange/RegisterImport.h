#pragma once

#include <QString>
#include <memory>

#include "base/LineRefusals.h"
#include "interchange/CsvLayout.h"

namespace sonivera {

namespace db {
class Database;
class Statement;
}  // namespace db
class AudiogramStore;
class ErrorReporter;
class LineRefusals;
class ProgramFolder;
class RecordEditor;
class Register;
struct EntryFields;

// What a file import works with.
struct ImportContext {
  const ProgramFolder& folder;
  db::Database& database;
  ErrorReporter& reporter;
  RecordEditor& editor;
  // The register to rebuild after the import; null on the command line.
  Register* reg = nullptr;
};

// What an import did, for the summary line and the tests.
struct ImportSummary : LineCounts {
  bool read = false;     // the file was opened and its header accepted
  bool refused = false;  // the file could not be read, or its header is wrong
  bool stopped = false;  // Stop was pressed between lines
  int cp1252_lines = 0;  // lines that were not UTF-8, read as Windows-1252
  QString SummaryText() const;
};

// Puts one record's values into the main window's entry fields: texts,
// lists, dates, sex, thresholds, answers and the 125/750 Hz boxes.
void FillEntries(const CsvRecord& record, CsvLayout layout, EntryFields& entries);

// The register file import: each line goes through the record editor (add a
// patient or insert an audiogram, the entry fields filled, saved in bulk
// mode), so an imported test is checked and categorised like a typed one.
// Every rejected line is shown, logged and skipped.
class RegisterImporter {
 public:
  explicit RegisterImporter(ImportContext context);
  ~RegisterImporter();

  // The menu's import: "veldata.csv" (any case) is that file in the program
  // folder; any other name asks for the file.
  ImportSummary ChooseAndImport(const QString& file_name);
  // Imports the file at the path; silent for an empty path or an empty file.
  ImportSummary ImportFile(const QString& path);
  // Ends the import between lines (the import window's Stop).
  void RequestStop() { stop_requested_ = true; }

 private:
  using Outcome = LineOutcome;
  Outcome ImportLine(const QString& line, CsvLayout layout, bool complete);
  Outcome Reject(const QString& shown, const QString& logged);
  bool PatientSurname(const QString& pat_no, QString& surname);

  ImportContext context_;
  bool stop_requested_ = false;
  // The look-ups every line makes, prepared once per import.
  std::unique_ptr<AudiogramStore> lookups_;
  LineRefusals* refusals_ = nullptr;  // during ImportFile
};

}  // namespace sonivera
