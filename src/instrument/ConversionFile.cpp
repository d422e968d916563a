#include "instrument/ConversionFile.h"

#include "base/AppError.h"
#include "base/TextFiles.h"

namespace sonivera {

ConversionFile ConversionFile::Open(const QString& path) {
  auto lines = ReadTextLines(path);
  if (!lines) throw AppError(53, QStringLiteral("File not found"));
  // Trailing blanks are invisible in an editor; they must not change a name.
  for (QString& line : *lines) {
    qsizetype end = line.size();
    while (end > 0 && line.at(end - 1).isSpace()) --end;
    line.truncate(end);
  }
  return ConversionFile(std::move(*lines));
}

QString ConversionFile::ReadConversionLine() {
  while (position_ < lines_.size()) {
    const QString& line = lines_.at(position_++);
    if (line.startsWith(u'!')) continue;
    return line.isEmpty() ? kNoEntry : line;
  }
  return kNoEntry;
}

ConversionEntry SplitEntry(const QString& entry) {
  if (entry.isEmpty() || entry == kNoEntry) return {QChar(), entry};
  return {entry.at(0), entry.mid(2)};
}

bool IsCategoryEntry(const QString& entry) {
  return entry.compare(QLatin1String("S Category"), Qt::CaseInsensitive) == 0;
}

bool IsEndEntry(const QString& entry) {
  return entry.contains(QLatin1String("END"), Qt::CaseInsensitive);
}

bool IsSeries1ConversionFile(const QString& file_name) {
  return file_name.toLower() == kSeries1ConversionFile;
}

}  // namespace sonivera
