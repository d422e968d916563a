#pragma once

#include <QString>
#include <memory>
#include <optional>
#include <vector>

#include "interchange/CsvLayout.h"
#include "register/RegisterQuery.h"

namespace sonivera {

class ErrorReporter;
class ProgramFolder;
namespace db {
class Database;
}
class Register;
struct AudiogramRecord;
class StoredTestReader;
namespace db {
class Connection;
}

// One register row: the patient and the test it lists, in stored form.
struct RegisterRowKey {
  QString pat_no;
  QString date;  // 'yyyy-MM-dd'
  QString time;  // 'HH:mm:ss'
};

// The rows of a register query (the register as shown, with its filter and
// sort), in its order.
std::vector<RegisterRowKey> RegisterRows(db::Connection& connection, const SqlQuery& query);

// The rows an export writes: as many as could be listed, and why the listing
// stopped early (a damaged file) when it did.
struct RowList {
  RowList() = default;
  RowList(std::vector<RegisterRowKey> k) : keys(std::move(k)) {}  // NOLINT: implicit
  std::vector<RegisterRowKey> keys;
  QString failure;
};
// RegisterRows that never throws: a database error ends the list and is kept.
RowList ListRegisterRows(db::Connection& connection, const SqlQuery& query);
// The rows the register shows now.
RowList ShownRegisterRows(db::Connection& connection, Register& reg);

// A whole audiogram's values as a line of the file holds them (dates
// dd/mm/yyyy), for files made from records not stored (samples, benchmarks).
CsvRecord CsvRecordFrom(const AudiogramRecord& record);

// Reads the values of register rows for the CSV export.
class ExportReader {
 public:
  explicit ExportReader(db::Connection& connection);
  ~ExportReader();
  ExportReader(const ExportReader&) = delete;
  ExportReader& operator=(const ExportReader&) = delete;
  // nullopt when the row's patient or test header has gone.
  std::optional<CsvRecord> Read(const RegisterRowKey& row);

 private:
  std::unique_ptr<StoredTestReader> reader_;
};

struct ExportOutcome {
  bool written = false;
  int lines = 0;       // register rows written
  int unreadable = 0;  // rows that could not be read from the database
  bool stopped = false;
};

// Writes the rows to `path` in the layout. Progress is shown for the rows
// and a stop leaves any earlier file as it was. Failures are reported with
// the exportregisterascsv tag. A row the database cannot give (a damaged
// file) is left out and counted; every row that can be read is written, and
// the count of the others is reported.
ExportOutcome WriteRegisterCsv(db::Database& database, ErrorReporter& reporter, const QString& path,
                               CsvLayout layout, const RowList& rows);

// The menu's export: an empty name asks for the file (Exportdata.csv in the
// program folder, 5.2 layout); a given name is written in the program folder
// in the 5.0 layout. An empty register shows "No data available to export".
ExportOutcome ExportRegisterCsv(const ProgramFolder& folder, db::Database& database,
                                ErrorReporter& reporter, const QString& file_name,
                                const RowList& rows);

}  // namespace sonivera
