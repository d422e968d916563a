#include "ui/Screenshots.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QGroupBox>
#include <QLineEdit>
#include <QPixmap>
#include <QPushButton>
#include <QTabWidget>
#include <QTableView>
#include <QTimer>

#include "register/Register.h"
#include "register/RegisterModel.h"
#include "ui/FormLogin.h"
#include "ui/DemoTx730.h"
#include "ui/FormMain.h"
#include "ui/FormPrint.h"
#include "ui/FormVision.h"
#include "ui/VisionStepPage.h"

namespace sonivera::ui {

namespace {
void Save(QWidget* widget, const QString& folder, const QString& name) {
  QDir().mkpath(folder);
  widget->grab().save(QDir(folder).filePath(name + QStringLiteral(".png")));
}

void Settle() {
  for (int i = 0; i < 5; ++i) QApplication::processEvents();
}
}  // namespace

void AnswerLoginForScreenshot(const QString& folder) {
  auto* poll = new QTimer(qApp);
  poll->setInterval(100);
  QObject::connect(poll, &QTimer::timeout, poll, [poll, folder] {
    auto* login = qobject_cast<FormLogin*>(QApplication::activeModalWidget());
    if (!login) return;
    poll->stop();
    if (auto* examiner = login->findChild<QLineEdit*>(QStringLiteral("Text2"))) {
      examiner->setText(QStringLiteral("Demo"));
    }
    Settle();
    Save(login, folder, QStringLiteral("login"));
    login->accept();
    poll->deleteLater();
  });
  poll->start();
}

// The vision window on a patient with a vision test: its register, details
// and several test steps, an acuity run in red among them.
void TakeVisionScreenshots(FormMain& window, const QString& folder) {
  FormVision* vision = window.VisionWindow();
  vision->ShowPatient(QString());
  vision->show();
  vision->resize(1280, 860);
  const char* names[] = {"vision-register", "vision-details"};
  for (int page = 0; page < 2; ++page) {
    vision->TabStrip1()->setCurrentIndex(page);
    Settle();
    Save(vision, folder, QLatin1String(names[page]));
  }
  vision->TabStrip1()->setCurrentIndex(FormVision::kTestPage);
  VisionStepPage* steps = vision->Steps();
  auto click = [steps](int step, const char* name) {
    if (auto* button = steps->Frame(step)->findChild<QPushButton*>(QLatin1String(name))) {
      button->click();
    }
  };
  vision->Action(QStringLiteral("Edit"))->trigger();
  const std::pair<int, const char*> pictures[] = {{0, "vision-step0-binocular"},
                                                 {1, "vision-step1-acuity"},
                                                 {2, "vision-step2-depth"},
                                                 {3, "vision-step3-colour"},
                                                 {5, "vision-step5-lateral"},
                                                 {10, "vision-step10-intermediate"},
                                                 {11, "vision-step11-peripheral"}};
  for (const auto& [step, name] : pictures) {
    while (vision->Editor().Entry().Step() < step) steps->NextButton()->click();
    if (step == 1) {
      // A run begun afresh: the judged answer letters in red.
      for (const char* command : {"CommandAcuityClear", "CommandPass", "CommandPass",
                                  "CommandPass", "CommandFail", "CommandPass", "CommandPass",
                                  "CommandFail"}) {
        click(1, command);
      }
    }
    Settle();
    Save(vision, folder, QLatin1String(name));
  }
  vision->Action(QStringLiteral("CancelEdit"))->trigger();
  vision->hide();
}

void TakeScreenshots(FormMain& window, const QString& folder) {
  QTimer::singleShot(300, &window, [&window, folder] {
    // A patient with several tests shows both rows of the chart.
    QTableView* grid = window.RegisterGrid();
    if (grid->model() && grid->model()->rowCount() > 2) grid->selectRow(2);
    const char* names[] = {"register", "details", "audiograms", "questionnaire"};
    for (int page = 0; page < 4; ++page) {
      window.Pages()->setCurrentIndex(page);
      Settle();
      Save(&window, folder, QLatin1String(names[page]));
    }
    if (QAction* key = window.Action(QStringLiteral("ColourKey"))) {
      window.Pages()->setCurrentIndex(FormMain::Tab(MainPage::Audiograms));
      key->trigger();
      Settle();
      Save(&window, folder, QStringLiteral("audiograms-key"));
    }
    TakePrintScreenshots(window.Reg().Model().TotalRows(),
                         [&folder](QWidget* widget, const QString& name) {
                           Save(widget, folder, name);
                         });
    TakeVisionScreenshots(window, folder);
    TakeTx730Screenshots(window, [&folder](QWidget* widget, const QString& name) {
      Save(widget, folder, name);
    });
    // A test fetched through the stand-in companion, open for review.
    if (QAction* fetch = window.Action(QStringLiteral("GetTest"))) {
      fetch->trigger();
      Settle();
      Save(&window, folder, QStringLiteral("audiograms-ux730"));
      if (QAction* cancel = window.Action(QStringLiteral("CancelEdit"))) cancel->trigger();
    }
    window.close();
  });
}

}  // namespace sonivera::ui
