#include "instrument/Tx730Transfer.h"

#include "base/AppError.h"
#include "base/ErrorLog.h"
#include "base/ProgramFolder.h"
#include "base/Settings.h"
#include "instrument/SerialLink.h"
#include "instrument/Tx730Export.h"
#include "interchange/RegisterExport.h"

namespace sonivera {

namespace {
using Answer = Prompter::Answer;
using Buttons = Prompter::Buttons;

template <typename... Args>
void Call(const std::function<void(Args...)>& hook, Args... args) {
  if (hook) hook(args...);
}
void Call(const std::function<void()>& hook) {
  if (hook) hook();
}
}  // namespace

QString RequestFilterText(RequestFilter option, const QString& text) {
  const auto keyed = [&](const char* key) { return QLatin1String(key) + text + u','; };
  switch (option) {
    case RequestFilter::None:
      return QStringLiteral(",,");
    case RequestFilter::PatientNo:
      return keyed("PATNUM,");
    case RequestFilter::Surname:
      return keyed("SURNAME,");
    case RequestFilter::Forenames:
      return keyed("FORENAME,");
    case RequestFilter::Position:
      return keyed("POSN,");
    case RequestFilter::Department:
      return keyed("DEPT,");
    case RequestFilter::Company:
      return keyed("COMPANY,");
    case RequestFilter::DateOrBefore:
      return keyed("BEFORE,");
    case RequestFilter::DateOrAfter:
      return keyed("AFTER,");
    case RequestFilter::NotChosen:
      break;
  }
  return QStringLiteral("Error");
}

namespace {
bool RunTx730Import(SerialLink& link, RequestFilter option, const QString& filter_text,
                    const TransferHooks& hooks) {
  Prompter& ask = link.Reporter().prompter();
  const QString filter = RequestFilterText(option, filter_text);
  if (!link.OpenSerialLink()) {
    if (link.Config().SerialPortNumber == 0) {
      ask.Show(QStringLiteral("Please set TX730 com port"), QStringLiteral("Com Port Warning"),
               Buttons::Ok, Answer::Ok, Prompter::Icon::Exclamation);
    }
    Call(hooks.hide_request);
    return false;
  }
  Call(hooks.hide_request);
  Call(hooks.buttons_enabled, false);
  link.ClearTransfer();
  link.Framing().SetMode(link.Mode());
  link.TransferRequested = true;
  link.StopRequested = false;
  link.DataSeen = false;
  link.SendCommand(QStringLiteral("ECHO,OFF"));
  link.SendCommand(QStringLiteral("EXPORT,BATCH,MODE3,") + filter);
  if (!link.IsOpen()) {
    ask.Show(QStringLiteral("Can't find the com port %1. Check you have connected the PC to the "
                            "audiometer and selected the correct port number.")
                 .arg(link.Config().SerialPortNumber),
             QStringLiteral("Error"), Buttons::Ok, Answer::Ok, Prompter::Icon::Critical);
  }
  // The audiometer has about 26 seconds to start replying.
  for (int pauses = 0; !link.DataSeen;) {
    SerialLink::PauseSeconds(1);
    ++pauses;
    if (link.StopRequested || pauses >= link.first_data_pauses) break;
    Call(hooks.busy, true);
  }
  Call(hooks.busy, false);
  // The reply ends with the first quiet gap.
  do {
    if (link.StopRequested) break;
    link.DataSeen = false;
    SerialLink::PauseSeconds(link.quiet_gap);
    Call(hooks.busy, true);
  } while (link.DataSeen);
  if (!link.StopRequested) link.Framing().FinishCollection(link.TakeWaiting());
  Call(hooks.count, link.Framing().LineCount());
  Call(hooks.busy, false);
  link.RebuildImportBuffer();
  Call(hooks.buttons_enabled, true);
  link.TransferRequested = false;
  return true;
}
}  // namespace

bool StartTx730Import(SerialLink& link, RequestFilter option, const QString& filter_text,
                      const TransferHooks& hooks) {
  try {
    return RunTx730Import(link, option, filter_text, hooks);
  } catch (const std::exception& error) {
    link.TransferRequested = false;
    Call(hooks.buttons_enabled, true);
    Call(hooks.busy, false);
    link.Reporter().ShowAndLog(StandardErrorText(QString::fromUtf8(error.what()),
                                                 errnum::kDatabaseError,
                                                 QStringLiteral(" (starttx730import)")));
    return false;
  }
}

int ExportToTx730(SerialLink& link, db::Connection& connection,
                  const std::vector<RegisterRowKey>& rows, bool filtered_by_test,
                  const TransferHooks& hooks) {
  Prompter& ask = link.Reporter().prompter();
  try {
    const int count = ExportCount(connection, rows, filtered_by_test);
    if (ask.Show(QStringLiteral("Are you sure you want to export %1 records from the database?")
                     .arg(count),
                 QStringLiteral("Confirm Export"), Buttons::YesNo, Answer::No) != Answer::Yes) {
      return -1;
    }
    bool erase = false;
    switch (ask.Show(QStringLiteral("Do you wish to erase all existing records in the TX730 "
                                    "audiometer?"),
                     QStringLiteral("Erase TX730"), Buttons::YesNoCancel, Answer::No)) {
      case Answer::Yes:
        if (ask.Show(QStringLiteral("Erase all the records in the TX730. Are you sure?"),
                     QStringLiteral("Erase and Export"), Buttons::YesNo,
                     Answer::No) != Answer::Yes) {
          return -1;
        }
        erase = true;
        break;
      case Answer::No:
        break;
      default:
        return -1;
    }
    Call(hooks.grid_enabled, false);
    if (!link.OpenSerialLink()) {
      if (link.Config().SerialPortNumber == 0) {
        ask.Show(QStringLiteral("Please set TX730 comm port"), QStringLiteral("Com Port Warning"),
                 Buttons::Ok, Answer::Ok, Prompter::Icon::Exclamation);
      }
      Call(hooks.grid_enabled, true);
      Call(hooks.close_window);
      return -1;
    }
    link.TransferRequested = true;
    link.StopRequested = false;
    ConversionFile conversion = ConversionFile::Open(link.Folder().File(kSeries3ConversionFile));
    const ImportBuffer buffer = BuildExportBuffer(connection, rows, filtered_by_test, hooks.count);
    Call(hooks.progress, 0);
    Call(hooks.buttons_enabled, false);
    if (erase) {
      link.SendCommand(QStringLiteral("ECHO,OFF"));
      SerialLink::PauseSeconds(1);
      link.SendCommand(QStringLiteral("DATABASE,ERASE"));
      SerialLink::PauseSeconds(1);
    }
    link.SendCommand(QStringLiteral("ECHO,OFF"));
    SerialLink::PauseSeconds(1);
    int sent = 0;
    for (const ImportRecord& record : buffer) {
      if (record[kFieldImport].isEmpty()) break;
      qsizetype characters = 0;
      for (const QString& piece : ExportRecordPieces(conversion, record)) {
        link.Write(piece);
        characters += piece.size();
      }
      ++sent;
      Call(hooks.count, sent);
      Call(hooks.progress, sent);
      // The gap is idle line time: the record first needs its time on the
      // wire (ten bits a character at 9600 baud).
      SerialLink::PauseSeconds(link.Config().Rs232Gap + double(characters) * 10 / 9600);
      Call(hooks.busy, true);
      if (link.StopRequested) break;
    }
    link.SendCommand(QStringLiteral("IMPORT,COMPLETE"));
    link.Close();
    Call(hooks.busy, false);
    link.TransferRequested = false;
    link.StopRequested = false;
    Call(hooks.grid_enabled, true);
    Call(hooks.buttons_enabled, true);
    Call(hooks.refresh_register);
    if (ask.Show(QStringLiteral("Have %1 record(s) been successfully received?").arg(sent),
                 QStringLiteral("Export"), Buttons::YesNo, Answer::Yes) == Answer::Yes) {
      Call(hooks.close_window);
    } else {
      Call(hooks.progress, 0);
    }
    return sent;
  } catch (const std::exception& error) {
    long number = errnum::kDatabaseError;
    QString description = QString::fromUtf8(error.what());
    if (const auto* app_error = dynamic_cast<const AppError*>(&error)) {
      number = app_error->Number();
      description = app_error->Description();
    }
    link.TransferRequested = false;
    link.StopRequested = false;
    Call(hooks.grid_enabled, true);
    Call(hooks.buttons_enabled, true);
    link.Reporter().ShowAndLog(StandardErrorText(
        description, number, QStringLiteral(" (formexporttx730 commandexport_click)")));
    return -1;
  }
}

}  // namespace sonivera
