#pragma once

#include <QDate>
#include <QString>
#include <QStringList>
#include <QTime>
#include <array>
#include <optional>

namespace sonivera {

// The register CSV layouts of this release.
enum class CsvLayout {
  Snv52,  // "[SNV/5.2 Format]": 155 values, questionnaire and 125/750 Hz
  Snv5,   // "[SNV/5 Format]": 51 values
};

QString HeaderLine(CsvLayout layout);
// The column-heading line (line 2).
QString HeadingLine(CsvLayout layout);
int ValueCount(CsvLayout layout);
// The layout named by a file's first line (first 16 or 14 characters, any
// case), or nullopt for any other first line.
std::optional<CsvLayout> DetectHeader(const QString& first_line);

// The value positions of one line.
enum CsvColumn {
  kCsvPatNo = 0,
  kCsvSurname,
  kCsvForenames,
  kCsvLastTest,
  kCsvTimeofTest,
  kCsvPreviousTest,
  kCsvDOB,
  kCsvCategorisation,
  kCsvPositionRank,
  kCsvDeptUnit,
  kCsvCompany,
  kCsvLocation,
  kCsvSex,
  kCsvExaminer,
  kCsvRecallDate,
  kCsvStatus,
  kCsvDateJoined,
  kCsvDateLeft,
  kCsvLeavingReason,
  kCsvServiceLength,
  kCsvTestType,
  kCsvSerialNo,
  kCsvCalibrated,
  kCsvF1,
  kCsvF2,
  kCsvF3,
  kCsvNotes,
  kCsvAddress1,                       // to Address6
  kCsvLeft250 = kCsvAddress1 + 6,     // left ear 250 Hz ... 8 kHz
  kCsvRight250 = kCsvLeft250 + 9,     // right ear 250 Hz ... 8 kHz
  kMainValueCount = kCsvRight250 + 9  // 51
};
constexpr int kCsvQuestions = 50;
constexpr int kCsvEarValues = 9;
// The extra values of the 5.2 layout: 125 and 750 Hz of the left, then right ear.
enum ExtraValue { kExtraLeft125 = 0, kExtraLeft750, kExtraRight125, kExtraRight750 };

// One register line's values, as written in the file.
struct CsvRecord {
  std::array<QString, kMainValueCount> values;
  bool has_answers = false;
  std::array<QString, kCsvQuestions> codes;  // as written: "", "0", "1", "-1", "2"
  std::array<QString, kCsvQuestions> texts;
  bool has_extra = false;
  std::array<QString, 4> extra;

  const QString& operator[](int column) const { return values[column]; }
  QString& operator[](int column) { return values[column]; }
};

// One value as written: the categorisation always in double quotes, any other
// value only when it holds a comma or a double quote (doubled inside the
// quotes); line breaks become spaces.
QString CsvValue(const QString& value, bool always_quoted);
// The line for a record: every value followed by a comma.
QString FormatCsvLine(const CsvRecord& record, CsvLayout layout);

// extractfiledata: the field between the comma at `start` (-1 for the line's
// first field) and the comma at `end`. A field that begins with a double quote
// runs to the next double quote that is not doubled, and `end` moves to the
// comma after it.
// Returns nullopt when a quoted field has no closing quote.
std::optional<QString> extractfiledata(const QString& line, qsizetype start, qsizetype& end);

// A line cut into its fields.
struct SplitLine {
  QStringList fields;
  bool unclosed_quote = false;
  bool ends_with_comma = false;
};
SplitLine SplitCsvLine(const QString& line);

// Why a line cannot be read as a record.
enum class LineProblem {
  None,
  NoPatNo,        // nothing before the first comma
  UnclosedQuote,  // a quoted field without its closing quote
  FieldPositions  // too few values, a cut line, or values that cannot be thresholds
};

struct ParsedLine {
  CsvRecord record;
  LineProblem problem = LineProblem::None;
  QString detail;  // what was wrong, for the log
};
// Reads one record line of a file in the given layout. `complete` is false for
// a last line that ended without its line end and without its final comma.
ParsedLine ParseCsvLine(const QString& line, CsvLayout layout, bool complete = true);

// Dates and times as the files write them: "dd/mm/yyyy" and "hh:mm:ss".
// nullopt for an empty value; an invalid QDate/QTime for text that is not one.
std::optional<QDate> ParseCsvDate(const QString& text);
std::optional<QTime> ParseCsvTime(const QString& text);
QString CsvDateText(const QString& stored_date);  // 'yyyy-MM-dd' -> dd/mm/yyyy

// A threshold as a file may hold it: empty, or a whole number from -10 to 120.
bool IsValidThreshold(const QString& text);

// "M", "Male", "F" or "Female" in any case; nullopt for anything else.
std::optional<bool> ParseSexIsMale(const QString& text);

}  // namespace sonivera
