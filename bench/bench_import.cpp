// Register import speed: a generated "[SNV/5.2 Format]" file imported through
// the record editor into a new database, beside the sqlite3 shell's plain
// .import of the same file into one table.
//
//   bench_import [PATIENTS [TESTS_PER_PATIENT]]   (default 20000 5: 100,000 lines)
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <cstdio>
#include <functional>

#include "BenchTable.h"
#include "SilentPrompter.h"
#include "app/Application.h"
#include "db/Sqlite.h"
#include "interchange/CsvFile.h"
#include "interchange/OldFormats.h"
#include "interchange/OldImport.h"
#include "interchange/RegisterExport.h"
#include "interchange/RegisterImport.h"
#include "register/RecordEditor.h"
#include "register/RegisterGenerator.h"

using namespace sonivera;
using sonivera::bench::SilentPrompter;

namespace {
// A generated register as a file: the heading lines, then each audiogram as
// `line` writes it.
bool WriteGenerated(const QString& path, const QString& heading, int patients, int tests,
                    const std::function<QString(const AudiogramRecord&)>& line) {
  QFile file(path);
  if (!file.open(QIODevice::WriteOnly)) return false;
  file.write(heading.toUtf8());
  GeneratorOptions options;
  options.patients = patients;
  options.tests_per_patient = tests;
  for (int p = 0; p < patients; ++p) {
    QByteArray block;
    for (const auto& record : GeneratePatient(options, p)) block += line(record).toUtf8() + "\r\n";
    file.write(block);
  }
  return true;
}

bool WriteFile(const QString& path, int patients, int tests) {
  return WriteGenerated(
      path, HeaderLine(CsvLayout::Snv52) + "\r\n" + HeadingLine(CsvLayout::Snv52) + "\r\n",
      patients, tests,
      [](const AudiogramRecord& record) {
        return FormatCsvLine(CsvRecordFrom(record), CsvLayout::Snv52);
      });
}

QString OldDate(const QString& stored) {
  return QDate::fromString(stored, QStringLiteral("yyyy-MM-dd")).toString(QStringLiteral("dd/MM/yyyy"));
}

// The same register as an older-release "[SNV/3.1 Format]" file.
bool WriteOldFile(const QString& path, int patients, int tests) {
  return WriteGenerated(path, kOldCsvHeader + "\r\n", patients, tests,
                        [](const AudiogramRecord& record) {
                          OldRecord old;
                          old.pat_no = record.patient.PatNo;
                          old.surname = record.patient.Surname;
                          old.forenames = record.patient.Forenames;
                          old.dob = OldDate(record.patient.DOB);
                          old.sex = record.patient.Sex.toUpper();
                          old.date_of_test = OldDate(record.key.date);
                          old.time_of_test = record.key.time;
                          old.examiner = record.Examiner;
                          old.company = record.Company;
                          old.dept_unit = record.DeptUnit;
                          old.position_rank = record.PositionRank;
                          // 250 Hz to 8 kHz: the stored fields 1 to 9 (0 is
                          // 125 Hz, 10 is 750 Hz).
                          for (int f = 0; f < 9; ++f) {
                            old.results.left[f] = record.left[f + 1];
                            old.results.right[f] = record.right[f + 1];
                          }
                          return FormatOldCsvLine(old);
                        });
}

// The sqlite3 shell's .import of the data lines into one plain table of 155
// text columns; seconds, or -1 when the shell is missing.
double ShellImport(const QString& folder, const QString& csv) {
  QString columns;
  for (int i = 1; i <= ValueCount(CsvLayout::Snv52) + 1; ++i) {
    columns += QStringLiteral("c%1 TEXT").arg(i) + (i <= ValueCount(CsvLayout::Snv52) ? "," : "");
  }
  // The shell reads the file without the two header lines.
  const QString data = folder + "/data.csv";
  {
    QFile in(csv), out(data);
    if (!in.open(QIODevice::ReadOnly) || !out.open(QIODevice::WriteOnly)) return -1;
    in.readLine();
    in.readLine();
    out.write(in.readAll());
  }
  const QString script =
      QStringLiteral("CREATE TABLE t(%1);\n.mode csv\n.import %2 t\n").arg(columns, data);
  QProcess shell;
  QElapsedTimer timer;
  timer.start();
  shell.start(QStringLiteral("sqlite3"), {folder + "/plain.db"});
  if (!shell.waitForStarted()) return -1;
  shell.write(script.toUtf8());
  shell.closeWriteChannel();
  shell.waitForFinished(-1);
  const double seconds = timer.elapsed() / 1000.0;
  if (shell.exitCode() != 0) {
    std::fprintf(stderr, "sqlite3: %s\n", shell.readAllStandardError().constData());
  }
  return seconds;
}
// A plain INSERT loop in one transaction: the file read, each line cut into
// its fields and inserted by one prepared statement into one table of text
// columns, with no rule applied. Seconds.
double PlainInsertLoop(const QString& folder, const QString& csv) {
  QElapsedTimer timer;
  timer.start();
  const auto file = ReadFileLines(csv);
  if (!file) return -1;
  db::Connection connection;
  connection.Open(folder + "/insert-loop.db", true);
  constexpr int kColumns = 160;
  QString columns, marks;
  for (int i = 1; i <= kColumns; ++i) {
    columns += QStringLiteral("c%1 TEXT").arg(i) + (i < kColumns ? "," : "");
    marks += QStringLiteral("?") + (i < kColumns ? "," : "");
  }
  connection.Exec(QStringLiteral("CREATE TABLE t(%1)").arg(columns));
  db::Transaction transaction(connection);
  auto insert = connection.Prepare(QStringLiteral("INSERT INTO t VALUES (%1)").arg(marks));
  for (qsizetype i = 2; i < file->lines.size(); ++i) {
    const SplitLine split = SplitCsvLine(file->lines[i]);
    insert.Reset();
    for (int c = 0; c < kColumns; ++c) {
      if (c < split.fields.size()) {
        insert.Bind(c + 1, split.fields[c]);
      } else {
        insert.BindNull(c + 1);
      }
    }
    insert.Run();
  }
  transaction.Commit();
  return timer.elapsed() / 1000.0;
}
}  // namespace

