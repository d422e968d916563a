#include "config/ConfigSession.h"

#include "base/AppError.h"
#include "base/ErrorLog.h"
#include "base/Messages.h"
#include "base/ProgramFolder.h"
#include "base/Settings.h"
#include "base/TextFiles.h"
#include "categorise/Schemes.h"
#include "config/PortList.h"
#include "config/UserFiles.h"
#include "questionnaire/Questionnaire.h"

namespace sonivera {

ConfigSession::ConfigSession(ConfigContext context)
    : context_(context), questions_(ReadQuestions()), checks_at_open_(context.schemes) {}

QStringList ConfigSession::ReadQuestions() const {
  return ReadQuestionFile(QuestionFilePath()).texts;
}

QString ConfigSession::QuestionFilePath() const {
  return context_.folder.File(QStringLiteral("questions.txt"));
}

QString ConfigSession::PatDetailsPath() const {
  return context_.folder.File(QStringLiteral("patdetails.txt"));
}

QStringList ConfigSession::QuestionnaireLines() const { return QuestionnaireBoxLines(questions_); }

QStringList ConfigSession::PatDetailsLines() const { return PatDetailsBoxLines(PatDetailsPath()); }

bool ConfigSession::CommandEdit(const QStringList& box_lines) {
  if (!OfferTextBackup(context_.folder, context_.reporter, QuestionnaireBackupOffer(), box_lines))
    return false;
  questionnaire_unlocked_ = true;
  return true;
}

bool ConfigSession::CommandEditPatDetails(const QStringList& box_lines) {
  if (!OfferTextBackup(context_.folder, context_.reporter, PatDetailsBackupOffer(), box_lines))
    return false;
  patdetails_edited_ = true;
  return true;
}

void ConfigSession::SetBand(bool ticked) {
  ChartOptions& chart = context_.settings.chart;
  chart.CheckBand = ticked;
  chart.CheckBandPrintEnabled = ticked;
}

void ConfigSession::SetBandPrint(bool ticked) { context_.settings.chart.CheckBandPrint = ticked; }

void ConfigSession::SetPredictive(bool ticked) {
  ChartOptions& chart = context_.settings.chart;
  chart.CheckPredictive = ticked;
  chart.ShowPredictiveLine = ticked;
}

bool ConfigSession::SelectSeries(SeriesOption option) {
  SelectSeriesOption(option, context_.settings);
  return SeriesKeepsLinkOpen(context_.settings);
}

bool ConfigSession::ChoosePort(const QString& item_text) {
  const auto port = PortFromItem(item_text);
  if (!port) {
    context_.reporter.prompter().Show(InvalidPortText(), Msg(974), Prompter::Buttons::Ok,
                                      Prompter::Answer::Ok, Prompter::Icon::Exclamation);
    return false;
  }
  context_.settings.SerialPortNumber = *port;
  return true;
}

bool ConfigSession::LeavePorts(const QString& item_text) {
  if (!ChoosePort(item_text)) return false;
  if (SeriesKeepsLinkOpen(context_.settings)) ReopenSerialLink();
  return true;
}

void ConfigSession::SetGap(int slider_position) {
  context_.settings.Rs232Gap = SliderToGap(slider_position);
}

bool ConfigSession::ReopenSerialLink() {
  if (context_.serial_link == nullptr) return false;
  context_.serial_link->OpenSerialLink();
  return true;
}

bool ConfigSession::RewriteUserFile(const QString& path, const QStringList& lines, int max_lines) {
  if (lines.size() > max_lines) {
    // A longer file would stop the next start; keep the old one.
    context_.reporter.Report(
        QStringLiteral("Subscript out of range: more than %1 lines").arg(max_lines),
        errnum::kSubscriptOutOfRange, QStringLiteral("formconfig commandok_click"));
    return false;
  }
  if (!WriteTextLines(path, lines)) {
    context_.reporter.Report(QStringLiteral("Path not found: '%1'").arg(path),
                             errnum::kPathNotFound, QStringLiteral("formconfig commandok_click"));
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
    questions_ = ReadQuestions();
    questionnaire_unlocked_ = false;
    outcome.questionnaire_rewritten = true;
  }
  if (patdetails_edited_) {
    if (!RewriteUserFile(PatDetailsPath(), patdetails_box, kPatDetailsMaxLines)) return outcome;
    context_.reporter.prompter().Show(
        QStringLiteral("The patient details file has been edited. For these changes "
                       "to take effect please exit the program"),
        QStringLiteral("Patient Details File"), Prompter::Buttons::Ok, Prompter::Answer::Ok,
        Prompter::Icon::Information);
    patdetails_edited_ = false;
    outcome.patdetails_rewritten = true;
  }
  context_.settings.SchemeList = BuildSchemeList(context_.schemes);
  checks_at_open_ = context_.schemes;
  if (SeriesKeepsLinkOpen(context_.settings)) outcome.link_reopened = ReopenSerialLink();
  outcome.close = true;
  return outcome;
}

void ConfigSession::CommandCancel() {
  questionnaire_unlocked_ = false;
  patdetails_edited_ = false;
  context_.schemes = checks_at_open_;
  ApplySchemeList(context_.settings.SchemeList, context_.lcid, context_.schemes);
}

}  // namespace sonivera
