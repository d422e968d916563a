// print: the audiogram report, the database summary and the batch print to a
// PDF file, laid out as the desktop program prints them.
#include <QPdfWriter>
#include <cstdio>

#include "base/Messages.h"
#include "cli/Session.h"
#include "cli/VisionPrint.h"
#include "register/EntryFields.h"
#include "register/RegisterQuery.h"
#include "report/AudiogramReport.h"
#include "report/BatchPrint.h"
#include "report/ReportOutput.h"
#include "report/SummaryReport.h"

namespace sonivera::cli {

namespace {

struct PrintOptions {
  QString kind;
  QString pat_no;
  QString test;  // "dd/mm/yyyy hh:mm:ss"
  QString pdf;
  SortField sort = SortField::None;
};

// The sort words of --sort, in the order of the sort window.
const std::pair<const char*, SortField> kSortWords[] = {
    {"patno", SortField::PatNo},         {"surname", SortField::Surname},
    {"dob", SortField::DOB},             {"lasttest", SortField::DateofTest},
    {"previoustest", SortField::PreviousTest}, {"category", SortField::Categorisation},
};

// Reads the arguments; an error text when they do not make a print command.
QString ParsePrintArgs(QStringList args, PrintOptions& options) {
  if (args.isEmpty()) return QStringLiteral("expects audiogram, vision, summary or batch");
  options.kind = args.takeFirst();
  const bool one_test =
      options.kind == QLatin1String("audiogram") || options.kind == QLatin1String("vision");
  if (!one_test && options.kind != QLatin1String("summary") &&
      options.kind != QLatin1String("batch")) {
    return QStringLiteral("unknown report: ") + options.kind;
  }
  if (one_test) {
    if (args.isEmpty() || args.first().startsWith(QLatin1String("--"))) {
      return QStringLiteral("expects the patient number");
    }
    options.pat_no = args.takeFirst();
  }
  while (!args.isEmpty()) {
    const QString option = args.takeFirst();
    if (args.isEmpty()) return QStringLiteral("missing value after ") + option;
    if (option == QLatin1String("--pdf")) {
      options.pdf = args.takeFirst();
    } else if (option == QLatin1String("--test") && one_test) {
      options.test = args.takeFirst();
      // The time may come as a word of its own.
      if (!options.test.contains(u' ') && !args.isEmpty() && args.first().contains(u':')) {
        options.test += u' ' + args.takeFirst();
      }
    } else if (option == QLatin1String("--sort") && !one_test) {
      const QString word = args.takeFirst().toLower();
      bool known = false;
      for (const auto& [name, field] : kSortWords) {
        if (word == QLatin1String(name)) {
          options.sort = field;
          known = true;
        }
      }
      if (!known) return QStringLiteral("unknown sort: ") + word;
    } else {
      return QStringLiteral("unknown option: ") + option;
    }
  }
  if (options.pdf.isEmpty()) return QStringLiteral("expects --pdf FILE");
  return QString();
}

std::optional<TestKey> ParseTestKey(const QString& text) {
  const QStringList parts = text.simplified().split(u' ');
  if (parts.size() != 2) return std::nullopt;
  const auto date = ParseDateBox(parts[0]);
  const auto time = ParseTimeBox(parts[1]);
  if (!date || !date->isValid() || !time || !time->isValid()) return std::nullopt;
  return TestKey{StoredDateText(*date), StoredTimeText(*time)};
}

report::AudiogramReportSetup SetupOf(Application& app) {
  return report::ReportSetupFor(app.Folder(), app.Lists(), app.settings().chart,
                                app.ChartFiles(), app.Reporter());
}

int PrintAudiogram(Application& app, const PrintOptions& options) {
  db::Connection& connection = app.Db().Conn();
  std::optional<report::PrintItem> item;
  if (options.test.isEmpty()) {
    item = report::ShownAudiogram(connection, options.pat_no, 0);
    if (!item) return Fail(QStringLiteral("No audiogram of patient %1.").arg(options.pat_no));
  } else {
    const auto key = ParseTestKey(options.test);
    if (!key) return Fail(QStringLiteral("Not a test date and time: ") + options.test);
    item = report::ItemFor(connection, options.pat_no, *key);
  }
  const auto data = report::LoadAudiogramReport(connection, item->pat_no, item->key, item->previous);
  if (!data) {
    return Fail(QStringLiteral("Patient %1 has no test on %2.")
                    .arg(options.pat_no, options.test.isEmpty() ? QStringLiteral("record")
                                                                : options.test));
  }
  auto pdf = report::PdfFile(options.pdf, report::AudiogramReportTitle(item->pat_no));
  if (report::PrintAudiogramReport(*pdf, *data, SetupOf(app)) != report::PrintStatus::Printed) {
    return Fail(QStringLiteral("Cannot write ") + options.pdf);
  }
  return 0;
}

SqlQuery RegisterQueryOf(const PrintOptions& options) {
  return options.sort == SortField::None ? RegisterSql() : SortedSql(options.sort, nullptr);
}

int PrintSummary(Application& app, const PrintOptions& options) {
  auto data = report::LoadSummary(app.Db().Conn(), RegisterQueryOf(options));
  if (data.rows.empty()) return Fail(Msg(1022));
  data.print_heading = app.Lists().PrintHeading;
  if (options.sort != SortField::None) data.description = Msg(494) + SortCaption(options.sort);
  auto pdf = report::PdfFile(options.pdf, Msg(1062));
  int pages = 0;
  if (report::PrintSummaryReport(*pdf, data, &pages) != report::PrintStatus::Printed) {
    return Fail(QStringLiteral("Cannot write ") + options.pdf);
  }
  std::printf("%d rows, %d pages\n", static_cast<int>(data.rows.size()), pages);
  return 0;
}

int PrintBatch(Application& app, const PrintOptions& options) {
  db::Connection& connection = app.Db().Conn();
  const auto queue = report::QueueBatch(connection, RegisterQueryOf(options));
  if (queue.empty()) return Fail(Msg(1022));
  auto pdf = report::PdfFile(options.pdf, Msg(1062));
  const auto result = report::PrintBatchReport(
      *pdf, connection, queue, SetupOf(app), [](int done, int total) {
        std::fprintf(stderr, "\r%d / %d", done + 1, total);
        return true;
      });
  std::fprintf(stderr, "\n");
  if (result.status != report::PrintStatus::Printed) {
    return Fail(QStringLiteral("Cannot write ") + options.pdf);
  }
  std::printf("%d audiograms\n", result.outcome.printed);
  return 0;
}

const Command kPrint{
    "print",
    "audiogram|vision PATNO [--test DD/MM/YYYY HH:MM:SS] | summary | batch [--sort FIELD] --pdf "
    "FILE",
    "Prints a report (the audiogram or vision report, the database summary or a batch) to a PDF file (A4).\n"
    "  audiogram PATNO  the audiogram report of the patient's latest test, or of the\n"
    "                   test given by --test; one page\n"
    "  vision PATNO     the vision record form of the patient's latest vision test, or\n"
    "                   of the test given by --test; one page\n"
    "  summary          the database summary, one line per register row\n"
    "  batch            one audiogram page for every row of the register, in order\n"
    "--sort patno|surname|dob|lasttest|previoustest|category orders the register as\n"
    "the sort window does. A missing patient or test is an error (exit 1).",
    [](const CommandContext& context) {
      PrintOptions options;
      const QString error = ParsePrintArgs(context.args, options);
      if (!error.isEmpty()) return Usage(CommandNamed("print"), error);
      Session session = StartSession(context);
      if (!session.app) return 1;
      int result = 1;
      try {
        if (options.kind == QLatin1String("audiogram")) {
          result = PrintAudiogram(*session.app, options);
        } else if (options.kind == QLatin1String("vision")) {
          const auto key = options.test.isEmpty() ? std::nullopt : ParseTestKey(options.test);
          result = !options.test.isEmpty() && !key
                       ? Fail(QStringLiteral("Not a test date and time: ") + options.test)
                       : PrintVision(*session.app, options.pat_no, key, options.pdf);
        } else if (options.kind == QLatin1String("summary")) {
          result = PrintSummary(*session.app, options);
        } else {
          result = PrintBatch(*session.app, options);
        }
      } catch (const std::exception& failure) {
        result = Fail(QString::fromUtf8(failure.what()));
      }
      EndSession(session);
      return result;
    }};

const CommandRegistration kRegisterPrint(kPrint);
}  // namespace

}  // namespace sonivera::cli
