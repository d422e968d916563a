// patdetails.txt: sections, headings, the print heading and the line limit.
#include <gtest/gtest.h>

#include "base/AppError.h"
#include "base/DetailLists.h"
#include "support/TempFolder.h"

namespace sonivera {
namespace {

TEST(DetailLists, SectionsByHeadingInAnyCase) {
  test::TempFolder folder;
  folder.Write("patdetails.txt",
               "Full time\r\n"
               "Part time\r\n"
               "[COMPANY names]\r\n"
               "Acme Ltd\r\n"
               "O'Brien & Sons\r\n"
               "\r\n"
               "  [vsection]\r\n"
               "Vision only\r\n"
               "[Department]\n"
               "Stores\n"
               "[unit]\n"
               "Welding\n"
               "[rank]\n"
               "Fitter\n"
               "[f2] user two\n"
               "Shift A\n"
               "[Print]\n"
               "First heading\n"
               "Occupational Health\n"
               "[vinfo]\n"
               "ignored\n"
               "[sta]\n"
               "Contract\n"
               "Contract\n");
  const DetailLists lists = ReadDetailLists(folder.File("patdetails.txt"));
  EXPECT_EQ(lists.lists[0], (QStringList{"Full time", "Part time", "Contract", "Contract"}));
  EXPECT_EQ(lists.lists[3], (QStringList{"Acme Ltd", "O'Brien & Sons"}));
  EXPECT_EQ(lists.lists[5], (QStringList{"Stores", "Welding"}));
  EXPECT_EQ(lists.lists[6], (QStringList{"Fitter"}));
  EXPECT_EQ(lists.lists[8], (QStringList{"Shift A"}));
  EXPECT_EQ(lists.PrintHeading, "Occupational Health");
  for (int i : {1, 2, 4, 7, 9}) EXPECT_TRUE(lists.lists[i].isEmpty()) << i;
  for (const auto& list : lists.lists) {
    EXPECT_FALSE(list.contains("Vision only"));
    EXPECT_FALSE(list.contains("ignored"));
  }
  EXPECT_EQ(lists.lines_read, 24);
}

TEST(DetailLists, MissingWindowsTextAndTooLongFiles) {
  const DetailLists missing = ReadDetailLists("/nonexistent/patdetails.txt");
  for (const auto& list : missing.lists) EXPECT_TRUE(list.isEmpty());
  EXPECT_EQ(missing.lines_read, 0);

  test::TempFolder folder;
  folder.Write("patdetails.txt", "[loc]\r\nB\xe9thune\r\nM\x96nchen\r\n");
  EXPECT_EQ(
      ReadDetailLists(folder.File("patdetails.txt")).lists[2],
      (QStringList{QString::fromUtf8("B\xc3\xa9thune"), QString::fromUtf8("M\xe2\x80\x93nchen")}));

  // At most 501 lines.
  QByteArray text;
  for (int i = 0; i < 501; ++i) text += "item\r\n";
  folder.Write("patdetails.txt", text);
  EXPECT_EQ(ReadDetailLists(folder.File("patdetails.txt")).lists[0].size(), 501);
  folder.Write("patdetails.txt", text + "one too many\r\n");
  EXPECT_THROW(ReadDetailLists(folder.File("patdetails.txt")), AppError);
}

}  // namespace
}  // namespace sonivera
