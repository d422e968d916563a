// tx730: the serial audiometer link from the command line.
#include <QFile>
#include <cstdio>

#include "base/AppError.h"
#include "base/ErrorLog.h"
#include "base/ProgramFolder.h"
#include "base/Settings.h"
#include "cli/CliPrompter.h"
#include "cli/Command.h"
#include "cli/Session.h"
#include "instrument/ConversionFile.h"
#include "instrument/SerialLink.h"
#include "instrument/Tx730Framing.h"
#include "instrument/Tx730Parser.h"
#include "instrument/Tx730Store.h"
#include "instrument/Tx730Transfer.h"
#include "interchange/RegisterExport.h"
#include "register/RecordEditor.h"
#include "register/RegisterQuery.h"

namespace sonivera::cli {

namespace {
void PrintLine(const QString& text) {
  std::fputs(text.toUtf8().constData(), stdout);
  std::fputc('\n', stdout);
}

// The conversion file named by the settings file of the folder.
QString ConversionFileOfSettings(const ProgramFolder& folder) {
  Settings settings;
  CliPrompter prompter{QString()};
  try {
    ReadSettingsFile(folder, settings, prompter);
  } catch (const AppError&) {
    // A damaged settings file leaves the default series.
  }
  return settings.ConversionFile;
}

// The command line's prompter for the link: the messages of the link that
// are not already logged go to err.log too, and the erase question takes the
// answer of --erase.
class LinkPrompter : public Prompter {
 public:
  LinkPrompter(Prompter& inner, const ErrorLog& log) : inner_(inner), log_(log) {}
  std::optional<Answer> erase_answer;

  Answer Show(const QString& text, const QString& title, Buttons buttons, Answer default_answer,
              Icon icon) override {
    if (title == QLatin1String("Erase TX730") && erase_answer) {
      std::fprintf(stderr, "%s %s\n", text.toLocal8Bit().constData(),
                   *erase_answer == Answer::Yes ? "Yes" : "No");
      return *erase_answer;
    }
    const bool error_title = title == QLatin1String("Error") ||
                             title == QLatin1String("Com Port Warning") ||
                             title == QLatin1String("TX730");
    if (error_title && !text.startsWith(QLatin1String("An error has occurred"))) log_.Append(text);
    return inner_.Show(text, title, buttons, default_answer, icon);
  }
  std::optional<QString> OpenFile(const FileDialogSpec& spec) override {
    return inner_.OpenFile(spec);
  }
  std::optional<QString> SaveFile(const FileDialogSpec& spec) override {
    return inner_.SaveFile(spec);
  }
  std::unique_ptr<Progress> StartProgress(const QString& label, int maximum) override {
    return inner_.StartProgress(label, maximum);
  }
  std::optional<LoginResult> Login() override { return inner_.Login(); }

 private:
  Prompter& inner_;
  const ErrorLog& log_;
};

// A started program with the link of its settings.
struct LinkRun {
  Session session;
  std::unique_ptr<LinkPrompter> prompter;
  std::unique_ptr<ErrorReporter> reporter;
  std::unique_ptr<SerialLink> link;

