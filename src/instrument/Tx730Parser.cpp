#include "instrument/Tx730Parser.h"

namespace sonivera {

namespace {
// The values of entries that are not the end must all be taken for a record
// to count as whole.
struct LineProgress {
  bool reached_end = false;
  bool value_missing = false;
  void Finish(ImportRecord& record) const { record.complete = reached_end && !value_missing; }
};

QString TrimSpaces(const QString& text) {
  qsizetype first = 0;
  qsizetype last = text.size();
  while (first < last && text.at(first) == u' ') ++first;
  while (last > first && text.at(last - 1) == u' ') --last;
  return text.mid(first, last - first);
}
}  // namespace

void StoreImportField(const QString& entry, QString value, ImportRecord& record) {
  const ConversionEntry split = SplitEntry(entry);
  if (value.startsWith(u'"')) {
    value.remove(0, 1);
    if (value.endsWith(u'"')) value.chop(1);
  }
  if (value.isEmpty() && split.type == u'S') value = QStringLiteral("-");
  if (const auto field = ImportFieldIndex(split.name)) record[*field] = value;
}

void ParseSeries3Line(const QString& line, ConversionFile& conversion, ImportRecord& record) {
  LineProgress progress;
  qsizetype p = 0;
  for (qsizetype round = 0; round <= line.size(); ++round) {
    const QString entry = conversion.ReadConversionLine();
    const bool category = IsCategoryEntry(entry);
    const bool end = IsEndEntry(entry);
    // The category starts with its opening quote at p.
    const qsizetype q = category ? line.indexOf(u'"', p + 2) : line.indexOf(u',', p);
    if (q < 0) {
      const QString rest = line.mid(p);
      if (rest == QLatin1String("\r") || rest == QLatin1String("\n")) {
        progress.reached_end = true;
        break;
      }
      // Only a value followed by its comma (or closing quote) is taken.
      if (!end) progress.value_missing = true;
    } else {
      const QString value = line.mid(p, q - p);
      p = category ? q + 2 : q + 1;
      StoreImportField(entry, value, record);
    }
    if (end) {
      progress.reached_end = true;
      break;
    }
  }
  progress.Finish(record);
}

bool ParseSeries1Line(const QString& line, ConversionFile& conversion, ImportRecord& record) {
  LineProgress progress;
  qsizetype p = 0;
  for (qsizetype round = 0; round <= line.size(); ++round) {
    if (!line.contains(u'>')) return false;
    const QString entry = conversion.ReadConversionLine();
    const bool category = IsCategoryEntry(entry);
    const bool end = IsEndEntry(entry);
    const bool threshold = SplitEntry(entry).type == u'I';
    qsizetype q = -1;
    if (category) {
      q = line.indexOf(u'>', p + 1);
    } else if (!threshold) {
      q = line.indexOf(u'\r', p);
    } else {
      q = line.indexOf(u',', p);
      if (q < 0) {
        q = line.indexOf(u'\r', p);
      } else {
        // The last value of a row ends with the row.
        const qsizetype cr = line.indexOf(u'\r', p);
        if (cr >= 0 && cr < q) q = cr + 1;
      }
    }
    if (q < 0) {
      if (p > 0 && p <= line.size() && line.at(p - 1) == u'>') {
        progress.reached_end = true;
        break;
      }
      if (!end) progress.value_missing = true;
    } else {
      QString value = line.mid(p, q - p);
      if (value.startsWith(u'\n')) value.remove(0, 1);
      if (value.endsWith(u'\n')) value.chop(1);
      if (value.endsWith(u'\r')) value.chop(1);
      if (value.startsWith(u'*')) value.clear();
      value = TrimSpaces(value);
      p = q + 1;
      StoreImportField(entry, value, record);
    }
    if (end) {
      progress.reached_end = true;
      break;
    }
  }
  progress.Finish(record);
  return true;
}

ImportBuffer BuildImportBuffer(const std::vector<QString>& rx_lines, ConversionFile& conversion,
                               bool series1) {
  ImportBuffer buffer;
  conversion.Rewind();
  for (const QString& line : rx_lines) {
    if (conversion.AtEnd() || line.isEmpty()) break;
    ImportRecord record;
    if (series1) {
      if (!ParseSeries1Line(line, conversion, record)) break;
    } else {
      ParseSeries3Line(line, conversion, record);
    }
    buffer.push_back(std::move(record));
    conversion.Rewind();
  }
  return buffer;
}

}  // namespace sonivera
