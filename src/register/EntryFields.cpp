#include "register/EntryFields.h"

#include "base/DateText.h"
#include "base/Messages.h"
#include "base/Prompter.h"

namespace sonivera {

namespace {
constexpr ThresholdBox kBoxes[kThresholdBoxCount] = {
    {true, "250Hz", 0, 0},   {true, "500Hz", 0, 1},  {true, "1kHz", 0, 2},
    {true, "1_5kHz", 0, 3},  {true, "2kHz", 0, 4},   {true, "3kHz", 0, 5},
    {true, "4kHz", 0, 6},    {true, "6kHz", 0, 7},   {true, "8kHz", 0, 8},
    {false, "250Hz", 2, 0},  {false, "500Hz", 2, 1}, {false, "1kHz", 2, 2},
    {false, "1_5kHz", 2, 3}, {false, "2kHz", 2, 4},  {false, "3kHz", 2, 5},
    {false, "4kHz", 2, 6},   {false, "6kHz", 2, 7},  {false, "8kHz", 2, 8},
    {true, "125Hz", 0, 9},   {true, "750Hz", 0, 10}, {false, "125Hz", 2, 9},
    {false, "750Hz", 2, 10},
};

// The accepted shapes of a threshold box: "-" alone, or a threshold number.
bool MatchesThresholdPattern(const QString& text) {
  return text == QLatin1String("-") || IsThresholdNumber(text);
}
}  // namespace

void EntryFields::ClearTestFields() {
  Categorisation.clear();
  SerialNo.clear();
  TestType.clear();
  Notes.clear();
  for (auto& box : Dates) box = kEmptyDateBox;
  Dates[kBoxTimeofTest] = kEmptyTimeBox;
  for (auto& t : Thresholds) t.clear();
  for (auto& t : Previous) t.clear();
  QuestionCodes.fill(0);
  for (auto& t : AnswerTexts) t.clear();
}

bool EntryFields::AllThresholdsEmpty() const {
  for (const auto& t : Thresholds) {
    if (!t.trimmed().isEmpty()) return false;
  }
  return true;
}

QString EntryFields::SexText() const {
  if (OptionMale) return QStringLiteral("Male");
  if (OptionFemale) return QStringLiteral("Female");
  return QStringLiteral("Not specified");
}

void EntryFields::SetSex(const QString& sex) {
  OptionMale = sex.compare(QLatin1String("Male"), Qt::CaseInsensitive) == 0;
  OptionFemale = sex.compare(QLatin1String("Female"), Qt::CaseInsensitive) == 0;
}

const ThresholdBox& ThresholdBoxAt(int item) { return kBoxes[item]; }

int ThresholdBoxFor(bool left, const QString& field) {
  for (int i = 0; i < kThresholdBoxCount; ++i) {
    if (kBoxes[i].left == left && field == QLatin1String(kBoxes[i].field)) return i;
  }
  return -1;
}

ThresholdEntryResult ApplyThresholdEntry(const QString& typed) {
  QString text = typed;
  // Cutting a too-high value changes the box again, which runs the rule again.
  for (;;) {
    if (!MatchesThresholdPattern(text)) return {QString(), true, QString()};
    if (text == QLatin1String("-")) return {text, false, QString()};
    const int value = text.toInt();
    if (value >= -10 && value <= 120) return {text, true, QString::number(value)};
    text = text.left(2);
  }
}

bool IsThresholdNumber(QStringView text) {
  const auto digit = [&](qsizetype i) { return text[i] >= u'0' && text[i] <= u'9'; };
  if (text.isEmpty() || text.size() > 3) return false;
  if (text[0] == u'-') {
    return (text.size() == 2 && digit(1)) || text == QLatin1String("-10");
  }
  for (qsizetype i = 0; i < text.size(); ++i) {
    if (!digit(i)) return false;
  }
  return true;
}

bool WantsToFillParticulars(Prompter& ask, bool no_birth_date, bool no_sex) {
  const auto wants = [&ask](int message) {
    return ask.Show(Msg(message), Msg(1601), Prompter::Buttons::YesNo, Prompter::Answer::Yes) ==
           Prompter::Answer::Yes;
  };
  return (no_birth_date && wants(1600)) || (no_sex && wants(1602));
}

bool IsEmptyBox(const QString& text) {
  for (QChar c : text) {
    if (c != u'_' && c != u'/' && c != u':' && !c.isSpace()) return false;
  }
  return true;
}

std::optional<QDate> ParseDateBox(const QString& text) {
  if (IsEmptyBox(text)) return std::nullopt;
  return DateFromDayMonthYear(text);
}

std::optional<QTime> ParseTimeBox(const QString& text) {
  if (IsEmptyBox(text)) return std::nullopt;
  return TimeFromHoursMinutes(text);
}

QString DateBoxText(const QString& stored) {
  const QDate date = DateFromStored(stored);
  return date.isValid() ? DayMonthYearText(date) : kEmptyDateBox;
}

QString TimeBoxText(const QString& stored) {
  const QTime time = TimeFromStored(stored);
  return time.isValid() ? StoredTimeText(time) : kEmptyTimeBox;
}

int ServiceMonths(const QDate& from, const QDate& to) {
  int months = (to.year() - from.year()) * 12 + (to.month() - from.month());
  if (to.day() < from.day()) --months;
  return months;
}

QString ServiceLengthTextFor(int months) {
  return QString::number(months / 12) + Msg(1520) + QString::number(months % 12) + Msg(1521);
}

bool StoredDateOf(const QString& box, QString& stored) {
  const auto date = ParseDateBox(box);
  stored = QString();
  if (!date) return true;
  if (!date->isValid()) return false;
  stored = StoredDateText(*date);
  return true;
}

}  // namespace sonivera
