#include "categorise/AgeCorrection.h"

#include <QRegularExpression>
#include <algorithm>

#include "base/AppError.h"
#include "base/ErrorLog.h"
#include "base/Messages.h"
#include "base/TextFiles.h"

namespace sonivera {

namespace {
constexpr long kAgeCorrectionError = 4000;
constexpr long kTableUnreadable = errnum::kDatabaseError;

[[noreturn]] void Unreadable(const QString& path, int line) {
  QString text = Msg(2100) + path;
  if (line > 0) text += Msg(2101) + QString::number(line);
  throw AppError(kTableUnreadable, text);
}
}  // namespace

AgeCorrectionTable ReadAgeCorrectionTable(const QString& path) {
  const auto lines = ReadTextLines(path);
  if (!lines) Unreadable(path, 0);
  AgeCorrectionTable table;
  std::array<bool, AgeCorrectionTable::kAges> seen{};
  bool heading_read = false;
  static const QRegularExpression kSeparators(QStringLiteral("[\\t ]+"));
  for (int i = 0; i < lines->size(); ++i) {
    const QString line = lines->at(i).trimmed();
    if (line.isEmpty() || line.startsWith(u'#')) continue;
    const QStringList parts = line.split(kSeparators, Qt::SkipEmptyParts);
    bool age_ok = false;
    const int age = parts.first().toInt(&age_ok);
    if (!age_ok && !heading_read) {
      heading_read = true;  // "Age 1kHz 2kHz ..."
      continue;
    }
    if (!age_ok || parts.size() != 6 || age < AgeCorrectionTable::kFirstAge ||
        age > AgeCorrectionTable::kLastAge || seen[age - AgeCorrectionTable::kFirstAge]) {
      Unreadable(path, i + 1);
    }
    auto& row = table.values[age - AgeCorrectionTable::kFirstAge];
    for (int column = 0; column < 5; ++column) {
      bool ok = false;
      row[column] = parts[column + 1].toInt(&ok);
      if (!ok || row[column] < 0 || row[column] > 120) Unreadable(path, i + 1);
    }
    seen[age - AgeCorrectionTable::kFirstAge] = true;
  }
  if (!std::all_of(seen.begin(), seen.end(), [](bool s) { return s; })) Unreadable(path, 0);
  table.loaded = true;
  return table;
}

bool LoadAgeCorrectionTables(const QString& folder, AgeCorrectionTables& tables,
                             ErrorReporter& reporter) {
  bool all = true;
  for (auto [name, table] : {std::pair{kAgeTableMaleFile, &tables.male},
                             std::pair{kAgeTableFemaleFile, &tables.female}}) {
    try {
      *table = ReadAgeCorrectionTable(folder + u'/' + name);
    } catch (const AppError& error) {
      *table = AgeCorrectionTable{};
      reporter.Report(error.Description(), error.Number(), QStringLiteral("loadagetables"));
      all = false;
    }
  }
  return all;
}

int AgeCorrection(const AgeCorrectionTables& tables, int age, int frequency, const QString& sex) {
  age = std::clamp(age, AgeCorrectionTable::kFirstAge, AgeCorrectionTable::kLastAge);
  int column = 0;
  switch (frequency) {
    case 1000:
      column = 0;
      break;
    case 2000:
      column = 1;
      break;
    case 3000:
      column = 2;
      break;
    case 4000:
      column = 3;
      break;
    case 6000:
      column = 4;
      break;
    default:
      throw AppError(kAgeCorrectionError, QStringLiteral("Invalid freq"));
  }
  const QString initial = sex.trimmed().left(1).toUpper();
  const AgeCorrectionTable* table = nullptr;
  if (initial == QLatin1String("M")) {
    table = &tables.male;
  } else if (initial == QLatin1String("F")) {
    table = &tables.female;
  } else {
    throw AppError(kAgeCorrectionError, QStringLiteral("invalid gender"));
  }
  if (!table->loaded)
    Unreadable(initial == QLatin1String("M") ? kAgeTableMaleFile : kAgeTableFemaleFile, 0);
  return table->values[age - AgeCorrectionTable::kFirstAge][column];
}

std::vector<QStringList> AgeTableRows(const AgeCorrectionTable& table) {
  std::vector<QStringList> rows;
  rows.push_back({QStringLiteral("Age in years"), QStringLiteral("1kHz"), QStringLiteral("2kHz"),
                  QStringLiteral("3kHz"), QStringLiteral("4kHz"), QStringLiteral("6kHz")});
  for (int i = 0; i < AgeCorrectionTable::kAges; ++i) {
    const int age = AgeCorrectionTable::kFirstAge + i;
    QString label = QString::number(age);
    if (i == 0) label += QStringLiteral(" or younger");
    if (i == AgeCorrectionTable::kAges - 1) label += QStringLiteral(" or over");
    QStringList row{label};
    for (int value : table.values[i]) row << QString::number(value);
    rows.push_back(row);
  }
  return rows;
}

}  // namespace sonivera
