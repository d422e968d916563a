#pragma once

#include <QMainWindow>

namespace sonivera {
class Application;
}

namespace sonivera::ui {

class GuiPrompter;

// The main audiometry window.
class FormMain : public QMainWindow {
  Q_OBJECT
 public:
  FormMain(Application& app, GuiPrompter& prompter, QWidget* parent = nullptr);

 protected:
  void closeEvent(QCloseEvent* event) override;

 private:
  Application& app_;
};

}  // namespace sonivera::ui
