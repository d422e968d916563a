#include "config/ConfigSession.h"

#include "base/AppError.h"
#include "app/Application.h"
#include "base/Messages.h"
#include "base/TextFiles.h"
#include "config/PortList.h"
#include "config/UserFiles.h"
#include "questionnaire/Questionnaire.h"

namespace sonivera {

ConfigSession::ConfigSession(Application& app) : app_(app), checks_at_open_(app.State().schemes) {
  reload_questions = [this] { return ReadQuestionFile(QuestionFilePath()).texts; };
  questions_ = reload_questions();
}

QString ConfigSession::QuestionFilePath() const {
  return app_.Folder().File(QStringLiteral("questions.txt"));
}

QString ConfigSession::PatDetailsPath() const {
  return app_.Folder().File(QStringLiteral("patdetails.txt"));
}

QStringList ConfigSession::QuestionnaireLines() const { return QuestionnaireBoxLines(questions_); }

QStringList ConfigSession::PatDetailsLines() const { return PatDetailsBoxLines(PatDetailsPath()); }

bool ConfigSession::CommandEdit(const QStringList& box_lines) {
  if (!OfferTextBackup(app_, QuestionnaireBackupOffer(), box_lines)) return false;
  questionnaire_unlocked_ = true;
  return true;
}

bool ConfigSession::CommandEditPatDetails(const QStringList& box_lines) {
  if (!OfferTextBackup(app_, PatDetailsBackupOffer(), box_lines)) return false;
  patdetails_edited_ = true;
  return true;
}

void ConfigSession::SetBand(bool ticked) {
  ChartOptions& chart = app_.Config().chart;
  chart.CheckBand = ticked;
  chart.CheckBandPrintEnabled = ticked;
}

void ConfigSession::SetBandPrint(bool ticked) { app_.Config().chart.CheckBandPrint = ticked; }

void ConfigSession::SetPredictive(bool ticked) {
  ChartOptions& chart = app_.Config().chart;
  chart.CheckPredictive = ticked;
  chart.ShowPredictiveLine = ticked;
}

bool ConfigSession::SelectSeries(SeriesOption option) {
  SelectSeriesOption(option, app_.Config());
  return SeriesKeepsLinkOpen(app_.Config());
}

bool ConfigSession::ChoosePort(const QString& item_text) {
  const auto port = PortFromItem(item_text);
  if (!port) {
    app_.Ask().Show(InvalidPortText(), Msg(974), Prompter::Buttons::Ok, Prompter::Answer::Ok,
                    Prompter::Icon::Exclamation);
    return false;
  }
  app_.Config().SerialPortNumber = *port;
  return true;
}

bool ConfigSession::LeavePorts(const QString& item_text) {
  if (!ChoosePort(item_text)) return false;
  if (SeriesKeepsLinkOpen(app_.Config())) ReopenSerialLink();
  return true;
}

void ConfigSession::SetGap(int slider_position) {
  app_.Config().Rs232Gap = SliderToGap(slider_position);
}

bool ConfigSession::ReopenSerialLink() {
  if (!app_.on_open_serial_link) return false;
  app_.on_open_serial_link();
  return true;
}

bool ConfigSession::RewriteUserFile(const QString& path, const QStringList& lines, int max_lines) {
  if (lines.size() > max_lines) {
    // A longer file would stop the next start; keep the old one.
    app_.Reporter().Report(
        QStringLiteral("Subscript out of range: more than %1 lines").arg(max_lines),
        errnum::kSubscriptOutOfRange, QStringLiteral("formconfig commandok_click"));
    return false;
  }
  if (!WriteTextLines(path, lines)) {
    app_.Reporter().Report(QStringLiteral("Path not found: '%1'").arg(path), errnum::kPathNotFound,
                           QStringLiteral("formconfig commandok_click"));
    return false;
  }
  return true;
}

ConfigSession::OkOutcome ConfigSession::CommandOK(const QStringList& questionnaire_box,
                                                  const QStringList& patdetails_box) {
  OkOutcome outcome;
  if (questionnaire_unlocked_) {
    if (!RewriteUserFile(QuestionFilePath(), questionnaire_box, kQuestionFileMaxLines)) {
      return outcome;
    }
    questions_ = reload_questions();
    questionnaire_unlocked_ = false;
    outcome.questionnaire_rewritten = true;
  }
  if (patdetails_edited_) {
    if (!RewriteUserFile(PatDetailsPath(), patdetails_box, kPatDetailsMaxLines)) return outcome;
    app_.Ask().Show(QStringLiteral("The patient details file has been edited. For these changes "
                                   "to take effect please exit the program"),
                    QStringLiteral("Patient Details File"), Prompter::Buttons::Ok,
                    Prompter::Answer::Ok, Prompter::Icon::Information);
    patdetails_edited_ = false;
    outcome.patdetails_rewritten = true;
  }
  AppState& state = app_.State();
  app_.Config().SchemeList = BuildSchemeList(state.schemes);
  checks_at_open_ = state.schemes;
  if (SeriesKeepsLinkOpen(app_.Config())) outcome.link_reopened = ReopenSerialLink();
  outcome.close = true;
  return outcome;
}

void ConfigSession::CommandCancel() {
  questionnaire_unlocked_ = false;
  patdetails_edited_ = false;
  AppState& state = app_.State();
  state.schemes = checks_at_open_;
  ApplySchemeList(app_.Config().SchemeList, state.UserLocale, state.schemes);
}

}  // namespace sonivera
