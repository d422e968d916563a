#pragma once

#include <QString>
#include <QStringList>
#include <functional>
#include <vector>

#include "instrument/ConversionFile.h"
#include "instrument/Tx730Record.h"

namespace sonivera {

struct RegisterRowKey;
namespace db {
class Connection;
}

// ExportFieldValue: the text sent for one conversion entry of a record. Text
// entries ("S") go in double quotes, the placeholder "-" as an empty pair; a
// "U" entry sends its name as a number; "End" sends itself; other names send
// nothing.
QString ExportFieldValue(const QString& conversion_line, const ImportRecord& record);

// The pieces of one record as written to the port, in order: each value with
// the comma before it, a CR LF where the conversion file says END, and the
// closing CR LF. Reads the conversion file from its start.
QStringList ExportRecordPieces(ConversionFile& conversion, const ImportRecord& record);

// BuildExportBuffer: one record per test of the register rows. A plain
// register (one row per patient) gives each test of the patient, newest
// first; a register filtered by test gives the test of each row. Previous
// thresholds come from the patient's next older test. Stops at the
// capacity of a transfer. on_record, when set, hears the count as it grows.
ImportBuffer BuildExportBuffer(db::Connection& connection, const std::vector<RegisterRowKey>& rows,
                               bool filtered_by_test,
                               const std::function<void(int)>& on_record = {});

// ExportCount: the records an export of the rows holds.
int ExportCount(db::Connection& connection, const std::vector<RegisterRowKey>& rows,
                bool filtered_by_test);

// The records as the view window lists them: each value followed by a
// comma, a line ending after the value that completes "END,".
QString ExportViewText(ConversionFile& conversion, const ImportBuffer& buffer);

}  // namespace sonivera
