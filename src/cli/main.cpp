#include <QCoreApplication>
#include <QFileInfo>
#include <QRegularExpression>
#include <QGuiApplication>
#include <memory>
#include <cstdio>
#include <cstdlib>
#include <exception>

#include "cli/Command.h"

namespace sonivera::cli {

std::vector<Command>& Commands() {
  static std::vector<Command> commands;
  return commands;
}

const Command& CommandNamed(const QString& name) {
  for (const auto& command : Commands()) {
    if (command.name == name) return command;
  }
  std::abort();
}

int Fail(const QString& message) {
  std::fprintf(stderr, "%s\n", message.toLocal8Bit().constData());
  return 1;
}

bool ReadableInput(const QString& path) {
  const QFileInfo info(path);
  if (info.isFile() && info.isReadable()) return true;
  Fail(QStringLiteral("cannot read %1").arg(path));
  return false;
}

int Usage(const Command& command, const QString& message) {
  std::fprintf(stderr,
               "sonivera-cli %s: %s\nusage: sonivera-cli [--folder DIR] [--password PW] %s %s\n",
               command.name.toLocal8Bit().constData(), message.toLocal8Bit().constData(),
               command.name.toLocal8Bit().constData(), command.synopsis.toLocal8Bit().constData());
  return 2;
}

namespace {
// The first sentence of a command's help, its lines joined.
QString Summary(const QString& help) {
  const QString text = help.simplified();
  static const QRegularExpression end(QStringLiteral("[.](\\s|$)"));
  const auto match = end.match(text);
  return match.hasMatch() ? text.left(match.capturedStart() + 1) : text;
}

void PrintUsage(FILE* out) {
  std::fprintf(
      out,
      "usage: sonivera-cli [--folder DIR] [--password PW] [--yes] COMMAND [ARGS]\n\n"
      "Global options:\n"
      "  --folder DIR    the program folder (default $SONIVERA_HOME or ~/.local/share/sonivera)\n"
      "  --password PW   the database password (default none)\n"
      "  --yes           answer Yes/OK to every question\n"
      "  --version       print the version and end\n\n"
      "Commands:\n");
  for (const auto& command : Commands()) {
    std::fprintf(out, "  %-12s %s\n", command.name.toLocal8Bit().constData(),
                 Summary(command.help).toLocal8Bit().constData());
  }
  std::fprintf(out, "\n'sonivera-cli COMMAND --help' describes a command.\n");
}

// The command word of the command line: the first word that is neither a
// global option nor an option's value.
QString CommandWord(int argc, char** argv) {
  for (int i = 1; i < argc; ++i) {
    const QString word = QString::fromLocal8Bit(argv[i]);
    if (word == QLatin1String("--folder") || word == QLatin1String("--password")) {
      ++i;
    } else if (!word.startsWith(QLatin1String("--"))) {
      return word;
    }
  }
  return QString();
}

// Printing lays out text and pictures, which needs the fonts of a GUI
// application; it runs on the offscreen platform unless another is asked.
std::unique_ptr<QCoreApplication> MakeApplication(int& argc, char** argv) {
  if (CommandWord(argc, argv) == QLatin1String("print")) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    return std::make_unique<QGuiApplication>(argc, argv);
  }
  return std::make_unique<QCoreApplication>(argc, argv);
}
}  // namespace

}  // namespace sonivera::cli

int main(int argc, char** argv) {
  using namespace sonivera::cli;
  const auto application = MakeApplication(argc, argv);
  QCoreApplication::setApplicationName(QStringLiteral("sonivera-cli"));
  QStringList args = QCoreApplication::arguments().mid(1);
  CommandContext context;
  while (!args.isEmpty() && args.first().startsWith(QLatin1String("--"))) {
    const QString option = args.takeFirst();
    if (option == QLatin1String("--help")) {
      PrintUsage(stdout);
      return 0;
    }
    if (option == QLatin1String("--version")) {
      std::printf("sonivera-cli %s\n", SONIVERA_VERSION);
      return 0;
    }
    if (option == QLatin1String("--yes")) {
      context.assume_yes = true;
      continue;
    }
    if ((option == QLatin1String("--folder") || option == QLatin1String("--password")) &&
        !args.isEmpty()) {
      (option == QLatin1String("--folder") ? context.folder : context.password) = args.takeFirst();
      continue;
    }
    std::fprintf(stderr, "sonivera-cli: unknown option or missing value: %s\n",
                 option.toLocal8Bit().constData());
    PrintUsage(stderr);
    return 2;
  }
  if (args.isEmpty()) {
    PrintUsage(stderr);
    return 2;
  }
  const QString name = args.takeFirst();
  for (const auto& command : Commands()) {
    if (command.name != name) continue;
    if (args.contains(QStringLiteral("--help"))) {
      std::printf("usage: sonivera-cli [--folder DIR] [--password PW] %s %s\n\n%s\n",
                  command.name.toLocal8Bit().constData(),
                  command.synopsis.toLocal8Bit().constData(),
                  command.help.toLocal8Bit().constData());
      return 0;
    }
    context.args = args;
    try {
      return command.run(context);
    } catch (const std::exception& error) {
      // A database that answers with an error ends the command, never the program.
      return Fail(QStringLiteral("An error has occurred: %1 (%2)")
                      .arg(QString::fromUtf8(error.what()), command.name));
    }
  }
  std::fprintf(stderr, "sonivera-cli: unknown command: %s\n", name.toLocal8Bit().constData());
  PrintUsage(stderr);
  return 2;
}
