#pragma once

#include <QString>
#include <optional>

#include "base/TextFiles.h"

namespace sonivera {

// A CSV file's lines, read as every text file is (base/TextFiles.h).
using FileLines = TextLines;

// nullopt when the file cannot be opened or read.
inline std::optional<FileLines> ReadFileLines(const QString& path) { return ReadTextFile(path); }

}  // namespace sonivera
