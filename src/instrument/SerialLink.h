#pragma once

#include <QByteArray>
#include <QObject>
#include <QSerialPort>
#include <QString>
#include <functional>
#include <memory>

#include "instrument/Tx730Framing.h"

namespace sonivera {

class ErrorReporter;
class ProgramFolder;
struct Settings;

// Port errors by the numbers the messages show.
namespace linkerr {
constexpr long kInvalidPort = 8002;  // the system has no such port
constexpr long kPortOpen = 8005;     // the port is in use
constexpr long kNoHardware = 8010;   // the device failed
constexpr long kSettings = 8015;     // the line settings were refused
}  // namespace linkerr

// Undoes the marking of a port opened with PARMRK: "\xff\xff" is one 0xff,
// "\xff\0\0" a break, "\xff\0" + c a character received with an error (dropped).
// An escape cut by the end of a read waits in `pending`.
struct MarkedInput {
  QByteArray data;
  bool break_seen = false;
};
MarkedInput UnmarkInput(QByteArray& pending, const QByteArray& received);

// The RS-232 link to a TX730 audiometer: opens COM n (through comports.txt)
// with the settings of the configured series, writes command lines, and cuts
// what arrives into record lines on the event loop. The transfer flags live
// here and the transfer windows and commands read and set them.
class SerialLink : public QObject {
  Q_OBJECT
 public:
  SerialLink(const Settings& settings, const ProgramFolder& folder, ErrorReporter& reporter,
             QObject* parent = nullptr);
  ~SerialLink() override;

  // Opens (or reopens) the configured port; false, after the message, when
  // it cannot be opened, and at once when no port is set.
  bool OpenSerialLink();
  // Passive reception for Series 4 and 5: opens the port and clears all
  // receive state, then frames lines as they arrive.
  void ArmReceiving();
  void Close();
  bool IsOpen() const;

  // Writes a command line followed by CR LF.
  void SendCommand(const QString& command);
  // Writes text as it is, at once.
  void Write(const QString& text);
  // Waits the given seconds with the event loop running (so the receive
  // handler and the Stop buttons work meanwhile); a non-positive time
  // returns at once.
  static void PauseSeconds(double seconds);

  // The receive state of the current transfer.
  Tx730Framing& Framing() { return framing_; }
  // The import buffer: the record lines parsed (BuildImportBuffer).
  ImportBuffer& Buffer() { return buffer_; }
  // Rebuilds the import buffer from the record lines through the configured
  // conversion file; a failure is reported and the buffer keeps what was
  // parsed.
  void RebuildImportBuffer();
  // The same for lines pushed one by one (Series 4 and 5): only the lines
  // framed since the last call are parsed, so a long transfer does not parse
  // its first lines again for every new one.
  void ParseNewLines();
  // Empties the record lines and the import buffer.
  void ClearTransfer();

  // The waits of a data request: pauses of one second until the first data
  // (at most first_data_pauses), then quiet_gap seconds with nothing
  // received ends the collection.
  int first_data_pauses = 26;
  double quiet_gap = 2.0;
  // Characters the port holds that no event has read yet.
  QString TakeWaiting();
  // The mode the configured series frames in.
  FramingMode Mode() const;

  // A break arrived from the audiometer (the port reports it as the marks
  // FF 00 00): Series 4 and 5 re-arm; other series ignore it.
  void BreakReceived();

  // The error the last failed open met (0 when none).
  long LastOpenError() const { return last_open_error_; }

  bool LinkArmed = false;
  bool TransferRequested = false;
  bool DataSeen = false;
  bool StopRequested = false;

  // The windows' hooks.
  std::function<void(int)> on_count;            // the import window's count box
  std::function<void()> on_passive_line;        // a Series 4/5 line was framed
  std::function<void(bool)> on_busy;            // busy pointer on or off
  std::function<void(bool)> on_export_allowed;  // the main window's export command
  std::function<void()> on_overflow;            // records beyond the capacity arrived

  const Settings& Config() const { return settings_; }
  const ProgramFolder& Folder() const { return folder_; }
  ErrorReporter& Reporter() { return reporter_; }

 private:
  void OnReadyRead();
  void OnError(QSerialPort::SerialPortError error);
  void Received(const QString& text);
  bool ApplyLineSettings(bool series1, bool passive);
  void MarkBreaks();

  const Settings& settings_;
  const ProgramFolder& folder_;
  ErrorReporter& reporter_;
  std::unique_ptr<QSerialPort> port_;
  Tx730Framing framing_;
  ImportBuffer buffer_;
  QByteArray pending_escape_;
  bool marking_ = false;
  bool overflow_reported_ = false;
  long last_open_error_ = 0;
};

}  // namespace sonivera
