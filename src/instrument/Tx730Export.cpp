#include "instrument/Tx730Export.h"

#include "interchange/RegisterExport.h"
#include "register/RecordDisplay.h"

namespace sonivera {

namespace {
QString BoxValue(const QString& box) { return IsEmptyBox(box) ? QString() : box; }

// Text1 layout: 0-8 left 250 Hz to 8 kHz, 9-17 right; the record starts at 500 Hz.
constexpr int kLeft500Box = 1;
constexpr int kRight500Box = 10;

void PutThresholds(ImportRecord& record, int first_field,
                   const std::array<QString, kThresholdBoxCount>& boxes, int first_box) {
  for (int i = 0; i < kRecordFrequencyCount; ++i) record[first_field + i] = boxes[first_box + i];
}

ImportRecord RecordFromEntries(const EntryFields& e,
                               const std::array<QString, kThresholdBoxCount>* previous) {
  ImportRecord r;
  r[kFieldImport] = QStringLiteral("IMPORT");
  r[kFieldMode3] = QStringLiteral("MODE3");
  r[kFieldTestType] = e.TestType.left(10);
  r[kFieldPatientNo] = e.PatNo.left(14);
  r[kFieldSurname] = e.Surname.left(20);
  r[kFieldForename] = e.Forenames.left(20);
  r[kFieldPosition] = e.Details[kComboPositionRank].left(12);
  r[kFieldDepartment] = e.Details[kComboDeptUnit].left(12);
  r[kFieldCompany] = e.Details[kComboCompany].left(12);
  const QString sex = e.SexText().left(1);
  r[kFieldSex] = sex == QLatin1String("N") ? QString() : sex;
  for (int i = 0; i < kAddressLineCount; ++i) r[kFieldAddress1 + i] = e.Address[i];
  r[kFieldTestDate] = BoxValue(e.Dates[kBoxDateofTest]);
  r[kFieldTestTime] = BoxValue(e.Dates[kBoxTimeofTest]);
  r[kFieldExaminer] = e.Details[kComboExaminer].left(10);
  r[kFieldDateOfBirth] = BoxValue(e.DOB);
  r[kFieldPreviousTest] = BoxValue(e.Dates[kBoxPreviousTest]);
  r[kFieldCategory] = e.Categorisation.left(36);
  r[kFieldCalibrated] = BoxValue(e.Dates[kBoxCalibrated]);
  PutThresholds(r, kFieldCurrentLeft, e.Thresholds, kLeft500Box);
  PutThresholds(r, kFieldCurrentRight, e.Thresholds, kRight500Box);
  if (previous != nullptr) {
    PutThresholds(r, kFieldPreviousLeft, *previous, kLeft500Box);
    PutThresholds(r, kFieldPreviousRight, *previous, kRight500Box);
  }
  r[kFieldSerialNo] = e.SerialNo;
  r.complete = true;
  return r;
}

// The record of test `index` of the patient's tests (newest first).
ImportRecord ReadTestRecord(db::Connection& connection, const QString& pat_no,
                            const std::vector<TestKey>& tests, size_t index) {
  EntryFields entries;
  LoadPatientEntries(connection, pat_no, entries);
  LoadTestEntries(connection, pat_no, tests[index], entries);
  if (index + 1 < tests.size()) {
    const auto previous = LoadThresholds(connection, pat_no, tests[index + 1]);
    return RecordFromEntries(entries, &previous);
  }
  return RecordFromEntries(entries, nullptr);
}
}  // namespace

QString ExportFieldValue(const QString& conversion_line, const ImportRecord& record) {
  const ConversionEntry entry = SplitEntry(conversion_line);
  QString value;
  if (const auto field = ImportFieldIndex(entry.name)) {
    value = record[*field];
  } else if (entry.name.compare(QLatin1String("End"), Qt::CaseInsensitive) == 0) {
    value = QStringLiteral("End");
  } else if (entry.type == u'U') {
    // A constant of the file; a name that is no number sends nothing.
    bool ok = false;
    const short number = entry.name.trimmed().toShort(&ok);
    if (ok) value = QString::number(number);
  }
  if (entry.type == u'S') {
    return value == QLatin1String("-") ? QStringLiteral("\"\"") : u'"' + value + u'"';
  }
  return value;
}

QStringList ExportRecordPieces(ConversionFile& conversion, const ImportRecord& record) {
  QStringList pieces;
  conversion.Rewind();
  bool first = true;
  while (!conversion.AtEnd()) {
    const QString line = conversion.ReadConversionLine();
    if (line == kNoEntry && conversion.AtEnd()) break;  // comments to the end
    if (line.toUpper() == QLatin1String("END")) {
      pieces << QStringLiteral("\r\n");
      break;
    }
    const QString value = ExportFieldValue(line, record);
    pieces << (first ? value : u',' + value);
    first = false;
  }
  pieces << QStringLiteral("\r\n");
  conversion.Rewind();
  return pieces;
}

ImportBuffer BuildExportBuffer(db::Connection& connection, const std::vector<RegisterRowKey>& rows,
                               bool filtered_by_test, const std::function<void(int)>& on_record) {
  ImportBuffer buffer;
  auto add = [&](ImportRecord record) {
    buffer.push_back(std::move(record));
    if (on_record) on_record(int(buffer.size()));
    return int(buffer.size()) < kTransferCapacity;
  };
  for (const RegisterRowKey& row : rows) {
    const auto tests = PatientTestKeys(connection, row.pat_no);
    if (filtered_by_test) {
      const TestKey key{row.date, row.time};
      for (size_t k = 0; k < tests.size(); ++k) {
        if (tests[k] == key) {
          if (!add(ReadTestRecord(connection, row.pat_no, tests, k))) return buffer;
          break;
        }
      }
      continue;
    }
    for (size_t k = 0; k < tests.size(); ++k) {
      if (!add(ReadTestRecord(connection, row.pat_no, tests, k))) return buffer;
    }
  }
  return buffer;
}

int ExportCount(db::Connection& connection, const std::vector<RegisterRowKey>& rows,
                bool filtered_by_test) {
  if (filtered_by_test) return int(rows.size());
  size_t count = 0;
  for (const RegisterRowKey& row : rows) count += PatientTestKeys(connection, row.pat_no).size();
  return int(count);
}

QString ExportViewText(ConversionFile& conversion, const ImportBuffer& buffer) {
  QString text;
  for (const ImportRecord& record : buffer) {
    if (record[kFieldImport].isEmpty()) break;
    conversion.Rewind();
    QString line;
    while (!conversion.AtEnd()) {
      const QString entry = conversion.ReadConversionLine();
      if (entry == kNoEntry && conversion.AtEnd()) break;
      line += ExportFieldValue(entry, record) + u',';
      if (line.toUpper().contains(QLatin1String("END,"))) break;
    }
    text += line + QStringLiteral("\r\n");
  }
  conversion.Rewind();
  return text;
}

}  // namespace sonivera
