// Every reader of user files fed mutated copies of good and bad files: CSV
// layouts (register and older release), settings, lists, tables,
// questionnaire, database open, the file imports, what an audiometer sends
// and the companion program's replies. Nothing may crash, hang or let an
// exception out; what cannot be read is refused.
//
// A quick run (a fixed count per reader) belongs to the test suite. For a
// long run set SONIVERA_FUZZ_SECONDS (and SONIVERA_FUZZ_SEED for another
// sequence); docs/bad-input.md tells how to run it under the sanitizers.
#include <gtest/gtest.h>

#include <QDir>
#include <QDirIterator>
#include <QElapsedTimer>
#include <QFile>
#include <QRandomGenerator>
#include <cstdio>
#include <functional>

#include "base/AppError.h"
#include "base/DetailLists.h"
#include "base/ErrorLog.h"
#include "base/ProgramFolder.h"
#include "base/Settings.h"
#include "base/TextFiles.h"
#include "categorise/AgeCorrection.h"
#include "chart/ChartFiles.h"
#include "db/Database.h"
#include "instrument/CompanionReplies.h"
#include "instrument/Tx730Framing.h"
#include "instrument/Tx730Parser.h"
#include "interchange/CsvLayout.h"
#include "interchange/OldFormats.h"
#include "interchange/OldImport.h"
#include "interchange/RegisterExport.h"
#include "interchange/RegisterImport.h"
#include "questionnaire/Questionnaire.h"
#include "register/RecordEditor.h"
#include "support/TestApp.h"

