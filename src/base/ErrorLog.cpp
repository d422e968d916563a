#include "base/ErrorLog.h"

#include <QFile>
#include <QLocale>
#include <QSysInfo>
#include <cstdio>

#include "base/Messages.h"

namespace sonivera {

void ErrorLog::Append(const QString& text) const {
  const QByteArray line =
      (text + u' ' + DateTimeText(QDateTime::currentDateTime())).toUtf8() + "\r\n";
  QFile file(path_);
  if (file.open(QIODevice::WriteOnly | QIODevice::Append) && file.write(line) == line.size() &&
      file.flush()) {
    return;
  }
  // Said once; the entries that follow go to standard error instead of being lost.
  if (!unwritable_reported_) {
    unwritable_reported_ = true;
    std::fprintf(stderr, "The error log %s cannot be written (%s); its entries follow here.\n",
                 qPrintable(path_), qPrintable(file.errorString()));
  }
  std::fputs(line.constData(), stderr);
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
  return Report(description, number, procedure, QString());
}

QString ErrorReporter::Report(const QString& description, long number, const QString& procedure,
                              const QString& place) {
  const QString text = StandardErrorText(description, number, ErrorTag(procedure.toLower()));
  prompter_.Show(text, Msg(974), Prompter::Buttons::Ok, Prompter::Answer::Ok,
                 Prompter::Icon::Critical);
  log_.Append(text + place);
  return text;
}

void ErrorReporter::ShowAndLog(const QString& error_log_text, int title_message,
                               Prompter::Icon icon) {
  prompter_.Show(error_log_text, Msg(title_message), Prompter::Buttons::Ok, Prompter::Answer::Ok,
                 icon);
  log_.Append(error_log_text);
}

}  // namespace sonivera
