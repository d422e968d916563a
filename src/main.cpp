#include <QApplication>
#include <QCommandLineParser>

#include "app/Application.h"
#include "ui/FormMain.h"
#include "ui/GuiPrompter.h"

int main(int argc, char** argv) {
  QApplication qt_app(argc, argv);
  QApplication::setApplicationName(QStringLiteral("Sonivera"));
  QApplication::setApplicationVersion(QStringLiteral(SONIVERA_VERSION));

  QCommandLineParser parser;
  parser.setApplicationDescription(
      QStringLiteral("Hearing conservation and vision screening records"));
  parser.addHelpOption();
  parser.addVersionOption();
  QCommandLineOption folder_option(QStringLiteral("folder"), QStringLiteral("The program folder."),
                                   QStringLiteral("DIR"));
  parser.addOption(folder_option);
  parser.process(qt_app);

  sonivera::ui::GuiPrompter prompter;
  sonivera::Application app(
      sonivera::ProgramFolder(sonivera::ProgramFolder::Resolve(parser.value(folder_option))),
      prompter);
  if (!app.Start()) return 1;

  sonivera::ui::FormMain window(app, prompter);
  prompter.SetParent(&window);
  window.show();
  return QApplication::exec();
}
