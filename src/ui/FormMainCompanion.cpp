// The main window's PC audiometer commands: Test and Get Data run the
// companion program into a new record left open for review, Send Data passes
// the register to it, and the port window chooses its port. The link and the
// record flow are in the core; the window keeps the commands off while the
// companion runs and offers a Cancel that ends it.
#include <QAction>
#include <QApplication>
#include <QFileInfo>
#include <QMenu>
#include <QPushButton>
#include <QStatusBar>
#include <QTabWidget>
#include <QTableView>

#include "app/Application.h"
#include "base/AppError.h"
#include "instrument/CommPort.h"
#include "instrument/CompanionRecord.h"
#include "interchange/RegisterExport.h"
#include "interchange/RegisterImport.h"
#include "register/RecordEditor.h"
#include "register/Register.h"
#include "register/RegisterModel.h"
#include "ui/FormCommPort.h"
#include "ui/FormMain.h"

namespace sonivera::ui {

namespace {
// The commands the companion's run keeps off: they would write the record it
// fills, or start a second run.
const char* const kOffWhileRunning[] = {"Post", "Edit", "UX730", "GetTest", "SendData", "CommPort"};
}  // namespace

void FormMain::BuildCompanionCommands() {
  using K = QKeySequence;
  AddAction(QStringLiteral("UX730"), QStringLiteral("&Test"), QStringLiteral("audio-headphones"),
            K(Qt::CTRL | Qt::SHIFT | Qt::Key_U), &FormMain::mnuTest)
      ->setIconText(QStringLiteral("UX730"));
  AddAction(QStringLiteral("GetTest"), QStringLiteral("&Get Data"),
            QStringLiteral("document-open-remote"), K(Qt::CTRL | Qt::SHIFT | Qt::Key_G),
            &FormMain::mnuGetData)
      ->setIconText(QStringLiteral("GetTest"));
  AddAction(QStringLiteral("SendData"), QStringLiteral("&Send Data"),
            QStringLiteral("document-send"), K(), &FormMain::mnuSendData);
  AddAction(QStringLiteral("CommPort"), QStringLiteral("Change &Com Port..."),
            QStringLiteral("preferences-system"), K(), &FormMain::mnuCommPort);

  CompanionHooks hooks;
  hooks.on_running = [this](bool running) { CompanionRunning(running); };
  hooks.export_register = [this](const QString& path) {
    return ExportRegisterCsv(app_.Folder(), app_.Db(), app_.Reporter(), QFileInfo(path).fileName(),
                             ShownRegisterRows(app_.Db().Conn(), *register_))
        .written;
  };
  hooks.import_csv = [this](const QString& path) {
    RegisterImporter(app_.ForImport(*editor_, register_.get()))
        .ChooseAndImport(QFileInfo(path).fileName());
  };
  companion_ = std::make_unique<CompanionLink>(app_.Folder(), app_.settings().PcAudiometerPort,
                                               app_.Reporter(), hooks);
  companion_cancel_ = new QPushButton(QStringLiteral("Cancel"), this);
  companion_cancel_->setObjectName(QStringLiteral("CancelCompanion"));
  companion_cancel_->setToolTip(
      QStringLiteral("Stop waiting for the companion program and end it"));
  companion_cancel_->hide();
  connect(companion_cancel_, &QPushButton::clicked, this, [this] { companion_->Cancel(); });
  statusBar()->addPermanentWidget(companion_cancel_);
}

void FormMain::AddCompanionMenu(QMenu* menu) {
  menu->addSeparator();
  for (const char* key : {"UX730", "GetTest", "SendData"}) menu->addAction(Action(key));
  menu->addSeparator();
  menu->addAction(Action(QStringLiteral("CommPort")));
}

void FormMain::CompanionRunning(bool running) {
  app_.SetTestRunning(running);
  for (const char* key : kOffWhileRunning) {
    if (QAction* action = Action(QLatin1String(key))) action->setEnabled(!running);
  }
  grid_->setEnabled(!running);
  companion_cancel_->setVisible(running);
  if (running) {
    QApplication::setOverrideCursor(Qt::BusyCursor);
    statusBar()->showMessage(QStringLiteral("Waiting for the companion program..."));
  } else {
    QApplication::restoreOverrideCursor();
    statusBar()->clearMessage();
  }
}

void FormMain::mnuTest() { RunCompanionCommand(true); }

void FormMain::mnuGetData() { RunCompanionCommand(false); }

void FormMain::RunCompanionCommand(bool launch) {
  if (companion_->Running()) return;
  ReadBoxes();
  companion_->SetPort(app_.settings().PcAudiometerPort);
  const auto outcome =
      RunCompanionOnRecord(*companion_, *editor_, app_.Db().Conn(), app_.Categorisation().grid,
                           launch, register_->Model().TotalRows() == 0, register_->Cursor().PatNo);
  switch (outcome.kind) {
    case CompanionOutcome::kTest:
      // Open for the examiner to review and save.
      UpdateEditState();
      ShowEntries(editor_->Entries());
      tabs_->setCurrentIndex(Tab(MainPage::Audiograms));
      break;
    case CompanionOutcome::kCsvResult:
      AfterImport();
      break;
    case CompanionOutcome::kNothing:
      SelectCurrentRow();
      RefreshRecord();
      break;
  }
  UpdateEditState();
}

void FormMain::mnuSendData() {
  if (editor_->Editing() || companion_->Running()) return;
  companion_->SetPort(app_.settings().PcAudiometerPort);
  companion_->SendData();
  UpdateEditState();
}

void FormMain::mnuCommPort() {
  FormCommPort window(CommPortFromSetting(app_.settings().PcAudiometerPort), this);
  if (RunDialog(window) != QDialog::Accepted) return;
  if (!StoreCommPort(app_.Folder(), app_.settings(), window.Chosen())) {
    app_.Reporter().Report(QStringLiteral("ux730.ini could not be written"),
                           errnum::kPermissionDenied, QStringLiteral("formcommport"));
  }
  companion_->SetPort(app_.settings().PcAudiometerPort);
}

}  // namespace sonivera::ui
