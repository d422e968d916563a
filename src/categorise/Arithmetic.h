#pragma once

#include <QDate>
#include <QString>
#include <cstdint>
#include <initializer_list>
#include <optional>

#include "categorise/CategorisationState.h"

namespace sonivera {

// Run-time errors of the schemes' arithmetic, with the numbers and
// descriptions their reports show.
namespace scheme_error {
constexpr long kOverflow = 6;
constexpr long kTypeMismatch = 13;
}  // namespace scheme_error

// A threshold cell as a 16-bit whole number: surrounding spaces and a sign
// are allowed. Throws AppError "Type mismatch" for any other text (the empty
// text included) and "Overflow" beyond -32768 ... 32767.
std::int16_t CellToInteger(const QString& text);
// CellToInteger of a grid cell, each cell read once until it changes.
std::int16_t CellNumber(const AudiogramGrid& grid, int row, int column);
// A threshold cell as a 32-bit float ("." or "," as the decimal point).
float CellToSingle(const QString& text);

// 16-bit sums and differences; both throw AppError "Overflow".
std::int16_t Add16(std::int16_t a, std::int16_t b);
std::int16_t Sub16(std::int16_t a, std::int16_t b);
// The 16-bit sum of one grid row's cells, added left to right.
std::int16_t SumCells(const AudiogramGrid& grid, int row, std::initializer_list<int> columns);

// A "dd/mm/yyyy" text of the current-test view as a date; nothing for the
// empty mask or any text that is not a real date.
std::optional<QDate> ParseViewDate(const QString& text);
// A date as the current-test view shows it; the empty mask for no date.
QString ViewDateText(const std::optional<QDate>& date);

// Whole years from one date to another: days / 365.25, rounded down.
int WholeYears(const QDate& from, const QDate& to);

// The digit-placeholder formats "###.00" (decimals 2) and "###.0"
// (decimals 1): no leading zero, halves away from zero.
QString FormatPlaces(double value, int decimals, QChar decimal_separator);
// The number form of the PAM and IPA texts: "###.0" read back and written
// with a leading space (or "-"), "." as the point, no needless zeros.
QString NumberN(double value);

}  // namespace sonivera
