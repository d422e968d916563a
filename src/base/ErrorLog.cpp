#include "base/ErrorLog.h"

#include <QFile>
#include <QLocale>
#include <QSysInfo>

#include "base/Messages.h"

namespace sonivera {

void ErrorLog::Append(const QString& text) const {
  QFile file(path_);
  if (!file.open(QIODevice::WriteOnly | QIODevice::Append)) return;
  file.write((text + u' ' + DateTimeText(QDateTime::currentDateTime())).toUtf8() + "\r\n");
}

QString ErrorLog::DateTimeText(const QDateTime& when) {
  const QLocale locale = QLocale::system();
  return locale.toString(when.date(), QLocale::ShortFormat) + u' ' +
         when.time().toString(QStringLiteral("HH:mm:ss"));
}

QString ErrorLog::OsDescription() {
  return QSysInfo::prettyProductName() + u' ' + QSysInfo::kernelType() + u' ' +
         QSysInfo::kernelVersion() + u' ' + QSysInfo::currentCpuArchitecture();
}

QString ErrorTag(const QString& procedure, int message) {
  if (message == kNoMessage) return QStringLiteral(" (%1)").arg(procedure);
  return QStringLiteral(" (%1:%2)").arg(procedure).arg(message);
}

QString ErrorNumberText(long number) { return Msg(955) + QString::number(number); }

QString StandardErrorText(const QString& description, long number, const QString& tag) {
  return Msg(954) + description + ErrorNumberText(number) + tag;
}

QString UnnumberedErrorText(const QString& description, const QString& tag) {
  return Msg(954) + description + tag;
}

QString ErrorReporter::Report(const QString& description, long number, const QString& procedure) {
  const QString text = StandardErrorText(description, number, ErrorTag(procedure.toLower()));
  ShowAndLog(text);
  return text;
}

void ErrorReporter::ShowAndLog(const QString& error_log_text, int title_message,
                               Prompter::Icon icon) {
  prompter_.Show(error_log_text, Msg(title_message), Prompter::Buttons::Ok, Prompter::Answer::Ok,
                 icon);
  log_.Append(error_log_text);
}

}  // namespace sonivera
