// The fixed-shape date and time conversions that imports and saves use in
// place of the general parser.
#include <gtest/gtest.h>

#include "base/DateText.h"

namespace sonivera {
namespace {

TEST(DateText, ReadsOnlyItsShapes) {
  const std::pair<const char*, QDate> typed[] = {  // DateFromDayMonthYear
      {"7/3/2024", QDate(2024, 3, 7)},   {" 07/03/2024 ", QDate(2024, 3, 7)},
      {"31/12/1999", QDate(1999, 12, 31)}, {"29/02/2023", QDate()},  // no such day
      {"7/3/24", QDate()},               {"123/3/2024", QDate()},
      {"7-3-2024", QDate()},             {"7/3/20245", QDate()},
      {"7/3/2024x", QDate()},            {"", QDate()},
      {"//", QDate()},
  };
  for (const auto& [text, date] : typed) {
    EXPECT_EQ(DateFromDayMonthYear(QString::fromLatin1(text)), date) << text;
  }
  EXPECT_EQ(DateFromStored(u"2024-03-07"), QDate(2024, 3, 7));
  for (const char* refused : {"2024-3-07", "2024-03-7", "2024/03/07", "2024-13-01", " 2024-03-07"}) {
    SCOPED_TRACE(refused);
    EXPECT_FALSE(DateFromStored(QString::fromLatin1(refused)).isValid());
  }

  EXPECT_EQ(TimeFromHoursMinutes(u"9:05"), QTime(9, 5));
  EXPECT_EQ(TimeFromHoursMinutes(u" 09:05:30 "), QTime(9, 5, 30));
  for (const char* refused : {"9:5", "24:00", "9:05:", "9:05:3", "9:05:30:1", "905", ""}) {
    SCOPED_TRACE(refused);
    EXPECT_FALSE(TimeFromHoursMinutes(QString::fromLatin1(refused)).isValid());
  }
  EXPECT_EQ(TimeFromStored(u"23:59:59"), QTime(23, 59, 59));
  EXPECT_FALSE(TimeFromStored(u"23:59").isValid());
}

TEST(DateText, WritesWhatQtWrites) {
  for (const QDate& date : {QDate(2024, 3, 7), QDate(1, 1, 1), QDate(999, 12, 31),
                            QDate(9999, 12, 31), QDate(10000, 1, 2), QDate(-5, 6, 7)}) {
    SCOPED_TRACE(date.toString(Qt::ISODate).toStdString());
    EXPECT_EQ(StoredDateText(date), date.toString(QStringLiteral("yyyy-MM-dd")));
    EXPECT_EQ(DayMonthYearText(date), date.toString(QStringLiteral("dd/MM/yyyy")));
  }
  EXPECT_EQ(StoredTimeText(QTime(7, 8, 9)), QStringLiteral("07:08:09"));
  EXPECT_TRUE(StoredDateText(QDate()).isNull());
  EXPECT_TRUE(StoredTimeText(QTime()).isNull());
}

}  // namespace
}  // namespace sonivera
