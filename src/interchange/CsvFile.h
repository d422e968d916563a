#pragma once

#include <QString>
#include <QStringList>
#include <optional>

namespace sonivera {

// A text file's lines: UTF-8 or Windows-1252, LF or CR LF line ends.
struct FileLines {
  QStringList lines;
  // False when the file's last line stops without a line end.
  bool last_line_ended = true;
};

// nullopt when the file cannot be opened or read.
std::optional<FileLines> ReadFileLines(const QString& path);

}  // namespace sonivera
