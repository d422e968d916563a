// Building the records sent to the audiometer from the register.
#include <gtest/gtest.h>

#include "instrument/Tx730Export.h"
#include "instrument/Tx730Wire.h"
#include "interchange/RegisterExport.h"
#include "register/RegisterFixture.h"

namespace sonivera {
namespace {

TEST(Tx730Export, FieldValueQuotingAndConstants) {
  ImportRecord r;
  r[kFieldSurname] = "SMITH";
  r[kFieldDepartment] = "-";
  r[kFieldCurrentLeft] = "25";
  const std::pair<const char*, const char*> cases[] = {
      {"S Surname", "\"SMITH\""},
      {"S surname", "\"SMITH\""},
      {"T Surname", "SMITH"},
      {"S Department", "\"\""},
      {"S Company", "\"\""},
      {"I Current Left 500", "25"},
      {"U 12", "12"},
      {"U twelve", ""},
      {"U 99999", ""},
      {"X End", "End"},
      {"S Shoe Size", "\"\""},
      {"T Shoe Size", ""},
      {"Error", ""},
      {"", ""},
  };
  for (const auto& [line, sent] : cases) EXPECT_EQ(ExportFieldValue(line, r), sent) << line;

  ConversionFile file({"! c", "K IMPORT", "S Surname", "I Current Left 500", "END", "S Company"});
  r[kFieldImport] = "IMPORT";
  EXPECT_EQ(ExportRecordPieces(file, r).join(""), "IMPORT,\"SMITH\",25\r\n\r\n");
  EXPECT_EQ(ExportRecordPieces(file, r),
            QStringList({"IMPORT", ",\"SMITH\"", ",25", "\r\n", "\r\n"}));
  // Without END the line runs to the end of the file.
  ConversionFile open_ended({"S Surname", "! trailing comment"});
  EXPECT_EQ(ExportRecordPieces(open_ended, r).join(""), "\"SMITH\"\r\n");
}

// The records of a whole register, newest test first with the previous test's
// thresholds, go out byte for byte in Tx730Link.ExportGoesOutByteForByte;
// here the rows of a filtered register and the view.
class Tx730ExportBuffer : public test::RegisterFixture {};

TEST_F(Tx730ExportBuffer, FilteredRegisterGivesTheTestOfEachRow) {
  AddPatient("A1", "ALPHA", "10/01/2020");
  InsertTest("10/01/2021", "10:00:00", 30);
  InsertTest("10/01/2022", "10:00:00", 40);
  auto& conn = Conn();
  EXPECT_EQ(ExportCount(conn, RegisterRows(conn, RegisterSql()), false), 3);
  const std::vector<RegisterRowKey> rows = {{"A1", "2021-01-10", "10:00:00"},
                                            {"A1", "2099-01-01", "10:00:00"},
                                            {"A1", "2022-01-10", "10:00:00"}};
  int progress = 0;
  const ImportBuffer buffer = BuildExportBuffer(conn, rows, true, [&](int n) { progress = n; });
  ASSERT_EQ(buffer.size(), 2u);  // a row whose test has gone gives nothing
  EXPECT_EQ(progress, 2);
  EXPECT_EQ(buffer[0][kFieldTestDate], "10/01/2021");
  EXPECT_EQ(buffer[0][kFieldPreviousLeft], "25");
  EXPECT_EQ(buffer[1][kFieldPreviousLeft], "35");
  EXPECT_EQ(ExportCount(conn, rows, true), 3);
  EXPECT_TRUE(BuildExportBuffer(conn, {}, false).empty());

  // The view lists each record on one line, values followed by commas.
  ConversionFile conversion = test::ShippedConversion(kSeries3ConversionFile);
  const QString view = ExportViewText(conversion, buffer);
  EXPECT_EQ(view.count("\r\n"), 2);
  const QString line = ExportRecordPieces(conversion, buffer[0]).join("");
  EXPECT_TRUE(view.startsWith(line.chopped(4) + ",")) << view.toStdString();
}

}  // namespace
}  // namespace sonivera
