#include <QApplication>
#include <QCommandLineParser>
#include <QIcon>

#include "app/Application.h"
#include "ui/DemoCompanion.h"
#include "ui/DemoRegister.h"
#include "ui/DemoTx730.h"
#include "ui/FormMain.h"
#include "ui/GuardedApplication.h"
#include "ui/GuiPrompter.h"
#include "ui/Screenshots.h"

int main(int argc, char** argv) {
  // --help and --version answer in a terminal without a display too.
  if (qEnvironmentVariableIsEmpty("DISPLAY") && qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY")) {
    for (int i = 1; i < argc; ++i) {
      const QByteArray arg(argv[i]);
      if (arg == "--help" || arg == "-h" || arg == "--version" || arg == "-v") {
        qputenv("QT_QPA_PLATFORM", "offscreen");
      }
    }
  }
  sonivera::ui::GuardedApplication qt_app(argc, argv);
  QApplication::setApplicationName(QStringLiteral("Sonivera"));
  QApplication::setApplicationVersion(QStringLiteral(SONIVERA_VERSION));
  // Ties the windows to the menu entry and its icon on the desktop.
  QGuiApplication::setDesktopFileName(QStringLiteral("org.sonivera.Sonivera"));
  // Without a desktop session (a bare X server) Qt picks no icon theme.
  if (QIcon::themeName().isEmpty() || QIcon::themeName() == QLatin1String("hicolor")) {
    QIcon::setThemeName(QStringLiteral("Adwaita"));
  }
  QApplication::setWindowIcon(QIcon::fromTheme(QStringLiteral("sonivera")));

  QCommandLineParser parser;
  parser.setApplicationDescription(
      QStringLiteral("Hearing conservation and vision screening records"));
  parser.addHelpOption();
  parser.addVersionOption();
  QCommandLineOption folder_option(QStringLiteral("folder"), QStringLiteral("The program folder."),
                                   QStringLiteral("DIR"));
  QCommandLineOption demo_option(
      QStringLiteral("demo"),
      QStringLiteral("Open a demonstration folder (~/.local/share/sonivera-demo unless --folder "
                     "is given) whose register is filled with example patients."));
  // Takes pictures of the login window and of each page into DIR, then ends.
  QCommandLineOption screenshot_option(QStringLiteral("screenshot"), QString(),
                                       QStringLiteral("DIR"));
  screenshot_option.setFlags(QCommandLineOption::HiddenFromHelp);
  parser.addOption(folder_option);
  parser.addOption(demo_option);
  parser.addOption(screenshot_option);
  parser.process(qt_app);

  QString folder = parser.value(folder_option);
  if (parser.isSet(demo_option) && folder.isEmpty()) folder = sonivera::ui::DefaultDemoFolder();
  const QString screenshots = parser.value(screenshot_option);
  if (!screenshots.isEmpty()) sonivera::ui::AnswerLoginForScreenshot(screenshots);

  sonivera::ui::GuiPrompter prompter;
  sonivera::Application app(sonivera::ProgramFolder(sonivera::ProgramFolder::Resolve(folder)),
                            prompter);
  if (!app.Start()) return 1;
  qt_app.on_failure = [&app](const std::exception& error) {
    const auto failure = sonivera::db::DescribeFailure(error);
    app.Reporter().Report(failure.description, failure.number, QStringLiteral("formmain"));
  };
  sonivera::ui::DemoAudiometer demo_audiometer;
  if (parser.isSet(demo_option)) {
    sonivera::ui::SeedDemoRegister(app);
    sonivera::ui::InstallDemoCompanion(app.Folder());
    demo_audiometer.Start(app);
  }

  sonivera::ui::FormMain window(app);
  prompter.SetParent(&window);
  window.show();
  if (!screenshots.isEmpty()) sonivera::ui::TakeScreenshots(window, screenshots);
  return QApplication::exec();
}
