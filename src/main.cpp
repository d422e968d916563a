#include <QApplication>
#include <QCommandLineParser>
#include <QIcon>

#include "app/Application.h"
#include "ui/DemoCompanion.h"
#include "ui/DemoRegister.h"
#include "ui/FormMain.h"
#include "ui/GuiPrompter.h"
#include "ui/Screenshots.h"

int main(int argc, char** argv) {
  QApplication qt_app(argc, argv);
  QApplication::setApplicationName(QStringLiteral("Sonivera"));
  QApplication::setApplicationVersion(QStringLiteral(SONIVERA_VERSION));
  // Without a desktop session (a bare X server) Qt picks no icon theme.
  if (QIcon::themeName().isEmpty() || QIcon::themeName() == QLatin1String("hicolor")) {
    QIcon::setThemeName(QStringLiteral("Adwaita"));
  }

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
  if (parser.isSet(demo_option)) {
    sonivera::ui::SeedDemoRegister(app);
    sonivera::ui::InstallDemoCompanion(app.Folder());
  }

  sonivera::ui::FormMain window(app);
  prompter.SetParent(&window);
  window.show();
  if (!screenshots.isEmpty()) sonivera::ui::TakeScreenshots(window, screenshots);
  return QApplication::exec();
}
