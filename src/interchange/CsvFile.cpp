#include "interchange/CsvFile.h"

#include <QFile>

#include "base/TextFiles.h"

namespace sonivera {

std::optional<FileLines> ReadFileLines(const QString& path) {
  QFile file(path);
  if (!file.open(QIODevice::ReadOnly)) return std::nullopt;
  const QByteArray bytes = file.readAll();
  if (file.error() != QFileDevice::NoError) return std::nullopt;
  FileLines result;
  const QString text = DecodeText(bytes);
  if (text.isEmpty()) return result;
  result.lines = text.split(u'\n');
  if (result.lines.last().isEmpty()) {
    result.lines.removeLast();
  } else {
    result.last_line_ended = false;
  }
  for (auto& line : result.lines) {
    if (line.endsWith(u'\r')) line.chop(1);
  }
  return result;
}

}  // namespace sonivera
