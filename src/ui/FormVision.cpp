#include "ui/FormVision.h"

#include <QAction>
#include <QCloseEvent>
#include <QDialog>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QIcon>
#include <QItemSelectionModel>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QScrollArea>
#include <QStandardItemModel>
#include <QStatusBar>
#include <QTabWidget>
#include <QTableView>
#include <QToolBar>

#include "base/DetailLists.h"
#include "base/Messages.h"
#include "db/Database.h"
#include "ui/DetailsPage.h"
#include "ui/ReportPrinting.h"
#include "ui/RegisterGrid.h"
#include "ui/VisionAnswersBox.h"
#include "ui/VisionStepPage.h"
#include "vision/VisionQueries.h"

namespace sonivera::ui {

namespace {
QString Plain(QString text) { return text.remove(u'&'); }

// The theme's icon, or a near one that more themes carry.
QIcon Icon(const QString& name) {
  static const QHash<QString, QString> kFallbacks = {
      {QStringLiteral("document-edit"), QStringLiteral("accessories-text-editor")},
      {QStringLiteral("go-jump"), QStringLiteral("go-next")}};
  if (!QIcon::hasThemeIcon(name) && kFallbacks.contains(name)) {
    return QIcon::fromTheme(kFallbacks.value(name));
  }
  return QIcon::fromTheme(name);
}

// Register columns that hold dates, shown as dd/mm/yyyy.
bool IsDateColumn(const QString& caption) {
  return caption == QLatin1String("Last Test") || caption == QLatin1String("Previous Test") ||
         caption == QLatin1String("Date of Birth") || caption == QLatin1String("Recall Date") ||
         caption == QLatin1String("Date Joined") || caption == QLatin1String("Date Left");
}
}  // namespace

FormVision::FormVision(db::Database& database, Prompter& prompter, ErrorLog log,
                       const DetailLists& lists, QWidget* parent)
    : QMainWindow(parent),
      editor_(database, prompter, log),
      prompter_(prompter),
      register_(database, prompter, std::move(log)) {
  setObjectName(QStringLiteral("FormVision"));
  setWindowIcon(QIcon::fromTheme(QStringLiteral("view-preview")));
  run_dialog = [](QDialog& dialog) { return dialog.exec(); };
  BuildActions();
  BuildMenus();
  BuildToolbar();
  BuildPages();
  details_->SetLists(lists);
  print_heading_ = lists.PrintHeading;
  editor_.on_show_page = [this](vision::VisionEditor::Page page) {
    tabs_->setCurrentIndex(page == vision::VisionEditor::Page::Details ? kDetailsPage : kTestPage);
  };
  connect(steps_, &VisionStepPage::Event, this, &FormVision::OnStepEvent);
  connect(steps_, &VisionStepPage::TestScrolled, this, &FormVision::OnScroll);
  connect(details_->PatNoBox(), &QLineEdit::editingFinished, this, [this] {
    if (editor_.EditMode() != vision::VisionEditor::Mode::AddingPatient) return;
    ReadBoxes();
    editor_.PatientNumberLeft();
  });
  resize(1180, 820);
}

FormVision::~FormVision() = default;

QAction* FormVision::AddAction(const QString& key, const QString& text, const QString& icon,
                               const QKeySequence& shortcut, void (FormVision::*slot)()) {
  auto* action = new QAction(Icon(icon), text, this);
  action->setObjectName(key);
  action->setIconText(Plain(text));
  action->setShortcut(shortcut);
  action->setToolTip(shortcut.isEmpty() ? Plain(text)
                                        : Plain(text) + QStringLiteral(" (") +
                                              shortcut.toString(QKeySequence::NativeText) + u')');
  connect(action, &QAction::triggered, this, [this, slot] { (this->*slot)(); });
  actions_.insert(key, action);
  return action;
}

void FormVision::BuildActions() {
  using K = QKeySequence;
  AddAction("up", QStringLiteral("Move &Up"), "go-up", K(Qt::CTRL | Qt::Key_Up),
            &FormVision::MoveUp);
  AddAction("down", QStringLiteral("Move &Down"), "go-down", K(Qt::CTRL | Qt::Key_Down),
            &FormVision::MoveDown);
  AddAction("New Patient", QStringLiteral("&Add a Patient"), "contact-new", K::New,
            &FormVision::AddPatient);
  AddAction("Insert Record", QStringLiteral("&Insert Vision"), "list-add", K(Qt::CTRL | Qt::Key_I),
            &FormVision::InsertVision);
  AddAction("InsertAudiogram", QStringLiteral("&Insert Audiogram"), "audio-headphones",
            K(Qt::CTRL | Qt::SHIFT | Qt::Key_I), &FormVision::InsertAudiogram);
  AddAction("Edit", QStringLiteral("&Edit"), "document-edit", K(Qt::CTRL | Qt::Key_E),
            &FormVision::Edit);
  AddAction("Post", QStringLiteral("&Save"), "document-save", K::Save, &FormVision::Save);
  AddAction("CancelEdit", QStringLiteral("&Cancel"), "edit-undo", K(Qt::Key_Escape),
            &FormVision::Cancel);
  AddAction("ChangePatNo", QStringLiteral("Change Patient &Number"), "document-properties", K(),
            &FormVision::ChangePatNo);
  AddAction("Delete", QStringLiteral("&Delete"), "edit-delete", K::Delete, &FormVision::DeleteTest);
  AddAction("DeletePatient", QStringLiteral("Delete a Patient"), "user-trash",
            K(Qt::CTRL | Qt::SHIFT | Qt::Key_Delete), &FormVision::DeletePatient);
  // Type - Audiology, the toolbar's "Vision" key: back to the audiogram window.
  AddAction("Vision", QStringLiteral("&Audiology"), "go-jump", K(Qt::CTRL | Qt::SHIFT | Qt::Key_A),
            &FormVision::SwitchToAudiogram)
      ->setIconText(QStringLiteral("Switch to Audiogram"));
  Action("CancelEdit")->setShortcutContext(Qt::WindowShortcut);
}

void FormVision::BuildMenus() {
  BuildFileMenu();
  auto* edit = menuBar()->addMenu(QStringLiteral("&Edit"));
  for (const char* key : {"New Patient", "Insert Record", "InsertAudiogram", "Edit", "Post",
                          "CancelEdit", "ChangePatNo", "Delete", "DeletePatient"}) {
    edit->addAction(Action(QLatin1String(key)));
  }
  auto* view = menuBar()->addMenu(QStringLiteral("&View"));
  view->addAction(Action("up"));
  view->addAction(Action("down"));
  BuildDatabaseMenu();
  auto* type = menuBar()->addMenu(QStringLiteral("&Type"));
  type->addAction(Action("Vision"));
  auto* here = type->addAction(QStringLiteral("Vision"));
  here->setObjectName(QStringLiteral("TypeVision"));
  here->setCheckable(true);
  here->setChecked(true);
  here->setEnabled(false);  // this window
}

void FormVision::BuildToolbar() {
  auto* toolbar = addToolBar(QStringLiteral("Toolbar"));
  toolbar->setObjectName(QStringLiteral("Toolbar1"));
  toolbar->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
  toolbar->setMovable(false);
  const QStringList groups[] = {
      {"up", "down"},
      {"New Patient", "Insert Record", "Edit", "Post", "CancelEdit", "Delete"},
      {"Vision"}};
  for (const auto& group : groups) {
    if (!toolbar->actions().isEmpty()) toolbar->addSeparator();
    for (const auto& key : group) toolbar->addAction(Action(key));
  }
}

void FormVision::BuildPages() {
  tabs_ = new QTabWidget(this);
  tabs_->setObjectName(QStringLiteral("TabStrip1"));
  tabs_->setDocumentMode(true);

  grid_ = NewRegisterGrid(tabs_);
  model_ = new QStandardItemModel(this);
  model_->setHorizontalHeaderLabels(vision::VisionRegisterColumns());
  grid_->setModel(model_);
  connect(grid_->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
          [this](const QModelIndex& current) { OnRowChanged(current.row()); });

  auto* details = new QWidget(tabs_);
  auto* row = new QHBoxLayout(details);
  details_ = new DetailsPage(details);
  answers_ = new VisionAnswersBox(details);
  row->addWidget(details_, 3);
  row->addWidget(answers_, 1, Qt::AlignTop);
  auto* scroll = new QScrollArea(tabs_);
  scroll->setWidget(details);
  scroll->setWidgetResizable(true);

  steps_ = new VisionStepPage(tabs_);
  tabs_->addTab(grid_, QStringLiteral("&Register"));
  tabs_->addTab(scroll, QStringLiteral("De&tails"));
  tabs_->addTab(steps_, QStringLiteral("&Vision Test"));
  setCentralWidget(tabs_);

  AddStatusPanels(*this, status_);
}

void FormVision::RebuildRegister() {
  register_.Reload();
  const std::vector<vision::VisionRegisterRow>& rows = register_.Rows();
  try {
    vision::VisionStore store(editor_.Database().Conn());
    patient_count_ = store.PatientCount();
  } catch (const std::exception& e) {
    const auto failure = db::DescribeFailure(e);
    ErrorReporter(prompter_, editor_.Log())
        .ShowAndLog(StandardErrorText(failure.description, failure.number,
                                      QStringLiteral(" (gototestdetails:954)")));
  }
  const QStringList captions = vision::VisionRegisterColumns();
  const QSignalBlocker block(grid_->selectionModel());
  updating_ = true;
  model_->setRowCount(0);
  for (const auto& register_row : rows) {
    QList<QStandardItem*> items;
    for (int c = 0; c < captions.size(); ++c) {
      const QString value = register_row.values.value(c);
      items << new QStandardItem(
          IsDateColumn(captions[c]) ? DateBoxText(value).replace(kEmptyDateBox, QString()) : value);
    }
    model_->appendRow(items);
  }
  updating_ = false;
  grid_->resizeColumnsToContents();
}

void FormVision::SelectCurrentRow() {
  const QSignalBlocker block(grid_->selectionModel());
  for (int row = 0; row < model_->rowCount(); ++row) {
    if (model_->item(row, 0)->text() == editor_.CurrentPatNo()) {
      grid_->selectRow(row);
      grid_->setCurrentIndex(model_->index(row, 0));
      return;
    }
  }
  grid_->clearSelection();
}

void FormVision::ShowPatient(const QString& pat_no) {
  if (editor_.Editing()) return;
  RebuildRegister();
  QString chosen = pat_no;
  bool listed = false;
  for (int row = 0; row < model_->rowCount(); ++row) {
    listed = listed || model_->item(row, 0)->text() == pat_no;
  }
  // A patient without a vision test is not in this register: show the first.
  if (!listed && model_->rowCount() > 0 && pat_no.isEmpty()) chosen = model_->item(0, 0)->text();
  editor_.ChoosePatient(chosen);
  SelectCurrentRow();
  Refresh();
}

void FormVision::Refresh() {
  details_->ShowValues(editor_.Details(), QString());
  answers_->ShowValues(editor_.Answers());
  RenderSteps();
  UpdateEditState();
  UpdateStatusBar();
  UpdateTitleBar();
}

void FormVision::RenderSteps() {
  const int count = editor_.TestCount();
  const TestKey shown = editor_.ShownTest();
  const QString date =
      editor_.Editing() ? editor_.Details().Dates[kBoxDateofTest] : DateBoxText(shown.date);
  steps_->Render(editor_.Entry(), count > 0 ? editor_.TestIndex() + 1 : 0, count, date);
}

void FormVision::UpdateStatusBar() {
  // With a filter on, the patients are those the filter lists.
  status_[0]->setText(QStringLiteral("Patients: %1")
                          .arg(register_.FilterOn() ? register_.PatientsListed() : patient_count_));
  status_[1]->setText(QStringLiteral("Records: %1").arg(model_->rowCount()));
  status_[2]->setText(register_.FilterOn() ? QStringLiteral("Filter: On")
                                           : QStringLiteral("Filter: Off"));
  status_[3]->setText(QStringLiteral("Sorted: ") + (register_.Sort() == SortField::None
                                                        ? QString()
                                                        : SortCaption(register_.Sort())));
}

void FormVision::UpdateTitleBar() {
  const EntryFields& d = editor_.Details();
  QString title = QStringLiteral("Vision Test");
  if (!editor_.CurrentPatNo().isEmpty()) {
    title += QStringLiteral(" [ ") + editor_.CurrentPatNo() + QStringLiteral(", ") + d.Forenames +
             u' ' + d.Surname;
    const TestKey latest = editor_.LatestTest();
    if (!latest.date.isEmpty()) title += QStringLiteral(", on ") + DateBoxText(latest.date);
    title += QStringLiteral(" ]");
  }
  setWindowTitle(title);
}

void FormVision::UpdateEditState() {
  const bool editing = editor_.Editing();
  const bool adding = editor_.EditMode() == vision::VisionEditor::Mode::AddingPatient;
  const bool has_patient = !editor_.CurrentPatNo().isEmpty() && model_->rowCount() > 0;
  details_->SetEditing(editing, adding);
  answers_->SetEditing(editing);
  for (const char* key : {"up", "down", "New Patient", "Vision"}) {
    Action(QLatin1String(key))->setEnabled(!editing);
  }
  for (const char* key : {"Insert Record", "InsertAudiogram", "ChangePatNo", "DeletePatient"}) {
    Action(QLatin1String(key))->setEnabled(!editing && has_patient);
  }
  Action("Edit")->setEnabled(!editing && editor_.TestCount() > 0);
  Action("Delete")->setEnabled(!editing && editor_.TestCount() > 0);
  Action("Post")->setEnabled(editing);
  Action("CancelEdit")->setEnabled(editing);
  grid_->setEnabled(!editing);
}

void FormVision::ReadBoxes() {
  if (!editor_.Editing()) return;
  details_->ReadValues(editor_.Details());
  answers_->ReadValues(editor_.Answers());
}

void FormVision::closeEvent(QCloseEvent* event) {
  if (editor_.Editing()) {
    if (prompter_.Show(Msg(2000), windowTitle(), Prompter::Buttons::YesNo, Prompter::Answer::No) !=
        Prompter::Answer::Yes) {
      event->ignore();
      return;
    }
    editor_.Cancel();
    Refresh();
  }
  event->accept();
  if (show_audiogram) show_audiogram(editor_.CurrentPatNo());
}

}  // namespace sonivera::ui
