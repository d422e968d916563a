// The main window's commands: each passes the user's request to the core and
// redraws what changed.
#include <QAction>
#include <QCloseEvent>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QStatusBar>
#include <QTabWidget>
#include <QTableView>

#include "app/Application.h"
#include "base/Messages.h"
#include "categorise/ShiftCheck.h"
#include "questionnaire/Questionnaire.h"
#include "questionnaire/QuestionnaireModel.h"
#include "register/RecordEditor.h"
#include "register/Register.h"
#include "ui/DetailsPage.h"
#include "ui/FormAbout.h"
#include "ui/FormChangePatNo.h"
#include "ui/FormConfig.h"
#include "ui/FormFilter.h"
#include "ui/FormFind.h"
#include "ui/FormMain.h"
#include "ui/FormRecall.h"
#include "ui/FormSort.h"
#include "ui/PicGraph.h"
#include "ui/ResultsPage.h"

namespace sonivera::ui {

void FormMain::OnRowChanged(int row) {
  if (updating_ || row < 0) return;
  if (app_.State().EditMode != kBrowsing) {
    // Browsing is refused while a record is open: stay on its row.
    SelectCurrentRow();
    return;
  }
  if (register_->GoToChosenRecord(row)) RefreshRecord();
}

void FormMain::OnScroll(int value) {
  if (app_.State().EditMode != kBrowsing) {
    // The scroll bar does nothing while editing: put it back.
    const QSignalBlocker block(results_->VScrollResults());
    results_->VScrollResults()->setValue(app_.State().TestIndex);
    return;
  }
  try {
    if (register_->ShowTest(value)) {
      RefreshRecord();
      results_->RightGraph()->setFocus();
    }
  } catch (const std::exception&) {
    app_.Reporter().ShowAndLog(Msg(1026) + QStringLiteral(" (vscrollresults_change)"));
  }
}

void FormMain::OnTabChanged(int index) {
  if (index == shown_tab_) return;
  if (index == kRegisterPage && app_.State().EditMode != kBrowsing) {
    const auto answer = app_.Ask().Show(Msg(1006), Msg(1007), Prompter::Buttons::YesNo,
                                        Prompter::Answer::Yes, Prompter::Icon::Question);
    if (answer == Prompter::Answer::Yes) Post();
    if (app_.State().EditMode != kBrowsing) {
      // Not saved: the page in front stays.
      const QSignalBlocker block(tabs_);
      tabs_->setCurrentIndex(shown_tab_);
      return;
    }
  }
  shown_tab_ = tabs_->currentIndex();
  if (shown_tab_ == kAudiogramsPage && app_.State().EditMode != kBrowsing) {
    // The date and time typed on the details page show here at once.
    ReadBoxes();
    results_->ShowTestKey(editor_->Entries());
  }
  if (shown_tab_ == kRegisterPage) {
    UpdateStatusBar();
    grid_->viewport()->update();
  }
}

void FormMain::OnThresholdEdited(int item, const QString& text) {
  if (app_.State().EditMode == kBrowsing) return;
  editor_->ThresholdChanged(item, text);
  results_->SetThresholdBox(item, editor_->Entries().Text1[item]);
}

void FormMain::MoveDown() {
  if (register_->MoveDown()) {
    SelectCurrentRow();
    RefreshRecord();
  }
}

void FormMain::MoveUp() {
  if (register_->MoveUp()) {
    SelectCurrentRow();
    RefreshRecord();
  }
}

// The scroll bar runs from the latest test (0) to the oldest.
void FormMain::OlderTest() {
  QScrollBar* bar = results_->VScrollResults();
  if (bar->value() < bar->maximum()) bar->setValue(bar->value() + 1);
}

void FormMain::NewerTest() {
  QScrollBar* bar = results_->VScrollResults();
  if (bar->value() > 0) bar->setValue(bar->value() - 1);
}

void FormMain::Find() {
  FormFind find(
      [this](FormFind::Field field, const QString& text, bool first) {
        const bool found = register_->Find(static_cast<Register::FindField>(field), text, first);
        if (found) {
          SelectCurrentRow();
          RefreshRecord();
        }
        return found;
      },
      this);
  RunDialog(find);
}

void FormMain::Filter() {
  FormFilter::Actions actions;
  actions.apply = [this](const FilterCriteria& criteria) {
    const bool applied = register_->ApplyFilter(criteria);
    if (applied) {
      register_->GoToChosenRecord(0);
      SelectCurrentRow();
      RefreshRecord();
    }
    return applied;
  };
  actions.clear = [this] {
    register_->ClearFilter();
    register_->GoToChosenRecord(0);
    SelectCurrentRow();
    RefreshRecord();
  };
  actions.current = [this] { return register_->CurrentRecordCriteria(); };
  // The window opens on the criteria in force, so Apply keeps them.
  FormFilter filter(app_.State().UserLocale, register_->CriteriaInForce(), actions, this);
  RunDialog(filter);
}

void FormMain::Sort() {
  FormSort sort(register_->SortInForce(), this);
  if (RunDialog(sort) != QDialog::Accepted || sort.Chosen() == SortField::None) return;
  register_->ApplySort(sort.Chosen());
  register_->GoToChosenRecord(0);
  SelectCurrentRow();
  RefreshRecord();
}

void FormMain::Configure() {
  if (app_.State().EditMode != kBrowsing) return;
  FormConfig config(app_, this);
  connect(&config, &FormConfig::ChartsNeedRedraw, this, [this] {
    results_->ColourKey()->SetBands(app_.State().chart_files.bands);
    RedrawCharts();
  });
  connect(&config, &FormConfig::RegisterNeedsRefresh, this, [this] {
    const QString chosen = app_.State().CurrentPatNo;
    register_->BuildRegister();
    if (!register_->MoveToPatient(chosen)) register_->GoToChosenRecord(0);
    SelectCurrentRow();
    RefreshRecord();
  });
  connect(&config, &FormConfig::QuestionsReloaded, this, [this](const QStringList& questions) {
    questionnaire_->SetQuestions(questions);
    questions_model_->updatequestionsdisplay();
  });
  // Recategorising the whole database: the commands that write stay off.
  connect(&config, &FormConfig::InterferingMenusEnabled, this, [this](bool enabled) {
    for (const char* key : {"New Patient", "Insert Record", "Edit", "Delete", "DeletePatient",
                            "ChangePatNo", "Recheck"}) {
      Action(QLatin1String(key))->setEnabled(enabled);
    }
  });
  connect(&config, &FormConfig::RecategoriseProgress, this, [this](int done, int total) {
    statusBar()->showMessage(QStringLiteral("%1 %2/%3").arg(Msg(821)).arg(done).arg(total));
  });
  RunDialog(config);
  statusBar()->clearMessage();
  UpdateEditState();
}

void FormMain::DeleteTest() {
  if (editor_->mnuDelete()) SelectCurrentRow();
  UpdateEditState();
}

void FormMain::DeletePatient() {
  if (editor_->mnuDeletePatient()) SelectCurrentRow();
  UpdateEditState();
}

void FormMain::EditRecord() {
  if (editor_->mnuEditRecord()) RefreshRecord();
  UpdateEditState();
}

void FormMain::InsertRecord() {
  if (!editor_->mnuInsertResults()) return;
  StartQuestionnaire();
  UpdateEditState();
  // The new test's date and time come first, then its thresholds.
  tabs_->setCurrentIndex(kDetailsPage);
  details_->MBoxDate(kBoxDateofTest)->setFocus();
}

void FormMain::NewPatient() {
  editor_->mnuAddPatient();
  StartQuestionnaire();
  UpdateEditState();
  details_->TextField0()->setFocus();
}

void FormMain::Post() {
  ReadBoxes();
  const auto result = editor_->mnuPost();
  if (result == RecordEditor::PostResult::Saved) {
    SelectCurrentRow();
  } else if (result != RecordEditor::PostResult::NotEditing) {
    // The entries may have changed (a refused number is cleared).
    ShowEntries(editor_->Entries());
  }
  UpdateEditState();
}

void FormMain::CancelEdit() {
  if (app_.State().EditMode == kBrowsing) return;
  editor_->mnuCancel();
  SelectCurrentRow();
  UpdateEditState();
}

void FormMain::ChangePatNo() {
  const QString old_no = app_.State().CurrentPatNo;
  FormChangePatNo change(
      old_no,
      [this, old_no](const QString& new_no) { return editor_->ChangePatientNo(old_no, new_no); },
      this);
  if (RunDialog(change) == QDialog::Accepted) SelectCurrentRow();
}

void FormMain::Recheck() {
  if (app_.State().EditMode != kBrowsing) return;
  // The core has told the user why when nothing was stored.
  if (RecheckShift(app_) == RecheckOutcome::Stored) RefreshRecord();
}

void FormMain::ColourKey() {
  colour_key_.CommandColourKey();
  results_->ColourKey()->setVisible(colour_key_.Visible());
  Action(QStringLiteral("ColourKey"))->setChecked(colour_key_.Visible());
  if (auto* button = results_->findChild<QPushButton*>(QStringLiteral("CommandColourKey"))) {
    button->setChecked(colour_key_.Visible());
  }
}

void FormMain::About() {
  FormAbout about(app_, this);
  RunDialog(about);
}

void FormMain::CloseWindow() { close(); }

void FormMain::closeEvent(QCloseEvent* event) {
  // EndProgram asks message 1030 while an edit is open; true means "go on".
  if (app_.Ended() || !app_.EndProgram()) {
    event->accept();
    return;
  }
  event->ignore();
}

}  // namespace sonivera::ui
