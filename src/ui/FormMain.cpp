#include "ui/FormMain.h"

#include <QApplication>
#include <QCloseEvent>
#include <QLabel>
#include <QMenuBar>
#include <QStatusBar>

#include "app/Application.h"
#include "ui/GuiPrompter.h"

namespace sonivera::ui {

FormMain::FormMain(Application& app, GuiPrompter&, QWidget* parent)
    : QMainWindow(parent), app_(app) {
  setObjectName(QStringLiteral("FormMain"));
  setWindowTitle(app_.State().ApplicationTitle);
  auto* file_menu = menuBar()->addMenu(QStringLiteral("&File"));
  auto* exit = file_menu->addAction(QStringLiteral("E&xit"), this, &QWidget::close);
  exit->setObjectName(QStringLiteral("mnuExit"));
  exit->setShortcut(QKeySequence::Quit);
  setCentralWidget(new QLabel(app_.Config().DatabasePath, this));
  statusBar()->showMessage(app_.Config().DatabasePath);
  resize(1024, 700);
}

void FormMain::closeEvent(QCloseEvent* event) {
  if (app_.EndProgram()) {
    event->ignore();
    return;
  }
  event->accept();
}

}  // namespace sonivera::ui
