#include <QItemSelectionModel>
#include <QLineEdit>
#include <QStandardItemModel>
#include <QTabWidget>
#include <QTableView>

#include "ui/DetailsPage.h"
#include "ui/FormChangePatNo.h"
#include "ui/FormVision.h"
#include "ui/VisionStepPage.h"
#include "vision/VisionScript.h"

namespace sonivera::ui {

void FormVision::OnRowChanged(int row) {
  if (updating_ || row < 0) return;
  if (editor_.Editing()) {
    // A test is open: the register stays on its patient until it is saved or cancelled.
    SelectCurrentRow();
    return;
  }
  editor_.ChoosePatient(model_->item(row, 0)->text());
  Refresh();
}

void FormVision::MoveUp() {
  const int row = grid_->currentIndex().row();
  if (row > 0) grid_->selectRow(row - 1);
}

void FormVision::MoveDown() {
  const int row = grid_->currentIndex().row();
  if (row + 1 < model_->rowCount()) grid_->selectRow(row + 1);
}

void FormVision::OnStepEvent(const QString& event) {
  ReadBoxes();
  vision::ApplyEvent(editor_.Entry(), event);
  RenderSteps();
}

void FormVision::OnScroll(int index) {
  if (editor_.Editing()) {
    RenderSteps();  // puts the scroll bar back
    return;
  }
  if (editor_.ScrollToTest(index)) Refresh();
}

void FormVision::AddPatient() {
  if (!editor_.AddPatient()) return;
  Refresh();
  details_->PatNoBox()->setFocus();
}

void FormVision::InsertVision() {
  if (model_->rowCount() == 0 || !editor_.InsertVision()) return;
  Refresh();
  details_->DateBox(kBoxDateofTest)->setFocus();
}

bool FormVision::InsertVisionFor(const QString& pat_no) {
  if (editor_.Editing()) return false;
  editor_.ChoosePatient(pat_no);
  if (!editor_.InsertVision()) return false;
  RebuildRegister();
  SelectCurrentRow();
  Refresh();
  return true;
}

void FormVision::InsertAudiogram() {
  if (editor_.Editing() || editor_.CurrentPatNo().isEmpty()) return;
  if (!editor_.ShownTestIsLatest()) {
    prompter_.Show(QStringLiteral("You have an older Vision test selected. Please scroll to the "
                                  "latest Vision test, before inserting an Audiogram"),
                   QStringLiteral("Warning - Historic Data"), Prompter::Buttons::Ok);
    return;
  }
  hide();
  if (insert_audiogram) insert_audiogram(editor_.CurrentPatNo());
}

void FormVision::Edit() {
  if (!editor_.Edit()) return;
  Refresh();
  tabs_->setCurrentIndex(kTestPage);
}

void FormVision::Save() {
  ReadBoxes();
  const auto result = editor_.Save();
  if (result == vision::VisionEditor::SaveResult::Saved) {
    RebuildRegister();
    SelectCurrentRow();
  }
  if (result != vision::VisionEditor::SaveResult::NotEditing) Refresh();
}

void FormVision::Cancel() {
  editor_.Cancel();
  Refresh();
}

void FormVision::ChangePatNo() {
  if (editor_.Editing() || editor_.CurrentPatNo().isEmpty()) return;
  const QString old_no = editor_.CurrentPatNo();
  FormChangePatNo change(
      old_no,
      [this, old_no](const QString& new_no) { return editor_.ChangePatientNo(old_no, new_no); },
      this);
  if (run_dialog(change) == QDialog::Accepted) {
    RebuildRegister();
    SelectCurrentRow();
    Refresh();
  }
}

void FormVision::DeleteTest() {
  if (model_->rowCount() == 0 || !editor_.Delete()) return;
  RebuildRegister();
  SelectCurrentRow();
  Refresh();
}

void FormVision::DeletePatient() {
  if (model_->rowCount() == 0 || !editor_.DeletePatient()) return;
  ShowPatient(QString());
}

void FormVision::SwitchToAudiogram() {
  if (editor_.Editing()) return;
  hide();
  if (show_audiogram) show_audiogram(editor_.CurrentPatNo());
}

}  // namespace sonivera::ui
