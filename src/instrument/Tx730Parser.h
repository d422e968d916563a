#pragma once

#include <QString>
#include <vector>

#include "instrument/ConversionFile.h"
#include "instrument/Tx730Record.h"

namespace sonivera {

// StoreImportField: puts one value of a line into the field that the
// conversion entry names. Quotes around the value go; an empty value of a
// text entry ("S") becomes "-"; a name that is no field stores nothing.
void StoreImportField(const QString& entry, QString value, ImportRecord& record);

// Parses one Series 3, 4 or 5 record line (values separated by commas, the
// category in double quotes) into the record, reading the conversion file
// from its current position.
void ParseSeries3Line(const QString& line, ConversionFile& conversion, ImportRecord& record);

// Parses one Series 1 block (values on CR-separated lines, thresholds
// separated by commas, ending with ">"). False when the line holds no ">":
// the parse of the whole buffer ends there.
bool ParseSeries1Line(const QString& line, ConversionFile& conversion, ImportRecord& record);

// BuildImportBuffer: parses the received record lines in order, up to the
// first empty one, through the conversion file (rewound for each line). One
// record per parsed line.
ImportBuffer BuildImportBuffer(const std::vector<QString>& rx_lines, ConversionFile& conversion,
                               bool series1);

}  // namespace sonivera
