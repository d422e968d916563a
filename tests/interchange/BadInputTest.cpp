// The bad-input corpus (tests/data/bad) through the imports and the export:
// what can be read is stored or written, what cannot is named.
#include <gtest/gtest.h>

#include <QFile>

#include "base/Messages.h"
#include "interchange/ImportSupport.h"

namespace sonivera {
namespace {

using test::Count;
using test::ImportInto;
using test::Stored;
using test::TestApp;

QString Corpus(const char* name) { return QStringLiteral(SONIVERA_TEST_DATA "/bad/") + name; }

TEST(BadInput, CorpusFilesImportLineByLine) {
  struct Case {
    const char* file;
    int added;
    int cp1252_lines;
  };
  const Case cases[] = {
      {"mixed-encoding.csv", 3, 1}, {"cr-only.csv", 3, 0}, {"bom-value.csv", 2, 0}};
  for (const Case& c : cases) {
    TestApp t;
    ASSERT_TRUE(t.Init());
    const ImportSummary summary = ImportInto(t, Corpus(c.file));
    EXPECT_EQ(summary.added, c.added) << c.file;
    EXPECT_EQ(summary.rejected, 0) << c.file << t.prompter.Texts().join('\n').toStdString();
    EXPECT_EQ(summary.cp1252_lines, c.cp1252_lines) << c.file;
    EXPECT_EQ(summary.SummaryText().contains("1 line(s) read as Windows-1252"),
              c.cp1252_lines == 1);
  }
  TestApp mixed;
  ASSERT_TRUE(mixed.Init());
  ImportInto(mixed, Corpus("mixed-encoding.csv"));
  EXPECT_EQ(Stored(mixed, "SELECT Surname FROM PatDetails WHERE PatNo = '100001'"), "Müller");
  EXPECT_EQ(Stored(mixed, "SELECT Notes FROM TestDetails WHERE PatNo = '100002'"),
            QStringLiteral("ear plugs \u2013 foam"));
  EXPECT_EQ(Stored(mixed, "SELECT Forenames FROM PatDetails WHERE PatNo = '100003'"), "Zoë");

  // A byte-order mark inside a value is kept, so the patient's second test matches.
  TestApp bom;
  ASSERT_TRUE(bom.Init());
  ImportInto(bom, Corpus("bom-value.csv"));
  EXPECT_EQ(Stored(bom, "SELECT Surname FROM PatDetails"), QStringLiteral("\ufeffEdwards"));

  // Blanks around a patient number are dropped: the line joins the stored patient.
  QFile cr(Corpus("cr-only.csv"));
  ASSERT_TRUE(cr.open(QIODevice::ReadOnly));
  mixed.folder.Write("padded.csv", cr.readAll()
                                       .replace("\r100002,O'Brien", "\r 100002 ,O'Brien")
                                       .replace("07/11/2022,16:32:35", "07/11/2023,16:32:35"));
  mixed.prompter = test::ScriptedPrompter();
  const ImportSummary padded = ImportInto(mixed, mixed.folder.File("padded.csv"));
  EXPECT_EQ(padded.added, 1) << mixed.prompter.Texts().join('\n').toStdString();
  EXPECT_FALSE(mixed.prompter.Texts().contains(Msg(1002)));
  EXPECT_EQ(Count(mixed, "SELECT COUNT(*) FROM TestDetails WHERE PatNo = '100002'"), 2);
}

TEST(BadInput, DamagedDatabaseExportsEveryReadableRow) {
  TestApp t;
  QFile::copy(Corpus("damaged.mdb"), t.folder.File("sonivera5.mdb"));
  ASSERT_TRUE(t.Init());
  const QString path = t.folder.File("rescued.csv");
  const ExportOutcome outcome = WriteRegisterCsv(t->Db(), t->Reporter(), path, CsvLayout::Snv52,
                                                 ListRegisterRows(t->Db().Conn(), RegisterSql()));
  EXPECT_TRUE(outcome.written);
  EXPECT_EQ(outcome.lines, 10);
  EXPECT_EQ(outcome.unreadable, 2);
  ASSERT_EQ(t.prompter.Prompts().size(), 1u);
  EXPECT_TRUE(t.prompter.Prompts()[0].text.contains("10 record(s) exported; 2 could not be read"));
  EXPECT_TRUE(t.prompter.Prompts()[0].text.endsWith("(exportregisterascsv:954)"));
  EXPECT_EQ(t.folder.Read("rescued.csv").count("\r\n"), 12);
  t->EndProgram(false);

  // The command line reports and ends normally; check names the damage.
  const auto run = test::RunCli({"--folder", t.folder.Path(), "export", path});
  EXPECT_EQ(run.exit_code, 1) << run.err.toStdString();
  EXPECT_TRUE(run.out.contains("10 record(s) exported")) << run.out.toStdString();
  EXPECT_TRUE(run.err.contains("2 could not be read")) << run.err.toStdString();
  const auto check = test::RunCli({"--folder", t.folder.Path(), "check"});
  EXPECT_EQ(check.exit_code, 1);
  EXPECT_TRUE(check.out.contains("malformed") || check.out.contains("page 57"))
      << check.out.toStdString();
}

}  // namespace
}  // namespace sonivera
