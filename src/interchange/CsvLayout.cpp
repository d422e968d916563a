#include "interchange/CsvLayout.h"


#include "base/DateText.h"
#include "register/EntryFields.h"

namespace sonivera {

namespace {
const QString kHeader52 = QStringLiteral("[SNV/5.2 Format]");
const QString kHeader5 = QStringLiteral("[SNV/5 Format]");

const char* const kMainHeadings =
    "Pat No,Surname,Forenames,Last Test,Time of Test,Previous Test,Date of Birth,"
    "Categorisation,Position/Rank,Dept/Unit,Company,Location,Sex,Examiner,"
    "Recall Data,Status,Date Joined,Date Left,Leaving Reason,Length of Service,Test Type,Serial "
    "No.,Calibrated,"
    "F1,F2,F3,Notes,Address1,Address2,Address3,Address4,Address5,Address6,"
    "250Hz,500Hz,1KHz,1.5kHz,2kHz,3kHz,4kHz,6kHz,8kHz,250Hz,500Hz,1KHz,1.5kHz,2kHz,3kHz,4kHz,"
    "6kHz,8kHz";

bool IsAnswerCode(const QString& text) {
  return text.isEmpty() || text == QLatin1String("0") || text == QLatin1String("1") ||
         text == QLatin1String("-1") || text == QLatin1String("2");
}
}  // namespace

QString HeaderLine(CsvLayout layout) { return layout == CsvLayout::Snv52 ? kHeader52 : kHeader5; }

QString HeadingLine(CsvLayout layout) {
  QString line = QString::fromLatin1(kMainHeadings);
  if (layout == CsvLayout::Snv5) return line;
  QString questions;
  for (int i = 1; i <= kCsvQuestions; ++i) questions += QStringLiteral("Q %1,").arg(i);
  for (int i = 1; i <= kCsvQuestions; ++i) questions += QStringLiteral("Ans %1,").arg(i);
  questions.chop(1);
  return line + u',' + questions + QStringLiteral(",125HzL,750HzL,125HzR,750HzR");
}

int ValueCount(CsvLayout layout) {
  return layout == CsvLayout::Snv52 ? kMainValueCount + 2 * kCsvQuestions + 4 : kMainValueCount;
}

std::optional<CsvLayout> DetectHeader(const QString& first_line) {
  if (first_line.left(kHeader52.size()).compare(kHeader52, Qt::CaseInsensitive) == 0) {
    return CsvLayout::Snv52;
  }
  if (first_line.left(kHeader5.size()).compare(kHeader5, Qt::CaseInsensitive) == 0) {
    return CsvLayout::Snv5;
  }
  return std::nullopt;
}

QString CsvValue(const QString& value, bool always_quoted) {
  QString text = value;
  // A line break cannot travel inside a line-based file.
  text.replace(QLatin1String("\r\n"), QLatin1String(" "));
  text.replace(u'\r', u' ');
  text.replace(u'\n', u' ');
  if (!always_quoted && !text.contains(u',') && !text.contains(u'"')) return text;
  text.replace(QLatin1String("\""), QLatin1String("\"\""));
  return u'"' + text + u'"';
}

QString FormatCsvLine(const CsvRecord& record, CsvLayout layout) {
  QString line;
  line.reserve(1024);
  auto add = [&line](const QString& value, bool always_quoted = false) {
    line += CsvValue(value, always_quoted);
    line += u',';
  };
  for (int i = 0; i < kMainValueCount; ++i) add(record.values[i], i == kCsvCategorisation);
  if (layout == CsvLayout::Snv5) return line;
  // Missing groups are written as empty values so the columns stay aligned.
  for (int i = 0; i < kCsvQuestions; ++i) add(record.has_answers ? record.codes[i] : QString());
  for (int i = 0; i < kCsvQuestions; ++i) add(record.has_answers ? record.texts[i] : QString());
  for (int i = 0; i < 4; ++i) add(record.has_extra ? record.extra[i] : QString());
  return line;
}

std::optional<QString> extractfiledata(const QString& line, qsizetype start, qsizetype& end) {
  const qsizetype first = start + 1;
  if (first < line.size() && line[first] == u'"') {
    // Two double quotes inside a quoted value stand for one.
    QString value;
    qsizetype from = first + 1;
    for (;;) {
      const qsizetype quote = line.indexOf(u'"', from);
      if (quote < 0) return std::nullopt;
      value += QStringView(line).mid(from, quote - from);
      if (quote + 1 < line.size() && line[quote + 1] == u'"') {
        value += u'"';
        from = quote + 2;
        continue;
      }
      const qsizetype comma = line.indexOf(u',', quote + 1);
      end = comma < 0 ? line.size() : comma;
      return value;
    }
  }
  if (end < first) end = first;  // an empty field
  return line.mid(first, end - first);
}

SplitLine SplitCsvLine(const QString& line) {
  SplitLine split;
  qsizetype start = -1;  // the comma before the field
  while (start < line.size()) {
    if (start + 1 == line.size()) {
      split.ends_with_comma = start >= 0;
      break;
    }
    qsizetype end = line.indexOf(u',', start + 1);
    if (end < 0) end = line.size();
    const auto field = extractfiledata(line, start, end);
    if (!field) {
      split.unclosed_quote = true;
      break;
    }
    split.fields.push_back(*field);
    start = end;
  }
  return split;
}

ParsedLine ParseCsvLine(const QString& line, CsvLayout layout, bool complete) {
  ParsedLine parsed;
  CsvRecord& r = parsed.record;
  const SplitLine split = SplitCsvLine(line);
  const QStringList& f = split.fields;
  r[kCsvPatNo] = f.value(0);
  if (r[kCsvPatNo].isEmpty()) {
    parsed.problem = LineProblem::NoPatNo;
    return parsed;
  }
  r[kCsvSurname] = f.value(kCsvSurname);
  auto fail = [&](LineProblem problem, const QString& detail) {
    parsed.problem = problem;
    parsed.detail = detail;
    return parsed;
  };
  if (split.unclosed_quote)
    return fail(LineProblem::UnclosedQuote, QStringLiteral("unclosed quote"));
  if (!complete && !split.ends_with_comma) {
    return fail(LineProblem::FieldPositions, QStringLiteral("the line is cut short"));
  }
  if (f.size() < kMainValueCount) {
    return fail(LineProblem::FieldPositions,
                QStringLiteral("%1 values where %2 are needed").arg(f.size()).arg(kMainValueCount));
  }
  if (f.size() > ValueCount(CsvLayout::Snv52)) {
    // More values than any layout holds: a value has moved, so none can be trusted.
    return fail(LineProblem::FieldPositions,
                QStringLiteral("%1 values where at most %2 belong").arg(f.size()).arg(155));
  }
  for (int i = 0; i < kMainValueCount; ++i) r.values[i] = f[i];
  const qsizetype rest = f.size() - kMainValueCount;
  qsizetype next = kMainValueCount;
  // The questionnaire is there when at least five more values follow.
  if (rest >= 5) {
    if (rest < 2 * kCsvQuestions) {
      return fail(LineProblem::FieldPositions, QStringLiteral("the questionnaire is incomplete"));
    }
    r.has_answers = true;
    for (int i = 0; i < kCsvQuestions; ++i) r.codes[i] = f[next + i];
    for (int i = 0; i < kCsvQuestions; ++i) r.texts[i] = f[next + kCsvQuestions + i];
    next += 2 * kCsvQuestions;
  }
  if (f.size() > next) {
    if (f.size() - next != 4) {
      return fail(LineProblem::FieldPositions,
                  QStringLiteral("the 125/750 Hz values are incomplete"));
    }
    // A 5.0 file leaves the 125 and 750 Hz boxes empty whatever follows.
    r.has_extra = layout == CsvLayout::Snv52;
    for (int i = 0; r.has_extra && i < 4; ++i) r.extra[i] = f[next + i];
  }
  for (int i = kCsvLeft250; i < kMainValueCount; ++i) {
    if (!IsValidThreshold(r.values[i])) {
      return fail(LineProblem::FieldPositions, QStringLiteral("threshold \"%1\"").arg(r.values[i]));
    }
  }
  if (r.has_extra) {
    for (const auto& value : r.extra) {
      if (!IsValidThreshold(value)) {
        return fail(LineProblem::FieldPositions, QStringLiteral("threshold \"%1\"").arg(value));
      }
    }
  }
  if (r.has_answers) {
    for (int i = 0; i < kCsvQuestions; ++i) {
      if (!IsAnswerCode(r.codes[i].trimmed())) {
        return fail(LineProblem::FieldPositions,
                    QStringLiteral("answer code \"%1\"").arg(r.codes[i]));
      }
      r.codes[i] = r.codes[i].trimmed();
      if (r.texts[i].size() > 100) {
        return fail(LineProblem::FieldPositions,
                    QStringLiteral("answer %1 is too long").arg(i + 1));
      }
    }
  }
  return parsed;
}

std::optional<QDate> ParseCsvDate(const QString& text) {
  if (text.trimmed().isEmpty()) return std::nullopt;
  return DateFromDayMonthYear(text);
}

std::optional<QTime> ParseCsvTime(const QString& text) {
  if (text.trimmed().isEmpty()) return std::nullopt;
  return TimeFromHoursMinutes(text);
}

QString CsvDateText(const QString& stored_date) {
  if (stored_date.isEmpty()) return QString();
  const QDate date = DateFromStored(stored_date);
  return date.isValid() ? DayMonthYearText(date) : stored_date;
}

bool IsValidThreshold(const QString& text) {
  if (text.isEmpty()) return true;
  if (!IsThresholdNumber(text)) return false;
  const int value = text.toInt();
  return value >= -10 && value <= 120;
}

std::optional<bool> ParseSexIsMale(const QString& text) {
  const QString t = text.trimmed();
  if (t.compare(QLatin1String("M"), Qt::CaseInsensitive) == 0 ||
      t.compare(QLatin1String("Male"), Qt::CaseInsensitive) == 0) {
    return true;
  }
  if (t.compare(QLatin1String("F"), Qt::CaseInsensitive) == 0 ||
      t.compare(QLatin1String("Female"), Qt::CaseInsensitive) == 0) {
    return false;
  }
  return std::nullopt;
}

}  // namespace sonivera
