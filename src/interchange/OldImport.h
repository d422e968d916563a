#pragma once

#include <QString>

#include "interchange/OldFormats.h"
#include "interchange/RegisterImport.h"

namespace sonivera {

class LineRefusals;
struct SchemeChecks;

// What the import window shows of an older-release import.
class OldImportListener {
 public:
  virtual ~OldImportListener() = default;
  // After each record: the number of records imported so far.
  virtual void RecordImported(int imported) = 0;
};

// The import of the older release's files: each record becomes a new
// audiogram through the record editor, with that release's patient-number
// rules. Fixed records (.dat) are categorised by HSE alone: the import
// changes the run's scheme boxes and sets them back after it.
class OldReleaseImporter {
 public:
  enum class Kind { Csv, Dat };

  OldReleaseImporter(ImportContext context, SchemeChecks& schemes)
      : context_(context), schemes_(schemes) {}

  // The two questions before the import window opens: the baseline question
  // (Yes/No) and the sort reminder. Returns the baseline choice.
  bool AskBeforeImport();
  void SetCreateBaseline(bool create) { create_baseline_ = create; }

  // The import window's start button: asks for the file, then imports it.
  ImportSummary Start(Kind kind);
  // Imports the file at the path, telling the listener after each record;
  // RequestStop ends the loop between records.
  ImportSummary ImportFile(Kind kind, const QString& path);
  void SetListener(OldImportListener* listener) { listener_ = listener; }
  void RequestStop() { stop_requested_ = true; }

  // The number a record's patient gets: the old number when it is free or
  // names the same surname, else old + "_" + n; "SNV" + n without a number.
  // `is_new` tells whether that patient has still to be added.
  QString PatientNumberFor(const OldRecord& record, bool& is_new);

 private:
  using Outcome = LineOutcome;
  Outcome ImportRecord(const OldRecord& record);
  bool SaveAudiogram(const QString& pat_no, bool is_new, const OldRecord& record,
                     const QString& date, const QString& time, const OldThresholds& results);
  std::optional<QString> StoredSurname(const QString& pat_no);
  bool SamePerson(const QString& pat_no, const OldRecord& record);
  bool TestExists(const QString& pat_no, const QString& date, const QString& time);

  ImportContext context_;
  SchemeChecks& schemes_;
  LineRefusals* refusals_ = nullptr;  // during ImportPath
  bool create_baseline_ = false;
  bool stop_requested_ = false;
  OldImportListener* listener_ = nullptr;
};

}  // namespace sonivera
