#include "base/DateText.h"

namespace sonivera {

namespace {
// The number in text[at, at + count), or -1 when a character is not a digit.
int Digits(QStringView text, qsizetype at, int count) {
  int value = 0;
  for (int i = 0; i < count; ++i) {
    const char16_t c = text[at + i].unicode();
    if (c < u'0' || c > u'9') return -1;
    value = value * 10 + (c - u'0');
  }
  return value;
}

// The number of min to max digits at text[at], moving `at` past them; -1
// when there are fewer than min. A following digit is left for the caller
// to refuse.
int Number(QStringView text, qsizetype& at, int min, int max) {
  int value = 0, count = 0;
  while (count < max && at < text.size() && text[at] >= u'0' && text[at] <= u'9') {
    value = value * 10 + (text[at].unicode() - u'0');
    ++at;
    ++count;
  }
  return count >= min ? value : -1;
}

bool Take(QStringView text, qsizetype& at, char16_t separator) {
  if (at >= text.size() || text[at] != separator) return false;
  ++at;
  return true;
}

// Three numbers of fixed widths (leading zeros) with a separator between.
QString ThreeFields(int first, int first_width, char16_t separator, int second, int third,
                    int third_width) {
  QString text(first_width + 2 + 2 + third_width, Qt::Uninitialized);
  QChar* out = text.data();
  const auto put = [&out](int value, int width) {
    for (int i = width - 1; i >= 0; --i) {
      out[i] = QChar(u'0' + value % 10);
      value /= 10;
    }
    out += width;
  };
  put(first, first_width);
  *out++ = separator;
  put(second, 2);
  *out++ = separator;
  put(third, third_width);
  return text;
}

// Years outside 1 to 9999 take Qt's own formatting (a sign, more digits).
bool FourDigitYear(const QDate& date) { return date.year() >= 1 && date.year() <= 9999; }
}  // namespace

QDate DateFromStored(QStringView text) {
  if (text.size() != 10 || text[4] != u'-' || text[7] != u'-') return {};
  const int year = Digits(text, 0, 4), month = Digits(text, 5, 2), day = Digits(text, 8, 2);
  if (year < 0 || month < 0 || day < 0) return {};
  return QDate(year, month, day);
}

QTime TimeFromStored(QStringView text) {
  if (text.size() != 8 || text[2] != u':' || text[5] != u':') return {};
  const int hour = Digits(text, 0, 2), minute = Digits(text, 3, 2), second = Digits(text, 6, 2);
  if (hour < 0 || minute < 0 || second < 0) return {};
  return QTime(hour, minute, second);
}

QDate DateFromDayMonthYear(QStringView text) {
  text = text.trimmed();
  qsizetype at = 0;
  const int day = Number(text, at, 1, 2);
  if (day < 0 || !Take(text, at, u'/')) return {};
  const int month = Number(text, at, 1, 2);
  if (month < 0 || !Take(text, at, u'/')) return {};
  const int year = Number(text, at, 4, 4);
  if (year < 0 || at != text.size()) return {};
  return QDate(year, month, day);
}

QTime TimeFromHoursMinutes(QStringView text) {
  text = text.trimmed();
  qsizetype at = 0;
  const int hour = Number(text, at, 1, 2);
  if (hour < 0 || !Take(text, at, u':')) return {};
  const int minute = Number(text, at, 2, 2);
  if (minute < 0) return {};
  int second = 0;
  if (at < text.size()) {
    if (!Take(text, at, u':')) return {};
    second = Number(text, at, 2, 2);
    if (second < 0) return {};
  }
  if (at != text.size()) return {};
  return QTime(hour, minute, second);
}

QString StoredDateText(const QDate& date) {
  if (!date.isValid()) return {};
  if (!FourDigitYear(date)) return date.toString(QStringLiteral("yyyy-MM-dd"));
  return ThreeFields(date.year(), 4, u'-', date.month(), date.day(), 2);
}

QString StoredTimeText(const QTime& time) {
  if (!time.isValid()) return {};
  return ThreeFields(time.hour(), 2, u':', time.minute(), time.second(), 2);
}

QString DayMonthYearText(const QDate& date) {
  if (!date.isValid()) return {};
  if (!FourDigitYear(date)) return date.toString(QStringLiteral("dd/MM/yyyy"));
  return ThreeFields(date.day(), 2, u'/', date.month(), date.year(), 4);
}

}  // namespace sonivera
