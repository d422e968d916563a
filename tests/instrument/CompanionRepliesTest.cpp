#include <gtest/gtest.h>

#include <QFile>

#include "categorise/CategorisationState.h"
#include "instrument/CompanionReplies.h"
#include "instrument/CompanionSupport.h"

namespace sonivera::companion {
namespace {

// A reply and a test data file as the companion writes them. veldata.tmp:
// status 150, type 2 and "0/1/2000" at bytes 5 and 6, both ears of kLeft and
// kRight as 16-bit words from byte 66. vel730.tmp: four blocks of words
// (kLeft, kRight, previous left all 10, previous right -20 then 20s), type 6,
// a number and "25/12/2025".
QByteArray Sample(const char* name) {
  QFile file(QStringLiteral(SONIVERA_TEST_DATA "/companion/") + name);
  return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

const EarValues kLeft{-20, 5, 10, 15, 20, 25, 30, 35, 40, 45, 120};
const EarValues kRight{0, -10, -1, 55, 60, 65, 70, 75, 80, 85, 90};

// The whole argument is checked by the link's tests.
TEST(CompanionReplies, PortCharacter) {
  struct Case {
    const char* port;
    QChar expected;
  } cases[] = {{"-", u' '},  {"", u' '},     {"1", u'!'},     {"2", u'"'},   {"3", u'#'},
               {"16", u'0'}, {"COM3", u'#'}, {"com 4", u'$'}, {"USB", u' '}, {"0", u' '}};
  for (const auto& c : cases) EXPECT_EQ(PortCodeCharacter(c.port), c.expected) << c.port;
}

TEST(CompanionReplies, WordsErrorsAndDates) {
  const std::tuple<int, int, int> words[] = {
      {236, 255, -20}, {255, 255, -1}, {235, 255, 65515}, {120, 0, 120}, {1, 1, 257}};
  for (const auto& [low, high, value] : words) EXPECT_EQ(ThresholdFromWord(low, high), value);

  // Codes 2 and 6 and the short error reply are checked through the link.
  const std::tuple<int, int, const char*> errors[] = {{1, 0, "No reply from instrument 1,0(hex) "},
                                                      {3, 1, "System error 3,1(hex) "},
                                                      {4, 2, "Function not available 4,2(hex) "},
                                                      {5, 3, "Unknown instrument type 5,3(hex) "},
                                                      {0, 0, "Unknown error 0,0(hex) "},
                                                      {26, 171, "Unknown error 1A,AB(hex) "}};
  for (const auto& [code, sub, text] : errors) EXPECT_EQ(InstrumentErrorText(code, sub), text);
  EXPECT_EQ(MalformedErrorReplyText(QByteArray("\x97\x00\x02\x0a\x05", 5)), "Bridger Error: 2,A");
  EXPECT_EQ(MalformedErrorReplyText(QByteArray("\x97", 1)), "Bridger Error: ,");

  const std::pair<QByteArray, QString> dates[] = {
      {"0/1/2000", "01/01/2000"},         {QByteArray("7/3/2026\0junk", 13), "07/03/2026"},
      {"12/11/2025 10:00", "12/11/2025"}, {"31/2/2026", kEmptyDateBox},
      {"0/0/0000", kEmptyDateBox},        {"", kEmptyDateBox}};
  for (const auto& [text, box] : dates) EXPECT_EQ(ReplyDateBox(text), box) << text.data();

  const char* names[] = {"bekesy", "computer", "manual", "mixed", "", "Upload", "Data", ""};
  for (int code = 0; code < 8; ++code) EXPECT_EQ(TestTypeName(code), names[code]) << code;
}

TEST(CompanionReplies, DataReplyAndTestDataFileLayouts) {
  const QByteArray reply = Sample("veldata.tmp");
  ASSERT_EQ(reply.size(), kDataReplyMinimum);
  const auto test = DecodeDataReply(reply);
  ASSERT_TRUE(test);
  EXPECT_EQ(test::Summary(*test), test::Summary({"manual", "01/01/2000", kLeft, kRight}));
  EXPECT_FALSE(DecodeDataReply(reply.left(kDataReplyMinimum - 1)));
  // Bytes past the right ear are not part of the test.
  EXPECT_EQ(DecodeDataReply(reply + QByteArray(500, '\xff')), test);

  const QByteArray data = Sample("vel730.tmp");
  const auto from_file = DecodeTestDataFile(data);
  ASSERT_TRUE(from_file);
  EarValues previous_right;
  previous_right.fill(20);
  previous_right[0] = -20;
  EXPECT_EQ(test::Summary(*from_file),
            test::Summary({"Data", "25/12/2025", kLeft, kRight, true,
                           EarValues{10, 10, 10, 10, 10, 10, 10, 10, 10, 10, 10}, previous_right}));
  // The thresholds, type and number without a date: a test with no date.
  const auto undated = DecodeTestDataFile(data.left(kTestDataMinimum));
  ASSERT_TRUE(undated);
  EXPECT_EQ(undated->date_box, kEmptyDateBox);
  EXPECT_FALSE(DecodeTestDataFile(data.left(kTestDataMinimum - 1)));
}

TEST(CompanionReplies, PreviousValuesFile) {
  std::array<QString, kThresholdBoxCount> previous;
  // Left 250 Hz ... 8 kHz, right the same, then 125/750 left and right;
  // the left 125 Hz box stays empty.
  for (int i = 0; i < 18; ++i) previous[i] = QString::number(i * 5);
  previous[19] = "7";
  previous[20] = "-5";
  previous[21] = " ";
  EXPECT_EQ(PreviousValuesText(previous, "03/04/2025"),
            QByteArray("-20,0,5,7,10,15,20,25,30,35,40,\r\n"
                       "-5,45,50,-20,55,60,65,70,75,80,85,\r\n"
                       "\r\n\r\n"
                       "03-04-2025\r\n"));
  EXPECT_EQ(PreviousValuesText({}, ""),
            QByteArray("-20,-20,-20,-20,-20,-20,-20,-20,-20,-20,-20,\r\n"
                       "-20,-20,-20,-20,-20,-20,-20,-20,-20,-20,-20,\r\n\r\n\r\n\r\n"));
}

TEST(CompanionReplies, AppliedTestFillsBoxesAndGrid) {
  // Per frequency (125 Hz ... 8 kHz): the left and right boxes and the grid column.
  const int left_box[] = {18, 0, 1, 19, 2, 3, 4, 5, 6, 7, 8};
  const int right_box[] = {20, 9, 10, 21, 11, 12, 13, 14, 15, 16, 17};
  const int column[] = {9, 0, 1, 10, 2, 3, 4, 5, 6, 7, 8};
  CompanionTest test{"computer", "02/02/2026", kLeft, kRight};
  EntryFields entries;
  entries.Previous[0] = "99";
  AudiogramGrid grid;
  grid.Clear();
  ApplyCompanionTest(test, entries, grid);
  EXPECT_EQ(entries.TestType, "computer");
  EXPECT_EQ(entries.Dates[kBoxDateofTest], "02/02/2026");
  for (int f = 0; f < kFrequencyCount; ++f) {
    SCOPED_TRACE(f);
    EXPECT_EQ(entries.Thresholds[left_box[f]], QString::number(kLeft[f]));
    EXPECT_EQ(entries.Thresholds[right_box[f]], QString::number(kRight[f]));
    // -20 is no value in the grid.
    EXPECT_EQ(grid.Cell(0, column[f]), kLeft[f] == -20 ? "" : QString::number(kLeft[f]));
    EXPECT_EQ(grid.Cell(2, column[f]), QString::number(kRight[f]));
    EXPECT_EQ(grid.Cell(1, column[f]), "");
  }
  EXPECT_EQ(entries.Previous[0], "99");  // a fetch reports no previous test

  test.has_previous = true;
  test.previous_left.fill(30);
  test.previous_right.fill(-20);
  ApplyCompanionTest(test, entries, grid);
  EXPECT_EQ(entries.Previous[0], "30");
  EXPECT_EQ(entries.Previous[18], "30");
  EXPECT_EQ(entries.Previous[9], "-20");
  EXPECT_EQ(grid.Cell(1, 4), "30");
  EXPECT_EQ(grid.Cell(3, 4), "");
}

}  // namespace
}  // namespace sonivera::companion
