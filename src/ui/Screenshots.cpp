#include "ui/Screenshots.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QLineEdit>
#include <QPixmap>
#include <QTabWidget>
#include <QTableView>
#include <QTimer>

#include "register/RegisterModel.h"
#include "ui/FormLogin.h"
#include "ui/FormMain.h"

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
    window.close();
  });
}

}  // namespace sonivera::ui
