#pragma once

#include <QHash>
#include <QMainWindow>
#include <functional>
#include <memory>

#include "vision/VisionEditor.h"
#include "vision/VisionRegister.h"

class QAction;
class QDialog;
class QLabel;
class QStandardItemModel;
class QTabWidget;
class QTableView;

namespace sonivera {
struct DetailLists;
}

namespace sonivera::ui {

class DetailsPage;
class ReportPrinting;
class VisionAnswersBox;
class VisionStepPage;

// The vision window: the register of patients with their latest vision
// test, the details page and the test steps. The rules live in the vision
// record editor and the test model; this window shows them and passes the
// operator's commands on.
class FormVision : public QMainWindow {
  Q_OBJECT
 public:
  enum Page { kRegisterPage = 0, kDetailsPage = 1, kTestPage = 2 };

  FormVision(db::Database& database, Prompter& prompter, ErrorLog log, const DetailLists& lists,
             QWidget* parent = nullptr);
  ~FormVision() override;

  // The audiogram window's side of the hand-over: show it on a patient, or
  // show it and begin inserting an audiogram there.
  std::function<void(const QString& pat_no)> show_audiogram;
  std::function<void(const QString& pat_no)> insert_audiogram;
  // Runs the change-number window; exec() unless a test answers it.
  std::function<int(QDialog&)> run_dialog;

  // Shows the patient (rebuilding the register first); browsing only.
  void ShowPatient(const QString& pat_no);
  // Insert Vision started from the audiogram window for the patient.
  bool InsertVisionFor(const QString& pat_no);

  vision::VisionEditor& Editor() { return editor_; }
  vision::VisionRegister& VisionRegister() { return register_; }
  // The printing of the record form (tests replace its printer and preview).
  ReportPrinting& Printing();
  // The locale whose categorisation criteria the filter offers.
  int user_locale = 2057;
  QAction* Action(const QString& key) const { return actions_.value(key); }
  QTableView* DBGrid1() const { return grid_; }
  QTabWidget* TabStrip1() const { return tabs_; }
  DetailsPage* Details() const { return details_; }
  VisionAnswersBox* Answers() const { return answers_; }
  VisionStepPage* Steps() const { return steps_; }
  QLabel* StatusPanel(int panel) const { return status_[panel]; }

 protected:
  void closeEvent(QCloseEvent* event) override;

 private:
  QAction* AddAction(const QString& key, const QString& text, const QString& icon,
                     const QKeySequence& shortcut, void (FormVision::*slot)());
  void BuildActions();
  void BuildMenus();
  void BuildToolbar();
  void BuildPages();
  // File (print, export, import) and Database (find, filter, sort).
  void BuildFileMenu();
  void BuildDatabaseMenu();

  // Display.
  void RebuildRegister();
  void SelectCurrentRow();
  void Refresh();
  void RenderSteps();
  void UpdateStatusBar();
  void UpdateTitleBar();
  void UpdateEditState();
  void ReadBoxes();

  // Commands.
  void MoveUp();
  void MoveDown();
  void AddPatient();
  void InsertVision();
  void InsertAudiogram();
  void Edit();
  void Save();
  void Cancel();
  void ChangePatNo();
  void DeleteTest();
  void DeletePatient();
  void SwitchToAudiogram();
  void OnRowChanged(int row);
  void OnStepEvent(const QString& event);
  void OnScroll(int index);
  void Print();
  void PrintPreview();
  void PrintShownTest(bool preview);
  void ExportVision();
  void ImportVision();
  void FindVision();
  void FilterVision();
  void SortVision();
  // After find, filter and sort: the first (or found) row becomes the shown patient.
  void ShowRow(int row);

  vision::VisionEditor editor_;
  Prompter& prompter_;
  vision::VisionRegister register_;
  std::unique_ptr<ErrorReporter> reporter_;
  std::unique_ptr<ReportPrinting> printing_;
  QString print_heading_;
  QHash<QString, QAction*> actions_;
  QTabWidget* tabs_ = nullptr;
  QTableView* grid_ = nullptr;
  QStandardItemModel* model_ = nullptr;
  DetailsPage* details_ = nullptr;
  VisionAnswersBox* answers_ = nullptr;
  VisionStepPage* steps_ = nullptr;
  QLabel* status_[4] = {};
  qint64 patient_count_ = 0;
  bool updating_ = false;
};

}  // namespace sonivera::ui
