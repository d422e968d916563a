// The main window's TX730 commands: import from and export to the serial
// audiometer. The link is armed at start-up for Series 4 and 5 (and again by
// the configuration window); its windows are made on first use.
#include <QAction>
#include <QMenu>
#include <QTableView>

#include "app/Application.h"
#include "instrument/CompanionLink.h"
#include "instrument/SerialLink.h"
#include "register/RecordEditor.h"
#include "register/Register.h"
#include "ui/FormMain.h"
#include "ui/FormTx730Transfer.h"

namespace sonivera::ui {

void FormMain::BuildTx730Commands() {
  AddAction(QStringLiteral("ImportTX730"), QStringLiteral("&Import from TX730..."),
            QStringLiteral("document-import"), QKeySequence(), &FormMain::mnuImportTX730);
  AddAction(QStringLiteral("ExportTX730"), QStringLiteral("E&xport to TX730..."),
            QStringLiteral("document-export"), QKeySequence(), &FormMain::mnuExportTX730);
  serial_link_ = std::make_unique<SerialLink>(app_.settings(), app_.Folder(), app_.Reporter());
  SerialLink& link = *serial_link_;
  link.on_export_allowed = [this](bool allowed) {
    Action(QStringLiteral("ExportTX730"))->setEnabled(allowed);
  };
  link.on_busy = [this](bool busy) {
    if (busy) {
      setCursor(Qt::BusyCursor);
    } else {
      unsetCursor();
    }
  };
  link.on_count = [this](int count) {
    if (import_tx730_ != nullptr) import_tx730_->SetCount(count);
  };
  link.on_passive_line = [this] { ImportTx730Window()->LineReceived(); };
  companion_->SetSerialPortRelease(
      {[this] { return serial_link_->IsOpen(); }, [this] { serial_link_->Close(); }});
  // The configuration window re-arms the link when it changes series or port.
  app_.SetSerialLink(this);
  const Settings& settings = app_.settings();
  if (IsPassiveSeries(settings.AudiometerSeries) && settings.SerialPortNumber != 0) {
    link.ArmReceiving();
  }
}

void FormMain::AddTx730Menu(QMenu* menu) {
  menu->addSeparator();
  menu->addAction(Action(QStringLiteral("ImportTX730")));
  menu->addAction(Action(QStringLiteral("ExportTX730")));
  // Passive reception keeps the export off; a series changed to 1 or 3 in
  // the configuration window gives it back.
  connect(menu, &QMenu::aboutToShow, this, [this] {
    if (!IsPassiveSeries(app_.settings().AudiometerSeries)) {
      Action(QStringLiteral("ExportTX730"))->setEnabled(true);
    }
  });
}

FormImportTx730* FormMain::ImportTx730Window() {
  if (import_tx730_ == nullptr) {
    Tx730WindowActions actions;
    actions.configure = [this] { Configure(); };
    actions.refresh_register = [this] {
      register_->BuildRegister();
      if (!register_->MoveToPatient(register_->Cursor().PatNo)) register_->GoToChosenRecord(0);
      SelectCurrentRow();
      RefreshRecord();
    };
    actions.grid_enabled = [this](bool enabled) { grid_->setEnabled(enabled); };
    actions.current_value = [this](RequestFilter option) -> QString {
      switch (option) {
        case RequestFilter::PatientNo:
          return shown_.PatNo;
        case RequestFilter::Surname:
          return shown_.Surname;
        case RequestFilter::Forenames:
          return shown_.Forenames;
        case RequestFilter::Position:
          return shown_.Details[kComboPositionRank];
        case RequestFilter::Department:
          return shown_.Details[kComboDeptUnit];
        case RequestFilter::Company:
          return shown_.Details[kComboCompany];
        case RequestFilter::DateOrBefore:
        case RequestFilter::DateOrAfter:
          return shown_.Dates[kBoxDateofTest];
        default:
          return QStringLiteral("Error");
      }
    };
    actions.run_dialog = [this](QDialog& dialog) { return RunDialog(dialog); };
    import_tx730_ = new FormImportTx730(app_, *serial_link_, *editor_, actions, this);
  }
  return import_tx730_;
}

FormExportTX730* FormMain::ExportTx730Window() {
  if (export_tx730_ == nullptr) {
    Tx730WindowActions actions;
    actions.configure = [this] { Configure(); };
    actions.refresh_register = [this] {
      SelectCurrentRow();
      RefreshRecord();
    };
    actions.grid_enabled = [this](bool enabled) { grid_->setEnabled(enabled); };
    actions.run_dialog = [this](QDialog& dialog) { return RunDialog(dialog); };
    export_tx730_ = new FormExportTX730(app_, *serial_link_, *register_, actions, this);
  }
  return export_tx730_;
}

void FormMain::OpenSerialLink() { serial_link_->ArmReceiving(); }

void FormMain::mnuImportTX730() {
  if (editor_->Editing()) return;
  ImportTx730Window()->Open();
}

void FormMain::mnuExportTX730() {
  if (editor_->Editing()) return;
  ExportTx730Window()->Open();
}

}  // namespace sonivera::ui
