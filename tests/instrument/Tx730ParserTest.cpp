// Conversion files and the two line parsers of the audiometer link.
#include <gtest/gtest.h>

#include "instrument/Tx730Framing.h"
#include "instrument/Tx730Parser.h"
#include "instrument/Tx730Wire.h"

namespace sonivera {
namespace {
using test::Series1Block;
using test::Series3Line;
using test::ShippedConversion;

ImportRecord ParseOne(const QString& line, ConversionFile conversion, bool series1) {
  const ImportBuffer buffer = BuildImportBuffer({line}, conversion, series1);
  return buffer.empty() ? ImportRecord() : buffer.front();
}

TEST(Tx730Parser, StoreImportFieldRules) {
  struct Case {
    const char* entry;
    const char* value;
    int field;
    const char* stored;
  };
  const Case cases[] = {
      {"S Surname", "\"SMITH\"", kFieldSurname, "SMITH"},
      {"S Surname", "\"SMITH", kFieldSurname, "SMITH"},
      {"S Surname", "SMITH\"", kFieldSurname, "SMITH\""},  // only a leading quote opens
      {"S Surname", "", kFieldSurname, "-"},
      {"S Surname", "\"\"", kFieldSurname, "-"},
      {"T Surname", "", kFieldSurname, ""},
      {"I current left 1K5", "25", kFieldCurrentLeft + 2, "25"},  // names in any case
      {"S Category", "\"Cat 2", kFieldCategory, "Cat 2"},
      {"X Serial No", "A1", kFieldSerialNo, "A1"},  // unknown letters read as text
  };
  for (const Case& c : cases) {
    ImportRecord record;
    StoreImportField(c.entry, c.value, record);
    EXPECT_EQ(record[c.field], c.stored) << c.entry << " <- " << c.value;
  }
  ImportRecord untouched;
  StoreImportField("S Shoe Size", "44", untouched);
  StoreImportField("Error", "44", untouched);
  StoreImportField("", "44", untouched);
  EXPECT_TRUE(untouched.IsEmpty());
}

TEST(Tx730Parser, ConversionFileReadsPastComments) {
  ConversionFile file({"! header", "S Surname", "!", "! more", "I Current Left 500", "", "END"});
  QStringList read;
  for (int i = 0; i < 4; ++i) read << file.ReadConversionLine();
  EXPECT_TRUE(file.AtEnd());
  read << file.ReadConversionLine();  // an empty line and reading past the end give "Error"
  EXPECT_EQ(read, (QStringList{"S Surname", "I Current Left 500", "Error", "END", "Error"}));
  file.Rewind();
  EXPECT_EQ(file.ReadConversionLine(), "S Surname");
  EXPECT_THROW(ConversionFile::Open("/nonexistent/tx730_3.cvt"), std::exception);

  // Comments anywhere change nothing in what a line parses to.
  const QString line = Series3Line("1001", "SMITH", "14/03/2025", "10:30:00");
  ConversionFile plain = ShippedConversion(kSeries3ConversionFile);
  QStringList commented;
  for (const QString& entry : plain.Lines()) commented << "! note" << entry << "!";
  const ImportRecord a = ParseOne(line, plain, false);
  const ImportRecord b = ParseOne(line, ConversionFile(commented), false);
  EXPECT_TRUE(a.complete);
  EXPECT_EQ(a, b);
}

TEST(Tx730Parser, Series3Line) {
  const ConversionFile conversion = ShippedConversion(kSeries3ConversionFile);
  const ImportRecord r = ParseOne(
      Series3Line("1001", "SMITH", "14/03/2025", "10:30:00", "Cat 1, fine"), conversion, false);
  ASSERT_TRUE(r.complete);
  // An empty text is "-"; an entry that is no text stays empty. The quoted
  // category keeps its comma, and parsing goes on after it.
  const std::pair<int, const char*> fields[] = {
      {kFieldImport, "IMPORT"},        {kFieldPatientNo, "1001"},
      {kFieldSurname, "SMITH"},        {kFieldAddress1, "1 High St"},
      {kFieldAddress1 + 1, "-"},       {kFieldPreviousTest, ""},
      {kFieldCategory, "Cat 1, fine"}, {kFieldCalibrated, "01/01/2025"},
      {kFieldCurrentLeft, "10"},       {kFieldCurrentLeft + 7, "45"},
      {kFieldCurrentRight + 7, "46"},  {kFieldPreviousLeft, ""},
      {kFieldSerialNo, "SN42"},        {10, ""}};
  for (const auto& [field, value] : fields) EXPECT_EQ(r[field], value) << field;

  // A line kept with its CR LF (the end of a collection) parses alike.
  EXPECT_EQ(ParseOne(Series3Line("1001", "SMITH", "14/03/2025", "10:30:00", "Cat 1, fine") + "\r\n",
                     conversion, false),
            r);
  // A cut line keeps what came before the cut but is not whole.
  const QString full = Series3Line("1001", "SMITH", "14/03/2025", "10:30:00");
  const ImportRecord cut = ParseOne(full.left(full.size() - 8), conversion, false);
  EXPECT_FALSE(cut.complete);
  EXPECT_EQ(cut[kFieldSurname], "SMITH");
  EXPECT_EQ(cut[kFieldSerialNo], "");
  // Without the comma after the last value the value is not taken.
  EXPECT_FALSE(ParseOne(full.chopped(1), conversion, false).complete);
}

TEST(Tx730Parser, Series1Block) {
  const ConversionFile conversion = ShippedConversion(kSeries1ConversionFile);
  const Tx730Framing framing =
      FrameWireText(Series1Block(" 2002 ", "JONES", "15/03/2025"), FramingMode::Series1Blocks);
  const ImportRecord r = ParseOne(framing.Lines()[0], conversion, true);
  ASSERT_TRUE(r.complete);
  // Spaces trimmed; the last value of a row ends at its CR; "*" is no value.
  const std::pair<int, const char*> fields[] = {
      {kFieldPatientNo, "2002"},      {kFieldSurname, "JONES"},
      {kFieldTestDate, "15/03/2025"}, {kFieldCurrentLeft, "10"},
      {kFieldCurrentLeft + 7, "45"},  {kFieldCurrentRight, "5"},
      {kFieldCurrentRight + 2, ""},   {kFieldCurrentRight + 7, "40"},
      {kFieldPreviousTest, ""},       {kFieldPreviousLeft + 3, ""},
      {kFieldCategory, "Cat 1"}};
  for (const auto& [field, value] : fields) EXPECT_EQ(r[field], value) << field;

  // A line with no ">" ends the parse of the whole buffer.
  ConversionFile file = conversion;
  const ImportBuffer buffer =
      BuildImportBuffer({framing.Lines()[0], "1003\r\nCUT", framing.Lines()[0]}, file, true);
  EXPECT_EQ(buffer.size(), 1u);
}

TEST(Tx730Parser, ShippedFilesNameEveryFieldOnceAndEnd) {
  for (const QString& name : {kSeries1ConversionFile, kSeries3ConversionFile}) {
    ConversionFile file = ShippedConversion(name);
    QList<int> seen;
    QString last;
    while (!file.AtEnd()) {
      const QString entry = file.ReadConversionLine();
      if (entry == "Error") continue;
      last = entry;
      if (IsEndEntry(entry)) break;
      const auto field = ImportFieldIndex(SplitEntry(entry).name);
      ASSERT_TRUE(field.has_value()) << entry.toStdString();
      EXPECT_FALSE(seen.contains(*field)) << entry.toStdString();
      seen << *field;
    }
    EXPECT_EQ(last, "END") << name.toStdString();
    EXPECT_TRUE(file.AtEnd());
    // Every named field; Series 1 blocks carry no IMPORT and MODE3 keywords.
    EXPECT_EQ(seen.size(), name == kSeries3ConversionFile ? 56 : 54) << name.toStdString();
  }
}

}  // namespace
}  // namespace sonivera
