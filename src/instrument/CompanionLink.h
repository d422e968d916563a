#pragma once

#include <QByteArray>
#include <QObject>
#include <QString>
#include <array>
#include <functional>
#include <optional>

#include "base/ErrorLog.h"
#include "base/ProgramFolder.h"
#include "instrument/CompanionReplies.h"

class QProcess;

namespace sonivera {

// What the TX730 serial link offers the companion: the companion may use the
// same serial port, so the port is closed before it starts. The serial link
// fills both functions when it is created; left empty, there is no port to
// close.
struct SerialPortRelease {
  std::function<bool()> is_open;
  std::function<void()> close;
};

// What the link needs from the rest of the program, given by the window or
// the command line that drives it.
struct CompanionHooks {
  // Called with true before the companion starts and false when its reply
  // has been read: the window disables Save, Edit, Test and Get Data and
  // shows the busy pointer.
  std::function<void(bool running)> on_running;
  // Imports veldata.csv (the register file import, which stores the test);
  // called by RunCompanionOnRecord.
  std::function<void(const QString& path)> import_csv;
  // Exports the register to the path in the "[SNV/5 Format]" layout; false
  // when nothing was written.
  std::function<bool(const QString& path)> export_register;
  // Seconds to wait where the link pauses (2 s between looks for a reply
  // file and so on); tests shorten them.
  double pause_scale = 1.0;
};

// What a test or a fetch ended with.
struct CompanionOutcome {
  enum Kind {
    kTest,       // a test was read; it goes into the open record for review
    kCsvResult,  // the result is the register file csv_path, to be imported
    kNothing,    // reported, cancelled or not started: nothing to fill in
  };
  Kind kind = kNothing;
  companion::CompanionTest test;
  QString csv_path;
};

// The link with the companion program Bridger.exe: starts it with a command,
// waits (the event loop runs so the windows repaint; Cancel stops the wait
// and ends the companion), then reads the reply files it left in the program
// folder and reports every problem as "Instrument Error".
class CompanionLink : public QObject {
  Q_OBJECT
 public:
  CompanionLink(const ProgramFolder& folder, const QString& port, ErrorReporter& reporter,
                CompanionHooks hooks = {});
  ~CompanionLink() override;

  void SetSerialPortRelease(SerialPortRelease release) { serial_ = std::move(release); }
  void SetPort(const QString& port) { port_ = port; }
  CompanionHooks& Hooks() { return hooks_; }
  ErrorReporter& Reporter() { return reporter_; }

  bool CompanionInstalled() const;
  bool Running() const { return process_ != nullptr; }

  // LaunchorGet: runs a test (launch, with the previous thresholds and their
  // date written to prev.tmp first) or fetches the instrument's last test.
  CompanionOutcome LaunchOrGet(bool launch,
                               const std::array<QString, kThresholdBoxCount>& previous = {},
                               const QString& previous_date = QString());
  // Send Data: exports the register to veldata.csv and starts the companion
  // with "X ". False when the companion is missing or could not be run.
  bool SendData();

  // RunCompanion: starts Bridger.exe with the one argument and waits for it
  // to end. False (after "Error running ux730") when it cannot be started,
  // or when the wait was cancelled.
  bool RunCompanion(const QString& argument);
  // Stops waiting for the companion and ends it.
  void Cancel();

  // WritePreviousValues: prev.tmp. False after a reported failure.
  bool WritePreviousValues(const std::array<QString, kThresholdBoxCount>& previous,
                           const QString& previous_date);
  // ReadReplyFile: veldata.tmp's bytes (the file deleted), looked for again
  // after 2 s; the single byte 156 when it is not there; nullopt after a
  // reported failure to read or delete it.
  std::optional<QByteArray> ReadReplyFile();
  // Reading the reply after a test (GetTestReadings) or a fetch
  // (GetInstrumentData).
  CompanionOutcome GetTestReadings();
  CompanionOutcome GetInstrumentData();

  // Shows "No results", a line break, the description, a blank and the
  // code titled "Instrument Error", and logs it without the blank.
  void ReportReplyProblem(const QString& description, const QString& code);

 signals:
  void CompanionStarted();
  void CompanionFinished();

 private:
  CompanionOutcome ReadReply(bool after_test);
  CompanionOutcome CheckCsvReply();
  std::optional<QByteArray> ReadTestDataFile();
  void Pause(double seconds);
  void SetRunning(bool running);

  ProgramFolder folder_;
  QString port_;
  ErrorReporter& reporter_;
  CompanionHooks hooks_;
  SerialPortRelease serial_;
  QProcess* process_ = nullptr;
  bool cancelled_ = false;
};

}  // namespace sonivera