int main(int argc, char** argv) {
  QCoreApplication qapp(argc, argv);
  const int patients = argc > 1 ? std::atoi(argv[1]) : 20000;
  const int tests = argc > 2 ? std::atoi(argv[2]) : 5;
  QTemporaryDir dir;
  const QString csv = dir.filePath("register.csv");
  QElapsedTimer timer;
  timer.start();
  if (!WriteFile(csv, patients, tests)) return 1;
  std::printf("file: %d lines (%d patients x %d tests), %.1f MB, written in %.1f s\n",
              patients * tests, patients, tests, QFile(csv).size() / 1e6, timer.elapsed() / 1000.0);

  SilentPrompter prompter;
  Application app(ProgramFolder(dir.filePath("program")), prompter);
  app.SetUserLocale(2057);
  if (!app.Initialise()) return 1;
  RecordEditor editor(app.ForEditor(), nullptr);
  timer.restart();
  const ImportSummary summary = RegisterImporter(app.ForImport(editor, nullptr)).ImportFile(csv);
  const double import_seconds = timer.elapsed() / 1000.0;
  const double import_peak_mb = bench::PeakRssMb();
  std::printf("import through the record editor: %.1f s (%s; %d messages)\n", import_seconds,
              summary.SummaryText().toLocal8Bit().constData(), prompter.shown);

  // The older release's file of the same register, into a register of its own.
  const QString old_csv = dir.filePath("old.csv");
  if (!WriteOldFile(old_csv, patients, tests)) return 1;
  double old_seconds = -1;
  ImportSummary old_summary;
  {
    SilentPrompter old_prompter;
    Application old_app(ProgramFolder(dir.filePath("old-program")), old_prompter);
    old_app.SetUserLocale(2057);
    if (!old_app.Initialise()) return 1;
    RecordEditor old_editor(old_app.ForEditor(), nullptr);
    timer.restart();
    old_summary = OldReleaseImporter(old_app.ForImport(old_editor, nullptr), old_app.Schemes())
                      .ImportFile(OldReleaseImporter::Kind::Csv, old_csv);
    old_seconds = timer.elapsed() / 1000.0;
    std::printf("older-release import through the record editor: %.1f s (%s)\n", old_seconds,
                old_summary.SummaryText().toLocal8Bit().constData());
  }

  timer.restart();
  const auto rows = RegisterRows(app.Db().Conn(), RegisterSql());
  const ExportOutcome exported =
      WriteRegisterCsv(app.Db(), app.Reporter(), dir.filePath("out.csv"), CsvLayout::Snv52, rows);
  std::printf("export of the register: %d lines in %.1f s\n", exported.lines,
              timer.elapsed() / 1000.0);
  app.Db().Close();

  const double shell_seconds = ShellImport(dir.path(), csv);
  if (shell_seconds > 0) {
    std::printf("sqlite3 .import into one plain table: %.2f s; ratio %.0f : 1\n", shell_seconds,
                import_seconds / shell_seconds);
  } else {
    std::printf("sqlite3 shell not available\n");
  }
  const double loop_seconds = PlainInsertLoop(dir.path(), csv);
  std::printf("plain INSERT loop in one transaction: %.2f s\n", loop_seconds);
  const QString label = QStringLiteral("Import of %1 lines (%2 patients), all rules applied")
                            .arg(patients * tests)
                            .arg(patients);
  bench::TableRow(label.toUtf8().constData(), import_seconds, "s", shell_seconds,
                  "sqlite3 .import", "<= 10 x sqlite3 .import and < 15 s");
  bench::TableRow("  the same file, plain INSERT loop in one transaction", loop_seconds, "s",
                  shell_seconds, "sqlite3 .import", "(reference)");
  bench::TableRow("Older-release import of the same register", old_seconds, "s", shell_seconds,
                  "sqlite3 .import", "<= 10 x sqlite3 .import and < 15 s");
  bench::TableRow("Peak memory, import", import_peak_mb, "MB RSS", -1, "", "< 150 MB");
  return summary.added == patients * tests ? 0 : 1;
}
