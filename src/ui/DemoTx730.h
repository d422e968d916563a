#pragma once

#include <QProcess>
#include <QString>
#include <functional>

class QWidget;

namespace sonivera {
class Application;
}

namespace sonivera::ui {

class FormMain;

// Pictures of the TX730 windows for tools/screenshots.sh: the import window
// before and after a data request to the demonstration's audiometer, the
// data request window and the export window. `save` writes one picture.
void TakeTx730Screenshots(FormMain& window,
                          const std::function<void(QWidget*, const QString&)>& save);

// tx730-sim built with Sonivera ($SONIVERA_TX730_SIM, else found as
// FindDemoProgram says). Empty when none is found.
QString FindTx730Simulator();

// The demonstration's audiometer: the simulator on a pseudo-terminal holding
// new tests of a few demonstration patients and of two new ones, mapped to
// COM 9 in the folder's comports.txt and chosen as the Series 3 port. It ends
// with the program.
class DemoAudiometer {
 public:
  DemoAudiometer() = default;
  ~DemoAudiometer();
  DemoAudiometer(const DemoAudiometer&) = delete;
  DemoAudiometer& operator=(const DemoAudiometer&) = delete;

  // False (and the settings left alone) when the simulator is not there or
  // did not start.
  bool Start(Application& app);

  static constexpr int kPort = 9;

 private:
  QProcess process_;
};

}  // namespace sonivera::ui
