#include "config/UserFiles.h"

#include "base/AppError.h"
#include "base/ErrorLog.h"
#include "base/Messages.h"
#include "base/ProgramFolder.h"
#include "base/TextFiles.h"

namespace sonivera {

QStringList QuestionnaireBoxLines(const QStringList& questions) {
  QStringList lines;
  for (int i = 0; i < questions.size() && i < kQuestionFileMaxLines; ++i) {
    if (!questions[i].isEmpty()) lines << questions[i];
  }
  return lines;
}

QStringList PatDetailsBoxLines(const QString& path) {
  if (!FileExists(path)) return {};
  QStringList lines = ReadTextLines(path).value_or(QStringList{});
  if (lines.size() > kPatDetailsMaxLines) lines = lines.mid(0, kPatDetailsMaxLines);
  return lines;
}

QStringList BoxTextLines(const QString& text) {
  if (text.isEmpty()) return {};
  QString normalised = text;
  normalised.replace(QLatin1String("\r\n"), QLatin1String("\n"));
  normalised.replace(u'\r', u'\n');
  if (normalised.endsWith(u'\n')) normalised.chop(1);
  return normalised.split(u'\n');
}

QString BoxText(const QStringList& lines) {
  // Each line followed by a line break, as the file holds it.
  QString text;
  for (const QString& line : lines) text += line + u'\n';
  return text;
}

bool OfferTextBackup(const ProgramFolder& folder, ErrorReporter& reporter, const BackupOffer& offer,
                     const QStringList& lines) {
  const auto answer = reporter.prompter().Show(Msg(offer.question_message),
                                               Msg(offer.title_message), Prompter::Buttons::YesNo,
                                               Prompter::Answer::Yes, Prompter::Icon::Question);
  if (answer != Prompter::Answer::Yes) return true;
  FileDialogSpec spec;
  spec.filter = QStringLiteral("Backup Text File | *.bkp");
  spec.default_suffix = QStringLiteral(".bkp");
  spec.initial_name = offer.initial_name;
  spec.initial_dir = folder.Path();
  spec.overwrite_prompt = true;
  const auto target = reporter.prompter().SaveFile(spec);
  if (!target || target->isEmpty()) return true;
  if (!WriteTextLines(*target, lines)) {
    reporter.Report(QStringLiteral("Path not found: '%1'").arg(*target), errnum::kPathNotFound,
                    offer.procedure);
    return false;
  }
  return true;
}

}  // namespace sonivera
