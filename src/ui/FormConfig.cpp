#include "ui/FormConfig.h"

#include <QApplication>
#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QEvent>
#include <QFocusEvent>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSlider>
#include <QTabWidget>
#include <QVBoxLayout>

#include "app/Application.h"
#include "base/Messages.h"
#include "config/Maintenance.h"
#include "config/PortList.h"
#include "config/UserFiles.h"
#include "ui/FormAgeTables.h"
#include "ui/FormPassword.h"
#include "ui/FormRecat.h"

namespace sonivera::ui {

namespace {
QPushButton* Button(QWidget* parent, const char* name, const QString& caption) {
  auto* button = new QPushButton(caption, parent);
  button->setObjectName(QLatin1String(name));
  button->setAutoDefault(false);
  return button;
}

QPlainTextEdit* UserFileBox(QWidget* parent, const char* name) {
  auto* box = new QPlainTextEdit(parent);
  box->setObjectName(QLatin1String(name));
  box->setReadOnly(true);
  box->setLineWrapMode(QPlainTextEdit::NoWrap);
  return box;
}
}  // namespace

FormConfig::FormConfig(Application& app, QWidget* parent)
    : QDialog(parent), app_(app), session_(std::make_unique<ConfigSession>(app.ForConfig())) {
  setObjectName(QStringLiteral("FormConfig"));
  setWindowTitle(Msg(600));
  tab_strip_ = new QTabWidget(this);
  tab_strip_->setObjectName(QStringLiteral("TabStrip1"));
  tab_strip_->addTab(BuildBackupPage(), Msg(611));
  tab_strip_->addTab(BuildDatabaseSetupPage(), Msg(612));
  tab_strip_->addTab(BuildQuestionnairePage(), Msg(613));
  tab_strip_->addTab(BuildTestAnalysisPage(), Msg(614));
  tab_strip_->addTab(BuildConnectionPage(), Msg(615));

  auto* command_ok = Button(this, "CommandOK", Msg(11));
  command_ok->setDefault(true);
  auto* command_cancel = Button(this, "CommandCanel", Msg(12));
  connect(command_ok, &QPushButton::clicked, this, &FormConfig::CommandOKClick);
  connect(command_cancel, &QPushButton::clicked, this, &FormConfig::reject);
  auto* buttons = new QHBoxLayout;
  buttons->addStretch();
  buttons->addWidget(command_ok);
  buttons->addWidget(command_cancel);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(tab_strip_, 1);
  layout->addLayout(buttons);

  FillUserBoxes();
  ShowSchemeChecks();
  resize(620, 480);
}

FormConfig::~FormConfig() = default;

QWidget* FormConfig::BuildBackupPage() {
  auto* page = new QWidget;
  database_path_box_ = new QLineEdit(app_.settings().DatabaseFileBox, page);
  database_path_box_->setObjectName(QStringLiteral("Text2"));
  database_path_box_->setReadOnly(true);
  auto* command_backup = Button(page, "CommandBackup", Msg(601));
  auto* command_repair = Button(page, "CommandRepair", Msg(602));
  auto* command_browse = Button(page, "CommandBrowse", Msg(604));
  auto* command_password = Button(page, "CommandPassword", Msg(606));
  connect(command_backup, &QPushButton::clicked, this, &FormConfig::CommandBackupClick);
  connect(command_repair, &QPushButton::clicked, this, &FormConfig::CommandRepairClick);
  connect(command_browse, &QPushButton::clicked, this, &FormConfig::CommandBrowseClick);
  connect(command_password, &QPushButton::clicked, this, &FormConfig::CommandPasswordClick);
  auto* file_row = new QHBoxLayout;
  file_row->addWidget(new QLabel(Msg(3131), page));
  file_row->addWidget(database_path_box_, 1);
  file_row->addWidget(command_browse);
  auto* frame = new QGroupBox(Msg(3626), page);
  auto* maintenance = new QVBoxLayout(frame);
  maintenance->addWidget(command_backup);
  maintenance->addWidget(command_repair);
  maintenance->addWidget(command_password);
  auto* layout = new QVBoxLayout(page);
  layout->addLayout(file_row);
  layout->addWidget(frame);
  layout->addStretch();
  return page;
}

QWidget* FormConfig::BuildDatabaseSetupPage() {
  auto* page = new QWidget;
  text_patdetails_ = UserFileBox(page, "TextPatDetails");
  auto* command_edit = Button(page, "CommandEditPatDetails", Msg(608));
  connect(command_edit, &QPushButton::clicked, this, &FormConfig::CommandEditPatDetailsClick);
  auto* layout = new QVBoxLayout(page);
  layout->addWidget(new QLabel(Msg(3624), page));
  layout->addWidget(text_patdetails_, 1);
  layout->addWidget(command_edit, 0, Qt::AlignLeft);
  return page;
}

QWidget* FormConfig::BuildQuestionnairePage() {
  auto* page = new QWidget;
  questionnaire_box_ = UserFileBox(page, "Text1");
  auto* command_edit = Button(page, "CommandEdit", Msg(608));
  connect(command_edit, &QPushButton::clicked, this, &FormConfig::CommandEditClick);
  auto* layout = new QVBoxLayout(page);
  layout->addWidget(new QLabel(Msg(3623), page));
  layout->addWidget(questionnaire_box_, 1);
  layout->addWidget(command_edit, 0, Qt::AlignLeft);
  return page;
}

QCheckBox* FormConfig::SchemeBox(const char* name, int caption, bool SchemeChecks::*field) {
  auto* box = new QCheckBox(Msg(caption));
  box->setObjectName(QLatin1String(name));
  scheme_boxes_.emplace_back(box, field);
  // The boxes are the live switches of categorisation.
  connect(box, &QCheckBox::toggled, this,
          [this, field](bool ticked) { app_.Schemes().*field = ticked; });
  return box;
}

QWidget* FormConfig::BuildTestAnalysisPage() {
  auto* page = new QWidget;
  frame_hse_ = new QGroupBox(Msg(3608), page);
  frame_hse_->setObjectName(QStringLiteral("FrameHSE"));
  auto* hse = new QVBoxLayout(frame_hse_);
  hse->addWidget(SchemeBox("CheckHSE", 3600, &SchemeChecks::CheckHSE));
  for (const auto& [name, caption, field] :
       {std::tuple{"CheckNIHL", 3604, &SchemeChecks::CheckNIHL},
        std::tuple{"CheckSTS", 3605, &SchemeChecks::CheckSTS},
        std::tuple{"CheckIA", 3606, &SchemeChecks::CheckIA}}) {
    QCheckBox* never_shown = SchemeBox(name, caption, field);
    never_shown->setParent(frame_hse_);
    never_shown->setVisible(false);
  }
  hse->addWidget(SchemeBox("CheckBA", 3607, &SchemeChecks::CheckBA));
  frame_french_ = new QGroupBox(Msg(3609), page);
  frame_french_->setObjectName(QStringLiteral("FrameFrench"));
  auto* french = new QVBoxLayout(frame_french_);
  french->addWidget(SchemeBox("CheckMP42", 3601, &SchemeChecks::CheckMP42));
  french->addWidget(SchemeBox("CheckPAM", 3602, &SchemeChecks::CheckPAM));
  french->addWidget(SchemeBox("CheckIPA", 3603, &SchemeChecks::CheckIPA));
  const bool french_locale = IsFrenchLocale(app_.UserLocale());
  frame_hse_->setVisible(!french_locale);
  frame_french_->setVisible(french_locale);

  const ChartOptions& chart = app_.settings().chart;
  auto* chart_frame = new QGroupBox(Msg(3610), page);
  check_band_ = new QCheckBox(Msg(3611), chart_frame);
  check_band_->setObjectName(QStringLiteral("CheckBand"));
  check_band_->setChecked(chart.CheckBand);
  check_band_print_ = new QCheckBox(Msg(3612), chart_frame);
  check_band_print_->setObjectName(QStringLiteral("CheckBandPrint"));
  check_band_print_->setChecked(chart.CheckBandPrint);
  check_band_print_->setEnabled(chart.CheckBandPrintEnabled);
  check_predictive_ = new QCheckBox(Msg(3613), chart_frame);
  check_predictive_->setObjectName(QStringLiteral("CheckPredictive"));
  check_predictive_->setChecked(chart.CheckPredictive);
  connect(check_band_, &QCheckBox::toggled, this, [this](bool ticked) {
    session_->SetBand(ticked);
    check_band_print_->setEnabled(ticked);
    emit ChartsNeedRedraw();
  });
  connect(check_band_print_, &QCheckBox::toggled, this,
          [this](bool ticked) { session_->SetBandPrint(ticked); });
  connect(check_predictive_, &QCheckBox::toggled, this, [this](bool ticked) {
    session_->SetPredictive(ticked);
    emit ChartsNeedRedraw();
  });
  auto* chart_layout = new QVBoxLayout(chart_frame);
  chart_layout->addWidget(check_band_);
  chart_layout->addWidget(check_band_print_);
  chart_layout->addWidget(check_predictive_);

  auto* cmd_recategorise = Button(page, "cmdRecategorise", Msg(820));
  auto* cmd_view_age_tables = Button(page, "cmdViewAgeTables", Msg(3614));
  connect(cmd_recategorise, &QPushButton::clicked, this, &FormConfig::CmdRecategoriseClick);
  connect(cmd_view_age_tables, &QPushButton::clicked, this, &FormConfig::CmdViewAgeTablesClick);
  auto* schemes = new QHBoxLayout;
  schemes->addWidget(frame_hse_);
  schemes->addWidget(frame_french_);
  schemes->addWidget(chart_frame);
  auto* commands = new QHBoxLayout;
  commands->addWidget(cmd_recategorise);
  commands->addWidget(cmd_view_age_tables);
  commands->addStretch();
  auto* layout = new QVBoxLayout(page);
  layout->addLayout(schemes);
  layout->addLayout(commands);
  layout->addStretch();
  return page;
}

QWidget* FormConfig::BuildConnectionPage() {
  auto* page = new QWidget;
  Settings& settings = app_.settings();
  auto* series_frame = new QGroupBox(Msg(3615), page);
  auto* series_layout = new QVBoxLayout(series_frame);
  auto* group = new QButtonGroup(this);
  for (int i = 0; i < 4; ++i) {
    auto* option = new QRadioButton(Msg(3616 + i), series_frame);
    option->setObjectName(QStringLiteral("OptionTX730Model_%1").arg(i));
    option_tx730_model_[i] = option;
    group->addButton(option, i);
    series_layout->addWidget(option);
  }
  option_tx730_model_[static_cast<int>(settings.series_option)]->setChecked(true);
  connect(group, &QButtonGroup::idToggled, this, [this](int id, bool on) {
    if (!on) return;
    session_->SelectSeries(static_cast<SeriesOption>(id));
    emit ImportCaptionChanged(ImportWindowCaption(app_.settings()));
  });

  combo_ports_ = new QComboBox(page);
  combo_ports_->setObjectName(QStringLiteral("ComboPorts"));
  combo_ports_->setEditable(true);
  combo_ports_->setInsertPolicy(QComboBox::NoInsert);
  // The box itself holds the focus; its edit line only mirrors it.
  combo_ports_->installEventFilter(this);
  FillPorts();
  connect(combo_ports_, &QComboBox::activated, this,
          [this](int index) { session_->ChoosePort(combo_ports_->itemText(index)); });

  slider_gap_ = new QSlider(Qt::Horizontal, page);
  slider_gap_->setObjectName(QStringLiteral("SliderRS232Gap"));
  slider_gap_->setRange(0, kGapSliderMaximum);
  slider_gap_->setTickPosition(QSlider::TicksBelow);
  slider_gap_->setTickInterval(5);
  slider_gap_->setValue(GapToSlider(settings.Rs232Gap));
  label_gap_ = new QLabel(page);
  label_gap_->setMinimumWidth(48);
  const auto show_gap = [this] {
    label_gap_->setText(QString::number(app_.settings().Rs232Gap, 'f', 1) + Msg(3622));
  };
  show_gap();
  connect(slider_gap_, &QSlider::valueChanged, this, [this, show_gap](int position) {
    session_->SetGap(position);
    show_gap();
  });
  auto* gap_row = new QHBoxLayout;
  gap_row->addWidget(slider_gap_, 1);
  gap_row->addWidget(label_gap_);

  auto* form = new QFormLayout;
  form->addRow(Msg(3620), combo_ports_);
  form->addRow(Msg(3621), gap_row);
  auto* layout = new QVBoxLayout(page);
  layout->addWidget(series_frame);
  layout->addLayout(form);
  layout->addStretch();
  return page;
}

void FormConfig::FillPorts() {
  const QSignalBlocker block(combo_ports_);
  combo_ports_->clear();
  const QStringList items = ProbePortList(app_.Folder());
  combo_ports_->addItems(items);
  const int index = PortItemIndex(items, app_.settings().SerialPortNumber);
  if (index >= 0) {
    combo_ports_->setCurrentIndex(index);
  } else {
    combo_ports_->setEditText(QStringLiteral("COM %1").arg(app_.settings().SerialPortNumber));
  }
}

void FormConfig::ShowSchemeChecks() {
  const SchemeChecks& checks = app_.Schemes();
  for (const auto& [box, field] : scheme_boxes_) {
    const QSignalBlocker block(box);
    box->setChecked(checks.*field);
  }
}

void FormConfig::FillUserBoxes() {
  questionnaire_box_->setPlainText(BoxText(session_->QuestionnaireLines()));
  questionnaire_box_->setReadOnly(true);
  text_patdetails_->setPlainText(BoxText(session_->PatDetailsLines()));
  text_patdetails_->setReadOnly(true);
}

bool FormConfig::eventFilter(QObject* watched, QEvent* event) {
  // Opening the box's own list is not leaving it.
  if (watched == combo_ports_ && event->type() == QEvent::FocusOut &&
      static_cast<QFocusEvent*>(event)->reason() != Qt::PopupFocusReason) {
    ComboPortsLeft();
  }
  return QDialog::eventFilter(watched, event);
}

void FormConfig::ComboPortsLeft() {
  if (!session_->LeavePorts(combo_ports_->currentText())) {
    const QSignalBlocker block(combo_ports_);
    const int index =
        PortItemIndex(BuildPortList([](int) { return false; }), app_.settings().SerialPortNumber);
    if (index >= 0) combo_ports_->setCurrentIndex(index);
  }
}

void FormConfig::CommandBackupClick() { MakeBackup(app_.ForConfig()); }

void FormConfig::CommandRepairClick() {
  QApplication::setOverrideCursor(Qt::WaitCursor);
  RepairDatabase(app_.ForConfig());
  QApplication::restoreOverrideCursor();
  emit RegisterNeedsRefresh(QString());
}

void FormConfig::CommandBrowseClick() {
  BrowseDatabase(app_.ForConfig());
  database_path_box_->setText(app_.settings().DatabaseFileBox);
}

void FormConfig::CommandPasswordClick() { FormPassword::Open(app_, this); }

void FormConfig::CommandEditClick() {
  if (session_->CommandEdit(BoxTextLines(questionnaire_box_->toPlainText()))) {
    questionnaire_box_->setReadOnly(false);
    questionnaire_box_->setFocus();
  }
}

void FormConfig::CommandEditPatDetailsClick() {
  if (session_->CommandEditPatDetails(BoxTextLines(text_patdetails_->toPlainText()))) {
    text_patdetails_->setReadOnly(false);
    text_patdetails_->setFocus();
  }
}

void FormConfig::CmdRecategoriseClick() {
  FormRecat recat(app_, this);
  connect(&recat, &FormRecat::InterferingMenusEnabled, this, &FormConfig::InterferingMenusEnabled);
  connect(&recat, &FormRecat::ProgressChanged, this, &FormConfig::RecategoriseProgress);
  connect(&recat, &FormRecat::RegisterNeedsRefresh, this, &FormConfig::RegisterNeedsRefresh);
  const RecategoriseOutcome outcome = recat.Run();
  if (!outcome.cancelled) recat.exec();
}

void FormConfig::CmdViewAgeTablesClick() {
  FormAgeTables tables(app_, this);
  tables.exec();
}

void FormConfig::CommandOKClick() {
  const auto outcome = session_->CommandOK(BoxTextLines(questionnaire_box_->toPlainText()),
                                           BoxTextLines(text_patdetails_->toPlainText()));
  if (outcome.questionnaire_rewritten) {
    questionnaire_box_->setPlainText(BoxText(session_->QuestionnaireLines()));
    questionnaire_box_->setReadOnly(true);
    emit QuestionsReloaded(session_->QuestionnaireLines());
  }
  if (outcome.patdetails_rewritten) text_patdetails_->setReadOnly(true);
  if (outcome.close) accept();
}

void FormConfig::reject() {
  session_->CommandCancel();
  FillUserBoxes();
  ShowSchemeChecks();
  QDialog::reject();
}

}  // namespace sonivera::ui
