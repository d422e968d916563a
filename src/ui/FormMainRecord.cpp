// The main window's display: the chosen patient and shown test on the pages,
// the charts, the status and title bars, and the edit state's look.
#include <QAction>
#include <QItemSelectionModel>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QSignalBlocker>
#include <QTabWidget>
#include <QTableView>

#include "app/Application.h"
#include "base/Messages.h"
#include "chart/AudiogramChart.h"
#include "questionnaire/Questionnaire.h"
#include "questionnaire/QuestionnaireModel.h"
#include "register/RecordDisplay.h"
#include "register/RecordEditor.h"
#include "register/Register.h"
#include "register/RegisterModel.h"
#include "ui/DetailsPage.h"
#include "ui/FormMain.h"
#include "ui/PicGraph.h"
#include "ui/ResultsPage.h"

namespace sonivera::ui {

namespace {
Sex ChartSex(const EntryFields& entries) {
  if (entries.OptionMale) return Sex::Male;
  if (entries.OptionFemale) return Sex::Female;
  return Sex::None;
}

QDate BoxDate(const QString& text) {
  const auto date = ParseDateBox(text);
  return date ? *date : QDate();
}
}  // namespace

void FormMain::RefreshRecord() {
  if (editor_->Editing()) {
    ShowEntries(editor_->Entries());
    return;
  }
  RecordView view;
  try {
    const RegisterCursor& cursor = register_->Cursor();
    view = LoadRecordView(app_.Db().Conn(), cursor.PatNo, cursor.TestIndex);
  } catch (const std::exception& error) {
    app_.Reporter().Report(QString::fromUtf8(error.what()), 0,
                           QStringLiteral("updateresultsdisplay"));
  }
  shown_ = view.entries;
  details_->ShowValues(shown_, view.baseline);
  results_->SetHistoric(view.marker.historic);
  ShowEntries(shown_);
  UpdateTitleBar();
  UpdateStatusBar();
  UpdateEditState();
}

void FormMain::ShowEntries(const EntryFields& entries) {
  const RegisterCursor& cursor = register_->Cursor();
  // The patient's baseline stays in view while a test is edited or added.
  if (editor_->Editing()) {
    details_->ShowValues(entries, editor_->Mode() == EditMode::AddingPatient
                                      ? QString()
                                      : details_->Baseline());
  }
  results_->ShowValues(entries);
  {
    const QSignalBlocker block(results_->VScrollResults());
    results_->VScrollResults()->setRange(0, std::max(0, cursor.TestCount - 1));
    results_->VScrollResults()->setValue(cursor.TestIndex);
  }
  results_->SetRecordLabels(cursor.TestIndex, cursor.TestCount);
  LoadGrid(entries);
  RedrawCharts();
  ShowQuestions(entries);
}

// The audiogram grid holds what the boxes show: the shown test in rows 0
// and 2, the one before it in rows 1 and 3.
void FormMain::LoadGrid(const EntryFields& entries) {
  sonivera::LoadGrid(entries, app_.Categorisation().grid);
}

void FormMain::RedrawChart(bool left) {
  const chart::EarThresholds values =
      chart::EarFromGrid(app_.Categorisation().grid, left ? chart::Ear::Left : chart::Ear::Right);
  const EntryFields& entries = editor_->Editing() ? editor_->Entries() : shown_;
  const chart::ChartPatient patient{BoxDate(entries.DOB), BoxDate(entries.Dates[kBoxDateofTest]),
                                    ChartSex(entries)};
  PicGraph* graph = left ? results_->LeftGraph() : results_->RightGraph();
  graph->Redraw(values, patient, app_.settings().chart, app_.ChartFiles(), app_.Reporter());
}

void FormMain::RedrawCharts() {
  // Right then left, as the program always drew them.
  RedrawChart(false);
  RedrawChart(true);
}

void FormMain::ShowQuestions(const EntryFields& entries) {
  Answers answers;
  answers.codes = entries.QuestionCodes;
  answers.texts = entries.AnswerTexts;
  questionnaire_->SetAnswers(answers);
  questions_model_->updatequestionsdisplay();
}

void FormMain::UpdateStatusBar() {
  const auto texts = register_->StatusTexts();
  for (int panel = 0; panel < 4; ++panel) status_[panel]->setText(texts[panel]);
}

void FormMain::UpdateTitleBar() { setWindowTitle(register_->TitleText()); }

void FormMain::SelectCurrentRow() {
  const int row = register_->CurrentRow();
  updating_ = true;
  if (row >= 0) {
    grid_->selectRow(row);
    grid_->scrollTo(register_->Model().index(row, 0));
  } else {
    grid_->clearSelection();
  }
  updating_ = false;
}

// Copies what the user typed on the pages into the editor's entries.
void FormMain::ReadBoxes() {
  if (!editor_->Editing()) return;
  details_->ReadValues(editor_->Entries());
  results_->ReadThresholds(editor_->Entries());
}

void FormMain::UpdateEditState() {
  const bool editing = editor_->Editing();
  details_->SetEditing(editing, editor_->Mode() == EditMode::AddingPatient);
  results_->SetEditable(editing);
  // The register grid stays on the open record: no click or key moves it
  // (InputFreeze swallows them), and it gives up the focus.
  grid_->setFocusPolicy(editing ? Qt::NoFocus : Qt::StrongFocus);
  if (editing && grid_->hasFocus()) grid_->clearFocus();
  for (const char* key : {"New Patient", "Insert Record", "Edit", "Delete", "DeletePatient",
                          "ChangePatNo", "up", "down", "older", "newer", "Find", "Filter", "Sort",
                          "Recheck", "Configure", "ImportFile", "Export", "ImportA3_1",
                          "Vision", "InsertVision"}) {
    if (QAction* action = Action(QLatin1String(key))) action->setEnabled(!editing);
  }
  const RegisterCursor& cursor = register_->Cursor();
  const bool have_patient = !cursor.PatNo.isEmpty() && cursor.TestCount > 0;
  for (const char* key :
       {"Insert Record", "Edit", "Delete", "DeletePatient", "ChangePatNo", "Recheck",
        "InsertVision"}) {
    if (!editing && !have_patient) Action(QLatin1String(key))->setEnabled(false);
  }
  // The register's ends: nothing before the first row or after the last.
  const int row = register_->CurrentRow();
  if (!editing) {
    Action(QStringLiteral("up"))->setEnabled(row > 0);
    Action(QStringLiteral("down"))->setEnabled(row >= 0 && register_->Model().EnsureRow(row + 1));
  }
  if (auto* recheck = results_->findChild<QPushButton*>(QStringLiteral("CommandRecheck"))) {
    recheck->setEnabled(Action(QStringLiteral("Recheck"))->isEnabled());
  }
  Action(QStringLiteral("Post"))->setEnabled(editing);
  Action(QStringLiteral("CancelEdit"))->setEnabled(editing);
  Action(QStringLiteral("Questions"))->setEnabled(editor_->QuestionsEnabled());
  UpdateTitleBar();
}

}  // namespace sonivera::ui
