#pragma once

#include <QDate>
#include <QString>
#include <QStringView>
#include <QTime>

namespace sonivera {

// Dates and times in the fixed shapes the program stores ("yyyy-MM-dd",
// "HH:mm:ss") and shows ("dd/MM/yyyy"), converted digit by digit: a bulk run
// converts several for every line, and the general date parser costs more
// than the rest of a line's checks. Each reads exactly its shape (two-digit
// fields with their leading zero) and gives an invalid date or time for
// anything else.
QDate DateFromStored(QStringView text);
QTime TimeFromStored(QStringView text);
// "d/M/yyyy" (one or two digits for the day and the month, four for the
// year) and "H:mm" or "H:mm:ss", with spaces around allowed: what is typed in
// a box and written in an import file. An invalid date or time for any other
// text.
QDate DateFromDayMonthYear(QStringView text);
QTime TimeFromHoursMinutes(QStringView text);
// The stored shape; a null text for an invalid date or time.
QString StoredDateText(const QDate& date);
QString StoredTimeText(const QTime& time);
// "dd/MM/yyyy"; a null text for an invalid date.
QString DayMonthYearText(const QDate& date);

}  // namespace sonivera
