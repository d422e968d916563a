#include "interchange/OldFormats.h"

#include "interchange/CsvLayout.h"

namespace sonivera {

namespace {
// CSV columns.
constexpr int kOldCsvValues = 48;
constexpr int kOldLeft = 11;       // columns 12-20
constexpr int kOldRight = 20;      // columns 21-29
constexpr int kOldPrevious = 29;   // column 30
constexpr int kOldPrevLeft = 30;   // columns 31-39
constexpr int kOldPrevRight = 39;  // columns 40-48

// .dat fields: start (0-based) and width.
struct DatField {
  int start;
  int width;
};
constexpr DatField kDatPatNo{0, 16};
constexpr DatField kDatSurname{16, 24};
constexpr DatField kDatForenames{40, 24};
constexpr DatField kDatDob{64, 10};
constexpr DatField kDatSex{74, 6};
constexpr DatField kDatDate{80, 10};
constexpr DatField kDatTime{90, 8};
constexpr DatField kDatExaminer{98, 20};
constexpr int kDatResults = 118;  // 18 thresholds of 4 characters
constexpr DatField kDatPrevious{190, 10};
constexpr int kDatPrevResults = 200;  // 18 thresholds of 4 characters
constexpr int kDatThresholdWidth = 4;
static_assert(kDatPrevResults + 18 * kDatThresholdWidth == kDatRecordLength);

QString Field(const QString& line, DatField f) { return line.mid(f.start, f.width).trimmed(); }

QString Padded(const QString& text, int width) { return text.left(width).leftJustified(width); }

// Checks what a record needs before it can be entered; empty when fine.
QString Check(const OldRecord& r) {
  if (r.surname.isEmpty()) return QStringLiteral("no surname");
  const auto date = ParseCsvDate(r.date_of_test);
  if (!date || !date->isValid()) return QStringLiteral("date of test \"%1\"").arg(r.date_of_test);
  const auto time = ParseCsvTime(r.time_of_test);
  if (time && !time->isValid()) return QStringLiteral("time of test \"%1\"").arg(r.time_of_test);
  for (const auto* group : {&r.results, &r.previous}) {
    for (const auto* ear : {&group->left, &group->right}) {
      for (const auto& value : *ear) {
        if (!IsValidThreshold(value)) return QStringLiteral("threshold \"%1\"").arg(value);
      }
    }
  }
  if (!r.previous.IsEmpty()) {
    const auto previous = ParseCsvDate(r.previous_date);
    if (!previous || !previous->isValid()) {
      return QStringLiteral("previous test date \"%1\"").arg(r.previous_date);
    }
  }
  return QString();
}

QString NormalisedSex(const QString& text) {
  const auto male = ParseSexIsMale(text);
  if (!male) return QString();
  return *male ? QStringLiteral("MALE") : QStringLiteral("FEMALE");
}

// A date of birth given as a year alone means 1 January of that year.
QString NormalisedDob(const QString& text) {
  const QString t = text.trimmed();
  if (t.size() == 4 && t.toInt() > 0) return QStringLiteral("01/01/") + t;
  return t;
}

OldParse Finish(OldRecord record) {
  record.sex = NormalisedSex(record.sex);
  record.dob = NormalisedDob(record.dob);
  OldParse parse;
  parse.problem = Check(record);
  if (parse.problem.isEmpty()) parse.record = std::move(record);
  return parse;
}
}  // namespace

bool OldThresholds::IsEmpty() const {
  for (const auto& v : left) {
    if (!v.isEmpty()) return false;
  }
  for (const auto& v : right) {
    if (!v.isEmpty()) return false;
  }
  return true;
}

OldParse ParseOldCsvLine(const QString& line) {
  const SplitLine split = SplitCsvLine(line);
  if (split.unclosed_quote) return {std::nullopt, QStringLiteral("unclosed quote")};
  const QStringList& f = split.fields;
  if (f.size() != kOldCsvValues && f.size() != kOldPrevious) {
    return {std::nullopt,
            QStringLiteral("%1 values where %2 belong").arg(f.size()).arg(kOldCsvValues)};
  }
  OldRecord r;
  r.pat_no = f[0].trimmed();
  r.surname = f[1].trimmed();
  r.forenames = f[2].trimmed();
  r.dob = f[3];
  r.sex = f[4];
  r.date_of_test = f[5].trimmed();
  r.time_of_test = f[6].trimmed();
  r.examiner = f[7].trimmed();
  r.company = f[8].trimmed();
  r.dept_unit = f[9].trimmed();
  r.position_rank = f[10].trimmed();
  for (int i = 0; i < 9; ++i) {
    r.results.left[i] = f[kOldLeft + i].trimmed();
    r.results.right[i] = f[kOldRight + i].trimmed();
  }
  if (f.size() == kOldCsvValues) {
    r.previous_date = f[kOldPrevious].trimmed();
    for (int i = 0; i < 9; ++i) {
      r.previous.left[i] = f[kOldPrevLeft + i].trimmed();
      r.previous.right[i] = f[kOldPrevRight + i].trimmed();
    }
  }
  return Finish(std::move(r));
}

OldParse ParseOldDatRecord(const QString& line) {
  if (line.size() < kDatResults + 18 * kDatThresholdWidth) {
    return {std::nullopt, QStringLiteral("record of %1 characters").arg(line.size())};
  }
  OldRecord r;
  r.pat_no = Field(line, kDatPatNo);
  r.surname = Field(line, kDatSurname);
  r.forenames = Field(line, kDatForenames);
  r.dob = Field(line, kDatDob);
  r.sex = Field(line, kDatSex);
  r.date_of_test = Field(line, kDatDate);
  r.time_of_test = Field(line, kDatTime);
  r.examiner = Field(line, kDatExaminer);
  for (int i = 0; i < 18; ++i) {
    const QString v = Field(line, {kDatResults + i * kDatThresholdWidth, kDatThresholdWidth});
    (i < 9 ? r.results.left[i] : r.results.right[i - 9]) = v;
  }
  if (line.size() >= kDatPrevResults + 18 * kDatThresholdWidth) {
    r.previous_date = Field(line, kDatPrevious);
    for (int i = 0; i < 18; ++i) {
      const QString v = Field(line, {kDatPrevResults + i * kDatThresholdWidth, kDatThresholdWidth});
      (i < 9 ? r.previous.left[i] : r.previous.right[i - 9]) = v;
    }
  }
  return Finish(std::move(r));
}

QString FormatOldCsvLine(const OldRecord& r) {
  QStringList values{r.pat_no,  r.surname,      r.forenames,    r.dob,
                     r.sex,     r.date_of_test, r.time_of_test, r.examiner,
                     r.company, r.dept_unit,    r.position_rank};
  for (const auto& v : r.results.left) values << v;
  for (const auto& v : r.results.right) values << v;
  values << r.previous_date;
  for (const auto& v : r.previous.left) values << v;
  for (const auto& v : r.previous.right) values << v;
  QString line;
  for (const auto& v : values) line += CsvValue(v, false) + u',';
  return line;
}

QString FormatOldDatRecord(const OldRecord& r) {
  QString line = Padded(r.pat_no, kDatPatNo.width) + Padded(r.surname, kDatSurname.width) +
                 Padded(r.forenames, kDatForenames.width) + Padded(r.dob, kDatDob.width) +
                 Padded(r.sex, kDatSex.width) + Padded(r.date_of_test, kDatDate.width) +
                 Padded(r.time_of_test, kDatTime.width) + Padded(r.examiner, kDatExaminer.width);
  for (const auto* ear : {&r.results.left, &r.results.right}) {
    for (const auto& v : *ear) line += v.rightJustified(kDatThresholdWidth);
  }
  line += Padded(r.previous_date, kDatPrevious.width);
  for (const auto* ear : {&r.previous.left, &r.previous.right}) {
    for (const auto& v : *ear) line += v.rightJustified(kDatThresholdWidth);
  }
  return line.leftJustified(kDatRecordLength);
}

}  // namespace sonivera
