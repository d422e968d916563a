#include "ui/FormMain.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QDialog>
#include <QHeaderView>
#include <QIcon>
#include <QItemSelectionModel>
#include <QLabel>
#include <QMenuBar>
#include <QPainter>
#include <QPixmap>
#include <QPolygonF>
#include <QScreen>
#include <QScrollBar>
#include <QStatusBar>
#include <QTabWidget>
#include <QTableView>
#include <QToolBar>
#include <QVBoxLayout>

#include "app/Application.h"
#include "base/Messages.h"
#include "instrument/CompanionLink.h"
#include "instrument/SerialLink.h"
#include "questionnaire/Questionnaire.h"
#include "questionnaire/QuestionnaireModel.h"
#include "register/RecordEditor.h"
#include "register/Register.h"
#include "ui/DetailsPage.h"
#include "ui/FormTx730Transfer.h"
#include "ui/FormVision.h"
#include "ui/PicGraph.h"
#include "ui/RecordShortcuts.h"
#include "ui/RegisterGrid.h"
#include "ui/ReportPrinting.h"
#include "ui/ResultsPage.h"

namespace sonivera::ui {

namespace {
// Twips are 1/1440 inch; the grid's widths follow the screen's resolution.
int TwipsToPixels(int twips, const QWidget* widget) {
  const double dpi = widget->logicalDpiX() > 0 ? widget->logicalDpiX() : 96.0;
  return static_cast<int>(twips * dpi / 1440.0 + 0.5);
}

// A funnel, for themes that have no filter icon.
QIcon FunnelIcon() {
  QIcon icon;
  for (int size : {16, 24, 32, 48}) {
    QPixmap pixmap(size, size);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.scale(size / 24.0, size / 24.0);
    const QPolygonF funnel({{3, 4}, {21, 4}, {14, 12}, {14, 20}, {10, 22}, {10, 12}});
    painter.setPen(QPen(QColor(46, 52, 54), 1.5));
    painter.setBrush(QColor(114, 159, 207));
    painter.drawPolygon(funnel);
    icon.addPixmap(pixmap);
  }
  return icon;
}

// The theme's icon, else the first fallback the theme has, else one drawn here.
QIcon ThemeIcon(const QString& name) {
  static const QHash<QString, QStringList> kFallbacks = {
      {QStringLiteral("document-edit"), {QStringLiteral("accessories-text-editor")}},
      {QStringLiteral("view-filter"), {}},
      {QStringLiteral("preferences-color"), {QStringLiteral("applications-graphics")}},
  };
  if (QIcon::hasThemeIcon(name)) return QIcon::fromTheme(name);
  for (const QString& fallback : kFallbacks.value(name)) {
    if (QIcon::hasThemeIcon(fallback)) return QIcon::fromTheme(fallback);
  }
  if (name == QLatin1String("view-filter")) return FunnelIcon();
  return QIcon::fromTheme(name);
}

QString Plain(QString text) {
  text.remove(u'&');
  if (text.endsWith(QStringLiteral("..."))) text.chop(3);
  return text;
}
}  // namespace

FormMain::FormMain(Application& app, QWidget* parent)
    : QMainWindow(parent),
      app_(app),
      register_(std::make_unique<Register>(app.Db(), app.Reporter(), app.UserLocale())),
      editor_(std::make_unique<RecordEditor>(app.ForEditor(), register_.get())),
      questionnaire_(std::make_unique<Questionnaire>()) {
  setObjectName(QStringLiteral("FormMain"));
  setWindowIcon(QIcon::fromTheme(QStringLiteral("audio-headphones")));
  run_dialog = [](QDialog& dialog) { return dialog.exec(); };
  BuildPrinting();
  BuildActions();
  BuildMenus();
  BuildToolbar();
  BuildPages();
  ConnectCore();
  questionnaire_->LoadQuestions(app_.Folder().File(QStringLiteral("questions.txt")),
                                app_.Reporter());
  details_->SetLists(app_.Lists());
  results_->ColourKey()->SetBands(app_.ChartFiles().bands);

  // Start-up: the register, the title, the current patient, both charts.
  register_->BuildRegister();
  FormatGridColumns();
  if (!register_->MoveToPatient(register_->Cursor().PatNo)) register_->GoToChosenRecord(0);
  SelectCurrentRow();
  RefreshRecord();
  for (QWidget* input : {static_cast<QWidget*>(grid_), grid_->viewport()}) {
    new InputFreeze(input, [this] { return editor_->Editing(); });
  }
  new RecordShortcuts(this, {Action(QStringLiteral("New Patient")),
                             Action(QStringLiteral("Insert Record")), Action(QStringLiteral("Edit")),
                             Action(QStringLiteral("Post")), Action(QStringLiteral("DeletePatient"))});
  // The questionnaire of a test is open only while editing it.
  Action(QStringLiteral("Questions"))->setEnabled(false);
  UpdateEditState();
  FitToScreen();
}

FormMain::~FormMain() { app_.SetSerialLink(nullptr); }

void FormMain::ConnectCore() {
  grid_->setModel(&register_->Model());
  connect(grid_->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
          [this](const QModelIndex& current) { OnRowChanged(current.row()); });
  connect(results_->VScrollResults(), &QScrollBar::valueChanged, this, &FormMain::OnScroll);
  connect(results_, &ResultsPage::ThresholdEdited, this, &FormMain::OnThresholdEdited);
  connect(results_, &ResultsPage::ColourKeyToggled, this, &FormMain::ColourKey);
  connect(results_, &ResultsPage::RecheckRequested, this, &FormMain::Recheck);
  connect(tabs_, &QTabWidget::currentChanged, this, &FormMain::OnTabChanged);
  questions_model_ = new QuestionnaireModel(*questionnaire_, this);
  questions_->setModel(questions_model_);
  // Marker and response narrow, the question wide, the answer what is left.
  QHeaderView* header = questions_->horizontalHeader();
  header->setSectionResizeMode(QuestionnaireModel::kMarker, QHeaderView::Fixed);
  header->setSectionResizeMode(QuestionnaireModel::kQuestion, QHeaderView::Stretch);
  header->setSectionResizeMode(QuestionnaireModel::kAnswer, QHeaderView::Stretch);
  questions_->setColumnWidth(QuestionnaireModel::kMarker,
                             fontMetrics().horizontalAdvance(u'>') + 16);
  questions_->setColumnWidth(QuestionnaireModel::kResponse,
                             fontMetrics().horizontalAdvance(QStringLiteral("Response")) + 24);

  editor_->SetListener(this);
}

void FormMain::ShowPage(MainPage page) { tabs_->setCurrentIndex(Tab(page)); }

void FormMain::GridChanged(int row, int) { RedrawChart(row < 2); }

void FormMain::Redraw() { RefreshRecord(); }

int FormMain::RunDialog(QDialog& dialog) { return run_dialog(dialog); }

QAction* FormMain::AddAction(const QString& key, const QString& text, const QString& icon,
                             const QKeySequence& shortcut, void (FormMain::*slot)()) {
  auto* action = new QAction(ThemeIcon(icon), text, this);
  action->setObjectName(key);
  action->setIconText(Plain(text));
  if (!shortcut.isEmpty()) {
    action->setShortcut(shortcut);
    action->setToolTip(Plain(text) + QStringLiteral(" (") +
                       shortcut.toString(QKeySequence::NativeText) + u')');
  } else {
    action->setToolTip(Plain(text));
  }
  connect(action, &QAction::triggered, this, [this, slot] {
    (this->*slot)();
    // After any command the grid is redrawn.
    if (grid_) grid_->viewport()->update();
  });
  actions_.insert(key, action);
  return action;
}

void FormMain::BuildActions() {
  using K = QKeySequence;
  AddAction(QStringLiteral("down"), Msg(3114), QStringLiteral("go-down"),
            K(Qt::CTRL | Qt::Key_Down), &FormMain::MoveDown)
      ->setStatusTip(Msg(3159));
  AddAction(QStringLiteral("up"), Msg(3115), QStringLiteral("go-up"), K(Qt::CTRL | Qt::Key_Up),
            &FormMain::MoveUp)
      ->setStatusTip(Msg(3160));
  AddAction(QStringLiteral("older"), Msg(3129), QStringLiteral("go-previous"),
            K(Qt::CTRL | Qt::Key_PageDown), &FormMain::OlderTest)
      ->setStatusTip(Msg(3161));
  AddAction(QStringLiteral("newer"), Msg(3130), QStringLiteral("go-next"),
            K(Qt::CTRL | Qt::Key_PageUp), &FormMain::NewerTest)
      ->setStatusTip(Msg(3162));
  AddAction(QStringLiteral("Questions"), Msg(3128), QStringLiteral("dialog-question"),
            K(Qt::CTRL | Qt::SHIFT | Qt::Key_Q), &FormMain::Questions);
  AddAction(QStringLiteral("Find"), Msg(3116), QStringLiteral("edit-find"), K::Find,
            &FormMain::Find);
  AddAction(QStringLiteral("Filter"), Msg(3117), QStringLiteral("view-filter"),
            K(Qt::CTRL | Qt::Key_L), &FormMain::Filter);
  AddAction(QStringLiteral("Sort"), Msg(3118), QStringLiteral("view-sort-ascending"),
            K(Qt::CTRL | Qt::Key_T), &FormMain::Sort);
  AddAction(QStringLiteral("Configure"), Msg(3119), QStringLiteral("preferences-system"),
            K(Qt::CTRL | Qt::Key_Comma), &FormMain::Configure);
  AddAction(QStringLiteral("Delete"), Msg(3111), QStringLiteral("edit-delete"), K::Delete,
            &FormMain::DeleteTest);
  AddAction(QStringLiteral("DeletePatient"), Msg(3112), QStringLiteral("user-trash"),
            K(Qt::CTRL | Qt::SHIFT | Qt::Key_Delete), &FormMain::DeletePatient);
  AddAction(QStringLiteral("Edit"), Msg(3108), QStringLiteral("document-edit"),
            K(Qt::CTRL | Qt::Key_E), &FormMain::EditRecord);
  AddAction(QStringLiteral("Insert Record"), Msg(3107), QStringLiteral("list-add"),
            K(Qt::CTRL | Qt::Key_I), &FormMain::InsertRecord);
  AddAction(QStringLiteral("New Patient"), Msg(3106), QStringLiteral("contact-new"), K::New,
            &FormMain::NewPatient);
  AddAction(QStringLiteral("Post"), Msg(3109), QStringLiteral("document-save"), K::Save,
            &FormMain::Post);
  AddAction(QStringLiteral("CancelEdit"), Msg(3110), QStringLiteral("edit-undo"), K(Qt::Key_Escape),
            &FormMain::CancelEdit);
  AddAction(QStringLiteral("ChangePatNo"), Msg(3113), QStringLiteral("document-properties"), K(),
            &FormMain::ChangePatNo);
  AddAction(QStringLiteral("Recheck"), Msg(3121), QStringLiteral("view-refresh"), K(),
            &FormMain::Recheck)
      ->setStatusTip(Msg(3122));
  AddAction(QStringLiteral("ColourKey"), Msg(3120), QStringLiteral("preferences-color"),
            K(Qt::CTRL | Qt::Key_K), &FormMain::ColourKey)
      ->setCheckable(true);
  AddAction(QStringLiteral("About"), Msg(3123), QStringLiteral("help-about"), K(),
            &FormMain::About);
  AddAction(QStringLiteral("ImportFile"), Msg(3700), QStringLiteral("document-import"),
            K(Qt::CTRL | Qt::SHIFT | Qt::Key_O), &FormMain::ImportRegisterFile);
  AddAction(QStringLiteral("Export"), Msg(3701), QStringLiteral("document-export"),
            K(Qt::CTRL | Qt::SHIFT | Qt::Key_S), &FormMain::ExportRegister);
  AddAction(QStringLiteral("ImportA3_1"), Msg(3702), QStringLiteral("document-import"), K(),
            &FormMain::ImportOlderRelease);
  AddAction(QStringLiteral("Print"), Msg(3780), QStringLiteral("document-print"), K::Print,
            &FormMain::PrintCommand);
  AddAction(QStringLiteral("PrintPreview"), Msg(3781), QStringLiteral("document-print-preview"),
            K(Qt::CTRL | Qt::SHIFT | Qt::Key_P), &FormMain::PrintPreviewCommand);
  AddAction(QStringLiteral("BatchPrint"), Msg(3782), QStringLiteral("document-print"), K(),
            &FormMain::BatchPrintCommand);
  AddAction(QStringLiteral("Exit"), Msg(3105), QStringLiteral("application-exit"), K::Quit,
            &FormMain::CloseWindow);
  BuildVisionActions();
  BuildCompanionCommands();
  BuildTx730Commands();
  // Escape cancels only while editing; elsewhere it would surprise.
  Action(QStringLiteral("CancelEdit"))->setShortcutContext(Qt::WindowShortcut);
}

void FormMain::BuildMenus() {
  auto* file = menuBar()->addMenu(Msg(3100));
  file->addAction(Action(QStringLiteral("Configure")));
  file->addSeparator();
  for (const char* key : {"ImportFile", "Export", "ImportA3_1"}) {
    file->addAction(Action(QLatin1String(key)));
  }
  file->addSeparator();
  for (const char* key : {"Print", "PrintPreview", "BatchPrint"}) {
    file->addAction(Action(QLatin1String(key)));
  }
  file->addSeparator();
  file->addAction(Action(QStringLiteral("Exit")));

  auto* record = menuBar()->addMenu(Msg(3101));
  for (const char* key : {"New Patient", "Insert Record", "Edit", "Post", "CancelEdit"}) {
    record->addAction(Action(QLatin1String(key)));
  }
  record->addSeparator();
  for (const char* key : {"Delete", "DeletePatient", "ChangePatNo"}) {
    record->addAction(Action(QLatin1String(key)));
  }
  record->addAction(Action(QStringLiteral("InsertVision")));
  record->addSeparator();
  record->addAction(Action(QStringLiteral("Questions")));

  auto* view = menuBar()->addMenu(Msg(3102));
  for (const char* key : {"up", "down", "newer", "older"}) {
    view->addAction(Action(QLatin1String(key)));
  }
  view->addSeparator();
  for (const char* key : {"Find", "Filter", "Sort"}) view->addAction(Action(QLatin1String(key)));
  view->addSeparator();
  view->addAction(Action(QStringLiteral("ColourKey")));

  auto* tools = menuBar()->addMenu(Msg(3103));
  tools->addAction(Action(QStringLiteral("Recheck")));
  AddCompanionMenu(tools);
  AddTx730Menu(tools);

  BuildTypeMenu();

  auto* help = menuBar()->addMenu(Msg(3104));
  help->addAction(Action(QStringLiteral("About")));
}

void FormMain::BuildToolbar() {
  auto* toolbar = addToolBar(Msg(3133));
  toolbar->setObjectName(QStringLiteral("Toolbar1"));
  toolbar->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
  toolbar->setMovable(false);
  const QStringList groups[] = {
      {QStringLiteral("up"), QStringLiteral("down")},
      {QStringLiteral("New Patient"), QStringLiteral("Insert Record"), QStringLiteral("Edit"),
       QStringLiteral("Post"), QStringLiteral("CancelEdit"), QStringLiteral("Delete")},
      {QStringLiteral("Questions")},
      {QStringLiteral("UX730"), QStringLiteral("GetTest")},
      {QStringLiteral("Find"), QStringLiteral("Filter"), QStringLiteral("Sort")},
      {QStringLiteral("ImportFile"), QStringLiteral("Export")},
      {QStringLiteral("Configure"), QStringLiteral("Vision")}};
  for (const auto& group : groups) {
    if (!toolbar->actions().isEmpty()) toolbar->addSeparator();
    for (const auto& key : group) toolbar->addAction(Action(key));
  }
}

void FormMain::BuildPages() {
  tabs_ = new QTabWidget(this);
  tabs_->setObjectName(QStringLiteral("TabStrip1"));
  tabs_->setDocumentMode(true);

  grid_ = NewRegisterGrid(tabs_);
  grid_->setToolTip(Msg(3158));

  details_ = new DetailsPage(tabs_);
  results_ = new ResultsPage(tabs_);
  questions_ = new QTableView(tabs_);
  questions_->setObjectName(QStringLiteral("GridQuestions"));
  questions_->setEditTriggers(QAbstractItemView::NoEditTriggers);
  questions_->setSelectionBehavior(QAbstractItemView::SelectRows);
  questions_->verticalHeader()->hide();
  questions_->setWordWrap(false);
  questions_->verticalHeader()->setDefaultSectionSize(questions_->fontMetrics().height() + 6);

  tabs_->addTab(grid_, Msg(129));
  tabs_->addTab(details_, Msg(130));
  tabs_->addTab(results_, Msg(131));
  tabs_->addTab(questions_, Msg(132));
  for (int tab = 0; tab < 4; ++tab) {
    // Alt+1 .. Alt+4 bring the pages to the front.
    auto* shortcut = new QAction(this);
    shortcut->setShortcut(
        QKeySequence(QKeyCombination(Qt::ALT, static_cast<Qt::Key>(Qt::Key_1 + tab))));
    connect(shortcut, &QAction::triggered, this, [this, tab] { tabs_->setCurrentIndex(tab); });
    addAction(shortcut);
  }
  setCentralWidget(tabs_);

  AddStatusPanels(*this, status_);
}

void FormMain::FormatGridColumns() {
  const int date_width = grid_->fontMetrics().horizontalAdvance(QStringLiteral("00/00/00000")) + 8;
  for (int column = 0; column < kRegisterColumnCount; ++column) {
    const int twips = RegisterColumnWidth(column);
    int width =
        twips > 0 ? TwipsToPixels(twips, grid_) : grid_->horizontalHeader()->defaultSectionSize();
    // Fonts here are wider than the ones the widths were chosen for: a date
    // must still show whole.
    if (IsRegisterDateColumn(column)) width = std::max(width, date_width);
    // Nor may a heading be cut ("Time of Test", "Length of Service").
    width = std::max(width, grid_->horizontalHeader()->sectionSizeHint(column));
    grid_->setColumnWidth(column, width);
  }
}

void FormMain::FitToScreen() {
  const QScreen* screen = QGuiApplication::primaryScreen();
  if (!screen) {
    resize(1180, 800);
    return;
  }
  const QRect area = screen->availableGeometry();
  resize(std::min(1280, area.width() * 9 / 10), std::min(860, area.height() * 9 / 10));
  move(area.center() - rect().center());
}

}  // namespace sonivera::ui
