#pragma once

#include <QHash>
#include <QMainWindow>
#include <functional>
#include <memory>

#include "chart/ColourBands.h"
#include "register/EditMode.h"
#include "register/EntryFields.h"
#include "register/RecordEditor.h"

class QAction;
class QDialog;
class QLabel;
class QTabWidget;
class QTableView;

namespace sonivera {
class Application;
class Questionnaire;
class QuestionnaireModel;
class Register;
}  // namespace sonivera

namespace sonivera::ui {

class DetailsPage;
class ResultsPage;

// The main audiometry window: the register grid and the four pages of the
// chosen patient, the menus, toolbar and status bar. Every rule lives in the
// core (Register, RecordEditor, the chart); this class shows their state and
// passes on the user's commands.
class FormMain : public QMainWindow, private RecordEditorListener {
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
  RecordEditor& Editor() { return *editor_; }

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

  // File interchange (FormMainInterchange.cpp).
  void ImportRegisterFile();
  void ExportRegister();
  void ImportOlderRelease();
  void AfterImport();

  void OnRowChanged(int row);
  void OnScroll(int value);
  void OnTabChanged(int index);
  void OnThresholdEdited(int item, const QString& text);

  // What the record editor asks of the window.
  void ShowPage(MainPage page) override;
  void GridChanged(int row, int column) override;
  void Redraw() override;

  Application& app_;
  std::unique_ptr<Register> register_;
  std::unique_ptr<RecordEditor> editor_;
  std::unique_ptr<Questionnaire> questionnaire_;
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