  bool Start(const CommandContext& context) {
    session = StartSession(context);
    if (!session.app) return false;
    Application& app = *session.app;
    prompter = std::make_unique<LinkPrompter>(app.Ask(), app.Log());
    reporter = std::make_unique<ErrorReporter>(*prompter, app.Log());
    link = std::make_unique<SerialLink>(app.settings(), app.Folder(), *reporter);
    return true;
  }
  ~LinkRun() {
    if (link) link->Close();
    EndSession(session);
  }
};

// Stores the link's buffer as the Store button does and prints the final
// message; 0 when the records were gone through.
int StoreReceived(LinkRun& run) {
  Application& app = *run.session.app;
  RecordEditor editor(app.ForEditor(), nullptr);
  // The store's questions and messages go through the link's prompter.
  Tx730Store store(app.Db(), app.Reporter(), editor, *run.prompter);
  const Tx730StoreOutcome outcome = store.Store(run.link->Buffer(), app.settings().AudiometerSeries,
                                                QString::number(run.link->Framing().LineCount()));
  if (!outcome.stored) return 1;
  PrintLine(outcome.message);
  run.link->ClearTransfer();
  return 0;
}

std::optional<RequestFilter> FilterNamed(const QString& name) {
  static const std::pair<const char*, RequestFilter> kNames[] = {
      {"none", RequestFilter::None},         {"patno", RequestFilter::PatientNo},
      {"surname", RequestFilter::Surname},   {"forenames", RequestFilter::Forenames},
      {"position", RequestFilter::Position}, {"department", RequestFilter::Department},
      {"company", RequestFilter::Company},   {"before", RequestFilter::DateOrBefore},
      {"after", RequestFilter::DateOrAfter}};
  for (const auto& [text, filter] : kNames) {
    if (name.compare(QLatin1String(text), Qt::CaseInsensitive) == 0) return filter;
  }
  return std::nullopt;
}

int RunRequest(const CommandContext& context, const Command& self) {
  RequestFilter filter = RequestFilter::None;
  QString text;
  const QStringList& args = context.args;
  for (int i = 1; i < args.size(); ++i) {
    if (args[i] == QLatin1String("--filter") && i + 1 < args.size()) {
      const auto named = FilterNamed(args[++i]);
      if (!named) return Usage(self, QStringLiteral("unknown filter %1").arg(args[i]));
      filter = *named;
      if (filter != RequestFilter::None) {
        if (i + 1 >= args.size()) return Usage(self, "--filter KIND expects its text");
        text = args[++i];
      }
    } else {
      return Usage(self, QStringLiteral("unexpected argument %1").arg(args[i]));
    }
  }
  LinkRun run;
  if (!run.Start(context)) return 1;
  if (IsPassiveSeries(run.session.app->settings().AudiometerSeries)) {
    return Fail("Series 4 and 5 audiometers send on their own: use 'tx730 listen'");
  }
  // As the import window does when it opens.
  run.link->LinkArmed = true;
  if (!StartTx730Import(*run.link, filter, text, {})) return 1;
  return StoreReceived(run);
}

int RunListen(const CommandContext& context, const Command& self) {
  double seconds = 10;
  const QStringList& args = context.args;
  for (int i = 1; i < args.size(); ++i) {
    bool ok = false;
    if (args[i] == QLatin1String("--seconds") && i + 1 < args.size()) {
      seconds = args[++i].toDouble(&ok);
      if (ok && seconds > 0) continue;
    }
    return Usage(self, QStringLiteral("unexpected argument %1").arg(args[i]));
  }
  LinkRun run;
  if (!run.Start(context)) return 1;
  SerialLink& link = *run.link;
  if (!IsPassiveSeries(run.session.app->settings().AudiometerSeries)) {
    return Fail("only Series 4 and 5 audiometers send on their own: use 'tx730 request'");
  }
  if (run.session.app->settings().SerialPortNumber == 0) {
    run.prompter->Show(QStringLiteral("Please set TX730 com port"),
                       QStringLiteral("Com Port Warning"), Prompter::Buttons::Ok,
                       Prompter::Answer::Ok, Prompter::Icon::Exclamation);
    return 1;
  }
  link.ArmReceiving();
  if (!link.IsOpen()) return 1;
  std::fprintf(stderr, "Listening on COM %d\n", run.session.app->settings().SerialPortNumber);
  do {
    link.DataSeen = false;
    SerialLink::PauseSeconds(seconds);
  } while (link.DataSeen);
  link.RebuildImportBuffer();
  return StoreReceived(run);
}

int RunExport(const CommandContext& context, const Command& self) {
  bool erase = false;
  std::optional<double> gap;
  const QStringList& args = context.args;
  for (int i = 1; i < args.size(); ++i) {
    bool ok = false;
    if (args[i] == QLatin1String("--erase")) continue;
    if (args[i] == QLatin1String("--gap") && i + 1 < args.size()) {
      gap = args[++i].toDouble(&ok);
      if (ok && *gap >= 0) continue;
    }
    return Usage(self, QStringLiteral("unexpected argument %1").arg(args[i]));
  }
  erase = args.contains(QLatin1String("--erase"));
  LinkRun run;
  if (!run.Start(context)) return 1;
  Application& app = *run.session.app;
  if (gap) app.settings().Rs232Gap = *gap;
  run.link->LinkArmed = true;  // as the export window does when it opens
  run.prompter->erase_answer = erase ? Prompter::Answer::Yes : Prompter::Answer::No;
  const auto rows = RegisterRows(app.Db().Conn(), RegisterSql());
  const int sent = ExportToTx730(*run.link, app.Db().Conn(), rows, false, {});
  if (sent < 0) return 1;
  PrintLine(QStringLiteral("%1 record(s) sent").arg(sent));
  return 0;
}

int RunParse(const CommandContext& context, const Command& self) {
  QString path;
  QString series;
  const QStringList& args = context.args;
  for (int i = 1; i < args.size(); ++i) {
    if (args[i] == QLatin1String("--series")) {
      series = args.value(++i).toUpper();
      if (series != QLatin1String("S1") && series != QLatin1String("S3")) {
        return Usage(self, "--series takes S1 or S3");
      }
    } else if (args[i].startsWith(QLatin1String("--")) || !path.isEmpty()) {
      return Usage(self, QStringLiteral("unexpected argument %1").arg(args[i]));
    } else {
      path = args[i];
    }
  }
  if (path.isEmpty()) return Usage(self, "parse expects the file of received text");
  QFile file(path);
  if (!file.open(QIODevice::ReadOnly)) return Fail(QStringLiteral("cannot read %1").arg(path));
  const QString wire = QString::fromLatin1(file.readAll());
  const ProgramFolder folder(ProgramFolder::Resolve(context.folder));
  if (!folder.Prepare()) return Fail(QStringLiteral("cannot use the folder %1").arg(folder.Path()));
  QString conversion_name =
      series == QLatin1String("S1") ? kSeries1ConversionFile : kSeries3ConversionFile;
  if (series.isEmpty()) conversion_name = ConversionFileOfSettings(folder);
  const FramingMode mode = FramingModeFor(QString(), conversion_name);
  try {
    ConversionFile conversion = ConversionFile::Open(folder.File(conversion_name));
    const Tx730Framing framing = FrameWireText(wire, mode);
    const ImportBuffer buffer =
        BuildImportBuffer(framing.Lines(), conversion, mode == FramingMode::Series1Blocks);
    for (size_t i = 0; i < buffer.size(); ++i) {
      if (buffer[i].complete) {
        PrintLine(ImportRecordJson(buffer[i]));
      } else {
        std::fprintf(stderr, "record %d is incomplete and was left out\n", int(i) + 1);
      }
    }
    if (framing.Dropped() > 0) {
      std::fprintf(stderr, "%s\n", OverflowText(framing.Dropped()).toUtf8().constData());
    }
  } catch (const AppError& error) {
    const QString text = StandardErrorText(error.Description(), error.Number(),
                                           ErrorTag(QStringLiteral("transferimporttobuffer")));
    ErrorLog(folder.File(QStringLiteral("err.log"))).Append(text);
    return Fail(text);
  }
  return 0;
}

const Command kTx730{
    "tx730",
    "request [--filter KIND TEXT] | listen [--seconds N] | export [--erase] [--gap SECONDS] | "
    "parse FILE [--series S1|S3]",
    "The serial audiometer link, with the series, port and conversion file of the settings.\n"
    "  request [--filter KIND TEXT]  asks a Series 1 or 3 audiometer for its tests (KIND: none,\n"
    "      patno, surname, forenames, position, department, company, before, after; dates\n"
    "      dd/mm/yyyy), then stores them (with --yes) and prints the final message.\n"
    "  listen [--seconds N]  arms the link of a Series 4 or 5 audiometer and takes what it\n"
    "      sends until N seconds (default 10) pass with nothing received, then stores it.\n"
    "  export [--erase] [--gap SECONDS]  sends every test of the register (with --yes; with\n"
    "      --erase the audiometer is erased first); --gap sets the pause after each record\n"
    "      for this run. Prints \"N record(s) sent\".\n"
    "  parse FILE [--series S1|S3]  frames the received text in FILE as the link does and\n"
    "      parses it through the program folder's conversion file (the settings' one,\n"
    "      or the one of the series given); writes one JSON object per record, keyed\n"
    "      by field name, empty fields left out. Stores nothing.",
    [](const CommandContext& context) {
      const Command& self = CommandNamed("tx730");
      const QString sub = context.args.value(0);
      if (sub == QLatin1String("parse")) return RunParse(context, self);
      if (sub == QLatin1String("request")) return RunRequest(context, self);
      if (sub == QLatin1String("listen")) return RunListen(context, self);
      if (sub == QLatin1String("export")) return RunExport(context, self);
      return Usage(self, "expects request, listen, export or parse");
    }};

const CommandRegistration kRegisterTx730(kTx730);
}  // namespace

}  // namespace sonivera::cli
