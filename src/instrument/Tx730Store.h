#pragma once

#include <QString>
#include <functional>

#include "base/Prompter.h"
#include "instrument/Tx730Record.h"

namespace sonivera {

namespace db {
class Database;
}
class ErrorReporter;
class RecordEditor;
struct EntryFields;

// How a stored transfer went.
struct Tx730StoreOutcome {
  bool stored = false;  // the records were gone through (not refused or declined)
  int processed = 0;
  int added = 0;
  QString message;  // the final message shown
};

// Stores an import buffer through the record editor, as a user would with
// add-patient or insert-audiogram and Save: a patient number that is not
// known makes a new patient, a record without one gets the first free
// "SNVn", a known number with another surname is refused, and a test whose
// date and time the patient has already is passed over.
class Tx730Store {
 public:
  // Questions and messages of the store go to `ask`; the editor's own to its
  // own prompter, failures to `reporter`.
  Tx730Store(db::Database& database, ErrorReporter& reporter, RecordEditor& editor, Prompter& ask)
      : database_(database), reporter_(reporter), editor_(editor), ask_(ask) {}

  // Series 1: the details window asks sex and date of birth of each record
  // (its number from 1) before the save; without it the record's own are kept.
  std::function<void(int record_number, EntryFields& entries)> ask_series1_details;
  // The import window closes (no patient number on Series 1, or the end).
  std::function<void()> close_window;

  // series is the configured series code; count_text the count box's text.
  Tx730StoreOutcome Store(const ImportBuffer& buffer, const QString& series,
                          const QString& count_text);

 private:
  enum class Outcome { Added, NotAdded };
  Outcome StoreRecord(const ImportRecord& record, int index, bool series1);
  QString FreeSnvNumber();

  db::Database& database_;
  ErrorReporter& reporter_;
  RecordEditor& editor_;
  Prompter& ask_;
};

// Fills the editor's boxes from a record. Values the audiometer did not have
// ("-" or empty) leave a box that already holds text alone.
void FillEntriesFromRecord(const ImportRecord& record, bool with_category, EntryFields& entries);

}  // namespace sonivera
