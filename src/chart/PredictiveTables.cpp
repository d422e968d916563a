#include "chart/PredictiveTables.h"

#include <QFileInfo>
#include <algorithm>
#include <cmath>

#include "base/AppError.h"
#include "base/ErrorLog.h"
#include "base/ProgramFolder.h"
#include "base/Prompter.h"
#include "base/Settings.h"
#include "base/TextFiles.h"

namespace sonivera::chart {

namespace {
template <std::size_t N>
int IndexOf(const std::array<QString, N>& names, const QString& text) {
  const auto it = std::find(names.begin(), names.end(), text);
  return it == names.end() ? -1 : static_cast<int>(it - names.begin());
}

enum class TableFile { kRead, kMissing, kUnreadable };

TableFile ReadTable(const QString& path, PredictiveTable& table, Prompter& prompter,
                    const QString& title, const ErrorLog* log) {
  table.Clear();
  if (!FileExists(path)) return TableFile::kMissing;
  const auto lines = ReadTextLines(path);
  if (!lines) return TableFile::kUnreadable;
  qsizetype number = 0;
  // The message keeps its text; the log names the file and the line.
  auto complain = [&](const char* text) {
    prompter.Show(QLatin1String(text), title);
    if (log != nullptr) {
      log->Append(QLatin1String(text) + QStringLiteral(" (file %1, line %2)")
                                            .arg(QFileInfo(path).fileName())
                                            .arg(number));
    }
  };
  // Until a good frequency line is seen, age lines have nowhere to go.
  int position = -1;
  for (const QString& raw : *lines) {
    ++number;
    const QString line = raw.trimmed();
    if (line.startsWith(u'{')) {
      const QString name = line.size() >= 2 ? line.mid(1, line.size() - 2).trimmed() : QString();
      position = IndexOf(FrequencyNames(), name);
      if (position < 0) complain("PredictiveFile Freq Error");
    } else if (line.startsWith(u'[')) {
      const int row = IndexOf(AgeNames(), line.mid(1, 2));
      if (row < 0) {
        complain("Predictive File Age Error");
        continue;
      }
      if (position < 0) continue;
      PredictiveTable::Values& values = table.At(position, row);
      values = {};
      const qsizetype comma = line.indexOf(u',');
      if (comma < 0) continue;
      const QStringList parts = line.mid(comma + 1).split(u',');
      for (int k = 0; k < parts.size(); ++k) {
        if (k >= kValueCount) {
          complain("Tableindex Error");
          break;
        }
        const QString value = parts[k].trimmed();
        values[k] = value == QLatin1String("-") ? QString() : value;
      }
    }
  }
  return TableFile::kRead;
}
}  // namespace

bool PredictiveTable::IsEmpty() const {
  for (const auto& rows : cells_) {
    for (const auto& values : rows) {
      for (const auto& value : values) {
        if (!value.isEmpty()) return false;
      }
    }
  }
  return true;
}

const std::array<QString, kAgeRowCount>& AgeNames() {
  static const std::array<QString, kAgeRowCount> names = [] {
    std::array<QString, kAgeRowCount> texts;
    for (int i = 0; i < kAgeRowCount; ++i) texts[i] = QString::number(20 + 5 * i);
    return texts;
  }();
  return names;
}

bool ReadPredictiveTable(const QString& path, PredictiveTable& table, Prompter& prompter,
                         const QString& title) {
  return ReadTable(path, table, prompter, title, nullptr) == TableFile::kRead;
}

void LoadPredictiveTables(const ProgramFolder& folder, PredictiveTables& tables,
                          ChartOptions& options, ErrorReporter& reporter, const QString& title) {
  struct File {
    const char* name;
    PredictiveTable& table;
    const char* missing;
  };
  const File files[] = {{"agedistM.tbl", tables.male, "Missing male age file"},
                        {"agedistF.tbl", tables.female, "Missing female age file"}};
  for (const File& file : files) {
    switch (
        ReadTable(folder.File(QLatin1String(file.name)), file.table, reporter.prompter(), title,
                  &reporter.log())) {
      case TableFile::kRead:
        break;
      case TableFile::kMissing:
        reporter.prompter().Show(QLatin1String(file.missing), QStringLiteral("Missing File"),
                                 Prompter::Buttons::Ok, Prompter::Answer::Ok,
                                 Prompter::Icon::Exclamation);
        options.ShowPredictiveLine = false;
        break;
      case TableFile::kUnreadable:
        reporter.Report(QStringLiteral("Permission denied: ") + QLatin1String(file.name),
                        errnum::kPermissionDenied, QStringLiteral("LoadPredictiveTables"));
        options.ShowPredictiveLine = false;
        break;
    }
  }
}

std::optional<int> AgeAtTest(const QDate& date_of_birth, const QDate& date_of_test) {
  if (!date_of_birth.isValid() || !date_of_test.isValid()) return std::nullopt;
  const double years = static_cast<double>(date_of_birth.daysTo(date_of_test)) / 365.25;
  return static_cast<int>(std::floor(years));
}

int AgeRow(int age) { return std::clamp((age - 20) / 5, 0, kAgeRowCount - 1); }

std::optional<PredictiveLine> PredictiveLineFor(const PredictiveTables& tables, Sex sex,
                                                std::optional<int> age) {
  if (sex == Sex::None || !age) return std::nullopt;
  const PredictiveTable& table = sex == Sex::Male ? tables.male : tables.female;
  const int row = AgeRow(*age);
  PredictiveLine line;
  for (std::size_t i = 0; i < kPredictivePositions.size(); ++i) {
    const auto& values = table.At(kPredictivePositions[i], row);
    line.lower[i] = ParseChartNumber(values[0]);
    line.middle[i] = ParseChartNumber(values[1]);
    line.upper[i] = ParseChartNumber(values[2]);
  }
  return line;
}

}  // namespace sonivera::chart
