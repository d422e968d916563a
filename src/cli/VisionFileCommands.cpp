// vision-export and vision-import: the vision register's CSV files; the
// vision record form for print vision.
#include <QFileInfo>
#include <cstdio>

#include "interchange/CsvLayout.h"

#include "cli/Session.h"
#include "cli/VisionPrint.h"
#include "report/VisionReport.h"
#include "vision/VisionCsv.h"
#include "vision/VisionEditor.h"

namespace sonivera::cli {

namespace {
void PrintLine(const QString& text) { std::printf("%s\n", text.toLocal8Bit().constData()); }

// The one file argument of a command; empty after a usage error.
QString FileArgument(const CommandContext& context, const Command& self, int& status) {
  if (context.args.size() != 1 || context.args.first().startsWith(QLatin1String("--"))) {
    status = Usage(self, QStringLiteral("expects one file"));
    return QString();
  }
  return context.args.first();
}

const Command kVisionExport{
    "vision-export", "FILE",
    "Writes the vision register (each patient's latest vision test, newest first) to a\n"
    "\"[Vision/5 Format]\" CSV file of 71 values a line. Exit 1 when the file cannot be\n"
    "written or the register is empty.",
    [](const CommandContext& context) {
      int status = 0;
      const QString path = FileArgument(context, CommandNamed("vision-export"), status);
      if (path.isEmpty()) return status;
      Session session = StartSession(context);
      if (!session.app) return 1;
      Application& app = *session.app;
      int result = 1;
      try {
        const auto rows = vision::VisionStore(app.Db().Conn()).RegisterRows();
        const auto outcome = vision::WriteVisionCsv(app.Db().Conn(), app.Ask(), app.Log(),
                                                    QFileInfo(path).absoluteFilePath(), rows);
        if (outcome.written) {
          PrintLine(QStringLiteral("%1 vision test(s) exported").arg(outcome.lines));
          result = 0;
        }
      } catch (const std::exception& failure) {
        result = Fail(QString::fromUtf8(failure.what()));
      }
      EndSession(session);
      return result;
    }};

const Command kVisionImport{
    "vision-import", "FILE",
    "Imports a \"[Vision/5 Format]\" CSV file line by line through the vision record\n"
    "editor. Each refused line is written to stderr and err.log and the import goes on;\n"
    "a summary line of the lines added and refused ends the run. Exit 0 unless the file\n"
    "could not be read or is not a vision file.",
    [](const CommandContext& context) {
      int status = 0;
      const QString path = FileArgument(context, CommandNamed("vision-import"), status);
      if (path.isEmpty()) return status;
      if (!ReadableInput(path)) return 1;
      const QFileInfo info(path);
      Session session = StartSession(context);
      if (!session.app) return 1;
      Application& app = *session.app;
      vision::VisionEditor editor(app.Db(), app.Ask(), app.Log());
      const auto summary = vision::VisionImporter(editor, app.Ask(), app.Log())
                               .ImportFile(info.absoluteFilePath());
      if (summary.read) PrintLine(summary.SummaryText());
      EndSession(session);
      return summary.read ? 0 : 1;
    }};

const CommandRegistration kRegisterVisionExport(kVisionExport);
const CommandRegistration kRegisterVisionImport(kVisionImport);

}  // namespace

int PrintVision(Application& app, const QString& pat_no, const std::optional<TestKey>& key,
                const QString& pdf) {
  db::Connection& connection = app.Db().Conn();
  TestKey test;
  if (key) {
    test = *key;
  } else {
    const auto tests = vision::VisionStore(connection).Tests(pat_no);
    if (tests.empty()) return Fail(QStringLiteral("No vision test of patient %1.").arg(pat_no));
    test = tests.front();
  }
  auto data = report::LoadVisionReport(connection, pat_no, test);
  if (!data) {
    return Fail(QStringLiteral("Patient %1 has no vision test on %2 %3.")
                    .arg(pat_no, CsvDateText(test.date), test.time));
  }
  data->print_heading = app.Lists().PrintHeading;
  auto file = report::PdfFile(pdf, report::VisionReportTitle());
  const auto status = report::PrintVisionReport(*file, *data);
  if (status != report::PrintStatus::Printed) return Fail(QStringLiteral("Cannot write ") + pdf);
  return 0;
}

}  // namespace sonivera::cli
