#pragma once

#include <QDialog>
#include <array>
#include <memory>

#include "config/ConfigSession.h"

class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QRadioButton;
class QSlider;
class QTabWidget;

namespace sonivera {
class Application;
}

namespace sonivera::ui {

// The configuration window: database maintenance, the user files, the
// categorisation schemes and chart options, and the audiometer connection.
// Settings take effect as they are changed; the scheme list is rebuilt on OK.
class FormConfig : public QDialog {
  Q_OBJECT
 public:
  explicit FormConfig(Application& app, QWidget* parent = nullptr);
  ~FormConfig() override;

  ConfigSession& Session() { return *session_; }

 signals:
  // Both charts must be drawn again (colour bands or the predictive line changed).
  void ChartsNeedRedraw();
  // While recategorisation runs the main window disables its interfering menus.
  void InterferingMenusEnabled(bool enabled);
  // Recategorisation progress: patients done and their total.
  void RecategoriseProgress(int done, int total);
  // The register must be rebuilt and shown on pat_no (empty: the patient on show).
  void RegisterNeedsRefresh(const QString& pat_no);
  // questions.txt was rewritten; these are the questions now in force.
  void QuestionsReloaded(const QStringList& questions);
  // The audiometer series changed; the import window's caption.
  void ImportCaptionChanged(const QString& caption);

 protected:
  void reject() override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  QWidget* BuildBackupPage();
  QWidget* BuildDatabaseSetupPage();
  QWidget* BuildQuestionnairePage();
  QWidget* BuildTestAnalysisPage();
  QWidget* BuildConnectionPage();
  QCheckBox* SchemeBox(const char* name, int caption, bool SchemeChecks::*field);
  void ShowSchemeChecks();
  void FillUserBoxes();
  void FillPorts();

  void CommandBackupClick();
  void CommandRepairClick();
  void CommandBrowseClick();
  void CommandPasswordClick();
  void CommandEditClick();
  void CommandEditPatDetailsClick();
  void CmdRecategoriseClick();
  void CmdViewAgeTablesClick();
  void ComboPortsLeft();
  void CommandOKClick();

  Application& app_;
  std::unique_ptr<ConfigSession> session_;
  QTabWidget* tab_strip_;
  QLineEdit* database_path_box_;
  QPlainTextEdit* questionnaire_box_;
  QPlainTextEdit* text_patdetails_;
  QGroupBox* frame_hse_;
  QGroupBox* frame_french_;
  std::vector<std::pair<QCheckBox*, bool SchemeChecks::*>> scheme_boxes_;
  QCheckBox* check_band_;
  QCheckBox* check_band_print_;
  QCheckBox* check_predictive_;
  std::array<QRadioButton*, 4> option_tx730_model_{};
  QComboBox* combo_ports_;
  QSlider* slider_gap_;
  QLabel* label_gap_;
};

}  // namespace sonivera::ui
