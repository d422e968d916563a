#pragma once

#include <QString>
#include <QStringList>
#include <array>
#include <vector>

namespace sonivera {

// One age-correction table: the correction in dB at 1, 2, 3, 4 and 6 kHz for
// each age from kFirstAge to kLastAge.
struct AgeCorrectionTable {
  static constexpr int kFirstAge = 20;
  static constexpr int kLastAge = 60;
  static constexpr int kAges = kLastAge - kFirstAge + 1;
  std::array<std::array<int, 5>, kAges> values{};
  bool loaded = false;
};

struct AgeCorrectionTables {
  AgeCorrectionTable male;
  AgeCorrectionTable female;
};

inline const QString kAgeTableMaleFile = QStringLiteral("agecorrM.tbl");
inline const QString kAgeTableFemaleFile = QStringLiteral("agecorrF.tbl");

// Reads a table file: '#' comment lines, one heading line, then one line per
// age "age v1k v2k v3k v4k v6k" separated by tabs or spaces. Every age from
// 20 to 60 must be there once. Throws AppError naming the file and line.
AgeCorrectionTable ReadAgeCorrectionTable(const QString& path);

// Loads both tables from the program folder. A table that cannot be read is
// reported (shown and logged) and left unloaded; returns false then.
class ErrorReporter;
bool LoadAgeCorrectionTables(const QString& folder, AgeCorrectionTables& tables,
                             ErrorReporter& reporter);

// The correction for an age in years (clamped to 20 ... 60), a frequency in
// Hz (1000, 2000, 3000, 4000 or 6000) and a sex text ("M..." or "F...").
// Throws AppError 4000 "Invalid freq" or "invalid gender".
int AgeCorrection(const AgeCorrectionTables& tables, int age, int frequency, const QString& sex);

// The rows the age-table viewer shows: the heading row, then one row per age
// with the first labelled "20 or younger" and the last "60 or over".
std::vector<QStringList> AgeTableRows(const AgeCorrectionTable& table);

}  // namespace sonivera
