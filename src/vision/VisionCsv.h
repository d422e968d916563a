#pragma once

#include <QString>
#include <QStringList>
#include <optional>
#include <vector>

#include "base/ErrorLog.h"
#include "base/LineRefusals.h"
#include "base/Prompter.h"
#include "vision/VisionQueries.h"

namespace sonivera {
class LineRefusals;
namespace db {
class Connection;
}
}  // namespace sonivera

namespace sonivera::vision {

class VisionEditor;

// The vision register file: line 1 the format tag, line 2 the 71 column
// names, then one line per register row, every value followed by a comma.
// Values are not quoted: a comma inside a value is written as a semicolon and
// a line break as a space, so that every line keeps its 71 fields.
inline constexpr int kVisionCsvColumns = 71;
const QString& VisionCsvHeader();   // "[Vision/5 Format]"
const QString& VisionCsvHeading();  // the 71 names joined by commas

// The file positions (0-based) of the first column of each group.
enum VisionCsvColumn {
  kVcPatNo = 0,
  kVcSurname = 1,
  kVcLastTest = 3,
  kVcTimeofTest = 4,
  kVcTestType = 19,  // TestType, SerialNo, F1, F2, F3, Notes
  kVcAddress1 = 25,  // Address1 to Address6
  kVcResults = 31,   // FarBinoc ... PLN45, then the six answers to Refer
};

// The 71 values of one register row's line; nullopt when the row's test has
// gone from the database.
std::optional<QStringList> VisionCsvValues(VisionStore& store, const VisionRegisterRow& row);
// The line for 71 values: each value followed by a comma.
QString VisionCsvLine(const QStringList& values);

struct VisionExportOutcome {
  bool written = false;  // the file holds the rows
  int lines = 0;         // data lines written
};

// Writes the register rows to `path`. An empty register leaves the two head
// lines and shows "No data available to export". Failures carry the
// exportregisterascsv tag.
VisionExportOutcome WriteVisionCsv(db::Connection& connection, Prompter& prompter,
                                   const ErrorLog& log, const QString& path,
                                   const std::vector<VisionRegisterRow>& rows);
// File - Export: asks for the file ("ExportVisionData.csv") and writes it.
VisionExportOutcome ExportVisionRegister(db::Connection& connection, Prompter& prompter,
                                         const ErrorLog& log, const QString& initial_dir,
                                         const std::vector<VisionRegisterRow>& rows);

struct VisionImportSummary : LineCounts {
  bool read = false;     // the file was read and its header accepted
  bool refused = false;  // the file could not be read or has the wrong header
  QString SummaryText() const;
};

// File - Import: every line of a vision file through the vision record
// editor (Insert Vision or Add a Patient, the entries filled, Save with the
// import flag). A refused line is shown, logged and leaves the database as
// it was; the import goes on with the next line.
class VisionImporter {
 public:
  VisionImporter(VisionEditor& editor, Prompter& prompter, ErrorLog log);

  // Asks for the file, then imports it; nothing when the dialog is cancelled.
  VisionImportSummary ChooseAndImport(const QString& initial_dir);
  VisionImportSummary ImportFile(const QString& path);

 private:
  using Outcome = LineOutcome;
  Outcome ImportLine(const QString& line, LineRefusals& refusals);
  Outcome Refuse(const QString& shown, const QString& logged, LineRefusals& refusals);

  VisionEditor& editor_;
  Prompter& prompter_;
  ErrorLog log_;
};

}  // namespace sonivera::vision
