#pragma once

#include <QString>
#include <functional>
#include <vector>

namespace sonivera {

class SerialLink;
struct RegisterRowKey;
namespace db {
class Connection;
}

// The options of the data request window, in window order.
enum class RequestFilter {
  NotChosen = -1,
  None = 0,
  PatientNo,
  Surname,
  Forenames,
  Position,
  Department,
  Company,
  DateOrBefore,
  DateOrAfter,
};

// The filter sent after "EXPORT,BATCH,MODE3,": "Error" when no option is chosen.
QString RequestFilterText(RequestFilter option, const QString& text);

// What the windows show while a transfer runs; every hook may be empty.
struct TransferHooks {
  std::function<void()> hide_request;         // the data request window goes
  std::function<void(bool)> buttons_enabled;  // the transfer window's buttons
  std::function<void(bool)> busy;             // busy pointer on the transfer window
  std::function<void(int)> count;             // the count box
  std::function<void(int)> progress;          // the export's progress bar
  std::function<void(bool)> grid_enabled;     // the main window's register grid
  std::function<void()> close_window;         // the transfer window closes
  std::function<void()> refresh_register;
};

// StartTX730Import: asks the audiometer for its tests and collects the reply
// into the link's record lines, then builds the import buffer. False when no
// request was made (no port, or the port could not be opened).
bool StartTx730Import(SerialLink& link, RequestFilter option, const QString& filter_text,
                      const TransferHooks& hooks);

// The export to the audiometer of the register rows (a plain register when
// filtered_by_test is false). Asks its questions through the link's
// prompter; returns the records sent, or -1 when nothing was sent.
int ExportToTx730(SerialLink& link, db::Connection& connection,
                  const std::vector<RegisterRowKey>& rows, bool filtered_by_test,
                  const TransferHooks& hooks);

}  // namespace sonivera
