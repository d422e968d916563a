// The main window's file interchange commands: the register import and
// export, and the import of the older release's files. The core does the
// work; the window shows the register as it stands afterwards.
#include <QAction>
#include <QTabWidget>
#include <QTableView>

#include "app/Application.h"
#include "interchange/OldImport.h"
#include "interchange/RegisterExport.h"
#include "interchange/RegisterImport.h"
#include "questionnaire/Questionnaire.h"
#include "questionnaire/QuestionnaireModel.h"
#include "register/RecordEditor.h"
#include "register/Register.h"
#include "ui/FormImport.h"
#include "ui/FormMain.h"
#include "ui/FormQuestion.h"

namespace sonivera::ui {

void FormMain::ImportRegisterFile() {
  RegisterImporter importer(app_.ForImport(*editor_, register_.get()));
  // Any name but veldata.csv asks for the file.
  importer.ChooseAndImport(QStringLiteral("ImportFile"));
  AfterImport();
}

void FormMain::ExportRegister() {
  ExportRegisterCsv(app_.Folder(), app_.Db(), app_.Reporter(), QString(),
                    ShownRegisterRows(app_.Db().Conn(), *register_));
}

void FormMain::ImportOlderRelease() {
  OldReleaseImporter importer(app_.ForImport(*editor_, register_.get()), app_.Schemes());
  importer.AskBeforeImport();
  FormImport window(importer, this);
  RunDialog(window);
  AfterImport();
}

void FormMain::AfterImport() {
  SelectCurrentRow();
  RefreshRecord();
}

void FormMain::Questions() {
  if (!editor_->Editing()) return;
  tabs_->setCurrentIndex(Tab(MainPage::Questionnaire));
  FormQuestion window(*questionnaire_, this);
  window.run_dialog = run_dialog;
  window.changed = [this] {
    // The answers travel with the record being edited and are saved with it.
    CopyAnswersTo(questionnaire_->Held(), editor_->Entries());
    questions_model_->updatequestionsdisplay();
    ShowCurrentQuestion();
  };
  ShowCurrentQuestion();
  QAction* button = Action(QStringLiteral("Questions"));
  button->setEnabled(false);
  RunDialog(window);
  button->setEnabled(editor_->QuestionsEnabled());
}

// A new audiogram's questionnaire starts at question 1.
void FormMain::StartQuestionnaire() {
  questionnaire_->SetCurrent(1);
  questions_model_->updatequestionsdisplay();
  ShowCurrentQuestion();
}

// The grid keeps the ">" row of the current question in view.
void FormMain::ShowCurrentQuestion() {
  questions_->scrollTo(questions_model_->index(questionnaire_->Current() - 1, 0));
}

}  // namespace sonivera::ui
