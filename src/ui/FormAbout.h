#pragma once

#include <QDialog>

namespace sonivera {
class Application;
}

namespace sonivera::ui {

// The About window: product title, version, and the companion program's
// version when one is installed in the program folder.
class FormAbout : public QDialog {
  Q_OBJECT
 public:
  explicit FormAbout(Application& app, QWidget* parent = nullptr);

  // The companion program's version line, or the text saying none is
  // installed.
  static QString CompanionVersion(const QString& program_folder);
};

}  // namespace sonivera::ui
