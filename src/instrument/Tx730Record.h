#pragma once

#include <QString>
#include <array>
#include <optional>
#include <vector>

namespace sonivera {

// One record of a transfer with a TX730 audiometer: the values of one record
// line, in numbered fields. Import fills it from a received line; export
// fills it from the database and sends it.
constexpr int kImportFieldCount = 65;
// Record lines one transfer holds (RxLines and the import buffer).
constexpr int kTransferCapacity = 2001;

enum ImportField {
  kFieldImport = 0,
  kFieldMode3 = 1,
  kFieldTestType = 2,
  kFieldPatientNo = 3,
  kFieldSurname = 4,
  kFieldForename = 5,
  kFieldPosition = 6,
  kFieldDepartment = 7,
  kFieldCompany = 8,
  kFieldSex = 9,
  kFieldAddress1 = 11,  // to 16
  kFieldTestDate = 18,
  kFieldTestTime = 19,
  kFieldExaminer = 20,
  kFieldDateOfBirth = 21,
  kFieldPreviousTest = 22,
  kFieldCategory = 23,
  kFieldCalibrated = 24,
  kFieldCurrentLeft = 25,    // 25 to 32, 500 Hz to 8 kHz
  kFieldCurrentRight = 34,   // 34 to 41
  kFieldPreviousLeft = 43,   // 43 to 50
  kFieldPreviousRight = 52,  // 52 to 59
  kFieldSerialNo = 61,
};

// Thresholds per ear in a record: 500 Hz, 1k, 1k5, 2k, 3k, 4k, 6k, 8k.
constexpr int kRecordFrequencyCount = 8;

struct ImportRecord {
  std::array<QString, kImportFieldCount> fields;
  // The line held every value up to its END entry; a cut or damaged line
  // leaves this clear and its record is not stored.
  bool complete = false;

  QString& operator[](int field) { return fields[field]; }
  const QString& operator[](int field) const { return fields[field]; }
  // No field holds a value.
  bool IsEmpty() const;
  bool operator==(const ImportRecord&) const = default;
};

using ImportBuffer = std::vector<ImportRecord>;

// The field number of a field name (any case), or nullopt for a name that
// is not one of the record's fields.
std::optional<int> ImportFieldIndex(const QString& name);
// The field's name as the record layout writes it ("Current Left 1k5"); empty
// for the numbers that carry no name.
QString ImportFieldName(int field);

// The record as one line of JSON: an object keyed by field name, in field
// order, empty fields left out.
QString ImportRecordJson(const ImportRecord& record);

}  // namespace sonivera
