// The vision register file: export, import through the vision record editor,
// round trip, refused files and lines.
#include <gtest/gtest.h>

#include "base/Messages.h"
#include "register/AudiogramStore.h"
#include "vision/VisionCsv.h"
#include "vision/VisionFixture.h"

namespace sonivera::vision {
namespace {

using test::VisionPlace;

VisionExportOutcome Export(VisionPlace& place, const QString& name) {
  const auto rows = VisionStore(place.database.Conn()).RegisterRows();
  return WriteVisionCsv(place.database.Conn(), place.prompter, place.Log(), place.folder.File(name),
                        rows);
}

VisionImportSummary Import(VisionPlace& place, const QString& path) {
  return VisionImporter(*place.editor, place.prompter, place.Log()).ImportFile(path);
}

// "added/already stored/refused" of an import.
QString Counted(const VisionImportSummary& summary) {
  return QStringLiteral("%1/%2/%3").arg(summary.added).arg(summary.existing).arg(summary.rejected);
}

// Generates a register of `count` patients in the place and exports it to `name` there.
QByteArray ExportGenerated(VisionPlace& place, int count, unsigned seed, const QString& name) {
  test::GenerateVisionRegister(*place.editor, count, seed);
  EXPECT_FALSE(::testing::Test::HasFatalFailure());
  const auto outcome = Export(place, name);
  EXPECT_TRUE(outcome.written);
  EXPECT_EQ(outcome.lines, count);
  return place.folder.Read(name);
}

QList<QByteArray> Lines(const QByteArray& text) {
  QList<QByteArray> lines = text.split('\n');
  if (!lines.isEmpty() && lines.last().isEmpty()) lines.removeLast();
  for (auto& line : lines) line.chop(line.endsWith('\r') ? 1 : 0);
  return lines;
}

TEST(VisionCsvTest, HeadingHasTheSeventyOneNames) {
  const QStringList names = VisionCsvHeading().split(u',');
  EXPECT_EQ(names.size(), kVisionCsvColumns);
  EXPECT_EQ(names[13] + '|' + names[kVcResults] + '|' + names.last(), "Recall Data|FarBinoc|Refer");
  // The results names are the results table's own, in its order.
  for (int i = 0; i < int(ResultColumns().size()); ++i) {
    EXPECT_EQ(names[kVcResults + i], ResultColumns()[i].name);
  }
}

TEST(VisionCsvTest, RoundTripIsByteForByteAndReimportRefusesEveryLine) {
  VisionPlace first;
  const QByteArray file1 = ExportGenerated(first, 24, 7, "one.csv");
  const QList<QByteArray> lines = Lines(file1);
  ASSERT_EQ(lines.size(), 26);
  EXPECT_EQ(lines[0], "[Vision/5 Format]");
  EXPECT_FALSE(lines[1].endsWith(','));
  for (int i = 2; i < lines.size(); ++i) {
    EXPECT_TRUE(lines[i].endsWith(',')) << i;
    EXPECT_EQ(lines[i].count(','), kVisionCsvColumns) << lines[i].constData();
  }
  // Every results column takes more than one value somewhere in the file.
  for (int c = kVcResults; c < kVisionCsvColumns; ++c) {
    QSet<QByteArray> seen;
    for (int i = 2; i < lines.size(); ++i) seen.insert(lines[i].split(',')[c]);
    EXPECT_GT(seen.size(), 1) << c;
  }

  VisionPlace second;
  const auto summary = Import(second, first.folder.File("one.csv"));
  EXPECT_TRUE(summary.read);
  EXPECT_EQ(Counted(summary), "24/0/0") << second.prompter.Texts().join("\n").toStdString();
  ASSERT_TRUE(Export(second, "two.csv").written);
  EXPECT_EQ(second.folder.Read("two.csv"), file1);

  // The same file again into the same database: every line exists already.
  const auto again = Import(second, first.folder.File("one.csv"));
  EXPECT_EQ(Counted(again), "0/24/0");
  EXPECT_EQ(second.LogText().count(" :1401"), 24);
  EXPECT_TRUE(second.prompter.Texts().last().startsWith(Msg(1401)));
  EXPECT_EQ(VisionStore(second.database.Conn()).RegisterRows().size(), 24u);
}

TEST(VisionCsvTest, EmptyRegisterAndTheExportDialog) {
  VisionPlace empty;
  EXPECT_FALSE(Export(empty, "none.csv").written);
  EXPECT_EQ(empty.prompter.Texts(), QStringList{"No data available to export"});
  EXPECT_EQ(Lines(empty.folder.Read("none.csv")).size(), 2);

  // File - Export proposes its name and asks before overwriting.
  VisionPlace place;
  test::GenerateVisionRegister(*place.editor, 1, 11);
  ASSERT_FALSE(::testing::Test::HasFatalFailure());
  place.prompter.QueueFile(place.folder.File("asked.csv"));
  const auto rows = VisionStore(place.database.Conn()).RegisterRows();
  EXPECT_TRUE(ExportVisionRegister(place.database.Conn(), place.prompter, place.Log(),
                                   place.folder.Path(), rows)
                  .written);
  ASSERT_EQ(place.prompter.file_dialogs.size(), 1u);
  EXPECT_EQ(place.prompter.file_dialogs[0].initial_name, "ExportVisionData.csv");
  EXPECT_TRUE(place.prompter.file_dialogs[0].overwrite_prompt);
}

TEST(VisionCsvTest, HeaderDecidesWhetherTheFileIsRead) {
  VisionPlace source;
  const QByteArray text = ExportGenerated(source, 2, 3, "v.csv");
  const QByteArray body = text.mid(text.indexOf('\n') + 1);
  const std::pair<QByteArray, bool> cases[] = {{"[SNV/5.2 Format]", false},
                                               {"[SNV/5 Format]", false},
                                               {"", false},
                                               {"[Vision/5 Format] exported on Monday", true},
                                               {"[Vision/5 Format]", true}};
  for (const auto& [first_line, accepted] : cases) {
    VisionPlace place;
    place.folder.Write("in.csv", first_line + "\r\n" + body);
    const auto summary = Import(place, place.folder.File("in.csv"));
    EXPECT_EQ(summary.read, accepted) << first_line.constData();
    EXPECT_EQ(Counted(summary), accepted ? "2/0/0" : "0/0/0");
    if (!accepted) {
      EXPECT_EQ(place.prompter.Texts(), QStringList{Msg(1406)});
      EXPECT_TRUE(place.LogText().startsWith(
          "File Import: Wrong file format - not Vision data or missing/incorrect header"));
    }
  }
}

TEST(VisionCsvTest, BadLinesAreRefusedOneByOne) {
  VisionPlace source;
  const auto good = Lines(ExportGenerated(source, 2, 5, "v.csv"));
  ASSERT_EQ(good.size(), 4);
  auto with = [&](int column, const QByteArray& value) {
    QList<QByteArray> fields = good[2].split(',');
    fields[column] = value;
    return fields.join(',');
  };
  QByteArray new_patient = with(0, "N1");
  const QString first = QString::fromUtf8(good[2].split(',')[0]);
  const QByteArray lines[] = {
      good[0],
      good[1],
      good[2],                                            // added
      with(0, ""),                                        // 1400
      with(1, "Smyth"),                                   // the same patient, another surname: 1404
      with(0, "N2").replace("/20", "/2O"),                // a date that is no date: 958
      new_patient.left(new_patient.indexOf("N1,") + 40),  // too few fields: 1405
      QByteArray(100000, 'x'),                            // no commas at all
      "N3," + QByteArray(99990, 'y') + ",",               // a 100,000-character line, cut
      with(0, "N4").replace(",False,", ",maybe,"),        // not a yes/no value
      good[3],                                            // added
      new_patient,                                        // added: a new patient with its test
  };
  VisionPlace place;
  place.folder.Write("bad.csv", QList<QByteArray>(std::begin(lines), std::end(lines)).join("\r\n"));
  const auto summary = Import(place, place.folder.File("bad.csv"));
  EXPECT_EQ(Counted(summary), "3/0/7");
  EXPECT_EQ(place.prompter.Texts(),
            (QStringList{Msg(1400), Msg(1404) + first, Msg(958), Msg(1405) + "N1",
                         Msg(1405) + QString(40, 'x') + "...", Msg(1405) + "N3",
                         Msg(1405) + "N4"}));
  const QString log = place.LogText();
  EXPECT_TRUE(log.contains("VImport: No pat no specified (file bad.csv, line 4)"));
  EXPECT_TRUE(log.contains("File Import: " + Msg(1404) + first + " :1404"));
  EXPECT_TRUE(log.contains("VFile Import: " + Msg(958) + " Pat No: N2"));
  EXPECT_TRUE(log.contains(":1405 (file bad.csv, line 7, Pat No: N1)"));
  // Only the three good lines reached the database.
  VisionStore store(place.database.Conn());
  EXPECT_EQ(store.PatientCount(), 3);
  for (const char* pat_no : {"N2", "N3", "N4"}) EXPECT_TRUE(store.Tests(pat_no).empty());
  EXPECT_EQ(store.Tests("N1").size(), 1u);
}

TEST(VisionCsvTest, LineOfAPatientWithAudiogramsOnlyAddsAVisionTestToThatPatient) {
  VisionPlace source;
  ASSERT_EQ(Lines(ExportGenerated(source, 1, 13, "v.csv")).size(), 3);

  VisionPlace place;
  AudiogramRecord audiogram;
  audiogram.patient = {"V100", "O'Neill", "Ann Marie", "1971-03-14", "Female"};
  audiogram.key = {"2019-01-01", "09:00:00"};
  {
    db::Transaction transaction(place.database.Conn());
    ASSERT_TRUE(AudiogramStore(place.database.Conn()).Write(EditMode::AddingPatient, audiogram));
    transaction.Commit();
  }
  const auto summary = Import(place, source.folder.File("v.csv"));
  EXPECT_EQ(Counted(summary), "1/0/0") << place.prompter.Texts().join("|").toStdString();
  VisionStore store(place.database.Conn());
  EXPECT_EQ(store.PatientCount(), 1);
  EXPECT_EQ(store.Tests("V100").size(), 1u);
  EXPECT_TRUE(store.HasAudiogram("V100"));
}

TEST(VisionCsvTest, CommandLineImportsAndExports) {
  VisionPlace source;
  const QByteArray exported_file = ExportGenerated(source, 3, 9, "cli.csv");
  const QString file = source.folder.File("cli.csv");

  sonivera::test::TempFolder folder;
  auto cli = [&](const QStringList& args) {
    return sonivera::test::RunCli(QStringList{"--folder", folder.Path()} + args);
  };
  ASSERT_EQ(cli({"init"}).exit_code, 0);
  const auto added = cli({"vision-import", file});
  EXPECT_EQ(added.exit_code, 0) << added.err.toStdString();
  EXPECT_EQ(added.out.trimmed(), "3 vision test(s) added, 0 already stored, 0 refused");
  const auto again = cli({"vision-import", file});
  EXPECT_EQ(again.exit_code, 0);
  EXPECT_EQ(again.out.trimmed(), "0 vision test(s) added, 3 already stored, 0 refused");
  EXPECT_EQ(again.err.count(Msg(1401)), 3);

  const auto exported = cli({"vision-export", folder.File("back.csv")});
  EXPECT_EQ(exported.exit_code, 0);
  EXPECT_EQ(exported.out.trimmed(), "3 vision test(s) exported");
  EXPECT_EQ(folder.Read("back.csv"), exported_file);

  folder.Write("wrong.csv", "[SNV/5.2 Format]\r\n");
  const auto wrong = cli({"vision-import", folder.File("wrong.csv")});
  EXPECT_EQ(wrong.exit_code, 1);
  EXPECT_TRUE(wrong.err.contains(Msg(1406)));
  EXPECT_EQ(cli({"vision-import", folder.File("absent.csv")}).exit_code, 1);
  EXPECT_EQ(cli({"vision-import"}).exit_code, 2);
}

}  // namespace
}  // namespace sonivera::vision
