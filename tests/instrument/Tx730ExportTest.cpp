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
  struct Case {
    const char* line;
    const char* sent;
  };
  const Case cases[] = {
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
  for (const Case& c : cases) EXPECT_EQ(ExportFieldValue(c.line, r), c.sent) << c.line;

  ConversionFile file({"! c", "K IMPORT", "S Surname", "I Current Left 500", "END", "S Company"});
  r[kFieldImport] = "IMPORT";
  EXPECT_EQ(ExportRecordPieces(file, r).join(""), "IMPORT,\"SMITH\",25\r\n\r\n");
  EXPECT_EQ(ExportRecordPieces(file, r),
            QStringList({"IMPORT", ",\"SMITH\"", ",25", "\r\n", "\r\n"}));
  // Without END the line runs to the end of the file.
  ConversionFile open_ended({"S Surname", "! trailing comment"});
  EXPECT_EQ(ExportRecordPieces(open_ended, r).join(""), "\"SMITH\"\r\n");
}

class Tx730ExportBuffer : public test::RegisterFixture {};

TEST_F(Tx730ExportBuffer, OneRecordPerTestNewestFirstWithPrevious) {
  AddPatient("A1", "ALPHA", "10/01/2020");
  InsertTest("10/01/2021", "10:00:00", 30);
  InsertTest("10/01/2022", "10:00:00", 40);
  AddPatient("B2", "BETAVERYLONGSURNAMEOFTWENTYFIVE", "05/05/2023");
  auto& conn = Conn();
  const auto rows = RegisterRows(conn, RegisterSql());
  ASSERT_EQ(rows.size(), 2u);
  int progress = 0;
  const ImportBuffer buffer = BuildExportBuffer(conn, rows, false, [&](int n) { progress = n; });
  ASSERT_EQ(buffer.size(), 4u);
  EXPECT_EQ(progress, 4);
  EXPECT_EQ(ExportCount(conn, rows, false), 4);

  std::vector<ImportRecord> alpha;
  const ImportRecord* beta = nullptr;
  for (const ImportRecord& r : buffer) {
    EXPECT_EQ(r[kFieldImport], "IMPORT");
    EXPECT_EQ(r[kFieldMode3], "MODE3");
    if (r[kFieldPatientNo] == "A1") alpha.push_back(r);
    if (r[kFieldPatientNo] == "B2") beta = &r;
  }
  ASSERT_EQ(alpha.size(), 3u);
  ASSERT_NE(beta, nullptr);
  EXPECT_EQ(alpha[0][kFieldTestDate], "10/01/2022");
  EXPECT_EQ(alpha[1][kFieldTestDate], "10/01/2021");
  EXPECT_EQ(alpha[2][kFieldTestDate], "10/01/2020");
  EXPECT_EQ(alpha[0][kFieldTestTime], "10:00:00");
  // Current thresholds 500 Hz to 8 kHz; previous from the next older test.
  EXPECT_EQ(alpha[0][kFieldCurrentLeft], "45");
  EXPECT_EQ(alpha[0][kFieldCurrentRight + 7], "80");
  EXPECT_EQ(alpha[0][kFieldPreviousLeft], "35");
  EXPECT_EQ(alpha[1][kFieldPreviousRight + 7], "60");
  for (int i = 0; i < kRecordFrequencyCount; ++i) {
    EXPECT_EQ(alpha[2][kFieldPreviousLeft + i], "");
    EXPECT_EQ(alpha[2][kFieldPreviousRight + i], "");
  }
  EXPECT_EQ(alpha[0][kFieldSex], "F");
  EXPECT_EQ(alpha[0][kFieldDateOfBirth], "01/02/1970");
  EXPECT_EQ(alpha[0][kFieldAddress1], "1 ALPHA Street");
  EXPECT_EQ(alpha[0][kFieldExaminer], "Examiner E");
  EXPECT_LE(alpha[0][kFieldCategory].size(), 36);
  // Widths: the surname is cut to 20 characters and sent in quotes.
  EXPECT_EQ((*beta)[kFieldSurname], "BETAVERYLONGSURNAMEO");
  ConversionFile conversion = test::ShippedConversion(kSeries3ConversionFile);
  const QString line = ExportRecordPieces(conversion, *beta).join("");
  EXPECT_TRUE(line.startsWith("IMPORT,MODE3,\"\",B2,\"BETAVERYLONGSURNAMEO\",\"Ann\","))
      << line.toStdString();
  EXPECT_TRUE(line.endsWith(",\"\"\r\n\r\n")) << line.toStdString();
  EXPECT_EQ(line.count(u','), 55);

  // The view lists each record on one line, values followed by commas.
  const QString view = ExportViewText(conversion, buffer);
  EXPECT_EQ(view.count("\r\n"), 4);
  EXPECT_TRUE(view.startsWith("IMPORT,MODE3,"));
}

TEST_F(Tx730ExportBuffer, FilteredRegisterGivesTheTestOfEachRow) {
  AddPatient("A1", "ALPHA", "10/01/2020");
  InsertTest("10/01/2021", "10:00:00", 30);
  InsertTest("10/01/2022", "10:00:00", 40);
  auto& conn = Conn();
  const std::vector<RegisterRowKey> rows = {{"A1", "2021-01-10", "10:00:00"},
                                            {"A1", "2099-01-01", "10:00:00"}};
  const ImportBuffer buffer = BuildExportBuffer(conn, rows, true);
  ASSERT_EQ(buffer.size(), 1u);  // a row whose test has gone gives nothing
  EXPECT_EQ(buffer[0][kFieldTestDate], "10/01/2021");
  EXPECT_EQ(buffer[0][kFieldPreviousLeft], "25");
  EXPECT_EQ(ExportCount(conn, rows, true), 2);
  EXPECT_TRUE(BuildExportBuffer(conn, {}, false).empty());
}

}  // namespace
}  // namespace sonivera
