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
               "Full time\r\nPart time\r\n[COMPANY names]\r\nAcme Ltd\r\nO'Brien & Sons\r\n\r\n"
               "  [vsection]\r\nVision only\r\n[Department]\nStores\n[unit]\nWelding\n[rank]\n"
               "Fitter\n[f2] user two\nShift A\n[Print]\nFirst heading\nOccupational Health\n"
               "[vinfo]\nignored\n[sta]\nContract\nContract\n");
  const DetailLists lists = ReadDetailLists(folder.File("patdetails.txt"));
  QStringList joined;
  for (const auto& list : lists.lists) joined << list.join(u',');
  EXPECT_EQ(joined,
            (QStringList{"Full time,Part time,Contract,Contract", "", "", "Acme Ltd,O'Brien & Sons",
                         "", "Stores,Welding", "Fitter", "", "Shift A", ""}));
  EXPECT_EQ(lists.PrintHeading, "Occupational Health");
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
