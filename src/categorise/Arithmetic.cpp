#include "categorise/Arithmetic.h"

#include <QRegularExpression>
#include <cmath>
#include <limits>

#include "base/AppError.h"
#include "base/DateText.h"

namespace sonivera {

namespace {
[[noreturn]] void Overflow() {
  throw AppError(scheme_error::kOverflow, QStringLiteral("Overflow"));
}
[[noreturn]] void TypeMismatch() {
  throw AppError(scheme_error::kTypeMismatch, QStringLiteral("Type mismatch"));
}

std::int16_t Narrow(long long value) {
  if (value < std::numeric_limits<std::int16_t>::min() ||
      value > std::numeric_limits<std::int16_t>::max()) {
    Overflow();
  }
  return static_cast<std::int16_t>(value);
}
}  // namespace

std::int16_t CellToInteger(const QString& text) {
  // Hand-written rather than a pattern: this runs for every cell read.
  qsizetype i = 0;
  const qsizetype n = text.size();
  const auto blank = [&](qsizetype at) { return text[at] == u' ' || text[at] == u'\t'; };
  while (i < n && blank(i)) ++i;
  bool negative = false;
  if (i < n && (text[i] == u'+' || text[i] == u'-')) negative = text[i++] == u'-';
  long long value = 0;
  bool any_digit = false;
  bool too_big = false;
  for (; i < n && text[i] >= u'0' && text[i] <= u'9'; ++i) {
    any_digit = true;
    value = value * 10 + (text[i].unicode() - u'0');
    if (value > 1000000) {
      too_big = true;
      value = 1000000;
    }
  }
  while (i < n && blank(i)) ++i;
  if (!any_digit || i != n) TypeMismatch();
  if (too_big) Overflow();
  return Narrow(negative ? -value : value);
}

std::int16_t CellNumber(const AudiogramGrid& grid, int row, int column) {
  if (const auto known = grid.KnownNumber(row, column)) return *known;
  // A cell that is not a number throws here each time it is read.
  const std::int16_t value = CellToInteger(grid.Cell(row, column));
  grid.KeepNumber(row, column, value);
  return value;
}

float CellToSingle(const QString& text) {
  static const QRegularExpression kNumber(
      QStringLiteral("^[ \\t]*[+-]?([0-9]+[.,]?[0-9]*|[.,][0-9]+)([eE][+-]?[0-9]+)?[ \\t]*$"));
  if (!kNumber.match(text).hasMatch()) TypeMismatch();
  QString normal = text.trimmed();
  normal.replace(u',', u'.');
  bool ok = false;
  const double value = normal.toDouble(&ok);
  if (!ok || !std::isfinite(value) || std::fabs(value) > std::numeric_limits<float>::max()) {
    Overflow();
  }
  return static_cast<float>(value);
}

std::int16_t Add16(std::int16_t a, std::int16_t b) { return Narrow(static_cast<long long>(a) + b); }

std::int16_t Sub16(std::int16_t a, std::int16_t b) { return Narrow(static_cast<long long>(a) - b); }

std::int16_t SumCells(const AudiogramGrid& grid, int row, std::initializer_list<int> columns) {
  bool first = true;
  std::int16_t sum = 0;
  for (int column : columns) {
    const std::int16_t value = CellNumber(grid, row, column);
    sum = first ? value : Add16(sum, value);
    first = false;
  }
  return sum;
}

std::optional<QDate> ParseViewDate(const QString& text) {
  // d/m/yyyy with one or two digits for the day and month.
  int parts[3] = {0, 0, 0};
  int digits[3] = {0, 0, 0};
  int part = 0;
  for (const QChar c : text) {
    if (c == u'/') {
      if (++part > 2) return std::nullopt;
    } else if (c >= u'0' && c <= u'9') {
      parts[part] = parts[part] * 10 + (c.unicode() - u'0');
      ++digits[part];
    } else {
      return std::nullopt;
    }
  }
  if (part != 2 || digits[0] < 1 || digits[0] > 2 || digits[1] < 1 || digits[1] > 2 ||
      digits[2] != 4) {
    return std::nullopt;
  }
  // There is no year 0; a year of four digits is never negative.
  if (parts[2] < 1) return std::nullopt;
  const QDate date(parts[2], parts[1], parts[0]);
  if (!date.isValid()) return std::nullopt;
  return date;
}

QString ViewDateText(const std::optional<QDate>& date) {
  if (!date || !date->isValid()) return kEmptyDateMask;
  return DayMonthYearText(*date);
}

int WholeYears(const QDate& from, const QDate& to) {
  return static_cast<int>(std::floor(static_cast<double>(from.daysTo(to)) / 365.25));
}

QString FormatPlaces(double value, int decimals, QChar decimal_separator) {
  const double scale = decimals == 2 ? 100.0 : 10.0;
  const double scaled = std::round(std::fabs(value) * scale);  // halves away from zero
  const long long units = static_cast<long long>(scaled);
  const long long whole = units / static_cast<long long>(scale);
  const long long fraction = units % static_cast<long long>(scale);
  QString text = (units != 0 && value < 0) ? QStringLiteral("-") : QString();
  if (whole != 0) text += QString::number(whole);
  text += decimal_separator;
  text += QStringLiteral("%1").arg(fraction, decimals, 10, QLatin1Char('0'));
  return text;
}

QString NumberN(double value) {
  const long long tenths = static_cast<long long>(std::round(std::fabs(value) * 10.0));
  if (tenths == 0) return QStringLiteral(" 0");
  QString text = value < 0 ? QStringLiteral("-") : QStringLiteral(" ");
  if (tenths / 10 != 0) text += QString::number(tenths / 10);
  if (tenths % 10 != 0) text += u'.' + QString::number(tenths % 10);
  return text;
}

}  // namespace sonivera
