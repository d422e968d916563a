#include <gtest/gtest.h>

#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QRandomGenerator>
#include <QThread>
#include <random>
#include <string>

#include "base/Messages.h"
#include "interchange/ImportSupport.h"

namespace sonivera {
namespace {

using test::CsvFileText;
using test::RunCli;
using test::TempFolder;

QStringList Cli(const TempFolder& folder, QStringList args) {
  return QStringList{"--folder", folder.Path()} + args;
}

// The rows of a database file, read without the program: tests, left and
// right ears, answers, tests with all three, and distinct test keys.
std::vector<qint64> ReadRows(const QString& path) {
  db::Connection connection;
  connection.Open(path, false);
  std::vector<qint64> rows;
  for (const char* sql :
       {"SELECT COUNT(*) FROM TestDetails", "SELECT COUNT(*) FROM TestResultsLeft",
        "SELECT COUNT(*) FROM TestResultsRight", "SELECT COUNT(*) FROM TestQuestions",
        "SELECT COUNT(*) FROM TestDetails t WHERE EXISTS (SELECT 1 FROM TestResultsLeft l WHERE "
        "l.PatNo = t.PatNo AND l.TestDate = t.DateofTest AND l.TestTime = t.TimeofTest) AND "
        "EXISTS (SELECT 1 FROM TestResultsRight r WHERE r.PatNo = t.PatNo AND r.TestDate = "
        "t.DateofTest AND r.TestTime = t.TimeofTest) AND EXISTS (SELECT 1 FROM TestQuestions q "
        "WHERE q.PatNo = t.PatNo AND q.TestDate = t.DateofTest AND q.TestTime = t.TimeofTest)",
        "SELECT COUNT(*) FROM (SELECT DISTINCT PatNo, DateofTest, TimeofTest FROM TestDetails)"}) {
    rows.push_back(connection.QueryValue(sql)->toLongLong());
  }
  return rows;
}

// Each refused line is named on stderr with its place; a log that cannot be
// written is said once, and what it would have held goes to stderr.
TEST(CliImportTest, ImportReportsRejectionsAndExportWritesEitherLayout) {
  TempFolder folder;
  ASSERT_EQ(RunCli(Cli(folder, {"init"})).exit_code, 0);
  QStringList lines = test::GeneratedLines(0, 3, 2, CsvLayout::Snv52);
  const QString second = lines[2].section(u',', 0, 0);
  lines << lines[0];                         // line 9: stored before
  lines << "," + lines[1].section(u',', 1);  // 10: no patient number
  lines << lines[2].section(u',', 0, 2) + ",31/02/2024," + lines[2].section(u',', 4);  // 11
  lines << lines[2].left(lines[2].size() - 300);  // 12: cut short
  folder.Write("in.csv", CsvFileText(CsvLayout::Snv52, lines));
  QFile::remove(folder.File("err.log"));
  ASSERT_TRUE(QDir(folder.Path()).mkdir("err.log"));  // a log that cannot be written
  const auto result = RunCli(Cli(folder, {"import", folder.File("in.csv")}));
  EXPECT_EQ(result.exit_code, 0);
  EXPECT_EQ(result.out.trimmed(), "6 record(s) added, 1 already stored, 3 rejected");
  for (const QString& text :
       {QStringLiteral("This record already exists in the database. Pat No:"),
        QStringLiteral("No Patient No. specified. Incorrect file format."),
        QStringLiteral("File format error. Pat No: "),
        QStringLiteral("%1 (file in.csv, line 11, Pat No: %2)").arg(Msg(1014), second),
        QStringLiteral("File Import: No pat no specified (file in.csv, line 10)")}) {
    EXPECT_TRUE(result.err.contains(text)) << text.toStdString() << "\n"
                                           << result.err.toStdString();
  }
  EXPECT_EQ(result.err.count("cannot be written"), 1);
  QDir(folder.Path()).rmdir("err.log");

  const auto exported = RunCli(Cli(folder, {"export", folder.File("out5.csv"), "--layout", "5"}));
  EXPECT_EQ(exported.exit_code, 0);
  const QStringList out = QString::fromUtf8(folder.Read("out5.csv")).split("\r\n");
  ASSERT_EQ(out.size(), 3 + 2 + 1);
  EXPECT_EQ(out[0], "[SNV/5 Format]");
  EXPECT_EQ(out[2].count(u','), 51);
  EXPECT_EQ(RunCli(Cli(folder, {"export", folder.File("x.csv"), "--layout", "6"})).exit_code, 2);
  EXPECT_EQ(RunCli(Cli(folder, {"import", folder.File("absent.csv")})).exit_code, 1);
  folder.Write("wrong.csv", "[SNV/3.1 Format]\r\n");
  const auto wrong = RunCli(Cli(folder, {"import", folder.File("wrong.csv")}));
  EXPECT_EQ(wrong.exit_code, 1);
  EXPECT_TRUE(wrong.err.contains("Wrong type of file - missing or incorrect header"));

  // The list of commands shows each one's whole first sentence.
  const auto help = RunCli({"--help"});
  int commands = 0;
  for (const QString& line : help.out.split(u'\n')) {
    if (!line.startsWith("  ") || line.startsWith("  --")) continue;
    ++commands;
    EXPECT_TRUE(line.endsWith(u'.')) << line.toStdString();
  }
  EXPECT_GT(commands, 5);
}

// Imports killed (SIGKILL) at random moments leave whole audiograms only,
// the check passes after each, and importing the file again completes it
// without doubling anything. The lines are committed in groups, so a kill
// loses at most the open group, never part of a line.
TEST(CliImportTest, ImportsKilledAtRandomMomentsAreCompletedByAnotherImport) {
  TempFolder folder;
  ASSERT_EQ(RunCli(Cli(folder, {"init"})).exit_code, 0);
  const QStringList lines = test::GeneratedLines(0, 2000, 4, CsvLayout::Snv52);
  folder.Write("big.csv", CsvFileText(CsvLayout::Snv52, lines));
  const QString database = folder.File("sonivera5.mdb");
  const quint32 seed = QRandomGenerator::global()->generate();
  std::mt19937 random(seed);
  SCOPED_TRACE("seed " + std::to_string(seed));

  qint64 stored = 0;
  int kills = 0;
  for (int round = 0; round < 3; ++round) {
    QProcess import;
    import.start(SONIVERA_CLI, Cli(folder, {"import", folder.File("big.csv")}));
    ASSERT_TRUE(import.waitForStarted(10000));
    // Once the run writes (its log grows), kill it a random moment later.
    const QString wal = database + "-wal";
    for (int i = 0; i < 600 && QFileInfo(wal).size() == 0; ++i) QThread::msleep(20);
    QThread::msleep(random() % 250);
    import.kill();
    import.waitForFinished(10000);
    if (import.exitStatus() != QProcess::CrashExit) break;  // it finished first
    ++kills;

    const auto check = RunCli(Cli(folder, {"check"}));
    EXPECT_EQ(check.exit_code, 0) << check.out.toStdString() << check.err.toStdString();
    const std::vector<qint64> partial = ReadRows(database);
    EXPECT_GE(partial[0], stored) << "round " << round;
    EXPECT_LE(partial[0], lines.size());
    EXPECT_EQ(partial, std::vector<qint64>(6, partial[0]));
    stored = partial[0];
  }
  EXPECT_GT(kills, 0) << "every import ended before its kill";
  stored = ReadRows(database)[0];

  const auto again = RunCli(Cli(folder, {"import", folder.File("big.csv")}));
  EXPECT_EQ(again.exit_code, 0);
  EXPECT_EQ(again.out.trimmed(), QStringLiteral("%1 record(s) added, %2 already stored, 0 rejected")
                                     .arg(lines.size() - stored)
                                     .arg(stored));
  EXPECT_EQ(ReadRows(database), std::vector<qint64>(6, lines.size()));
  EXPECT_EQ(RunCli(Cli(folder, {"check"})).exit_code, 0);
}

}  // namespace
}  // namespace sonivera
