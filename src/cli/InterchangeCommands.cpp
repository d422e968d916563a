// import and export: the register's CSV files from the command line.
#include <QFileInfo>
#include <cstdio>

#include "cli/Session.h"
#include "interchange/OldImport.h"
#include "interchange/RegisterExport.h"
#include "interchange/RegisterImport.h"
#include "register/RecordEditor.h"

namespace sonivera::cli {

namespace {
void PrintLine(const QString& text) { std::printf("%s\n", text.toLocal8Bit().constData()); }

const Command kImport{
    "import", "FILE [--old31 [--baseline]]",
    "Imports a register CSV file (\"[SNV/5.2 Format]\" or \"[SNV/5 Format]\") line by line\n"
    "through the record editor. Each refused line is written to stderr and err.log and\n"
    "the import goes on; a summary line ends the run. With --old31 the file is one of the\n"
    "older release (.dat for fixed records, otherwise \"[SNV/3.1 Format]\" CSV); --baseline\n"
    "stores a new patient's previous results as its first audiogram. Exit 0 unless the\n"
    "file could not be read at all.",
    [](const CommandContext& context) {
      const Command& self = CommandNamed("import");
      QString path;
      bool old = false;
      bool baseline = false;
      for (const QString& arg : context.args) {
        if (arg == QLatin1String("--old31")) {
          old = true;
        } else if (arg == QLatin1String("--baseline")) {
          baseline = true;
        } else if (arg.startsWith(QLatin1String("--")) || !path.isEmpty()) {
          return Usage(self, QStringLiteral("unexpected argument %1").arg(arg));
        } else {
          path = arg;
        }
      }
      if (path.isEmpty()) return Usage(self, "expects the file to import");
      if (baseline && !old) return Usage(self, "--baseline goes with --old31");
      if (!ReadableInput(path)) return 1;
      const QFileInfo info(path);
      Session session = StartSession(context);
      if (!session.app) return 1;
      Application& app = *session.app;
      RecordEditor editor(app.ForEditor(), nullptr);
      ImportSummary summary;
      if (old) {
        OldReleaseImporter importer(app.ForImport(editor, nullptr), app.Schemes());
        importer.SetCreateBaseline(baseline);
        const auto kind = info.suffix().compare(QLatin1String("dat"), Qt::CaseInsensitive) == 0
                              ? OldReleaseImporter::Kind::Dat
                              : OldReleaseImporter::Kind::Csv;
        summary = importer.ImportFile(kind, info.absoluteFilePath());
      } else {
        summary =
            RegisterImporter(app.ForImport(editor, nullptr)).ImportFile(info.absoluteFilePath());
      }
      PrintLine(summary.SummaryText());
      EndSession(session);
      return summary.refused ? 1 : 0;
    }};

const Command kExport{
    "export", "FILE [--layout 5.2|5]",
    "Writes the register (each patient with the latest audiogram, newest first) to FILE:\n"
    "layout 5.2 (the default) with the questionnaire and the 125/750 Hz values, layout 5\n"
    "with the 51 values the companion program reads.",
    [](const CommandContext& context) {
      const Command& self = CommandNamed("export");
      QString path;
      CsvLayout layout = CsvLayout::Snv52;
      for (int i = 0; i < context.args.size(); ++i) {
        const QString& arg = context.args[i];
        if (arg == QLatin1String("--layout")) {
          const QString value = context.args.value(++i);
          if (value == QLatin1String("5.2")) {
            layout = CsvLayout::Snv52;
          } else if (value == QLatin1String("5")) {
            layout = CsvLayout::Snv5;
          } else {
            return Usage(self, "--layout takes 5.2 or 5");
          }
        } else if (arg.startsWith(QLatin1String("--")) || !path.isEmpty()) {
          return Usage(self, QStringLiteral("unexpected argument %1").arg(arg));
        } else {
          path = arg;
        }
      }
      if (path.isEmpty()) return Usage(self, "expects the file to write");
      Session session = StartSession(context);
      if (!session.app) return 1;
      const RowList rows = ListRegisterRows(session.app->Db().Conn(), RegisterSql());
      int code = 0;
      if (rows.keys.empty() && rows.failure.isEmpty()) {
        session.prompter->Show(QStringLiteral("No data available to export"),
                               QStringLiteral("Error"), Prompter::Buttons::Ok, Prompter::Answer::Ok,
                               Prompter::Icon::Critical);
        code = 1;
      } else {
        const ExportOutcome outcome =
            WriteRegisterCsv(session.app->Db(), session.app->Reporter(),
                             QFileInfo(path).absoluteFilePath(), layout, rows);
        if (outcome.written) {
          PrintLine(QStringLiteral("%1 record(s) exported to %2").arg(outcome.lines).arg(path));
          if (outcome.unreadable > 0 || !rows.failure.isEmpty()) code = 1;
        } else {
          code = 1;
        }
      }
      EndSession(session);
      return code;
    }};

const CommandRegistration kRegisterImport(kImport);
const CommandRegistration kRegisterExport(kExport);
}  // namespace

}  // namespace sonivera::cli
