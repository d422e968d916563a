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
// The rows the register shows now.
std::vector<RegisterRowKey> ShownRegisterRows(db::Connection& connection, Register& reg);

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
  struct Statements;
  std::unique_ptr<Statements> statements_;
};

struct ExportOutcome {
  bool written = false;
  int lines = 0;  // register rows written
  bool stopped = false;
};

// Writes the rows to `path` in the layout. Progress is shown for the rows
// and a stop leaves any earlier file as it was. Failures are reported with
// the exportregisterascsv tag.
ExportOutcome WriteRegisterCsv(db::Database& database, ErrorReporter& reporter, const QString& path,
                               CsvLayout layout, const std::vector<RegisterRowKey>& rows);

// The menu's export: an empty name asks for the file (Exportdata.csv in the
// program folder, 5.2 layout); a given name is written in the program folder
// in the 5.0 layout. An empty register shows "No data available to export".
ExportOutcome ExportRegisterCsv(const ProgramFolder& folder, db::Database& database,
                                ErrorReporter& reporter, const QString& file_name,
                                const std::vector<RegisterRowKey>& rows);

}  // namespace sonivera
