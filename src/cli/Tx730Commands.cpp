// tx730: the serial audiometer link from the command line.
#include <QFile>
#include <cstdio>

#include "base/AppError.h"
#include "base/ErrorLog.h"
#include "base/ProgramFolder.h"
#include "base/Settings.h"
#include "cli/CliPrompter.h"
#include "cli/Command.h"
#include "instrument/ConversionFile.h"
#include "instrument/Tx730Framing.h"
#include "instrument/Tx730Parser.h"

namespace sonivera::cli {

namespace {
void PrintLine(const QString& text) {
  std::fputs(text.toUtf8().constData(), stdout);
  std::fputc('\n', stdout);
}

// The conversion file named by the settings file of the folder.
QString ConversionFileOfSettings(const ProgramFolder& folder) {
  Settings settings;
  SchemeChecks checks;
  CliPrompter prompter{QString()};
  try {
    ReadSettingsFile(folder, 2057, settings, checks, prompter);
  } catch (const AppError&) {
    // A damaged settings file leaves the default series.
  }
  return settings.ConversionFile;
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
  QString conversion_name = series == QLatin1String("S1") ? kSeries1ConversionFile
                                                           : kSeries3ConversionFile;
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
    "tx730", "parse FILE [--series S1|S3]",
    "The serial audiometer link.\n"
    "  parse FILE [--series S1|S3]  frames the received text in FILE as the link does and\n"
    "      parses it through the program folder's conversion file (the settings' one,\n"
    "      or the one of the series given); writes one JSON object per record, keyed\n"
    "      by field name, empty fields left out. Stores nothing.",
    [](const CommandContext& context) {
      const Command& self = CommandNamed("tx730");
      const QString sub = context.args.value(0);
      if (sub == QLatin1String("parse")) return RunParse(context, self);
      return Usage(self, "expects parse");
    }};

const Register kRegisterTx730(kTx730);
}  // namespace

}  // namespace sonivera::cli
