#pragma once

#include <QHash>
#include <QMainWindow>
#include <functional>
#include <memory>

#include "base/Settings.h"
#include "chart/ColourBands.h"
#include "register/EditMode.h"
#include "register/EntryFields.h"
#include "register/RecordEditor.h"

class QAction;
class QDialog;
class QLabel;
class QMenu;
class QPushButton;
class QTabWidget;
class QTableView;

namespace sonivera {
class Application;
class CompanionLink;
class Questionnaire;
class QuestionnaireModel;
class Register;
class SerialLink;
}  // namespace sonivera

namespace sonivera::ui {

class DetailsPage;
class FormExportTX730;
class FormImportTx730;
class ReportPrinting;
class FormVision;
class ResultsPage;

// The main audiometry window: the register grid and the four pages of the
// chosen patient, the menus, toolbar and status bar. Every rule lives in the
// core (Register, RecordEditor, the chart); this class shows their state and
// passes on the user's commands.
class FormMain : public QMainWindow, private RecordEditorListener, private SerialLinkOpener {
  Q_OBJECT
 public:
  // The tab of a page.
  static int Tab(MainPage page) { return static_cast<int>(page); }

  explicit FormMain(Application& app, QWidget* parent = nullptr);
  ~FormMain() override;

  // The action of a toolbar key ("down", "Post", "Insert Record", ...) or of
  // a menu command ("DeletePatient", "ChangePatNo", "Recheck", "About", ...).
  QAction* Action(const QString& key) const { return actions_.value(key); }
  QTableView* RegisterGrid() const { return grid_; }
  QTabWidget* Pages() const { return tabs_; }
  DetailsPage* Details() const { return details_; }
  ResultsPage* Results() const { return results_; }
  QLabel* StatusPanel(int panel) const { return status_[panel]; }
  Register& Reg() { return *register_; }
  ReportPrinting& Printing() { return *printing_; }
  RecordEditor& Editor() { return *editor_; }
  // The PC audiometer's companion program; the serial link gives it the
  // means to close its port (SetSerialPortRelease) when it opens one.
  CompanionLink& Companion() { return *companion_; }
  // Shown in the status bar while the companion runs.
  QPushButton* CompanionCancelButton() const { return companion_cancel_; }

  // The TX730 serial audiometer link and its windows (made on first use).
  SerialLink& Link() { return *serial_link_; }
  FormImportTx730* ImportTx730Window();
  FormExportTX730* ExportTx730Window();

  // The vision window, made on first use; Type - Vision shows it on the
  // current patient.
  FormVision* VisionWindow();
  void ShowVision();

  // Redraws the chosen patient and shown test on every page.
  void RefreshRecord();
  void UpdateStatusBar();
  void UpdateTitleBar();

  // Runs the windows a command opens (find, filter, sort, renumbering,
  // About) and returns their result; exec() unless a test answers them
  // without a modal loop.
  std::function<int(QDialog&)> run_dialog;

 protected:
  void closeEvent(QCloseEvent* event) override;

 private:
  // Construction (FormMain.cpp).
  QAction* AddAction(const QString& key, const QString& text, const QString& icon,
                     const QKeySequence& shortcut, void (FormMain::*slot)());
  void BuildActions();
  void BuildMenus();
  void BuildToolbar();
  void BuildPages();
  void ConnectCore();
  void FormatGridColumns();
  void FitToScreen();
  int RunDialog(QDialog& dialog);

  // Display (FormMainRecord.cpp).
  void ShowEntries(const EntryFields& entries);
  void LoadGrid(const EntryFields& entries);
  void RedrawChart(bool left);
  void RedrawCharts();
  void ShowQuestions(const EntryFields& entries);
  void UpdateEditState();
  void SelectCurrentRow();
  void ReadBoxes();

  // Commands (FormMainCommands.cpp).
  void MoveDown();
  void MoveUp();
  void OlderTest();
  void NewerTest();
  void Questions();
  void StartQuestionnaire();
  void ShowCurrentQuestion();
  void Find();
  void Filter();
  void Sort();
  void Configure();
  void DeleteTest();
  void DeletePatient();
  void EditRecord();
  void InsertRecord();
  void NewPatient();
  void Post();
  void CancelEdit();
  void ChangePatNo();
  void Recheck();
  void ColourKey();
  void About();
  void CloseWindow();
  void AfterSave();

  // Printing (FormMainPrint.cpp).
  void BuildPrinting();
  void PrintCommand();
  void PrintPreviewCommand();
  void BatchPrintCommand();
  // The hand-over to and from the vision window (FormMainVision.cpp).
  void BuildVisionActions();
  void BuildTypeMenu();
  void InsertVision();
  void ShowFromVision(const QString& pat_no);

  // File interchange (FormMainInterchange.cpp).
  void ImportRegisterFile();
  void ExportRegister();
  void ImportOlderRelease();
  void AfterImport();

  // The PC audiometer through its companion program (FormMainCompanion.cpp).
  void BuildCompanionCommands();
  void AddCompanionMenu(QMenu* menu);
  void mnuTest();
  void mnuGetData();
  void mnuSendData();
  void mnuCommPort();
  void RunCompanionCommand(bool launch);
  void CompanionRunning(bool running);

  // The TX730 serial audiometer (FormMainTx730.cpp).
  void BuildTx730Commands();
  void AddTx730Menu(QMenu* menu);
  void mnuImportTX730();
  void mnuExportTX730();

  void OnRowChanged(int row);
  void OnScroll(int value);
  void OnTabChanged(int index);
  void OnThresholdEdited(int item, const QString& text);

  // What the record editor asks of the window.
  void ShowPage(MainPage page) override;
  void GridChanged(int row, int column) override;
  void Redraw() override;
  // The configuration window (or the start-up) re-arms the TX730 link.
  void OpenSerialLink() override;

  Application& app_;
  std::unique_ptr<Register> register_;
  std::unique_ptr<RecordEditor> editor_;
  std::unique_ptr<Questionnaire> questionnaire_;
  std::unique_ptr<ReportPrinting> printing_;
  std::unique_ptr<FormVision> vision_;
  std::unique_ptr<CompanionLink> companion_;
  QPushButton* companion_cancel_ = nullptr;
  std::unique_ptr<SerialLink> serial_link_;
  FormImportTx730* import_tx730_ = nullptr;
  FormExportTX730* export_tx730_ = nullptr;
  QuestionnaireModel* questions_model_ = nullptr;
  QHash<QString, QAction*> actions_;
  QTableView* grid_ = nullptr;
  QTabWidget* tabs_ = nullptr;
  DetailsPage* details_ = nullptr;
  ResultsPage* results_ = nullptr;
  QTableView* questions_ = nullptr;
  QLabel* status_[4] = {};
  chart::ColourKey colour_key_;
  // The values on show while browsing (the editor holds them while editing).
  EntryFields shown_;
  int shown_tab_ = Tab(MainPage::Register);
  // Set while the window moves the grid or the scroll bar itself.
  bool updating_ = false;
};

}  // namespace sonivera::ui
