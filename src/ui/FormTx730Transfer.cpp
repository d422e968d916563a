#include "ui/FormTx730Transfer.h"

#include <QApplication>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>

#include "ui/DialogButtons.h"

#include "app/Application.h"
#include "base/TextFiles.h"
#include "instrument/SerialLink.h"
#include "instrument/Tx730Export.h"
#include "instrument/Tx730Store.h"
#include "interchange/RegisterExport.h"
#include "register/RecordEditor.h"
#include "register/Register.h"
#include "ui/FormTx730Small.h"

namespace sonivera::ui {

namespace {

QLineEdit* CountFrame(QWidget* parent, QVBoxLayout* layout) {
  auto* frame = new QGroupBox(QStringLiteral("Lines of data in buffer"), parent);
  auto* inner = new QHBoxLayout(frame);
  auto* count = new QLineEdit(QStringLiteral("0"), frame);
  count->setObjectName(QStringLiteral("TextCount"));
  count->setReadOnly(true);
  inner->addWidget(count);
  layout->addWidget(frame);
  return count;
}

void SetBusy(QWidget* widget, bool busy) {
  if (busy) {
    widget->setCursor(Qt::BusyCursor);
  } else {
    widget->unsetCursor();
  }
}

int Run(const Tx730WindowActions& actions, QDialog& dialog) {
  return actions.run_dialog ? actions.run_dialog(dialog) : dialog.exec();
}

QString ConversionText(const SerialLink& link, const QString& name) {
  const auto lines = ReadTextLines(link.Folder().File(name));
  return lines ? lines->join(u'\n') : QString();
}
}  // namespace

FormImportTx730::FormImportTx730(Application& app, SerialLink& link, RecordEditor& editor,
                                 Tx730WindowActions actions, QWidget* parent)
    : QDialog(parent), app_(app), link_(link), editor_(editor), actions_(std::move(actions)) {
  setObjectName(QStringLiteral("FormImportTx730"));
  setModal(false);
  auto* layout = new QVBoxLayout(this);
  instruction_ = new QLabel(this);
  instruction_->setObjectName(QStringLiteral("LabelInstruction"));
  layout->addWidget(instruction_);
  count_ = CountFrame(this, layout);
  auto* buttons = new QHBoxLayout;
  import_ = MakeNamedButton(this, QStringLiteral("CommandImport"), QStringLiteral("&Import"));
  store_ = MakeNamedButton(this, QStringLiteral("CommandStore"), QStringLiteral("&Store"));
  view_ = MakeNamedButton(this, QStringLiteral("CommandView"), QStringLiteral("&View"));
  configure_ =
      MakeNamedButton(this, QStringLiteral("CommandConfigure"), QStringLiteral("Con&figure"));
  auto* cancel = MakeNamedButton(this, QStringLiteral("CommandCancel"), QStringLiteral("Cancel"));
  for (auto* b : {import_, store_, view_, configure_, cancel}) buttons->addWidget(b);
  layout->addLayout(buttons);
  connect(import_, &QPushButton::clicked, this, &FormImportTx730::Import);
  connect(store_, &QPushButton::clicked, this, &FormImportTx730::Store);
  connect(view_, &QPushButton::clicked, this, &FormImportTx730::View);
  connect(configure_, &QPushButton::clicked, this, [this] {
    if (!editor_.Editing() && actions_.configure) actions_.configure();
  });
  connect(cancel, &QPushButton::clicked, this, &FormImportTx730::Cancel);
}

void FormImportTx730::SetCount(int count) { count_->setText(QString::number(count)); }

void FormImportTx730::Open() {
  const QString series = link_.Config().AudiometerSeries.toUpper();
  setWindowTitle(QStringLiteral("Import from TX730 Series ") + series.mid(1));
  const bool passive = IsPassiveSeries(series);
  if (series == QLatin1String("S5")) {
    instruction_->setText(QStringLiteral("Choose 'Data Export' from the Series 5 audiometer"));
  } else if (series == QLatin1String("S4")) {
    instruction_->setText(QStringLiteral("Choose 'RS232 Export' from the Series 4 audiometer"));
  } else {
    instruction_->clear();
  }
  instruction_->setVisible(passive);
  import_->setEnabled(!passive);
  if (!passive) {
    link_.ClearTransfer();
    SetCount(0);
  }
  link_.LinkArmed = true;
  show();
  raise();
}

void FormImportTx730::LineReceived() {
  link_.ParseNewLines();
  if (!isVisible()) Open();
  import_->setEnabled(false);
}

TransferHooks FormImportTx730::Hooks() {
  TransferHooks hooks;
  hooks.hide_request = [this] {
    if (request_) request_->hide();
  };
  hooks.buttons_enabled = [this](bool enabled) {
    import_->setEnabled(enabled);
    store_->setEnabled(enabled);
  };
  hooks.busy = [this](bool busy) { SetBusy(this, busy); };
  hooks.count = [this](int count) { SetCount(count); };
  return hooks;
}

void FormImportTx730::StartRequest(RequestFilter option, const QString& text) {
  StartTx730Import(link_, option, text, Hooks());
}

void FormImportTx730::Import() {
  if (IsSeries1ConversionFile(link_.Config().ConversionFile)) {
    StartRequest(RequestFilter::NotChosen, QString());
    return;
  }
  FormTX730Filter request(this);
  request.current = actions_.current_value;
  request.start = [this](RequestFilter option, const QString& text) { StartRequest(option, text); };
  request_ = &request;
  Run(actions_, request);
  request_ = nullptr;
}

void FormImportTx730::Store() {
  Tx730Store store(app_.Db(), app_.Reporter(), editor_, app_.Ask());
  store.ask_series1_details = [this](int number, EntryFields& entries) {
    const QString sex = entries.OptionMale     ? QStringLiteral("M")
                        : entries.OptionFemale ? QStringLiteral("F")
                                               : QString();
    FormS1PatSex details(number, sex, IsEmptyBox(entries.DOB) ? QString() : entries.DOB,
                         this);
    if (Run(actions_, details) != QDialog::Accepted) return;
    entries.SetSex(details.Sex() == QLatin1String("M")   ? QStringLiteral("Male")
                   : details.Sex() == QLatin1String("F") ? QStringLiteral("Female")
                                                         : QString());
    const auto date = ParseDateBox(details.DateOfBirth());
    entries.DOB = date && date->isValid() ? details.DateOfBirth() : kEmptyDateBox;
  };
  store.close_window = [this] { hide(); };
  if (actions_.grid_enabled) actions_.grid_enabled(false);
  SetBusy(this, true);
  const Tx730StoreOutcome outcome =
      store.Store(link_.Buffer(), link_.Config().AudiometerSeries, count_->text());
  SetBusy(this, false);
  if (actions_.grid_enabled) actions_.grid_enabled(true);
  if (outcome.stored) {
    link_.ClearTransfer();
    SetCount(0);
  }
  if (actions_.refresh_register) actions_.refresh_register();
}

void FormImportTx730::View() {
  QStringList lines;
  for (int i = 0; i < link_.Framing().FramedLines(); ++i) lines << link_.Framing().Lines()[i];
  FormViewTX730 view(lines.join(QStringLiteral("\r\n")), link_.Config().ConversionFile,
                     ConversionText(link_, link_.Config().ConversionFile), this);
  Run(actions_, view);
}

void FormImportTx730::Cancel() {
  if (link_.TransferRequested) {
    link_.StopRequested = true;
    return;
  }
  link_.ClearTransfer();
  SetCount(0);
  hide();
}

FormExportTX730::FormExportTX730(Application& app, SerialLink& link, Register& reg,
                                 Tx730WindowActions actions, QWidget* parent)
    : QDialog(parent), app_(app), link_(link), register_(reg), actions_(std::move(actions)) {
  setObjectName(QStringLiteral("FormExportTX730"));
  setWindowTitle(QStringLiteral("Export to TX730"));
  auto* layout = new QVBoxLayout(this);
  count_ = CountFrame(this, layout);
  progress_ = new QProgressBar(this);
  progress_->setObjectName(QStringLiteral("ProgressBar1"));
  progress_->setValue(0);
  layout->addWidget(progress_);
  auto* buttons = new QHBoxLayout;
  configure_ =
      MakeNamedButton(this, QStringLiteral("CommandConfigure"), QStringLiteral("Con&figure"));
  view_ = MakeNamedButton(this, QStringLiteral("CommandView"), QStringLiteral("&View"));
  export_ = MakeNamedButton(this, QStringLiteral("CommandExport"), QStringLiteral("&Export"));
  auto* cancel = MakeNamedButton(this, QStringLiteral("CommandCancel"), QStringLiteral("Cancel"));
  for (auto* b : {configure_, view_, export_, cancel}) buttons->addWidget(b);
  layout->addLayout(buttons);
  connect(configure_, &QPushButton::clicked, this, [this] {
    if (actions_.configure) actions_.configure();
  });
  connect(view_, &QPushButton::clicked, this, &FormExportTX730::View);
  connect(export_, &QPushButton::clicked, this, &FormExportTX730::Export);
  connect(cancel, &QPushButton::clicked, this, &FormExportTX730::Cancel);
}

void FormExportTX730::Open() {
  link_.LinkArmed = true;
  progress_->setValue(0);
  show();
  raise();
}

void FormExportTX730::Export() {
  auto& conn = app_.Db().Conn();
  const auto rows = ShownRegisterRows(conn, register_).keys;
  progress_->setMaximum(std::max(1, ExportCount(conn, rows, register_.FilterOn())));
  TransferHooks hooks;
  hooks.buttons_enabled = [this](bool enabled) {
    for (auto* b : {configure_, view_, export_}) b->setEnabled(enabled);
  };
  hooks.busy = [this](bool busy) { SetBusy(this, busy); };
  hooks.count = [this](int count) { count_->setText(QString::number(count)); };
  hooks.progress = [this](int value) { progress_->setValue(value); };
  hooks.grid_enabled = actions_.grid_enabled;
  hooks.refresh_register = actions_.refresh_register;
  hooks.close_window = [this] { hide(); };
  ExportToTx730(link_, conn, rows, register_.FilterOn(), hooks);
}

void FormExportTX730::View() {
  auto& conn = app_.Db().Conn();
  try {
    const ImportBuffer buffer =
        BuildExportBuffer(conn, ShownRegisterRows(conn, register_).keys, register_.FilterOn(),
                          [this](int count) { count_->setText(QString::number(count)); });
    ConversionFile conversion = ConversionFile::Open(link_.Folder().File(kSeries3ConversionFile));
    FormViewTX730 view(ExportViewText(conversion, buffer), kSeries3ConversionFile,
                       conversion.Lines().join(u'\n'), this);
    Run(actions_, view);
  } catch (const std::exception& error) {
    const auto failure = db::DescribeFailure(error);
    app_.Reporter().ShowAndLog(
        StandardErrorText(failure.description, failure.number,
                          QStringLiteral(" (formexporttx730 commandexport_click)")));
  }
}

void FormExportTX730::Cancel() {
  if (link_.TransferRequested) {
    link_.StopRequested = true;
    return;
  }
  hide();
}

}  // namespace sonivera::ui
