#pragma once

#include <QDateTime>
#include <QString>

#include "base/Prompter.h"

namespace sonivera {

// err.log in the program folder: one line per entry, the entry's text, a
// space and the local date and time.
class ErrorLog {
 public:
  explicit ErrorLog(QString path) : path_(std::move(path)) {}

  // AppendErrorLog: appends text + " " + the date-time as one line. When the
  // file cannot be written, standard error says so once and gets the entries.
  void Append(const QString& text) const;
  const QString& Path() const { return path_; }

  // The user's short date and long time.
  static QString DateTimeText(const QDateTime& when);
  // One line naming the operating system, its distribution and kernel.
  static QString OsDescription();

 private:
  QString path_;
  mutable bool unwritable_reported_ = false;
};

// Every error report's text is built by the functions below, so that what is
// shown and what err.log keeps agree everywhere.

// The tag a report ends with, naming where it comes from: " (" + procedure +
// ":" + message + ")", or " (" + procedure + ")" when message is kNoMessage.
// The procedure is written as the report shows it.
inline constexpr int kNoMessage = 0;
QString ErrorTag(const QString& procedure, int message = 954);

// " Error No: " + number (message 955).
QString ErrorNumberText(long number);

// The standard report: "An error has occurred: " + description +
// " Error No: " + number + tag.
QString StandardErrorText(const QString& description, long number, const QString& tag);

// A report without an error number: "An error has occurred: " + description + tag.
QString UnnumberedErrorText(const QString& description, const QString& tag);

// ReportError: shows a failure with the title "Error" and logs it.
class ErrorReporter {
 public:
  ErrorReporter(Prompter& prompter, const ErrorLog& log) : prompter_(prompter), log_(log) {}

  // The standard report with the tag " (procedure:954)"; returns the text shown.
  QString Report(const QString& description, long number, const QString& procedure);
  // The same, with where it arose (e.g. " (file a.txt, line 3)") added in the log only.
  QString Report(const QString& description, long number, const QString& procedure,
                 const QString& place);
  // Shows a prepared ErrorLogText with the title of a message, then logs it.
  void ShowAndLog(const QString& error_log_text, int title_message = 974,
                  Prompter::Icon icon = Prompter::Icon::Critical);

  Prompter& prompter() { return prompter_; }
  const ErrorLog& log() const { return log_; }

 private:
  Prompter& prompter_;
  const ErrorLog& log_;
};

}  // namespace sonivera