namespace sonivera {
namespace {

QByteArray Slurp(const QString& path) {
  QFile file(path);
  return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// The seeds: the program's own default files and the test files, good and bad.
QList<QByteArray> Seeds(const QStringList& names) {
  QList<QByteArray> seeds;
  for (const QString& name : names) {
    for (const char* dir : {SONIVERA_SOURCE_DIR "/data/", SONIVERA_TEST_DATA "/",
                            SONIVERA_TEST_DATA "/bad/"}) {
      const QString path = QLatin1String(dir) + name;
      if (QFile::exists(path)) seeds << Slurp(path);
    }
  }
  return seeds;
}

// One mutation of a seed: bytes changed, inserted or removed, the file cut,
// a part repeated, or line ends, marks and quotes put in.
class Mutator {
 public:
  explicit Mutator(quint32 seed) : random_(seed) {}
  int Below(int n) { return n <= 0 ? 0 : int(random_.bounded(quint32(n))); }

  QByteArray Mutate(QByteArray data) {
    static const QByteArray kTokens[] = {"\r", "\n", "\r\n", "\xef\xbb\xbf", "\x96", "\"",
                                         ",", "nan", "-1e309", "\xc3", "\0", "99999999999",
                                         "[", "{", "=", "31/02/2020", "25:61:00"};
    const int steps = 1 + Below(8);
    for (int i = 0; i < steps; ++i) {
      const int at = Below(int(data.size()) + 1);
      switch (Below(6)) {
        case 0:
          if (!data.isEmpty()) data[std::min<qsizetype>(at, data.size() - 1)] = char(Below(256));
          break;
        case 1: {
          const QByteArray& token = kTokens[Below(int(std::size(kTokens)))];
          data.insert(at, token.isEmpty() ? QByteArray(1, '\0') : token);
          break;
        }
        case 2:
          data.remove(at, Below(64));
          break;
        case 3:
          data.truncate(at);
          break;
        case 4:
          data.insert(at, data.mid(Below(int(data.size())), Below(256)));
          break;
        default:
          data.insert(at, QByteArray(Below(16), char(Below(256))));
          break;
      }
    }
    return data;
  }

 private:
  QRandomGenerator random_;
};

quint32 Seed() {
  const QByteArray seed = qgetenv("SONIVERA_FUZZ_SEED");
  return seed.isEmpty() ? 20261207u : seed.toUInt();
}

// Runs `read` on mutations of the seeds: `count` of them, or for the seconds
// of SONIVERA_FUZZ_SECONDS when set.
void Fuzz(const QStringList& seed_names, int count,
          const std::function<void(const QByteArray&)>& read) {
  const QList<QByteArray> seeds = Seeds(seed_names);
  ASSERT_FALSE(seeds.isEmpty());
  Mutator mutator(Seed());
  const qint64 seconds = qEnvironmentVariableIntValue("SONIVERA_FUZZ_SECONDS");
  QElapsedTimer clock;
  clock.start();
  int i = 0;
  for (; seconds > 0 ? clock.elapsed() < seconds * 1000 : i < count; ++i) {
    // Each seed as it is first, then mutations.
    const QByteArray input = i < seeds.size()
                                 ? seeds[i]
                                 : mutator.Mutate(seeds[mutator.Below(int(seeds.size()))]);
    try {
      read(input);
    } catch (const AppError&) {
      // A refusal with a number and a description is an answer.
    } catch (const std::exception& error) {
      ADD_FAILURE() << "escaped: " << error.what() << "\ninput: " << input.toHex().constData();
      return;
    }
  }
  if (seconds > 0) std::printf("%d inputs in %lld s\n", i, clock.elapsed() / 1000);
}

TEST(ReaderFuzz, TextAndCsvLines) {
  Fuzz({"mixed-encoding.csv", "cr-only.csv", "bom-value.csv", "old31_sample.csv",
        "old31_sample.dat"},
       3000, [](const QByteArray& bytes) {
         const TextLines file = SplitTextLines(bytes);
         for (const QString& line : file.lines) {
           DetectHeader(line);
           ParseCsvLine(line, CsvLayout::Snv52, false);
           ParseCsvLine(line, CsvLayout::Snv5, true);
           ParseOldCsvLine(line);
           ParseOldDatRecord(line);
         }
       });
}

TEST(ReaderFuzz, ProgramFolderFiles) {
  test::TempFolder folder;
  test::ScriptedPrompter prompter;
  ErrorLog log(folder.File("err.log"));
  ErrorReporter reporter(prompter, log);
  const ProgramFolder program(folder.Path());
  struct Reader {
    QStringList seeds;
    const char* name;
    std::function<void(const QString& path)> read;
  };
  const Reader readers[] = {
      {{"cr-only.ini", "nan-port.ini"}, "sonivera5.ini",
       [&](const QString&) {
         Settings settings;
         ReadSettingsFile(program, settings, prompter);
       }},
      {{"patdetails.txt"}, "patdetails.txt", [](const QString& path) { ReadDetailLists(path); }},
      {{"colourbands.txt"}, "colourbands.txt",
       [&](const QString& path) {
         chart::ColourBands bands;
         chart::LoadColourBands(path, bands, reporter);
       }},
      {{"agedistM.tbl", "agedistF.tbl"}, "agedistM.tbl",
       [&](const QString& path) {
         chart::PredictiveTable table;
         chart::ReadPredictiveTable(path, table, prompter, "T");
       }},
      {{"agecorrM.tbl", "agecorrF.tbl"}, "agecorrM.tbl",
       [](const QString& path) { ReadAgeCorrectionTable(path); }},
      {{"questions.txt"}, "questions.txt", [](const QString& path) { ReadQuestionFile(path); }},
  };
  for (const Reader& reader : readers) {
    SCOPED_TRACE(reader.name);
    const QString path = folder.File(QLatin1String(reader.name));
    Fuzz(reader.seeds, 400, [&](const QByteArray& bytes) {
      folder.Write(QLatin1String(reader.name), bytes);
      reader.read(path);
    });
  }
  QFile::remove(folder.File("err.log"));
}

// Wire text framed in reads of any size and parsed: never more records than
// one transfer holds, and damage after a whole record never costs it.
TEST(ReaderFuzz, AudiometerTransfers) {
  auto conversion = [](const QString& name) {
    return ConversionFile::Open(QStringLiteral(SONIVERA_SOURCE_DIR "/data/") + name);
  };
  ConversionFile series1 = conversion(kSeries1ConversionFile);
  ConversionFile series3 = conversion(kSeries3ConversionFile);
  const QString good = QString::fromLatin1(Slurp(SONIVERA_TEST_DATA "/tx730/request_s3.wire"))
                           .section(QStringLiteral("\r\n"), 0, 0) + QStringLiteral("\r\n");
  ASSERT_TRUE(good.startsWith("IMPORT,MODE3,")) << good.toStdString();
  Mutator chunks(Seed());
  Fuzz({"tx730/request_s3.wire", "tx730/request_s1.wire"}, 600, [&](const QByteArray& bytes) {
    for (const bool s1 : {true, false}) {
      const QString wire = (s1 ? QString() : good) + QString::fromLatin1(bytes);
      const Tx730Framing framing = FrameWireText(
          wire, s1 ? FramingMode::Series1Blocks : FramingMode::Series3Lines, 1 + chunks.Below(40));
      const ImportBuffer records = BuildImportBuffer(framing.Lines(), s1 ? series1 : series3, s1);
      EXPECT_LE(records.size(), size_t(kTransferCapacity));
      if (!s1) {
        ASSERT_FALSE(records.empty());
        EXPECT_TRUE(records.front().complete);
      }
    }
  });
}

// The companion's reply and test data files: no test out of a reply too
// short to hold one, no threshold read from past the end.
TEST(ReaderFuzz, CompanionReplies) {
  Fuzz({"companion/veldata.tmp", "companion/vel730.tmp"}, 3000, [](const QByteArray& bytes) {
    const auto reply = companion::DecodeDataReply(bytes);
    EXPECT_EQ(reply.has_value(), bytes.size() >= companion::kDataReplyMinimum) << bytes.size();
    const auto file = companion::DecodeTestDataFile(bytes);
    EXPECT_EQ(file.has_value(), bytes.size() >= companion::kTestDataMinimum) << bytes.size();
    for (const auto& test : {reply, file}) {
      if (!test) continue;
      for (int v : test->current_left) EXPECT_TRUE(v >= -20 && v < 65516) << v;
      EXPECT_TRUE(test->date_box == kEmptyDateBox || test->date_box.size() == 10);
    }
    (void)companion::MalformedErrorReplyText(bytes);
    (void)companion::ReplyDateBox(bytes);
  });
}

// Whole imports and the database open are slower: fewer rounds.
TEST(ReaderFuzz, ImportsAndDatabaseOpen) {
  test::TestApp t;
  ASSERT_TRUE(t.Init());
  const QString csv = t.folder.File("in.csv");
  Fuzz({"mixed-encoding.csv", "cr-only.csv", "bom-value.csv"}, 40, [&](const QByteArray& bytes) {
    t.folder.Write("in.csv", bytes);
    RecordEditor editor(t->ForEditor(), nullptr);
    RegisterImporter(t->ForImport(editor, nullptr)).ImportFile(csv);
  });
  Fuzz({"old31_sample.csv", "old31_sample.dat"}, 20, [&](const QByteArray& bytes) {
    t.folder.Write("in.csv", bytes);
    RecordEditor editor(t->ForEditor(), nullptr);
    OldReleaseImporter(t->ForImport(editor, nullptr), t->Schemes()).ImportFile(OldReleaseImporter::Kind::Csv, csv);
  });
  EXPECT_EQ(t->Db().CheckIntegrity(), "ok");
  t->EndProgram(false);

  // Damaged databases: opened or refused; an opened one is checked and exported.
  test::TempFolder folder;
  const QString path = folder.File("fuzz.mdb");
  Mutator pages(Seed());
  Fuzz({"damaged.mdb", "noise.mdb", "older-release.mdb"}, 30, [&](const QByteArray& bytes) {
    QByteArray data = bytes;
    // Keep most of the file's length: damage inside pages, not only a cut file.
    if (data.size() < 1024) data = Slurp(SONIVERA_TEST_DATA "/bad/damaged.mdb");
    for (int i = 0; i < 20; ++i) data[pages.Below(int(data.size()))] = char(pages.Below(256));
    folder.Write("fuzz.mdb", data);
    db::Database database;
    database.Open(path, QStringLiteral("secret"));
    database.CheckIntegrity();
    const RowList rows = ListRegisterRows(database.Conn(), RegisterSql());
    try {
      ExportReader reader(database.Conn());
      for (const auto& row : rows.keys) {
        try {
          reader.Read(row);
        } catch (const db::SqliteError&) {
          // the export counts the row as unreadable
        }
      }
    } catch (const db::SqliteError&) {
      // the export reports that it could not start
    }
  });
}

}  // namespace
}  // namespace sonivera
