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
#include "register/Recategorise.h"
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
  if (editor_->Editing()) {
    // Browsing is refused while a record is open: stay on its row.
    SelectCurrentRow();
    return;
  }
  if (register_->GoToChosenRecord(row)) RefreshRecord();
}

void FormMain::OnScroll(int value) {
  if (editor_->Editing()) {
    // The scroll bar does nothing while editing: put it back.
    const QSignalBlocker block(results_->VScrollResults());
    results_->VScrollResults()->setValue(register_->Cursor().TestIndex);
    return;
  }
  try {
    if (register_->ShowTest(value)) {
      RefreshRecord();
      results_->RightGraph()->setFocus();
    }
  } catch (const std::exception&) {
    app_.Reporter().ShowAndLog(Msg(1026) +
                               ErrorTag(QStringLiteral("vscrollresults_change"), kNoMessage));
  }
}

void FormMain::OnTabChanged(int index) {
  if (index == shown_tab_) return;
  if (index == Tab(MainPage::Register) && editor_->Editing()) {
    const auto answer = app_.Ask().Show(Msg(1006), Msg(1007), Prompter::Buttons::YesNo,
                                        Prompter::Answer::Yes, Prompter::Icon::Question);
    if (answer == Prompter::Answer::Yes) Post();
    if (editor_->Editing()) {
      // Not saved: the page in front stays.
      const QSignalBlocker block(tabs_);
      tabs_->setCurrentIndex(shown_tab_);
      return;
    }
  }
  shown_tab_ = tabs_->currentIndex();
  if (shown_tab_ == Tab(MainPage::Audiograms) && editor_->Editing()) {
    // The date and time typed on the details page show here at once.
    ReadBoxes();
    results_->ShowTestKey(editor_->Entries());
  }
  if (shown_tab_ == Tab(MainPage::Register)) {
    UpdateStatusBar();
    grid_->viewport()->update();
  }
}

void FormMain::OnThresholdEdited(int item, const QString& text) {
  if (!editor_->Editing()) return;
  editor_->ThresholdChanged(item, text);
  results_->SetThresholdBox(item, editor_->Entries().Thresholds[item]);
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
  FormFilter filter(app_.UserLocale(), register_->CriteriaInForce(), actions, this);
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
  if (editor_->Editing()) return;
  FormConfig config(app_, this);
  connect(&config, &FormConfig::ChartsNeedRedraw, this, [this] {
    results_->ColourKey()->SetBands(app_.ChartFiles().bands);
    RedrawCharts();
  });
  connect(&config, &FormConfig::RegisterNeedsRefresh, this, [this](const QString& pat_no) {
    const QString chosen = pat_no.isEmpty() ? register_->Cursor().PatNo : pat_no;
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
  const RegisterCursor& cursor = register_->Cursor();
  if (editor_->DeleteTest(cursor.PatNo, cursor.TestIndex)) SelectCurrentRow();
  UpdateEditState();
}

void FormMain::DeletePatient() {
  if (editor_->DeletePatient(register_->Cursor().PatNo)) SelectCurrentRow();
  UpdateEditState();
}

void FormMain::EditRecord() {
  const RegisterCursor& cursor = register_->Cursor();
  if (editor_->EditRecord(cursor.PatNo, cursor.TestIndex)) RefreshRecord();
  UpdateEditState();
}

void FormMain::InsertRecord() {
  if (!editor_->InsertAudiogram(register_->Cursor().PatNo)) return;
  StartQuestionnaire();
  UpdateEditState();
  // The new test's date and time come first, then its thresholds.
  tabs_->setCurrentIndex(Tab(MainPage::Details));
  details_->DateBox(kBoxDateofTest)->setFocus();
}

void FormMain::NewPatient() {
  editor_->AddPatient();
  StartQuestionnaire();
  UpdateEditState();
  details_->PatNoBox()->setFocus();
}

void FormMain::Post() {
  ReadBoxes();
  const auto result = editor_->Save();
  if (result == RecordEditor::SaveResult::Saved) {
    SelectCurrentRow();
  } else if (result != RecordEditor::SaveResult::NotEditing) {
    // The entries may have changed (a refused number is cleared).
    ShowEntries(editor_->Entries());
  }
  UpdateEditState();
}

void FormMain::CancelEdit() {
  if (!editor_->Editing()) return;
  editor_->Cancel();
  SelectCurrentRow();
  UpdateEditState();
}

void FormMain::ChangePatNo() {
  const QString old_no = register_->Cursor().PatNo;
  FormChangePatNo change(
      old_no,
      [this, old_no](const QString& new_no) { return editor_->ChangePatientNo(old_no, new_no); },
      this);
  if (RunDialog(change) == QDialog::Accepted) SelectCurrentRow();
}

void FormMain::Recheck() {
  if (editor_->Editing()) return;
  const RegisterCursor& cursor = register_->Cursor();
  // The core has told the user why when nothing was stored.
  if (RecheckShift(app_.Db(), app_.Categorisation(), app_.Reporter(), cursor.PatNo,
                   cursor.TestIndex) == RecheckOutcome::Stored) {
    RefreshRecord();
  }
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
  if (app_.Ended() || !app_.EndProgram(editor_->Editing())) {
    event->accept();
    return;
  }
  event->ignore();
}

}  // namespace sonivera::ui
