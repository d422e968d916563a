#pragma once

#include <QDate>
#include <QString>
#include <QTime>
#include <array>
#include <optional>

namespace sonivera {

// Files of the older 3.1 release; their layouts are written down in
// docs/older-formats.md.
inline const QString kOldCsvHeader = QStringLiteral("[SNV/3.1 Format]");

// The thresholds of both ears at 250 Hz ... 8 kHz as written (empty: not measured).
struct OldThresholds {
  std::array<QString, 9> left;
  std::array<QString, 9> right;
  bool IsEmpty() const;
};

// One patient with one audiogram, as an old record holds them.
struct OldRecord {
  QString pat_no;  // may be empty: a number is found for it
  QString surname;
  QString forenames;
  QString dob;           // dd/mm/yyyy (a year alone is read as 1 January)
  QString sex;           // "MALE", "FEMALE" or empty
  QString date_of_test;  // dd/mm/yyyy
  QString time_of_test;  // hh:mm:ss
  QString examiner, company, dept_unit, position_rank;
  OldThresholds results;
  // The results of the patient's test before this one, when the old program
  // kept them: the source of a baseline audiogram.
  QString previous_date;
  OldThresholds previous;
};

struct OldParse {
  std::optional<OldRecord> record;  // nullopt: the line cannot be read
  QString problem;
};

// A line of a "[SNV/3.1 Format]" CSV file after its header.
OldParse ParseOldCsvLine(const QString& line);
// A fixed record of a 3.1 .dat file.
OldParse ParseOldDatRecord(const QString& line);

// Width of the fixed .dat record and its fields.
constexpr int kDatRecordLength = 272;

// Writes records in each layout (used for samples and tests).
QString FormatOldCsvLine(const OldRecord& record);
QString FormatOldDatRecord(const OldRecord& record);

}  // namespace sonivera
